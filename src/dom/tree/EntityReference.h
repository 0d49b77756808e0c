// The entity-reference node: "&name;" kept as a node, holding the entity it
// names.
#ifndef PAGEDOM_TREE_ENTITYREFERENCE_H
#define PAGEDOM_TREE_ENTITYREFERENCE_H

#include "node/NamedNode.h"

class Entity;

// A reference "&name;" kept as a node.  The entity is looked up in the owner
// document's document type when the reference is made; an undeclared name
// is marked UNDEFINED_NAME_ERROR.
class EntityReference : public NamedNode {
public:
    // "&".
    static const std::string OPEN_TAG;
    // ";".
    static const std::string CLOSE_TAG;

    // A reference to the entity name of the document's type.
    EntityReference(Document* ownerDocument, const std::string& name);
    // Releases the entity.
    ~EntityReference() override;

    // The entity name.
    std::string getNodeName() const override;
    // The entity's value (getValue).
    std::string getNodeValue() const override { return getValue(); }
    // ENTITY_REFERENCE_NODE.
    unsigned short getNodeType() const override;
    // A copy referring to the same entity, without parent.
    Node* cloneNode(bool deep) const override;
    // The stored source, produced again from the name when pending.
    std::string getSource() const override;
    // Asks for the source to be produced again and marks the node changed.
    void formatSource() override;

    // The entity's value, or the empty string without entity.
    std::string getValue() const;
    // The entity referred to, or null.
    const Entity* getEntity() const { return _entity; }
    // Stores source as the source text (an announced modification).
    void setSource(const std::string& source);

protected:
    // A copy of other without parent (see cloneNode).
    EntityReference(const EntityReference& other);

private:
    // Asks for the source to be produced again, without an announcement.
    void _regenerateSource();
    void _writeStart(std::string& out) const override;

    Entity* _entity;
    mutable std::string _source;
    mutable bool _formatPending = true;
};

#endif
