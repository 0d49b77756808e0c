// The descriptors of the built-in document types other than HTML: constant
// tables of element types, attribute lists, entities and notations.
#ifndef PAGEDOM_DOCTYPE_BUILTINDESCRIPTORS_H
#define PAGEDOM_DOCTYPE_BUILTINDESCRIPTORS_H

#include <cstddef>
#include <string>

#include "doctype/AttrType.h"
#include "doctype/ElementType.h"

namespace pagedom {

// A document type other than HTML is described by constant tables: element
// types, attribute lists, general entities and notations.  A missing text
// (null) means "none"; a record without a name is skipped.

// The element id of a record for an element ElementTable does not know.
constexpr int NO_ELEMENT_ID = 0;

// An element's flag word is its id's word in the element table with the
// record's added bits; an element without id and added bits gets none.
struct ElementRecord {
    const char* name;
    int id;             // NO_ELEMENT_ID or an ElementTable id
    const char* model;  // null = no model (any content)
    ElementType::OmitType omit;
    unsigned long addedBits;  // group bits added to the element table's word
};

// One attribute of an attribute list.
struct AttrRecord {
    const char* name;
    AttrType::ValueType type;
    const char* members;  // name-group members separated by '|', or null
    AttrType::DefaultType defaultType;
    const char* defaultValue;  // null = none
};

// The attribute list of one element.
struct AttrListRecord {
    const char* element;
    const AttrRecord* attrs;
    std::size_t count;
};

// One general entity.
struct EntityRecord {
    const char* name;
    const char* value;
    unsigned long charValue;  // 0 = none
    const char* publicID;
    const char* systemID;
    const char* notation;
};

// One notation.
struct NotationRecord {
    const char* name;
    const char* publicID;
    const char* systemID;
};

// A whole document type: its name and its four tables.
struct Descriptor {
    const char* name;
    const ElementRecord* elements;
    std::size_t elementCount;
    const AttrListRecord* lists;
    std::size_t listCount;
    const EntityRecord* entities;
    std::size_t entityCount;
    const NotationRecord* notations;
    std::size_t notationCount;
};

// The descriptor the factory builds for a lower-cased name ("xml", "vxml",
// "jsp091", "jsp10", "qrtx"), or null.
const Descriptor* findDescriptor(const std::string& factoryName);

} // namespace pagedom

#endif
