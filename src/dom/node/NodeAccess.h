// The node internals that layers above the node core reach without being
// friends of Node: an internal header, never part of the public surface.
#ifndef PAGEDOM_NODE_NODEACCESS_H
#define PAGEDOM_NODE_NODEACCESS_H

#include "node/ContainerNode.h"

namespace pagedom {

// What the content-model checks of the document types ask of a node they
// cannot name the class of, and what tests set up directly.
struct NodeAccess {
    // The element type an element is bound to; null for every other node.
    static const ElementType* boundElementType(const Node& node) { return node._boundElementType(); }
    // Whether node is a text node that holds white space only.
    static bool isBlankText(const Node& node) { return node._isBlankText(); }
    // Adds error bits to node, as a reader or the corrector does.
    static void addErrorState(Node& node, unsigned long bits) { node.addErrorState(bits); }
    static void clearErrorState(Node& node, unsigned long bits) { node.clearErrorState(bits); }
    // Adds bits to node's update state as the library's own mark (not a
    // mark set by hand).
    static void addUpdateBits(Node& node, unsigned long bits) { node._addUpdateBits(bits); }
    // Clears update bits as the library's own change (not a mark set by hand).
    static void clearUpdateBits(Node& node, unsigned long bits) { node._setUpdateState(node._updateState & ~bits); }
    // The text the writer puts before a node's children, the text it puts
    // after them, and whether it writes the children at all: the pieces a
    // page-wide source offset counts.
    // An element with metadata is written with its METADATA comments unless
    // an ancestor carries metadata (found by climbing, for such an element
    // only).
    static void writeStart(const Node& node, std::string& out) { node._writeStartIn(out, _insideMeta(node)); }
    static void writeEnd(const Node& node, std::string& out) { node._writeEndIn(out, _insideMeta(node)); }
    static bool writesChildren(const Node& node) { return node._writesChildren(); }
    // Inserts child into parent before ref (null: last) without the climb
    // that proves child does not hold parent: for a caller that knows it,
    // such as a repair moving a node up among its own ancestors.  child,
    // or null when refused.
    static Node* insertFromOutside(Node& parent, Node* child, Node* ref)
    {
        if (!parent._childList())
            return nullptr;
        return static_cast<ContainerNode&>(parent)._insertFromOutside(child, ref);
    }
    // Moves every child of from, in order, into the childless to (both
    // containers), quietly: no announcement, no update marks.  Undo uses it
    // to put a restored copy of a node in the node's place.
    static void handChildren(Node& from, Node& to)
    {
        if (from._childList() && to._childList())
            static_cast<ContainerNode&>(from)._handChildrenTo(&static_cast<ContainerNode&>(to));
    }

private:
    static bool _insideMeta(const Node& node)
    {
        return const_cast<Node&>(node)._asMetaElement() && node.getAncestorMetaElement();
    }
};

} // namespace pagedom

#endif
