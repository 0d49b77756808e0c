// The attributes of an element as nodes: the source-ordered list, the
// name-keyed map, and the operations that add, find and remove attributes.
#include "tree/Element.h"

#include "doctype/AttrType.h"
#include "doctype/ElementType.h"
#include "node/ChangeHooks.h"
#include "node/NamedNodeMap.h"
#include "base/StringUtil.h"
#include "tree/Attr.h"
#include "tree/Document.h"
#include "tree/ElementSupport.h"
#include "tree/MetaData.h"

using pagedom::forEachAttr;

const NamedNodeMap* Element::getAttributes() const
{
    _ensureMap();
    return _mapPtr();
}

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
    std::string value;
    if (_frozenValue(name, value))
        return value;
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
    _addUpdateBits(UPDATE_ATTRIBUTE_MODIFIED);
    pagedom::ChangeHooks::announceEndModify(announced);
    if (_isDynamicElementAttr(attr))
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
    _addUpdateBits(UPDATE_ATTRIBUTE_MODIFIED);
    pagedom::ChangeHooks::announceEndModify(announced);
    if (_isDynamicElementAttr(attr))
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
    bool dynamic = _isDynamicElementAttr(chosen);
    _bindAttribute(chosen, false);
    if (dynamic)
        _dropDynamicMetaData();
    chosen->releaseRef();
    _startGenerated = true;
    _addUpdateBits(UPDATE_ATTRIBUTE_MODIFIED);
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
    bool dynamic = _isDynamicElementAttr(attr);
    _bindAttribute(attr, false);
    if (dynamic)
        _dropDynamicMetaData();
    _startGenerated = true;
    _addUpdateBits(UPDATE_ATTRIBUTE_MODIFIED);
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
        _addUpdateBits(UPDATE_ATTRIBUTE_MODIFIED);
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

