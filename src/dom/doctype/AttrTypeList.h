#ifndef PAGEDOM_DOCTYPE_ATTRTYPELIST_H
#define PAGEDOM_DOCTYPE_ATTRTYPELIST_H

#include <string>
#include <vector>

#include "node/Node.h"

class AttrType;
class NamedNodeMap;

// The declaration <!ATTLIST name ...>: the attribute types of one element in
// declared order, plus a lookup by attribute name (ignoring case).
//
// The list holds one reference on each attribute type it lists.  When two
// attribute types share a name, the later one wins lookups and both are
// written.
class AttrTypeList : public Node {
public:
    static const std::string OPEN_TAG;   // "<!ATTLIST"
    static const std::string DECL_KEY;   // "ATTLIST"
    static const std::string CLOSE_TAG;  // ">"

    AttrTypeList(Document* ownerDocument, const std::string& name);
    ~AttrTypeList() override;

    // --- Node -------------------------------------------------------------
    std::string getNodeName() const override { return _name(); }
    unsigned short getNodeType() const override { return ATTR_TYPE_LIST_NODE; }
    Node* getParentNode() const override { return nullptr; }
    // Copies the name and a clone of every attribute type (the attribute
    // types are part of the declaration, whatever deep says); the copy
    // belongs to no document type.
    Node* cloneNode(bool deep) const override;
    // "<!ATTLIST name", each attribute type on a line of its own, then ">"
    // on its own line.
    std::string getSource() const override;
    void _writeStart(std::string& out) const override;
    bool _writesChildren() const override { return false; }

    // --- reads ------------------------------------------------------------
    const std::string& getName() const { return _name(); }
    unsigned long getLength() const { return _types.length(); }
    const AttrType* getAttrType(unsigned long index) const;
    // Null for an empty name or when no named attribute type was added.
    const AttrType* getAttrType(const std::string& name) const;
    std::vector<std::string> getAllAttrNames() const;
    // Names of the attribute types declared #REQUIRED.
    std::vector<std::string> getRequiredAttrNames() const;
    // Names of the attribute types declared #REQUIRED or #IMPLIED.
    std::vector<std::string> getNoDefaultAttrNames() const;

    // --- builders -------------------------------------------------------------
    // Appends type, taking over the caller's reference; returns it (null for
    // a null type).
    AttrType* addAttrType(AttrType* type);

protected:
    AttrTypeList(const AttrTypeList& other);
    void _setParentNode(Node*) override {}

private:
    void _appendSource(std::string& out) const;

    dom::OwnerNodeList _types;
    NamedNodeMap* _map;
};

#endif
