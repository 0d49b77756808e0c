// The XML reader's entries and main loop, the open elements it closes end
// tags against, and where new nodes go.
#include "xmlreading/XMLParser.h"

#include "base/StringUtil.h"
#include "doctype/DocumentType.h"
#include "doctype/DocumentTypeSource.h"
#include "node/ChangeHooks.h"
#include "node/NodeAccess.h"
#include "tree/Document.h"
#include "tree/Element.h"
#include "tree/Text.h"
#include "xmlreading/ExistingNodes.h"

XMLParser::Building::Building(Document* document) : _document(document), _was(document->_isCreatingNodes())
{
    document->_setCreatingNodes(true);
}

XMLParser::Building::~Building()
{
    _document->_setCreatingNodes(_was);
}

// --- entries ----------------------------------------------------------------------

void pagedom::XMLPageReader::readPage(SourceText::Block* page, Node* parent)
{
    XMLParser::readPage(page, parent);
}

void pagedom::XMLPageReader::readFragment(const std::string& source, Node* parent)
{
    XMLParser parser;
    parser.parse(source, parent, nullptr);
}

bool pagedom::XMLPageReader::rereadRange(Node* root, const std::string& source, const dom::Range& range)
{
    return XMLParser::reread(root, source, range);
}

XMLParser::XMLParser() {}

XMLParser::~XMLParser() {}

void XMLParser::readPage(pagedom::SourceText::Block* page, Node* parent)
{
    if (!page)
        return;
    XMLParser parser;
    parser._appendBuffer(page->text());
    parser._page = page;
    parser._pageLength = parser.getLength();
    if (parser._begin(parent, nullptr, Mode::PAGE)) {
        Building reading(parser._document);
        parser._run();
        parser._finish();
    }
}

void XMLParser::parse(const std::string& source, Node* parent, Node* next)
{
    if (!parent)
        return;
    if (parent->getNodeType() == Node::DOCUMENT_TYPE_NODE) {
        static_cast<DocumentType*>(parent)->parse(source);
        return;
    }
    if (next && next->getParentNode() != parent)
        next = nullptr;
    if (!next) {
        // Text split between two readings becomes one node: the text that
        // ends parent is read again in front of source.
        Node* last = parent->getLastChild();
        if (last && last->getNodeType() == Node::TEXT_NODE && parent->_childList()) {
            _appendBuffer(last->getSource());
            if (Node* removed = parent->removeChild(last))
                removed->releaseRef();
        }
    }
    _appendBuffer(source);
    if (!_begin(parent, next, next ? Mode::FOLLOWED : Mode::APPEND))
        return;
    if (_mode == Mode::FOLLOWED) {
        _run();
        _finish();
        return;
    }
    Building reading(_document);
    _run();
    _finish();
}

bool XMLParser::_begin(Node* parent, Node* next, Mode mode)
{
    if (!parent || !parent->_childList())
        return false;
    Document* document = parent->getDocument();
    if (!document)
        return false;
    _mode = mode;
    _document = document;
    _documentType = document->getDocumentType();
    if (!_documentType) {
        if (pagedom::DocumentTypeSource* source = pagedom::DocumentTypeSource::installed())
            _documentType = source->findXMLDocumentType();
    }
    DocumentType* declarations = document->getDocType();
    _declarations = declarations && _precedes(declarations, parent, next) ? declarations : nullptr;
    _existing.reset(new pagedom::ExistingNodes(parent, next, mode == Mode::FOLLOWED));
    const std::vector<Node*>& chain = _existing->chain();
    _open.clear();
    _topByName.clear();
    for (std::size_t i = 0; i < chain.size(); ++i)
        _pushOpen(chain[i], static_cast<std::uint32_t>(i));
    _current = parent;
    return true;
}

bool XMLParser::_precedes(const Node* docType, const Node* parent, const Node* next)
{
    if (next)
        return docType->compareOrder(next) < 0;
    return docType->isOffspringOf(parent) || docType->compareOrder(parent) < 0;
}

// --- main loop --------------------------------------------------------------------

void XMLParser::_run()
{
    for (;;) {
        if (getOffset() >= getLength() && _pull() == 0)
            break;
        if (_chars()[getOffset()] == '<') {
            bool markup;
            switch (getChar(1)) {
            case '!':
                if (_startsWith(getOffset(), "<!--")) {
                    _comment();
                    markup = true;
                } else if (_startsWith(getOffset(), "<![CDATA[")) {
                    _cdataSection();
                    markup = true;
                } else if (_startsWith(getOffset(), "<!DOCTYPE", true)) {
                    _docTypeDeclaration();
                    markup = true;
                } else {
                    markup = _startTag();
                }
                break;
            case '%':
                if (_startsWith(getOffset(), "<%--"))
                    _jspComment();
                else
                    _jspBlock();
                markup = true;
                break;
            case '/':
                markup = _endTag();
                break;
            case '?':
                _processingInstruction();
                markup = true;
                break;
            default:
                markup = _startTag();
                break;
            }
            if (markup)
                continue;
            // A '<' that starts no markup is a bare markup character.
            if (!_pending) {
                _pending = true;
                _pendingStart = getOffset();
            }
            _badChar = true;
            _special = true;
            forward(1);
        }
        _text();
    }
    _flushText();
}

void XMLParser::_finish()
{
    _flushText();
    // Elements the reading opened and left open close without end tags;
    // those open before it that it has not read to their end keep theirs.
    while (_open.size() > 1 && !_frameOpen(_open.back()))
        _closeTopImplicitly();
    // What the reading changed no longer writes the page as read.
    if (_mode != Mode::PAGE)
        _existing->chain().back()->_sourceTouched();
}

unsigned long XMLParser::_pull()
{
    // A declaration read anew or taken away changes how every later text
    // reads: the reading then goes on to the end.
    if (_stopsInStep && _existing && !_existing->tookDeclaration() && _existing->inStep(_current))
        return 0;
    return _read();
}

unsigned long XMLParser::_read()
{
    if (!_existing)
        return 0;
    std::string piece;
    while (_existing->take(piece)) {
        if (!piece.empty())
            return _appendBuffer(piece);
    }
    return 0;
}

bool XMLParser::_have(unsigned long index)
{
    while (index >= getLength()) {
        if (_read() == 0)
            return false;
    }
    return true;
}

const char* XMLParser::_chars() const
{
    return _getBuffer().data();
}

pagedom::SourceText XMLParser::_span(unsigned long from, unsigned long to) const
{
    if (to <= from)
        return pagedom::SourceText();
    if (_page && to <= _pageLength)
        return pagedom::SourceText(_page, from, to - from);
    return pagedom::SourceText(std::string_view(_getBuffer()).substr(from, to - from));
}

std::string XMLParser::_copy(unsigned long from, unsigned long to) const
{
    return to > from ? _getBuffer().substr(from, to - from) : std::string();
}

// --- the open elements --------------------------------------------------------------

void XMLParser::_pushOpen(Node* node, std::uint32_t frame)
{
    OpenNode entry{node, std::string(), NONE, frame};
    // The top of the tree is never closed, so it is never found by name.
    if (!_open.empty() && node->getNodeType() == Node::ELEMENT_NODE) {
        entry.key = pagedom::str::lower(static_cast<Element*>(node)->getTagName());
        auto it = _topByName.find(entry.key);
        if (it != _topByName.end()) {
            entry.sameKey = it->second;
            it->second = static_cast<std::uint32_t>(_open.size());
        } else {
            _topByName.emplace(entry.key, static_cast<std::uint32_t>(_open.size()));
        }
    }
    _open.push_back(std::move(entry));
}

void XMLParser::_popOpen()
{
    const OpenNode& entry = _open.back();
    if (!entry.key.empty()) {
        auto it = _topByName.find(entry.key);
        if (entry.sameKey == NONE)
            _topByName.erase(it);
        else
            it->second = entry.sameKey;
    }
    _open.pop_back();
    _current = _open.back().node;
}

std::uint32_t XMLParser::_openNamed(const std::string& name) const
{
    auto it = _topByName.find(pagedom::str::lower(name));
    return it == _topByName.end() ? NONE : it->second;
}

bool XMLParser::_frameOpen(const OpenNode& entry) const
{
    return entry.frame != NONE && _existing->isOpen(entry.frame, entry.node);
}

void XMLParser::_closeAbove(std::uint32_t index)
{
    while (_open.size() > index + 1)
        _closeTopImplicitly();
}

Element* XMLParser::_beginClosingTop(bool& existing)
{
    const OpenNode& entry = _open.back();
    Element* element = static_cast<Element*>(entry.node);
    if (_frameOpen(entry))
        _existing->closing(entry.frame);
    existing = entry.frame != NONE;
    if (existing)
        _beginChange(element);
    return element;
}

void XMLParser::_endClosingTop(Element* element, bool existing)
{
    if (existing)
        _endChange(element);
    _popOpen();
}

void XMLParser::_closeTopImplicitly()
{
    bool existing = false;
    Element* element = _beginClosingTop(existing);
    element->_setEndTagText(pagedom::SourceText());
    element->clearErrorState(Node::MISMATCHED_END_TAG_ERROR | Node::INVALID_END_TAG_ERROR);
    if (!element->isEmptyTag())
        element->addErrorState(Node::MISSING_END_TAG_ERROR);
    _endClosingTop(element, existing);
}

void XMLParser::_beginChange(Node* node)
{
    if (_mode == Mode::FOLLOWED)
        pagedom::ChangeHooks::announceBeginModify(node);
}

void XMLParser::_endChange(Node* node)
{
    if (_mode == Mode::FOLLOWED) {
        pagedom::NodeAccess::addUpdateBits(*node, Node::UPDATE_CONTENT_MODIFIED);
        pagedom::ChangeHooks::announceEndModify(node);
    }
}

void XMLParser::_insert(Node* node)
{
    const OpenNode& entry = _open.back();
    const bool contained = _current->canContain(node);
    // Into an existing container the node goes before the children the
    // reading has not taken (after all of them once they are taken), as an
    // announced change when the reading announces changes; into a new
    // element it goes last, unannounced (the element's own insertion was
    // announced, and takes what it holds with it).
    Node* before = _frameOpen(entry) ? _existing->insertionPoint(entry.frame) : nullptr;
    if (!before && (entry.frame == NONE || _mode != Mode::FOLLOWED)) {
        static_cast<ContainerNode*>(_current)->_appendParsed(node, contained);
        return;
    }
    if (!pagedom::NodeAccess::insertFromOutside(*_current, node, before))
        node->releaseRef();
}
