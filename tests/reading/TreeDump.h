#ifndef PAGEDOM_TESTS_TREEDUMP_H
#define PAGEDOM_TESTS_TREEDUMP_H

// A full textual picture of a parsed tree, for comparing two readings of the
// same page (the tests and the fuzz target use it).
#include <string>

#include "dom.h"
#include "tree/AttrAccess.h"

namespace treedump {

// Everything a parse decides about a tree, one line per node and attribute:
// types, names, error and update states, tags, attributes, text data and
// the source every node writes.
inline std::string dump(const Document* doc)
{
    std::string out;
    for (const Node* n = doc; n; n = n->getNextNode(doc)) {
        int depth = 0;
        for (const Node* p = n->getParentNode(); p; p = p->getParentNode())
            ++depth;
        out += std::string(static_cast<std::size_t>(depth), ' ') + std::to_string(n->getNodeType()) + " " +
               n->getNodeName() + " e" + std::to_string(n->getErrorState()) + " u" +
               std::to_string(n->getUpdateState());
        if (n->getNodeType() == Node::ELEMENT_NODE) {
            const Element* e = static_cast<const Element*>(n);
            out += " id" + std::to_string(e->getElementID()) + " [" + e->getStartTag() + "][" + e->getEndTag() +
                   "]" + (e->isEmptyTag() ? " empty" : "") + (e->isActiveX() ? " activex" : "");
            dom::NodeList attrs = e->getAttrNodes();
            for (unsigned long i = 0; i < attrs.length(); ++i) {
                const Attr* a = static_cast<const Attr*>(attrs.item(i));
                out += "\n" + std::string(static_cast<std::size_t>(depth) + 2, ' ') + "@" + a->getName() + "=" +
                       a->getValue() + " e" + std::to_string(a->getErrorState()) + " u" +
                       std::to_string(a->getUpdateState()) + (a->isSpecified() ? " specified" : "") +
                       (a->getAttrType() ? " typed" : "") + (pagedom::AttrAccess::isRawText(*a) ? " raw" : "") + " {" +
                       a->getSource() + "}";
            }
        } else if (n->getNodeType() == Node::TEXT_NODE) {
            out += " '" + static_cast<const Text*>(n)->getData() + "'";
        }
        out += " {" + n->getSource() + "}\n";
    }
    return out;
}

} // namespace treedump

#endif
