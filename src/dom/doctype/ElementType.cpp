// Element types: deriving the categories from the flag word, the
// containment questions and the declaration text.
#include "doctype/ElementType.h"

#include <atomic>
#include <cstdint>

#include "doctype/AttrType.h"
#include "doctype/AttrTypeList.h"
#include "doctype/DocumentType.h"
#include "doctype/ElementTable.h"
#include "node/NodeAccess.h"

const std::string ElementType::OPEN_TAG = "<!ELEMENT";
const std::string ElementType::DECL_KEY = "ELEMENT";
const std::string ElementType::CLOSE_TAG = ">";

ElementType::ElementType(Document* ownerDocument, const std::string& name)
    : NamedNode(ownerDocument, name), _elementID(0), _attrTypes(nullptr), _omitType(OMIT_NO_TAG),
      _contentType(ContentModel::ELEMENT_CONTENT), _formatType(FORMAT_XML_TAG),
      _layoutType(LAYOUT_TYPE_INLINE), _correctType(CORRECT_NONE), _caseTwin(nullptr),
      _jspType(false), _group(0)
{
}

ElementType::ElementType(const ElementType& other)
    : NamedNode(other), _elementID(other._elementID), _contentModel(other._contentModel),
      _attrTypes(nullptr), _omitType(other._omitType), _contentType(other._contentType),
      _formatType(other._formatType), _layoutType(other._layoutType),
      _correctType(other._correctType), _caseTwin(nullptr), _jspType(other._jspType),
      _group(other._group)
{
}

ElementType::~ElementType() = default;

Node* ElementType::cloneNode(bool) const
{
    ElementType* copy = new ElementType(*this);
    copy->addRef();
    return copy;
}

const DocumentType* ElementType::getOwnerDocumentType() const
{
    Node* owner = _parentField();
    if (!owner || owner->getNodeType() != DOCUMENT_TYPE_NODE)
        return nullptr;
    return static_cast<const DocumentType*>(owner);
}

// ---------------------------------------------------------------------------
// Source

void ElementType::_appendSource(std::string& out) const
{
    out += OPEN_TAG;
    out += ' ';
    out += _name();
    out += ' ';
    _contentModel.toString(out);
    out += CLOSE_TAG;
}

std::string ElementType::getSource() const
{
    std::string out;
    _appendSource(out);
    return out;
}

void ElementType::_writeStart(std::string& out) const
{
    _appendSource(out);
}

// ---------------------------------------------------------------------------
// Attribute types

const AttrType* ElementType::getAttrType(const std::string& name) const
{
    return _attrTypes ? _attrTypes->getAttrType(name) : nullptr;
}

const AttrType* ElementType::_sharedAttrType(const std::string& sharedName) const
{
    return _attrTypes ? _attrTypes->_sharedAttrType(sharedName) : nullptr;
}

std::vector<std::string> ElementType::getAllAttrNames() const
{
    return _attrTypes ? _attrTypes->getAllAttrNames() : std::vector<std::string>();
}

std::vector<std::string> ElementType::getRequiredAttrNames() const
{
    return _attrTypes ? _attrTypes->getRequiredAttrNames() : std::vector<std::string>();
}

std::vector<std::string> ElementType::getNoDefaultAttrNames() const
{
    return _attrTypes ? _attrTypes->getNoDefaultAttrNames() : std::vector<std::string>();
}

// ---------------------------------------------------------------------------
// Flag word

void ElementType::setElementFlags(unsigned long word)
{
    // Each step may override what an earlier one set.
    if (word & GROUP_BLOCK)
        _layoutType = LAYOUT_TYPE_BLOCK;
    if (word & GROUP_BREAK)
        _layoutType = LAYOUT_TYPE_BREAK;
    if (word & GROUP_SOLID)
        _layoutType = LAYOUT_TYPE_OBJECT;
    if (word & GROUP_HEAD)
        _layoutType = LAYOUT_TYPE_HEAD;

    if (word & GROUP_CONTAINER)
        _correctType = CORRECT_CONTAINER;
    if (word & GROUP_PHRASE)
        _correctType = CORRECT_PHRASE;
    if (word & GROUP_UNIQUE)
        _correctType = CORRECT_UNIQUE;
    if (word & GROUP_FONT)
        _correctType = CORRECT_FONT;

    if (word & GROUP_ADOPTING)
        _omitType = OMIT_END_TAG_BY_FLAG;

    if (word & GROUP_INLINE)
        _contentType = ContentModel::INLINE_CONTENT;
    if (word & GROUP_FLOW)
        _contentType = ContentModel::FLOW_CONTENT;

    if (word & GROUP_SSI) {
        _formatType = FORMAT_SSI_DIRECTIVE;
        _contentType = ContentModel::ANY_CONTENT;
    } else if (word & (GROUP_ANYWHERE | GROUP_LOGICAL)) {
        _contentType = ContentModel::ANY_CONTENT;
    }

    if (word & GROUP_JSP_BLOCK)
        _formatType = FORMAT_JSP_BLOCK;
    if (word & GROUP_JSP_DIRECTIVE)
        _formatType = FORMAT_JSP_DIRECTIVE;

    if (word & GROUP_JSP)
        _jspType = true;

    if ((word & (GROUP_XML_TAG | GROUP_EMPTY_TAG)) == 0) {
        if (_formatType == FORMAT_XML_TAG)
            _formatType = FORMAT_HTML_TAG;
        if (_elementID == ElementTable::ID_SUBMIT)
            _formatType = FORMAT_MIDDLEWARE_TAG;
    }

    _group = word;
}

// ---------------------------------------------------------------------------
// Containment

unsigned long ElementType::_nextSerial()
{
    static std::atomic<unsigned long> counter{0};
    return ++counter;
}

namespace {

struct MembershipAnswer {
    unsigned long container = 0;
    unsigned long child = 0;
    bool named = false;
};

constexpr std::size_t MEMBERSHIP_SLOTS = 1024;

} // namespace

bool ElementType::_modelNames(const ElementType* type) const
{
    thread_local MembershipAnswer answers[MEMBERSHIP_SLOTS];
    std::uint64_t h = (static_cast<std::uint64_t>(_serial) * 0x9E3779B97F4A7C15ull) ^
                      (static_cast<std::uint64_t>(type->_serial) * 0xC2B2AE3D27D4EB4Full);
    MembershipAnswer& slot = answers[(h >> 32) & (MEMBERSHIP_SLOTS - 1)];
    if (slot.container == _serial && slot.child == type->_serial)
        return slot.named;
    bool named = _contentModel.find(type->getName()) != nullptr;
    if (!named) {
        const ElementType* twin = type->getCaseTwin();
        named = twin && _contentModel.find(twin->getName());
    }
    slot.container = _serial;
    slot.child = type->_serial;
    slot.named = named;
    return named;
}

bool ElementType::allowsChild(const Node* child) const
{
    if (!child)
        return false;
    const ContentModel::Type container = getContainerType();
    switch (container) {
    case ContentModel::ANY_CONTENT:
        return true;
    case ContentModel::EMPTY_CONTENT:
        return false;
    case ContentModel::CDATA_CONTENT:
        return child->getNodeType() == CDATA_SECTION_NODE;
    default:
        break;
    }

    const bool namesAllowed = container == ContentModel::ELEMENT_CONTENT ||
                              container == ContentModel::MIXED_CONTENT ||
                              container == ContentModel::INLINE_CONTENT ||
                              container == ContentModel::FLOW_CONTENT;
    const bool textAllowed = container == ContentModel::MIXED_CONTENT ||
                             container == ContentModel::PCDATA_CONTENT ||
                             container == ContentModel::INLINE_CONTENT ||
                             container == ContentModel::FLOW_CONTENT;

    switch (child->getNodeType()) {
    case ELEMENT_NODE: {
        const ElementType* type = pagedom::NodeAccess::boundElementType(*child);
        if (!type)
            return true;
        const ContentModel::Type category = type->getContentType();
        if (category == ContentModel::ANY_CONTENT)
            return true;
        if (category == ContentModel::FLOW_CONTENT && container == ContentModel::FLOW_CONTENT)
            return true;
        if (category == ContentModel::INLINE_CONTENT &&
            (container == ContentModel::INLINE_CONTENT || container == ContentModel::FLOW_CONTENT))
            return true;
        if (!namesAllowed)
            return false;
        return _modelNames(type);
    }
    case TEXT_NODE:
        return textAllowed || pagedom::NodeAccess::isBlankText(*child);
    case CDATA_SECTION_NODE:
    case ENTITY_REFERENCE_NODE:
        return textAllowed;
    case PROCESSING_INSTRUCTION_NODE:
    case COMMENT_NODE:
    case META_DATA_NODE:
        return true;
    default:
        return false;
    }
}

namespace {

// The name a content model knows an element by: its type's name, else its
// own, copied into spare (a type's name is not copied: a reader asks this
// for most elements it places).
const std::string& contentName(const Node* element, std::string& spare)
{
    if (const ElementType* type = pagedom::NodeAccess::boundElementType(*element))
        return type->getName();
    spare = element->getNodeName();
    return spare;
}

} // namespace

bool ElementType::includesChild(const Node* child) const
{
    if (!_contentModel.getInclusions() || !child || child->getNodeType() != ELEMENT_NODE)
        return false;
    std::string spare;
    return _contentModel.includes(contentName(child, spare));
}

bool ElementType::excludesChild(const Node* child) const
{
    if (!_contentModel.getExclusions() || !child || child->getNodeType() != ELEMENT_NODE)
        return false;
    std::string spare;
    return _contentModel.excludes(contentName(child, spare));
}

std::vector<std::string> ElementType::getContentNames() const
{
    std::vector<std::string> names;
    const ContentModel::Type container = getContainerType();
    switch (container) {
    case ContentModel::ELEMENT_CONTENT:
    case ContentModel::MIXED_CONTENT:
    case ContentModel::INLINE_CONTENT:
    case ContentModel::FLOW_CONTENT:
        break;
    default:
        return names;
    }

    _contentModel.collectNames(names);

    const DocumentType* owner = getOwnerDocumentType();
    if (!owner)
        return names;
    // JSP blocks and directives are offered only under JSP 1.0.
    const bool withJSP = owner->getJSPVersion() == DOMOptions::JSP_10;
    dom::NodeList decls = owner->getDeclNodes();
    const unsigned long count = decls.length();
    for (unsigned long i = 0; i < count; ++i) {
        const Node* decl = decls.item(i);
        if (!decl || decl->getNodeType() != ELEMENT_TYPE_NODE)
            continue;
        const ElementType* type = static_cast<const ElementType*>(decl);
        const ContentModel::Type category = type->getContentType();
        bool admitted = category == ContentModel::ANY_CONTENT;
        if (container == ContentModel::INLINE_CONTENT)
            admitted = admitted || category == ContentModel::INLINE_CONTENT;
        else if (container == ContentModel::FLOW_CONTENT)
            admitted = admitted || category == ContentModel::INLINE_CONTENT ||
                       category == ContentModel::FLOW_CONTENT;
        if (!admitted)
            continue;
        if (!withJSP &&
            (type->getFormatType() == FORMAT_JSP_BLOCK || type->getFormatType() == FORMAT_JSP_DIRECTIVE))
            continue;
        names.push_back(type->getName());
    }
    return names;
}
