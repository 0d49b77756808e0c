// The building operations of the declaration classes, handed on to the
// private members that carry them out.
#include "doctype/DeclarationBuilder.h"

#include "doctype/AttrTypeList.h"
#include "doctype/DocumentType.h"
#include "doctype/Entity.h"
#include "doctype/Notation.h"

namespace pagedom {

// --- document types -------------------------------------------------------------

Entity* DeclarationBuilder::createEntity(const DocumentType& type, const std::string& name)
{
    return type.createEntity(name);
}

Notation* DeclarationBuilder::createNotation(const DocumentType& type, const std::string& name)
{
    return type.createNotation(name);
}

ElementType* DeclarationBuilder::createElementType(const DocumentType& type, const std::string& name)
{
    return type.createElementType(name);
}

AttrTypeList* DeclarationBuilder::createAttrTypeList(const DocumentType& type, const std::string& name)
{
    return type.createAttrTypeList(name);
}

AttrType* DeclarationBuilder::createAttrType(const DocumentType& type, const std::string& name)
{
    return type.createAttrType(name);
}

Entity* DeclarationBuilder::addEntity(DocumentType& type, Node* entity)
{
    return type.addEntity(entity);
}

Notation* DeclarationBuilder::addNotation(DocumentType& type, Node* notation)
{
    return type.addNotation(notation);
}

ElementType* DeclarationBuilder::addElementType(DocumentType& type, Node* elementType)
{
    return type.addElementType(elementType);
}

AttrTypeList* DeclarationBuilder::addAttrTypeList(DocumentType& type, Node* list)
{
    return type.addAttrTypeList(list);
}

void DeclarationBuilder::setInternalSubset(DocumentType& type, bool on)
{
    type.setInternalSubset(on);
}

void DeclarationBuilder::setReceivesQRTX(DocumentType& type, bool on)
{
    type.setReceivesQRTX(on);
}

void DeclarationBuilder::setJSPVersion(DocumentType& type, DOMOptions::JSPVersion version)
{
    type.setJSPVersion(version);
}

void DeclarationBuilder::mergeDeclarations(DocumentType& type, const DocumentType* other)
{
    type.mergeDeclarations(other);
}

// --- element types -----------------------------------------------------------------

void DeclarationBuilder::setElementID(ElementType& type, int id)
{
    type.setElementID(id);
}

void DeclarationBuilder::setContentModel(ElementType& type, const std::string& modelText)
{
    type.setContentModel(modelText);
}

void DeclarationBuilder::setOmitType(ElementType& type, ElementType::OmitType omit)
{
    type.setOmitType(omit);
}

void DeclarationBuilder::setElementFlags(ElementType& type, unsigned long word)
{
    type.setElementFlags(word);
}

void DeclarationBuilder::setAttrTypes(ElementType& type, AttrTypeList* list)
{
    type.setAttrTypes(list);
}

void DeclarationBuilder::setCaseTwin(ElementType& type, ElementType* twin)
{
    type.setCaseTwin(twin);
}

// --- attribute types and lists -----------------------------------------------------

void DeclarationBuilder::setValueType(AttrType& type, AttrType::ValueType valueType)
{
    type.setValueType(valueType);
}

void DeclarationBuilder::setValues(AttrType& type, const std::vector<std::string>& values)
{
    type.setValues(values);
}

void DeclarationBuilder::setDefaultType(AttrType& type, AttrType::DefaultType defaultType)
{
    type.setDefaultType(defaultType);
}

void DeclarationBuilder::setDefaultValue(AttrType& type, const std::string& value)
{
    type.setDefaultValue(value);
}

AttrType* DeclarationBuilder::addAttrType(AttrTypeList& list, AttrType* type)
{
    return list.addAttrType(type);
}

// --- entities and notations --------------------------------------------------------

void DeclarationBuilder::setCharValue(Entity& entity, unsigned long value)
{
    entity.setCharValue(value);
}

void DeclarationBuilder::setPublicID(Entity& entity, const std::string& id)
{
    entity.setPublicID(id);
}

void DeclarationBuilder::setSystemID(Entity& entity, const std::string& id)
{
    entity.setSystemID(id);
}

void DeclarationBuilder::setNotationName(Entity& entity, const std::string& name)
{
    entity.setNotationName(name);
}

void DeclarationBuilder::setPublicID(Notation& notation, const std::string& id)
{
    notation.setPublicID(id);
}

void DeclarationBuilder::setSystemID(Notation& notation, const std::string& id)
{
    notation.setSystemID(id);
}

} // namespace pagedom
