// The document type (DTD) of one kind of document: its declarations and
// their indexes, and its "<!DOCTYPE" text.
#ifndef PAGEDOM_DOCTYPE_DOCUMENTTYPE_H
#define PAGEDOM_DOCTYPE_DOCUMENTTYPE_H

#include <map>
#include <string>
#include <vector>

#include "base/Options.h"
#include "node/NamedNode.h"

class AttrType;
class AttrTypeList;
class ElementType;
class Entity;
class NamedNodeMap;
class Notation;
class StrictNamedNodeMap;

namespace pagedom {
struct DeclarationBuilder;
struct DocumentTypeAccess;
}

// The DTD of one kind of document.  It owns every declaration, indexes them
// by name, element id and character value, and writes itself back as a
// "<!DOCTYPE" declaration.  As a tree node it is the DOCTYPE of a page.
//
// The registry shares one document type between all the documents of a
// kind, so a host only reads the types it gets from the registry; the
// declarations are filled in by the DTD reader and the built-in types
// (pagedom::DeclarationBuilder).
class DocumentType : public NamedNode {
public:
    // "<!DOCTYPE", which opens the declaration.
    static const std::string OPEN_TAG;
    // "DOCTYPE", the declaration's keyword.
    static const std::string DECL_KEY;
    // "PUBLIC", which introduces a public identifier.
    static const std::string PUBLIC_KEY;
    // "SYSTEM", which introduces a system identifier.
    static const std::string SYSTEM_KEY;
    // ">", which closes the declaration.
    static const std::string CLOSE_TAG;

    // An empty document type named name.
    DocumentType(Document* ownerDocument, const std::string& name);
    // Releases every declaration.
    ~DocumentType() override;

    // The document type's name, e.g. "HTML".
    std::string getNodeName() const override;
    // DOCUMENT_TYPE_NODE.
    unsigned short getNodeType() const override;
    // A copy with a clone of every declaration, indexed anew, and one reference.
    Node* cloneNode(bool deep) const override;
    // The "<!DOCTYPE" declaration: the one set or last built, else built
    // from the name, the identifiers and the declarations.
    std::string getSource() const override;
    // Makes the next getSource build the declaration anew.
    void formatSource() override;

    // --- reads ------------------------------------------------------------
    // Every declaration, in the order added.
    dom::NodeList getDeclNodes() const { return dom::NodeList(_decls); }
    // The element types by name (case-insensitive), or null before the first.
    const NamedNodeMap* getElementTypes() const;
    // The notations by name (case-insensitive), or null before the first.
    const NamedNodeMap* getNotations() const;
    // The entity declarations, in the order added (indexed or not).
    dom::NodeList getEntityNodes() const;
    // The element-type declarations, in the order added (indexed or not).
    dom::NodeList getElementTypeNodes() const;
    // The names of the element types in declaration order; JSP blocks and
    // directives only when JSP 1.0 declarations are merged in.
    std::vector<std::string> getElementTypeNames() const;
    // The element type of name (case-insensitive, the exact spelling when
    // two differ only in case), or null.
    const ElementType* getElementType(const std::string& name) const;
    // The entity of exactly that name, or null.
    const Entity* getEntity(const std::string& name) const;
    // The notation of that name (case-insensitive), or null.
    const Notation* getNotation(const std::string& name) const;
    // The element type registered for an ElementTable id, or null.
    const ElementType* getDefElementType(int id) const;
    // The first entity declared for code point value, or null.
    const Entity* getCharEntity(unsigned long value) const;
    // The public identifier; empty when none.
    std::string getPublicID() const { return _publicID; }
    // The system identifier; empty when none.
    std::string getSystemID() const { return _systemID; }
    // The JSP version whose declarations are merged in (JSP_NONE for none).
    DOMOptions::JSPVersion getJSPVersion() const { return _jspVersion; }
    // The names of the JSP directives declared ("page", "include", ...).
    std::vector<std::string> getJSPDirectiveNames() const;
    // Whether the declaration is written with an internal subset's brackets
    // even when it has no declarations.
    bool hasInternalSubset() const { return _internalSubset; }
    // Whether the registry merges the "qrtx" declarations into this type.
    bool receivesQRTX() const { return _receivesQRTX; }

    // --- writes -------------------------------------------------------------
    // Each marks the node UPDATE_CONTENT_MODIFIED.
    // Sets the public identifier (announced as a modification).
    void setPublicID(const std::string& id);
    // Sets the system identifier (announced as a modification).
    void setSystemID(const std::string& id);
    // Keeps text as the declaration getSource returns (announced as a modification).
    void setSource(const std::string& text);
    // Reads DTD text into this document type (announced as a modification);
    // an empty text does nothing.
    void parse(const std::string& text);

protected:
    DocumentType(const DocumentType& other);

private:
    void _writeStart(std::string& out) const override;

    // --- building (through pagedom::DeclarationBuilder) ------------------------
    // Factories of new declarations owned by the owner document, not yet
    // added (one reference).
    Entity* createEntity(const std::string& name) const;
    Notation* createNotation(const std::string& name) const;
    ElementType* createElementType(const std::string& name) const;
    AttrTypeList* createAttrTypeList(const std::string& name) const;
    AttrType* createAttrType(const std::string& name) const;

    // Each add takes over the caller's reference (the declaration is listed
    // even when refused) and returns the node, or null when it is not indexed.
    Entity* addEntity(Node* entity);
    Notation* addNotation(Node* notation);
    ElementType* addElementType(Node* type);
    AttrTypeList* addAttrTypeList(Node* list);

    void setInternalSubset(bool on) { _internalSubset = on; _sourceStale = true; }
    void setReceivesQRTX(bool on) { _receivesQRTX = on; }
    void setJSPVersion(DOMOptions::JSPVersion version) { _jspVersion = version; }

    // Copies every declaration of other into this type: entities and
    // notations deeply, element types and attribute lists shallowly.
    void mergeDeclarations(const DocumentType* other);

    // The first step of getElementType, for a reader that remembers it
    // across pages (see pagedom::DocumentTypeAccess): the declaration stored
    // under name (compared ignoring case), before the choice between it and
    // its case twin.
    const ElementType* _storedElementType(const std::string& name) const;
    // Renewed by every change of the declarations stored by name, and
    // unique over all document types: a remembered first step holds while
    // it stays the same.
    unsigned long _elementTypesGeneration() const;

    // Lists a declaration as a child of this type (takes the reference).
    void _list(Node* decl);
    void _addByType(Node* decl);

    dom::OwnerNodeList _decls;
    StrictNamedNodeMap* _entities = nullptr;
    NamedNodeMap* _notations = nullptr;
    NamedNodeMap* _elementTypes = nullptr;
    std::map<unsigned long, Entity*> _charEntities;
    std::map<int, ElementType*> _elementIDs;
    std::string _publicID;
    std::string _systemID;
    mutable std::string _source;
    mutable bool _sourceStale = true;
    bool _internalSubset = false;
    bool _receivesQRTX = false;
    DOMOptions::JSPVersion _jspVersion = DOMOptions::JSP_NONE;
    std::vector<std::string>* _jspDirectiveNames = nullptr;

    // Library internals: the building operations are reached through the
    // DTD reader's and the registry's accessor.
    friend struct pagedom::DeclarationBuilder;
    friend struct pagedom::DocumentTypeAccess;
};

#endif
