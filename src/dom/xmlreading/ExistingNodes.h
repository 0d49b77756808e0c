// The existing nodes that follow a piece of text the XML reader is given,
// handed back to it as text in document order.
#ifndef PAGEDOM_XMLREADING_EXISTINGNODES_H
#define PAGEDOM_XMLREADING_EXISTINGNODES_H

#include <cstddef>
#include <string>
#include <vector>

class Node;

namespace pagedom {

// A cursor over the tree from a reading point on.  The page a tree writes is
// a run of pieces: an element's start text when it is entered, its end text
// when it is left, every other node whole.  The cursor keeps one frame per
// container it stands in, from the top of the tree down: the container and
// its next child not taken yet.  The bottom frames are the containers the
// reading point lies in (they stay in the tree, so they are open elements of
// the reading); taking a piece removes the node it belongs to from such a
// container, and an element taken so is then walked (not changed: a change
// record may hold it) until its end text.
//
// Taking the end text of a container that stays in the tree clears its end
// tag, which the reading gives it again when it reads that text (or another
// end tag, or none).  Every walk is a loop over the frames: a tree nested
// 100,000 deep is walked like any other.
class ExistingNodes {
public:
    // The reading point: before next among parent's children (after the
    // last one when next is null).  Without consume nothing is ever taken:
    // the frames only tell where new nodes go.
    ExistingNodes(Node* parent, Node* next, bool consume);
    ~ExistingNodes();
    ExistingNodes(const ExistingNodes&) = delete;
    ExistingNodes& operator=(const ExistingNodes&) = delete;

    // The containers the reading point lies in, from the top of the tree
    // down to parent: the first frames.
    const std::vector<Node*>& chain() const { return _chain; }
    // Whether frame is still the open frame of container: the children of
    // container after the reading point, and its end text, are not all
    // taken.
    bool isOpen(std::size_t frame, const Node* container) const
    {
        return frame < _frames.size() && _frames[frame].container == container;
    }
    // The child before which new nodes go into the container of an open
    // frame; null to append.
    Node* insertionPoint(std::size_t frame) const { return _frames[frame].next; }

    // Takes the next piece: sets text to what the tree writes there and
    // steps over it.  False at the end (the end of the top container), or
    // always without consume.
    bool take(std::string& text);
    // Whether the next piece is the one before next in container (with next
    // null, container's end text).
    bool isAt(const Node* container, const Node* next) const;
    // Whether the text from here on reads back as the nodes that stand here
    // for a reader that is between two constructs with current open: the
    // next piece belongs to current, and starts markup (or is current's end
    // tag, which closed current when it was read).
    bool inStep(const Node* current) const;
    // The reader closes the container of the open frame: the end text the
    // container has now is kept, to be taken when its frame ends.
    void closing(std::size_t frame);
    // Whether a document type declaration was taken: the texts after it
    // then read with other entities than they were read with.
    bool tookDeclaration() const { return _tookDeclaration; }

private:
    struct Frame {
        Node* container;
        Node* next;
        bool inTree;   // one of the containers of the reading point
        bool owned;    // a reference on the container is held
        bool endKept;  // the end text was kept by closing
        std::string endText;
    };
    // Whether node's text begins with markup another reading would read as
    // node again.
    static bool _startsMarkup(const Node* node);
    // The end of the innermost frame: its end text; false at the top.
    bool _takeEnd(std::string& text);

    std::vector<Node*> _chain;
    std::vector<Frame> _frames;
    const bool _consume;
    bool _tookDeclaration = false;
};

} // namespace pagedom

#endif
