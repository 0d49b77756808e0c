// The factory of the built-in document types: the HTML type read from the
// compiled-in DTD text, the others built from their descriptors.
#include "doctype/BuiltinDocumentTypes.h"

#include <vector>

#include "doctype/AttrTypeList.h"
#include "doctype/BuiltinDescriptors.h"
#include "doctype/DeclarationBuilder.h"
#include "doctype/DocumentType.h"
#include "doctype/ElementTable.h"
#include "doctype/Entity.h"
#include "doctype/HTMLDTDText.h"
#include "doctype/Notation.h"

namespace pagedom {

namespace {

// A new document type without owner document, with one reference.
DocumentType* newDocumentType(const std::string& name)
{
    DocumentType* type = new DocumentType(nullptr, name);
    type->addRef();
    return type;
}

// --- building ------------------------------------------------------------------------------

bool present(const char* text)
{
    return text && *text;
}

std::vector<std::string> splitMembers(const char* text)
{
    std::vector<std::string> members;
    const char* start = text;
    for (const char* p = text;; ++p) {
        if (*p == '|' || *p == '\0') {
            members.emplace_back(start, p);
            if (*p == '\0')
                break;
            start = p + 1;
        }
    }
    return members;
}

void addElementTypes(DocumentType* type, const Descriptor& d)
{
    for (std::size_t i = 0; i < d.elementCount; ++i) {
        const ElementRecord& r = d.elements[i];
        if (!present(r.name))
            continue;
        ElementType* element = DeclarationBuilder::createElementType(*type, r.name);
        if (r.id != NO_ELEMENT_ID)
            DeclarationBuilder::setElementID(*element, r.id);
        if (r.model)
            DeclarationBuilder::setContentModel(*element, r.model);
        DeclarationBuilder::setOmitType(*element, r.omit);
        if (unsigned long word = ElementTable::getElementFlags(r.id) | r.addedBits)
            DeclarationBuilder::setElementFlags(*element, word);
        DeclarationBuilder::addElementType(*type, element);
    }
}

void addAttrTypeLists(DocumentType* type, const Descriptor& d)
{
    for (std::size_t i = 0; i < d.listCount; ++i) {
        const AttrListRecord& r = d.lists[i];
        if (!present(r.element))
            continue;
        AttrTypeList* list = DeclarationBuilder::createAttrTypeList(*type, r.element);
        for (std::size_t j = 0; j < r.count; ++j) {
            const AttrRecord& a = r.attrs[j];
            if (!present(a.name))
                continue;
            AttrType* attr = DeclarationBuilder::createAttrType(*type, a.name);
            DeclarationBuilder::setValueType(*attr, a.type);
            if (a.members)
                DeclarationBuilder::setValues(*attr, splitMembers(a.members));
            DeclarationBuilder::setDefaultType(*attr, a.defaultType);
            if (a.defaultValue)
                DeclarationBuilder::setDefaultValue(*attr, a.defaultValue);
            DeclarationBuilder::addAttrType(*list, attr);
        }
        DeclarationBuilder::addAttrTypeList(*type, list);
    }
}

void addEntities(DocumentType* type, const Descriptor& d)
{
    for (std::size_t i = 0; i < d.entityCount; ++i) {
        const EntityRecord& r = d.entities[i];
        if (!present(r.name))
            continue;
        Entity* entity = DeclarationBuilder::createEntity(*type, r.name);
        if (r.value)
            entity->setNodeValue(r.value);
        if (r.charValue)
            DeclarationBuilder::setCharValue(*entity, r.charValue);
        if (r.publicID)
            DeclarationBuilder::setPublicID(*entity, r.publicID);
        if (r.systemID)
            DeclarationBuilder::setSystemID(*entity, r.systemID);
        if (r.notation)
            DeclarationBuilder::setNotationName(*entity, r.notation);
        DeclarationBuilder::addEntity(*type, entity);
    }
}

void addNotations(DocumentType* type, const Descriptor& d)
{
    for (std::size_t i = 0; i < d.notationCount; ++i) {
        const NotationRecord& r = d.notations[i];
        if (!present(r.name))
            continue;
        Notation* notation = DeclarationBuilder::createNotation(*type, r.name);
        if (r.publicID)
            DeclarationBuilder::setPublicID(*notation, r.publicID);
        if (r.systemID)
            DeclarationBuilder::setSystemID(*notation, r.systemID);
        DeclarationBuilder::addNotation(*type, notation);
    }
}

DocumentType* build(const Descriptor& d)
{
    DocumentType* type = newDocumentType(d.name);
    addElementTypes(type, d);
    addAttrTypeLists(type, d);
    addEntities(type, d);
    addNotations(type, d);
    return type;
}

const char* const HTML_PUBLIC_ID = "-//ZEB//DTD ZEB Version 4.0//EN";

// The HTML type is read from the DTD text compiled into the library; the DTD
// reader gives each known element its id and flag word (ElementTable).
DocumentType* buildHTML()
{
    DocumentType* type = newDocumentType("HTML");
    type->setPublicID(HTML_PUBLIC_ID);
    type->parse(std::string(HTML_DTD_TEXT, HTML_DTD_TEXT_LENGTH));
    DeclarationBuilder::setReceivesQRTX(*type, true);
    return type;
}

} // namespace

DocumentType* BuiltinDocumentTypes::create(const std::string& lowerName)
{
    if (lowerName == "html")
        return buildHTML();
    const Descriptor* descriptor = findDescriptor(lowerName);
    return descriptor ? build(*descriptor) : nullptr;
}

} // namespace pagedom
