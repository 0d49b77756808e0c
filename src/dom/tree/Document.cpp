// The document: its factory, reading a page into it, the HTML, HEAD and BODY
// elements, and its change receiver.
#include "tree/Document.h"

#include "doctype/DocumentType.h"
#include "convert/PCDATAConverter.h"
#include "doctype/DocumentTypeSource.h"
#include "doctype/ElementTable.h"
#include "doctype/ElementType.h"
#include "tree/Attr.h"
#include "tree/CDATASection.h"
#include "tree/Comment.h"
#include "tree/Element.h"
#include "tree/ElementSupport.h"
#include "tree/EntityReference.h"
#include "tree/MetaData.h"
#include "tree/MetaDataPass.h"
#include "node/ChangeHooks.h"
#include "node/WrittenRuns.h"
#include "tree/ChangeRecorder.h"
#include "tree/PageReader.h"
#include "tree/ProcessingInstruction.h"
#include "base/StringUtil.h"
#include "tree/Text.h"

const std::string Document::NODE_NAME = "#document";

namespace {

template <class T>
T* handOut(T* node)
{
    node->addRef();
    return node;
}

bool isElementWithID(const Node* node, int id)
{
    return node && node->getNodeType() == Node::ELEMENT_NODE &&
           static_cast<const Element*>(node)->getElementID() == id;
}

// At least one child that is not a white-space-only text node.
bool hasNonBlankContent(const Node* node)
{
    for (Node* c = node->getFirstChild(); c; c = c->getNextSibling()) {
        if (c->getNodeType() != Node::TEXT_NODE || !static_cast<Text*>(c)->isSpaceText())
            return true;
    }
    return false;
}

// Candidate keeping for the HTML/HEAD/BODY searches: a written element with
// content wins at once, then the first written one, then the first omitted.
struct Candidates {
    Element* writtenWithContent = nullptr;
    Element* written = nullptr;
    Element* omitted = nullptr;

    // Returns true when the search may stop.
    bool offer(Element* e)
    {
        if (e->isOmittedElement()) {
            if (!omitted)
                omitted = e;
            return false;
        }
        if (hasNonBlankContent(e)) {
            if (!writtenWithContent)
                writtenWithContent = e;
            return true;
        }
        if (!written)
            written = e;
        return false;
    }

    Element* best() const
    {
        if (writtenWithContent)
            return writtenWithContent;
        return written ? written : omitted;
    }

    // Keeps e without stopping: the order of preference decides at the end.
    void keep(Element* e)
    {
        if (e->isOmittedElement()) {
            if (!omitted)
                omitted = e;
        } else if (hasNonBlankContent(e)) {
            if (!writtenWithContent)
                writtenWithContent = e;
        } else if (!written) {
            written = e;
        }
    }

    void forget() { *this = Candidates(); }
};

// Offers the BODY elements inside the NOFRAMES children of a FRAMESET, last
// to first, and remembers the first NOFRAMES met; returns true when the
// search may stop.
bool offerFramesetBodies(const Node* frameset, Candidates& found, Element*& noframes)
{
    for (Node* f = frameset->getLastChild(); f; f = f->getPreviousSibling()) {
        if (!isElementWithID(f, ElementTable::ID_NOFRAMES))
            continue;
        if (!noframes)
            noframes = static_cast<Element*>(f);
        for (Node* b = f->getLastChild(); b; b = b->getPreviousSibling()) {
            if (isElementWithID(b, ElementTable::ID_BODY) && found.offer(static_cast<Element*>(b)))
                return true;
        }
    }
    return false;
}

// The kind of page reader a document reads with: the HTML document's reader
// for the HTML document, the XML reader for every other.
pagedom::PageReader::Kind readerKindOf(const Document& document)
{
    return document.isHTMLDocument() ? pagedom::PageReader::HTML_PAGE : pagedom::PageReader::XML_PAGE;
}

} // namespace

Document::Document(const std::string& name, const DocumentType* type)
    : DocumentFragment(nullptr, name), _documentType(const_cast<DocumentType*>(type)),
      _isHTML(name == "HTML")
{
    if (!_documentType) {
        if (pagedom::DocumentTypeSource* source = pagedom::DocumentTypeSource::installed())
            _documentType = const_cast<DocumentType*>(source->findDocumentType(name));
    }
    if (_documentType)
        _documentType->addRef();
}

Document::Document(const Document& other)
    : DocumentFragment(other), dom::EventTarget(), _documentType(other._documentType),
      _isHTML(other._isHTML), _formatType(other._formatType)
{
    if (_documentType)
        _documentType->addRef();
}

Document::~Document()
{
    // Stop announcing first, then let the tree go while the document type
    // its nodes were bound to still lives; nodes queued by the release are
    // destroyed here too, before the document's own fields go away.
    enableRecord(false);
    _forgetTouched();
    delete _hooks;
    _hooks = nullptr;
    _freeSelections();
    setLayoutCursor(nullptr, 0);
    _dropNode(_pendingNode);
    _pendingNode = nullptr;
    delete _changeRecord;
    _changeRecord = nullptr;
    _releaseChildren();
    Node::_drainPendingReleases();
    if (_documentType)
        _documentType->releaseRef();
    if (_page)
        _page->release();
}

std::string Document::getNodeName() const
{
    return NODE_NAME;
}

unsigned short Document::getNodeType() const
{
    return DOCUMENT_NODE;
}

bool Document::canContain(const Node* child) const
{
    if (!child)
        return false;
    switch (child->getNodeType()) {
    case ELEMENT_NODE: {
        if (!_documentType)
            return true;
        const ElementType* type = static_cast<const Element*>(child)->getElementType();
        if (!type || type->getContentType() == ContentModel::ANY_CONTENT)
            return true;
        return type->getName() == _documentType->getNodeName();
    }
    case TEXT_NODE:
        return static_cast<const Text*>(child)->isSpaceText();
    case PROCESSING_INSTRUCTION_NODE:
    case COMMENT_NODE:
    case DOCUMENT_TYPE_NODE:
        return true;
    default:
        return false;
    }
}

Node* Document::cloneNode(bool deep) const
{
    Document* copy = new Document(*this);
    copy->addRef();
    if (deep) {
        _cloneChildrenInto(copy);
        // The copy owns its nodes: they must not refer to this document,
        // which may be released first.
        copy->_adoptDescendants(copy);
    }
    return copy;
}

// --- factory ---------------------------------------------------------------

Element* Document::createElement(const std::string& tagName) const
{
    return handOut(new Element(const_cast<Document*>(this), tagName));
}

Element* Document::createTypedElement(const ElementType* type) const
{
    if (!type || type->getName().empty())
        return nullptr;
    return handOut(new Element(const_cast<Document*>(this), type));
}

Element* Document::createDefElement(int id) const
{
    if (id < 1 || !_documentType)
        return nullptr;
    const ElementType* type = _documentType->getDefElementType(id);
    if (!type)
        return nullptr;
    Element* element = createTypedElement(type);
    if (element && pagedom::isDynamicElementID(id))
        element->setDynamicElement(true);
    return element;
}

Text* Document::createTextNode(const std::string& data) const
{
    return handOut(new Text(const_cast<Document*>(this), data));
}

Comment* Document::createComment(const std::string& data) const
{
    return handOut(new Comment(const_cast<Document*>(this), data));
}

CDATASection* Document::createCDATASection(const std::string& data) const
{
    return handOut(new CDATASection(const_cast<Document*>(this), data));
}

ProcessingInstruction* Document::createProcessingInstruction(const std::string& target,
                                                             const std::string& data) const
{
    return handOut(new ProcessingInstruction(const_cast<Document*>(this), target, data));
}

Attr* Document::createAttribute(const std::string& name) const
{
    Attr* attr = handOut(new Attr(const_cast<Document*>(this), name));
    if (!_isHTML)
        attr->_setRawText(true);
    return attr;
}

EntityReference* Document::createEntityReference(const std::string& name) const
{
    return handOut(new EntityReference(const_cast<Document*>(this), name));
}

DocumentFragment* Document::createDocumentFragment() const
{
    return handOut(new DocumentFragment(const_cast<Document*>(this), std::string()));
}

DocumentType* Document::createDocType(const std::string& name) const
{
    return handOut(new DocumentType(const_cast<Document*>(this), name));
}

MetaData* Document::_createMetaData() const
{
    return handOut(new MetaData(const_cast<Document*>(this)));
}

// --- reading -----------------------------------------------------------------

Node* Document::createNodes(const char* text, unsigned long length, Node* parent, bool adjust)
{
    // Without a reader for its kind a document keeps its children and
    // reports that nothing was read.
    if (!pagedom::PageReader::installed(readerKindOf(*this)))
        return nullptr;
    // A leaf (a text, a document type) cannot take what a page holds.
    if (parent && !parent->_childList())
        return nullptr;
    Node* target = parent ? parent : this;
    // Reading replaces the target's children, and reading into an element
    // may close it and go on in any of its ancestors, up to the document:
    // the whole page is recorded as replaced.
    pagedom::ChangeHooks::SubtreeChange change(this);
    pagedom::discardChildren(target);
    if (target == this)
        _metaDataRevised = false;
    // The reader also marks the ActiveX objects it makes.  Read into the
    // document itself, the page is kept: until anything in the tree
    // changes, writing the document back is copying it.
    _readPage(pagedom::SourceText::Block::make(text ? std::string(text, length) : std::string()), target);
    if (adjust)
        _adjustTree(target, false);
    // A page just read is tidied again only on request (adjustNodes with
    // full) until the next endUpdate.
    if (target == this)
        _adjustNeeded = true;
    return target;
}

bool Document::_readPage(pagedom::SourceText::Block* page, Node* target)
{
    pagedom::PageReader* reader = pagedom::PageReader::installed(readerKindOf(*this));
    if (!reader) {
        page->release();
        return false;
    }
    Node::_beginReading();
    reader->readPage(page, target);
    // The metadata pass runs over what was read when the reader met
    // anything it acts on; it reads spans itself, and those readings run no
    // pass of their own.
    std::vector<Node*> rewritten;
    if (_metaPassWanted && !_metaPassRunning) {
        _metaPassWanted = false;
        _metaPassRunning = true;
        const bool wasCreating = _creatingNodes;
        _creatingNodes = true;
        pagedom::MetaDataPass pass(*this);
        pass.run(target);
        rewritten = pass.takeRewritten();
        _creatingNodes = wasCreating;
        _metaPassRunning = false;
        _metaPassWanted = false;
    }
    Node::_endReading();
    _keepReadPage(page, target);
    // What the pass converted no longer writes the page's bytes.
    for (Node* node : rewritten) {
        node->_sourceTouched();
        node->releaseRef();
    }
    return true;
}

// A page read into the document itself is kept while the tree is as read;
// any other page goes, and the target counts as changed.
void Document::_keepReadPage(pagedom::SourceText::Block* page, Node* target)
{
    if (target == this && _documentType) {
        if (_page)
            _page->release();
        _page = page;
        _markAsRead();
    } else {
        page->release();
        target->_sourceTouched();
    }
}

pagedom::WrittenRuns* Document::_writtenRuns() const
{
    if (!_runs)
        _runs = std::make_unique<pagedom::WrittenRuns>();
    return _runs.get();
}

std::string Document::getSource() const
{
    if (_isAsRead() && _page)
        return _page->text();
    return Node::getSource();
}

// --- queries -----------------------------------------------------------------

DocumentType* Document::getDocType() const
{
    for (Node* c = getFirstChild(); c; c = c->getNextSibling())
        if (c->getNodeType() == DOCUMENT_TYPE_NODE)
            return static_cast<DocumentType*>(c);
    return nullptr;
}

Element* Document::getDocumentElement() const
{
    const std::string& name = _name();
    for (Node* c = getLastChild(); c; c = c->getPreviousSibling()) {
        if (c->getNodeType() == ELEMENT_NODE && pagedom::str::equalsIgnoreCase(c->getNodeName(), name))
            return static_cast<Element*>(c);
    }
    return nullptr;
}

Element* Document::getHTMLElement() const
{
    if (!_isHTML)
        return nullptr;
    Candidates found;
    for (Node* c = getLastChild(); c; c = c->getPreviousSibling()) {
        if (isElementWithID(c, ElementTable::ID_HTML) && found.offer(static_cast<Element*>(c)))
            break;
    }
    if (Element* e = found.best())
        return e;
    Element* html = createDefElement(ElementTable::ID_HTML);
    if (!html)
        return nullptr;
    html->omitTag();
    const_cast<Document*>(this)->appendChild(html);
    return html;
}

Element* Document::getHEADElement(Element* html) const
{
    if (!_isHTML)
        return nullptr;
    if (!html)
        html = getHTMLElement();
    if (!html)
        return nullptr;
    Candidates found;
    for (Node* c = html->getFirstChild(); c; c = c->getNextSibling()) {
        if (isElementWithID(c, ElementTable::ID_HEAD) && found.offer(static_cast<Element*>(c)))
            break;
    }
    if (Element* e = found.best())
        return e;
    Element* head = createDefElement(ElementTable::ID_HEAD);
    if (!head)
        return nullptr;
    head->omitTag();
    html->insertBefore(head, html->getFirstChild());
    return head;
}

Element* Document::getBODYElement(Element* html) const
{
    if (!_isHTML)
        return nullptr;
    if (!html)
        html = getHTMLElement();
    if (!html)
        return nullptr;
    // Once a FRAMESET is met, only the bodies inside its NOFRAMES count.
    Candidates found;
    Element* firstFrameset = nullptr;
    Element* noframes = nullptr;
    for (Node* c = html->getLastChild(); c; c = c->getPreviousSibling()) {
        if (isElementWithID(c, ElementTable::ID_FRAMESET)) {
            if (!firstFrameset) {
                firstFrameset = static_cast<Element*>(c);
                found.forget();
            }
            if (offerFramesetBodies(c, found, noframes))
                break;
        } else if (!firstFrameset && isElementWithID(c, ElementTable::ID_BODY)) {
            found.keep(static_cast<Element*>(c));
        }
    }
    if (Element* e = found.best())
        return e;
    Element* body = createDefElement(ElementTable::ID_BODY);
    if (!body)
        return nullptr;
    body->omitTag();
    Node* parent = noframes ? static_cast<Node*>(noframes)
                            : firstFrameset ? static_cast<Node*>(firstFrameset) : html;
    parent->appendChild(body);
    return body;
}

bool Document::isHTMLFragment() const
{
    if (!_isHTML)
        return false;
    Element* html = getHTMLElement();
    if (!html || !html->isOmittedElement())
        return false;
    Element* head = getHEADElement(html);
    if (!head || !head->isOmittedElement())
        return false;
    Element* body = getBODYElement(html);
    return body && body->isOmittedElement();
}

ProcessingInstruction* Document::getXMLDecl()
{
    Node* first = getFirstChild();
    if (first && first->getNodeType() == PROCESSING_INSTRUCTION_NODE && first->getNodeName() == "xml")
        return static_cast<ProcessingInstruction*>(first);
    ProcessingInstruction* decl = createProcessingInstruction("xml", std::string());
    if (!decl)
        return nullptr;
    insertBefore(decl, first);
    if (first && first->getNodeType() != TEXT_NODE)
        insertBefore(createTextNode("\r\n"), first);
    return decl;
}

DOMOptions::JSPVersion Document::getJSPVersion() const
{
    return _documentType ? _documentType->getJSPVersion() : DOMOptions::JSP_NONE;
}

bool Document::supportXMLFormat() const
{
    return _documentType && _documentType->getJSPVersion() == DOMOptions::JSP_10;
}

// --- converters ------------------------------------------------------------------

PCDATAConverter::PCDATAConverter(const Document* document)
    : _documentType(nullptr), _secondaryType(nullptr)
{
    if (document) {
        _documentType = document->getDocumentType();
        if (!document->isHTMLDocument())
            _secondaryType = document->getDocType();
    }
    _initDocumentType();
}
