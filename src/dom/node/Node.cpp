// The life of a node: construction, names, reference counting with the
// release trampoline, the base behaviour of the virtual operations and the
// parent and sibling links.
#include "node/Node.h"

#include <mutex>
#include <unordered_map>
#include <vector>

namespace {

// Destruction trampoline.  Releasing the last reference on a node destroys
// it, and a container releases its children from its destructor; doing that
// directly would nest one destructor call per tree level.  While a
// destruction is under way, further nodes that reach count 0 are queued here
// and destroyed one after the other by the outermost release.
thread_local bool t_destroying = false;
thread_local std::vector<Node*>* t_pending = nullptr;

// The counts of shared nodes (see Node::_shareCount), by node; a node
// without references has no entry.  Only the nodes that trees on several
// threads hold are counted here, and they change hands rarely (a document
// taking or dropping its type, an entity reference holding its entity), so
// one lock serves them all.  The table outlives every node.
struct SharedCounts {
    std::mutex lock;
    std::unordered_map<const Node*, unsigned long> counts;
};

SharedCounts& sharedCounts()
{
    static SharedCounts* table = new SharedCounts;
    return *table;
}

} // namespace

Node::Node(Document* ownerDocument)
    : _refCount(0), _sharedCount(0), _asRead(s_readers != 0), _ownsName(false), _hasUserData(false),
      _errorState(NONE_ERROR), _classMarks(0), _updateState(UPDATE_CREATED), _layoutState(LAYOUT_NONE),
      _parent(nullptr), _previous(nullptr), _next(nullptr), _ownerDocument(ownerDocument)
{
}

Node::Node(const Node& other)
    : _refCount(0), _sharedCount(0), _asRead(false), _ownsName(false), _hasUserData(false),
      _errorState(other._errorState), _classMarks(0), _updateState(UPDATE_CREATED), _layoutState(LAYOUT_NONE),
      _parent(nullptr), _previous(nullptr), _next(nullptr), _ownerDocument(other._ownerDocument)
{
    if (UserData* data = other.getUserData())
        setUserData(data->clone());
}

Node::~Node()
{
    if (_hasUserData)
        setUserData(nullptr);
}

// --- reference counting ---------------------------------------------------------

unsigned long Node::releaseRef()
{
    if (_sharedCount) {
        unsigned long left = 0;
        if (!_dropSharedRef(left) || left != 0)
            return left;
    } else {
        if (_refCount == 0)
            return 0;
        if (--_refCount != 0)
            return _refCount;
    }
    // Inside a destruction (a container releasing its children) the node
    // waits for the outermost release.
    if (t_destroying) {
        t_pending->push_back(this);
        return 0;
    }
    _destroy();
    return 0;
}

void Node::_destroy()
{
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

void Node::_shareCount()
{
    if (_sharedCount)
        return;
    // A node without an entry has no references.
    if (_refCount != 0) {
        SharedCounts& table = sharedCounts();
        std::lock_guard<std::mutex> guard(table.lock);
        table.counts[this] = _refCount;
    }
    _refCount = 0;
    _sharedCount = 1;
}

unsigned long Node::_addSharedRef()
{
    SharedCounts& table = sharedCounts();
    std::lock_guard<std::mutex> guard(table.lock);
    return ++table.counts[this];
}

bool Node::_dropSharedRef(unsigned long& left)
{
    SharedCounts& table = sharedCounts();
    std::lock_guard<std::mutex> guard(table.lock);
    auto it = table.counts.find(this);
    if (it == table.counts.end() || it->second == 0) {
        left = 0;
        return false;
    }
    // The entry goes with the last reference: the node is destroyed next.
    left = --it->second;
    if (left == 0)
        table.counts.erase(it);
    return true;
}

unsigned long Node::_sharedRefCount() const
{
    SharedCounts& table = sharedCounts();
    std::lock_guard<std::mutex> guard(table.lock);
    auto it = table.counts.find(this);
    return it == table.counts.end() ? 0 : it->second;
}

// --- base behaviour of the virtual operations ---------------------------------------

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

// --- links ------------------------------------------------------------------------

void Node::_setParentNode(Node* parent)
{
    _contentChanges();
    _parent = parent;
    _parentReplaced();
    if (!parent) {
        _errorState &= ~static_cast<std::uint32_t>(INVALID_CONTENT_ERROR);
        _setUpdateState(_updateState | UPDATE_REMOVED);
    } else {
        if (!parent->canContain(this))
            _errorState |= static_cast<std::uint32_t>(INVALID_CONTENT_ERROR);
        _setUpdateState(_updateState | UPDATE_ADDED);
    }
}

void Node::_setPreviousSibling(Node* node)
{
    _contentChanges();
    _previous = node;
    _addUpdateBits(UPDATE_SIBLING_CHANGED);
}

void Node::_setNextSibling(Node* node)
{
    _contentChanges();
    _next = node;
    _addUpdateBits(UPDATE_SIBLING_CHANGED);
}
