// The document node: the root of a page tree, the factory of its nodes and
// the keeper of its document type and per-document editing state.
#ifndef PAGEDOM_TREE_DOCUMENT_H
#define PAGEDOM_TREE_DOCUMENT_H

#include <string>

#include "base/Options.h"
#include "base/SourceText.h"
#include "tree/DocumentFragment.h"
#include "tree/EventTarget.h"

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
    // parent that cannot have children.  Only the HTML document is read so
    // far: any other returns null and keeps its children.
    Node* createNodes(const char* text, unsigned long length, Node* parent);

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

    // Whether the document's metadata changed since the page was read.
    bool isMetaDataRevised() const { return _metaDataRevised; }

    // Puts the layout cursor at offset in node.
    void setLayoutCursor(Node* node, int offset)
    {
        _cursorNode = node;
        _layoutOffset = offset;
    }

private:
    Document(const Document& other);

    // --- Node internals --------------------------------------------------------
    // The size of the page last read (room to write the document into).
    std::size_t _writeSizeHint() const override
    {
        return _page ? _page->text().size() + _page->text().size() / 16 : 0;
    }
    // The receiver while it wants announcements and no reader is at work.
    pagedom::ChangeHooks* _changeReceiver() const override
    {
        return _hooksActive && !_creatingNodes ? _hooks : nullptr;
    }

    // A new metadata node without type, with one reference for the caller.
    MetaData* _createMetaData() const;
    void _keepReadPage(pagedom::SourceText::Block* page, Node* target);

    // --- change announcements -------------------------------------------
    // Installs the receiver of this document's change announcements (owned).
    void _setChangeHooks(pagedom::ChangeHooks* hooks);
    // Re-reads whether the receiver wants announcements; call after its
    // active state changes.
    void _refreshHookState();

    // While set, the reader is creating nodes (no announcements).
    bool _isCreatingNodes() const { return _creatingNodes; }
    void _setCreatingNodes(bool on) { _creatingNodes = on; }

    // The layout cursor.
    Node* _getCursorNode() const { return _cursorNode; }
    int _getLayoutOffset() const { return _layoutOffset; }

    DocumentType* _documentType;
    bool _isHTML;
    DocumentFormatType _formatType = HTML_FORMAT;
    Node* _cursorNode = nullptr;
    int _layoutOffset = 0;
    pagedom::ChangeHooks* _hooks = nullptr;
    bool _hooksActive = false;
    bool _creatingNodes = false;
    // The page the tree was read from (its nodes' stored texts are spans of
    // it); written back as it is while the document's as-read mark holds.
    pagedom::SourceText::Block* _page = nullptr;
    bool _metaDataRevised = false;

    // Library internals used by the elements (metadata), the texts (the
    // cursor), the reader and the library's accessor.
    friend class Element;
    friend class Text;
    friend class HTMLParser;
    friend struct pagedom::DocumentAccess;
};

#endif
