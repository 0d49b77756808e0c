// The page parser's other markup: comments and server-side includes, CDATA
// sections, processing instructions, JSP blocks and directives, DOCTYPE.
#include "reading/HTMLParser.h"

#include "doctype/DocumentType.h"
#include "doctype/ElementTable.h"
#include "doctype/ElementType.h"
#include "reading/HTMLLexer.h"
#include "tree/CDATASection.h"
#include "tree/Comment.h"
#include "tree/Document.h"
#include "tree/Element.h"
#include "tree/MetaData.h"
#include "tree/MetaDataComment.h"
#include "tree/ProcessingInstruction.h"
#include "base/StringUtil.h"

namespace {

// Where the SSI element types are found: "ssi:" and the directive's name.
const char* const SSI_PREFIX = "ssi:";
// The lengths of a JSP block's openings: "<%", and "<%=", "<%!" or "<%@"
// whose third byte tells the kind of block; and of its closing "%>".
const std::size_t JSP_OPEN_LENGTH = 2;
const std::size_t JSP_KIND_OPEN_LENGTH = 3;
const std::size_t JSP_CLOSE_LENGTH = 2;

// Whether a JSP block of source, whose opening is open bytes long, ends in
// "%>" after its opening.
bool isClosedJSPBlock(const std::string& source, std::size_t open)
{
    return source.size() >= open + JSP_CLOSE_LENGTH &&
           source.compare(source.size() - JSP_CLOSE_LENGTH, JSP_CLOSE_LENGTH, HTMLLexer::JSP_CLOSE) == 0;
}

} // namespace

// --- comments ---------------------------------------------------------------------

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
    unsigned long textStart = 0;
    unsigned long end = _takeBlock(&text, &textStart);

    // The text between the two leading dashes and the trailing ones.
    std::size_t lead = 0;
    while (lead < 2 && lead < text.size() && text[lead] == '-')
        ++lead;
    std::size_t trail = text.size();
    while (trail > lead && text[trail - 1] == '-')
        --trail;

    if (_metaDataSpan(text, jsp, end))
        return;
    if (!jsp && _serverSideInclude(static_cast<unsigned long>(textStart + lead),
                                   static_cast<unsigned long>(textStart + trail), end))
        return;
    std::string source = _takeSource(end);
    Comment* comment = _document->createComment(trail > lead ? text.substr(lead, trail - lead) : std::string());
    if (jsp)
        comment->setJSPFormat(true);
    comment->setSource(source);
    // Without its closing delimiter the comment ended at the first ">" (or
    // the end of the page): a delimiter written anywhere after it would make
    // it run on to there.  The delimiter must stand after the opening one
    // ("<!-->" ends at its first ">").
    const std::string& open = jsp ? Comment::JSP_OPEN_TAG : Comment::OPEN_TAG;
    const std::string& close = jsp ? Comment::JSP_CLOSE_TAG : Comment::CLOSE_TAG;
    if (source.size() < open.size() + close.size() || !pagedom::str::endsWith(source, close))
        comment->addErrorState(Node::INVALID_FORMAT_ERROR);
    _append(comment);
}

bool HTMLParser::_metaDataSpan(const std::string& text, bool jsp, unsigned long end)
{
    const MetaData::Type type = pagedom::MetaDataComment::startType(text);
    pagedom::MetaDataEnds::Span endComment;
    if (type == MetaData::NONE || !_metaDataEnds.find(type, end, endComment))
        return false;
    MetaData* meta = _document->_createMetaData();
    meta->_type = type;
    std::string start = _takeSource(end);
    std::string runtime = _takeSource(endComment.start);
    meta->_setSpan(std::move(start), std::move(runtime), _takeSource(endComment.end));
    // A page of the JSP 1.0 syntax saves its METADATA comments in the JSP
    // form: one written in the HTML form is to be saved anew.
    if (!jsp && _documentType->getJSPVersion() == DOMOptions::JSP_10)
        _document->_metaDataRevised = true;
    _document->_metaPassWanted = true;
    _append(meta, true);
    _afterBlock = false;
    // Reading goes on after the end comment.
    _htmlLexer->restartAt(endComment.end);
    return true;
}

bool HTMLParser::_concernsMetaDataPass(const Element* element) const
{
    const int id = element->getElementID();
    if (id == ElementTable::ID_OBJECT || (id >= ElementTable::ID_QRTX_TEXT && id <= ElementTable::ID_QRTX_COMMENT))
        return true;
    return _dynamicAttributes && element->hasAttributes() && element->isDynamicElement();
}

// "<!--#name attr=value -->": the directive name runs to white space or a
// dash; the attributes follow it.  The element's start tag is the whole
// comment.
bool HTMLParser::_serverSideInclude(unsigned long from, unsigned long to, unsigned long end)
{
    if (from >= to || _source[from] != '#')
        return false;
    unsigned long nameEnd = from + 1;
    while (nameEnd < to && !isSpaceAt(_source, nameEnd) && _source[nameEnd] != '-')
        ++nameEnd;
    if (nameEnd == from + 1)
        return false;
    const ElementType* type = _documentType->getElementType(SSI_PREFIX + _source.substr(from + 1, nameEnd - from - 1));
    if (!type)
        return false;
    const unsigned long start = _covered;
    Element* element = _document->createTypedElement(type);
    _scanner.scanDirective(nameEnd, to);
    _addAttributes(element, start);
    element->_setStartTagText(_takeTagSpan(end));
    element->_setEndTagText(pagedom::SourceText());
    element->setElementType(type);
    // Without its "-->" the include ended at the first ">": a "-->"
    // written anywhere after it would make it run on to there.
    if (!pagedom::str::endsWith(element->getStartTag(), Element::SSI_CLOSE_TAG))
        element->addErrorState(Node::INVALID_FORMAT_ERROR);
    _afterBlock = false;
    _append(element);
    _keepAttributesAsRecords(element);
    return true;
}

// --- CDATA sections and processing instructions -------------------------------------

void HTMLParser::_cdataSection()
{
    std::string content;
    unsigned long end = _takeBlock(&content);
    CDATASection* section = _document->createCDATASection(content);
    std::string source = _takeSource(end);
    // Like a comment, one without its "]]>" ended at the first ">" or the
    // end of the page, and a "]]>" written anywhere after it would make it
    // run on to there.
    const std::size_t delimiters = CDATASection::OPEN_TAG.size() + CDATASection::CLOSE_TAG.size();
    if (source.size() < delimiters || !pagedom::str::endsWith(source, CDATASection::CLOSE_TAG))
        section->addErrorState(Node::INVALID_FORMAT_ERROR);
    section->setSource(source);
    _append(section);
}

// "<?target data?>": the target runs to white space, '?' or '>'; the data
// is the rest less the closing "?>".
void HTMLParser::_processingInstruction()
{
    unsigned long end = _takeBlock();
    std::string source = _takeSource(end);
    std::size_t i = 2;
    while (isSpaceAt(source, static_cast<unsigned long>(i)))
        ++i;
    std::size_t targetStart = i;
    while (i < source.size() && !isSpaceAt(source, static_cast<unsigned long>(i)) && source[i] != '?' &&
           source[i] != '>')
        ++i;
    std::string target = source.substr(targetStart, i - targetStart);
    while (isSpaceAt(source, static_cast<unsigned long>(i)))
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

// --- JSP blocks ---------------------------------------------------------------------

// "<%@" makes a directive, anything else a declaration ("<%!"), an
// expression ("<%=") or a scriptlet.  The element never becomes current.
void HTMLParser::_jspBlock()
{
    const unsigned long start = _covered;
    const pagedom::SourceText block = _takeSpan(_takeBlock());
    const std::string source = block.str();
    const bool directive = source.size() > JSP_OPEN_LENGTH && source[JSP_OPEN_LENGTH] == '@';
    Element* element = directive ? _jspDirective(block, source, start) : _jspScript(source, start);
    element->_setScriptSyntax(true);
    _append(element);
    if (directive)
        _keepAttributesAsRecords(element);
    _afterBlock = false;
    _textEndsBlank = false;
}

// The code between the opening and "%>" becomes one CDATA section; the
// opening is the start tag and "%>" the end tag.  Where the document type
// lacks the element type, the element is named "%".  The start tag stays a
// span of the page, at start, however short: it tells a write where the
// element lies in the page, so that it can be written back as one piece.
Element* HTMLParser::_jspScript(const std::string& source, unsigned long start)
{
    const char kind = source.size() > JSP_OPEN_LENGTH ? source[JSP_OPEN_LENGTH] : '\0';
    int id = ElementTable::ID_JSP_SCRIPTLET;
    std::size_t offset = JSP_OPEN_LENGTH;
    if (kind == '!') {
        id = ElementTable::ID_JSP_DECLARATION;
        offset = JSP_KIND_OPEN_LENGTH;
    } else if (kind == '=') {
        id = ElementTable::ID_JSP_EXPRESSION;
        offset = JSP_KIND_OPEN_LENGTH;
    }
    const ElementType* type = _documentType->getDefElementType(id);
    Element* element = type ? _document->createTypedElement(type) : _document->createElement("%");
    const bool terminated = isClosedJSPBlock(source, offset);
    if (!terminated)
        element->addErrorState(Node::INVALID_FORMAT_ERROR);
    if (offset > source.size())
        offset = source.size();
    std::size_t contentEnd = terminated ? source.size() - JSP_CLOSE_LENGTH : source.size();
    element->_setStartTagText(pagedom::SourceText::span(_page, start, offset));
    element->_setEndTagText(terminated ? pagedom::SourceText(std::string_view(HTMLLexer::JSP_CLOSE))
                                       : pagedom::SourceText());
    if (contentEnd > offset) {
        // The code is its own data and source, kept as a span of the page.
        const pagedom::SourceText code(_page, start + offset, contentEnd - offset);
        CDATASection* section = new CDATASection(_document, code, code);
        section->addRef();
        element->_appendParsed(section, element->canContain(section));
    }
    element->setElementType(type);
    return element;
}

// "<%@ name attr=value %>": the name (compared ignoring case) chooses the
// directive's type, the catch-all directive type for any other name; the
// attributes follow the name.  The start tag is the whole block.  Without
// a type the element is named "%" and marked.
Element* HTMLParser::_jspDirective(const pagedom::SourceText& block, const std::string& source, unsigned long start)
{
    std::size_t i = JSP_KIND_OPEN_LENGTH;
    while (isSpaceAt(source, static_cast<unsigned long>(i)))
        ++i;
    const std::size_t nameStart = i;
    while (i < source.size() && !isSpaceAt(source, static_cast<unsigned long>(i)) && source[i] != '%')
        ++i;
    const std::string name = source.substr(nameStart, i - nameStart);
    const int id = ElementTable::getDirectiveID(name);
    const ElementType* type = _documentType->getDefElementType(id);
    if (!type)
        type = _documentType->getDefElementType(ElementTable::ID_JSP_DIRECTIVE);
    Element* element = type ? _document->createTypedElement(type) : _document->createElement("%");
    const bool terminated = isClosedJSPBlock(source, JSP_KIND_OPEN_LENGTH);
    if (!terminated)
        element->addErrorState(Node::INVALID_FORMAT_ERROR);
    const std::size_t stop = terminated ? source.size() - JSP_CLOSE_LENGTH : source.size();
    _scanner.scanDirective(static_cast<unsigned long>(start + i), static_cast<unsigned long>(start + stop));
    _addAttributes(element, start);
    element->_setStartTagText(block);
    element->_setEndTagText(pagedom::SourceText());
    if (!type)
        element->addErrorState(Node::INVALID_DIRECTIVE_ERROR);
    element->setElementType(type);
    return element;
}

// --- document type declaration -------------------------------------------------------

// "<!DOCTYPE root SYSTEM|PUBLIC identifier ...>": the identifier is quoted
// or runs to white space or '>'; what follows it (an internal subset) is
// kept as source only.
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
                unsigned long stop = _quotedValue(k);
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
        if (keyword == HTMLLexer::PUBLIC_KEY)
            docType->setPublicID(identifier);
        else if (keyword == HTMLLexer::SYSTEM_KEY)
            docType->setSystemID(identifier);
    }
    docType->setSource(_takeSource(end));
    _append(docType);
}
