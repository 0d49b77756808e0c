// What one correction of a tree keeps while it runs.  An internal header.
#ifndef PAGEDOM_CORRECTION_CORRECTIONSTATE_H
#define PAGEDOM_CORRECTION_CORRECTIONSTATE_H

#include <unordered_set>
#include <vector>

#include "node/Node.h"
#include "node/NodeAccess.h"
#include "tree/Document.h"
#include "tree/Element.h"

namespace pagedom {

// The document being corrected, whether anything changed, and the nodes the
// correction deleted.  The correction lists the nodes to visit before it
// changes anything (holding a reference to each), so a node it meets later
// may have been deleted meanwhile with a subtree: deletions go through here
// and each deleted node is remembered, at the cost of the deleted nodes.
class CorrectionState {
public:
    explicit CorrectionState(Document& document) : _document(document) {}
    ~CorrectionState() { releaseMoved(); }
    CorrectionState(const CorrectionState&) = delete;
    CorrectionState& operator=(const CorrectionState&) = delete;

    Document& document() { return _document; }
    bool changed() const { return _changed; }
    void noteChange() { _changed = true; }

    // Deletes node with its subtree (Document::deleteNodes).
    void deleteNode(Node* node)
    {
        std::vector<const Node*> pending{node};
        while (!pending.empty()) {
            const Node* n = pending.back();
            pending.pop_back();
            _gone.insert(n);
            for (const Node* child = n->getFirstChild(); child; child = child->getNextSibling())
                pending.push_back(child);
        }
        _document.deleteNodes(node);
        _changed = true;
    }

    // Deletes element but keeps what it holds in its place.  Texts that
    // come to stand side by side stay apart until the tidying after the
    // repair, so each is repaired as it was read.
    void unwrap(Element* element)
    {
        _gone.insert(element);
        _document.removeElement(element, false);
        _changed = true;
    }

    // Notes that node was moved: what it holds may not fit where it now
    // stands.
    void noteMoved(Node* node)
    {
        node->addRef();
        _moved.push_back(node);
    }

    // Marks the nodes below the moved ones that their parents may not hold
    // with INVALID_CONTENT_ERROR, and clears it on those they may: as
    // reading the page again would.  Each subtree is walked once; flagged
    // is called with each node newly marked, placed with each moved node and
    // each node walked.
    template <typename Flagged, typename Placed>
    void recheckMoved(Flagged flagged, Placed placed)
    {
        std::unordered_set<const Node*> walked;
        std::vector<Node*> pending;
        for (Node* moved : _moved)
            if (!isGone(moved) && walked.insert(moved).second) {
                placed(moved);
                pending.push_back(moved);
            }
        while (!pending.empty()) {
            Node* n = pending.back();
            pending.pop_back();
            for (Node* child = n->getFirstChild(); child; child = child->getNextSibling()) {
                if (n->canContain(child)) {
                    NodeAccess::clearErrorState(*child, Node::INVALID_CONTENT_ERROR);
                } else if (!(child->getErrorState() & Node::INVALID_CONTENT_ERROR)) {
                    NodeAccess::addErrorState(*child, Node::INVALID_CONTENT_ERROR);
                    flagged(child);
                }
                placed(child);
                if (walked.insert(child).second)
                    pending.push_back(child);
            }
        }
        releaseMoved();
    }

    // Whether node was deleted, or no longer stands in a tree (a text joined
    // into its neighbour).
    bool isGone(const Node* node) const
    {
        return _gone.count(node) != 0 || (!node->getParentNode() && node != &_document);
    }

private:
    void releaseMoved()
    {
        for (Node* moved : _moved)
            moved->releaseRef();
        _moved.clear();
    }

    Document& _document;
    bool _changed = false;
    std::unordered_set<const Node*> _gone;
    std::vector<Node*> _moved;  // each held by a reference
};

} // namespace pagedom

#endif
