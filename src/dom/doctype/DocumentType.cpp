// Document types: adding and indexing declarations, the lookups, and the
// "<!DOCTYPE" text.
#include "doctype/DocumentType.h"

#include "doctype/AttrType.h"
#include "doctype/AttrTypeList.h"
#include "doctype/DTDParser.h"
#include "doctype/DeclarationBuilder.h"
#include "doctype/DocumentTypeAccess.h"
#include "doctype/ElementType.h"
#include "doctype/Entity.h"
#include "doctype/Notation.h"
#include "node/ChangeHooks.h"
#include "node/NamedNodeMap.h"

const std::string DocumentType::OPEN_TAG = "<!DOCTYPE";
const std::string DocumentType::DECL_KEY = "DOCTYPE";
const std::string DocumentType::PUBLIC_KEY = "PUBLIC";
const std::string DocumentType::SYSTEM_KEY = "SYSTEM";
const std::string DocumentType::CLOSE_TAG = ">";

DocumentType::DocumentType(Document* ownerDocument, const std::string& name)
    : NamedNode(ownerDocument, name)
{
    // Every document made with a type holds it, on whatever thread it lives.
    _shareCount();
}

DocumentType::DocumentType(const DocumentType& other)
    : NamedNode(other), _publicID(other._publicID), _systemID(other._systemID), _source(other._source),
      _sourceStale(other._sourceStale), _internalSubset(other._internalSubset),
      _receivesQRTX(other._receivesQRTX), _jspVersion(other._jspVersion)
{
    _shareCount();
    // Attribute lists are re-added after the element types they belong to,
    // so copy the declarations in order and let the add operations index.
    for (unsigned long i = 0, n = other._decls.length(); i < n; ++i) {
        Node* copy = other._decls.item(i)->cloneNode(true);
        if (copy)
            _addByType(copy);
    }
    // Re-adding marks the source stale; a source the original kept (as read
    // or as set) belongs to the copy as well.
    _sourceStale = other._sourceStale;
}

DocumentType::~DocumentType()
{
    delete _entities;
    delete _notations;
    delete _elementTypes;
    delete _jspDirectiveNames;
    for (unsigned long i = 0, n = _decls.length(); i < n; ++i) {
        Node* decl = _decls.item(i);
        decl->_setParentField(nullptr);
        decl->releaseRef();
    }
    _decls.clear();
}

std::string DocumentType::getNodeName() const
{
    return _name();
}

unsigned short DocumentType::getNodeType() const
{
    return DOCUMENT_TYPE_NODE;
}

Node* DocumentType::cloneNode(bool) const
{
    DocumentType* copy = new DocumentType(*this);
    copy->addRef();
    return copy;
}

// --- building -------------------------------------------------------------------

Entity* DocumentType::createEntity(const std::string& name) const
{
    Entity* node = new Entity(getOwnerDocument(), name);
    node->addRef();
    return node;
}

Notation* DocumentType::createNotation(const std::string& name) const
{
    Notation* node = new Notation(getOwnerDocument(), name);
    node->addRef();
    return node;
}

ElementType* DocumentType::createElementType(const std::string& name) const
{
    ElementType* node = new ElementType(getOwnerDocument(), name);
    node->addRef();
    return node;
}

AttrTypeList* DocumentType::createAttrTypeList(const std::string& name) const
{
    AttrTypeList* node = new AttrTypeList(getOwnerDocument(), name);
    node->addRef();
    return node;
}

AttrType* DocumentType::createAttrType(const std::string& name) const
{
    AttrType* node = new AttrType(getOwnerDocument(), name);
    node->addRef();
    return node;
}

void DocumentType::_list(Node* decl)
{
    _sourceTouched();
    _decls.append(decl);
    decl->_setParentField(this);
    // Nodes of documents on any thread may hold the declaration (an entity
    // reference its entity).
    decl->_shareCount();
    _sourceStale = true;
}

void DocumentType::_addByType(Node* decl)
{
    switch (decl->getNodeType()) {
    case ENTITY_NODE:
        addEntity(decl);
        break;
    case NOTATION_NODE:
        addNotation(decl);
        break;
    case ELEMENT_TYPE_NODE:
        addElementType(decl);
        break;
    case ATTR_TYPE_LIST_NODE:
        addAttrTypeList(decl);
        break;
    default:
        decl->releaseRef();
        break;
    }
}

Entity* DocumentType::addEntity(Node* node)
{
    if (!node || node->getNodeType() != ENTITY_NODE)
        return nullptr;
    Entity* entity = static_cast<Entity*>(node);
    _list(entity);
    if (!_entities)
        _entities = new StrictNamedNodeMap(this);
    if (!_entities->addNamedItem(entity))
        return nullptr;
    if (unsigned long value = entity->getCharValue())
        _charEntities.emplace(value, entity);
    return entity;
}

Notation* DocumentType::addNotation(Node* node)
{
    if (!node || node->getNodeType() != NOTATION_NODE)
        return nullptr;
    Notation* notation = static_cast<Notation*>(node);
    _list(notation);
    if (!_notations)
        _notations = new NamedNodeMap(this);
    return _notations->addNamedItem(notation) ? notation : nullptr;
}

ElementType* DocumentType::addElementType(Node* node)
{
    if (!node || node->getNodeType() != ELEMENT_TYPE_NODE || node->getNodeName().empty())
        return nullptr;
    ElementType* type = static_cast<ElementType*>(node);
    _list(type);
    if (!_elementTypes)
        _elementTypes = new NamedNodeMap(this);
    ElementType* result = type;
    if (!_elementTypes->addNamedItem(type)) {
        ElementType* held = static_cast<ElementType*>(_elementTypes->getNamedItem(type->getName()));
        if (held && held->getName() != type->getName()) {
            pagedom::DeclarationBuilder::setCaseTwin(*held, type);
            pagedom::DeclarationBuilder::setCaseTwin(*type, held);
        }
        result = nullptr;
    }
    if (int id = type->getElementID()) {
        if (!_elementIDs.emplace(id, type).second)
            result = nullptr;
    }
    if (type->getFormatType() == ElementType::FORMAT_JSP_DIRECTIVE) {
        const std::string& name = type->getName();
        std::size_t dot = name.find('.');
        if (dot != std::string::npos) {
            if (!_jspDirectiveNames)
                _jspDirectiveNames = new std::vector<std::string>();
            _jspDirectiveNames->push_back(name.substr(dot + 1));
        }
    }
    return result;
}

AttrTypeList* DocumentType::addAttrTypeList(Node* node)
{
    if (!node || node->getNodeType() != ATTR_TYPE_LIST_NODE)
        return nullptr;
    AttrTypeList* list = static_cast<AttrTypeList*>(node);
    _list(list);
    if (!_elementTypes || list->getName().empty())
        return list;
    // The lookup by name prefers the case twin spelled exactly as the list.
    ElementType* type = const_cast<ElementType*>(getElementType(list->getName()));
    if (!type)
        return list;
    AttrTypeList* existing = const_cast<AttrTypeList*>(type->getAttrTypes());
    if (!existing) {
        pagedom::DeclarationBuilder::setAttrTypes(*type, list);
    } else if (existing != list) {
        for (unsigned long i = 0, n = list->getLength(); i < n; ++i)
            pagedom::DeclarationBuilder::addAttrType(
                *existing, static_cast<AttrType*>(list->getAttrType(i)->cloneNode(false)));
    }
    return list;
}

void DocumentType::mergeDeclarations(const DocumentType* other)
{
    if (!other)
        return;
    for (unsigned long i = 0, n = other->_decls.length(); i < n; ++i) {
        Node* decl = other->_decls.item(i);
        unsigned short t = decl->getNodeType();
        bool deep = t == ENTITY_NODE || t == NOTATION_NODE;
        if (Node* copy = decl->cloneNode(deep))
            _addByType(copy);
    }
}

// --- reads ---------------------------------------------------------------------

const NamedNodeMap* DocumentType::getElementTypes() const
{
    return _elementTypes;
}

const NamedNodeMap* DocumentType::getNotations() const
{
    return _notations;
}

dom::NodeList DocumentType::getEntityNodes() const
{
    dom::OwnerNodeList result;
    for (unsigned long i = 0, n = _decls.length(); i < n; ++i)
        if (_decls.item(i)->getNodeType() == ENTITY_NODE)
            result.append(_decls.item(i));
    return result;
}

dom::NodeList DocumentType::getElementTypeNodes() const
{
    dom::OwnerNodeList result;
    for (unsigned long i = 0, n = _decls.length(); i < n; ++i)
        if (_decls.item(i)->getNodeType() == ELEMENT_TYPE_NODE)
            result.append(_decls.item(i));
    return result;
}

std::vector<std::string> DocumentType::getElementTypeNames() const
{
    std::vector<std::string> names;
    for (unsigned long i = 0, n = _decls.length(); i < n; ++i) {
        Node* decl = _decls.item(i);
        if (decl->getNodeType() != ELEMENT_TYPE_NODE)
            continue;
        const ElementType* type = static_cast<const ElementType*>(decl);
        const ElementType::FormatType f = type->getFormatType();
        if (_jspVersion != DOMOptions::JSP_10 &&
            (f == ElementType::FORMAT_JSP_BLOCK || f == ElementType::FORMAT_JSP_DIRECTIVE))
            continue;
        names.push_back(type->getName());
    }
    return names;
}

const ElementType* DocumentType::getElementType(const std::string& name) const
{
    return pagedom::DocumentTypeAccess::caseTwinMeant(_storedElementType(name), name);
}

const ElementType* DocumentType::_storedElementType(const std::string& name) const
{
    if (name.empty() || !_elementTypes)
        return nullptr;
    return static_cast<const ElementType*>(_elementTypes->_findCached(name));
}

unsigned long DocumentType::_elementTypesGeneration() const
{
    return _elementTypes ? _elementTypes->_generation : 0;
}

const Entity* DocumentType::getEntity(const std::string& name) const
{
    if (name.empty() || !_entities)
        return nullptr;
    return static_cast<const Entity*>(_entities->_findCached(name));
}

const Notation* DocumentType::getNotation(const std::string& name) const
{
    if (name.empty() || !_notations)
        return nullptr;
    return static_cast<const Notation*>(_notations->getNamedItem(name));
}

const ElementType* DocumentType::getDefElementType(int id) const
{
    auto it = _elementIDs.find(id);
    return it == _elementIDs.end() ? nullptr : it->second;
}

const Entity* DocumentType::getCharEntity(unsigned long value) const
{
    auto it = _charEntities.find(value);
    return it == _charEntities.end() ? nullptr : it->second;
}

std::vector<std::string> DocumentType::getJSPDirectiveNames() const
{
    return _jspDirectiveNames ? *_jspDirectiveNames : std::vector<std::string>();
}

// --- writes ---------------------------------------------------------------------

void DocumentType::setPublicID(const std::string& id)
{
    _sourceTouched();
    pagedom::ChangeHooks::announceBeginModify(this);
    _publicID = id;
    _sourceStale = true;
    _addUpdateBits(UPDATE_CONTENT_MODIFIED);
    pagedom::ChangeHooks::announceEndModify(this);
}

void DocumentType::setSystemID(const std::string& id)
{
    _sourceTouched();
    pagedom::ChangeHooks::announceBeginModify(this);
    _systemID = id;
    _sourceStale = true;
    _addUpdateBits(UPDATE_CONTENT_MODIFIED);
    pagedom::ChangeHooks::announceEndModify(this);
}

void DocumentType::setSource(const std::string& text)
{
    _sourceTouched();
    pagedom::ChangeHooks::announceBeginModify(this);
    _source = text;
    _sourceStale = false;
    _addUpdateBits(UPDATE_CONTENT_MODIFIED);
    pagedom::ChangeHooks::announceEndModify(this);
}

void DocumentType::parse(const std::string& text)
{
    if (text.empty())
        return;
    _sourceTouched();
    pagedom::ChangeHooks::announceBeginModify(this);
    DTDParser parser(this, text);
    parser.parse();
    _addUpdateBits(UPDATE_CONTENT_MODIFIED);
    pagedom::ChangeHooks::announceEndModify(this);
}

void DocumentType::formatSource()
{
    _sourceTouched();
    pagedom::ChangeHooks::announceBeginModify(this);
    _sourceStale = true;
    clearErrorState(INVALID_FORMAT_ERROR);
    _addUpdateBits(UPDATE_CONTENT_MODIFIED);
    pagedom::ChangeHooks::announceEndModify(this);
}

std::string DocumentType::getSource() const
{
    if (!_sourceStale)
        return _source;
    std::string out = OPEN_TAG + " " + _name();
    if (!_publicID.empty()) {
        out += " " + PUBLIC_KEY + " \"" + _publicID + "\"";
        if (!_systemID.empty())
            out += " \"" + _systemID + "\"";
    } else if (!_systemID.empty()) {
        out += " " + SYSTEM_KEY + " \"" + _systemID + "\"";
    }
    unsigned long count = _decls.length();
    if (count || _internalSubset) {
        out += " [";
        for (unsigned long i = 0; i < count; ++i)
            out += "\r\n" + _decls.item(i)->getSource();
        if (count)
            out += "\r\n";
        out += "]";
    }
    out += CLOSE_TAG;
    _source = out;
    _sourceStale = false;
    return _source;
}

void DocumentType::_writeStart(std::string& out) const
{
    out += getSource();
}
