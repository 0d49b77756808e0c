// The runs of unchanged siblings a document's writes found in one piece,
// remembered so that the next write copies each without visiting its nodes.
#ifndef PAGEDOM_NODE_WRITTENRUNS_H
#define PAGEDOM_NODE_WRITTENRUNS_H

#include <cstddef>
#include <unordered_map>

class Node;

namespace pagedom {

// After an edit, a write copies every unchanged node as one piece, but it
// still visits the siblings of every node on the path to the change, and on
// a large page these are thousands of nodes scattered over the heap: each
// visit is a cache miss, and together they cost more than the copy of the
// page itself.  A write therefore remembers each long run of siblings it
// wrote as one piece of text (unchanged elements, texts, comments), keyed
// by the run's first node, and the next write copies the text and goes on
// after the run's last node.
//
// A run holds only nodes still as read when it was written: any later
// change to one of them, or below one, clears that mark, and any change to
// the sibling links moves the content epoch (see Node::_contentEpoch).  The
// remembered runs are dropped as soon as the epoch has moved, so a run is
// only ever used while every node in it, and every link between them, is
// as it was.  Typing into one text moves nothing once its path has lost the
// mark, so every keystroke after the first one there finds its runs.
class WrittenRuns {
public:
    struct Run {
        const Node* last;      // the run's last node
        const char* begin;     // its text
        const char* end;
        const char* blockEnd;  // the end of the stored text it lies in
        std::size_t nodes;     // how many siblings it spans
    };

    // Runs of fewer siblings are not remembered: visiting them costs less
    // than remembering them.
    static constexpr std::size_t SHORTEST_RUN = 8;

    // Readies the runs for a write: those of an earlier epoch are dropped.
    void beginWrite(unsigned long epoch)
    {
        if (epoch != _epoch) {
            _runs.clear();
            _epoch = epoch;
        }
    }
    bool empty() const { return _runs.empty(); }
    // The run that begins at first, or null.
    const Run* find(const Node* first) const
    {
        auto found = _runs.find(first);
        return found == _runs.end() ? nullptr : &found->second;
    }
    // Remembers run, which begins at first.
    void keep(const Node* first, const Run& run) { _runs[first] = run; }

private:
    std::unordered_map<const Node*, Run> _runs;
    unsigned long _epoch = 0;
};

} // namespace pagedom

#endif
