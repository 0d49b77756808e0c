// The attribute-list declaration (<!ATTLIST) of one element.
#ifndef PAGEDOM_DOCTYPE_ATTRTYPELIST_H
#define PAGEDOM_DOCTYPE_ATTRTYPELIST_H

#include <string>
#include <vector>

#include "node/NamedNode.h"

class AttrType;
class NamedNodeMap;

namespace pagedom {
struct DeclarationBuilder;
}

// The declaration <!ATTLIST name ...>: the attribute types of one element in
// declared order, plus a lookup by attribute name (ignoring case).
//
// The list holds one reference on each attribute type it lists.  When two
// attribute types share a name, the later one wins lookups and both are
// written.
class AttrTypeList : public NamedNode {
public:
    // "<!ATTLIST", which opens the declaration.
    static const std::string OPEN_TAG;
    // "ATTLIST", the declaration's keyword.
    static const std::string DECL_KEY;
    // ">", which closes the declaration.
    static const std::string CLOSE_TAG;

    // An empty list for the element named name.
    AttrTypeList(Document* ownerDocument, const std::string& name);
    // Releases the attribute types it lists.
    ~AttrTypeList() override;

    // --- Node -------------------------------------------------------------
    // The name of the element the list belongs to.
    std::string getNodeName() const override { return _name(); }
    // ATTR_TYPE_LIST_NODE.
    unsigned short getNodeType() const override { return ATTR_TYPE_LIST_NODE; }
    // Always null: a declaration is never part of a tree.
    Node* getParentNode() const override { return nullptr; }
    // A copy of the name and a clone of every attribute type (they are part
    // of the declaration, whatever deep says), with one reference; the copy
    // belongs to no document type.
    Node* cloneNode(bool deep) const override;
    // "<!ATTLIST name", each attribute type on a line of its own, then ">"
    // on its own line.
    std::string getSource() const override;

    // --- reads ------------------------------------------------------------
    // The name of the element the list belongs to.
    const std::string& getName() const { return _name(); }
    // The number of attribute types listed.
    unsigned long getLength() const { return _types.length(); }
    // The attribute type at index in declared order, or null past the end.
    const AttrType* getAttrType(unsigned long index) const;
    // The attribute type of that name (case-insensitive; the later of two
    // with one name); null for an empty name or when none was named.
    const AttrType* getAttrType(const std::string& name) const;
    // The names of the attribute types, in declared order.
    std::vector<std::string> getAllAttrNames() const;
    // Names of the attribute types declared #REQUIRED.
    std::vector<std::string> getRequiredAttrNames() const;
    // Names of the attribute types declared #REQUIRED or #IMPLIED.
    std::vector<std::string> getNoDefaultAttrNames() const;

protected:
    AttrTypeList(const AttrTypeList& other);

private:
    void _writeStart(std::string& out) const override;
    bool _writesChildren() const override { return false; }
    void _setParentNode(Node*) override {}

    // Appends type, taking over the caller's reference; returns it (null for
    // a null type).  Building goes through pagedom::DeclarationBuilder.
    AttrType* addAttrType(AttrType* type);

    void _appendSource(std::string& out) const;

    dom::OwnerNodeList _types;
    NamedNodeMap* _map;

    // getAttrType for a name from the table of shared names (see
    // NameTable): the same answer, found by the name's address.
    const AttrType* _sharedAttrType(const std::string& sharedName) const;

    // Library internals: the building operations are reached through the
    // DTD reader's and the registry's accessor.
    friend struct pagedom::DeclarationBuilder;
    friend class ElementType;
};

#endif
