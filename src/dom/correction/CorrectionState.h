// What one correction of a tree keeps while it runs.  An internal header.
#ifndef PAGEDOM_CORRECTION_CORRECTIONSTATE_H
#define PAGEDOM_CORRECTION_CORRECTIONSTATE_H

#include <unordered_set>
#include <vector>

#include "correction/TagRepair.h"
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
    // reading the page again would, raw content aside.  Each subtree is
    // walked once; flagged is called with each node newly marked, placed
    // with each moved node and each node walked, before it is checked, and
    // returns the node that stands in its place then (itself, or what it
    // turned into).
    template <typename Flagged, typename Placed>
    void recheckMoved(Flagged flagged, Placed placed)
    {
        auto check = [&flagged](Node* node) {
            Node* parent = node->getParentNode();
            if (!parent)
                return;
            if (parent->canContain(node)) {
                NodeAccess::clearErrorState(*node, Node::INVALID_CONTENT_ERROR);
            } else if (!(node->getErrorState() & Node::INVALID_CONTENT_ERROR)) {
                NodeAccess::addErrorState(*node, Node::INVALID_CONTENT_ERROR);
                flagged(node);
            }
        };
        std::unordered_set<const Node*> walked;
        std::vector<Node*> pending;
        for (Node* moved : _moved)
            if (!isGone(moved) && walked.insert(moved).second) {
                Node* now = placed(moved);
                if (now != moved && walked.insert(now).second)
                    check(now);
                pending.push_back(now);
            }
        while (!pending.empty()) {
            Node* n = pending.back();
            pending.pop_back();
            // Raw content (server code, a SCRIPT) is no markup to place.
            if (TagRepair::holdsRawContent(n))
                continue;
            for (Node* child = n->getFirstChild(); child; child = child->getNextSibling()) {
                child = placed(child);
                check(child);
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
