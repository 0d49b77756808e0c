#ifndef PAGEDOM_TESTS_PAGEELEMENTS_H
#define PAGEDOM_TESTS_PAGEELEMENTS_H
// Finding the elements of a page read for a test by their declared name.
#include <string>

#include "dom.h"

namespace pageelements {

// The nth element (in document order, from 0) whose declared name is
// upperName, or null.
inline Element* nthNamed(Document* doc, const std::string& upperName, unsigned n = 0)
{
    for (Node* node = doc; node; node = node->getNextNode(doc)) {
        if (node->getNodeType() != Node::ELEMENT_NODE)
            continue;
        const ElementType* type = static_cast<Element*>(node)->getElementType();
        if (type && type->getNodeName() == upperName && n-- == 0)
            return static_cast<Element*>(node);
    }
    return nullptr;
}

// How many elements have the declared name upperName.
inline unsigned countNamed(Document* doc, const std::string& upperName)
{
    unsigned count = 0;
    for (Node* node = doc; node; node = node->getNextNode(doc)) {
        if (node->getNodeType() != Node::ELEMENT_NODE)
            continue;
        const ElementType* type = static_cast<Element*>(node)->getElementType();
        count += type && type->getNodeName() == upperName ? 1 : 0;
    }
    return count;
}

} // namespace pageelements

#endif
