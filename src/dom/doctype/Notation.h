// A notation declaration (<!NOTATION) of a document type.
#ifndef PAGEDOM_DOCTYPE_NOTATION_H
#define PAGEDOM_DOCTYPE_NOTATION_H

#include "node/NamedNode.h"

namespace pagedom {
struct DeclarationBuilder;
}

// A notation declaration: a name and its external identifiers.  Notations
// belong to a DocumentType; getParentNode is always null.
class Notation : public NamedNode {
public:
    // "<!NOTATION", which opens the declaration.
    static const std::string OPEN_TAG;
    // "NOTATION", the declaration's keyword.
    static const std::string DECL_KEY;
    // "PUBLIC", which introduces a public identifier.
    static const std::string PUBLIC_KEY;
    // "SYSTEM", which introduces a system identifier.
    static const std::string SYSTEM_KEY;
    // ">", which closes the declaration.
    static const std::string CLOSE_TAG;

    // A notation named name without identifiers.
    Notation(Document* ownerDocument, const std::string& name);

    // The declared name, case kept.
    std::string getNodeName() const override;
    // NOTATION_NODE.
    unsigned short getNodeType() const override;
    // Always null: a declaration is never part of a tree.
    Node* getParentNode() const override;
    // A copy of every field, with one reference; it belongs to no document type.
    Node* cloneNode(bool deep) const override;
    // The declaration: "<!NOTATION name", the external identifiers, ">".
    std::string getSource() const override;

    // The public identifier; empty when none.
    std::string getPublicID() const { return _publicID; }
    // The system identifier; empty when none.
    std::string getSystemID() const { return _systemID; }

protected:
    Notation(const Notation& other) = default;

private:
    void _writeStart(std::string& out) const override;
    void _setParentNode(Node*) override {}

    // --- building (through pagedom::DeclarationBuilder) ------------------------
    void setPublicID(const std::string& id) { _publicID = id; }
    void setSystemID(const std::string& id) { _systemID = id; }

    std::string _publicID;
    std::string _systemID;

    // Library internals: the building operations are reached through the
    // DTD reader's and the registry's accessor.
    friend struct pagedom::DeclarationBuilder;
};

#endif
