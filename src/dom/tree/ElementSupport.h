// Helpers shared by the source files of the Element family and the document.
// An internal header: no public header includes it.
#ifndef PAGEDOM_TREE_ELEMENTSUPPORT_H
#define PAGEDOM_TREE_ELEMENTSUPPORT_H

#include "doctype/ElementTable.h"
#include "node/NodeList.h"
#include "tree/Attr.h"

namespace pagedom {

// Whether an element of this id is dynamic by its id alone: the QRTX: text,
// loop and property elements.
inline bool isDynamicElementID(int id)
{
    return id == ElementTable::ID_QRTX_TEXT || id == ElementTable::ID_QRTX_LOOP || id == ElementTable::ID_QRTX_PROPERTY;
}

// Removes every child of parent and releases it.
inline void discardChildren(Node* parent)
{
    Node* removed = parent->removeChildNodes(nullptr, nullptr);
    while (removed) {
        Node* next = removed->getNextSibling();
        removed->releaseRef();
        removed = next;
    }
}

// Runs fn on every attribute in the list.
template <class Fn>
void forEachAttr(const dom::NodeList& list, Fn fn)
{
    for (unsigned long i = 0, n = list.length(); i < n; ++i)
        fn(static_cast<Attr*>(list.item(i)));
}

} // namespace pagedom

#endif
