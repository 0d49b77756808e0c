// Writing a subtree as source text, and handing it to the formatter.
#include "node/Node.h"

#include <vector>

#include "node/ChangeHooks.h"
#include "node/SubtreeFormatter.h"

void Node::_writeStart(std::string&) const {}

void Node::_writeEnd(std::string&) const {}

bool Node::_writesChildren() const
{
    return true;
}

// Writes a subtree without recursion: each node's own start text, its
// children in order, then its end text.  Each frame knows whether a node
// on the stack carries metadata; whether one above the walked node does is
// found once, and only when an element with metadata is met.
void Node::_writeSubtree(bool withRoot, std::string& out, bool design) const
{
    struct Frame {
        const Node* node;
        const Node* next;
        bool childrenInside;  // the node or one below the root above it carries metadata
        bool ownInside;       // what the node's own texts were told
    };
    enum { UNKNOWN, NO, YES } above = UNKNOWN;
    auto carries = [](const Node* node) { return const_cast<Node*>(node)->_asMetaElement() != nullptr; };
    // Whether node, whose ancestors on the stack are inside as given, stands
    // inside metadata; only a node with metadata of its own needs to know.
    auto within = [this, &above, &carries, design](bool stackInside, const Node* node) {
        // The design form of an element with metadata is the element as it
        // stands in its start comment: written as one inside another's span.
        if (design)
            return true;
        if (stackInside || !carries(node))
            return stackInside;
        if (above == UNKNOWN)
            above = getAncestorMetaElement() ? YES : NO;
        return above == YES;
    };
    const bool rootInside = within(false, this);
    if (withRoot)
        _writeStartIn(out, rootInside);
    std::vector<Frame> stack;
    if (_writesChildren())
        stack.push_back(Frame{this, getFirstChild(), carries(this), rootInside});
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (!top.next) {
            const Frame done = top;
            stack.pop_back();
            if (done.node != this)
                done.node->_writeEndIn(out, done.ownInside);
            continue;
        }
        const Node* child = top.next;
        top.next = child->getNextSibling();
        const bool inside = within(top.childrenInside, child);
        child->_writeStartIn(out, inside);
        if (child->_writesChildren() && child->getFirstChild())
            stack.push_back(Frame{child, child->getFirstChild(), top.childrenInside || carries(child), inside});
        else
            child->_writeEndIn(out, inside);
    }
    if (withRoot)
        _writeEndIn(out, rootInside);
}

// A whole document is written into room for the page it last read, so that
// the text is not copied over and over while it grows.
void Node::_reserveForWriting(std::string& out) const
{
    if (std::size_t hint = _writeSizeHint())
        out.reserve(hint);
}

std::string Node::getSource() const
{
    std::string out;
    _reserveForWriting(out);
    _writeSubtree(true, out);
    return out;
}

std::string Node::getChildSource() const
{
    std::string out;
    _reserveForWriting(out);
    _writeSubtree(false, out);
    return out;
}

std::string Node::getDesignSource(bool contentOnly) const
{
    // Content mode leaves the node's own tags out.
    std::string out;
    _writeSubtree(!contentOnly, out, true);
    return out;
}

void Node::formatSource()
{
    // Formatting is recorded as the subtree replaced by its formatted self.
    pagedom::ChangeHooks::SubtreeChange change(this);
    if (pagedom::SubtreeFormatter* formatter = pagedom::SubtreeFormatter::installed())
        formatter->formatDescendants(this);
}

void Node::_formatOwn() {}
