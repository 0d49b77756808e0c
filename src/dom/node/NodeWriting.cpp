// Writing a subtree as source text, and handing it to the formatter.
#include "node/Node.h"

#include <cstring>
#include <string_view>
#include <vector>

#include "node/ChangeHooks.h"
#include "node/SubtreeFormatter.h"
#include "node/WrittenRuns.h"

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
        writtenText(std::string_view(out).substr(from));
    }
    // The piece text was written.
    void writtenText(std::string_view text)
    {
        if (text.empty())
            return;
        if (_cursor && static_cast<std::size_t>(_pageEnd - _cursor) >= text.size()
            && std::memcmp(_cursor, text.data(), text.size()) == 0)
            _cursor += text.size();
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

// Whether the count bytes at a and at b agree.  Most pieces compared are
// the few characters of white space between tags, cheaper to compare here
// than in a call.
bool sameBytes(const char* a, const char* b, std::size_t count)
{
    constexpr std::size_t SHORT_PIECE = 16;
    if (count > SHORT_PIECE)
        return std::memcmp(a, b, count) == 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (a[i] != b[i])
            return false;
    }
    return true;
}

// The pieces a walk writes whole, gathered so that pieces that follow one
// another in memory, or that repeat the bytes that follow the last one in
// the text it lies in, go out as one copy: the unchanged siblings along an
// edited path, and the white space between them, cost one append per run.
// A run of siblings long enough is remembered for the next write (see
// node/WrittenRuns.h) when runs are given.
class PieceRun {
public:
    PieceRun(std::string& out, pagedom::WrittenRuns* runs) : _out(out), _runs(runs) {}

    // Whether no node is gathered.
    bool idle() const { return _nodes == 0; }
    // Whether text would go on the gathered text rather than begin anew.
    bool continuedBy(std::string_view text) const
    {
        return text.empty()
               || (_blockEnd && static_cast<std::size_t>(_blockEnd - _end) >= text.size()
                   && (text.data() == _end || sameBytes(_end, text.data(), text.size())));
    }
    // Adds node, whose text lies in a stored text ending at blockEnd (null
    // when not known); asRead is whether the node is still as read.
    void add(const Node* node, std::string_view text, const char* blockEnd, bool asRead)
    {
        _addText(text, blockEnd);
        if (_nodes++ == 0)
            _first = node;
        _last = node;
        _asRead = _asRead && asRead;
        _reused = false;
    }
    // Adds the remembered run that begins at first.
    void addRun(const Node* first, const pagedom::WrittenRuns::Run& run)
    {
        _addText(std::string_view(run.begin, static_cast<std::size_t>(run.end - run.begin)), run.blockEnd);
        if (_nodes == 0) {
            _first = first;
            _reused = true;
        }
        _nodes += run.nodes;
        _last = run.last;
    }
    // Appends the gathered text and remembers the run; done before anything
    // else is written.
    void flush()
    {
        if (_begin != _end)
            _out.append(_begin, static_cast<std::size_t>(_end - _begin));
        if (_runs && _asRead && !_reused && _nodes >= pagedom::WrittenRuns::SHORTEST_RUN)
            _runs->keep(_first, pagedom::WrittenRuns::Run{_last, _begin, _end, _blockEnd, _nodes});
        _begin = _end = _blockEnd = nullptr;
        _first = _last = nullptr;
        _nodes = 0;
        _asRead = true;
        _reused = false;
    }

private:
    void _addText(std::string_view text, const char* blockEnd)
    {
        if (text.empty())
            return;
        if (continuedBy(text)) {
            _end += text.size();
            // A remembered run grown by more is a new run.
            _reused = false;
            return;
        }
        if (_begin != _end)
            flush();
        _begin = text.data();
        _end = _begin + text.size();
        _blockEnd = blockEnd;
    }

    std::string& _out;
    pagedom::WrittenRuns* _runs;
    const char* _begin = nullptr;
    const char* _end = nullptr;
    const char* _blockEnd = nullptr;
    // The siblings the text spans, and whether all are as read; whether it
    // is one remembered run as it stands.
    const Node* _first = nullptr;
    const Node* _last = nullptr;
    std::size_t _nodes = 0;
    bool _asRead = true;
    bool _reused = false;
};

} // namespace

// Writes a subtree without recursion: each node's own start text, its
// children in order, then its end text.  Each frame knows the forms of the
// METADATA comments the nodes on the stack are written inside; those above
// the walked node are found once, and only when an element with metadata
// is met.
//
// A child that keeps its page text (see _wholeText) is written as one
// copy of it, and so is a leaf's own text; runs of them that follow one
// another go out as one copy.  A child that can learn whether it has such a
// text learns it here.  Elements with metadata write texts that depend on
// their ancestors, so they and the nodes around them learn nothing.
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
    // Runs are remembered for the design form of no node, and never while
    // a reader on this thread may have changed nodes it has not counted.
    pagedom::WrittenRuns* runs = design || s_readers ? nullptr : _writtenRuns();
    if (runs)
        runs->beginWrite(_contentEpoch());
    // A run this write remembers begins at a sibling it has passed: only
    // those of earlier writes are looked for.
    const pagedom::WrittenRuns* known = runs && !runs->empty() ? runs : nullptr;
    PieceRun run(out, runs);
    // Gathers the run remembered from child on, if any, and sets next to the
    // sibling after it.
    auto useKnownRun = [known, &run](const Node* child, const Node*& next) {
        const pagedom::WrittenRuns::Run* found = known->find(child);
        if (!found)
            return false;
        run.addRun(child, *found);
        next = found->last->getNextSibling();
        return true;
    };
    std::vector<Frame> stack;
    if (_writesChildren())
        stack.push_back(Frame{this, getFirstChild(), _metaCommentForm(), rootInside, nullptr, 0});
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (!top.next) {
            const Frame done = top;
            stack.pop_back();
            if (done.node != this) {
                run.flush();
                const std::size_t from = out.size();
                done.node->_writeEndIn(out, done.ownInside);
                follow(done.node, from);
                finish(done);
            }
            continue;
        }
        const Node* child = top.next;
        // A remembered run begins where a gathered one does not go on: at
        // the first sibling after one written in pieces (looked for before
        // the sibling is visited), or at a sibling whose text does not
        // follow the gathered text.
        const bool lookFor = known && !follower.following();
        if (lookFor && run.idle() && useKnownRun(child, top.next))
            continue;
        top.next = child->getNextSibling();
        std::string_view whole;
        const char* blockEnd = nullptr;
        const WholeText wholeText = child->_wholeText(whole, blockEnd);
        // The design form writes elements node by node.
        if (wholeText == OWN_TEXT || (wholeText == KEPT_PAGE_TEXT && !design)) {
            if (lookFor && !run.idle() && !run.continuedBy(whole) && useKnownRun(child, top.next))
                continue;
            run.add(child, whole, blockEnd, child->_isAsRead());
            if (follower.following()) {
                if (wholeText == KEPT_PAGE_TEXT)
                    follower.writtenKept(whole);
                else
                    follower.writtenText(whole);
            }
            continue;
        }
        run.flush();
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
    run.flush();
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
