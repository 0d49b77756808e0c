// A general entity declaration (<!ENTITY) of a document type.
#ifndef PAGEDOM_DOCTYPE_ENTITY_H
#define PAGEDOM_DOCTYPE_ENTITY_H

#include "node/NamedNode.h"

namespace pagedom {
struct DeclarationBuilder;
}

// A general entity declaration: its replacement text as written (for the
// character entities of HTML, one numeric character reference such as
// "&#160;", whose code point is the character value), or the external
// identifiers of an external entity.
//
// Entities belong to a DocumentType; getParentNode is always null.
class Entity : public NamedNode {
public:
    // "<!ENTITY", which opens the declaration.
    static const std::string OPEN_TAG;
    // "ENTITY", the declaration's keyword.
    static const std::string DECL_KEY;
    // "PUBLIC", which introduces a public identifier.
    static const std::string PUBLIC_KEY;
    // "SYSTEM", which introduces a system identifier.
    static const std::string SYSTEM_KEY;
    // "NDATA", which introduces the notation of an unparsed entity.
    static const std::string NDATA_KEY;
    // ">", which closes the declaration.
    static const std::string CLOSE_TAG;

    // An entity named name with an empty value and no identifiers.
    Entity(Document* ownerDocument, const std::string& name);

    // The declared name, case kept.
    std::string getNodeName() const override;
    // The value as written in the declaration.
    std::string getNodeValue() const override { return _value; }
    // Replaces the value; the document type that lists the entity writes its
    // declarations anew (an announced modification of that type).
    void setNodeValue(const std::string& value) override;
    // ENTITY_NODE.
    unsigned short getNodeType() const override;
    // Always null: a declaration is never part of a tree.
    Node* getParentNode() const override;
    // A copy of every field, with one reference; it belongs to no document type.
    Node* cloneNode(bool deep) const override;
    // The declaration: "<!ENTITY name" and the quoted value or the external
    // identifiers (with NDATA and the notation), then ">".
    std::string getSource() const override;

    // The value as written in the declaration.
    std::string getValue() const { return _value; }
    // The code point the value stands for when it is one numeric character
    // reference, else 0.
    unsigned long getCharValue() const { return _charValue; }
    // The public identifier; empty when none.
    std::string getPublicID() const { return _publicID; }
    // The system identifier; empty when none.
    std::string getSystemID() const { return _systemID; }
    // The notation of an unparsed entity; empty when none.
    std::string getNotationName() const { return _notationName; }

    // The character in the host's code page, or the value when the entity
    // stands for no single byte there.
    std::string getText() const;
    // The replacement data in the data form; empty for entities that do not
    // stand for one character.
    std::string getData() const;

protected:
    Entity(const Entity& other) = default;

private:
    void _writeStart(std::string& out) const override;
    void _setParentNode(Node*) override {}

    // --- building (through pagedom::DeclarationBuilder) ------------------------
    void setCharValue(unsigned long value) { _charValue = value; }
    void setPublicID(const std::string& id) { _publicID = id; }
    void setSystemID(const std::string& id) { _systemID = id; }
    void setNotationName(const std::string& name) { _notationName = name; }

    std::string _value;
    unsigned long _charValue = 0;
    std::string _publicID;
    std::string _systemID;
    std::string _notationName;

    // Library internals: the building operations are reached through the
    // DTD reader's and the registry's accessor.
    friend struct pagedom::DeclarationBuilder;
};

#endif
