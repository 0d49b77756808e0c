// The XML reader's other markup: comments, CDATA sections, processing
// instructions, JSP blocks and directives, the document type declaration.
#include "xmlreading/XMLParser.h"

#include <vector>

#include "base/StringUtil.h"
#include "doctype/DocumentType.h"
#include "doctype/ElementTable.h"
#include "tree/CDATASection.h"
#include "tree/Comment.h"
#include "tree/Document.h"
#include "tree/Element.h"
#include "tree/ProcessingInstruction.h"

namespace {

const char* const COMMENT_OPEN = "<!--";
const char* const COMMENT_CLOSE = "-->";
const char* const JSP_COMMENT_OPEN = "<%--";
const char* const JSP_COMMENT_CLOSE = "--%>";
const char* const CDATA_OPEN = "<![CDATA[";
const char* const CDATA_CLOSE = "]]>";
const char* const PI_OPEN = "<?";
const char* const PI_CLOSE = "?>";
const char* const JSP_OPEN = "<%";
const char* const JSP_CLOSE = "%>";
const char* const DOCTYPE_OPEN = "<!DOCTYPE";
// What ends a processing instruction's target.
const char* const TARGET_END = " ?>\r\n\t";
// What ends a word of the document type declaration.
const char* const DECLARATION_WORD_END = " \t\r\n>[\"'";
// What ends a JSP directive's name.
const char* const DIRECTIVE_NAME_END = " \t\r\n%";

inline unsigned long lengthOf(const char* s)
{
    return static_cast<unsigned long>(std::char_traits<char>::length(s));
}

inline bool isWhite(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

// --- helpers --------------------------------------------------------------------------

unsigned long XMLParser::_through(unsigned long from, const std::string& close, bool& closed)
{
    forward(from > getOffset() ? from - getOffset() : 0);
    const unsigned long found = findString(close);
    closed = found != NOT_FOUND;
    return closed ? found + static_cast<unsigned long>(close.size()) : getLength();
}

bool XMLParser::_startsWith(unsigned long index, const char* word, bool ignoreCase)
{
    const unsigned long length = lengthOf(word);
    if (!_have(index + length - 1))
        return false;
    const char* s = _chars() + index;
    for (unsigned long i = 0; i < length; ++i) {
        const bool same = ignoreCase ? pagedom::str::lowerChar(s[i]) == pagedom::str::lowerChar(word[i])
                                     : s[i] == word[i];
        if (!same)
            return false;
    }
    return true;
}

// --- comments and CDATA sections ----------------------------------------------------------

void XMLParser::_comment()
{
    _flushText();
    const unsigned long start = getOffset();
    const unsigned long dataStart = start + lengthOf(COMMENT_OPEN);
    bool closed;
    const unsigned long end = _through(dataStart, COMMENT_CLOSE, closed);
    const unsigned long dataEnd = closed ? end - lengthOf(COMMENT_CLOSE) : end;
    Comment* comment;
    {
        Building building(_document);
        comment = _document->createComment(_copy(dataStart, dataEnd));
        comment->setSource(_copy(start, end));
        if (!closed)
            comment->addErrorState(Node::INVALID_FORMAT_ERROR);
    }
    forward(end - getOffset());
    _insert(comment);
}

void XMLParser::_jspComment()
{
    _flushText();
    const unsigned long start = getOffset();
    const unsigned long dataStart = start + lengthOf(JSP_COMMENT_OPEN);
    bool closed;
    const unsigned long end = _through(dataStart, JSP_COMMENT_CLOSE, closed);
    const unsigned long dataEnd = closed ? end - lengthOf(JSP_COMMENT_CLOSE) : end;
    Comment* comment;
    {
        Building building(_document);
        comment = _document->createComment(_copy(dataStart, dataEnd));
        comment->setJSPFormat(true);
        comment->setSource(_copy(start, end));
        if (!closed)
            comment->addErrorState(Node::INVALID_FORMAT_ERROR);
    }
    forward(end - getOffset());
    _insert(comment);
}

void XMLParser::_cdataSection()
{
    _flushText();
    const unsigned long start = getOffset();
    const unsigned long dataStart = start + lengthOf(CDATA_OPEN);
    bool closed;
    const unsigned long end = _through(dataStart, CDATA_CLOSE, closed);
    const unsigned long dataEnd = closed ? end - lengthOf(CDATA_CLOSE) : end;
    CDATASection* section;
    {
        Building building(_document);
        section = _document->createCDATASection(_copy(dataStart, dataEnd));
        section->setSource(_copy(start, end));
        if (!closed)
            section->addErrorState(Node::INVALID_FORMAT_ERROR);
    }
    forward(end - getOffset());
    _insert(section);
}

// --- processing instructions ------------------------------------------------------------

// "<?target data?>": the target runs to the first of white space, '?' and
// '>'; the data follows the white space after it, up to "?>".
void XMLParser::_processingInstruction()
{
    _flushText();
    const unsigned long start = getOffset();
    const unsigned long targetStart = start + lengthOf(PI_OPEN);
    bool closed;
    const unsigned long end = _through(targetStart, PI_CLOSE, closed);
    const unsigned long dataEnd = closed ? end - lengthOf(PI_CLOSE) : end;
    const unsigned long targetEnd = _scanTo(targetStart, TARGET_END, dataEnd);
    unsigned long dataStart = targetEnd;
    while (dataStart < dataEnd && isWhite(_chars()[dataStart]))
        ++dataStart;
    ProcessingInstruction* pi;
    {
        Building building(_document);
        pi = _document->createProcessingInstruction(_copy(targetStart, targetEnd), _copy(dataStart, dataEnd));
        pi->setSource(_copy(start, end));
        if (!closed)
            pi->addErrorState(Node::INVALID_FORMAT_ERROR);
    }
    forward(end - getOffset());
    _insert(pi);
}

// --- JSP blocks -------------------------------------------------------------------------

// "<%@" makes a directive, anything else a declaration ("<%!"), an
// expression ("<%=") or a scriptlet, up to "%>".  The element never
// becomes current.
void XMLParser::_jspBlock()
{
    _flushText();
    const unsigned long start = getOffset();
    bool closed;
    const unsigned long end = _through(start + lengthOf(JSP_OPEN), JSP_CLOSE, closed);
    const bool directive = start + lengthOf(JSP_OPEN) < end && _chars()[start + lengthOf(JSP_OPEN)] == '@';
    Element* element = directive ? _jspDirective(start, end, closed) : _jspScript(start, end, closed);
    forward(end - getOffset());
    _insert(element);
}

// The opening ("<%", "<%=", "<%!") is the start tag, "%>" the end tag, the
// code between them one CDATA section.  Where the document type lacks the
// element type, the element is named "%".
Element* XMLParser::_jspScript(unsigned long start, unsigned long end, bool closed)
{
    unsigned long open = start + lengthOf(JSP_OPEN);
    int id = ElementTable::ID_JSP_SCRIPTLET;
    const char kind = open < end ? _chars()[open] : '\0';
    if (kind == '!' || kind == '=') {
        id = kind == '!' ? ElementTable::ID_JSP_DECLARATION : ElementTable::ID_JSP_EXPRESSION;
        ++open;
    }
    const unsigned long contentEnd = closed ? end - lengthOf(JSP_CLOSE) : end;
    if (open > contentEnd)
        open = contentEnd;
    Building building(_document);
    const ElementType* type = _documentType ? _documentType->getDefElementType(id) : nullptr;
    Element* element = type ? _document->createTypedElement(type) : _document->createElement(JSP_OPEN + 1);
    element->_setStartTagText(_span(start, open));
    element->_setEndTagText(_span(contentEnd, end));
    if (!closed)
        element->addErrorState(Node::INVALID_FORMAT_ERROR);
    if (contentEnd > open) {
        const std::string code = _copy(open, contentEnd);
        CDATASection* section = _document->createCDATASection(code);
        section->setSource(code);
        element->_appendParsed(section, element->canContain(section));
    }
    element->_assignType(type, true);
    element->_setScriptSyntax(true);
    return element;
}

// "<%@ name attr=value %>": the name (compared ignoring case) chooses the
// directive's type, the catch-all directive type for any other name; the
// attributes follow the name.  The start tag is the whole block.  Without
// a type the element is named "%" and marked.
Element* XMLParser::_jspDirective(unsigned long start, unsigned long end, bool closed)
{
    const unsigned long stop = closed ? end - lengthOf(JSP_CLOSE) : end;
    unsigned long nameStart = start + lengthOf(JSP_OPEN) + 1;
    while (nameStart < stop && isWhite(_chars()[nameStart]))
        ++nameStart;
    const unsigned long nameEnd = _scanTo(nameStart, DIRECTIVE_NAME_END, stop);
    const std::string name = _copy(nameStart, nameEnd);
    const int id = ElementTable::getDirectiveID(name);
    // The attributes lie inside the block, which is read already.
    forward(nameEnd - getOffset());
    _scanAttributes(stop);
    Building building(_document);
    const ElementType* type = _documentType ? _documentType->getDefElementType(id) : nullptr;
    if (!type && _documentType)
        type = _documentType->getDefElementType(ElementTable::ID_JSP_DIRECTIVE);
    Element* element = type ? _document->createTypedElement(type) : _document->createElement(JSP_OPEN + 1);
    _addAttributes(element, start);
    element->_setStartTagText(_span(start, end));
    element->_setEndTagText(pagedom::SourceText());
    if (!closed)
        element->addErrorState(Node::INVALID_FORMAT_ERROR);
    if (!type)
        element->addErrorState(Node::INVALID_DIRECTIVE_ERROR);
    element->_assignType(type, true);
    element->_setScriptSyntax(true);
    element->_freezeAttrs(_valueOffsets.data(), _valueOffsets.size());
    return element;
}

// --- document type declaration -------------------------------------------------------------

// "<!DOCTYPE root PUBLIC "id" "system" [subset]>" or with SYSTEM "system":
// the words and quoted strings give the root name and the identifiers, the
// internal subset between '[' and ']' is read into the new document type.
void XMLParser::_docTypeDeclaration()
{
    _flushText();
    const unsigned long start = getOffset();
    std::vector<std::string> words;
    unsigned long subsetStart = 0;
    unsigned long subsetEnd = 0;
    bool closed = false;
    unsigned long end = getLength();
    unsigned long i = start + lengthOf(DOCTYPE_OPEN);
    for (;;) {
        i = _skipSpace(i);
        if (!_have(i)) {
            end = getLength();
            break;
        }
        const char c = _chars()[i];
        if (c == '>') {
            closed = true;
            end = i + 1;
            break;
        }
        if (c == '[') {
            bool subsetClosed;
            subsetStart = i + 1;
            i = _skipInternalSubset(i, subsetClosed);
            subsetEnd = subsetClosed ? i - 1 : i;
            continue;
        }
        if (c == '"' || c == '\'') {
            const char quote[] = {c, '\0'};
            const unsigned long close = _scanTo(i + 1, quote);
            words.push_back(_copy(i + 1, close));
            i = _have(close) ? close + 1 : close;
            continue;
        }
        const unsigned long wordEnd = _scanTo(i, DECLARATION_WORD_END);
        words.push_back(_copy(i, wordEnd));
        i = wordEnd;
    }
    forward(end - getOffset());
    DocumentType* docType;
    {
        Building building(_document);
        docType = _document->createDocType(words.empty() ? std::string() : words[0]);
        const std::string keyword = words.size() > 1 ? pagedom::str::upper(words[1]) : std::string();
        if (keyword == DocumentType::PUBLIC_KEY && words.size() > 2) {
            docType->setPublicID(words[2]);
            if (words.size() > 3)
                docType->setSystemID(words[3]);
        } else if (keyword == DocumentType::SYSTEM_KEY && words.size() > 2) {
            docType->setSystemID(words[2]);
        }
        if (subsetEnd > subsetStart)
            docType->parse(_copy(subsetStart, subsetEnd));
        docType->setSource(_copy(start, end));
        if (!closed)
            docType->addErrorState(Node::INVALID_FORMAT_ERROR);
    }
    _insert(docType);
    // A new declaration changes how the texts after it read: a reading
    // followed by existing nodes reads them all again.
    _stopsInStep = false;
    if (_current == _document)
        _declarations = _document->getDocType();
}

unsigned long XMLParser::_skipInternalSubset(unsigned long from, bool& closed)
{
    unsigned long i = from + 1;
    for (;;) {
        if (!_have(i)) {
            closed = false;
            return getLength();
        }
        const char c = _chars()[i];
        if (c == ']') {
            closed = true;
            return i + 1;
        }
        if (c == '"' || c == '\'') {
            const char quote[] = {c, '\0'};
            const unsigned long close = _scanTo(i + 1, quote);
            i = _have(close) ? close + 1 : close;
        } else if (_startsWith(i, COMMENT_OPEN)) {
            bool commentClosed;
            i = _through(i + lengthOf(COMMENT_OPEN), COMMENT_CLOSE, commentClosed);
        } else {
            ++i;
        }
    }
}
