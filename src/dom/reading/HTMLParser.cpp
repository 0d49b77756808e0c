// The page parser's entry and main loop: tokens are handed to the markup
// readers or collected as text; the token helpers the readers share.
#include "reading/HTMLParser.h"

#include <algorithm>
#include <iterator>

#include "doctype/DocumentType.h"
#include "doctype/ElementTable.h"
#include "reading/HTMLLexer.h"
#include "tree/Document.h"
#include "tree/Element.h"
#include "base/StringUtil.h"

// --- entry ----------------------------------------------------------------------

void pagedom::HTMLPageReader::readPage(pagedom::SourceText::Block* page, Node* parent)
{
    HTMLParser::parse(page, parent);
}

void HTMLParser::parse(pagedom::SourceText::Block* page, Node* parent)
{
    // Only a container can take what a page holds: a text, a document type
    // or any other leaf is refused.
    if (!parent || !page || !parent->_childList())
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
      _tagNames(_documentType),
      _htmlLexer(lexer), _scanner(lexer->getSource(), *lexer),
      _metaDataEnds(lexer->getSource(), _documentType->getJSPVersion() == DOMOptions::JSP_10),
      _dynamicAttributes(_documentType->getJSPVersion() != DOMOptions::JSP_NONE),
      _directReading(pagedom::ReaderSwitches::directReading()),
      _attributeRecords(pagedom::ReaderSwitches::attributeRecords()), _current(parent)
{
    std::fill(std::begin(_topById), std::end(_topById), NONE);
    _resetOpenNodes();
}

// --- main loop ------------------------------------------------------------------

void HTMLParser::_run()
{
    for (;;) {
        HTMLLexer::TextRun run;
        if (_directReading && _htmlLexer->takeTextRun(run)) {
            _collectRun(run);
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
    _collectUncovered();
}

// A '<' is text before white space or a digit, and inside a text area
// anywhere but before the area's own end tag.
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

// --- token helpers ----------------------------------------------------------------

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

pagedom::SourceText HTMLParser::_takeTagSpan(unsigned long end)
{
    if (end > _source.size())
        end = static_cast<unsigned long>(_source.size());
    if (end <= _covered)
        return pagedom::SourceText();
    pagedom::SourceText text = pagedom::SourceText::span(_page, _covered, end - _covered);
    _covered = end;
    return text;
}

unsigned long HTMLParser::_takeBlock(std::string* text, unsigned long* textStart)
{
    nextToken();
    if (text)
        *text = tokenText();
    if (textStart)
        *textStart = getToken()->start;
    unsigned long end = _tokenEnd(getToken());
    if (peekKind(0) == Lexer::TOKEN_GT) {
        nextToken();
        end = _tokenEnd(getToken());
    }
    return end;
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

unsigned long HTMLParser::_quotedValue(unsigned long quote)
{
    unsigned long end = _tokenEnd(getToken());
    while (peekKind(0) != Lexer::TOKEN_EOF) {
        if (nextToken() == quote)
            return end;
        end = _tokenEnd(getToken());
    }
    return static_cast<unsigned long>(_source.size());
}
