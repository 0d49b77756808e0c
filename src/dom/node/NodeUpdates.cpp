// What a node records about its changes: the update state and its
// propagation, the as-read mark of unchanged source, and the structure epoch.
#include "node/Node.h"

#include <vector>

namespace {

// The update bits that say nothing about a change of the node itself.
constexpr unsigned long MARKS_ONLY = Node::UPDATE_SELECTION_CHANGED | Node::UPDATE_CURSOR_CHANGED |
                                     Node::UPDATE_STYLE_CHANGED | Node::UPDATE_SIBLING_CHANGED;

// Update-state propagation.  ADDED or REMOVED is pushed down to the whole
// subtree; any other new bit marks the parent CHILD_MODIFIED, which climbs
// until an ancestor already has it; SIBLING_CHANGED alone goes nowhere.  The
// walk keeps its own stack so that deep trees cannot exhaust the call stack.
struct UpdateFrame {
    Node* parent;         // where CHILD_MODIFIED goes once the children are done
    unsigned long added;  // the bit pushed down to the children
    Node* nextChild;      // next child still to receive it
};

// The propagation stack is reused between calls; a call made from inside a
// propagation (a subclass hook updating its attributes, say) gets its own.
thread_local std::vector<UpdateFrame> t_updateStack;
thread_local bool t_updateStackBusy = false;

} // namespace

void Node::setUpdateState(unsigned long state)
{
    // Marks set or cleared by hand are outside what a document's reset
    // tracks; the count tells it to look at every node next time.
    if (!t_resettingMarks && state != _updateState)
        s_handSetMarks.fetch_add(1, std::memory_order_relaxed);
    _setUpdateState(state);
}

void Node::_setUpdateState(unsigned long state)
{
    // Every change a node goes through marks its update state.
    _sourceTouched();
    // Nothing new, or only the sibling bit added to a non-empty word: no
    // node hook acts on either and nothing propagates, so the word is
    // stored directly (this keeps the linking done while reading cheap).
    if (state != 0 && (state & _updateState) == _updateState) {
        unsigned long added = state & ~_updateState;
        if (added == 0 || added == UPDATE_SIBLING_CHANGED) {
            _updateState = static_cast<std::uint32_t>(state);
            return;
        }
        // A node without a parent, given any bit but the two that go down
        // to the children: nothing moves past the node itself.
        if (added != UPDATE_ADDED && added != UPDATE_REMOVED && !getParentNode()) {
            _updateState = static_cast<std::uint32_t>(_prepareUpdateState(state));
            return;
        }
        if (added == UPDATE_ADDED && !getFirstChild()) {
            _markAddedLeaf();
            return;
        }
    }
    // Applying the new word to a node either pushes ADDED or REMOVED down
    // to its subtree, or marks its parent CHILD_MODIFIED, or ends.  Until a
    // push-down is needed the walk is a plain climb and needs no stack.
    Node* node = this;
    for (;;) {
        const unsigned long newState = node->_prepareUpdateState(state);
        const unsigned long added = newState & ~node->_updateState;
        node->_updateState = static_cast<std::uint32_t>(newState);
        Node* p = node->getParentNode();
        if (added == UPDATE_ADDED || added == UPDATE_REMOVED) {
            _pushDownUpdate(node, added, p && (p->_updateState & added) ? nullptr : p);
            return;
        }
        if (added == UPDATE_SIBLING_CHANGED || added == 0 || !p)
            return;
        node = p;
        state = p->_updateState | UPDATE_CHILD_MODIFIED;
    }
}

// A node without children marked added: there is nothing to push down, and
// only the parent may need its child-modified mark.
void Node::_markAddedLeaf()
{
    _sourceTouched();
    const unsigned long state = _updateState | UPDATE_ADDED;
    if (state == _updateState)
        return;
    const unsigned long prepared = _prepareUpdateState(state);
    const unsigned long grown = prepared & ~static_cast<unsigned long>(_updateState);
    _updateState = static_cast<std::uint32_t>(prepared);
    Node* p = getParentNode();
    if (!p || grown == 0 || grown == UPDATE_SIBLING_CHANGED)
        return;
    if (grown == UPDATE_ADDED && (p->_updateState & UPDATE_ADDED))
        return;
    p->_setUpdateState(p->_updateState | UPDATE_CHILD_MODIFIED);
}

void Node::_pushDownUpdate(Node* node, unsigned long added, Node* parent)
{
    using Frame = UpdateFrame;
    std::vector<Frame> ownStack;
    bool shared = !t_updateStackBusy;
    std::vector<Frame>& stack = shared ? t_updateStack : ownStack;
    if (shared) {
        t_updateStackBusy = true;
        stack.clear();
    }
    struct Release {
        bool shared;
        ~Release()
        {
            if (shared)
                t_updateStackBusy = false;
        }
    } release{shared};

    // Applies the new word to one node and pushes the frame of what
    // follows from it.
    auto enter = [&stack](Node* node, unsigned long newState) {
        newState = node->_prepareUpdateState(newState);
        unsigned long added = newState & ~node->_updateState;
        node->_updateState = static_cast<std::uint32_t>(newState);
        Node* p = node->getParentNode();
        if (added == UPDATE_ADDED || added == UPDATE_REMOVED) {
            if (p && (p->_updateState & added))
                p = nullptr;
            stack.push_back(Frame{p, added, node->getFirstChild()});
            return;
        }
        if (added == UPDATE_SIBLING_CHANGED || added == 0 || !p)
            return;
        stack.push_back(Frame{p, UPDATE_CHILD_MODIFIED, nullptr});
    };

    stack.push_back(Frame{parent, added, node->getFirstChild()});
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.nextChild) {
            Node* child = top.nextChild;
            top.nextChild = child->_next;
            unsigned long added = top.added;
            enter(child, child->_updateState | added);
            continue;
        }
        Node* parent = top.parent;
        unsigned long added = top.added;
        stack.pop_back();
        if (parent && added)
            enter(parent, parent->_updateState | UPDATE_CHILD_MODIFIED);
    }
}

unsigned long Node::_prepareUpdateState(unsigned long state)
{
    return state;
}

bool Node::hasUpdates(bool withChildren) const
{
    unsigned long ignored = withChildren ? MARKS_ONLY : MARKS_ONLY | UPDATE_CHILD_MODIFIED;
    return (_updateState & ~ignored) != 0;
}

// --- unchanged-source tracking ------------------------------------------------------

void Node::_beginReading()
{
    ++s_readers;
}

void Node::_endReading()
{
    if (s_readers && --s_readers == 0 && s_changedWhileReading) {
        s_changedWhileReading = false;
        _contentChanges();
    }
}

void Node::_clearAsRead()
{
    for (Node* n = this; n && n->_asRead; n = n->_parent)
        n->_asRead = 0;
    _contentChanges();
}

// --- structure epoch ----------------------------------------------------------------

void Node::_subtreeMoves(Node* top)
{
    // Moving the epoch drops every cache of every tree, and each refills at
    // the cost of its depth: a repair that moves small subtrees up a deep
    // page one level at a time would pay the depth at every step.
    constexpr unsigned SMALL = 64;
    if (!top->getFirstChild())
        return;
    unsigned count = 0;
    for (Node* n = top->getFirstChild(); n; n = n->getNextNode(top)) {
        if (++count > SMALL) {
            _bumpStructureEpoch();
            return;
        }
    }
    for (Node* n = top->getFirstChild(); n; n = n->getNextNode(top))
        n->_parentReplaced();
}

void Node::_bumpStructureEpoch()
{
    // Steps over the values whose low 32 bits are 0, so that no thread ever
    // reads one.
    unsigned long epoch = s_structureEpoch.load(std::memory_order_relaxed);
    unsigned long next;
    do {
        next = epoch + 1;
        if (static_cast<std::uint32_t>(next) == 0)
            ++next;
    } while (!s_structureEpoch.compare_exchange_weak(epoch, next, std::memory_order_relaxed));
}
