// Entity declarations: their text, and the character an entity stands for.
#include "doctype/Entity.h"

#include "doctype/ExternalID.h"
#include "base/PCDATA.h"
#include "node/ChangeHooks.h"

const std::string Entity::OPEN_TAG = "<!ENTITY";
const std::string Entity::DECL_KEY = "ENTITY";
const std::string Entity::PUBLIC_KEY = "PUBLIC";
const std::string Entity::SYSTEM_KEY = "SYSTEM";
const std::string Entity::NDATA_KEY = "NDATA";
const std::string Entity::CLOSE_TAG = ">";


Entity::Entity(Document* ownerDocument, const std::string& name) : NamedNode(ownerDocument, name) {}

std::string Entity::getNodeName() const
{
    return _name();
}

unsigned short Entity::getNodeType() const
{
    return ENTITY_NODE;
}

Node* Entity::getParentNode() const
{
    return nullptr;
}

void Entity::setNodeValue(const std::string& value)
{
    // The document type that lists the entity is its parent in all but
    // name; its "<!DOCTYPE" text holds this declaration.
    Node* type = _parentField();
    if (!type) {
        _value = value;
        return;
    }
    pagedom::ChangeHooks::announceBeginModify(type);
    _value = value;
    type->formatSource();
    pagedom::ChangeHooks::announceEndModify(type);
}

Node* Entity::cloneNode(bool) const
{
    Entity* copy = new Entity(*this);
    copy->addRef();
    return copy;
}

std::string Entity::getSource() const
{
    std::string out = OPEN_TAG + " " + _name();
    if (pagedom::appendExternalID(out, _publicID, _systemID)) {
        if (!_notationName.empty())
            out += " " + NDATA_KEY + " " + _notationName;
    } else {
        out += " \"" + _value + "\"";
    }
    return out + CLOSE_TAG;
}

void Entity::_writeStart(std::string& out) const
{
    out += getSource();
}

std::string Entity::getText() const
{
    if (_charValue) {
        char c = PCDATA::convertCharValueToChar(_charValue);
        if (c)
            return std::string(1, c);
    }
    return _value;
}

std::string Entity::getData() const
{
    if (!_charValue)
        return std::string();
    return PCDATA::convertCharValueToData(_charValue, false);
}

