#include "reading/HTMLParser.h"

#include <cstring>

#include "doctype/AttrType.h"
#include "doctype/DocumentType.h"
#include "doctype/ElementTable.h"
#include "doctype/ElementType.h"
#include "doctype/Entity.h"
#include "reading/HTMLLexer.h"
#include "tree/Attr.h"
#include "tree/CDATASection.h"
#include "tree/Comment.h"
#include "tree/Document.h"
#include "tree/Element.h"
#include "tree/EntityReference.h"
#include "tree/ProcessingInstruction.h"
#include "base/StringUtil.h"
#include "tree/Text.h"
#include "convert/PCDATAConverter.h"

namespace {

// Element ids of the built-in HTML document type.
const int ID_BODY = 14;
const int ID_DD = 24;
const int ID_DT = 30;
const int ID_COLGROUP = 22;
const int ID_EMBED = 32;
const int ID_HEAD = 44;
const int ID_HTML = 46;
const int ID_INPUT = 50;
const int ID_NOFRAMES = 62;
const int ID_P = 68;
const int ID_PARAM = 69;
const int ID_TABLE = 83;
const int ID_TBODY = 84;
const int ID_TD = 85;
const int ID_TEXTAREA = 86;
const int ID_TH = 88;
const int ID_TR = 91;
const int ID_JSP_EXPRESSION = 111;
const int ID_JSP_DECLARATION = 112;
const int ID_JSP_SCRIPTLET = 110;
const int ID_JSP_PAGE = 113;
const int ID_JSP_INCLUDE = 114;
const int ID_JSP_TAGLIB = 115;
const int ID_JSP_DIRECTIVE = 116;

// Group bits.
const unsigned long GROUP_BLOCK = 0x1;
const unsigned long GROUP_PLAIN = 0x2;
const unsigned long GROUP_BREAK = 0x4;
const unsigned long GROUP_SOLID = 0x8;
const unsigned long GROUP_TABLE_STRUCTURE = 0x2000;
const unsigned long GROUP_TABLE_PART = 0x4000;
const unsigned long GROUP_FLOW_BLOCK = 0x10000;
const unsigned long GROUP_EMPTY_TAG = 0x400000;
const unsigned long GROUP_CDATA_SECTIONS = 0x800000;
const unsigned long GROUP_UNTYPED = 0x10000000;

const char ESC = '\x1b';

bool isElement(const Node* node)
{
    return node && node->getNodeType() == Node::ELEMENT_NODE;
}

int idOf(const Node* node)
{
    return isElement(node) ? static_cast<const Element*>(node)->getElementID() : 0;
}

unsigned long groupOf(const Node* node)
{
    return isElement(node) ? static_cast<const Element*>(node)->getElementGroup() : 0;
}

bool isTableCell(const Node* node)
{
    int id = idOf(node);
    return id == ID_TD || id == ID_TH;
}

bool isWhite(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Text from a name or other plain token: bytes that would read as escape
// starts in the data form are stored as escapes themselves.
void appendPlain(std::string& out, const std::string& text)
{
    for (char c : text) {
        if (c == '\x1b' || c == '\x1c') {
            out += ESC;
            out += c;
        } else {
            out += c;
        }
    }
}

} // namespace

// --- entry ----------------------------------------------------------------------

void pagedom::HTMLPageReader::readPage(pagedom::SourceText::Block* page, Node* parent)
{
    HTMLParser::parse(page, parent);
}

void HTMLParser::parse(pagedom::SourceText::Block* page, Node* parent)
{
    if (!parent || !page)
        return;
    Document* document = parent->getDocument();
    if (!document || !document->getDocumentType())
        return;
    HTMLLexer* lexer = new HTMLLexer(page->text(), document->getDocumentType());
    bool wasCreating = document->_isCreatingNodes();
    document->_setCreatingNodes(true);
    {
        HTMLParser parser(lexer, page, document, parent);
        parser._run();
    }
    document->_setCreatingNodes(wasCreating);
}

HTMLParser::HTMLParser(HTMLLexer* lexer, pagedom::SourceText::Block* page, Document* document, Node* parent)
    : Parser(lexer), _page(page), _document(document), _documentType(document->getDocumentType()),
      _htmlLexer(lexer), _current(parent)
{
}

unsigned long HTMLParser::_tokenEnd(const Lexer::Token* token) const
{
    if (!token || token->end == Lexer::NOT_FOUND || token->end > _source.size())
        return static_cast<unsigned long>(_source.size());
    return token->end;
}

pagedom::SourceText HTMLParser::_takeSpan(unsigned long end)
{
    if (end > _source.size())
        end = static_cast<unsigned long>(_source.size());
    if (end <= _covered)
        return pagedom::SourceText();
    pagedom::SourceText text(_page, _covered, end - _covered);
    _covered = end;
    return text;
}

// --- main loop ------------------------------------------------------------------

void HTMLParser::_run()
{
    for (;;) {
        unsigned long runStart, runEnd;
        if (s_directReading && _htmlLexer->takeTextRun(runStart, runEnd)) {
            _collectRun(runStart, runEnd);
            continue;
        }
        unsigned long kind = nextToken();
        if (kind == Lexer::TOKEN_EOF)
            break;
        if (kind == Lexer::TOKEN_LT && !_isLiteralLessThan()) {
            unsigned long next = peekKind(0);
            if (_dispatch(next))
                continue;
        }
        _collect(getToken());
    }
    _flushText();
    // Bytes no token covered (there are none in practice) still belong to
    // the page: they join the last text.
    if (_covered < _source.size()) {
        _pending = true;
        _pendingStart = _covered;
        _pendingEnd = static_cast<unsigned long>(_source.size());
        appendPlain(_pendingText, _source.substr(_covered));
        _pendingBlank = false;
        _flushText();
    }
}

bool HTMLParser::_isLiteralLessThan()
{
    const Lexer::Token* next = peekToken(0);
    if (_inTextArea) {
        if (next->kind != Lexer::TOKEN_SLASH)
            return true;
        const Lexer::Token* name = peekToken(1);
        return name->kind != Lexer::TOKEN_NAME || !pagedom::str::equalsIgnoreCase(tokenText(name), "TEXTAREA");
    }
    if (next->kind == Lexer::TOKEN_SPACE)
        return true;
    if (next->kind == Lexer::TOKEN_NAME && next->start < _source.size()) {
        char c = _source[next->start];
        return c >= '0' && c <= '9';
    }
    return false;
}

bool HTMLParser::_dispatch(unsigned long kind)
{
    void (HTMLParser::*handler)() = nullptr;
    switch (kind) {
    case Lexer::TOKEN_COMMENT:
        handler = &HTMLParser::_htmlComment;
        break;
    case Lexer::TOKEN_JSP_COMMENT:
        handler = &HTMLParser::_jspComment;
        break;
    case Lexer::TOKEN_NAME:
    case Lexer::TOKEN_BANG:
    case Lexer::TOKEN_MW_SUBMIT:
        handler = &HTMLParser::_startTag;
        break;
    case Lexer::TOKEN_SLASH:
        handler = &HTMLParser::_endTag;
        break;
    case Lexer::TOKEN_DOCTYPE:
        handler = &HTMLParser::_docTypeDeclaration;
        break;
    case Lexer::TOKEN_CDATA:
        handler = &HTMLParser::_cdataSection;
        break;
    case Lexer::TOKEN_PI:
        handler = &HTMLParser::_processingInstruction;
        break;
    case Lexer::TOKEN_JSP:
        handler = &HTMLParser::_jspBlock;
        break;
    default:
        return false;
    }
    _flushText();
    (this->*handler)();
    return true;
}

unsigned long HTMLParser::_takeBlock(std::string* text)
{
    nextToken();
    if (text)
        *text = tokenText();
    unsigned long end = _tokenEnd(getToken());
    if (peekKind(0) == Lexer::TOKEN_GT) {
        nextToken();
        end = _tokenEnd(getToken());
    }
    return end;
}

unsigned long HTMLParser::_skipToGT()
{
    for (;;) {
        unsigned long kind = peekKind(0);
        if (kind == Lexer::TOKEN_EOF)
            return static_cast<unsigned long>(_source.size());
        nextToken();
        if (kind == Lexer::TOKEN_GT)
            return _tokenEnd(getToken());
    }
}

bool HTMLParser::_nextInTag(unsigned long& end)
{
    for (;;) {
        unsigned long kind = peekKind(0);
        if (kind == Lexer::TOKEN_EOF) {
            end = static_cast<unsigned long>(_source.size());
            return false;
        }
        nextToken();
        if (kind == Lexer::TOKEN_GT) {
            end = _tokenEnd(getToken());
            return false;
        }
        if (kind != Lexer::TOKEN_SPACE)
            return true;
    }
}

unsigned long HTMLParser::_quotedValue(unsigned long quote, bool& closed)
{
    unsigned long end = _tokenEnd(getToken());
    closed = false;
    while (peekKind(0) != Lexer::TOKEN_EOF) {
        if (nextToken() == quote) {
            closed = true;
            return end;
        }
        end = _tokenEnd(getToken());
    }
    return static_cast<unsigned long>(_source.size());
}

// --- start tags -----------------------------------------------------------------

bool HTMLParser::_spanIs(unsigned long start, unsigned long end, const char* upperWord) const
{
    return pagedom::str::matchesUpperWord(_source.data() + start, end - start, upperWord);
}

unsigned long HTMLParser::_rawRun(bool stopAtEquals)
{
    unsigned long end = _covered;
    bool first = true;
    for (;;) {
        unsigned long kind = peekKind(0);
        if (kind == Lexer::TOKEN_EOF || kind == Lexer::TOKEN_SPACE || kind == Lexer::TOKEN_GT)
            break;
        if (stopAtEquals && kind == Lexer::TOKEN_EQUALS && !first)
            break;
        if (kind == Lexer::TOKEN_LT && peekKind(1) == Lexer::TOKEN_JSP) {
            // An embedded JSP block is taken whole, with its closing '>'.
            nextToken();
            nextToken();
            end = _tokenEnd(getToken());
            if (peekKind(0) == Lexer::TOKEN_GT) {
                nextToken();
                end = _tokenEnd(getToken());
            }
            first = false;
            continue;
        }
        nextToken();
        end = _tokenEnd(getToken());
        first = false;
    }
    return end;
}

void HTMLParser::_startTag()
{
    std::string name;
    const ElementType* type = nullptr;
    bool unterminated = false;
    bool formatError = false;
    bool emptyMark = false;
    bool declaration = false;
    bool hiddenInput = false;
    unsigned long tagEnd = 0;

    std::vector<_PendingAttr>& attrs = _pendingAttrs;
    attrs.clear();

    bool scanned = _scanPlainTag(tagEnd);
    unsigned long kind = scanned ? static_cast<unsigned long>(Lexer::TOKEN_NAME) : nextToken();
    if (kind == Lexer::TOKEN_NAME) {
        if (scanned)
            name = _source.substr(_plainTagName.first, _plainTagName.second - _plainTagName.first);
        else
            name = tokenText();
        if (name.size() > 1 && name.back() == '/')
            name.pop_back();
        type = _documentType->getElementType(name);
        if (type && type->getElementID() == 97)
            type = nullptr;
    } else if (kind == Lexer::TOKEN_MW_SUBMIT) {
        name = "SUBMIT";
        type = _documentType->getElementType(name);
    } else {
        // "<!": a declaration-like tag up to the first '>' outside quotes.
        declaration = true;
        unsigned long bang = getToken()->start;
        unsigned long quote = 0;
        tagEnd = static_cast<unsigned long>(_source.size());
        bool closed = false;
        while (peekKind(0) != Lexer::TOKEN_EOF) {
            unsigned long k = nextToken();
            if (quote) {
                if (k == quote)
                    quote = 0;
                continue;
            }
            if (k == Lexer::TOKEN_QUOTE || k == Lexer::TOKEN_APOS) {
                quote = k;
            } else if (k == Lexer::TOKEN_GT) {
                tagEnd = _tokenEnd(getToken());
                closed = true;
                break;
            }
        }
        unterminated = !closed;
        unsigned long space = bang;
        while (space < tagEnd && !isWhite(_source[space]))
            ++space;
        if (space < tagEnd)
            name = _source.substr(bang, space - bang);
    }

    if (!declaration && !scanned) {
        // Attribute states.
        bool done = false;
        bool slashSeen = false;
        while (!done) {
            unsigned long k = peekKind(0);
            if (k == Lexer::TOKEN_SPACE) {
                nextToken();
                continue;
            }
            if (k == Lexer::TOKEN_GT) {
                nextToken();
                tagEnd = _tokenEnd(getToken());
                break;
            }
            if (k == Lexer::TOKEN_EOF) {
                unterminated = true;
                break;
            }
            if (k == Lexer::TOKEN_SLASH) {
                nextToken();
                if (slashSeen)
                    formatError = true;
                slashSeen = true;
                emptyMark = true;
                continue;
            }
            // An attribute name.
            unsigned long nameStart = peekToken(0)->start;
            unsigned long nameEnd = _rawRun(true);
            if (slashSeen)
                formatError = true;
            _PendingAttr attr{nameStart, nameEnd, 0, 0, false, false};
            // After the name: '=' leads to a value.
            while (peekKind(0) == Lexer::TOKEN_SPACE)
                nextToken();
            if (peekKind(0) == Lexer::TOKEN_EQUALS) {
                nextToken();
                while (peekKind(0) == Lexer::TOKEN_SPACE)
                    nextToken();
                unsigned long vk = peekKind(0);
                if (vk == Lexer::TOKEN_QUOTE || vk == Lexer::TOKEN_APOS) {
                    nextToken();
                    unsigned long valueStart = _tokenEnd(getToken());
                    bool closed;
                    unsigned long valueEnd = _quotedValue(vk, closed);
                    attr.valueStart = valueStart;
                    attr.valueEnd = valueEnd;
                    attr.hasValue = true;
                    attr.quoted = true;
                } else if (vk != Lexer::TOKEN_GT && vk != Lexer::TOKEN_EOF) {
                    unsigned long valueStart = peekToken(0)->start;
                    unsigned long valueEnd = _rawRun(false);
                    attr.valueStart = valueStart;
                    attr.valueEnd = valueEnd;
                    attr.hasValue = true;
                }
            }
            unsigned long nameLength = attr.nameEnd - attr.nameStart;
            if (nameLength != 0 && !(nameLength == 1 && _source[attr.nameStart] == '/'))
                attrs.push_back(attr);
        }
    }
    if (unterminated)
        tagEnd = _skipToGT();

    Element* element = _document->createElement(name);

    if (type && type->getElementID() == ID_INPUT) {
        for (const _PendingAttr& a : attrs)
            if (_spanIs(a.nameStart, a.nameEnd, "TYPE") && _spanIs(a.valueStart, a.valueEnd, "HIDDEN"))
                hiddenInput = true;
    }
    for (const _PendingAttr& a : attrs) {
        Attr* attr = _document->createAttribute(_source.substr(a.nameStart, a.nameEnd - a.nameStart));
        if (a.hasValue && a.valueEnd > a.valueStart)
            attr->_setValueText(pagedom::SourceText(_page, a.valueStart, a.valueEnd - a.valueStart));
        if (a.hasValue && !a.quoted && _document->getFormatType() != Document::HTML_FORMAT)
            attr->addErrorState(Node::INVALID_ATTR_ERROR);
        if (declaration)
            attr->releaseRef();
        else
            element->_addAttributeNode(attr);
    }
    // Where each attribute's value starts in the start tag, for the records.
    _valueOffsets.clear();
    if (!declaration)
        for (const _PendingAttr& a : attrs)
            _valueOffsets.push_back(static_cast<std::uint32_t>(a.hasValue ? a.valueStart - _covered : 0));
    element->_setStartTagText(_takeSpan(tagEnd));
    element->_setEndTagText(pagedom::SourceText());

    const ElementType* finalType = type;
    if (type && (type->getGroup() & GROUP_UNTYPED))
        finalType = nullptr;
    if (finalType && (finalType->getFormatType() == 3 || finalType->getFormatType() == 4)) {
        // A JSP tag written in XML syntax: it keeps its type only where the
        // document supports that syntax.
        element->_setScriptSyntax(false);
        if (!_document->supportXMLFormat())
            finalType = nullptr;
    }
    if (finalType) {
        unsigned long group = finalType->getGroup();
        if (group & (GROUP_BLOCK | GROUP_BREAK)) {
            _afterBlock = true;
            _textEndsBlank = false;
        }
        if ((group & GROUP_SOLID) && !hiddenInput) {
            _afterBlock = false;
            _textEndsBlank = false;
        }
        if (!(group & GROUP_EMPTY_TAG))
            emptyMark = false;
    }
    element->setEmptyTag(emptyMark);
    element->_assignType(finalType, finalType != element->getElementType());
    element->_setScriptSyntax(false);
    if (unterminated || formatError)
        element->addErrorState(Node::INVALID_FORMAT_ERROR);

    _place(element);
    if (element->getElementID() == ElementTable::ID_OBJECT)
        element->setActiveX();
    if (s_attributeRecords)
        element->_freezeAttrs(_valueOffsets.data(), _valueOffsets.size());

    if (!emptyMark && finalType && finalType->getContainerType() == 4 && _current == element)
        _rawContent(element, name);
}

// The usual start tag, read straight from the text instead of token by
// token: a name, attributes with quoted, bare or no values, and the closing
// '>'.  It gives exactly what the token-by-token reading gives; anything
// less plain (an empty-tag or stray slash, a '<' or '&' inside the tag,
// quotes or '=' where a name belongs, the end of the text) is left to that
// reading, with nothing consumed.
bool HTMLParser::_scanPlainTag(unsigned long& tagEnd)
{
    if (!s_directReading)
        return false;
    const Lexer::Token* nameToken = peekToken(0);
    if (nameToken->kind != Lexer::TOKEN_NAME || nameToken->end == Lexer::NOT_FOUND)
        return false;
    const char* s = _source.data();
    const unsigned long n = static_cast<unsigned long>(_source.size());
    std::vector<_PendingAttr>& attrs = _pendingAttrs;
    // Leaving the tag to the token reading: nothing may be left behind.
    auto decline = [&attrs]() {
        attrs.clear();
        return false;
    };
    unsigned long i = nameToken->end;
    for (;;) {
        while (i < n && Lexer::isSpace(s[i]))
            ++i;
        if (i >= n)
            return decline();
        char c = s[i];
        if (c == '>') {
            tagEnd = i + 1;
            break;
        }
        if (c == '/' || c == '<' || c == '=')
            return decline();
        _PendingAttr attr{i, i, 0, 0, false, false};
        while (i < n && !Lexer::isSpace(s[i]) && s[i] != '>' && s[i] != '=') {
            char d = s[i];
            if (d == '<' || d == '&' || d == '/' || d == '"' || d == '\'')
                return decline();
            ++i;
        }
        attr.nameEnd = i;
        while (i < n && Lexer::isSpace(s[i]))
            ++i;
        if (i < n && s[i] == '=') {
            ++i;
            while (i < n && Lexer::isSpace(s[i]))
                ++i;
            if (i >= n)
                return decline();
            char v = s[i];
            if (v == '"' || v == '\'') {
                unsigned long close = i + 1;
                while (close < n && s[close] != v) {
                    if (s[close] == '<')
                        return decline();
                    ++close;
                }
                if (close >= n)
                    return decline();
                attr.valueStart = i + 1;
                attr.valueEnd = close;
                attr.hasValue = true;
                attr.quoted = true;
                i = close + 1;
            } else if (v != '>') {
                unsigned long start = i;
                while (i < n && !Lexer::isSpace(s[i]) && s[i] != '>') {
                    if (s[i] == '<')
                        return decline();
                    ++i;
                }
                attr.valueStart = start;
                attr.valueEnd = i;
                attr.hasValue = true;
            }
        }
        attrs.push_back(attr);
    }
    _plainTagName = {nameToken->start, nameToken->end};
    _htmlLexer->restartAt(tagEnd);
    return true;
}

// With the '/' of an end tag current: when a name token and then '>' follow
// at once, the end of the name; otherwise 0.
unsigned long HTMLParser::_plainEndTagName()
{
    if (!s_directReading)
        return 0;
    const Lexer::Token* slash = getToken();
    if (!slash || slash->end == Lexer::NOT_FOUND)
        return 0;
    const unsigned long n = static_cast<unsigned long>(_source.size());
    unsigned long i = slash->end;
    if (i >= n || !HTMLLexer::startsName(_source[i]))
        return 0;
    ++i;
    while (i < n && !HTMLLexer::isNameDelimiter(_source[i]))
        ++i;
    return i < n && _source[i] == '>' ? i : 0;
}

bool HTMLParser::s_directReading = true;
bool HTMLParser::s_attributeRecords = true;

void HTMLParser::_setAttributeRecords(bool on)
{
    s_attributeRecords = on;
}

void HTMLParser::_setDirectReading(bool on)
{
    s_directReading = on;
}

// The raw text after a CDATA-content start tag, up to "</name>" (the name
// compared ignoring case) or the end of the text, becomes one CDATA section.
void HTMLParser::_rawContent(Element* element, const std::string& name)
{
    const std::string& src = _source;
    unsigned long from = _covered;
    unsigned long end = static_cast<unsigned long>(src.size());
    for (std::size_t i = src.find("</", from); i != std::string::npos; i = src.find("</", i + 1)) {
        std::size_t n = name.size();
        if (i + 2 + n < src.size() && src[i + 2 + n] == '>' &&
            pagedom::str::equalsIgnoreCase(src.substr(i + 2, n), name)) {
            end = static_cast<unsigned long>(i);
            break;
        }
    }
    if (end > from) {
        std::string raw = _takeSource(end);
        CDATASection* section = _document->createCDATASection(raw);
        section->setSource(raw);
        element->_appendQuietly(section);
    }
    // The lexer goes on after the raw text.
    _htmlLexer->restartAt(end);
}

// --- end tags ---------------------------------------------------------------------

void HTMLParser::_endTag()
{
    nextToken(); // the '/'
    std::string name;
    bool invalid = false;
    unsigned long tagEnd = 0;
    unsigned long nameEnd = _plainEndTagName();
    if (nameEnd) {
        // "</name>": the name token and the '>' read straight from the text.
        unsigned long nameStart = getToken()->end;
        name = _source.substr(nameStart, nameEnd - nameStart);
        tagEnd = nameEnd + 1;
        _htmlLexer->restartAt(tagEnd);
    } else {
        while (_nextInTag(tagEnd)) {
            if (getKind() == Lexer::TOKEN_NAME && name.empty())
                name = tokenText();
            else
                invalid = true;
        }
    }
    const ElementType* endType = _documentType->getElementType(name);
    if (endType) {
        unsigned long group = endType->getGroup();
        if (group & (GROUP_BLOCK | GROUP_BREAK))
            _afterBlock = true;
        if (group & GROUP_SOLID)
            _afterBlock = false;
        if (group & (GROUP_BLOCK | GROUP_BREAK | GROUP_SOLID))
            _textEndsBlank = false;
    }
    bool crosses = endType && (endType->getOmitType() == 2 || (endType->getGroup() & GROUP_TABLE_STRUCTURE));
    bool omissible = endType && (endType->getOmitType() == 0 || endType->getOmitType() == 1);

    Element* found = nullptr;
    for (Node* n = _current; isElement(n); n = n->getParentNode()) {
        Element* e = static_cast<Element*>(n);
        if (!name.empty() && pagedom::str::equalsIgnoreCase(e->getTagName(), name)) {
            found = e;
            break;
        }
        if (e->getElementGroup() & GROUP_TABLE_STRUCTURE) {
            if (!crosses)
                break;
            if (omissible && !e->canOmitEndTag())
                break;
        }
    }
    pagedom::SourceText endSource = _takeSpan(tagEnd);
    if (found) {
        found->_setEndTagText(endSource);
        if (invalid)
            found->addErrorState(Node::INVALID_END_TAG_ERROR);
        const ElementType* foundType = found->getElementType();
        unsigned int f = static_cast<unsigned int>(_document->getFormatType());
        if (f != 0 || (foundType && foundType->getFormatType() == 5)) {
            std::string expected = f == 1 ? pagedom::str::lower(found->getNodeName()) : found->getNodeName();
            if (name != expected)
                found->addErrorState(Node::MISMATCHED_END_TAG_ERROR);
        }
        _leaveTo(found->getParentNode());
        return;
    }
    Element* orphan = _document->createElement(name);
    orphan->_setStartTagText(pagedom::SourceText());
    orphan->_setEndTagText(endSource);
    orphan->setElementType(orphan->getElementType());
    if (invalid)
        orphan->addErrorState(Node::INVALID_END_TAG_ERROR);
    _append(orphan);
}

// --- other markup -------------------------------------------------------------------

void HTMLParser::_htmlComment()
{
    _comment(false);
}

void HTMLParser::_jspComment()
{
    _comment(true);
}

void HTMLParser::_comment(bool jsp)
{
    std::string text;
    unsigned long end = _takeBlock(&text);
    std::string source = _takeSource(end);

    std::size_t lead = 0;
    while (lead < 2 && lead < text.size() && text[lead] == '-')
        ++lead;
    std::size_t trail = text.size();
    while (trail > lead && text[trail - 1] == '-')
        --trail;

    if (!jsp && lead < text.size() && text[lead] == '#') {
        // A server-side include: "<!--#name attr=value -->".
        std::size_t nameEnd = lead + 1;
        while (nameEnd < text.size() && !isWhite(text[nameEnd]) && text[nameEnd] != '-')
            ++nameEnd;
        std::string directive = text.substr(lead + 1, nameEnd - lead - 1);
        const ElementType* type = directive.empty() ? nullptr : _documentType->getElementType("ssi:" + directive);
        if (type) {
            Element* element = _document->createTypedElement(type);
            std::string rest = nameEnd < trail ? text.substr(nameEnd, trail - nameEnd) : std::string();
            _scanAttributePairs(element, rest);
            element->setStartTag(source);
            element->setEndTag(std::string());
            element->setElementType(type);
            _afterBlock = false;
            _append(element);
            return;
        }
    }
    Comment* comment = _document->createComment(trail > lead ? text.substr(lead, trail - lead) : std::string());
    if (jsp)
        comment->setJSPFormat(true);
    comment->setSource(source);
    _append(comment);
}

void HTMLParser::_cdataSection()
{
    std::string content;
    unsigned long end = _takeBlock(&content);
    CDATASection* section = _document->createCDATASection(content);
    section->setSource(_takeSource(end));
    _append(section);
}

void HTMLParser::_processingInstruction()
{
    unsigned long end = _takeBlock();
    std::string source = _takeSource(end);
    std::size_t i = 2;
    while (i < source.size() && isWhite(source[i]))
        ++i;
    std::size_t targetStart = i;
    while (i < source.size() && !isWhite(source[i]) && source[i] != '?' && source[i] != '>')
        ++i;
    std::string target = source.substr(targetStart, i - targetStart);
    while (i < source.size() && isWhite(source[i]))
        ++i;
    std::size_t dataEnd = source.size();
    if (dataEnd > i && source[dataEnd - 1] == '>')
        --dataEnd;
    if (dataEnd > i && source[dataEnd - 1] == '?')
        --dataEnd;
    ProcessingInstruction* pi = _document->createProcessingInstruction(target, source.substr(i, dataEnd - i));
    pi->setSource(source);
    _append(pi);
    _afterBlock = false;
}

void HTMLParser::_jspBlock()
{
    unsigned long end = _takeBlock();
    std::string source = _takeSource(end);
    char third = source.size() > 2 ? source[2] : '\0';
    int id = ID_JSP_SCRIPTLET;
    std::size_t offset = 2;
    bool directive = false;
    if (third == '!') {
        id = ID_JSP_DECLARATION;
        offset = 3;
    } else if (third == '=') {
        id = ID_JSP_EXPRESSION;
        offset = 3;
    } else if (third == '@') {
        directive = true;
        offset = 3;
        std::size_t i = 3;
        while (i < source.size() && isWhite(source[i]))
            ++i;
        std::size_t nameStart = i;
        while (i < source.size() && !isWhite(source[i]) && source[i] != '%')
            ++i;
        std::string dname = source.substr(nameStart, i - nameStart);
        if (pagedom::str::equalsIgnoreCase(dname, "page"))
            id = ID_JSP_PAGE;
        else if (pagedom::str::equalsIgnoreCase(dname, "include"))
            id = ID_JSP_INCLUDE;
        else if (pagedom::str::equalsIgnoreCase(dname, "taglib"))
            id = ID_JSP_TAGLIB;
        else
            id = ID_JSP_DIRECTIVE;
    }
    const ElementType* type = _documentType->getDefElementType(id);
    if (!type && directive)
        type = _documentType->getDefElementType(ID_JSP_DIRECTIVE);
    Element* element = type ? _document->createTypedElement(type) : _document->createElement("%");
    bool terminated = source.size() >= offset + 2 && source.compare(source.size() - 2, 2, "%>") == 0;
    if (!terminated)
        element->addErrorState(Node::INVALID_FORMAT_ERROR);
    if (directive) {
        std::size_t i = 3;
        while (i < source.size() && isWhite(source[i]))
            ++i;
        while (i < source.size() && !isWhite(source[i]) && source[i] != '%')
            ++i;
        std::size_t stop = terminated ? source.size() - 2 : source.size();
        if (i < stop)
            _scanAttributePairs(element, source.substr(i, stop - i));
        element->setStartTag(source);
        element->setEndTag(std::string());
        if (!type)
            element->addErrorState(Node::INVALID_DIRECTIVE_ERROR);
    } else {
        if (offset > source.size())
            offset = source.size();
        std::size_t contentEnd = terminated ? source.size() - 2 : source.size();
        element->setStartTag(source.substr(0, offset));
        element->setEndTag(terminated ? std::string("%>") : std::string());
        if (contentEnd > offset) {
            std::string content = source.substr(offset, contentEnd - offset);
            CDATASection* section = _document->createCDATASection(content);
            section->setSource(content);
            element->_appendQuietly(section);
        }
    }
    element->setElementType(type);
    element->_setScriptSyntax(true);
    _append(element);
    _afterBlock = false;
    _textEndsBlank = false;
}

void HTMLParser::_docTypeDeclaration()
{
    nextToken(); // !DOCTYPE
    std::string root;
    std::string keyword;
    std::string identifier;
    bool haveIdentifier = false;
    unsigned long end = 0;
    while (_nextInTag(end)) {
        unsigned long k = getKind();
        if (root.empty() && k == Lexer::TOKEN_NAME) {
            root = tokenText();
            continue;
        }
        if (!root.empty() && keyword.empty() && k == Lexer::TOKEN_NAME) {
            keyword = pagedom::str::upper(tokenText());
            continue;
        }
        if (!keyword.empty() && !haveIdentifier) {
            haveIdentifier = true;
            if (k == Lexer::TOKEN_QUOTE || k == Lexer::TOKEN_APOS) {
                unsigned long start = _tokenEnd(getToken());
                bool closed;
                unsigned long stop = _quotedValue(k, closed);
                identifier = _source.substr(start, stop - start);
            } else {
                unsigned long start = getToken()->start;
                unsigned long stop = _tokenEnd(getToken());
                while (peekKind(0) != Lexer::TOKEN_EOF && peekKind(0) != Lexer::TOKEN_SPACE &&
                       peekKind(0) != Lexer::TOKEN_GT) {
                    nextToken();
                    stop = _tokenEnd(getToken());
                }
                identifier = _source.substr(start, stop - start);
            }
        }
    }
    DocumentType* docType = _document->createDocType(root);
    if (haveIdentifier) {
        if (keyword == "PUBLIC")
            docType->setPublicID(identifier);
        else if (keyword == "SYSTEM")
            docType->setSystemID(identifier);
    }
    docType->setSource(_takeSource(end));
    _append(docType);
}

void HTMLParser::_scanAttributePairs(Element* element, const std::string& text)
{
    std::size_t i = 0;
    const std::size_t n = text.size();
    for (;;) {
        while (i < n && isWhite(text[i]))
            ++i;
        std::size_t nameStart = i;
        while (i < n && !isWhite(text[i]) && text[i] != '%' && !(text[i] == '=' && i > nameStart))
            ++i;
        if (i == nameStart)
            return;
        std::string name = text.substr(nameStart, i - nameStart);
        while (i < n && isWhite(text[i]))
            ++i;
        std::string value;
        if (i < n && text[i] == '=') {
            ++i;
            while (i < n && isWhite(text[i]))
                ++i;
            if (i < n && (text[i] == '"' || text[i] == '\'')) {
                char q = text[i++];
                std::size_t close = text.find(q, i);
                if (close == std::string::npos)
                    close = n;
                value = text.substr(i, close - i);
                i = close < n ? close + 1 : n;
            } else {
                std::size_t start = i;
                while (i < n && !isWhite(text[i]))
                    ++i;
                value = text.substr(start, i - start);
            }
        }
        element->setAttribute(name, value);
        if (i < n && text[i] == '%')
            return;
    }
}

// --- placing elements -------------------------------------------------------------

bool HTMLParser::_accepts(const ElementType* type, const Node* node)
{
    return type && (type->allowsChild(node) || type->includesChild(node));
}

bool HTMLParser::_accepts(const Element* container, const Node* node) const
{
    return _accepts(container->getElementType(), node);
}

void HTMLParser::_append(Node* node)
{
    _append(node, _current->canContain(node));
}

void HTMLParser::_append(Node* node, bool contained)
{
    // Every node appended here is fresh from the document's factory.
    static_cast<ContainerNode*>(_current)->_appendParsed(node, contained);
}

void HTMLParser::_enter(Element* element)
{
    _current = element;
    unsigned long group = element->getElementGroup();
    if (element->getElementType()) {
        if (group & GROUP_PLAIN)
            ++_plainDepth;
        if (group & GROUP_CDATA_SECTIONS) {
            ++_cdataDepth;
            _htmlLexer->setCDATAEnabled(true);
        }
    }
    if (element->getElementID() == ID_TEXTAREA)
        _inTextArea = true;
}

void HTMLParser::_leave(Element* e)
{
    if (e->getElementType()) {
        unsigned long group = e->getElementGroup();
        if ((group & GROUP_PLAIN) && _plainDepth > 0)
            --_plainDepth;
        if ((group & GROUP_CDATA_SECTIONS) && _cdataDepth > 0 && --_cdataDepth == 0)
            _htmlLexer->setCDATAEnabled(false);
    }
    if (e->getElementID() == ID_TEXTAREA)
        _inTextArea = false;
}

// Moves current up to ancestor, leaving every element in between.
void HTMLParser::_leaveTo(Node* ancestor)
{
    while (_current && _current != ancestor && isElement(_current)) {
        Element* e = static_cast<Element*>(_current);
        _leave(e);
        Node* parent = e->getParentNode();
        if (!parent)
            break;
        _current = parent;
    }
    if (ancestor)
        _current = ancestor;
}

Element* HTMLParser::_makeImplied(int id)
{
    Element* element = _document->createDefElement(id);
    if (element)
        element->omitTag();
    return element;
}

void HTMLParser::_place(Element* element)
{
    bool contained;
    while (!(contained = _current->canContain(element))) {
        if (_implyContainer(element))
            break;
        if (!_closeCurrent(element)) {
            if (element->getElementID() == ID_PARAM)
                element->setElementType(nullptr);
            break;
        }
    }
    if (contained)
        _append(element, true);
    else
        _append(element);
    if (!element->isEmptyElement())
        _enter(element);
}

bool HTMLParser::_implyContainer(Node* node)
{
    for (;;) {
        Node* c = _current;
        Element* outermostLogical = nullptr;
        while (isElement(c) && static_cast<Element*>(c)->isLogicalElement() && c->getParentNode()) {
            outermostLogical = static_cast<Element*>(c);
            c = c->getParentNode();
        }

        std::vector<Element*> made;  // outermost first
        bool htmlFound = false;
        Element* html = nullptr;
        Node* reuse = nullptr;
        int candidate = 0;

        if (c->getNodeType() == Node::DOCUMENT_NODE) {
            const ElementType* htmlType = _documentType->getDefElementType(ID_HTML);
            if (!htmlType)
                return false;
            Element* implied = _makeImplied(ID_HTML);
            if (!implied)
                return false;
            made.push_back(implied);
            if (!_accepts(htmlType, node)) {
                htmlFound = true;
                html = implied;
            }
        } else if (idOf(c) == ID_HTML) {
            html = static_cast<Element*>(c);
            if (idOf(node) == ID_HTML && html->isOmittedElement())
                return false;
            htmlFound = true;
        } else if (idOf(c) == ID_TABLE) {
            const ElementType* tbody = _documentType->getDefElementType(ID_TBODY);
            if (isTableCell(node)) {
                Element* tr = _makeImplied(ID_TR);
                if (!tr)
                    return false;
                if (!_accepts(tbody, tr)) {
                    tr->releaseRef();
                    return false;
                }
                Element* body = _makeImplied(ID_TBODY);
                if (!body) {
                    tr->releaseRef();
                    return false;
                }
                made.push_back(body);
                made.push_back(tr);
            } else if (_accepts(tbody, node)) {
                Element* body = _makeImplied(ID_TBODY);
                if (!body)
                    return false;
                made.push_back(body);
            } else {
                return false;
            }
        } else if (idOf(c) == ID_TBODY) {
            if (!isTableCell(node))
                return false;
            Element* tr = _makeImplied(ID_TR);
            if (!tr)
                return false;
            if (!_accepts(static_cast<Element*>(c), tr)) {
                tr->releaseRef();
                return false;
            }
            made.push_back(tr);
        } else if (idOf(c) == ID_NOFRAMES) {
            const ElementType* body = _documentType->getDefElementType(ID_BODY);
            if (!_accepts(body, node))
                return false;
            candidate = ID_BODY;
        } else if (idOf(c) == ID_TR && static_cast<Element*>(c)->isOmittedElement()) {
            if (!isTableCell(node))
                return false;
            _current = c;
            return true;
        } else if (idOf(c) == ID_COLGROUP) {
            Node* parent = c->getParentNode();
            if (!parent || parent->canContain(node))
                return false;
            _leaveTo(parent);
            continue;
        } else {
            return false;
        }

        if (htmlFound) {
            const ElementType* head = _documentType->getDefElementType(ID_HEAD);
            const ElementType* body = _documentType->getDefElementType(ID_BODY);
            if (_accepts(head, node))
                candidate = ID_HEAD;
            else
                candidate = ID_BODY;
            if (candidate == ID_BODY && html && !made.size()) {
                Node* last = html->getLastChild();
                if (idOf(last) == ID_BODY && static_cast<Element*>(last)->isOmittedElement())
                    reuse = last;
            }
            (void)body;
        }
        if (reuse) {
            _leaveTo(c);
            _enter(static_cast<Element*>(reuse));
            return true;
        }
        if (candidate) {
            Element* e = _makeImplied(candidate);
            if (!e) {
                for (Element* m : made)
                    m->releaseRef();
                return false;
            }
            made.push_back(e);
        }
        if (made.empty())
            return false;

        // Attach the chain: each made element inside the one before it.
        _leaveTo(c);
        if (outermostLogical) {
            c->removeChild(outermostLogical);
        }
        for (Element* e : made) {
            static_cast<ContainerNode*>(_current)->_appendQuietly(e);
            _enter(e);
        }
        if (outermostLogical)
            static_cast<ContainerNode*>(_current)->_appendQuietly(outermostLogical);
        return true;
    }
}

bool HTMLParser::_closeCurrent(Element* element)
{
    if (!element->getElementType() || !isElement(_current))
        return false;
    Element* c = static_cast<Element*>(_current);
    int cid = c->getElementID();
    if ((cid == ID_BODY || cid == ID_HEAD) && c->isOmittedElement() && !c->canContain(element) &&
        c->getParentNode()) {
        _leaveTo(c->getParentNode());
        return true;
    }
    if (cid == ID_HTML && c->isOmittedElement() && element->getElementID() == ID_HTML && c->getParentNode()) {
        _leaveTo(c->getParentNode());
        return true;
    }
    // Step over logical elements that hold nothing but trivial nodes.
    Element* found = c;
    Element* stepped = nullptr;
    while (found->isLogicalElement()) {
        bool trivial = true;
        for (Node* child = found->getFirstChild(); child && trivial; child = child->getNextSibling())
            trivial = child->isTrivialNode();
        Node* parent = found->getParentNode();
        if (!trivial || !isElement(parent))
            break;
        stepped = found;
        found = static_cast<Element*>(parent);
    }
    Node* parent = found->getParentNode();
    if (!parent)
        return false;
    int fid = found->getElementID();
    unsigned long group = element->getElementGroup();
    int eid = element->getElementID();
    bool close = false;
    if (fid == ID_P && (group & (GROUP_BLOCK | GROUP_FLOW_BLOCK))) {
        close = true;
    } else if (group & GROUP_TABLE_PART) {
        for (Node* n = found; isElement(n) && !close; n = n->getParentNode())
            close = (groupOf(n) & (GROUP_TABLE_STRUCTURE | GROUP_TABLE_PART)) != 0;
    } else if ((element->canOmitEndTag() && eid != 0 && eid == fid) ||
               (eid == ID_DD && fid == ID_DT) || (eid == ID_DT && fid == ID_DD)) {
        close = true;
    }
    if (fid == ID_EMBED)
        close = true;
    if (!close)
        return false;
    if (stepped) {
        // The stepped-over logical elements move out behind the closed one
        // and stay open: current remains inside them.
        _leave(found);
        found->removeChild(stepped);
        parent->insertAfter(stepped, found);
        _current = c;
        return true;
    }
    _leaveTo(parent);
    return true;
}

// --- text ----------------------------------------------------------------------

void HTMLParser::_addPiece(const std::string& data, const Lexer::Token* token, bool blank)
{
    _addPiece(data.data(), data.size(), _tokenEnd(token), blank);
}

void HTMLParser::_addPiece(const char* data, std::size_t length, unsigned long end, bool blank)
{
    if (!_pending) {
        _pending = true;
        _pendingStart = _covered;
        _pendingText.clear();
        _pendingBlank = true;
        _badChar = false;
    }
    _pendingText.append(data, length);
    _pendingEnd = end;
    _afterBlock = false;
    if (blank) {
        _lastBlank = true;
    } else {
        _lastBlank = false;
        _pendingBlank = false;
    }
}

// A whitespace run in text: kept as it is in plain elements; elsewhere one
// space, or nothing at the start of a text after a block or a blank, and
// after another blank.  Dropped white space still belongs to the source.
void HTMLParser::_collectSpace(unsigned long start, unsigned long end)
{
    if (_plainDepth > 0) {
        _addPiece(_source.data() + start, end - start, end, true);
        return;
    }
    bool dropped = (_pendingText.empty() || !_pending) && (_afterBlock || _textEndsBlank);
    if (_pending && _lastBlank)
        dropped = true;
    if (dropped) {
        bool afterBlock = _afterBlock;
        _addPiece("", 0, end, true);
        _afterBlock = afterBlock;
        return;
    }
    _addPiece(" ", 1, end, true);
}

// A run of running text (see HTMLLexer::takeTextRun) is what its words and
// the whitespace between them would give one token at a time: the bytes
// stand for themselves, and each whitespace run between two words is kept
// as it is in plain elements and becomes one space elsewhere (never dropped,
// as it follows a word).
void HTMLParser::_collectRun(unsigned long start, unsigned long end)
{
    const char* text = _source.data();
    if (Lexer::isSpace(text[start])) {
        unsigned long words = start;
        while (Lexer::isSpace(text[words]))
            ++words;
        _collectSpace(start, words);
        start = words;
    }
    if (!_pending) {
        _pending = true;
        _pendingStart = _covered;
        _pendingText.clear();
        _badChar = false;
    }
    if (_plainDepth > 0) {
        _pendingText.append(text + start, end - start);
    } else {
        unsigned long i = start;
        while (i < end) {
            unsigned long word = i;
            while (i < end && !Lexer::isSpace(text[i]))
                ++i;
            _pendingText.append(text + word, i - word);
            if (i == end)
                break;
            while (i < end && Lexer::isSpace(text[i]))
                ++i;
            _pendingText += ' ';
        }
    }
    _pendingEnd = end;
    _pendingBlank = false;
    _lastBlank = false;
    _afterBlock = false;
}

void HTMLParser::_collect(const Lexer::Token* token)
{
    switch (token->kind) {
    case Lexer::TOKEN_LT:
    case Lexer::TOKEN_AMP:
        _addPiece(std::string(1, ESC) + _source[token->start], token, false);
        _badChar = true;
        return;
    case Lexer::TOKEN_GT: {
        std::string data;
        if (_pending && token->start == _pendingEnd + 1)
            appendPlain(data, _source.substr(_pendingEnd, 1));
        data += ESC;
        data += '>';
        _addPiece(data, token, false);
        _badChar = true;
        return;
    }
    case Lexer::TOKEN_QUOTE:
        _addPiece(std::string(1, ESC) + '"', token, false);
        return;
    case Lexer::TOKEN_CHAR_REF:
        _addPiece(PCDATAConverter::convertCharValueToData(static_cast<unsigned long>(token->value), true),
                  token, false);
        return;
    case Lexer::TOKEN_ENTITY_REF: {
        const Entity* entity = token->getEntity();
        std::string data = entity ? entity->getData() : std::string();
        if (!data.empty()) {
            _addPiece(data, token, false);
            return;
        }
        _flushText();
        std::string text = tokenText(token);
        std::string name = text.size() > 1 ? text.substr(1) : std::string();
        if (!name.empty() && name.back() == ';')
            name.pop_back();
        EntityReference* ref = _document->createEntityReference(name);
        ref->setSource(_takeSource(_tokenEnd(token)));
        _append(ref);
        _afterBlock = false;
        return;
    }
    case Lexer::TOKEN_SPACE:
        _collectSpace(token->start, _tokenEnd(token));
        return;
    case Lexer::TOKEN_COMMENT:
    case Lexer::TOKEN_JSP_COMMENT: {
        std::string data(1, token->kind == Lexer::TOKEN_COMMENT ? '!' : '%');
        appendPlain(data, tokenText(token));
        _addPiece(data, token, false);
        return;
    }
    default: {
        std::string data;
        appendPlain(data, tokenText(token));
        _addPiece(data, token, false);
        return;
    }
    }
}

// The collected text's data.  Where the data is the page's own bytes (the
// text had no references, no line breaks or runs of blanks to fold, or only
// blanks dropped at one end) it is kept as a span of the page instead of a
// copy.
pagedom::SourceText HTMLParser::_dataText(unsigned long start, unsigned long end) const
{
    const std::size_t length = _pendingText.size();
    if (length <= pagedom::SourceText::INLINE_CAPACITY || length > end - start)
        return pagedom::SourceText(_pendingText); // short data is kept inside anyway
    auto matchesAt = [&](unsigned long at) {
        return at + length <= end && std::memcmp(_source.data() + at, _pendingText.data(), length) == 0;
    };
    unsigned long firstWord = start;
    while (firstWord < end && (_source[firstWord] == ' ' || _source[firstWord] == '\t' ||
                               _source[firstWord] == '\r' || _source[firstWord] == '\n'))
        ++firstWord;
    for (unsigned long at : {start, firstWord, static_cast<unsigned long>(end - length)})
        if (matchesAt(at))
            return pagedom::SourceText(_page, at, length);
    return pagedom::SourceText(_pendingText);
}

void HTMLParser::_flushText()
{
    if (!_pending)
        return;
    _pending = false;
    pagedom::SourceText source(_page, _pendingStart, _pendingEnd - _pendingStart);
    _covered = _pendingEnd;
    Text* text = _document->createTextNode(std::string());
    text->_setDataText(_dataText(_pendingStart, _pendingEnd));
    text->_setSourceText(source);
    text->_setCompact(_plainDepth == 0);
    if (_badChar)
        text->addErrorState(Node::INVALID_CHAR_ERROR);
    if (_current->canContain(text)) {
        _append(text, true);
    } else {
        if (idOf(_current) == ID_HEAD && static_cast<Element*>(_current)->isOmittedElement() &&
            _current->getParentNode())
            _leaveTo(_current->getParentNode());
        if (!_current->canContain(text) && !_implyContainer(text)) {
            if (_pendingBlank)
                text->CharacterData::setData(std::string());
            if (idOf(_current) == ID_EMBED && _current->getParentNode())
                _leaveTo(_current->getParentNode());
        }
        _append(text);
    }
    _textEndsBlank = _lastBlank;
    _pendingText.clear();
    _badChar = false;
}
