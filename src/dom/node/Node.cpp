#include "node/Node.h"

#include <mutex>
#include <unordered_map>
#include <vector>

#include "base/NameTable.h"
#include "node/ContainerNode.h"
#include "node/SubtreeFormatter.h"

namespace {

// Destruction trampoline.  Releasing the last reference on a node destroys
// it, and a container releases its children from its destructor; doing that
// directly would nest one destructor call per tree level.  While a
// destruction is under way, further nodes that reach count 0 are queued here
// and destroyed one after the other by the outermost release.
thread_local bool t_destroying = false;
thread_local std::vector<Node*>* t_pending = nullptr;

} // namespace

unsigned long Node::s_structureEpoch = 1;

Node::Node(Document* ownerDocument, const std::string& name)
    : _refCount(0), _asRead(s_readers != 0), _ownsName(false), _hasUserData(false),
      _errorState(NONE_ERROR), _updateState(UPDATE_CREATED), _layoutState(LAYOUT_NONE),
      _nodeName(nullptr), _parent(nullptr), _previous(nullptr), _next(nullptr),
      _ownerDocument(ownerDocument)
{
    _takeName(name);
}

Node::Node(const Node& other)
    : _refCount(0), _asRead(false), _ownsName(false), _hasUserData(false),
      _errorState(other._errorState), _updateState(UPDATE_CREATED), _layoutState(LAYOUT_NONE),
      _nodeName(other._nodeName), _parent(nullptr), _previous(nullptr), _next(nullptr),
      _ownerDocument(other._ownerDocument)
{
    if (other._ownsName)
        _takeName(*other._nodeName);
    if (UserData* data = other.getUserData())
        setUserData(data->clone());
}

Node::~Node()
{
    if (_hasUserData)
        setUserData(nullptr);
    _dropName();
}

void Node::_takeName(const std::string& name)
{
    // The copy is made before the old name goes: name may be that name.
    const std::string* shared = pagedom::NameTable::intern(name);
    const std::string* own = shared ? nullptr : new std::string(name);
    _dropName();
    _nodeName = shared ? shared : own;
    _ownsName = own != nullptr ? 1 : 0;
}

void Node::_dropName()
{
    if (_ownsName)
        delete _nodeName;
    _nodeName = nullptr;
    _ownsName = 0;
}

void Node::_setName(const std::string& name)
{
    _sourceTouched();
    _takeName(name);
}

unsigned long Node::releaseRef()
{
    if (_refCount == 0)
        return 0;
    if (--_refCount != 0)
        return _refCount;
    if (t_destroying) {
        t_pending->push_back(this);
        return 0;
    }
    std::vector<Node*> pending;
    t_pending = &pending;
    t_destroying = true;
    delete this;
    while (!pending.empty()) {
        Node* next = pending.back();
        pending.pop_back();
        delete next;
    }
    t_destroying = false;
    t_pending = nullptr;
    return 0;
}

void Node::_beginReading()
{
    ++s_readers;
}

void Node::_endReading()
{
    if (s_readers)
        --s_readers;
}

void Node::_clearAsRead()
{
    for (Node* n = this; n && n->_asRead; n = n->_parent)
        n->_asRead = 0;
}

void Node::_drainPendingReleases()
{
    if (!t_destroying || !t_pending)
        return;
    while (!t_pending->empty()) {
        Node* next = t_pending->back();
        t_pending->pop_back();
        delete next;
    }
}

std::string Node::getNodeValue() const
{
    return std::string();
}

void Node::setNodeValue(const std::string&) {}

Node* Node::getParentNode() const
{
    return _parent;
}

dom::NodeList Node::getChildNodes() const
{
    const dom::OwnerNodeList* list = _childList();
    return list ? dom::NodeList(*list) : dom::NodeList();
}

const NamedNodeMap* Node::getAttributes() const
{
    return nullptr;
}

Node* Node::insertBefore(Node*, Node*)
{
    return nullptr;
}

Node* Node::replaceChild(Node*, Node*)
{
    return nullptr;
}

Node* Node::removeChild(Node*)
{
    return nullptr;
}

Node* Node::appendChild(Node*)
{
    return nullptr;
}

bool Node::canContain(const Node*) const
{
    return false;
}

bool Node::isTrivialNode() const
{
    return false;
}

Document* Node::getDocument()
{
    return _ownerDocument;
}

const Document* Node::getDocument() const
{
    return _ownerDocument;
}

const dom::OwnerNodeList* Node::_childList() const
{
    return nullptr;
}

void Node::_setParentNode(Node* parent)
{
    _parent = parent;
    _parentReplaced();
    if (!parent) {
        _errorState &= ~INVALID_CONTENT_ERROR;
        setUpdateState(_updateState | UPDATE_REMOVED);
    } else {
        if (!parent->canContain(this))
            _errorState |= INVALID_CONTENT_ERROR;
        setUpdateState(_updateState | UPDATE_ADDED);
    }
}

void Node::_setPreviousSibling(Node* node)
{
    _previous = node;
    _addUpdateBits(UPDATE_SIBLING_CHANGED);
}

void Node::_setNextSibling(Node* node)
{
    _next = node;
    _addUpdateBits(UPDATE_SIBLING_CHANGED);
}

unsigned long Node::_prepareUpdateState(unsigned long state)
{
    return state;
}

// Update-state propagation.  ADDED or REMOVED is pushed down to the whole
// subtree; any other new bit marks the parent CHILD_MODIFIED, which climbs
// until an ancestor already has it; SIBLING_CHANGED alone goes nowhere.  The
// walk keeps its own stack so that deep trees cannot exhaust the call stack.
namespace {

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
    // Every change a node goes through marks its update state.
    _sourceTouched();
    // Nothing new, or only the sibling bit added to a non-empty word: no
    // node hook acts on either and nothing propagates, so the word is
    // stored directly (this keeps the linking done while reading cheap).
    if (state != 0 && (state & _updateState) == _updateState) {
        unsigned long added = state & ~_updateState;
        if (added == 0 || added == UPDATE_SIBLING_CHANGED) {
            _updateState = state;
            return;
        }
        // A node without a parent, given any bit but the two that go down
        // to the children: nothing moves past the node itself.
        if (added != UPDATE_ADDED && added != UPDATE_REMOVED && !getParentNode()) {
            _updateState = static_cast<std::uint32_t>(_prepareUpdateState(state));
            return;
        }
        // A node without children marked added (every node a reader links
        // in): there is nothing to push down, and only the parent may need
        // its child-modified mark.
        if (added == UPDATE_ADDED && !getFirstChild()) {
            unsigned long prepared = _prepareUpdateState(state);
            unsigned long grown = prepared & ~_updateState;
            _updateState = prepared;
            Node* p = getParentNode();
            if (!p || grown == 0 || grown == UPDATE_SIBLING_CHANGED)
                return;
            if (grown == UPDATE_ADDED && (p->_updateState & UPDATE_ADDED))
                return;
            p->setUpdateState(p->_updateState | UPDATE_CHILD_MODIFIED);
            return;
        }
    }
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

    // Applies the new word to one node; returns whether a frame was pushed.
    auto enter = [&stack](Node* node, unsigned long newState) {
        newState = node->_prepareUpdateState(newState);
        unsigned long added = newState & ~node->_updateState;
        node->_updateState = newState;
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

    enter(this, state);
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

bool Node::hasUpdates(bool withChildren) const
{
    unsigned long mask = withChildren ? 0x780ul : 0x781ul;
    return (_updateState & ~mask) != 0;
}

namespace {

// The attachments of all nodes, by node.  Trees may live on different
// threads, so the table is locked.
struct UserDataTable {
    std::mutex lock;
    std::unordered_map<const Node*, Node::UserData*> entries;
};

UserDataTable& userDataTable()
{
    static UserDataTable* table = new UserDataTable; // outlives every node
    return *table;
}

} // namespace

Node::UserData* Node::_findUserData() const
{
    UserDataTable& table = userDataTable();
    std::lock_guard<std::mutex> guard(table.lock);
    auto it = table.entries.find(this);
    return it == table.entries.end() ? nullptr : it->second;
}

void Node::setUserData(UserData* data)
{
    UserData* old = nullptr;
    {
        UserDataTable& table = userDataTable();
        std::lock_guard<std::mutex> guard(table.lock);
        if (_hasUserData) {
            auto it = table.entries.find(this);
            old = it->second;
            if (data)
                it->second = data;
            else
                table.entries.erase(it);
        } else if (data) {
            table.entries.emplace(this, data);
        }
        _hasUserData = data != nullptr;
    }
    // Released outside the lock: a host's release may reach other nodes.
    if (old && old != data)
        old->release();
}

unsigned long Node::getChildLength() const
{
    const dom::OwnerNodeList* list = _childList();
    return list ? list->length() : 0;
}

Node* Node::getFirstChild() const
{
    const dom::OwnerNodeList* list = _childList();
    return list ? list->item(0) : nullptr;
}

Node* Node::getLastChild() const
{
    const dom::OwnerNodeList* list = _childList();
    if (!list || list->length() == 0)
        return nullptr;
    return list->item(list->length() - 1);
}

Node* Node::getChildNode(unsigned long index) const
{
    const dom::OwnerNodeList* list = _childList();
    return list ? list->item(index) : nullptr;
}

unsigned long Node::getChildIndex(const Node* child) const
{
    const dom::OwnerNodeList* list = _childList();
    if (!list || !child || child->_parent != this)
        return NOT_FOUND;
    // The sibling links tell the two ends apart at once: removing the last
    // child, as an editor trimming a list or a document being destroyed does,
    // must not scan the whole list each time.
    unsigned long length = list->length();
    if (!child->_next && length && list->item(length - 1) == child)
        return length - 1;
    if (!child->_previous && list->item(0) == child)
        return 0;
    return list->indexOf(child);
}

bool Node::isOffspringOf(const Node* node) const
{
    if (!node)
        return false;
    for (const Node* n = this; n; n = n->getParentNode())
        if (n == node)
            return true;
    return false;
}

namespace {

unsigned long depthOf(const Node* node)
{
    unsigned long depth = 0;
    for (const Node* n = node->getParentNode(); n; n = n->getParentNode())
        ++depth;
    return depth;
}

// Climbs from a and b to the same depth; the results are either one node
// (one was the other's ancestor or the same node) or two nodes at equal depth.
void alignDepths(const Node*& a, const Node*& b)
{
    unsigned long da = depthOf(a);
    unsigned long db = depthOf(b);
    for (; da > db; --da)
        a = a->getParentNode();
    for (; db > da; --db)
        b = b->getParentNode();
}

} // namespace

// The nearest of this node and its ancestors that also contains other: both
// climb to equal depth, then in step, so two deep branches cost their depths,
// not their product.
Node* Node::getCommonAncestor(const Node* other) const
{
    if (!other)
        return nullptr;
    const Node* a = this;
    const Node* b = other;
    alignDepths(a, b);
    while (a != b) {
        a = a->getParentNode();
        b = b->getParentNode();
    }
    return const_cast<Node*>(a);
}

Document* Node::getAncestorDocument() const
{
    for (const Node* n = this; n; n = n->getParentNode())
        if (n->getNodeType() == DOCUMENT_NODE)
            return const_cast<Node*>(n)->getDocument();
    return nullptr;
}

Element* Node::getAncestorMetaElement() const
{
    for (Node* n = getParentNode(); n && n->getNodeType() == ELEMENT_NODE; n = n->getParentNode()) {
        if (Element* e = n->_asMetaElement())
            return e;
    }
    return nullptr;
}

Node* Node::getLastDescendant() const
{
    Node* last = getLastChild();
    if (!last)
        return nullptr;
    while (Node* deeper = last->getLastChild())
        last = deeper;
    return last;
}

Node* Node::getNextNode(const Node* root, bool skipChildren) const
{
    if (!skipChildren) {
        if (Node* first = getFirstChild())
            return first;
    }
    if (this == root)
        return nullptr;
    if (_next)
        return _next;
    for (const Node* n = getParentNode(); n; n = n->getParentNode()) {
        if (n == root)
            return nullptr;
        if (n->_next)
            return n->_next;
    }
    return nullptr;
}

Node* Node::getPreviousNode(const Node* root) const
{
    if (_previous) {
        Node* last = _previous->getLastDescendant();
        return last ? last : _previous;
    }
    Node* parent = getParentNode();
    if (parent == root)
        return nullptr;
    return parent;
}

// Negative when this node comes first in document order, positive when other
// does: the difference of the positions, under the nearest common ancestor,
// of the two children that lead to them.  0 for the node itself, an ancestor
// or descendant, or a node of another tree.
long Node::compareOrder(const Node* other) const
{
    if (!other || other == this)
        return 0;
    const Node* c = this;
    const Node* d = other;
    alignDepths(c, d);
    if (c == d)
        return 0;
    const Node* pc = c->getParentNode();
    const Node* pd = d->getParentNode();
    while (pc != pd) {
        c = pc;
        d = pd;
        pc = c->getParentNode();
        pd = d->getParentNode();
    }
    if (!pc)
        return 0;
    return static_cast<long>(pc->getChildIndex(c)) - static_cast<long>(pc->getChildIndex(d));
}

Node* Node::insertAfter(Node* newChild, Node* refChild)
{
    if (refChild)
        return insertBefore(newChild, refChild->_next);
    return insertBefore(newChild, getFirstChild());
}

Node* Node::removeChildNodes(Node* first, Node* last)
{
    if (!first)
        first = getFirstChild();
    if (!first)
        return nullptr;
    if (!last)
        last = getLastChild();
    unsigned long firstIndex = getChildIndex(first);
    unsigned long lastIndex = getChildIndex(last);
    if (firstIndex == NOT_FOUND || lastIndex == NOT_FOUND)
        return nullptr;
    if (firstIndex > lastIndex) {
        std::swap(first, last);
        std::swap(firstIndex, lastIndex);
    }
    Node* head = nullptr;
    Node* tail = nullptr;
    for (unsigned long i = firstIndex; i <= lastIndex; ++i) {
        Node* child = getChildNode(firstIndex);
        if (!child || !removeChild(child))
            break;
        if (tail) {
            tail->_setNextSibling(child);
            child->_setPreviousSibling(tail);
        } else {
            head = child;
        }
        tail = child;
    }
    return head;
}

void Node::normalize()
{
    // Pre-order walk over the subtree; merging only touches the children of
    // the node being visited, so the walk continues from the visited node.
    Node* node = this;
    while (node) {
        Node* child = node->getFirstChild();
        while (child) {
            Node* next = child->_next;
            if (child->getNodeType() != TEXT_NODE) {
                child = next;
                continue;
            }
            Node* text = child;
            if (text->getSource().empty()) {
                node->removeChild(text);
                text->releaseRef();
                child = next;
                continue;
            }
            while (next && next->getNodeType() == TEXT_NODE) {
                Node* after = next->_next;
                text->_absorbText(next);
                node->removeChild(next);
                next->releaseRef();
                next = after;
            }
            child = next;
        }
        node = node->getNextNode(this, false);
    }
}

void Node::_writeStart(std::string&) const {}

void Node::_writeEnd(std::string&) const {}

bool Node::_writesChildren() const
{
    return true;
}

namespace {

// Writes a subtree without recursion: each node's own start text, its
// children in order, then its end text.
void writeSubtree(const Node* root, bool withRoot, std::string& out)
{
    struct Frame {
        const Node* node;
        const Node* next;
    };
    if (withRoot)
        root->_writeStart(out);
    std::vector<Frame> stack;
    if (root->_writesChildren())
        stack.push_back(Frame{root, root->getFirstChild()});
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (!top.next) {
            const Node* done = top.node;
            stack.pop_back();
            if (done != root)
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
        root->_writeEnd(out);
}

// A whole document is written into room for the page it last read, so that
// the text is not copied over and over while it grows.
void reserveForDocument(const Node* root, std::string& out)
{
    if (std::size_t hint = root->_writeSizeHint())
        out.reserve(hint);
}

} // namespace

std::string Node::getSource() const
{
    std::string out;
    reserveForDocument(this, out);
    writeSubtree(this, true, out);
    return out;
}

std::string Node::getChildSource() const
{
    std::string out;
    reserveForDocument(this, out);
    writeSubtree(this, false, out);
    return out;
}

std::string Node::getDesignSource(bool withChildren) const
{
    // Content mode leaves the node's own tags out.
    std::string out;
    writeSubtree(this, !withChildren, out);
    return out;
}

void Node::formatSource()
{
    if (pagedom::SubtreeFormatter* formatter = pagedom::SubtreeFormatter::installed())
        formatter->formatDescendants(this);
}

void Node::_formatOwn()
{
    if (!_childList())
        formatSource();
}
