#ifndef PAGEDOM_TREE_DOCUMENT_H
#define PAGEDOM_TREE_DOCUMENT_H

#include <string>

#include "base/Options.h"
#include "base/SourceText.h"
#include "tree/DocumentFragment.h"
#include "tree/EventTarget.h"

class Attr;
class CDATASection;
namespace pagedom {
class ChangeHooks;
}
class Comment;
class DocumentType;
class Element;
class ElementType;
class EntityReference;
class MetaData;
class ProcessingInstruction;
class Text;

// The root of a page tree and the factory of all its nodes.
class Document : public DocumentFragment, public dom::EventTarget {
public:
    enum DocumentFormatType : unsigned int {
        HTML_FORMAT = 0,
        XML_STYLE_FORMAT = 1,
        XML_FORMAT = 2
    };

    static const std::string NODE_NAME;

    // Documents are made by DOMImpl::createDocument; the constructor is public
    // for hosts that manage documents themselves.  A null type is looked up
    // in the registry by name.
    Document(const std::string& name, const DocumentType* type);
    ~Document() override;

    // --- Node ---------------------------------------------------------------
    std::string getNodeName() const override;
    unsigned short getNodeType() const override;
    bool canContain(const Node* child) const override;
    Node* cloneNode(bool deep) const override;
    // While no node of the tree has changed since the document read its
    // page (see Node::_isAsRead), the page text itself.
    std::string getSource() const override;
    // The size of the page last read (room to write the document into).
    std::size_t _writeSizeHint() const override
    {
        return _page ? _page->text().size() + _page->text().size() / 16 : 0;
    }
    Document* getDocument() override { return this; }
    const Document* getDocument() const override { return this; }

    // --- factory ------------------------------------------------------------
    Element* createElement(const std::string& tagName) const;
    Element* createTypedElement(const ElementType* type) const;
    Element* createDefElement(int id) const;
    Text* createTextNode(const std::string& data) const;
    Comment* createComment(const std::string& data) const;
    CDATASection* createCDATASection(const std::string& data) const;
    ProcessingInstruction* createProcessingInstruction(const std::string& target,
                                                       const std::string& data) const;
    Attr* createAttribute(const std::string& name) const;
    EntityReference* createEntityReference(const std::string& name) const;
    DocumentFragment* createDocumentFragment() const;
    DocumentType* createDocType(const std::string& name) const;
    MetaData* _createMetaData() const;

    // --- reading ------------------------------------------------------------
    // Parses text into parent (the document when parent is null), replacing
    // the children parent had; returns the node parsed into.  Only the HTML
    // document is read so far: any other returns null and keeps its
    // children.
    Node* createNodes(const char* text, unsigned long length, Node* parent);
    // Whether the tree was freshly built by createNodes on the document.
    bool _isFreshlyParsed() const { return _freshlyParsed; }

    // --- queries ------------------------------------------------------------
    // The document type the document was created with (the DTD model).
    const DocumentType* getDocumentType() const { return _documentType; }
    // The first DOCTYPE node among the children.
    DocumentType* getDocType() const;
    Element* getDocumentElement() const;
    bool isHTMLDocument() const { return _isHTML; }
    Element* getHTMLElement() const;
    Element* getHEADElement(Element* html) const;
    Element* getBODYElement(Element* html) const;
    bool isHTMLFragment() const;
    ProcessingInstruction* getXMLDecl();
    DOMOptions::JSPVersion getJSPVersion() const;
    bool supportXMLFormat() const;
    bool canLayout() const { return true; }

    bool isWellFormed() const { return _formatType != HTML_FORMAT; }
    void wellFormed(bool on) { _formatType = on ? XML_FORMAT : HTML_FORMAT; }
    void FormatType(DocumentFormatType type) { _formatType = type; }
    DocumentFormatType getFormatType() const { return _formatType; }

    bool isMetaDataRevised() const { return _metaDataRevised; }

    // The layout cursor: a node and a layout offset into it (the source
    // offset becomes unknown).
    void setLayoutCursor(Node* node, int offset)
    {
        _cursorNode = node;
        _layoutOffset = offset;
        _sourceOffset = -1;
    }
    Node* _getCursorNode() const { return _cursorNode; }
    int _getLayoutOffset() const { return _layoutOffset; }

    // --- change announcements -------------------------------------------
    // Installs the receiver of this document's change announcements (owned).
    void _setChangeHooks(pagedom::ChangeHooks* hooks);
    pagedom::ChangeHooks* _getChangeHooks() const { return _hooks; }
    // Re-reads whether the receiver wants announcements; call after its
    // active state changes.
    void _refreshHookState();
    // The receiver while it wants announcements and no reader is at work.
    pagedom::ChangeHooks* _changeReceiver() const override
    {
        return _hooksActive && !_creatingNodes ? _hooks : nullptr;
    }

    // While set, the reader is creating nodes (no announcements).
    bool _isCreatingNodes() const { return _creatingNodes; }
    void _setCreatingNodes(bool on) { _creatingNodes = on; }

private:
    Document(const Document& other);

    void _keepReadPage(pagedom::SourceText::Block* page, Node* target);

    DocumentType* _documentType;
    bool _isHTML;
    bool _updateInProgress = false;
    bool _adjustNeeded = false;
    DocumentFormatType _formatType = HTML_FORMAT;
    Node* _cursorNode = nullptr;
    int _layoutOffset = 0;
    int _sourceOffset = 0;
    pagedom::ChangeHooks* _hooks = nullptr;
    bool _hooksActive = false;
    unsigned long _recordState = 4;
    long _recordPosition = 0;
    bool _creatingNodes = false;
    bool _freshlyParsed = false;
    // The page the tree was read from (its nodes' stored texts are spans of
    // it); written back as it is while the document's as-read mark holds.
    pagedom::SourceText::Block* _page = nullptr;
    bool _metaDataRevised = false;
    unsigned long _runtimeTextState = 0;
};

#endif
