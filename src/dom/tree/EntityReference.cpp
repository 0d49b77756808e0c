// The entity-reference node: the entity it names and its source.
#include "tree/EntityReference.h"

#include "doctype/DocumentType.h"
#include "doctype/Entity.h"
#include "node/ChangeHooks.h"
#include "tree/Document.h"

const std::string EntityReference::OPEN_TAG = "&";
const std::string EntityReference::CLOSE_TAG = ";";

EntityReference::EntityReference(Document* ownerDocument, const std::string& name)
    : NamedNode(ownerDocument, name), _entity(nullptr)
{
    const DocumentType* type = ownerDocument ? ownerDocument->getDocumentType() : nullptr;
    if (type)
        _entity = const_cast<Entity*>(type->getEntity(name));
    if (_entity)
        _entity->addRef();
    else
        addErrorState(UNDEFINED_NAME_ERROR);
}

EntityReference::EntityReference(const EntityReference& other)
    : NamedNode(other), _entity(other._entity), _source(other._source),
      _formatPending(other._formatPending)
{
    if (_entity)
        _entity->addRef();
}

EntityReference::~EntityReference()
{
    if (_entity)
        _entity->releaseRef();
}

std::string EntityReference::getNodeName() const
{
    return _name();
}

unsigned short EntityReference::getNodeType() const
{
    return ENTITY_REFERENCE_NODE;
}

Node* EntityReference::cloneNode(bool) const
{
    EntityReference* copy = new EntityReference(*this);
    copy->addRef();
    return copy;
}

std::string EntityReference::getValue() const
{
    return _entity ? _entity->getValue() : std::string();
}

void EntityReference::formatSource()
{
    pagedom::ChangeHooks::announceBeginModify(this);
    _regenerateSource();
    pagedom::ChangeHooks::announceEndModify(this);
}

void EntityReference::_regenerateSource()
{
    _sourceTouched();
    _formatPending = true;
    clearErrorState(INVALID_FORMAT_ERROR);
    _addUpdateBits(UPDATE_CONTENT_MODIFIED);
}

void EntityReference::setSource(const std::string& source)
{
    _sourceTouched();
    pagedom::ChangeHooks::announceBeginModify(this);
    _source = source;
    _formatPending = false;
    _addUpdateBits(UPDATE_CONTENT_MODIFIED);
    pagedom::ChangeHooks::announceEndModify(this);
}

std::string EntityReference::getSource() const
{
    if (_formatPending) {
        _source = OPEN_TAG + _name() + CLOSE_TAG;
        _formatPending = false;
    }
    return _source;
}

void EntityReference::_writeStart(std::string& out) const
{
    out += getSource();
}
