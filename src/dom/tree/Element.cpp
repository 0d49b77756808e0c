// The element node: construction and copying, the element type and the
// binding of attributes to it, the update state, containment and the
// classification queries.
#include "tree/Element.h"

#include "doctype/AttrType.h"
#include "doctype/ContentModel.h"
#include "doctype/DocumentType.h"
#include "doctype/ElementTable.h"
#include "doctype/ElementType.h"
#include "node/NamedNodeMap.h"
#include "base/StringUtil.h"
#include "tree/Attr.h"
#include "tree/CDATASection.h"
#include "tree/Document.h"
#include "tree/ElementSupport.h"
#include "tree/MetaData.h"
#include "tree/Text.h"

using pagedom::forEachAttr;

namespace {

// What containment asks of an element's type, answered without a call.
bool isLogicalType(const ElementType* type)
{
    return type && (type->getGroup() & ElementType::GROUP_LOGICAL) != 0;
}

bool declaresExceptions(const ElementType* type)
{
    if (!type)
        return false;
    const ContentModel& model = type->getContentModel();
    return model.getExclusions() || model.getInclusions();
}

// Whether an element of the type may tell the scope chain of its children
// something: it declares exceptions, or it is a FRAMESET or a BODY.
bool mayHeadScopeChain(const ElementType* type)
{
    if (!type)
        return false;
    const int id = type->getElementID();
    return id == ElementTable::ID_FRAMESET || id == ElementTable::ID_BODY || declaresExceptions(type);
}

} // namespace

// --- construction ---------------------------------------------------------------

Element::Element(Document* ownerDocument, const std::string& name)
    : ContainerNode(ownerDocument, name), _attrList(),
      _startGenerated(true), _endGenerated(true), _emptyTag(false), _scriptSyntax(false),
      _activeX(false), _mapPending(false), _endKind(END_NONE), _keptLength(KEPT_UNKNOWN), _recordsKept(false)
{
    const DocumentType* docType = ownerDocument ? ownerDocument->getDocumentType() : nullptr;
    _assignType(docType ? docType->getElementType(name) : nullptr, true);
}

Element::Element(Document* ownerDocument, const std::string& name, const ElementType* nameType)
    : ContainerNode(ownerDocument, name), _attrList(),
      _startGenerated(true), _endGenerated(true), _emptyTag(false), _scriptSyntax(false),
      _activeX(false), _mapPending(false), _endKind(END_NONE), _keptLength(KEPT_UNKNOWN), _recordsKept(false)
{
    _assignType(nameType, true);
}

Element::Element(Document* ownerDocument, const std::string* sharedName, const ElementType* nameType)
    : ContainerNode(ownerDocument, sharedName), _elementType(nameType), _attrList(),
      _startGenerated(true), _endGenerated(true), _emptyTag(false), _scriptSyntax(false),
      _activeX(false), _mapPending(false), _endKind(END_NONE), _keptLength(KEPT_UNKNOWN), _recordsKept(false)
{
}

Element::Element(Document* ownerDocument, const ElementType* type)
    : ContainerNode(ownerDocument, type ? type->getName() : std::string()), _attrList(),
      _startGenerated(true), _endGenerated(true), _emptyTag(false), _scriptSyntax(false),
      _activeX(false), _mapPending(false), _endKind(END_NONE), _keptLength(KEPT_UNKNOWN), _recordsKept(false)
{
    _assignType(type, true);
}

Element::Element(const Element& other)
    : ContainerNode(other), _elementType(other._elementType), _attrList(), _startTag(other._startTag.detached()),
      _startGenerated(other._startGenerated), _endGenerated(other._endGenerated), _emptyTag(other._emptyTag),
      _scriptSyntax(other._scriptSyntax), _activeX(other._activeX), _mapPending(false), _endKind(END_NONE),
      _keptLength(KEPT_UNKNOWN), _recordsKept(false)
{
    _endKind = other._endKind;
    if (_endKind == END_STORED)
        _extra().endTag = other._extras->endTag.detached();
    forEachAttr(other._attrs(), [this](Attr* attr) {
        Attr* copy = static_cast<Attr*>(attr->cloneNode(false));
        _addAttributeNode(copy);
    });
    // The copy's metadata is a copy of the original's (or none), whatever
    // metadata a copied "dynamicelement" attribute attached on the way.
    if (MetaData* attached = _meta()) {
        attached->_setOwnerElement(nullptr);
        attached->releaseRef();
        _extras->metaData = nullptr;
    }
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
    _attrList.~OwnerNodeList(); // the list shares its word (see _records)
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
    if (type == _elementType) {
        _assignType(type, true);
        return;
    }
    const bool edit = _beginOwnEdit();
    // Tags of the new type are produced from it, so the checks of stored
    // tags against the type do not apply to them.
    if (edit)
        _regenerateTags();
    _assignType(type, true);
    if (edit)
        _endOwnEdit();
}

void Element::_assignType(const ElementType* type, bool rebind, bool attrsChecked)
{
    _sourceTouched();
    if (type != _elementType) {
        // The children's scope chains and logical hosts follow from this
        // type, and the element's own cache holds a logical host only if
        // the element was logical when it was found.
        if (hasChildNodes())
            Node::_bumpStructureEpoch();
        _scopeEpoch = 0;
    }
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
    const Document::DocumentFormatType format = doc ? doc->getFormatType() : Document::HTML_FORMAT;
    if (!_startGenerated)
        _checkStartTagName(format);
    if (!_endGenerated)
        _checkEndTagPresence(format);
    if (rebind)
        forEachAttr(_attrs(), [this](Attr* attr) { _bindAttribute(attr, true); });
    if (!_startGenerated && !(attrsChecked && _recordsKept))
        _checkDeclaredAttrs();
    const ElementType::FormatType tagFormat = type->getFormatType();
    if (tagFormat == ElementType::FORMAT_JSP_BLOCK || tagFormat == ElementType::FORMAT_JSP_DIRECTIVE)
        _scriptSyntax = true;
}

// A stored start tag must spell the type's name where names are exact: under
// an XML tag type, and in the lower-case XML style.
void Element::_checkStartTagName(unsigned int documentFormat)
{
    const bool xmlStyle = documentFormat == Document::XML_STYLE_FORMAT;
    const bool exact = _elementType->getFormatType() == ElementType::FORMAT_XML_TAG || xmlStyle;
    if (exact && _name() != (xmlStyle ? pagedom::str::lower(_elementType->getName()) : _elementType->getName()))
        addErrorState(MISMATCHED_ERROR);
    else
        clearErrorState(MISMATCHED_ERROR);
    clearErrorState(MISMATCHED_END_TAG_ERROR);
}

// A stored end tag is unnecessary on an empty element; a missing one is an
// error outside the HTML rules unless the element is empty.
void Element::_checkEndTagPresence(unsigned int documentFormat)
{
    const bool empty = followsXMLRules() ? _emptyTag : isEmptyElement();
    if (_endKind != END_NONE) {
        if (empty)
            addErrorState(UNNECESSARY_END_TAG_ERROR);
        else
            clearErrorState(UNNECESSARY_END_TAG_ERROR);
    } else if (documentFormat == Document::HTML_FORMAT || empty) {
        clearErrorState(MISSING_END_TAG_ERROR);
    } else {
        addErrorState(MISSING_END_TAG_ERROR);
    }
}

// The declared attributes of a stored start tag: under an XML tag type their
// names must be spelled as declared; any error among them marks the element.
void Element::_checkDeclaredAttrs()
{
    if (_recordsKept) {
        _checkDeclaredRecords();
        return;
    }
    bool anyError = false;
    const bool xml = _elementType->getFormatType() == ElementType::FORMAT_XML_TAG;
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
    // An attribute made by another document joins this one: that document
    // may be released while the attribute lives on here.
    if (Document* owner = getOwnerDocument())
        attr->_ownerDocument = owner;
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
    if (!_recordsKept)
        for (unsigned long i = 0, count = _attrList.length(); i < count; ++i)
            _attrList.item(i)->_ownerDocument = owner;
    if (MetaData* metaData = _meta())
        roots.push_back(metaData);
}

// Moved in from another document: the element keeps a type that is already
// one of its new document's declarations, and otherwise takes the type its
// name has there (none when the name is not declared), with its attributes.
void Element::_rebindDeclarations()
{
    const Document* doc = getOwnerDocument();
    const DocumentType* docType = doc ? doc->getDocumentType() : nullptr;
    const ElementType* bound = docType ? docType->getElementType(getTagName()) : nullptr;
    if (bound == _elementType)
        return;
    if (_elementType && docType && docType->getElementType(_elementType->getName()) == _elementType)
        return;
    // Joining another document binds the element anew; its tags stay as
    // they are written (moving is not an edit of the tags).
    _assignType(bound, true);
}

// --- update state ----------------------------------------------------------------

unsigned long Element::_prepareUpdateState(unsigned long state)
{
    if (state == UPDATE_NONE && (getUpdateState() & UPDATE_ATTRIBUTE_MODIFIED))
        _resetAttrUpdateStates();
    return _meta() ? _metaDataUpdateState(state) : state;
}

void Element::_resetAttrUpdateStates()
{
    if (_recordsKept) {
        _clearRecordUpdateMarks();
        return;
    }
    forEachAttr(_attrs(), [](Attr* attr) {
        if (attr->getUpdateState() != UPDATE_NONE)
            attr->_setUpdateState(UPDATE_NONE);
    });
}

// An element with metadata resets the metadata with itself; a change other
// than a sibling's, inside a document, marks the metadata revised and counts
// as a change of the element's content.
unsigned long Element::_metaDataUpdateState(unsigned long state)
{
    if (state == UPDATE_NONE) {
        _meta()->_setUpdateState(UPDATE_NONE);
        return state;
    }
    const unsigned long added = state & ~getUpdateState();
    if ((added & ~UPDATE_SIBLING_CHANGED) != 0 && hasAncestorDocument()) {
        _meta()->_markRevised(false);
        // The document learns of an edit, not of the reader's own work.
        Document* doc = getOwnerDocument();
        if (doc && !doc->_isCreatingNodes())
            doc->_metaDataRevised = true;
        state |= UPDATE_CONTENT_MODIFIED;
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
    // isLogicalElement and isVirtualElement, read off the type at hand (a
    // reader asks this for every node it places).
    if (_elementType->getGroup() & ElementType::GROUP_LOGICAL) {
        // Answers as the nearest ancestor that is not a logical element.
        _scopeChain();
        const Node* host = _extras->logicalHost;
        return host ? host->canContain(child) : true;
    }
    const int id = _elementType->getElementID();
    if (id == ElementTable::ID_TR && !hasStartTag())
        return child->isTrivialNode();

    const ElementType* t = id == ElementTable::ID_NOFRAMES ? _noframesType() : _elementType;
    const bool isElement = child->getNodeType() == ELEMENT_NODE;
    // An element of each type that declares exceptions is on the scope
    // chain, and elements of one type answer alike, so asking the chain is
    // asking every ancestor.
    if (t->allowsChild(child)) {
        if (!isElement)
            return true;
        if (t->excludesChild(child))
            return false;
        for (const Element* a = _scopeChain(); a; a = a->_scope)
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
    for (const Element* a = _scopeChain(); a; a = a->_scope)
        if (a->_elementType->includesChild(child))
            return true;
    return false;
}

const ElementType* Element::_noframesType() const
{
    // The chain holds the outermost FRAMESET and the outermost BODY of the
    // ancestors, the BODY last of the BODY elements it holds.
    const Element* outermostBody = nullptr;
    for (const Element* a = _scopeChain(); a; a = a->_scope) {
        const int id = a->getElementID();
        if (id == ElementTable::ID_FRAMESET)
            return _elementType;
        if (id == ElementTable::ID_BODY)
            outermostBody = a;
    }
    return outermostBody ? outermostBody->_elementType : _elementType;
}

bool Element::_headsScopeChain() const
{
    if (!mayHeadScopeChain(_elementType))
        return false;
    const int id = _elementType->getElementID();
    bool typeAbove = false;
    bool framesetAbove = false;
    bool bodyAbove = false;
    for (const Element* a = _scope; a; a = a->_scope) {
        const int above = a->getElementID();
        typeAbove = typeAbove || a->_elementType == _elementType;
        framesetAbove = framesetAbove || above == ElementTable::ID_FRAMESET;
        bodyAbove = bodyAbove || above == ElementTable::ID_BODY;
    }
    if (declaresExceptions(_elementType) && !typeAbove)
        return true;
    if (id == ElementTable::ID_FRAMESET)
        return !framesetAbove;
    return id == ElementTable::ID_BODY && !framesetAbove && !bodyAbove;
}

const Element* Element::_scopeChain() const
{
    const std::uint32_t epoch = static_cast<std::uint32_t>(Node::_structureEpoch());
    auto valid = [epoch](const Element* e) {
        return e->_scopeEpoch == epoch;
    };
    if (valid(this))
        return _scope;
    // Climb to the first element whose cache still holds (or the top), then
    // fill the caches on the way back down, each from its parent's.
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
        const Element* head = nullptr;
        const Node* host = parent;
        if (parent && parent->getNodeType() == ELEMENT_NODE) {
            const Element* p = static_cast<const Element*>(parent);
            head = p->_headsScopeChain() ? p : p->_scope;
            if (isLogicalType(p->_elementType))
                host = p->_extras->logicalHost;
        }
        x->_scope = head;
        if (isLogicalType(x->_elementType))
            x->_extra().logicalHost = host;
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
    pagedom::discardChildren(this);
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
    // An untyped element of the HTML document whose stored start tag is
    // empty (one a host made, or one implied) has no tag of its own to hold
    // attributes, whether or not its tag is still to be produced.
    if (!_elementType)
        return !(_inHTMLDocument() && _startTag.empty());
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

