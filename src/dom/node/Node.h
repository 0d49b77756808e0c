#ifndef PAGEDOM_NODE_NODE_H
#define PAGEDOM_NODE_NODE_H

#include <cstdint>
#include <string>
#include <vector>

#include "node/NodeAllocator.h"
#include "node/NodeList.h"

class Attr;
namespace pagedom {
class ChangeHooks;
}
class ContainerNode;
class Document;
class Element;
class ElementType;
class NamedNodeMap;

// The base of every page node and every DTD declaration.
//
// Ownership is an intrusive reference count.  A node is born with a count of
// 0; factory operations and cloneNode hand it out with 1.  Inserting a node
// into a container passes the caller's reference to the parent; removing it
// hands the reference back.
class Node {
public:
    // The host's attachment to a node.  A node owns its attachment: it calls
    // release() when it lets go of it and clone() when the node is copied.
    class UserData {
    public:
        virtual ~UserData() {}
        virtual UserData* clone() const = 0;
        virtual void release() = 0;

    protected:
        UserData() {}
        UserData(const UserData&) {}
        UserData& operator=(const UserData&) { return *this; }
    };

    // Node types beyond the DOM Level 1 numbering.
    static constexpr unsigned short ELEMENT_NODE = 1;
    static constexpr unsigned short ATTRIBUTE_NODE = 2;
    static constexpr unsigned short TEXT_NODE = 3;
    static constexpr unsigned short CDATA_SECTION_NODE = 4;
    static constexpr unsigned short ENTITY_REFERENCE_NODE = 5;
    static constexpr unsigned short ENTITY_NODE = 6;
    static constexpr unsigned short PROCESSING_INSTRUCTION_NODE = 7;
    static constexpr unsigned short COMMENT_NODE = 8;
    static constexpr unsigned short DOCUMENT_NODE = 9;
    static constexpr unsigned short DOCUMENT_TYPE_NODE = 10;
    static constexpr unsigned short DOCUMENT_FRAGMENT_NODE = 11;
    static constexpr unsigned short NOTATION_NODE = 12;
    static constexpr unsigned short ELEMENT_TYPE_NODE = 21;
    static constexpr unsigned short ATTR_TYPE_NODE = 22;
    static constexpr unsigned short ATTR_TYPE_LIST_NODE = 23;
    static constexpr unsigned short META_DATA_NODE = 24;

    // Update state.
    static constexpr unsigned long UPDATE_NONE = 0x0;
    static constexpr unsigned long UPDATE_CHILD_MODIFIED = 0x1;
    static constexpr unsigned long UPDATE_CONTENT_MODIFIED = 0x2;
    static constexpr unsigned long UPDATE_ATTRIBUTE_MODIFIED = 0x4;
    static constexpr unsigned long UPDATE_CREATED = 0x8;
    static constexpr unsigned long UPDATE_ADDED = 0x10;
    static constexpr unsigned long UPDATE_REMOVED = 0x20;
    static constexpr unsigned long UPDATE_CHILD_REMOVED = 0x40;
    static constexpr unsigned long UPDATE_SELECTION_CHANGED = 0x80;
    static constexpr unsigned long UPDATE_CURSOR_CHANGED = 0x100;
    static constexpr unsigned long UPDATE_STYLE_CHANGED = 0x200;
    static constexpr unsigned long UPDATE_SIBLING_CHANGED = 0x400;
    static constexpr unsigned long UPDATE_ADAPTED = 0x800;
    static constexpr unsigned long UPDATE_META_DATA_MODIFIED = 0x1000;

    // Error state.  The bits rise with severity; the two *_LEVEL values are
    // thresholds for comparing a whole error word.
    static constexpr unsigned long NONE_ERROR = 0x0;
    static constexpr unsigned long UNDEFINED_NAME_ERROR = 0x1;
    static constexpr unsigned long UNDEFINED_VALUE_ERROR = 0x2;
    static constexpr unsigned long UNDEFINED_ATTR_ERROR = 0x4;
    static constexpr unsigned long FORMAT_ERROR_LEVEL = 0x8;
    static constexpr unsigned long INVALID_NAME_ERROR = 0x10;
    static constexpr unsigned long INVALID_CHAR_ERROR = 0x20;
    static constexpr unsigned long MISMATCHED_ERROR = 0x40;
    static constexpr unsigned long MISMATCHED_END_TAG_ERROR = 0x80;
    static constexpr unsigned long MISSING_START_TAG_ERROR = 0x100;
    static constexpr unsigned long MISSING_END_TAG_ERROR = 0x200;
    static constexpr unsigned long UNNECESSARY_END_TAG_ERROR = 0x400;
    static constexpr unsigned long INVALID_FORMAT_ERROR = 0x800;
    static constexpr unsigned long INVALID_END_TAG_ERROR = 0x1000;
    static constexpr unsigned long INVALID_ATTR_ERROR = 0x2000;
    static constexpr unsigned long INVALID_DIRECTIVE_ERROR = 0x4000;
    static constexpr unsigned long LAYOUT_ERROR_LEVEL = 0x8000;
    static constexpr unsigned long INVALID_CONTENT_ERROR = 0x10000;
    static constexpr unsigned long DUPLICATE_ERROR = 0x20000;
    static constexpr unsigned long COEXISTENCE_ERROR = 0x40000;
    static constexpr unsigned long ADOPTING_ERROR = 0x80000;
    static constexpr unsigned long DESERTED_ERROR = 0x100000;

    // Layout state (the host's word; the library only stores it).
    static constexpr unsigned long LAYOUT_NONE = 0x0;
    static constexpr unsigned long LAYOUT_VIEWABLE = 0x1;
    static constexpr unsigned long LAYOUT_ABSOLUTE = 0x2;
    static constexpr unsigned long LAYOUT_FLOATED = 0x4;

    static constexpr unsigned long NOT_FOUND = 0xFFFFFFFFul;

    // Nodes take their memory from the node allocator (see NodeAllocator).
    static void* operator new(std::size_t size) { return pagedom::NodeAllocator::allocate(size); }
    static void operator delete(void* memory, std::size_t size) { pagedom::NodeAllocator::release(memory, size); }

    // --- virtual operations -------------------------------------------
    virtual ~Node();
    virtual std::string getNodeName() const = 0;
    virtual std::string getNodeValue() const;
    virtual void setNodeValue(const std::string& value);
    virtual unsigned short getNodeType() const = 0;
    virtual Node* getParentNode() const;
    virtual dom::NodeList getChildNodes() const;
    virtual const NamedNodeMap* getAttributes() const;
    virtual Node* insertBefore(Node* newChild, Node* refChild);
    virtual Node* replaceChild(Node* newChild, Node* oldChild);
    virtual Node* removeChild(Node* oldChild);
    virtual Node* appendChild(Node* newChild);
    virtual Node* cloneNode(bool deep) const = 0;
    virtual void setUpdateState(unsigned long state);
    virtual bool canContain(const Node* child) const;
    virtual std::string getSource() const;
    virtual void formatSource();
    virtual bool isTrivialNode() const;

protected:
    // Links or unlinks the parent (container operations only).
    virtual void _setParentNode(Node* parent);
    // Called whenever the parent link changes; elements drop what they
    // cached about their ancestors.
    virtual void _parentReplaced() {}

public:
    // The document that makes nodes for this subtree: a document returns
    // itself, every other node its owner document.
    virtual Document* getDocument();
    virtual const Document* getDocument() const;

    // Source-writer hooks.  The writer walks a subtree without recursion and
    // asks every node for its own text before and after its children; a node
    // class that writes anything puts it here rather than in getSource, so
    // that a parent's walk and the node's own getSource agree.
    virtual void _writeStart(std::string& out) const;
    virtual void _writeEnd(std::string& out) const;
    // Whether the writer descends into the children.
    virtual bool _writesChildren() const;
    // The formatting of the node's own content, without its children: a
    // leaf asks for its source to be produced again; containers override.
    // formatSource runs it over a whole subtree without recursion.
    virtual void _formatOwn();

    // --- reference counting -------------------------------------------
    unsigned long addRef() { return ++_refCount; }
    unsigned long releaseRef();
    unsigned long getRefCount() const { return _refCount; }
    // Destroys now any nodes whose destruction was queued by a release in
    // progress (see releaseRef); a no-op outside a release.
    static void _drainPendingReleases();

    // Counts moves of whole subtrees (and other changes that alter what the
    // ancestors of existing nodes are); caches of ancestor facts compare it.
    static unsigned long _structureEpoch() { return s_structureEpoch; }
    // The low 32 bits of the epoch never read 0, the mark of "nothing cached".
    static void _bumpStructureEpoch()
    {
        if (static_cast<std::uint32_t>(++s_structureEpoch) == 0)
            ++s_structureEpoch;
    }

    // --- fields ---------------------------------------------------------
    Node* getPreviousSibling() const { return _previous; }
    Node* getNextSibling() const { return _next; }
    Document* getOwnerDocument() const { return _ownerDocument; }

    unsigned long getErrorState() const { return _errorState; }
    unsigned long getUpdateState() const { return _updateState; }
    unsigned long getLayoutState() const { return _layoutState; }
    void setLayoutState(unsigned long state) { _layoutState = state; }
    void setViewable(bool on) { _setLayoutBit(LAYOUT_VIEWABLE, on); }
    void setAbsolute(bool on) { _setLayoutBit(LAYOUT_ABSOLUTE, on); }
    void setFloated(bool on) { _setLayoutBit(LAYOUT_FLOATED, on); }
    bool isViewable() const { return (_layoutState & LAYOUT_VIEWABLE) != 0; }
    bool isAbsolute() const { return (_layoutState & LAYOUT_ABSOLUTE) != 0; }
    bool isFloated() const { return (_layoutState & LAYOUT_FLOATED) != 0; }
    bool isInvalidContent() const { return (_errorState & INVALID_CONTENT_ERROR) != 0; }
    bool hasUpdates(bool withChildren) const;

    // Few nodes carry an attachment, so attachments live in a shared table
    // and a node only keeps a mark that it has one.
    UserData* getUserData() const { return _hasUserData ? _findUserData() : nullptr; }
    void setUserData(UserData* data);

    // --- children ---------------------------------------------------------
    bool hasChildNodes() const { return getChildLength() != 0; }
    unsigned long getChildLength() const;
    Node* getFirstChild() const;
    Node* getLastChild() const;
    Node* getChildNode(unsigned long index) const;
    unsigned long getChildIndex(const Node* child) const;

    // --- navigation -------------------------------------------------------
    bool isOffspringOf(const Node* node) const;
    Node* getCommonAncestor(const Node* other) const;
    Document* getAncestorDocument() const;
    bool hasAncestorDocument() const { return getAncestorDocument() != nullptr; }
    Element* getAncestorMetaElement() const;
    bool hasAncestorMetaElement() const { return getAncestorMetaElement() != nullptr; }
    Node* getLastDescendant() const;
    Node* getNextNode(const Node* root, bool skipChildren = false) const;
    Node* getPreviousNode(const Node* root) const;
    long compareOrder(const Node* other) const;

    Node* insertAfter(Node* newChild, Node* refChild);
    Node* removeChildNodes(Node* first, Node* last);
    void normalize();

    std::string getChildSource() const;
    std::string getDesignSource(bool withChildren) const;

    // --- unchanged-source tracking ------------------------------------------
    // A node made by a reader is "as read" until something that may change
    // the source it writes happens to it or below it: every such change
    // calls _sourceTouched, which clears the mark on the node and on its
    // ancestors (stopping at the first one already cleared, so a node
    // without the mark never has an ancestor with it).  A document whose own
    // mark is still set writes back the page text it read, in one copy.
    bool _isAsRead() const { return _asRead != 0; }
    void _sourceTouched()
    {
        if (_asRead && s_readers == 0)
            _clearAsRead();
    }
    // setUpdateState(update | bits) for bits != 0, without the call when
    // the bits add nothing or only the sibling mark (which go nowhere).
    void _addUpdateBits(unsigned long bits)
    {
        unsigned long added = bits & ~static_cast<unsigned long>(_updateState);
        if (added == 0 || (added == UPDATE_SIBLING_CHANGED && _updateState != 0)) {
            _sourceTouched();
            _updateState |= static_cast<std::uint32_t>(bits);
            return;
        }
        setUpdateState(_updateState | bits);
    }
    // Brackets a reader's work on this thread: nodes made meanwhile are
    // born as read, and the reader's own changes to them clear nothing.
    static void _beginReading();
    static void _endReading();
    // Sets the mark on this node alone (a document that has just read a
    // whole page: every node below it was made as read).
    void _markAsRead() { _asRead = 1; }

    // --- what the layers below the element and text classes ask of a node ---
    // The element type an element is bound to; null for every other node.
    virtual const ElementType* _boundElementType() const { return nullptr; }
    // Whether this is a text node that holds white space only.
    virtual bool _isBlankText() const { return false; }
    // This node as an element when it is one that carries metadata.
    virtual Element* _asMetaElement() { return nullptr; }
    // Appends the data of next, a following text node, to this text node
    // (normalize); other nodes ignore it.
    virtual void _absorbText(const Node* next) { (void)next; }
    // The receiver of change announcements for the tree this node roots
    // (a document's, while it wants them); null for other nodes.
    virtual pagedom::ChangeHooks* _changeReceiver() const { return nullptr; }
    // Room a written copy of this node is likely to need (a document: the
    // page it last read); 0 when unknown.
    virtual std::size_t _writeSizeHint() const { return 0; }
    // Makes owner the owner document of what the node keeps beside its
    // children (an element's attributes) and adds further subtree roots it
    // holds (its metadata) to roots.
    virtual void _adoptAttachments(Document* owner, std::vector<Node*>& roots) { (void)owner, (void)roots; }

    // The error bits are set by the readers, the corrector and the bindings.
    void setErrorState(unsigned long state) { _errorState = state; }
    void addErrorState(unsigned long bits) { _errorState |= bits; }
    void clearErrorState(unsigned long bits) { _errorState &= ~bits; }

protected:
    Node(Document* ownerDocument, const std::string& name);
    // Copy base of every cloneNode: name, owner document, error state and a
    // clone of the attachment; fresh links and states, count 0.
    Node(const Node& other);
    Node& operator=(const Node&) = delete;

    const std::string& _name() const { return *_nodeName; }
    void _setName(const std::string& name);
    Node* _parentField() const { return _parent; }
    void _setParentField(Node* parent) { _parent = parent; }

    // Rewrites a sibling link and marks the node whose link changed.
    void _setPreviousSibling(Node* node);
    void _setNextSibling(Node* node);

    // Hook run on every node the update-state propagation reaches, before the
    // node stores its new word.  Subclasses adjust the state or do their own
    // bookkeeping here; the propagation itself never recurses.
    virtual unsigned long _prepareUpdateState(unsigned long state);

    // The child list of a container; null for leaf nodes.
    virtual const dom::OwnerNodeList* _childList() const;

    friend class ContainerNode;
    friend class Element;
    friend class Attr;
    friend class DocumentType;
    friend class AttrTypeList;

private:
    static unsigned long s_structureEpoch;
    // How many readers are at work on this thread (see _beginReading).
    static inline thread_local unsigned s_readers = 0;

    void _setLayoutBit(unsigned long bit, bool on)
    {
        _layoutState = on ? (_layoutState | bit) : (_layoutState & ~bit);
    }
    void _storeUpdateState(unsigned long state) { _updateState = state; }

    void _clearAsRead();
    // Points _nodeName to the shared copy of name, or to a copy of its own.
    void _takeName(const std::string& name);
    void _dropName();

    UserData* _findUserData() const;

    // The count and three marks share one word.
    unsigned int _refCount : 29;
    unsigned int _asRead : 1;
    unsigned int _ownsName : 1;
    unsigned int _hasUserData : 1;
    // The three state words are 32 bits wide.
    std::uint32_t _errorState;
    std::uint32_t _updateState;
    std::uint32_t _layoutState;
    // The name: a shared copy (see NameTable) unless _ownsName.
    const std::string* _nodeName;
    Node* _parent;
    Node* _previous;
    Node* _next;
    Document* _ownerDocument;
};

#endif
