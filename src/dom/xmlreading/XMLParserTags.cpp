// The XML reader's start and end tags: names, attributes, the empty-tag
// mark, raw content, and the open element an end tag closes.
#include "xmlreading/XMLParser.h"

#include "base/StringUtil.h"
#include "doctype/ContentModel.h"
#include "doctype/ElementType.h"
#include "tree/Attr.h"
#include "tree/CDATASection.h"
#include "tree/Document.h"
#include "tree/Element.h"
#include "xmlreading/ExistingNodes.h"

namespace {

// What ends a tag name and an unquoted attribute value.
const char* const NAME_END = " >/<\r\n\t";
// What ends an attribute name.
const char* const ATTRIBUTE_NAME_END = "= >/<\r\n\t";
// The lengths of "<" and "</".
const unsigned long START_OPEN_LENGTH = 1;
const unsigned long END_OPEN_LENGTH = 2;

inline bool isNameEnd(char c)
{
    return c == ' ' || c == '>' || c == '/' || c == '<' || c == '\r' || c == '\n' || c == '\t';
}

inline bool isWhite(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Whether an element's content is read raw: declared CDATA, or a JSP block.
bool hasRawContent(const ElementType* type)
{
    return type && (type->getContainerType() == ContentModel::CDATA_CONTENT ||
                    type->getFormatType() == ElementType::FORMAT_JSP_BLOCK);
}

} // namespace

// --- scanning helpers ---------------------------------------------------------------

unsigned long XMLParser::_scanTo(unsigned long from, const char* delims, unsigned long limit)
{
    unsigned long i = from;
    for (;;) {
        const std::string& text = _getBuffer();
        if (i < text.size()) {
            const std::size_t found = text.find_first_of(delims, i);
            if (found != std::string::npos)
                return found < limit ? static_cast<unsigned long>(found) : limit;
            i = static_cast<unsigned long>(text.size());
        }
        if (i >= limit)
            return limit;
        if (_read() == 0)
            return getLength();
    }
}

unsigned long XMLParser::_skipSpace(unsigned long from)
{
    unsigned long i = from;
    while (_have(i) && isWhite(_chars()[i]))
        ++i;
    return i;
}

// --- start tags ---------------------------------------------------------------------

bool XMLParser::_startTag()
{
    const unsigned long start = getOffset();
    const unsigned long nameEnd = _scanTo(start + START_OPEN_LENGTH, NAME_END);
    if (nameEnd == start + START_OPEN_LENGTH)
        return false;
    _flushText();
    forward(nameEnd - start);
    _scanAttributes(NOT_FOUND);
    // Any number of '/' before '>' make the empty-tag mark; anything else
    // is taken into the tag up to the next '>'.
    unsigned long i = getOffset();
    while (_have(i) && _chars()[i] == '/')
        ++i;
    const bool wellFormed = _have(i) && _chars()[i] == '>';
    const bool emptyMark = wellFormed && i > getOffset();
    unsigned long end = i + 1;
    if (!wellFormed) {
        end = _scanTo(i, ">");
        if (_have(end))
            ++end;
    }
    forward(end - getOffset());
    Element* element;
    {
        Building building(_document);
        element = _document->createElement(_copy(start + START_OPEN_LENGTH, nameEnd));
        _addAttributes(element, start);
        element->_setStartTagText(_span(start, end));
        element->_setEndTagText(pagedom::SourceText());
        if (!wellFormed)
            element->addErrorState(Node::INVALID_FORMAT_ERROR);
        element->setEmptyTag(emptyMark);
        _typeElement(element);
        element->_freezeAttrs(_valueOffsets.data(), _valueOffsets.size());
    }
    const bool raw = hasRawContent(element->getElementType());
    _insert(element);
    if (emptyMark)
        return true;
    _pushOpen(element, NONE);
    _current = element;
    if (raw)
        _rawContent(element);
    return true;
}

void XMLParser::_typeElement(Element* element)
{
    const ElementType* type = element->getElementType();
    if (type && (type->getFormatType() == ElementType::FORMAT_JSP_BLOCK ||
                 type->getFormatType() == ElementType::FORMAT_JSP_DIRECTIVE)) {
        // A JSP tag written in XML syntax keeps its type only where the
        // document supports that syntax.
        element->_setScriptSyntax(false);
        if (!_document->supportXMLFormat())
            type = nullptr;
    }
    element->_assignType(type, type != element->getElementType());
    // Typing marks JSP elements as written in script syntax ("<%...%>"); an
    // element read from a start tag never is.
    element->_setScriptSyntax(false);
    // Whether the end tag is missing is known when the element closes.
    element->clearErrorState(Node::MISSING_END_TAG_ERROR);
}

void XMLParser::_scanAttributes(unsigned long limit)
{
    _attributes.clear();
    for (;;) {
        unsigned long i = _skipSpace(getOffset());
        if (i > limit)
            i = limit;
        forward(i - getOffset());
        if (i >= limit || !_have(i))
            return;
        const char c = _chars()[i];
        if (c == '>' || c == '/' || c == '<' || c == '=')
            return;
        AttributeSpan a{i, _scanTo(i, ATTRIBUTE_NAME_END, limit), 0, 0, false, false};
        unsigned long next = a.nameEnd;
        const unsigned long afterName = _skipSpace(a.nameEnd);
        if (afterName < limit && _have(afterName) && _chars()[afterName] == '=') {
            a.hasValue = true;
            unsigned long valueAt = _skipSpace(afterName + 1);
            if (valueAt > limit)
                valueAt = limit;
            next = _readValue(valueAt, limit, a.valueStart, a.valueEnd, a.quoted);
        }
        forward(next - getOffset());
        _attributes.push_back(a);
    }
}

void XMLParser::_addAttributes(Element* element, unsigned long tagStart)
{
    const bool unquotedIsError = _document->getFormatType() != Document::HTML_FORMAT;
    _valueOffsets.clear();
    for (const AttributeSpan& a : _attributes) {
        Attr* attr = _document->createAttribute(_copy(a.nameStart, a.nameEnd));
        if (a.hasValue && a.valueEnd > a.valueStart)
            attr->_setValueText(_span(a.valueStart, a.valueEnd));
        if (a.hasValue && !a.quoted && unquotedIsError)
            attr->addErrorState(Node::INVALID_ATTR_ERROR);
        element->_addAttributeNode(attr);
        _valueOffsets.push_back(static_cast<std::uint32_t>(a.hasValue ? a.valueStart - tagStart : 0));
    }
}

unsigned long XMLParser::_readValue(unsigned long index, unsigned long limit, unsigned long& from,
                                    unsigned long& to, bool& quoted)
{
    quoted = false;
    if (index < limit && _have(index) && (_chars()[index] == '"' || _chars()[index] == '\'')) {
        const char quote[] = {_chars()[index], '\0'};
        const unsigned long close = _scanTo(index + 1, quote, limit);
        from = index + 1;
        if (close < limit && _have(close)) {
            quoted = true;
            to = close;
            return close + 1;
        }
        to = close < limit ? close : limit;
        return to;
    }
    from = index;
    to = index < limit ? _scanTo(index, NAME_END, limit) : index;
    return to;
}

// The raw text after the start tag, up to "</" and the element's name
// (ignoring case) followed by what ends a name, or to the end of the text.
void XMLParser::_rawContent(Element* element)
{
    const std::string& name = element->getTagName();
    const unsigned long from = getOffset();
    unsigned long end = _scanTo(from, "<");
    while (_have(end)) {
        const unsigned long nameStart = end + END_OPEN_LENGTH;
        const unsigned long nameEnd = nameStart + name.size();
        if (_have(nameEnd - 1) && _chars()[end + 1] == '/') {
            bool same = true;
            for (std::size_t k = 0; k < name.size() && same; ++k)
                same = pagedom::str::lowerChar(_chars()[nameStart + k]) == pagedom::str::lowerChar(name[k]);
            if (same && (!_have(nameEnd) || isNameEnd(_chars()[nameEnd])))
                break;
        }
        end = _scanTo(end + 1, "<");
    }
    if (end > from) {
        const std::string raw = _copy(from, end);
        const Building building(_document);
        CDATASection* section = _document->createCDATASection(raw);
        section->setSource(raw);
        element->_appendParsed(section, element->canContain(section));
    }
    forward(end - from);
}

// --- end tags -----------------------------------------------------------------------

bool XMLParser::_endTag()
{
    const unsigned long start = getOffset();
    const unsigned long nameStart = start + END_OPEN_LENGTH;
    const unsigned long nameEnd = _scanTo(nameStart, NAME_END);
    if (nameEnd == nameStart)
        return false;
    _flushText();
    const std::string name = _copy(nameStart, nameEnd);
    // White space may stand before the '>'; anything else is skipped up to
    // the next '>' and makes the end tag invalid.
    const unsigned long close = _skipSpace(nameEnd);
    bool invalid = false;
    unsigned long end;
    if (_have(close) && _chars()[close] == '>') {
        end = close + 1;
    } else {
        invalid = true;
        end = _scanTo(close, ">");
        if (_have(end))
            ++end;
    }
    forward(end - start);
    const std::uint32_t found = _openNamed(name);
    if (found != NONE) {
        _closeWithEndTag(found, name, start, end, invalid);
        return true;
    }
    // An end tag that closes nothing stands as an element of its own, with
    // only its end tag: the corrector removes it, the error list shows it.
    Element* orphan;
    {
        Building building(_document);
        orphan = _document->createElement(name);
        orphan->_setStartTagText(pagedom::SourceText());
        orphan->_setEndTagText(_span(start, end));
        orphan->setElementType(orphan->getElementType());
        orphan->addErrorState(Node::MISSING_START_TAG_ERROR);
        if (invalid)
            orphan->addErrorState(Node::INVALID_END_TAG_ERROR);
    }
    _insert(orphan);
    return true;
}

void XMLParser::_closeWithEndTag(std::uint32_t found, const std::string& name, unsigned long from, unsigned long to,
                                 bool invalid)
{
    _closeAbove(found);
    bool existing = false;
    Element* element = _beginClosingTop(existing);
    element->_setEndTagText(_span(from, to));
    element->clearErrorState(Node::MISSING_END_TAG_ERROR | Node::INVALID_END_TAG_ERROR |
                             Node::MISMATCHED_END_TAG_ERROR);
    if (invalid)
        element->addErrorState(Node::INVALID_END_TAG_ERROR);
    // Where names are compared exactly, the end tag must repeat the
    // element's name (in lower case under the XML-style format).
    const ElementType* type = element->getElementType();
    const Document::DocumentFormatType format = _document->getFormatType();
    if (format != Document::HTML_FORMAT || (type && type->getFormatType() == ElementType::FORMAT_XML_TAG)) {
        const std::string expected =
            format == Document::XML_STYLE_FORMAT ? pagedom::str::lower(element->getTagName()) : element->getTagName();
        if (name != expected)
            element->addErrorState(Node::MISMATCHED_END_TAG_ERROR);
    }
    _endClosingTop(element, existing);
}
