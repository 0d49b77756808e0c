// The document node: the root of a page tree, the factory of its nodes and
// the keeper of its document type and per-document editing state.
#ifndef PAGEDOM_TREE_DOCUMENT_H
#define PAGEDOM_TREE_DOCUMENT_H

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/Options.h"
#include "base/SourceText.h"
#include "tree/DocumentFragment.h"
#include "tree/ErrorCollector.h"
#include "tree/EventTarget.h"
#include "tree/Range.h"

class Attr;
class CDATASection;
class Comment;
class DocumentType;
class Element;
class ElementType;
class EntityReference;
class MetaData;
class ProcessingInstruction;
class Text;
namespace pagedom {
class ChangeHooks;
class ChangeRecorder;
class MetaDataPass;
class RecordGate;
struct DocumentAccess;
}

// The root of a page tree and the factory of all its nodes.
class Document : public DocumentFragment, public dom::EventTarget {
public:
    // The rules a document's tags and names follow.
    enum DocumentFormatType : unsigned int {
        HTML_FORMAT = 0,       // the HTML rules
        XML_STYLE_FORMAT = 1,  // XML-style, names compared and written in lower case
        XML_FORMAT = 2         // well-formed XML
    };

    // "#document".
    static const std::string NODE_NAME;

    // Documents are made by DOMImpl::createDocument; the constructor is public
    // for hosts that manage documents themselves.  A null type is looked up
    // in the registry by name.
    Document(const std::string& name, const DocumentType* type);
    // Stops announcing changes, then releases the tree and the type.
    ~Document() override;

    // --- Node ---------------------------------------------------------------
    // "#document".
    std::string getNodeName() const override;
    // DOCUMENT_NODE.
    unsigned short getNodeType() const override;
    // Whether child may be a child of the document: one kind of root
    // element, blank text, processing instructions, comments, doctypes.
    bool canContain(const Node* child) const override;
    // A new document with the same name, type and format; with deep, copies
    // of the children too.
    Node* cloneNode(bool deep) const override;
    // The page: while no node of the tree has changed since the document
    // read it, the page text itself; else the children's source.
    std::string getSource() const override;
    // The document itself.
    Document* getDocument() override { return this; }
    // The document itself.
    const Document* getDocument() const override { return this; }

    // --- factory ------------------------------------------------------------
    // Each returns a new node of this document with one reference for the
    // caller, inserted nowhere.

    // An element named tagName, typed by the declaration of that name.
    Element* createElement(const std::string& tagName) const;
    // An element of type; null for a null or unnamed type.
    Element* createTypedElement(const ElementType* type) const;
    // An element of the type registered under element id id; null when
    // there is none.
    Element* createDefElement(int id) const;
    // A text holding data.
    Text* createTextNode(const std::string& data) const;
    // A comment holding data.
    Comment* createComment(const std::string& data) const;
    // A CDATA section holding data.
    CDATASection* createCDATASection(const std::string& data) const;
    // A processing instruction for target holding data.
    ProcessingInstruction* createProcessingInstruction(const std::string& target,
                                                       const std::string& data) const;
    // An attribute named name (giving its value in text form outside the
    // HTML document).
    Attr* createAttribute(const std::string& name) const;
    // A reference to the entity name.
    EntityReference* createEntityReference(const std::string& name) const;
    // An empty fragment.
    DocumentFragment* createDocumentFragment() const;
    // A DOCTYPE node named name, ready to be inserted as a child.
    DocumentType* createDocType(const std::string& name) const;

    // --- reading ------------------------------------------------------------
    // Parses text into parent (the document when parent is null), replacing
    // the children parent had; returns the node parsed into, or null for a
    // parent that cannot have children.  With adjust the read subtree is
    // tidied as adjustNodes does for changed nodes.  The HTML document reads
    // HTML, JSP and server-side includes; every other document reads XML.
    Node* createNodes(const char* text, unsigned long length, Node* parent, bool adjust = false);

    // --- writing ------------------------------------------------------------
    // The HTML document tidies and lays out its whole tree (adjustNodes with
    // full); any other document formats its children in order.
    void formatSource() override;

    // --- errors ------------------------------------------------------------
    // Every node of the tree that carries errors, in document order, with
    // its source line (a text's first character that is not white space;
    // elements that adopted content are left out).  The list belongs to the
    // calling thread and is refilled by its next call.
    const std::vector<DOMError>& getErrorList() const;
    // Whether the document's own error state passes FORMAT_ERROR_LEVEL
    // (under XML rules, mismatched end tags do not count).
    bool hasSevereError() const;
    // The HTML document puts node, whose parent element may not hold it,
    // into the implied elements HTML lets a page leave out (into an adaptor
    // right before it, or new ones marked UPDATE_ADAPTED: a TR around a
    // stray TD, a UL around a stray LI).  The element that now holds node,
    // or null when nothing fits (node stays where it is).
    Node* adaptNode(Node* node);
    // Repairs the subtree of node (the whole document when null) so that it
    // obeys the document type, as one series of recorded changes, then tidies
    // what changed (adjustNodes).  Content is kept: every character of the
    // texts, every comment and every piece of server code stays in the page.
    // The HTML document and VoiceXML documents (named "VXML") are repaired;
    // true when anything changed.
    bool correctError(Node* node);

    // --- queries ------------------------------------------------------------
    // The document type the document was created with (the DTD model).
    const DocumentType* getDocumentType() const { return _documentType; }
    // The first DOCTYPE node among the children.
    DocumentType* getDocType() const;
    // The last child element named as the document (ignoring case), or null.
    Element* getDocumentElement() const;
    // Whether the document was created with the name "HTML".
    bool isHTMLDocument() const { return _isHTML; }
    // The HTML element, created with omitted tags when missing; null outside
    // the HTML document.
    Element* getHTMLElement() const;
    // The HEAD element of html (of getHTMLElement() when null), created
    // with omitted tags when missing; null outside the HTML document.
    Element* getHEADElement(Element* html) const;
    // The BODY element of html (of getHTMLElement() when null), inside the
    // NOFRAMES of a frameset page, created with omitted tags when missing;
    // null outside the HTML document.
    Element* getBODYElement(Element* html) const;
    // Whether the HTML, HEAD and BODY elements all have omitted tags.
    bool isHTMLFragment() const;
    // The XML declaration, inserted as the first child when missing.
    ProcessingInstruction* getXMLDecl();
    // The JSP version of the document type, JSP_NONE without one.
    DOMOptions::JSPVersion getJSPVersion() const;
    // Whether the document type follows JSP 1.0, whose pages may use the
    // XML form.
    bool supportXMLFormat() const;
    // Always true: every document can be laid out.
    bool canLayout() const { return true; }

    // Whether the format type is not HTML_FORMAT.
    bool isWellFormed() const { return _formatType != HTML_FORMAT; }
    // Sets the format type to XML_FORMAT (on) or HTML_FORMAT.
    void wellFormed(bool on) { _formatType = on ? XML_FORMAT : HTML_FORMAT; }
    // Sets the format type.
    void FormatType(DocumentFormatType type) { _formatType = type; }
    // The format type.
    DocumentFormatType getFormatType() const { return _formatType; }

    // --- metadata, beans and run-time text ----------------------------------
    // Whether metadata changed since the page was read or last saved (an
    // edit of an element with metadata, or metadata the reading made or
    // converted that the page did not hold as written).
    bool isMetaDataRevised() const { return _metaDataRevised; }
    // Called after the host saved the page: metadata counts as unrevised
    // and the run-time text as saved (differences are no longer recorded
    // until resetRuntimeTextStateOnReload).
    void resetMetaDataStateOnSave();
    // Whether run-time text produced for the page differs from the text the
    // page was read with (or a span read from it had none).
    bool isRuntimeTextDifferent() const { return _runtimeTextState == RUNTIME_TEXT_DIFFERS; }
    // Called when the host reloads the page: the run-time text counts as
    // unchanged again.
    void resetRuntimeTextStateOnReload() { _runtimeTextState = RUNTIME_TEXT_UNCHANGED; }
    // Declares a bean from outside the page: id and Java class name; nothing
    // when a bean of that id is declared already.
    void addOutBoundBean(const char* id, const char* className);
    // Removes the outbound bean of exactly that id; nothing when none.
    void delOutBoundBean(const char* id);
    // Builds the list of beans the page can use, ordered by id, one per id:
    // the outbound beans, then the page's own (BEAN elements under JSP 0.91,
    // jsp:useBean elements otherwise), then the implicit objects of a JSP
    // page (not under JSP 0.91).  handle refers to the list, at its first
    // bean, until getBeanListEnd.
    void getBeanListBegin(void*& handle) const;
    // The bean at handle, then steps on; false when handle is null or past
    // the last bean.  The strings live until getBeanListEnd.
    bool getBeanListNext(void*& handle, const char*& id, const char*& className) const;
    // Releases the list and sets handle to null.
    void getBeanListEnd(void*& handle) const;

    // --- cursor and selections ------------------------------------------------
    // One selected stretch of the tree.  For an element an offset is a
    // child index, for character data an offset into its data.  Records are
    // the document's; hosts read them.
    struct Selection {
        Node* startNode;
        std::uint32_t startOffset;
        Node* endNode;
        std::uint32_t endOffset;
    };

    // Puts the layout cursor at offset in node (the source offset becomes
    // unknown, -1).
    void setLayoutCursor(Node* node, int offset);
    // The cursor's node and layout offset (converted from the source offset
    // when only that is known); either output may be null.
    void getLayoutCursor(Node** node, int* offset) const;
    // Puts the cursor at source offset offset in node (the layout offset
    // becomes unknown, -1).
    void setSourceCursor(Node* node, int offset);
    // The cursor's node and source offset (converted from the layout
    // offset when only that is known); either output may be null.
    void getSourceCursor(Node** node, int* offset) const;
    // The single selection (without one, the cursor at both ends) as byte
    // offsets into the whole page source.
    void getSourceSelection(unsigned long& start, unsigned long& end) const;
    // Puts the cursor at byte offset start of the page source and, when end
    // differs, selects up to end (the two are put in order).
    void setSourceSelection(unsigned long start, unsigned long end);
    // The source offset in a text node's source of layout offset offset in
    // its data; 0 for a null node, a negative offset or any other node.
    static int convertOffsetLayout2Source(const Node* node, int offset);
    // The layout offset in a text node's data of source offset offset in
    // its source; 0 for a null node, a negative offset or any other node.
    static int convertOffsetSource2Layout(const Node* node, int offset);
    // Selects from (startNode, startOffset) to (endNode, endOffset), the two
    // ends put in document order; with add a further selection is added,
    // else it replaces every selection.  Nothing for a null node.
    void select(Node* startNode, unsigned long startOffset, Node* endNode, unsigned long endOffset, bool add);
    // Deletes every selection.
    void eraseSelections();
    // The selection when there is exactly one, else null.
    Selection* getSingleSelection() const;
    // Whether node is selected: with one selection, whether it lies
    // between its ends (its end nodes included); with several, whether it
    // starts one of them.
    bool isSelected(const Node* node) const;
    // The single selection as a range; with several, a collapsed range at
    // the start node of the first; with none, a collapsed range at the
    // cursor (its layout offset).
    dom::Range getRange() const;
    // The selections, in the order they were made.
    const std::vector<Selection*>& getSelections() const { return _selections; }
    // How many selections there are.
    unsigned long getNumOfSelections() const { return _selections.size(); }

    // --- tree editing ------------------------------------------------------------
    // Removes node from its parent and releases it, keeping the cursor and
    // the selections in the tree (for null or the document: every child);
    // the removed nodes below the top are marked UPDATE_REMOVED.  Always null.
    Node* deleteNodes(Node* node);
    // 0 when a is null, else a's document order against b (Node::compareOrder).
    int compareNode(const Node* a, const Node* b) const;
    // Puts element's children in its place and deletes it; with joinTexts,
    // texts that come to stand side by side at either end are joined.  Null;
    // element itself when it has no parent (nothing done).
    Element* removeElement(Element* element, bool joinTexts);
    // Whether node is empty: an element removable when empty whose every
    // descendant is empty (not an A with a name, not a P beside a TABLE, not
    // one missing its start tag), or an empty text; unless ignoreCursor,
    // never one holding the cursor or an end of the single selection.
    bool isEmptyNode(const Node* node, bool ignoreCursor) const;
    // The node after node in document order below root: its first child
    // unless skipChildren, else the next sibling of it or of its nearest
    // ancestor below root; with changedOnly, unchanged nodes are passed
    // over.  Null when there is none.
    Node* findNextNode(const Node* node, const Node* root, bool changedOnly, bool skipChildren) const;
    // The nearest common ancestor-or-self of a and b, or null; aSide and
    // bSide (each may be null) get the nodes of each chain just below it.
    Node* getCommonAncestor(const Node* a, const Node* b, Node** aSide, Node** bSide) const;
    // Reads the data of every text below node (node itself when it has no
    // children) again from its source, except inside what a PRE may not
    // hold; false for a null node or when no PRE can be made.
    bool restorePlainTexts(Node* node);
    // Tidies node's subtree (the document when null): emptied removable
    // elements are deleted, attribute-less FONTs and phrase elements nested
    // in their like are unwrapped, THEAD/TBODY/TFOOT standing beside their
    // like merged, adjacent texts joined, and line breaks placed around block
    // elements; full visits every node and lays every text out, otherwise
    // only changed nodes count.  True when the tree changed.
    bool adjustNodes(Node* node, bool full);

    // --- change recording, undo and redo ------------------------------------
    // Turns recording of changes on or off (off for a new document).
    void enableRecord(bool on);
    // While suspended, changes are still recorded but endUpdate does not
    // close their step; it ends the suspension, and the step closes at the
    // next recorded change.  Suspending again before that change, or
    // resuming, keeps adding to the same step.
    void suspendRecord(bool on);
    // Forgets every recorded step.
    void clearRecord();
    // Closes the open step, if any, making it one undoable step.
    void endRecord();
    // Undoes the newest step (the argument is not used); returns how many
    // steps can still be undone.
    int undo(int count);
    // Redoes the step undone last (the argument is not used); returns how
    // many steps can still be redone.
    int redo(int count);
    // How many steps can be undone (the open one included when it holds
    // changes).
    int canUndo() const;
    // How many steps can be redone.
    int canRedo() const;
    // The record position: steps closed and redone minus steps undone.
    int getRecordCount() const { return _recordPosition; }
    // Ends the host's editing command: resets every update state, closes the
    // step unless recording is suspended, and sends "END_UPDATE".
    void endUpdate();
    // Send "BEGIN_COPY", "BEGIN_CUT", "BEGIN_PASTE" to the listeners.
    void beginCopy() const;
    void beginCut() const;
    void beginPaste() const;

private:
    Document(const Document& other);

    // --- Node internals --------------------------------------------------------
    // The size of the page last read (room to write the document into).
    std::size_t _writeSizeHint() const override
    {
        return _page ? _page->text().size() + _page->text().size() / 16 : 0;
    }
    // A document's writes remember their runs, made when first asked for.
    pagedom::WrittenRuns* _writtenRuns() const override;
    // The receiver while it wants announcements and no reader is at work.
    pagedom::ChangeHooks* _changeReceiver() const override
    {
        return _hooksActive && !_creatingNodes ? _hooks : nullptr;
    }

    // A new metadata node without type, with one reference for the caller.
    MetaData* _createMetaData() const;
    // Reads page into target (which has no children) with the installed
    // reader, runs the metadata pass over what was read unless it is already
    // running, and keeps the page when target is the document.  false when
    // the document has no reader.
    bool _readPage(pagedom::SourceText::Block* page, Node* target);
    // Records that run-time text produced for the page differs from the text
    // it was read with; ignored once the page was saved.
    void _markRuntimeTextDifferent()
    {
        if (_runtimeTextState == RUNTIME_TEXT_UNCHANGED)
            _runtimeTextState = RUNTIME_TEXT_DIFFERS;
    }
    // The state of the run-time text since the page was read.
    enum RuntimeTextState : unsigned int {
        RUNTIME_TEXT_UNCHANGED = 0,
        RUNTIME_TEXT_DIFFERS = 1,
        RUNTIME_TEXT_SAVED = 2
    };
    // The beans of the page, id to class name, as getBeanListBegin lists them.
    void _collectBeans(std::map<std::string, std::string>& beans) const;
    void _keepReadPage(pagedom::SourceText::Block* page, Node* target);

    // --- change announcements -------------------------------------------
    // Makes the recording gate (the receiver of this document's change
    // announcements) when recording is on, and tells the node layer whether
    // this document listens.
    void _refreshHookState();

    // While set, the reader is creating nodes (no announcements).
    bool _isCreatingNodes() const { return _creatingNodes; }
    void _setCreatingNodes(bool on) { _creatingNodes = on; }

    // The layout cursor.
    Node* _getCursorNode() const { return _cursorNode; }
    int _getLayoutOffset() const { return _layoutOffset; }

    // --- recording internals ------------------------------------------------
    // The record state word.
    enum RecordState : std::uint32_t {
        RECORD_SUSPENDED = 0x1,           // endUpdate keeps the step open
        RECORD_CHANGED_SUSPENDED = 0x2,   // a change was recorded while suspended
        RECORD_DISABLED = 0x4             // nothing is recorded or announced
    };
    // Sends a marker event of type to the listeners.
    void _sendMarker(const char* type) const;
    // The change record, made on first use; null when none can be made.
    pagedom::ChangeRecorder* _record();
    // Adds a reference to node unless it is the document itself (and
    // releases one in the other direction).
    void _holdNode(Node* node);
    void _dropNode(Node* node);
    // Moves the cursor and the selections off child, about to leave parent
    // from index.
    void _adjustForRemoval(Node* parent, unsigned long index, Node* child);
    // Moves the cursor and the selections past child, just inserted into
    // parent.
    void _adjustForInsertion(Node* parent, Node* child);
    // Joins second, the text right after first, into first: the sources are
    // joined byte for byte and read again (plain: they lie inside a plain
    // element); second is deleted.
    void _joinTexts(Text* first, Text* second, bool plain);
    // Joins the texts of run, siblings side by side, into the first.
    void _joinTexts(const std::vector<Text*>& run, bool plain);
    // Joins into first every text that follows it without a node between,
    // in one go (pairwise, a run of n texts would cost n times its length).
    void _joinTextRun(Text* first, bool plain);
    // Whether element may count as empty when all its children are: one
    // removable when empty, not missing its start tag, not a named A, not a
    // P beside a TABLE.
    static bool _isEmptyShell(const Element* element);
    // The pass of adjustNodes once it is due, on root: the pending node,
    // then the walk.
    bool _adjustTree(Node* root, bool full);
    // _dropPendingNode before a pass on root, which may go with the pending
    // node (it is that node or lies in its emptied path): false when it did
    // (root may then be destroyed), and dropped tells whether anything was
    // deleted.
    bool _dropPendingNodeBefore(Node* root, bool& dropped);
    // The walk of the pass on root (none when root is null), after which
    // the cursor's node is the pending node.  Formatting records its
    // subtree as replaced around this alone: the pending node may lie
    // outside it, and goes before.
    bool _runAdjuster(Node* root, bool full);
    // Deletes the pending node with its emptied ancestors unless the cursor
    // is in it, and clears it; true when something was deleted.
    bool _dropPendingNode();
    // Whether every child of parent but known is empty and parent holds no
    // end of the single selection.
    bool _othersEmpty(const Node* parent, const Node* known) const;
    // One end of the single selection, moved off child leaving parent.
    void _shiftSelectionEnd(Node*& node, std::uint32_t& offset, Node* parent, unsigned long index, Node* child);
    // Releases every selection record and its nodes.
    void _freeSelections();
    // Sets the update state of every node of the tree to 0.
    void _resetUpdateStates();
    // Notes that an announced change marked node (with its whole subtree).
    void _touch(Node* node, bool subtree);
    // Releases the touched nodes.
    void _forgetTouched();
    // Resets node and, below it, every marked node under marked nodes
    // (every node with everyNode).
    void _resetMarksBelow(Node* node, bool everyNode);
    // Whether node is in this document's tree.
    bool _isInTree(const Node* node) const;
    // Resets node and its marked ancestors.
    void _resetWithAncestors(Node* node);
    // Gives every node of the tree the update state created, as a page just
    // read has (no change of the source).
    void _markEveryNodeCreated();
    // Marks the document UPDATE_SELECTION_CHANGED (no change of its source).
    void _markSelectionChanged();

    DocumentType* _documentType;
    bool _isHTML;
    bool _updateInProgress = false;
    bool _adjustNeeded = false;
    DocumentFormatType _formatType = HTML_FORMAT;
    // The cursor and every selection hold a reference on their nodes, so a
    // host releasing a node never leaves them pointing at freed memory.
    Node* _cursorNode = nullptr;
    int _layoutOffset = 0;
    int _sourceOffset = 0;
    std::vector<Selection*> _selections;
    Node* _pendingNode = nullptr;
    std::uint32_t _selectionTracking = 1;
    pagedom::ChangeRecorder* _changeRecord = nullptr;
    std::uint32_t _recordState = RECORD_DISABLED;
    std::int32_t _recordPosition = 0;
    // The nodes whose marks the announced changes since the last reset
    // set (one reference each): whole subtrees, or nodes alone with their
    // ancestors.  The reset looks there only, unless changes went
    // unannounced (recording was off), the host set marks by hand, or too
    // many nodes were touched; then it walks the marked part of the tree.
    struct Touched {
        Node* node;
        bool subtree;
    };
    std::vector<Touched> _touched;
    bool _marksUntracked = true;
    unsigned long _handMarksSeen = 0;
    pagedom::ChangeHooks* _hooks = nullptr;
    bool _hooksActive = false;
    bool _creatingNodes = false;
    // The page the tree was read from (its nodes' stored texts are spans of
    // it); written back as it is while the document's as-read mark holds.
    pagedom::SourceText::Block* _page = nullptr;
    mutable std::unique_ptr<pagedom::WrittenRuns> _runs;
    bool _metaDataRevised = false;
    RuntimeTextState _runtimeTextState = RUNTIME_TEXT_UNCHANGED;
    // The reader met something the metadata pass acts on (a METADATA span,
    // an OBJECT, a QRTX: element, a dynamic element); the pass is skipped
    // for pages without any.
    bool _metaPassWanted = false;
    // The metadata pass is running (it reads the spans it turns into
    // metadata, and those readings run no pass of their own).
    bool _metaPassRunning = false;
    // The beans declared from outside the page, id to class name.
    std::map<std::string, std::string> _outboundBeans;

    // Library internals used by the elements (metadata), the texts (the
    // cursor), the reader and the library's accessor.
    friend class Element;
    friend class MetaData;
    friend class Text;
    friend class HTMLParser;
    friend class XMLParser;
    friend class pagedom::MetaDataPass;
    friend class pagedom::RecordGate;
    friend struct pagedom::DocumentAccess;
};

#endif
