// Helpers shared by the source files of the Element family and the document
// factory.  An internal header: no public header includes it.
#ifndef PAGEDOM_TREE_ELEMENTSUPPORT_H
#define PAGEDOM_TREE_ELEMENTSUPPORT_H

#include "doctype/ElementTable.h"

namespace pagedom {

// Whether an element of this id is dynamic by its id alone: the QRTX: text,
// loop and property elements.
inline bool isDynamicElementID(int id)
{
    return id == ElementTable::ID_QRTX_TEXT || id == ElementTable::ID_QRTX_LOOP || id == ElementTable::ID_QRTX_PROPERTY;
}

} // namespace pagedom

#endif
