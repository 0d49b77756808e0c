// The base class of every page node and every DTD declaration: the fields all
// of them share, reference-counted ownership, states and tree navigation.
#ifndef PAGEDOM_NODE_NODE_H
#define PAGEDOM_NODE_NODE_H

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "node/NodeAllocator.h"
#include "node/NodeList.h"

class Attr;
class AttrTypeList;
class ContainerNode;
class Document;
class DocumentType;
class Element;
class ElementType;
class HTMLParser;
class XMLParser;
class NamedNodeMap;
namespace pagedom {
class ChangeHooks;
class WrittenRuns;
class SourceFormatter;
struct NodeAccess;
}

// The base of every page node and every DTD declaration.
//
// Ownership is an intrusive reference count.  A node is born with a count of
// 0; factory operations and cloneNode hand it out with 1.  Inserting a node
// into a container passes the caller's reference to the parent; removing it
// hands the reference back.
//
// Threads: a tree is used by one thread at a time, so an ordinary node
// counts its references without atomic operations.  The nodes that trees on
// several threads hold at once (a document type and its declarations, which
// every document made with the type refers to) are marked as shared and
// count under a lock instead; see _shareCount.
class Node {
public:
    // The host's attachment to a node.  A node owns its attachment: it calls
    // release() when it lets go of it and clone() when the node is copied.
    class UserData {
    public:
        // Destroys the attachment.
        virtual ~UserData() {}
        // A new attachment for a copy of the node this one is attached to.
        virtual UserData* clone() const = 0;
        // Called when the node lets go of the attachment.
        virtual void release() = 0;

    protected:
        // An attachment with nothing copied.
        UserData() {}
        // Copies nothing: each attachment is the host's own object.
        UserData(const UserData&) {}
        // Assigns nothing.
        UserData& operator=(const UserData&) { return *this; }
    };

    // Node types: 1 to 12 follow the DOM Level 1 numbering, 21 to 24 are the
    // library's own.
    // An element (Element).
    static constexpr unsigned short ELEMENT_NODE = 1;
    // An attribute (Attr).
    static constexpr unsigned short ATTRIBUTE_NODE = 2;
    // A text run (Text).
    static constexpr unsigned short TEXT_NODE = 3;
    // A CDATA section, script or raw element content (CDATASection).
    static constexpr unsigned short CDATA_SECTION_NODE = 4;
    // A reference to an entity that stays a node (EntityReference).
    static constexpr unsigned short ENTITY_REFERENCE_NODE = 5;
    // An entity declaration (Entity).
    static constexpr unsigned short ENTITY_NODE = 6;
    // A processing instruction (ProcessingInstruction).
    static constexpr unsigned short PROCESSING_INSTRUCTION_NODE = 7;
    // A comment (Comment).
    static constexpr unsigned short COMMENT_NODE = 8;
    // A document (Document).
    static constexpr unsigned short DOCUMENT_NODE = 9;
    // A document type, or the DOCTYPE declaration of a page (DocumentType).
    static constexpr unsigned short DOCUMENT_TYPE_NODE = 10;
    // A document fragment (DocumentFragment).
    static constexpr unsigned short DOCUMENT_FRAGMENT_NODE = 11;
    // A notation declaration (Notation).
    static constexpr unsigned short NOTATION_NODE = 12;
    // An element declaration (ElementType).
    static constexpr unsigned short ELEMENT_TYPE_NODE = 21;
    // An attribute declaration (AttrType).
    static constexpr unsigned short ATTR_TYPE_NODE = 22;
    // An attribute-list declaration (AttrTypeList).
    static constexpr unsigned short ATTR_TYPE_LIST_NODE = 23;
    // Editor metadata attached to an element (MetaData).
    static constexpr unsigned short META_DATA_NODE = 24;

    // Update state: what happened to a node since its states were last reset.
    // Nothing changed (reset by the host or at the end of an update).
    static constexpr unsigned long UPDATE_NONE = 0x0;
    // A child or descendant changed.
    static constexpr unsigned long UPDATE_CHILD_MODIFIED = 0x1;
    // The node's own content was rewritten (formatting, data changes).
    static constexpr unsigned long UPDATE_CONTENT_MODIFIED = 0x2;
    // An attribute of the element was set or removed.
    static constexpr unsigned long UPDATE_ATTRIBUTE_MODIFIED = 0x4;
    // The node was constructed.
    static constexpr unsigned long UPDATE_CREATED = 0x8;
    // The node was given a parent.
    static constexpr unsigned long UPDATE_ADDED = 0x10;
    // The node lost its parent.
    static constexpr unsigned long UPDATE_REMOVED = 0x20;
    // A child was removed from this container.
    static constexpr unsigned long UPDATE_CHILD_REMOVED = 0x40;
    // A selection of the document was made or erased.
    static constexpr unsigned long UPDATE_SELECTION_CHANGED = 0x80;
    // Left to the host: the cursor moved.
    static constexpr unsigned long UPDATE_CURSOR_CHANGED = 0x100;
    // Left to the host: the style changed.
    static constexpr unsigned long UPDATE_STYLE_CHANGED = 0x200;
    // The previous or next sibling link was rewritten.
    static constexpr unsigned long UPDATE_SIBLING_CHANGED = 0x400;
    // The node was adapted by the error corrector.
    static constexpr unsigned long UPDATE_ADAPTED = 0x800;
    // Metadata attached to the element changed.
    static constexpr unsigned long UPDATE_META_DATA_MODIFIED = 0x1000;

    // Error state.  The bits rise with severity; the two *_LEVEL values are
    // thresholds: a node has an error above a level when its whole error
    // word, compared as a number, is greater than the level.
    // No error.
    static constexpr unsigned long NONE_ERROR = 0x0;
    // The name is not declared by the document type.
    static constexpr unsigned long UNDEFINED_NAME_ERROR = 0x1;
    // The value is not one the declaration allows.
    static constexpr unsigned long UNDEFINED_VALUE_ERROR = 0x2;
    // The element carries an undeclared attribute.
    static constexpr unsigned long UNDEFINED_ATTR_ERROR = 0x4;
    // Threshold: errors above it spoil the format of the source.
    static constexpr unsigned long FORMAT_ERROR_LEVEL = 0x8;
    // The name is not a valid name.
    static constexpr unsigned long INVALID_NAME_ERROR = 0x10;
    // The text holds a bare markup character.
    static constexpr unsigned long INVALID_CHAR_ERROR = 0x20;
    // The name differs from its declaration in case.
    static constexpr unsigned long MISMATCHED_ERROR = 0x40;
    // The end tag's name differs from the start tag's.
    static constexpr unsigned long MISMATCHED_END_TAG_ERROR = 0x80;
    // The element's start tag is missing.
    static constexpr unsigned long MISSING_START_TAG_ERROR = 0x100;
    // The element's end tag is missing.
    static constexpr unsigned long MISSING_END_TAG_ERROR = 0x200;
    // The element has an end tag it must not have.
    static constexpr unsigned long UNNECESSARY_END_TAG_ERROR = 0x400;
    // The markup is malformed (an unterminated tag or block).
    static constexpr unsigned long INVALID_FORMAT_ERROR = 0x800;
    // The end tag is malformed or closes nothing.
    static constexpr unsigned long INVALID_END_TAG_ERROR = 0x1000;
    // An attribute is malformed, or the element has such an attribute.
    static constexpr unsigned long INVALID_ATTR_ERROR = 0x2000;
    // A JSP directive that no declaration matches.
    static constexpr unsigned long INVALID_DIRECTIVE_ERROR = 0x4000;
    // Threshold: errors above it spoil the layout of the page.
    static constexpr unsigned long LAYOUT_ERROR_LEVEL = 0x8000;
    // The parent may not contain this node.
    static constexpr unsigned long INVALID_CONTENT_ERROR = 0x10000;
    // The element occurs more often than it may.
    static constexpr unsigned long DUPLICATE_ERROR = 0x20000;
    // The element may not stand beside a sibling it has.
    static constexpr unsigned long COEXISTENCE_ERROR = 0x40000;
    // The element was taken in by a container it did not ask for.
    static constexpr unsigned long ADOPTING_ERROR = 0x80000;
    // The node was left behind by a container that was closed early.
    static constexpr unsigned long DESERTED_ERROR = 0x100000;

    // Layout state: the host's word; the library only stores it.
    // No layout bit.
    static constexpr unsigned long LAYOUT_NONE = 0x0;
    // The node is shown.
    static constexpr unsigned long LAYOUT_VIEWABLE = 0x1;
    // The node is positioned absolutely.
    static constexpr unsigned long LAYOUT_ABSOLUTE = 0x2;
    // The node floats.
    static constexpr unsigned long LAYOUT_FLOATED = 0x4;

    // The result of an index search that finds nothing.
    static constexpr unsigned long NOT_FOUND = 0xFFFFFFFFul;

    // Takes a node's memory from the node allocator (see NodeAllocator).
    static void* operator new(std::size_t size) { return pagedom::NodeAllocator::allocate(size); }
    // Gives a node's memory back to the node allocator.
    static void operator delete(void* memory, std::size_t size) { pagedom::NodeAllocator::release(memory, size); }

    // --- virtual operations -------------------------------------------
    // Releases the attachment; a container first releases its children.
    // Runs only through releaseRef.
    virtual ~Node();
    // The node's name: a tag, attribute, target or declaration name, or a
    // constant such as "#text".
    virtual std::string getNodeName() const = 0;
    // The node's value; empty for nodes that have none.
    virtual std::string getNodeValue() const;
    // Sets the node's value; does nothing for nodes that have none.
    virtual void setNodeValue(const std::string& value);
    // The node type (ELEMENT_NODE ... META_DATA_NODE).
    virtual unsigned short getNodeType() const = 0;
    // The parent, or null.
    virtual Node* getParentNode() const;
    // The children as a live list; an empty list for a leaf.
    virtual dom::NodeList getChildNodes() const;
    // The attributes of an element; null for every other node.
    virtual const NamedNodeMap* getAttributes() const;
    // Inserts newChild before refChild (appends without refChild); returns
    // newChild, or null when refused.  A leaf refuses every child.
    virtual Node* insertBefore(Node* newChild, Node* refChild);
    // Replaces oldChild by newChild; returns oldChild (the caller's
    // reference), or null when refused.
    virtual Node* replaceChild(Node* newChild, Node* oldChild);
    // Removes oldChild; returns it (the caller's reference), or null when it
    // is no child.
    virtual Node* removeChild(Node* oldChild);
    // Appends newChild; returns it, or null when refused.
    virtual Node* appendChild(Node* newChild);
    // A copy of the node (with copies of its descendants when deep), handed
    // out with one reference.
    virtual Node* cloneNode(bool deep) const = 0;
    // Stores the update word; new bits propagate: ADDED and REMOVED go down
    // to every descendant, anything else marks the ancestors
    // UPDATE_CHILD_MODIFIED.
    virtual void setUpdateState(unsigned long state);
    // Whether child may be a child of this node by the document type.
    virtual bool canContain(const Node* child) const;
    // The source text of the node and its descendants.
    virtual std::string getSource() const;
    // Lays the descendants out again under the formatting options (tags in
    // the options' case where they read back the same, texts' white space);
    // a leaf's own source is produced again from its data.
    virtual void formatSource();
    // Whether the node is trivial for layout (a comment, say).
    virtual bool isTrivialNode() const;

    // --- reference counting -------------------------------------------
    // Adds a reference; returns the new count.
    unsigned long addRef()
    {
        if (_sharedCount)
            return _addSharedRef();
        return ++_refCount;
    }
    // Gives up a reference; destroys the node when the last one goes.
    // Returns the new count (0 when destroyed, or when the count was 0).
    unsigned long releaseRef();
    // The number of references held.
    unsigned long getRefCount() const { return _sharedCount ? _sharedRefCount() : _refCount; }

    // --- fields ---------------------------------------------------------
    // The previous sibling, or null.
    Node* getPreviousSibling() const { return _previous; }
    // The next sibling, or null.
    Node* getNextSibling() const { return _next; }
    // The document the node belongs to (the one that made it, or the one
    // that took it in from another document), or null.
    Document* getOwnerDocument() const { return _ownerDocument; }

    // The error word (the *_ERROR bits).
    unsigned long getErrorState() const { return _errorState; }
    // The update word (the UPDATE_* bits).
    unsigned long getUpdateState() const { return _updateState; }
    // The layout word (the host's; LAYOUT_* bits).
    unsigned long getLayoutState() const { return _layoutState; }
    // Stores the layout word.
    void setLayoutState(unsigned long state) { _layoutState = static_cast<std::uint32_t>(state); }
    // Sets or clears LAYOUT_VIEWABLE.
    void setViewable(bool on) { _setLayoutBit(LAYOUT_VIEWABLE, on); }
    // Sets or clears LAYOUT_ABSOLUTE.
    void setAbsolute(bool on) { _setLayoutBit(LAYOUT_ABSOLUTE, on); }
    // Sets or clears LAYOUT_FLOATED.
    void setFloated(bool on) { _setLayoutBit(LAYOUT_FLOATED, on); }
    // Whether LAYOUT_VIEWABLE is set.
    bool isViewable() const { return (_layoutState & LAYOUT_VIEWABLE) != 0; }
    // Whether LAYOUT_ABSOLUTE is set.
    bool isAbsolute() const { return (_layoutState & LAYOUT_ABSOLUTE) != 0; }
    // Whether LAYOUT_FLOATED is set.
    bool isFloated() const { return (_layoutState & LAYOUT_FLOATED) != 0; }
    // Whether INVALID_CONTENT_ERROR is set.
    bool isInvalidContent() const { return (_errorState & INVALID_CONTENT_ERROR) != 0; }
    // Whether the update word records a change of the node (ignoring the
    // selection, cursor, style and sibling marks, and also
    // UPDATE_CHILD_MODIFIED unless withChildren).
    bool hasUpdates(bool withChildren) const;

    // The host's attachment, or null.
    UserData* getUserData() const { return _hasUserData ? _findUserData() : nullptr; }
    // Attaches data (the node owns it), releasing the attachment it had.
    void setUserData(UserData* data);

    // --- children ---------------------------------------------------------
    // Whether the node has children.
    bool hasChildNodes() const { return getChildLength() != 0; }
    // The number of children.
    unsigned long getChildLength() const;
    // The first child, or null.
    Node* getFirstChild() const;
    // The last child, or null.
    Node* getLastChild() const;
    // The child at index, or null when out of range.
    Node* getChildNode(unsigned long index) const;
    // The position of child among the children; NOT_FOUND for a non-child.
    unsigned long getChildIndex(const Node* child) const;

    // --- navigation -------------------------------------------------------
    // Whether node is this node or one of its ancestors.
    bool isOffspringOf(const Node* node) const;
    // The nearest of this node and its ancestors that also contains other;
    // null when the two share no tree.
    Node* getCommonAncestor(const Node* other) const;
    // This node when it is a document, else its nearest document ancestor;
    // null when there is none.
    Document* getAncestorDocument() const;
    // Whether getAncestorDocument() is not null.
    bool hasAncestorDocument() const { return getAncestorDocument() != nullptr; }
    // The nearest element ancestor (through elements only) that carries
    // metadata, or null.
    Element* getAncestorMetaElement() const;
    // Whether getAncestorMetaElement() is not null.
    bool hasAncestorMetaElement() const { return getAncestorMetaElement() != nullptr; }
    // The last node in document order below this one; null without children.
    Node* getLastDescendant() const;
    // The next node in document order inside root (skipping this node's
    // children when asked); null at the end.
    Node* getNextNode(const Node* root, bool skipChildren = false) const;
    // The previous node in document order inside root; null at the start.
    Node* getPreviousNode(const Node* root) const;
    // Negative when this node comes before other in document order, positive
    // when after; 0 for the node itself, an ancestor, a descendant or a node
    // of another tree.
    long compareOrder(const Node* other) const;

    // Inserts newChild after refChild, or first when refChild is null;
    // returns newChild, or null when refused (refChild is no child here, or
    // insertBefore refuses).
    Node* insertAfter(Node* newChild, Node* refChild);
    // Removes the children from first through last (null: the first or last
    // child) as a parentless sibling chain; returns its head, or null.
    Node* removeChildNodes(Node* first, Node* last);
    // Drops empty text children and merges adjacent ones, in the whole
    // subtree.
    void normalize();

    // The source text of the children, without the node's own tags.
    std::string getChildSource() const;
    // The source of the node in design form (elements with metadata as they
    // stand in their start comments: no comments, no run-time text, an
    // author-time visual's element around its element): its children only
    // when contentOnly, else the node with its own text around them.
    std::string getDesignSource(bool contentOnly) const;

protected:
    // A node of ownerDocument, with count 0 (the nodes with names of their
    // own keep them in NamedNode).
    explicit Node(Document* ownerDocument);
    // Copy base of every cloneNode: owner document, error state and a
    // clone of the attachment; fresh links and states, count 0.
    Node(const Node& other);
    Node& operator=(const Node&) = delete;

    // The document that makes nodes for this subtree: a document returns
    // itself, every other node its owner document.
    virtual Document* getDocument();
    // The document that makes nodes for this subtree (see above).
    virtual const Document* getDocument() const;

    // Links or unlinks the parent (container operations only): marks the
    // node added or removed and sets or clears INVALID_CONTENT_ERROR.
    virtual void _setParentNode(Node* parent);
    // Called whenever the parent link changes; elements drop what they
    // cached about their ancestors.
    virtual void _parentReplaced() {}

    // --- source-writer hooks ---------------------------------------------
    // The writer walks a subtree without recursion and asks every node for
    // its own text before and after its children; a node class that writes
    // anything puts it here rather than in getSource, so that a parent's walk
    // and the node's own getSource agree.
    virtual void _writeStart(std::string& out) const;
    virtual void _writeEnd(std::string& out) const;
    // The same, told whether an ancestor element carries metadata (the node
    // then stands inside that element's METADATA start comment); an element
    // with metadata of its own writes its comments around itself only when
    // none does.  The walk keeps that knowledge on its stack, so no node
    // climbs its ancestors to find it.
    virtual void _writeStartIn(std::string& out, bool insideMeta) const
    {
        (void)insideMeta;
        _writeStart(out);
    }
    virtual void _writeEndIn(std::string& out, bool insideMeta) const
    {
        (void)insideMeta;
        _writeEnd(out);
    }
    // Whether the writer descends into the children.
    virtual bool _writesChildren() const;
    // What formatting a subtree changes in the node itself, without its
    // children: nothing for most nodes, whose source is kept as written (the
    // formatter lays the texts out); elements override.  formatSource runs
    // it over a whole subtree without recursion.
    virtual void _formatOwn();
    // Room a written copy of this node is likely to need (a document: the
    // page it last read); 0 when unknown.
    virtual std::size_t _writeSizeHint() const { return 0; }
    // The runs of unchanged siblings the writes of this node remember (see
    // node/WrittenRuns.h); null for a node that keeps none.
    virtual pagedom::WrittenRuns* _writtenRuns() const { return nullptr; }

    // --- writing kept page text --------------------------------------------
    // A node read from a page and unchanged since writes the very bytes it
    // was read from.  When those lie in the page in one piece, a node that
    // knows it writes them as one copy instead of node by node: after an
    // edit only the path to the changed node is written piece by piece.
    // Whether they lie in one piece is learned by a write (the writer
    // compares each piece with the page as it goes) and kept by the node
    // for as long as it stays as read.
    // How a node's whole written text can be had in one piece: not at all
    // (it is written node by node), as the page text it keeps (an element
    // known to lie in its page in one piece), or as the own text of a leaf
    // whose text does not depend on where it stands (a text, a comment, a
    // CDATA section).
    enum WholeText { WRITTEN_IN_PIECES, KEPT_PAGE_TEXT, OWN_TEXT };
    // OWN_TEXT for a leaf whose text is the string source, which ends its
    // stored text.
    static WholeText _ownText(const std::string& source, std::string_view& text, const char*& blockEnd)
    {
        text = source;
        blockEnd = source.data() + source.size();
        return OWN_TEXT;
    }
    // Which of these the node's text is; for the two last, text is set to
    // it (produced first when pending) and blockEnd to the end of the
    // stored text it lies in (null when not known), up to where a write may
    // compare the bytes that follow it.
    virtual WholeText _wholeText(std::string_view& text, const char*& blockEnd) const
    {
        (void)text, (void)blockEnd;
        return WRITTEN_IN_PIECES;
    }
    // For a node that can keep what a write learns and has not learned it:
    // true, with where its written text begins in its page and where the
    // page ends (asked after its start text is written); false otherwise.
    virtual bool _learnsKeptSource(const char*& start, const char*& pageEnd) const
    {
        (void)start, (void)pageEnd;
        return false;
    }
    // Keeps what a write learned: the length of the node's written text in
    // its page, or 0 when it does not lie there in one piece.
    virtual void _keepSourceLength(std::size_t length) const { (void)length; }

    // --- what the layers below the element and text classes ask of a node ---
    // The element type an element is bound to; null for every other node.
    virtual const ElementType* _boundElementType() const { return nullptr; }
    // Whether this is a text node that holds white space only.
    virtual bool _isBlankText() const { return false; }
    // This node as an element when it is one that carries metadata.
    virtual Element* _asMetaElement() { return nullptr; }
    // The forms of METADATA comments (META_HTML_FORM "<!--", META_JSP_FORM
    // "<%--"), as bits.
    static constexpr unsigned META_HTML_FORM = 1;
    static constexpr unsigned META_JSP_FORM = 2;
    // The form of the METADATA comments this element is written inside, 0
    // for none.  What it holds is written inside its start comment, where
    // an element with metadata below it whose comments take the same form
    // stands bare (its end would end the start comment it stands in);
    // comments of the other form nest.  An element the page wrote without
    // comments (its metadata bare) writes what it holds as the page wrote
    // it, their comments included.
    virtual unsigned _metaCommentForm() const { return 0; }
    // The forms of the METADATA comments the ancestors are written inside.
    unsigned _ancestorMetaCommentForms() const;
    // Appends the data of the following text nodes, in order, to this text
    // node in one change (normalize); other nodes ignore it.
    virtual void _absorbTexts(const std::vector<Node*>& following) { (void)following; }
    // The receiver of change announcements for the tree this node roots
    // (a document's, while it wants them); null for other nodes.
    virtual pagedom::ChangeHooks* _changeReceiver() const { return nullptr; }
    // Makes owner the owner document of what the node keeps beside its
    // children (an element's attributes) and adds further subtree roots it
    // holds (its metadata) to roots.
    virtual void _adoptAttachments(Document* owner, std::vector<Node*>& roots) { (void)owner, (void)roots; }
    // Nodes own others beside their children: an element its metadata, a
    // metadata node the author-time visual it holds.  Every node has at
    // most one owner, so that ownership never closes a cycle (a copy would
    // not end, a release would free nothing).
    // The node that owns this one other than as its parent (the element a
    // metadata node is attached to, the metadata holding an author-time
    // visual); null for every other node.
    virtual Node* _keeper() const { return nullptr; }
    // Whether the node owns nodes other than its children.
    virtual bool _keepsOthers() const { return false; }
    // Whether owner is this node or owns it, through parents and keepers.
    bool _isOwnedBy(const Node* owner) const;
    // Binds the node again, by name, to the declarations of its owner
    // document's type: the owner document has just become another one (the
    // node moved in from another document).  An element takes its element
    // type and its attributes theirs; nodes bound to nothing ignore it.
    virtual void _rebindDeclarations() {}
    // Hook run on every node the update-state propagation reaches, before the
    // node stores its new word.  Subclasses adjust the state or do their own
    // bookkeeping here; the propagation itself never recurses.
    virtual unsigned long _prepareUpdateState(unsigned long state);
    // The child list of a container; null for leaf nodes.
    virtual const dom::OwnerNodeList* _childList() const;

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
        if (!_asRead)
            return;
        if (s_readers == 0)
            _clearAsRead();
        else
            s_changedWhileReading = true;
    }
    // Sets the mark on this node alone (a document that has just read a
    // whole page: every node below it was made as read).
    void _markAsRead() { _asRead = 1; }
    // Brackets a reader's work on this thread: nodes made meanwhile are
    // born as read, and the reader's own changes to them clear nothing.
    static void _beginReading();
    static void _endReading();

    // --- resetting marks ----------------------------------------------------
    // The library's own changes mark a node and all its ancestors, and a
    // document's reset looks only where its changes were announced.  Marks
    // a host sets or clears by hand (setUpdateState) may lie anywhere: each
    // such call outside a reset walk is counted, and a document whose count
    // moved walks its whole tree at the next reset.
    static unsigned long _handSetMarks() { return s_handSetMarks.load(std::memory_order_relaxed); }
    // The body of setUpdateState, for the library's own marks.
    void _setUpdateState(unsigned long state);
    // _setUpdateState(update | UPDATE_ADDED) for a node without children
    // that has just been linked under its parent (every node a reader
    // links in): the same marks, by the short way that case takes.
    void _markAddedLeaf();
    // Brackets a reset walk on this thread (its clearing is not counted).
    static void _beginMarkReset() { ++t_resettingMarks; }
    static void _endMarkReset() { --t_resettingMarks; }

    // _addUpdateBits for a node without a parent whose class keeps the
    // default _prepareUpdateState (a text a reader has just made): only the
    // word changes.
    void _addUnlinkedUpdateBits(unsigned long bits)
    {
        _sourceTouched();
        _updateState |= static_cast<std::uint32_t>(bits);
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
        _setUpdateState(_updateState | bits);
    }

    // The error bits are set by the readers, the corrector and the bindings.
    void addErrorState(unsigned long bits) { _errorState |= static_cast<std::uint32_t>(bits); }
    void clearErrorState(unsigned long bits) { _errorState &= ~static_cast<std::uint32_t>(bits); }

    // Counts moves of whole subtrees (and other changes that alter what the
    // ancestors of existing nodes are) over all threads; caches of ancestor
    // facts compare it.  Its low 32 bits never read 0, the mark of "nothing
    // cached".
    static unsigned long _structureEpoch() { return s_structureEpoch.load(std::memory_order_relaxed); }
    static void _bumpStructureEpoch();
    // The subtree of top is linked or unlinked: what the nodes below top
    // cached about their ancestors goes stale.  Below a small subtree the
    // caches are dropped node by node; a large one moves the epoch.
    static void _subtreeMoves(Node* top);

    // Counts, over all threads, the changes that may alter what a run of
    // unchanged siblings writes: a node linked, unlinked or relinked among
    // its siblings, or losing its "as read" mark.  The runs a write
    // remembers (see node/WrittenRuns.h) hold only while it stands still.
    // Changes made while a reader is at work move it once, when the
    // outermost reader on the thread is done.
    static unsigned long _contentEpoch() { return s_contentEpoch.load(std::memory_order_relaxed); }
    static void _contentChanges()
    {
        if (s_readers)
            s_changedWhileReading = true;
        else
            s_contentEpoch.fetch_add(1, std::memory_order_relaxed);
    }

    // Destroys now any nodes whose destruction was queued by a release in
    // progress on this thread (see releaseRef); a no-op outside a release.
    static void _drainPendingReleases();

    // Marks this node as held by trees on several threads: from now on its
    // count is kept under a lock.  Called while the node is still private to
    // the thread that builds it (a document type and its declarations, as
    // they are made).
    void _shareCount();

    // Marks a node class keeps for itself (mark is 0 to 7), cleared in a new
    // node and in a copy; a class that keeps marks copies them itself.
    bool _classMark(unsigned mark) const { return ((_classMarks >> mark) & 1u) != 0; }
    void _setClassMark(unsigned mark, bool on) const
    {
        _classMarks = on ? (_classMarks | (1u << mark)) : (_classMarks & ~(1u << mark));
    }

    Node* _parentField() const { return _parent; }
    void _setParentField(Node* parent) { _parent = parent; }

    // Rewrites a sibling link and marks the node whose link changed.
    void _setPreviousSibling(Node* node);
    void _setNextSibling(Node* node);

private:
    // See _structureEpoch.  Only its changes matter, never their order
    // against other memory, so every access is relaxed.
    static inline std::atomic<unsigned long> s_structureEpoch{1};
    // See _contentEpoch; whether a reader at work on this thread has made
    // such a change.
    static inline std::atomic<unsigned long> s_contentEpoch{1};
    static inline thread_local bool s_changedWhileReading = false;
    // How many readers are at work on this thread (see _beginReading).
    static inline thread_local unsigned s_readers = 0;
    static inline std::atomic<unsigned long> s_handSetMarks{0};
    static inline thread_local unsigned t_resettingMarks = 0;

    void _setLayoutBit(unsigned long bit, bool on)
    {
        _layoutState = static_cast<std::uint32_t>(on ? (_layoutState | bit) : (_layoutState & ~bit));
    }

    void _clearAsRead();
    // The part of the update-state propagation that pushes added (ADDED or
    // REMOVED), just stored on node, down to node's subtree, then marks
    // parent (null: none) CHILD_MODIFIED and climbs on; it keeps its own
    // stack, so that deep trees cannot exhaust the call stack.
    static void _pushDownUpdate(Node* node, unsigned long added, Node* parent);

    UserData* _findUserData() const;

    // The count of a shared node (see _shareCount).
    unsigned long _addSharedRef();
    // Takes one reference off a shared node's count; false when the count
    // was already 0.  left is the count that remains.
    bool _dropSharedRef(unsigned long& left);
    unsigned long _sharedRefCount() const;

    // Destroys the node, and the nodes that reach count 0 meanwhile (the
    // outermost release of a destruction).
    void _destroy();

    // The writer walk: the node's own start text (withRoot), its
    // descendants, then its end text (withRoot), without recursion; design
    // writes elements with metadata in their design form.
    void _writeSubtree(bool withRoot, std::string& out, bool design = false) const;
    // Reserves room in out for a whole written document.
    void _reserveForWriting(std::string& out) const;

    // The count and four marks share one word.  The word of a shared node is
    // never written again once it is shared: its count lives elsewhere.
    // _ownsName belongs to NamedNode: whether its name is a copy of its own.
    unsigned int _refCount : 28;
    unsigned int _sharedCount : 1;
    unsigned int _asRead : 1;
    unsigned int _ownsName : 1;
    unsigned int _hasUserData : 1;
    // The update and layout words are 32 bits wide.  The error bits all lie
    // below bit ERROR_BITS, which leaves the rest of their word to marks a
    // node class keeps for itself (see _classMark): a node class with a
    // flag or two then needs no room of its own for them.
    static constexpr unsigned ERROR_BITS = 24;
    std::uint32_t _errorState : ERROR_BITS;
    mutable std::uint32_t _classMarks : 32 - ERROR_BITS;
    static_assert(DESERTED_ERROR < (1ul << ERROR_BITS), "every error bit lies below the class marks");
    std::uint32_t _updateState;
    std::uint32_t _layoutState;
    Node* _parent;
    Node* _previous;
    Node* _next;
    Document* _ownerDocument;

    // Library internals used by the node classes on nodes other than
    // themselves, by the reader, the writer and the change announcements.
    friend class NamedNode;
    friend class ContainerNode;
    friend class Element;
    friend class Attr;
    friend class Document;
    friend class DocumentType;
    friend class AttrTypeList;
    friend class HTMLParser;
    friend class XMLParser;
    friend class pagedom::SourceFormatter;
    friend class pagedom::ChangeHooks;
    friend struct pagedom::NodeAccess;
};

#endif
