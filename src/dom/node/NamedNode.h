// The base of the nodes that carry a name of their own.
#ifndef PAGEDOM_NODE_NAMEDNODE_H
#define PAGEDOM_NODE_NAMEDNODE_H

#include <string>

#include "node/Node.h"

// A node whose name varies from node to node: elements and the other
// containers, attributes, processing instructions, entity references and the
// DTD declarations.  The character-data nodes answer a constant name
// ("#text", "#comment") and keep no name field: they are the most numerous
// nodes of a page, and a name pointer would make each 8 bytes larger for a
// name it never reads.
//
// The name is a shared copy from the table of shared names where the table
// takes it, and a copy of the node's own otherwise (the _ownsName mark).
class NamedNode : public Node {
protected:
    // A node of ownerDocument named name, with count 0.
    NamedNode(Document* ownerDocument, const std::string& name);
    // The same, for a name the caller has already taken from the table of
    // shared names (a reader that looked it up once for many nodes).
    NamedNode(Document* ownerDocument, const std::string* sharedName) : Node(ownerDocument), _nodeName(sharedName) {}
    // A copy's base: the name, shared where the original's is shared.
    NamedNode(const NamedNode& other);
    ~NamedNode() override;

    const std::string& _name() const { return *_nodeName; }

private:
    // Points the name to the shared copy of name, or to a copy of its own.
    void _takeName(const std::string& name);
    void _dropName();

    const std::string* _nodeName;

    // An element keeps its attributes' shared names in its attribute records.
    friend class Element;
};

#endif
