// The building side of document types: the operations with which the DTD
// reader, the built-in document types and the registry fill declarations.
#ifndef PAGEDOM_DOCTYPE_DECLARATIONBUILDER_H
#define PAGEDOM_DOCTYPE_DECLARATIONBUILDER_H

#include <string>
#include <vector>

#include "base/Options.h"
#include "doctype/AttrType.h"
#include "doctype/ElementType.h"

class AttrTypeList;
class DocumentType;
class Entity;
class Node;
class Notation;

namespace pagedom {

// A host reads document types; the registry shares each one between all the
// documents of a kind, so a host must not change them.  The operations that
// fill a document type are therefore private to the declaration classes and
// reached only here, by the DTD reader, the built-in document types, the
// registry and the tests.  Never included by the umbrella header.
struct DeclarationBuilder {
    // --- document types ----------------------------------------------------------
    // A new entity declaration named name, not yet added (one reference).
    static Entity* createEntity(const DocumentType& type, const std::string& name);
    // A new notation declaration named name, not yet added (one reference).
    static Notation* createNotation(const DocumentType& type, const std::string& name);
    // A new element type named name, not yet added (one reference).
    static ElementType* createElementType(const DocumentType& type, const std::string& name);
    // A new attribute-list declaration for element name, not yet added (one reference).
    static AttrTypeList* createAttrTypeList(const DocumentType& type, const std::string& name);
    // A new attribute type named name, not yet listed (one reference).
    static AttrType* createAttrType(const DocumentType& type, const std::string& name);

    // Lists entity in type, taking over the caller's reference; the entity,
    // or null when it is refused or not indexed (a second one of its name).
    static Entity* addEntity(DocumentType& type, Node* entity);
    // Lists notation in type; the notation, or null when refused or not indexed.
    static Notation* addNotation(DocumentType& type, Node* notation);
    // Lists elementType in type; the element type, or null when refused or
    // not indexed by name or by element id.
    static ElementType* addElementType(DocumentType& type, Node* elementType);
    // Lists list in type and gives it to the element type it names (or adds
    // its attribute types to that type's list); the list, or null when refused.
    static AttrTypeList* addAttrTypeList(DocumentType& type, Node* list);

    // Whether type writes an internal subset's brackets even without declarations.
    static void setInternalSubset(DocumentType& type, bool on);
    // Whether the registry merges the "qrtx" declarations into type.
    static void setReceivesQRTX(DocumentType& type, bool on);
    // Records the JSP version whose declarations type now holds.
    static void setJSPVersion(DocumentType& type, DOMOptions::JSPVersion version);
    // Copies every declaration of other into type: entities and notations
    // deeply, element types and attribute lists shallowly.
    static void mergeDeclarations(DocumentType& type, const DocumentType* other);

    // --- element types -------------------------------------------------------------
    // Sets the element id (an ElementTable id, or 0 for none).
    static void setElementID(ElementType& type, int id);
    // Replaces the content model by the one read from modelText.
    static void setContentModel(ElementType& type, const std::string& modelText);
    // Sets the tag omission.
    static void setOmitType(ElementType& type, ElementType::OmitType omit);
    // Stores the element-flag word and derives the categories from it.
    static void setElementFlags(ElementType& type, unsigned long word);
    // Points type at its attribute list (owned by the document type).
    static void setAttrTypes(ElementType& type, AttrTypeList* list);
    // Links type to another type whose name differs only in letter case.
    static void setCaseTwin(ElementType& type, ElementType* twin);

    // --- attribute types and lists -------------------------------------------------
    // Sets the declared value.
    static void setValueType(AttrType& type, AttrType::ValueType valueType);
    // Stores a name group (possibly empty).
    static void setValues(AttrType& type, const std::vector<std::string>& values);
    // Sets the default kind.
    static void setDefaultType(AttrType& type, AttrType::DefaultType defaultType);
    // Sets the fixed or default value.
    static void setDefaultValue(AttrType& type, const std::string& value);
    // Appends type to list, taking over the caller's reference; type, or null for null.
    static AttrType* addAttrType(AttrTypeList& list, AttrType* type);

    // --- entities and notations ----------------------------------------------------
    // Sets the code point the entity stands for (0 for none).
    static void setCharValue(Entity& entity, unsigned long value);
    // Sets the entity's public identifier.
    static void setPublicID(Entity& entity, const std::string& id);
    // Sets the entity's system identifier.
    static void setSystemID(Entity& entity, const std::string& id);
    // Sets the notation of an unparsed entity.
    static void setNotationName(Entity& entity, const std::string& name);
    // Sets the notation's public identifier.
    static void setPublicID(Notation& notation, const std::string& id);
    // Sets the notation's system identifier.
    static void setSystemID(Notation& notation, const std::string& id);
};

} // namespace pagedom

#endif
