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
// children in order, then its end text.
void Node::_writeSubtree(bool withRoot, std::string& out) const
{
    struct Frame {
        const Node* node;
        const Node* next;
    };
    if (withRoot)
        _writeStart(out);
    std::vector<Frame> stack;
    if (_writesChildren())
        stack.push_back(Frame{this, getFirstChild()});
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (!top.next) {
            const Node* done = top.node;
            stack.pop_back();
            if (done != this)
                done->_writeEnd(out);
            continue;
        }
        const Node* child = top.next;
        top.next = child->getNextSibling();
        child->_writeStart(out);
        if (child->_writesChildren() && child->getFirstChild())
            stack.push_back(Frame{child, child->getFirstChild()});
        else
            child->_writeEnd(out);
    }
    if (withRoot)
        _writeEnd(out);
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
    _writeSubtree(!contentOnly, out);
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
