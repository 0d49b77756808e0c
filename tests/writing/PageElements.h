#ifndef PAGEDOM_TESTS_PAGEELEMENTS_H
#define PAGEDOM_TESTS_PAGEELEMENTS_H
// Looking into a page read for a test: its elements by declared name, the
// characters its texts show.
#include <algorithm>
#include <string>
#include <vector>

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

// The non-white characters of every text, sorted: a repair or a merge may
// move content past other content, but nothing may be lost.  The byte the
// data marks a markup character with (as read from a reference, or bare)
// is left out: writing a bare "<" as "&lt;" keeps the character.
// The byte the data marks a markup character with.
const char MARKED = '\x1b';

inline std::vector<char> textCharacters(Document* doc)
{
    std::vector<char> chars;
    for (Node* n = doc; n; n = n->getNextNode(doc))
        if (n->getNodeType() == Node::TEXT_NODE)
            for (char c : static_cast<Text*>(n)->getData())
                if (c != ' ' && (c < '\t' || c > '\r') && c != MARKED)
                    chars.push_back(c);
    std::sort(chars.begin(), chars.end());
    return chars;
}

} // namespace pageelements

#endif
