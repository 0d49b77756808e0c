// Writing a subtree as source text, and handing it to the formatter.
#include "node/Node.h"

#include <cstring>
#include <string_view>
#include <vector>

#include "node/ChangeHooks.h"
#include "node/SubtreeFormatter.h"

void Node::_writeStart(std::string&) const {}

void Node::_writeEnd(std::string&) const {}

bool Node::_writesChildren() const
{
    return true;
}

namespace {

// What a write learns about the page text of the nodes it writes: whether
// each piece written follows the previous one in the page.  The page
// position the next piece must start at is the cursor; every piece that is
// not found there is a break.  A node whose write saw no break between its
// first and its last piece lies in the page in one piece.
class PageFollower {
public:
    // Whether a learning node is open (only then are pieces compared).
    bool following() const { return _open != 0; }

    // The piece out[from, end) was written.
    void written(const std::string& out, std::size_t from)
    {
        const std::size_t length = out.size() - from;
        if (length == 0)
            return;
        if (_cursor && static_cast<std::size_t>(_pageEnd - _cursor) >= length
            && std::memcmp(_cursor, out.data() + from, length) == 0)
            _cursor += length;
        else
            breakOff();
    }
    // The kept page text kept was written as one piece.
    void writtenKept(std::string_view kept)
    {
        if (_cursor == kept.data())
            _cursor += kept.size();
        else
            breakOff();
    }
    // Something was written that is not compared with the page.
    void breakOff()
    {
        ++_breaks;
        _cursor = nullptr;
    }

    // A learning node begins at start in a page ending at pageEnd: its
    // first piece follows the page from there.  Returns the break count the
    // node's end is compared with.
    std::size_t open(const char* start, const char* pageEnd)
    {
        if (_open && _cursor != start)
            ++_breaks;
        _cursor = start;
        _pageEnd = pageEnd;
        ++_open;
        return _breaks;
    }
    // The learning node that began at start, with breaks counted at its
    // start, has written its last piece: its length in the page, or 0.
    std::size_t close(const char* start, std::size_t breaks)
    {
        --_open;
        return breaks == _breaks && _cursor ? static_cast<std::size_t>(_cursor - start) : 0;
    }

private:
    const char* _cursor = nullptr;
    const char* _pageEnd = nullptr;
    std::size_t _breaks = 0;
    unsigned long _open = 0;
};

} // namespace

// Writes a subtree without recursion: each node's own start text, its
// children in order, then its end text.  Each frame knows the forms of the
// METADATA comments the nodes on the stack are written inside; those above
// the walked node are found once, and only when an element with metadata
// is met.
//
// A child that keeps its page text (see _keptSource) is written as one
// copy of it; one that can learn whether it has such a text learns it
// here.  Elements with metadata write texts that depend on their
// ancestors, so they and the nodes around them learn nothing.
void Node::_writeSubtree(bool withRoot, std::string& out, bool design) const
{
    struct Frame {
        const Node* node;
        const Node* next;
        unsigned childrenForms;  // the METADATA comment forms the node and those below the root above it write
        bool ownInside;          // what the node's own texts were told
        const char* learnFrom;  // where a learning node begins in its page; null when not learning
        std::size_t breaks;     // the follower's break count when it began
    };
    bool aboveKnown = false;
    unsigned above = 0;
    auto carries = [](const Node* node) { return const_cast<Node*>(node)->_asMetaElement() != nullptr; };
    // Whether node, whose ancestors on the stack write the comment forms
    // given, stands inside METADATA comments of the form its own take (and
    // so writes them not); only a node with metadata of its own needs to
    // know.
    auto within = [this, &above, &aboveKnown, &carries, design](unsigned stackForms, const Node* node) {
        // The design form of an element with metadata is the element as it
        // stands in its start comment: written as one inside another's span.
        if (design)
            return true;
        if (!carries(node))
            return false;
        const unsigned own = node->_metaCommentForm();
        if (stackForms & own)
            return true;
        if (!aboveKnown) {
            above = _ancestorMetaCommentForms();
            aboveKnown = true;
        }
        return (above & own) != 0;
    };
    PageFollower follower;
    // Follows the piece a node wrote from out[from] on.
    auto follow = [&follower, &carries, &out](const Node* node, std::size_t from) {
        if (!follower.following())
            return;
        if (carries(node))
            follower.breakOff();
        else
            follower.written(out, from);
    };
    // The node's last piece is written: it keeps what it learned.
    auto finish = [&follower](const Frame& frame) {
        if (frame.learnFrom)
            frame.node->_keepSourceLength(follower.close(frame.learnFrom, frame.breaks));
    };
    const bool rootInside = within(0, this);
    if (withRoot)
        _writeStartIn(out, rootInside);
    std::vector<Frame> stack;
    if (_writesChildren())
        stack.push_back(Frame{this, getFirstChild(), _metaCommentForm(), rootInside, nullptr, 0});
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (!top.next) {
            const Frame done = top;
            stack.pop_back();
            if (done.node != this) {
                const std::size_t from = out.size();
                done.node->_writeEndIn(out, done.ownInside);
                follow(done.node, from);
                finish(done);
            }
            continue;
        }
        const Node* child = top.next;
        top.next = child->getNextSibling();
        if (!design) {
            const std::string_view kept = child->_keptSource();
            if (!kept.empty()) {
                out.append(kept.data(), kept.size());
                if (follower.following())
                    follower.writtenKept(kept);
                continue;
            }
        }
        const bool inside = within(top.childrenForms, child);
        const std::size_t from = out.size();
        child->_writeStartIn(out, inside);
        Frame frame{child, child->getFirstChild(), top.childrenForms | child->_metaCommentForm(), inside, nullptr,
                    0};
        const char* start = nullptr;
        const char* pageEnd = nullptr;
        if (!design && !carries(child) && child->_learnsKeptSource(start, pageEnd)) {
            frame.learnFrom = start;
            frame.breaks = follower.open(start, pageEnd);
        }
        follow(child, from);
        if (child->_writesChildren() && frame.next) {
            stack.push_back(frame);
        } else {
            const std::size_t endFrom = out.size();
            child->_writeEndIn(out, inside);
            follow(child, endFrom);
            finish(frame);
        }
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
