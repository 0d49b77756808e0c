// Attribute-list declarations: the ordered list of attribute types, the
// lookup by name and the declaration text.
#include "doctype/AttrTypeList.h"

#include "doctype/AttrType.h"
#include "node/NamedNodeMap.h"

const std::string AttrTypeList::OPEN_TAG = "<!ATTLIST";
const std::string AttrTypeList::DECL_KEY = "ATTLIST";
const std::string AttrTypeList::CLOSE_TAG = ">";

AttrTypeList::AttrTypeList(Document* ownerDocument, const std::string& name)
    : NamedNode(ownerDocument, name), _map(nullptr)
{
}

AttrTypeList::AttrTypeList(const AttrTypeList& other) : NamedNode(other), _map(nullptr)
{
    const unsigned long count = other._types.length();
    for (unsigned long i = 0; i < count; ++i) {
        const Node* type = other._types.item(i);
        addAttrType(static_cast<AttrType*>(type->cloneNode(true)));
    }
}

AttrTypeList::~AttrTypeList()
{
    delete _map;
    _map = nullptr;
    const unsigned long count = _types.length();
    for (unsigned long i = 0; i < count; ++i) {
        Node* type = _types.item(i);
        // A type that someone else still holds must not point back here.
        type->_setParentField(nullptr);
        type->releaseRef();
    }
    _types.clear();
}

Node* AttrTypeList::cloneNode(bool) const
{
    AttrTypeList* copy = new AttrTypeList(*this);
    copy->addRef();
    return copy;
}

AttrType* AttrTypeList::addAttrType(AttrType* type)
{
    if (!type)
        return nullptr;
    _types.append(type);
    static_cast<Node*>(type)->_setParentField(this);
    if (!type->getName().empty()) {
        if (!_map)
            _map = new NamedNodeMap(this);
        // A later attribute type of the same name takes over the lookup.
        _map->setNamedItem(type);
    }
    return type;
}

const AttrType* AttrTypeList::getAttrType(unsigned long index) const
{
    return static_cast<const AttrType*>(_types.item(index));
}

const AttrType* AttrTypeList::getAttrType(const std::string& name) const
{
    if (name.empty() || !_map)
        return nullptr;
    return static_cast<const AttrType*>(_map->_findCached(name));
}

const AttrType* AttrTypeList::_sharedAttrType(const std::string& sharedName) const
{
    if (sharedName.empty() || !_map)
        return nullptr;
    return static_cast<const AttrType*>(_map->_findCachedShared(sharedName));
}

std::vector<std::string> AttrTypeList::getAllAttrNames() const
{
    std::vector<std::string> names;
    const unsigned long count = _types.length();
    names.reserve(count);
    for (unsigned long i = 0; i < count; ++i)
        names.push_back(getAttrType(i)->getName());
    return names;
}

std::vector<std::string> AttrTypeList::getRequiredAttrNames() const
{
    std::vector<std::string> names;
    const unsigned long count = _types.length();
    for (unsigned long i = 0; i < count; ++i) {
        const AttrType* type = getAttrType(i);
        if (type->getDefaultType() == AttrType::REQUIRED_DEFAULT)
            names.push_back(type->getName());
    }
    return names;
}

std::vector<std::string> AttrTypeList::getNoDefaultAttrNames() const
{
    std::vector<std::string> names;
    const unsigned long count = _types.length();
    for (unsigned long i = 0; i < count; ++i) {
        const AttrType* type = getAttrType(i);
        if (type->getDefaultType() == AttrType::REQUIRED_DEFAULT ||
            type->getDefaultType() == AttrType::IMPLIED_DEFAULT)
            names.push_back(type->getName());
    }
    return names;
}

void AttrTypeList::_appendSource(std::string& out) const
{
    out += OPEN_TAG;
    out += ' ';
    out += _name();
    const unsigned long count = _types.length();
    for (unsigned long i = 0; i < count; ++i) {
        out += "\r\n";
        out += getAttrType(i)->getSource();
    }
    out += "\r\n";
    out += CLOSE_TAG;
}

std::string AttrTypeList::getSource() const
{
    std::string out;
    _appendSource(out);
    return out;
}

void AttrTypeList::_writeStart(std::string& out) const
{
    _appendSource(out);
}
