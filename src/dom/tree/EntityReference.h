#ifndef PAGEDOM_TREE_ENTITYREFERENCE_H
#define PAGEDOM_TREE_ENTITYREFERENCE_H

#include "node/Node.h"

class Entity;

// A reference "&name;" kept as a node.  The entity is looked up in the owner
// document's document type when the reference is made; an undeclared name
// is marked UNDEFINED_NAME_ERROR.
class EntityReference : public Node {
public:
    static const std::string OPEN_TAG;
    static const std::string CLOSE_TAG;

    EntityReference(Document* ownerDocument, const std::string& name);
    ~EntityReference() override;

    std::string getNodeName() const override;
    std::string getNodeValue() const override { return getValue(); }
    unsigned short getNodeType() const override;
    Node* cloneNode(bool deep) const override;
    std::string getSource() const override;
    void formatSource() override;
    void _writeStart(std::string& out) const override;

    std::string getValue() const;
    const Entity* getEntity() const { return _entity; }
    void setSource(const std::string& source);

protected:
    EntityReference(const EntityReference& other);

private:
    Entity* _entity;
    mutable std::string _source;
    mutable bool _formatPending = true;
};

#endif
