#include "tree/Element.h"

#include "doctype/AttrType.h"
#include "doctype/DocumentType.h"
#include "doctype/ElementTable.h"
#include "doctype/ElementType.h"
#include "base/Options.h"
#include "node/ChangeHooks.h"
#include "tree/MetaData.h"
#include "tree/Attr.h"
#include "tree/CDATASection.h"
#include "tree/Document.h"
#include "tree/ElementFinder.h"
#include "tree/ElementSupport.h"
#include "node/NamedNodeMap.h"
#include "node/NodeAllocator.h"
#include "base/StringUtil.h"
#include "tree/Text.h"
#include "convert/PCDATAConverter.h"

const std::string Element::OPEN_TAG = "<";
const std::string Element::END_OPEN_TAG = "</";
const std::string Element::CLOSE_TAG = ">";
const std::string Element::EMPTY_CLOSE_TAG = " />";
const std::string Element::MW_OPEN_TAG = "<!%";
const std::string Element::SSI_OPEN_TAG = "<!--#";
const std::string Element::SSI_CLOSE_TAG = "-->";
const std::string Element::JSP_OPEN_TAG = "<%";
const std::string Element::JSP_EXPR_OPEN_TAG = "<%=";
const std::string Element::JSP_DECL_OPEN_TAG = "<%!";
const std::string Element::JSP_DIR_OPEN_TAG = "<%@";
const std::string Element::JSP_CLOSE_TAG = "%>";

namespace {


std::string applyCase(const std::string& s, DOMOptions::FormatOption::CaseType type)
{
    switch (type) {
    case DOMOptions::FormatOption::CASE_UPPER:
        return pagedom::str::upper(s);
    case DOMOptions::FormatOption::CASE_LOWER:
        return pagedom::str::lower(s);
    default:
        return s;
    }
}

// Runs fn on every attribute in the list.
template <class Fn>
void forEachAttr(const dom::NodeList& list, Fn fn)
{
    for (unsigned long i = 0, n = list.length(); i < n; ++i)
        fn(static_cast<Attr*>(list.item(i)));
}

} // namespace

// --- construction ---------------------------------------------------------------

Element::Element(Document* ownerDocument, const std::string& name)
    : ContainerNode(ownerDocument, name),
      _startGenerated(true), _endGenerated(true), _emptyTag(false), _scriptSyntax(false),
      _activeX(false), _mapPending(false), _endKind(END_NONE)
{
    const DocumentType* docType = ownerDocument ? ownerDocument->getDocumentType() : nullptr;
    setElementType(docType ? docType->getElementType(name) : nullptr);
}

Element::Element(Document* ownerDocument, const ElementType* type)
    : ContainerNode(ownerDocument, type ? type->getName() : std::string()),
      _startGenerated(true), _endGenerated(true), _emptyTag(false), _scriptSyntax(false),
      _activeX(false), _mapPending(false), _endKind(END_NONE)
{
    setElementType(type);
}

Element::Element(const Element& other)
    : ContainerNode(other), _elementType(other._elementType), _startTag(other._startTag.detached()),
      _startGenerated(other._startGenerated), _endGenerated(other._endGenerated), _emptyTag(other._emptyTag),
      _scriptSyntax(other._scriptSyntax), _activeX(other._activeX), _mapPending(false), _endKind(END_NONE)
{
    _endKind = other._endKind;
    if (_endKind == END_STORED)
        _extra().endTag = other._extras->endTag.detached();
    forEachAttr(other._attrs(), [this](Attr* attr) {
        Attr* copy = static_cast<Attr*>(attr->cloneNode(false));
        _addAttributeNode(copy);
    });
    if (other._meta()) {
        MetaData* copy = static_cast<MetaData*>(other._meta()->cloneNode(true));
        _extra().metaData = copy;
        copy->_setOwnerElement(this);
    }
}

Element::~Element()
{
    _dropFrozenAttrs();
    for (unsigned long i = 0, n = _attrList.length(); i < n; ++i) {
        Attr* attr = static_cast<Attr*>(_attrList.item(i));
        attr->_setParentField(nullptr);
        attr->_attrType = nullptr;
        attr->releaseRef();
    }
    _attrList.clear();
    if (_extras) {
        delete _extras->attrMap;
        if (MetaData* metaData = _extras->metaData) {
            metaData->_setOwnerElement(nullptr);
            metaData->releaseRef();
        }
        delete _extras;
        _extras = nullptr;
    }
}

std::string Element::getNodeName() const
{
    return _name();
}

unsigned short Element::getNodeType() const
{
    return ELEMENT_NODE;
}

const NamedNodeMap* Element::getAttributes() const
{
    _ensureMap();
    return _mapPtr();
}

namespace {

// A pending map is built once the list grows past this length, so that
// duplicate checks and lookups on elements with many attributes stay
// logarithmic.
const unsigned long PENDING_MAP_LIMIT = 8;

// The error bits an attribute may carry as read, and their place in a
// record's packed word (above the value length).
const unsigned long FROZEN_ERRORS[] = {Node::UNDEFINED_NAME_ERROR, Node::INVALID_NAME_ERROR, Node::MISMATCHED_ERROR,
                                       Node::INVALID_ATTR_ERROR, Node::DUPLICATE_ERROR};
constexpr std::uint32_t FROZEN_LENGTH_MASK = 0x7FFFFFu;  // values up to 8 MB
constexpr std::uint32_t FROZEN_ERROR_SHIFT = 23;         // five error bits
constexpr std::uint32_t FROZEN_SPECIFIED = 1u << 28;
constexpr std::uint32_t FROZEN_RAW_TEXT = 1u << 29;
// The update mark: none, created, or created with the value set.
constexpr std::uint32_t FROZEN_UPDATE_SHIFT = 30;
constexpr std::uint32_t FROZEN_UPDATE_MASK = 3u << FROZEN_UPDATE_SHIFT;

} // namespace

void Element::_ensureMap() const
{
    if (!_mapPending)
        return;
    _mapPending = false;
    if (!_mapPtr())
        _extra().attrMap = new NamedNodeMap(const_cast<Element*>(this));
    for (unsigned long i = 0, n = _attrs().length(); i < n; ++i) {
        Attr* attr = static_cast<Attr*>(_attrs().item(i));
        if (!attr->getName().empty())
            _mapPtr()->addNamedItem(attr);
    }
}

Attr* Element::_firstWithKey(const std::string& name) const
{
    for (unsigned long i = 0, n = _attrs().length(); i < n; ++i) {
        Attr* attr = static_cast<Attr*>(_attrs().item(i));
        const std::string& own = attr->_name();
        if (!own.empty() && pagedom::str::equalsIgnoreCase(own, name))
            return attr;
    }
    return nullptr;
}

Node* Element::cloneNode(bool deep) const
{
    Element* copy = new Element(*this);
    copy->addRef();
    if (deep)
        _cloneChildrenInto(copy);
    return copy;
}

bool Element::_inHTMLDocument() const
{
    const Document* doc = getOwnerDocument();
    return doc && doc->isHTMLDocument();
}

// --- element type ---------------------------------------------------------------

void Element::setElementType(const ElementType* type)
{
    _assignType(type, true);
}

void Element::_assignType(const ElementType* type, bool rebind)
{
    _sourceTouched();
    if (type != _elementType && hasChildNodes())
        Node::_bumpStructureEpoch();
    _elementType = type;
    const Document* doc = getOwnerDocument();
    if (!type) {
        if (doc && doc->getDocumentType())
            addErrorState(UNDEFINED_NAME_ERROR);
        if (rebind)
            forEachAttr(_attrs(), [this](Attr* attr) { _bindAttribute(attr, true); });
        return;
    }
    clearErrorState(UNDEFINED_NAME_ERROR);
    const Document::DocumentFormatType f = doc ? doc->getFormatType() : Document::HTML_FORMAT;
    if (!_startGenerated) {
        std::string typeName = f == Document::XML_STYLE_FORMAT ? pagedom::str::lower(type->getName()) : type->getName();
        if (type->getFormatType() == ElementType::FORMAT_XML_TAG || f == Document::XML_STYLE_FORMAT) {
            if (_name() != typeName)
                addErrorState(MISMATCHED_ERROR);
            else
                clearErrorState(MISMATCHED_ERROR);
        } else {
            clearErrorState(MISMATCHED_ERROR);
        }
        clearErrorState(MISMATCHED_END_TAG_ERROR);
    }
    if (!_endGenerated) {
        bool empty = followsXMLRules() ? _emptyTag : isEmptyElement();
        if (_endKind != END_NONE) {
            if (empty)
                addErrorState(UNNECESSARY_END_TAG_ERROR);
            else
                clearErrorState(UNNECESSARY_END_TAG_ERROR);
        } else if (f == Document::HTML_FORMAT || empty) {
            clearErrorState(MISSING_END_TAG_ERROR);
        } else {
            addErrorState(MISSING_END_TAG_ERROR);
        }
    }
    if (rebind)
        forEachAttr(_attrs(), [this](Attr* attr) { _bindAttribute(attr, true); });
    if (!_startGenerated) {
        bool anyError = false;
        bool xml = type->getFormatType() == ElementType::FORMAT_XML_TAG;
        forEachAttr(_attrs(), [&](Attr* attr) {
            if (!attr->_attrType)
                return;
            if (xml && attr->getName() != attr->_attrType->getName())
                attr->addErrorState(MISMATCHED_ERROR);
            if (attr->getErrorState() != 0)
                anyError = true;
        });
        if (anyError)
            addErrorState(INVALID_ATTR_ERROR);
        else
            clearErrorState(INVALID_ATTR_ERROR);
    }
    if (type->getFormatType() == ElementType::FORMAT_JSP_BLOCK || type->getFormatType() == ElementType::FORMAT_JSP_DIRECTIVE)
        _scriptSyntax = true;
}

std::string Element::getTypeName() const
{
    return _elementType ? _elementType->getName() : _name();
}

int Element::getElementID() const
{
    return _elementType ? _elementType->getElementID() : 0;
}

unsigned long Element::getElementGroup() const
{
    if (_elementType)
        return _elementType->getGroup();
    return _inHTMLDocument() ? ElementType::GROUP_SOLID : 0;
}

std::vector<std::string> Element::getContentNames() const
{
    return _elementType ? _elementType->getContentNames() : std::vector<std::string>();
}

bool Element::isTrivialNode() const
{
    return _elementType == nullptr;
}

// --- attributes ---------------------------------------------------------------

// Binds an attribute to this element (join) or releases it from any element.
void Element::_bindAttribute(Attr* attr, bool join)
{
    if (!join) {
        attr->_setParentField(nullptr);
        attr->_attrType = nullptr;
        attr->clearErrorState(UNDEFINED_NAME_ERROR | MISMATCHED_ERROR);
        return;
    }
    attr->_setParentField(this);
    if (attr->getErrorState() & INVALID_ATTR_ERROR)
        addErrorState(INVALID_ATTR_ERROR);
    if (!_elementType) {
        attr->_attrType = nullptr;
        attr->clearErrorState(UNDEFINED_NAME_ERROR | MISMATCHED_ERROR);
        return;
    }
    const AttrType* type = _elementType->getAttrType(attr->getName());
    const Document* doc = getOwnerDocument();
    const Document::DocumentFormatType f = doc ? doc->getFormatType() : Document::HTML_FORMAT;
    attr->_attrType = type;
    if (type) {
        attr->clearErrorState(UNDEFINED_NAME_ERROR);
        bool mismatch = f == Document::XML_STYLE_FORMAT && type->getName() != pagedom::str::lower(attr->getName());
        if (mismatch)
            attr->addErrorState(MISMATCHED_ERROR);
        else
            attr->clearErrorState(MISMATCHED_ERROR);
        if ((f != Document::HTML_FORMAT || mismatch) && type->isBooleanType() && attr->_value.empty()) {
            attr->addErrorState(INVALID_ATTR_ERROR);
            addErrorState(INVALID_ATTR_ERROR);
        }
    } else {
        int id = getElementID();
        if (id != ElementTable::ID_SERVLET && id != ElementTable::ID_EMBED) {
            attr->addErrorState(UNDEFINED_NAME_ERROR);
            addErrorState(UNDEFINED_ATTR_ERROR);
        }
        attr->clearErrorState(MISMATCHED_ERROR);
    }
}

void Element::_adoptAttachments(Document* owner, std::vector<Node*>& roots)
{
    // Attributes kept as records take their element's document when made.
    for (unsigned long i = 0, count = _attrList.length(); i < count; ++i)
        _attrList.item(i)->_ownerDocument = owner;
    if (MetaData* metaData = _meta())
        roots.push_back(metaData);
}

Node* Element::_announcedNode()
{
    Node* parent = getParentNode();
    if (parent && parent->getNodeType() == META_DATA_NODE) {
        if (Element* owner = static_cast<MetaData*>(parent)->getOwnerElement())
            return owner;
    }
    return this;
}

Attr* Element::_findExact(const std::string& name) const
{
    for (unsigned long i = 0, n = _attrs().length(); i < n; ++i) {
        Attr* attr = static_cast<Attr*>(_attrs().item(i));
        if (attr->getName() == name)
            return attr;
    }
    return nullptr;
}

// After the map lost its entry for the key of name, lets another listed
// attribute of that key take it.  The map only ever holds listed attributes,
// so while the list is no longer than the map no other attribute can share
// the key; skipping the walk then keeps removal linear for elements with
// thousands of attributes.
void Element::_refillMapEntry(const std::string& name)
{
    _ensureMap();
    if (!_mapPtr() || _attrs().length() <= _mapPtr()->getLength())
        return;
    for (unsigned long i = 0, n = _attrs().length(); i < n; ++i) {
        Attr* other = static_cast<Attr*>(_attrs().item(i));
        if (pagedom::str::equalsIgnoreCase(other->getName(), name)) {
            _mapPtr()->setNamedItem(other);
            return;
        }
    }
}

Attr* Element::getAttributeNode(const std::string& name) const
{
    if (name.empty())
        return nullptr;
    Attr* found;
    if (_mapPending && _attrs().length() <= PENDING_MAP_LIMIT) {
        found = _firstWithKey(name);
    } else {
        _ensureMap();
        if (!_mapPtr())
            return nullptr;
        found = static_cast<Attr*>(_mapPtr()->getNamedItem(name));
    }
    if (!found)
        return nullptr;
    if (found->_attrType || found->getName() == name)
        return found;
    Attr* exact = _findExact(name);
    return exact ? exact : found;
}

std::string Element::getAttribute(const std::string& name) const
{
    if (_frozen && !name.empty()) {
        // Answered from the records where the value needs no conversion.
        const _FrozenAttr* item = _frozenLookup(name);
        if (!item)
            return std::string();
        if (!(item->packed & FROZEN_RAW_TEXT))
            return std::string(_startTag.view().substr(item->offset, item->packed & FROZEN_LENGTH_MASK));
    }
    Attr* attr = getAttributeNode(name);
    return attr ? attr->getValue() : std::string();
}

void Element::setAttribute(const std::string& name, const std::string& value)
{
    _sourceTouched();
    Attr* attr = getAttributeNode(name);
    if (attr && (attr->_attrType || attr->getName() == name)) {
        attr->setValue(value);
        return;
    }
    Document* doc = getOwnerDocument();
    if (!doc)
        return;
    Attr* fresh = doc->createAttribute(name);
    fresh->_value = value;
    fresh->_specified = true;
    if (Attr* replaced = setAttributeNode(fresh))
        replaced->releaseRef();
}

namespace {

bool isDynamicElementAttr(const Attr* attr)
{
    return attr->getAttrType() && attr->getAttrType()->getName() == "dynamicelement";
}

} // namespace

Attr* Element::setAttributeNode(Attr* attr)
{
    _sourceTouched();
    if (!attr || attr->getOwnerElement())
        return nullptr;
    Node* announced = _announcedNode();
    pagedom::ChangeHooks::announceBeginModify(announced);
    _bindAttribute(attr, true);
    Attr* removed = nullptr;
    const std::string name = attr->getName();
    _ensureMap();
    if (!name.empty()) {
        if (!_mapPtr())
            _extra().attrMap = new NamedNodeMap(this);
        Attr* displaced = static_cast<Attr*>(_mapPtr()->setNamedItem(attr));
        if (displaced) {
            Attr* toRemove = displaced;
            if (!displaced->_attrType && displaced->getName() != name)
                toRemove = _findExact(name);
            if (toRemove) {
                _attrs().remove(toRemove);
                _bindAttribute(toRemove, false);
                removed = toRemove;
            }
        }
    }
    _attrs().append(attr);
    _startGenerated = true;
    setUpdateState(getUpdateState() | UPDATE_ATTRIBUTE_MODIFIED);
    pagedom::ChangeHooks::announceEndModify(announced);
    if (isDynamicElementAttr(attr))
        _attachMetaData(MetaData::DynamicData);
    return removed;
}

void Element::_addAttributeNode(Attr* attr)
{
    _sourceTouched();
    if (!attr || attr->getOwnerElement())
        return;
    Node* announced = _announcedNode();
    pagedom::ChangeHooks::announceBeginModify(announced);
    _bindAttribute(attr, true);
    if (!attr->getName().empty()) {
        bool taken;
        if (!_mapPtr() && _attrs().length() < PENDING_MAP_LIMIT) {
            // The key is taken when an earlier listed attribute has it.
            taken = _firstWithKey(attr->_name()) != nullptr;
            _mapPending = true;
        } else {
            _ensureMap();
            if (!_mapPtr())
                _extra().attrMap = new NamedNodeMap(this);
            taken = !_mapPtr()->addNamedItem(attr);
        }
        if (taken && attr->_attrType) {
            attr->addErrorState(DUPLICATE_ERROR);
            addErrorState(INVALID_ATTR_ERROR);
        }
    }
    _attrs().append(attr);
    setUpdateState(getUpdateState() | UPDATE_ATTRIBUTE_MODIFIED);
    pagedom::ChangeHooks::announceEndModify(announced);
    if (isDynamicElementAttr(attr))
        _attachMetaData(MetaData::DynamicData);
}

void Element::removeAttribute(const std::string& name)
{
    _sourceTouched();
    _ensureMap();
    if (!_mapPtr() || name.empty())
        return;
    Node* announced = _announcedNode();
    pagedom::ChangeHooks::announceBeginModify(announced);
    Attr* inMap = static_cast<Attr*>(_mapPtr()->removeNamedItem(name));
    if (!inMap) {
        pagedom::ChangeHooks::announceEndModify(announced);
        return;
    }
    Attr* chosen = inMap;
    if (!inMap->_attrType && inMap->getName() != name) {
        Attr* exact = _findExact(name);
        if (exact && exact != inMap) {
            chosen = exact;
            _mapPtr()->setNamedItem(inMap);
        }
    }
    _attrs().remove(chosen);
    if (chosen == inMap)
        _refillMapEntry(name);
    bool dynamic = isDynamicElementAttr(chosen);
    _bindAttribute(chosen, false);
    if (dynamic)
        _dropDynamicMetaData();
    chosen->releaseRef();
    _startGenerated = true;
    setUpdateState(getUpdateState() | UPDATE_ATTRIBUTE_MODIFIED);
    pagedom::ChangeHooks::announceEndModify(announced);
}

Attr* Element::removeAttributeNode(Attr* attr)
{
    _sourceTouched();
    if (!attr || !hasAttributes())
        return nullptr;
    Node* announced = _announcedNode();
    pagedom::ChangeHooks::announceBeginModify(announced);
    if (!_attrs().remove(attr)) {
        pagedom::ChangeHooks::announceEndModify(announced);
        return nullptr;
    }
    _ensureMap();
    if (_mapPtr() && _mapPtr()->removeNode(attr))
        _refillMapEntry(attr->getName());
    bool dynamic = isDynamicElementAttr(attr);
    _bindAttribute(attr, false);
    if (dynamic)
        _dropDynamicMetaData();
    _startGenerated = true;
    setUpdateState(getUpdateState() | UPDATE_ATTRIBUTE_MODIFIED);
    pagedom::ChangeHooks::announceEndModify(announced);
    return attr;
}

void Element::removeAllAttributes()
{
    _sourceTouched();
    Node* announced = _announcedNode();
    bool had = hasAttributes();
    if (had)
        pagedom::ChangeHooks::announceBeginModify(announced);
    for (unsigned long i = 0, n = _attrs().length(); i < n; ++i) {
        Attr* attr = static_cast<Attr*>(_attrs().item(i));
        _bindAttribute(attr, false);
        attr->releaseRef();
    }
    _attrList.clear();
    if (_extras) {
        delete _extras->attrMap;
        _extras->attrMap = nullptr;
    }
    _mapPending = false;
    clearErrorState(UNDEFINED_ATTR_ERROR | INVALID_ATTR_ERROR);
    if (had) {
        _startGenerated = true;
        setUpdateState(getUpdateState() | UPDATE_ATTRIBUTE_MODIFIED);
        pagedom::ChangeHooks::announceEndModify(announced);
    }
}

dom::NodeList Element::getUndefinedAttrNodes() const
{
    dom::OwnerNodeList result;
    forEachAttr(_attrs(), [&](Attr* attr) {
        if (!attr->_attrType)
            result.append(attr);
    });
    return result;
}

dom::NodeList Element::getURIAttrNodes() const
{
    dom::OwnerNodeList result;
    forEachAttr(_attrs(), [&](Attr* attr) {
        if (attr->_attrType && attr->_attrType->getValueType() == AttrType::URI_TYPE)
            result.append(attr);
    });
    return result;
}

dom::NodeList Element::getEventAttrNodes() const
{
    dom::OwnerNodeList result;
    forEachAttr(_attrs(), [&](Attr* attr) {
        if (attr->_attrType && attr->_attrType->getValueType() == AttrType::EVENT_TYPE)
            result.append(attr);
    });
    return result;
}

// --- attributes kept as records --------------------------------------------------


void Element::_freezeAttrs(const std::uint32_t* valueOffsets, std::size_t count)
{
    const unsigned long n = _attrList.length();
    // Lookups by name then follow the short-list rule (see _frozenLookup).
    if (_frozen || n == 0 || n != count || n > PENDING_MAP_LIMIT || !_mapPending || _mapPtr() || _startGenerated)
        return;
    const std::string_view tag = _startTag.view();
    _FrozenAttrs* frozen = static_cast<_FrozenAttrs*>(pagedom::NodeAllocator::allocate(_FrozenAttrs::bytes(n)));
    frozen->count = static_cast<std::uint32_t>(n);
    _FrozenAttr* items = frozen->items();
    bool keep = true;
    for (unsigned long i = 0; i < n && keep; ++i) {
        const Attr* attr = static_cast<const Attr*>(_attrList.item(i));
        // Only an attribute nothing else holds or has changed.  Its type is
        // the one binding gives under the element's type (every change of
        // type binds again), so the records need not keep it.
        keep = attr->getRefCount() == 1 && !attr->_hasUserData && !attr->_ownsName && attr->_layoutState == 0 &&
               attr->_asRead == _asRead && attr->_quote == 0 && !attr->_valueChanged &&
               attr->_parentField() == this;
        std::uint32_t update = 0;
        switch (attr->_updateState) {
        case UPDATE_NONE: update = 0; break;
        case UPDATE_CREATED: update = 1; break;
        case UPDATE_CREATED | UPDATE_CONTENT_MODIFIED: update = 2; break;
        default: keep = false;
        }
        std::uint32_t errors = 0;
        unsigned long rest = attr->_errorState;
        for (std::uint32_t b = 0; b < 5; ++b) {
            if (rest & FROZEN_ERRORS[b])
                errors |= 1u << b;
            rest &= ~FROZEN_ERRORS[b];
        }
        if (rest)
            keep = false;
        // The value must be the piece of the start tag the reader took it from.
        const std::string_view value = attr->_value.view();
        const std::size_t offset = value.empty() ? 0 : valueOffsets[i];
        if (!value.empty() && (value.size() > FROZEN_LENGTH_MASK || offset > tag.size() ||
                               tag.compare(offset, value.size(), value) != 0))
            keep = false;
        items[i].name = attr->_nodeName;
        items[i].offset = static_cast<std::uint32_t>(offset);
        items[i].packed = static_cast<std::uint32_t>(value.size()) | errors << FROZEN_ERROR_SHIFT |
                          (attr->_specified ? FROZEN_SPECIFIED : 0) | (attr->_rawText ? FROZEN_RAW_TEXT : 0) |
                          update << FROZEN_UPDATE_SHIFT;
    }
    if (!keep) {
        pagedom::NodeAllocator::release(frozen, _FrozenAttrs::bytes(frozen->count));
        return;
    }
    for (unsigned long i = 0; i < n; ++i) {
        Attr* attr = static_cast<Attr*>(_attrList.item(i));
        attr->_setParentField(nullptr);
        attr->_attrType = nullptr;
        attr->releaseRef();
    }
    _attrList.clear();
    _frozen = frozen;
}

// The record getAttributeNode(name) would give the node of: the first
// whose name matches ignoring case, unless that one has no declared type and
// another matches exactly.
const Element::_FrozenAttr* Element::_frozenLookup(const std::string& name) const
{
    const _FrozenAttr* items = _frozen->items();
    const _FrozenAttr* found = nullptr;
    for (std::uint32_t i = 0; i < _frozen->count && !found; ++i)
        if (!items[i].name->empty() && pagedom::str::equalsIgnoreCase(*items[i].name, name))
            found = &items[i];
    if (!found || *found->name == name || (_elementType && _elementType->getAttrType(*found->name)))
        return found;
    for (std::uint32_t i = 0; i < _frozen->count; ++i)
        if (*items[i].name == name)
            return &items[i];
    return found;
}

bool Element::_hasAttribute(const std::string& name) const
{
    if (_frozen)
        return !name.empty() && _frozenLookup(name) != nullptr;
    return getAttributeNode(name) != nullptr;
}

void Element::_makeAttrNodes() const
{
    _FrozenAttrs* frozen = _frozen;
    if (!frozen)
        return;
    _frozen = nullptr;
    Document* doc = getOwnerDocument();
    Element* self = const_cast<Element*>(this);
    const _FrozenAttr* items = frozen->items();
    for (std::uint32_t i = 0; i < frozen->count; ++i) {
        const _FrozenAttr& item = items[i];
        Attr* attr = new Attr(doc, *item.name);
        attr->addRef();
        attr->_asRead = _asRead;
        const std::uint32_t length = item.packed & FROZEN_LENGTH_MASK;
        if (length)
            attr->_value = _startTag.sub(item.offset, length);
        attr->_specified = (item.packed & FROZEN_SPECIFIED) != 0;
        attr->_rawText = (item.packed & FROZEN_RAW_TEXT) != 0;
        unsigned long errors = 0;
        for (std::uint32_t b = 0; b < 5; ++b)
            if (item.packed & (1u << (FROZEN_ERROR_SHIFT + b)))
                errors |= FROZEN_ERRORS[b];
        attr->_errorState = static_cast<std::uint32_t>(errors);
        switch (item.packed >> FROZEN_UPDATE_SHIFT) {
        case 0: attr->_updateState = UPDATE_NONE; break;
        case 1: attr->_updateState = UPDATE_CREATED; break;
        default: attr->_updateState = UPDATE_CREATED | UPDATE_CONTENT_MODIFIED; break;
        }
        attr->_attrType = _elementType ? _elementType->getAttrType(attr->getName()) : nullptr;
        attr->_setParentField(self);
        _attrList.append(attr);
    }
    pagedom::NodeAllocator::release(frozen, _FrozenAttrs::bytes(frozen->count));
}

void Element::_dropFrozenAttrs() const
{
    if (_frozen) {
        pagedom::NodeAllocator::release(_frozen, _FrozenAttrs::bytes(_frozen->count));
        _frozen = nullptr;
    }
}

// --- update state ----------------------------------------------------------------

unsigned long Element::_prepareUpdateState(unsigned long state)
{
    if (state == 0 && (getUpdateState() & UPDATE_ATTRIBUTE_MODIFIED) && _frozen) {
        // Records keep their update mark in two bits; clear them in place.
        _FrozenAttr* items = _frozen->items();
        for (std::uint32_t i = 0; i < _frozen->count; ++i)
            items[i].packed &= ~FROZEN_UPDATE_MASK;
    } else if (state == 0 && (getUpdateState() & UPDATE_ATTRIBUTE_MODIFIED)) {
        forEachAttr(_attrs(), [](Attr* attr) {
            if (attr->getUpdateState() != 0)
                attr->setUpdateState(0);
        });
    }
    if (_meta()) {
        if (state == 0) {
            _meta()->setUpdateState(0);
        } else {
            unsigned long added = state & ~getUpdateState();
            if ((added & ~UPDATE_SIBLING_CHANGED) != 0 && hasAncestorDocument()) {
                _meta()->_setRevised(true);
                state |= UPDATE_CONTENT_MODIFIED;
            }
        }
    }
    return state;
}

// --- containment ---------------------------------------------------------------

bool Element::canContain(const Node* child) const
{
    if (!child)
        return false;
    if (!_elementType) {
        if (_inHTMLDocument())
            return false;
        switch (child->getNodeType()) {
        case ELEMENT_NODE:
        case TEXT_NODE:
        case CDATA_SECTION_NODE:
        case ENTITY_REFERENCE_NODE:
        case PROCESSING_INSTRUCTION_NODE:
        case COMMENT_NODE:
            return true;
        default:
            return false;
        }
    }
    if (isLogicalElement()) {
        // Answers as the nearest ancestor that is not a logical element.
        const Node* parent = getParentNode();
        while (parent && parent->getNodeType() == ELEMENT_NODE &&
               static_cast<const Element*>(parent)->isLogicalElement())
            parent = parent->getParentNode();
        return parent ? parent->canContain(child) : true;
    }
    if (isVirtualElement())
        return child->isTrivialNode();

    const ElementType* t = _elementType;
    if (getElementID() == ElementTable::ID_NOFRAMES) {
        const Element* outermostBody = nullptr;
        bool inFrameset = false;
        for (Node* a = getParentNode(); a && a->getNodeType() == ELEMENT_NODE; a = a->getParentNode()) {
            int id = static_cast<Element*>(a)->getElementID();
            if (id == ElementTable::ID_FRAMESET) {
                inFrameset = true;
                break;
            }
            if (id == ElementTable::ID_BODY)
                outermostBody = static_cast<Element*>(a);
        }
        if (!inFrameset && outermostBody)
            t = outermostBody->_elementType;
    }

    bool isElement = child->getNodeType() == ELEMENT_NODE;
    if (t->allowsChild(child)) {
        if (!isElement)
            return true;
        if (t->excludesChild(child))
            return false;
        for (const Element* a = _exceptionScope(); a; a = a->_exceptionScope())
            if (a->_elementType->excludesChild(child))
                return false;
        return true;
    }
    if (!isElement)
        return false;
    switch (t->getContainerType()) {
    case ContentModel::ELEMENT_CONTENT:
    case ContentModel::MIXED_CONTENT:
    case ContentModel::INLINE_CONTENT:
    case ContentModel::FLOW_CONTENT:
    case ContentModel::ANY_CONTENT:
        break;
    default:
        return false;
    }
    if (t->includesChild(child))
        return true;
    for (const Element* a = _exceptionScope(); a; a = a->_exceptionScope())
        if (a->_elementType->includesChild(child))
            return true;
    return false;
}

bool Element::_hasExceptions() const
{
    if (!_elementType)
        return false;
    const ContentModel& model = _elementType->getContentModel();
    return model.getExclusions() || model.getInclusions();
}

const Element* Element::_exceptionScope() const
{
    const std::uint32_t epoch = static_cast<std::uint32_t>(Node::_structureEpoch());
    auto valid = [epoch](const Element* e) {
        return e->_scopeEpoch == epoch;
    };
    if (valid(this))
        return _scope;
    // Climb to the first element whose cache still holds (or the top), then
    // fill the caches on the way back down.
    thread_local std::vector<const Element*> chain;
    chain.clear();
    const Element* e = this;
    for (;;) {
        chain.push_back(e);
        const Node* parent = e->getParentNode();
        if (!parent || parent->getNodeType() != ELEMENT_NODE)
            break;
        e = static_cast<const Element*>(parent);
        if (valid(e))
            break;
    }
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        const Element* x = *it;
        const Node* parent = x->getParentNode();
        const Element* scope = nullptr;
        if (parent && parent->getNodeType() == ELEMENT_NODE) {
            const Element* p = static_cast<const Element*>(parent);
            scope = p->_hasExceptions() ? p : p->_scope;
        }
        x->_scope = scope;
        x->_scopeEpoch = epoch;
    }
    return _scope;
}

bool Element::hasNonTextChild() const
{
    for (Node* c = getFirstChild(); c; c = c->getNextSibling())
        if (c->getNodeType() != TEXT_NODE)
            return true;
    return false;
}

bool Element::hasUnexpectedChild() const
{
    for (Node* c = getFirstChild(); c; c = c->getNextSibling())
        if (!canContain(c))
            return true;
    return false;
}

dom::NodeList Element::getTextNodes() const
{
    dom::OwnerNodeList result;
    for (Node* c = getFirstChild(); c; c = c->getNextSibling())
        if (c->getNodeType() == TEXT_NODE)
            result.append(c);
    return result;
}

std::string Element::getText() const
{
    std::string out;
    for (Node* c = getFirstChild(); c; c = c->getNextSibling())
        if (c->getNodeType() == TEXT_NODE)
            out += static_cast<Text*>(c)->getText();
    return out;
}

std::string Element::getTextData() const
{
    std::string out;
    for (Node* c = getFirstChild(); c; c = c->getNextSibling())
        if (c->getNodeType() == TEXT_NODE)
            out += static_cast<Text*>(c)->getData();
    return out;
}

std::string Element::getTextSource() const
{
    std::string out;
    for (Node* c = getFirstChild(); c; c = c->getNextSibling())
        if (c->getNodeType() == TEXT_NODE)
            out += c->getSource();
    return out;
}

std::string Element::getJSPScriptData() const
{
    if (!_elementType || _elementType->getFormatType() != ElementType::FORMAT_JSP_BLOCK)
        return std::string();
    std::string out;
    for (Node* c = getFirstChild(); c; c = c->getNextSibling()) {
        if (c->getNodeType() == TEXT_NODE)
            out += c->getSource();
        else if (c->getNodeType() == CDATA_SECTION_NODE)
            out += static_cast<CDATASection*>(c)->getData();
    }
    return out;
}

void Element::setJSPScriptData(const std::string& text)
{
    if (!_elementType || _elementType->getFormatType() != ElementType::FORMAT_JSP_BLOCK)
        return;
    Document* doc = getOwnerDocument();
    if (!doc)
        return;
    if (Node* removed = removeChildNodes(nullptr, nullptr)) {
        while (removed) {
            Node* next = removed->getNextSibling();
            removed->releaseRef();
            removed = next;
        }
    }
    auto white = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    std::string script = text;
    if (script.empty() || !white(script.front()))
        script.insert(script.begin(), ' ');
    if (!white(script.back()))
        script += ' ';
    appendChild(doc->createCDATASection(script));
}

// --- classification ------------------------------------------------------------

bool Element::_declaredEmpty() const
{
    if (_elementType)
        return _elementType->getContainerType() == ContentModel::EMPTY_CONTENT;
    return _inHTMLDocument();
}

bool Element::canHaveAttributes() const
{
    if (!_elementType)
        return !(_inHTMLDocument() && !_startGenerated && _startTag.empty());
    return !(_elementType->getFormatType() == ElementType::FORMAT_JSP_BLOCK && _scriptSyntax);
}

bool Element::canContainText() const
{
    if (!_elementType)
        return !_inHTMLDocument();
    switch (_elementType->getContainerType()) {
    case ContentModel::MIXED_CONTENT:
    case ContentModel::PCDATA_CONTENT:
    case ContentModel::INLINE_CONTENT:
    case ContentModel::FLOW_CONTENT:
    case ContentModel::ANY_CONTENT:
        return true;
    default:
        return false;
    }
}

bool Element::isEmptyElement() const
{
    return _emptyTag || _declaredEmpty();
}

bool Element::isSolidElement() const
{
    return (getElementGroup() & ElementType::GROUP_SOLID) != 0 || _declaredEmpty();
}

bool Element::isPlainElement() const
{
    return (getElementGroup() & ElementType::GROUP_PLAIN) != 0;
}

bool Element::isIndentElement() const
{
    return (getElementGroup() & ElementType::GROUP_INDENT) != 0;
}

bool Element::isLogicalElement() const
{
    return (getElementGroup() & ElementType::GROUP_LOGICAL) != 0;
}

bool Element::canHaveATV() const
{
    return (getElementGroup() & ElementType::GROUP_ATV) != 0;
}

bool Element::isVirtualElement() const
{
    return getElementID() == ElementTable::ID_TR && !hasStartTag();
}

bool Element::isJSPElement() const
{
    return _elementType && _elementType->isJSPType();
}

bool Element::followsXMLRules() const
{
    if (!_elementType)
        return !_inHTMLDocument();
    const ElementType::FormatType f = _elementType->getFormatType();
    const bool script = f == ElementType::FORMAT_JSP_BLOCK || f == ElementType::FORMAT_JSP_DIRECTIVE;
    return f == ElementType::FORMAT_XML_TAG || (script && !_scriptSyntax);
}

// --- tags ------------------------------------------------------------------------

void Element::omitTag()
{
    _sourceTouched();
    _replaceStartTag(pagedom::SourceText());
    _storeEndTag(pagedom::SourceText());
    _startGenerated = false;
    _endGenerated = false;
    if (isVirtualElement())
        clearErrorState(MISSING_START_TAG_ERROR | MISSING_END_TAG_ERROR);
}

void Element::specifyTag()
{
    _sourceTouched();
    _startGenerated = true;
    _endGenerated = true;
}

void Element::setStartTag(const std::string& text)
{
    _setStartTagText(pagedom::SourceText(text));
}

void Element::setEndTag(const std::string& text)
{
    _setEndTagText(pagedom::SourceText(text));
}

void Element::_setStartTagText(const pagedom::SourceText& text)
{
    _sourceTouched();
    _replaceStartTag(text);
    _startGenerated = false;
}

void Element::_setEndTagText(const pagedom::SourceText& text)
{
    _sourceTouched();
    _storeEndTag(text);
    _endGenerated = false;
}

void Element::_replaceStartTag(const pagedom::SourceText& text) const
{
    _thawAttrs(); // the records point into the start tag
    if (_endKind == END_MATCHING) {
        // The end tag was told by the start tag; it keeps its text.
        const std::string end = "</" + std::string(_writtenName()) + ">";
        _extra().endTag = pagedom::SourceText(end);
        _endKind = END_STORED;
    }
    _startTag = text;
}

void Element::_storeEndTag(const pagedom::SourceText& text) const
{
    const std::string_view end = text.view();
    if (end.empty()) {
        _endKind = END_NONE;
    } else if (_isMatchingEndTag(end)) {
        _endKind = END_MATCHING;
    } else {
        _extra().endTag = text;
        _endKind = END_STORED;
        return;
    }
    if (_extras)
        _extras->endTag.clear();
}

namespace {

bool endsName(char c)
{
    return c == '>' || c == '/' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

// Whether end is "</" followed by the start tag's written name and ">".
bool Element::_isMatchingEndTag(std::string_view end) const
{
    if (end.size() < 4 || end[0] != '<' || end[1] != '/' || end.back() != '>')
        return false;
    const std::string_view name = end.substr(2, end.size() - 3);
    const std::string_view tag = _startTag.view();
    if (tag.size() < name.size() + 2 || tag[0] != '<' || tag.compare(1, name.size(), name) != 0 ||
        !endsName(tag[name.size() + 1]))
        return false;
    for (char c : name)
        if (endsName(c))
            return false;
    return true;
}

std::string_view Element::_writtenName() const
{
    const std::string_view tag = _startTag.view();
    if (tag.size() < 2 || tag[0] != '<')
        return std::string_view();
    std::size_t end = 1;
    while (end < tag.size() && !endsName(tag[end]))
        ++end;
    return tag.substr(1, end - 1);
}

bool Element::canOmitEndTag() const
{
    if (!_elementType)
        return _inHTMLDocument();
    unsigned int omit = _elementType->getOmitType();
    if (omit == ElementType::OMIT_END_TAG || omit == ElementType::OMIT_END_TAG_BY_FLAG)
        return true;
    return omit == ElementType::OMIT_BOTH_TAGS && !_startGenerated && _startTag.empty();
}

// An element without type in the HTML document whose start tag is empty (an
// omitted or implied container) keeps both tags empty.
bool Element::_keepsOmittedTags() const
{
    return !_elementType && !_scriptSyntax && _inHTMLDocument() && _startTag.empty();
}

unsigned int Element::_tagKind() const
{
    if (_elementType) {
        const ElementType::FormatType f = _elementType->getFormatType();
        const bool script = f == ElementType::FORMAT_JSP_BLOCK || f == ElementType::FORMAT_JSP_DIRECTIVE;
        if (script && !_scriptSyntax)
            return ElementType::FORMAT_XML_TAG;
        return f > ElementType::FORMAT_XML_TAG ? ElementType::FORMAT_XML_TAG : f;
    }
    if (_scriptSyntax)
        return ElementType::FORMAT_JSP_BLOCK;
    return _inHTMLDocument() ? ElementType::FORMAT_HTML_TAG : ElementType::FORMAT_XML_TAG;
}

std::string Element::_tagName() const
{
    std::string name = getTypeName();
    const Document* doc = getOwnerDocument();
    DOMOptions::FormatOption::CaseType caseType = DOMOptions::getFormatOption()->getTagNameCaseType();
    if (_elementType && doc && doc->getFormatType() == Document::XML_STYLE_FORMAT)
        return pagedom::str::lower(name);
    return applyCase(name, caseType);
}

std::string Element::_generateStartTag() const
{
    if (_keepsOmittedTags())
        return std::string();
    const unsigned int kind = _tagKind();
    const Document* doc = getOwnerDocument();
    std::string out;
    switch (kind) {
    case ElementType::FORMAT_HTML_TAG:
        out = OPEN_TAG + _tagName();
        break;
    case ElementType::FORMAT_MIDDLEWARE_TAG:
        out = MW_OPEN_TAG + getTypeName();
        break;
    case ElementType::FORMAT_SSI_DIRECTIVE: {
        std::string name = getTypeName();
        std::size_t colon = name.find(':');
        out = SSI_OPEN_TAG + (colon == std::string::npos ? name : name.substr(colon + 1));
        break;
    }
    case ElementType::FORMAT_JSP_BLOCK: {
        int id = getElementID();
        out = id == ElementTable::ID_JSP_EXPRESSION ? JSP_EXPR_OPEN_TAG
              : id == ElementTable::ID_JSP_DECLARATION ? JSP_DECL_OPEN_TAG : JSP_OPEN_TAG;
        break;
    }
    case ElementType::FORMAT_JSP_DIRECTIVE: {
        std::string name = getTypeName();
        std::size_t dot = name.find('.');
        out = JSP_DIR_OPEN_TAG;
        if (dot != std::string::npos && dot + 1 < name.size())
            out += " " + name.substr(dot + 1);
        break;
    }
    default:
        out = OPEN_TAG + getTypeName();
        break;
    }
    forEachAttr(_attrs(), [&out](Attr* attr) {
        std::string text = attr->getSource();
        if (!text.empty())
            out += " " + text;
    });
    switch (kind) {
    case ElementType::FORMAT_HTML_TAG:
    case ElementType::FORMAT_MIDDLEWARE_TAG:
        out += (doc && doc->getFormatType() != Document::HTML_FORMAT && isEmptyElement()) ? EMPTY_CLOSE_TAG : CLOSE_TAG;
        break;
    case ElementType::FORMAT_SSI_DIRECTIVE:
        out += " " + SSI_CLOSE_TAG;
        break;
    case ElementType::FORMAT_JSP_BLOCK:
        break;
    case ElementType::FORMAT_JSP_DIRECTIVE:
        out += " " + JSP_CLOSE_TAG;
        break;
    default:
        out += isEmptyElement() ? EMPTY_CLOSE_TAG : CLOSE_TAG;
        break;
    }
    return out;
}

std::string Element::_generateEndTag() const
{
    if (_keepsOmittedTags())
        return std::string();
    const Document* doc = getOwnerDocument();
    switch (_tagKind()) {
    case ElementType::FORMAT_HTML_TAG:
        if (!_elementType)
            return std::string();
        if (_elementType->getContainerType() == ContentModel::EMPTY_CONTENT)
            return std::string();
        // An end tag the type lets a page leave out (start tag required,
        // end tag omissible) is not written under the HTML rules.
        if ((_elementType->getOmitType() == ElementType::OMIT_END_TAG ||
             _elementType->getOmitType() == ElementType::OMIT_END_TAG_BY_FLAG) &&
            (!doc || doc->getFormatType() == Document::HTML_FORMAT))
            return std::string();
        return END_OPEN_TAG + _tagName() + CLOSE_TAG;
    case ElementType::FORMAT_MIDDLEWARE_TAG:
    case ElementType::FORMAT_SSI_DIRECTIVE:
    case ElementType::FORMAT_JSP_DIRECTIVE:
        return std::string();
    case ElementType::FORMAT_JSP_BLOCK:
        return JSP_CLOSE_TAG;
    default:
        return isEmptyElement() ? std::string() : END_OPEN_TAG + getTypeName() + CLOSE_TAG;
    }
}

std::string_view Element::_startTagText() const
{
    if (_startGenerated) {
        _replaceStartTag(pagedom::SourceText(_generateStartTag()));
        _startGenerated = false;
    }
    return _startTag.view();
}

void Element::_settleEndTag() const
{
    if (_endGenerated) {
        _storeEndTag(pagedom::SourceText(_generateEndTag()));
        _endGenerated = false;
    }
}

bool Element::hasEndTag() const
{
    _settleEndTag();
    return _endKind != END_NONE;
}

void Element::_appendEndTag(std::string& out) const
{
    _settleEndTag();
    if (_endKind == END_MATCHING) {
        out += "</";
        out += _writtenName();
        out += '>';
    } else if (_endKind == END_STORED) {
        out += _extras->endTag.view();
    }
}

std::string Element::getStartTag() const
{
    return std::string(_startTagText());
}

std::string Element::getEndTag() const
{
    std::string out;
    _appendEndTag(out);
    return out;
}

std::string Element::getMetaStartSource() const
{
    return std::string();
}

std::string Element::getMetaEndSource() const
{
    return std::string();
}

std::string Element::getStartSource() const
{
    return getMetaStartSource() + getStartTag();
}

std::string Element::getEndSource() const
{
    return getEndTag() + getMetaEndSource();
}

void Element::_writeStart(std::string& out) const
{
    out += _startTagText();
}

void Element::_writeEnd(std::string& out) const
{
    _appendEndTag(out);
}

void Element::formatSource()
{
    _formatOwn();
    Node::formatSource();
}

void Element::_formatOwn()
{
    _sourceTouched();
    // An element whose tags were both left out (an implied container) stays
    // that way; any other gets its tags produced again.
    if (!isOmittedElement()) {
        _startGenerated = true;
        _endGenerated = true;
    }
}

// --- searches --------------------------------------------------------------------

dom::NodeList Element::getElementsByTagName(const std::string& name) const
{
    dom::OwnerNodeList result;
    if (name.empty())
        return result;
    for (Node* n = getFirstChild(); n; n = n->getNextNode(this))
        if (n->getNodeType() == ELEMENT_NODE && pagedom::str::equalsIgnoreCase(n->getNodeName(), name))
            result.append(n);
    return result;
}

Element* Element::getElementByID(const std::string& id) const
{
    if (id.empty())
        return nullptr;
    for (Node* n = getFirstChild(); n; n = n->getNextNode(this)) {
        if (n->getNodeType() != ELEMENT_NODE)
            continue;
        const Element* e = static_cast<Element*>(n);
        if (e->_hasAttribute("id") && e->getAttribute("id") == id)
            return static_cast<Element*>(n);
    }
    return nullptr;
}

dom::NodeList Element::getElementsByAttr(const std::string& name, const std::string& value) const
{
    dom::OwnerNodeList result;
    for (Node* n = getFirstChild(); n; n = n->getNextNode(this)) {
        if (n->getNodeType() != ELEMENT_NODE)
            continue;
        const Element* e = static_cast<Element*>(n);
        if (!e->_hasAttribute(name))
            continue;
        if (value.empty() || e->getAttributeNode(name)->matchValue(value))
            result.append(n);
    }
    return result;
}

dom::NodeList Element::getChildElementsByName(const std::string& name) const
{
    return _Element::ChildFinder(_Element::NameDetector(name)).find(this);
}

dom::NodeList Element::getChildElementsByID(int id) const
{
    return _Element::ChildFinder(_Element::IDDetector(id)).find(this);
}

dom::NodeList Element::getFamilyElementsByName(const std::string& name) const
{
    _Element::NameDetector detector(name);
    if (getElementID() == ElementTable::ID_FORM)
        return _Element::FamilyFinder(detector, _Element::IDDetector(ElementTable::ID_FORM)).find(this);
    return _Element::FamilyFinder(detector, _Element::ContentNameDetector(name)).find(this);
}

dom::NodeList Element::getFamilyElementsByNames(const std::vector<std::string>& names) const
{
    return _Element::FamilyFinder(_Element::MultiNameDetector(names), _Element::IDDetector(getElementID()))
        .find(this);
}

dom::NodeList Element::getFamilyElementsByID(int id) const
{
    _Element::IDDetector detector(id);
    if (getElementID() == ElementTable::ID_FORM)
        return _Element::FamilyFinder(detector, _Element::IDDetector(ElementTable::ID_FORM)).find(this);
    std::string name;
    const Document* doc = getOwnerDocument();
    const DocumentType* docType = doc ? doc->getDocumentType() : nullptr;
    if (docType) {
        if (const ElementType* type = docType->getDefElementType(id))
            name = type->getName();
    }
    return _Element::FamilyFinder(detector, _Element::ContentNameDetector(name)).find(this);
}

dom::NodeList Element::getFamilyElementsByIDs(const std::vector<int>& ids) const
{
    return _Element::FamilyFinder(_Element::MultiIDDetector(ids), _Element::IDDetector(getElementID()))
        .find(this);
}

// --- metadata and special elements --------------------------------------------

void Element::setMetaData(MetaData* metaData)
{
    if (metaData == _meta())
        return;
    if (_meta()) {
        _meta()->_setOwnerElement(nullptr);
        _meta()->releaseRef();
        _extras->metaData = nullptr;
    }
    if (!metaData)
        return;
    if (metaData->getOwnerElement())
        metaData = static_cast<MetaData*>(metaData->cloneNode(true));
    else
        metaData->addRef();
    _extra().metaData = metaData;
    _meta()->_setOwnerElement(this);
}

void Element::_attachMetaData(unsigned int type)
{
    if (_meta() && static_cast<unsigned int>(_meta()->getType()) == type)
        return;
    Document* doc = getOwnerDocument();
    if (!doc)
        return;
    MetaData* meta = doc->_createMetaData();
    meta->setType(static_cast<MetaData::Type>(type));
    setMetaData(meta);
    meta->releaseRef();
}

void Element::_dropDynamicMetaData()
{
    if (_meta() && _meta()->getType() == MetaData::DynamicData)
        setMetaData(nullptr);
}

bool Element::isDynamicElement() const
{
    if (pagedom::isDynamicElementID(getElementID()))
        return true;
    if (_frozen) {
        const _FrozenAttr* item = _frozenLookup("dynamicelement");
        return item && _elementType && _elementType->getAttrType(*item->name);
    }
    Attr* attr = getAttributeNode("dynamicelement");
    return attr && attr->isDefined();
}

void Element::setDynamicElement(bool on)
{
    int id = getElementID();
    if (pagedom::isDynamicElementID(id)) {
        if (on)
            _attachMetaData(MetaData::DynamicData);
        return;
    }
    if (on) {
        if (!getAttributeNode("dynamicelement"))
            setAttribute("dynamicelement", std::string());
    } else if (getAttributeNode("dynamicelement")) {
        removeAttribute("dynamicelement");
    }
}

bool Element::isDTC() const
{
    if (getElementID() != ElementTable::ID_OBJECT)
        return false;
    return _hasAttribute("dtc") || (_meta() && _meta()->getType() == MetaData::DesignerControl);
}

void Element::setDTC(bool on)
{
    if (!on || getElementID() != ElementTable::ID_OBJECT)
        return;
    if (!getAttributeNode("dtc"))
        setAttribute("dtc", std::string());
    _attachMetaData(MetaData::DesignerControl);
}

bool Element::setActiveX()
{
    if (getElementID() == ElementTable::ID_OBJECT && _hasAttribute("classid") && getOwnerDocument())
        _activeX = true;
    return _activeX;
}

Element* Element::getATV() const
{
    if (_meta() && _meta()->getType() == MetaData::AuthorTimeVisual)
        return _meta()->getATVElement();
    return nullptr;
}

void Element::setATV(Element* atv)
{
    Node* announced = _announcedNode();
    pagedom::ChangeHooks::announceBeginModify(announced);
    if (!atv) {
        if (_meta() && _meta()->getType() == MetaData::AuthorTimeVisual)
            setMetaData(nullptr);
    } else {
        _attachMetaData(MetaData::AuthorTimeVisual);
        if (_meta())
            _meta()->_setATVElement(atv);
    }
    setUpdateState(getUpdateState() | UPDATE_META_DATA_MODIFIED);
    pagedom::ChangeHooks::announceEndModify(announced);
}

Element* Element::getATVTargetElement() const
{
    if (getElementID() != ElementTable::ID_QRTX_ATV)
        return nullptr;
    Node* parent = getParentNode();
    if (!parent || parent->getNodeType() != META_DATA_NODE)
        return nullptr;
    return static_cast<MetaData*>(parent)->getOwnerElement();
}

bool Element::isRollOver() const
{
    int id = getElementID();
    if (id != ElementTable::ID_A && id != ElementTable::ID_IMG)
        return false;
    return isRollOverPrefix(getAttribute("name").c_str());
}

bool Element::isRollOverPrefix(const char* name) const
{
    int id = getElementID();
    if ((id != ElementTable::ID_A && id != ElementTable::ID_IMG) || !name)
        return false;
    static const char prefix[] = "_ZEB_ROLLOVER";
    return std::string(name).compare(0, sizeof(prefix) - 1, prefix) == 0;
}
