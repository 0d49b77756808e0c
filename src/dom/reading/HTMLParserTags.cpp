// The page parser's start and end tags: reading a tag, making its element
// and attributes, typing it, and finding the element an end tag closes.
#include "reading/HTMLParser.h"

#include "doctype/ContentModel.h"
#include "doctype/DocumentType.h"
#include "doctype/ElementTable.h"
#include "doctype/ElementType.h"
#include "base/NameTable.h"
#include "reading/HTMLLexer.h"
#include "tree/Attr.h"
#include "tree/CDATASection.h"
#include "tree/Document.h"
#include "tree/Element.h"
#include "base/StringUtil.h"

// --- start tags -----------------------------------------------------------------

// One step after the other: the name (or a declaration-like tag), the
// attributes and the closing '>', the element with its attributes, its
// type, the white-space flags, its place in the tree, and what follows
// once it is placed.  The steps are called from here alone and defined
// inline, so that the compiler can make one function of them again: this
// runs for every tag of every page.
void HTMLParser::_startTag()
{
    StartTag tag;
    const unsigned long kind = nextToken();
    if (kind == Lexer::TOKEN_BANG) {
        _readDeclarationTag(tag);
    } else {
        _readTagName(kind, tag);
        tag.ending = _scanner.scanStartTag(*getToken(), _directReading);
    }
    const ElementType* type = _keptType(tag);
    Element* element = _makeElement(tag, type);
    _typeElement(element, type, tag);
    _noteStartTagSpacing(type);
    _place(element);
    _finishStartTag(element, type, tag);
}

// The name token, less a '/' it ends in ("<br/>"), or SUBMIT for the
// middleware's "<!%SUBMIT".  Only the latter is the middleware element:
// SUBMIT written as a plain name gets no type.
inline void HTMLParser::_readTagName(unsigned long kind, StartTag& tag)
{
    if (kind == Lexer::TOKEN_MW_SUBMIT) {
        tag.name = HTMLLexer::MW_SUBMIT_KEY;
        tag.nameType = tag.type = _documentType->getElementType(tag.name);
        return;
    }
    tag.name = tokenText();
    if (tag.name.size() > 1 && tag.name.back() == '/')
        tag.name.pop_back();
    const pagedom::TagNames::Answer& known = _tagNames.lookUp(tag.name);
    tag.sharedName = known.shared;
    tag.nameType = tag.type = known.type;
    if (tag.type && tag.type->getElementID() == ElementTable::ID_SUBMIT)
        tag.type = nullptr;
}

// "<!x ...>" that is no comment, CDATA section or document type declaration
// runs to the first '>' outside quotes.  Its name is the text from "!" to
// the first white space; it has no attributes and no type.
inline void HTMLParser::_readDeclarationTag(StartTag& tag)
{
    _scanner.clear();
    const unsigned long bang = getToken()->start;
    if (!_declarationTagEndDirectly(bang, tag.ending))
        _declarationTagEndByTokens(tag.ending);
    unsigned long space = bang;
    while (space < tag.ending.end && !isSpaceAt(_source, space))
        ++space;
    if (space < tag.ending.end)
        tag.name = _source.substr(bang, space - bang);
    tag.nameType = _documentType->getElementType(tag.name);
}

// The end of a declaration tag read straight from the text, the lexer set
// to go on after it.  Only a '<' can start a token that hides a quote or a
// '>' (a comment, code, a processing instruction), so a tag with none gives
// what the tokens give; one with a '<' is left to them.
bool HTMLParser::_declarationTagEndDirectly(unsigned long bang, pagedom::AttributeScanner::TagEnd& ending)
{
    if (!_directReading)
        return false;
    const char* s = _source.data();
    const unsigned long n = static_cast<unsigned long>(_source.size());
    const unsigned long from = bang + 1;
    unsigned long lines = 0;
    char quote = 0;
    unsigned long i = from;
    for (; i < n; ++i) {
        const char c = s[i];
        if (c == '<')
            return false;
        if (c == '\n')
            ++lines;
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            break;
        }
    }
    ending.unterminated = i >= n;
    ending.end = ending.unterminated ? n : i + 1;
    _htmlLexer->stepOver(from, ending.end, lines);
    return true;
}

void HTMLParser::_declarationTagEndByTokens(pagedom::AttributeScanner::TagEnd& ending)
{
    unsigned long quote = 0;
    ending.end = static_cast<unsigned long>(_source.size());
    ending.unterminated = true;
    while (peekKind(0) != Lexer::TOKEN_EOF) {
        const unsigned long kind = nextToken();
        if (quote) {
            if (kind == quote)
                quote = 0;
        } else if (kind == Lexer::TOKEN_QUOTE || kind == Lexer::TOKEN_APOS) {
            quote = kind;
        } else if (kind == Lexer::TOKEN_GT) {
            ending.end = _tokenEnd(getToken());
            ending.unterminated = false;
            break;
        }
    }
}

// The element takes the tag's text and the scanned attributes; a tag cut
// off by the end of the page or with a stray '/' is a format error.  The
// element is made with the type its name was already looked up for, and
// where it keeps that type its attributes go straight into records.
inline Element* HTMLParser::_makeElement(const StartTag& tag, const ElementType* keptType)
{
    Element* element = tag.sharedName ? new Element(_document, tag.sharedName, tag.nameType)
                                      : new Element(_document, tag.name, tag.nameType);
    element->addRef();
    const unsigned long tagStart = _covered;
    element->_setStartTagText(_takeTagSpan(tag.ending.end));
    if (keptType != tag.nameType || !_recordAttributes(element, tagStart))
        _addAttributes(element, tagStart);
    element->_setEndTagText(pagedom::SourceText());
    if (tag.ending.unterminated || tag.ending.formatError)
        element->addErrorState(Node::INVALID_FORMAT_ERROR);
    return element;
}

// The element keeps the type of its name unless the type is read untyped,
// or is a JSP tag written in XML syntax in a document that does not support
// that syntax.
inline const ElementType* HTMLParser::_keptType(const StartTag& tag) const
{
    const ElementType* type = tag.type;
    if (type && (type->getGroup() & ElementType::GROUP_UNTYPED))
        type = nullptr;
    if (type && (type->getFormatType() == ElementType::FORMAT_JSP_BLOCK ||
                 type->getFormatType() == ElementType::FORMAT_JSP_DIRECTIVE) && !_document->supportXMLFormat())
        type = nullptr;
    return type;
}

// The empty-tag mark stays where the type allows "<x/>" (or there is no
// type).
inline void HTMLParser::_typeElement(Element* element, const ElementType* type, const StartTag& tag)
{
    element->setEmptyTag(tag.ending.emptyMark && (!type || (type->getGroup() & ElementType::GROUP_EMPTY_TAG)));
    // Attributes kept as records were checked against this very type as
    // they were read.
    const bool sameType = type == element->getElementType();
    element->_assignType(type, !sameType, sameType && element->_recordsKept);
    // Typing marks JSP elements as written in script syntax ("<%...%>"); an
    // element read from a start tag never is.
    element->_setScriptSyntax(false);
}

// A block or a line break starts a new line: white space after it is
// dropped.  An object in the text flow (an image, a field) keeps the white
// space after it, except a hidden input, which shows nothing.
inline void HTMLParser::_noteStartTagSpacing(const ElementType* type)
{
    if (!type)
        return;
    const unsigned long group = type->getGroup();
    if (group & (ElementType::GROUP_BLOCK | ElementType::GROUP_BREAK)) {
        _afterBlock = true;
        _textEndsBlank = false;
    }
    const bool hiddenInput = type->getElementID() == ElementTable::ID_INPUT && _scanner.has("TYPE", "HIDDEN");
    if ((group & ElementType::GROUP_SOLID) && !hiddenInput) {
        _afterBlock = false;
        _textEndsBlank = false;
    }
}

// An OBJECT may be an ActiveX control; the attributes become records once
// the element is in place; a CDATA-content element that became current
// (SCRIPT, STYLE) takes the raw text after its tag.
inline void HTMLParser::_finishStartTag(Element* element, const ElementType* type, const StartTag& tag)
{
    if (element->getElementID() == ElementTable::ID_OBJECT)
        element->setActiveX();
    _keepAttributesAsRecords(element);
    if (!_document->_metaPassWanted && _concernsMetaDataPass(element))
        _document->_metaPassWanted = true;
    if (!element->isEmptyTag() && type && type->getContainerType() == ContentModel::CDATA_CONTENT &&
        _current == element)
        _rawContent(element, tag.name);
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
        // The raw text is its own data and source, kept as a span of the page.
        const pagedom::SourceText raw = _takeSpan(end);
        CDATASection* section = new CDATASection(_document, raw, raw);
        section->addRef();
        element->_appendParsed(section, element->canContain(section));
    }
    // The lexer goes on after the raw text.
    _htmlLexer->restartAt(end);
}

// --- attributes -------------------------------------------------------------------

// Every attribute read becomes a node the way a reader adds one: in source
// order, a repeated name kept (and marked when declared), the value a span
// of the page.  An empty value leaves the attribute without one; an
// unquoted value is an error in the XML formats.
void HTMLParser::_addAttributes(Element* element, unsigned long tagStart)
{
    _valueOffsets.clear();
    for (const pagedom::AttributeScanner::Attribute& a : _scanner.attributes()) {
        Attr* attr = _document->createAttribute(_source.substr(a.nameStart, a.nameEnd - a.nameStart));
        if (a.hasValue && a.valueEnd > a.valueStart)
            attr->_setValueText(pagedom::SourceText(_page, a.valueStart, a.valueEnd - a.valueStart));
        if (a.hasValue && !a.quoted && _document->getFormatType() != Document::HTML_FORMAT)
            attr->addErrorState(Node::INVALID_ATTR_ERROR);
        element->_addAttributeNode(attr);
        _valueOffsets.push_back(static_cast<std::uint32_t>(a.hasValue ? a.valueStart - tagStart : 0));
    }
}

bool HTMLParser::_recordAttributes(Element* element, unsigned long tagStart)
{
    const std::vector<pagedom::AttributeScanner::Attribute>& scanned = _scanner.attributes();
    if (!_attributeRecords || scanned.empty() || scanned.size() > Element::PENDING_MAP_LIMIT)
        return false;
    Element::ReadAttr read[Element::PENDING_MAP_LIMIT];
    const bool unquotedIsError = _document->getFormatType() != Document::HTML_FORMAT;
    _valueOffsets.clear();
    for (std::size_t i = 0; i < scanned.size(); ++i) {
        const pagedom::AttributeScanner::Attribute& a = scanned[i];
        const bool valued = a.hasValue && a.valueEnd > a.valueStart;
        read[i].name = pagedom::NameTable::intern(_source.substr(a.nameStart, a.nameEnd - a.nameStart));
        read[i].offset = static_cast<std::uint32_t>(valued ? a.valueStart - tagStart : 0);
        read[i].length = static_cast<std::uint32_t>(valued ? a.valueEnd - a.valueStart : 0);
        read[i].unquotedError = a.hasValue && !a.quoted && unquotedIsError;
        // Kept for a freeze after something made the records nodes again.
        _valueOffsets.push_back(static_cast<std::uint32_t>(a.hasValue ? a.valueStart - tagStart : 0));
    }
    return element->_readAttrRecords(read, scanned.size());
}

void HTMLParser::_keepAttributesAsRecords(Element* element)
{
    if (_attributeRecords)
        element->_freezeAttrs(_valueOffsets.data(), _valueOffsets.size());
}

// --- end tags ---------------------------------------------------------------------

unsigned long HTMLParser::_plainEndTagName()
{
    if (!_directReading)
        return 0;
    const Lexer::Token* slash = getToken();
    if (!slash || slash->end == Lexer::NOT_FOUND)
        return 0;
    const unsigned long n = static_cast<unsigned long>(_source.size());
    unsigned long i = slash->end;
    if (i >= n || !HTMLLexer::startsName(_source[i]))
        return 0;
    i = _htmlLexer->nameEnd(i + 1);
    return i < n && _source[i] == '>' ? i : 0;
}

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
        // A name holds no line feed.
        _htmlLexer->stepOver(nameStart, tagEnd, 0);
    } else {
        while (_nextInTag(tagEnd)) {
            if (getKind() == Lexer::TOKEN_NAME && name.empty())
                name = tokenText();
            else
                invalid = true;
        }
    }
    const ElementType* endType = _tagNames.lookUp(name).type;
    if (endType) {
        unsigned long group = endType->getGroup();
        if (group & (ElementType::GROUP_BLOCK | ElementType::GROUP_BREAK))
            _afterBlock = true;
        if (group & ElementType::GROUP_SOLID)
            _afterBlock = false;
        if (group & (ElementType::GROUP_BLOCK | ElementType::GROUP_BREAK | ElementType::GROUP_SOLID))
            _textEndsBlank = false;
    }
    // The search for the element to close stops at table structure, unless
    // the end tag may cross it.
    bool crosses = endType && (endType->getOmitType() == ElementType::OMIT_BOTH_TAGS ||
                               (endType->getGroup() & ElementType::GROUP_TABLE_STRUCTURE));
    bool omissible = endType && (endType->getOmitType() == ElementType::OMIT_END_TAG ||
                                 endType->getOmitType() == ElementType::OMIT_END_TAG_BY_FLAG);

    Element* found = _openElementNamed(name, endType, crosses, omissible);
    pagedom::SourceText endSource = _takeSpan(tagEnd);
    if (found) {
        found->_setEndTagText(endSource);
        if (invalid)
            found->addErrorState(Node::INVALID_END_TAG_ERROR);
        // Where names are compared exactly, the end tag must repeat the
        // element's name (in lower case under the XML-style format).
        const ElementType* foundType = found->getElementType();
        const Document::DocumentFormatType format = _document->getFormatType();
        if (format != Document::HTML_FORMAT ||
            (foundType && foundType->getFormatType() == ElementType::FORMAT_XML_TAG)) {
            std::string expected = format == Document::XML_STYLE_FORMAT ? pagedom::str::lower(found->getNodeName())
                                                                        : found->getNodeName();
            if (name != expected)
                found->addErrorState(Node::MISMATCHED_END_TAG_ERROR);
        }
        _leaveTo(found->getParentNode());
        return;
    }
    // An end tag that closes nothing stands as an element of its own, with
    // only its end tag: the corrector removes it, the error list shows it.
    // Made as the document's factory makes it, with the type already known.
    Element* orphan = new Element(_document, name, endType);
    orphan->addRef();
    orphan->_setStartTagText(pagedom::SourceText());
    orphan->_setEndTagText(endSource);
    orphan->setElementType(orphan->getElementType());
    orphan->addErrorState(Node::MISSING_START_TAG_ERROR);
    if (invalid)
        orphan->addErrorState(Node::INVALID_END_TAG_ERROR);
    _append(orphan);
}
