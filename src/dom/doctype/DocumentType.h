#ifndef PAGEDOM_DOCTYPE_DOCUMENTTYPE_H
#define PAGEDOM_DOCTYPE_DOCUMENTTYPE_H

#include <map>
#include <string>
#include <vector>

#include "base/Options.h"
#include "node/Node.h"

class AttrType;
class AttrTypeList;
class ElementType;
class Entity;
class NamedNodeMap;
class Notation;
class StrictNamedNodeMap;

// The DTD of one kind of document.  It owns every declaration, indexes them
// by name, element id and character value, and writes itself back as a
// "<!DOCTYPE" declaration.  As a tree node it is the DOCTYPE of a page.
class DocumentType : public Node {
public:
    static const std::string OPEN_TAG;
    static const std::string DECL_KEY;
    static const std::string PUBLIC_KEY;
    static const std::string SYSTEM_KEY;
    static const std::string CLOSE_TAG;

    DocumentType(Document* ownerDocument, const std::string& name);
    ~DocumentType() override;

    std::string getNodeName() const override;
    unsigned short getNodeType() const override;
    Node* cloneNode(bool deep) const override;
    std::string getSource() const override;
    void formatSource() override;
    void _writeStart(std::string& out) const override;

    // --- reads ------------------------------------------------------------
    dom::NodeList getDeclNodes() const { return dom::NodeList(_decls); }
    const NamedNodeMap* getElementTypes() const;
    const NamedNodeMap* getNotations() const;
    dom::NodeList getEntityNodes() const;
    dom::NodeList getElementTypeNodes() const;
    std::vector<std::string> getElementTypeNames() const;
    const ElementType* getElementType(const std::string& name) const;
    const Entity* getEntity(const std::string& name) const;
    const Notation* getNotation(const std::string& name) const;
    const ElementType* getDefElementType(int id) const;
    const Entity* getCharEntity(unsigned long value) const;
    std::string getPublicID() const { return _publicID; }
    std::string getSystemID() const { return _systemID; }
    DOMOptions::JSPVersion getJSPVersion() const { return _jspVersion; }
    std::vector<std::string> getJSPDirectiveNames() const;

    // --- writes -------------------------------------------------------------
    void setPublicID(const std::string& id);
    void setSystemID(const std::string& id);
    void setSource(const std::string& text);
    // Reads DTD text into this document type; an empty text does nothing.
    void parse(const std::string& text);

    // --- building -------------------------------------------------------------
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

    bool hasInternalSubset() const { return _internalSubset; }
    void setInternalSubset(bool on) { _internalSubset = on; _sourceStale = true; }
    bool receivesQRTX() const { return _receivesQRTX; }
    void setReceivesQRTX(bool on) { _receivesQRTX = on; }
    void setJSPVersion(DOMOptions::JSPVersion version) { _jspVersion = version; }
    void setJSPDirectiveNames(const std::vector<std::string>& names);

    // Copies every declaration of other into this type: entities and
    // notations deeply, element types and attribute lists shallowly.
    void _mergeDeclarations(const DocumentType* other);

protected:
    DocumentType(const DocumentType& other);

private:
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
};

#endif
