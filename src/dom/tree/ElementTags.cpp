// The tags of an element: the stored and generated start and end tags, how
// they are produced again, omitting and specifying them, and writing them.
#include "tree/Element.h"

#include "base/Lexer.h"
#include "base/Options.h"
#include "base/StringUtil.h"
#include "doctype/ContentModel.h"
#include "doctype/ElementTable.h"
#include "doctype/ElementType.h"
#include "node/ChangeHooks.h"
#include "tree/Attr.h"
#include "tree/Document.h"
#include "tree/ElementSupport.h"

using pagedom::forEachAttr;

const std::string Element::OPEN_TAG = "<";
const std::string Element::END_OPEN_TAG = "</";
const std::string Element::CLOSE_TAG = ">";
const std::string Element::EMPTY_CLOSE_TAG = " />";
const std::string Element::MW_OPEN_TAG = "<!%";
const std::string Element::SSI_OPEN_TAG = "<!--#";
const std::string Element::SSI_CLOSE_TAG = "-->";
const std::string Element::JSP_OPEN_TAG = "<%";
const std::string Element::JSP_EXPR_OPEN_TAG = "<%=";
const std::string Element::JSP_DECL_OPEN_TAG = "<%!";
const std::string Element::JSP_DIR_OPEN_TAG = "<%@";
const std::string Element::JSP_CLOSE_TAG = "%>";

namespace {

// A name in the letter case an option asks for.
std::string applyCase(const std::string& s, DOMOptions::FormatOption::CaseType type)
{
    switch (type) {
    case DOMOptions::FormatOption::CASE_UPPER:
        return pagedom::str::upper(s);
    case DOMOptions::FormatOption::CASE_LOWER:
        return pagedom::str::lower(s);
    default:
        return s;
    }
}

} // namespace

bool Element::_isBeingRead() const
{
    const Document* doc = getOwnerDocument();
    return doc && doc->_isCreatingNodes();
}

bool Element::_beginOwnEdit()
{
    _sourceTouched();
    if (_isBeingRead())
        return false;
    pagedom::ChangeHooks::announceBeginModify(_announcedNode());
    return true;
}

void Element::_endOwnEdit()
{
    _addUpdateBits(UPDATE_CONTENT_MODIFIED);
    pagedom::ChangeHooks::announceEndModify(_announcedNode());
}

void Element::_regenerateTags()
{
    _sourceTouched();
    // Asked without producing the tags: a tag still to be produced is
    // produced from the element as it will be, not as it is now.
    const bool omitted = !_startGenerated && _startTag.empty() && !_endGenerated && _endKind == END_NONE;
    if (!omitted) {
        _startGenerated = true;
        _endGenerated = true;
    }
}

void Element::omitTag()
{
    const bool edit = _beginOwnEdit();
    _replaceStartTag(pagedom::SourceText());
    _storeEndTag(pagedom::SourceText());
    _startGenerated = false;
    _endGenerated = false;
    if (isVirtualElement())
        clearErrorState(MISSING_START_TAG_ERROR | MISSING_END_TAG_ERROR);
    if (edit)
        _endOwnEdit();
}

void Element::specifyTag()
{
    const bool edit = _beginOwnEdit();
    _startGenerated = true;
    _endGenerated = true;
    if (edit)
        _endOwnEdit();
}

void Element::setEmptyTag(bool on)
{
    if (_emptyTag == on)
        return;
    const bool edit = _beginOwnEdit();
    _emptyTag = on;
    if (edit) {
        _regenerateTags();
        _endOwnEdit();
    }
}

void Element::setStartTag(const std::string& text)
{
    const bool edit = _beginOwnEdit();
    _setStartTagText(pagedom::SourceText(text));
    if (edit)
        _endOwnEdit();
}

void Element::setEndTag(const std::string& text)
{
    const bool edit = _beginOwnEdit();
    _setEndTagText(pagedom::SourceText(text));
    if (edit)
        _endOwnEdit();
}

void Element::_setStartTagText(const pagedom::SourceText& text)
{
    _sourceTouched();
    _replaceStartTag(text);
    _startGenerated = false;
}

void Element::_setEndTagText(const pagedom::SourceText& text)
{
    _sourceTouched();
    _storeEndTag(text);
    _endGenerated = false;
}

void Element::_replaceStartTag(const pagedom::SourceText& text) const
{
    _thawAttrs(); // the records point into the start tag
    if (_endKind == END_MATCHING) {
        // The end tag was told by the start tag; it keeps its text.
        const std::string end = "</" + std::string(_writtenName()) + ">";
        _extra().endTag = pagedom::SourceText(end);
        _endKind = END_STORED;
    }
    _startTag = text;
}

void Element::_storeEndTag(const pagedom::SourceText& text) const
{
    const std::string_view end = text.view();
    if (end.empty()) {
        _endKind = END_NONE;
    } else if (_isMatchingEndTag(end)) {
        _endKind = END_MATCHING;
    } else if (end == JSP_CLOSE_TAG) {
        _endKind = END_JSP_CLOSE;
    } else {
        _extra().endTag = text;
        _endKind = END_STORED;
        return;
    }
    if (_extras)
        _extras->endTag.clear();
}

namespace {

bool endsName(char c)
{
    return c == '>' || c == '/' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Equal ignoring ASCII case, same length.
bool sameIgnoringCase(std::string_view a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (pagedom::str::lowerChar(a[i]) != pagedom::str::lowerChar(b[i]))
            return false;
    return true;
}

} // namespace

// Whether end is "</" followed by the start tag's written name and ">".
bool Element::_isMatchingEndTag(std::string_view end) const
{
    if (end.size() < 4 || end[0] != '<' || end[1] != '/' || end.back() != '>')
        return false;
    const std::string_view name = end.substr(2, end.size() - 3);
    const std::string_view tag = _startTag.view();
    if (tag.size() < name.size() + 2 || tag[0] != '<' || tag.compare(1, name.size(), name) != 0 ||
        !endsName(tag[name.size() + 1]))
        return false;
    for (char c : name)
        if (endsName(c))
            return false;
    return true;
}

std::string_view Element::_writtenName() const
{
    const std::string_view tag = _startTag.view();
    if (tag.size() < 2 || tag[0] != '<')
        return std::string_view();
    std::size_t end = 1;
    while (end < tag.size() && !endsName(tag[end]))
        ++end;
    return tag.substr(1, end - 1);
}

bool Element::canOmitEndTag() const
{
    if (!_elementType)
        return _inHTMLDocument();
    unsigned int omit = _elementType->getOmitType();
    if (omit == ElementType::OMIT_END_TAG || omit == ElementType::OMIT_END_TAG_BY_FLAG)
        return true;
    return omit == ElementType::OMIT_BOTH_TAGS && !_startGenerated && _startTag.empty();
}

// An element without type in the HTML document whose start tag is empty (an
// omitted or implied container) keeps both tags empty.
bool Element::_keepsOmittedTags() const
{
    return !_elementType && !_scriptSyntax && _inHTMLDocument() && _startTag.empty();
}

unsigned int Element::_tagKind() const
{
    if (_elementType) {
        const ElementType::FormatType f = _elementType->getFormatType();
        const bool script = f == ElementType::FORMAT_JSP_BLOCK || f == ElementType::FORMAT_JSP_DIRECTIVE;
        if (script && !_scriptSyntax)
            return ElementType::FORMAT_XML_TAG;
        return f > ElementType::FORMAT_XML_TAG ? ElementType::FORMAT_XML_TAG : f;
    }
    if (_scriptSyntax)
        return ElementType::FORMAT_JSP_BLOCK;
    return _inHTMLDocument() ? ElementType::FORMAT_HTML_TAG : ElementType::FORMAT_XML_TAG;
}

std::string Element::_tagName() const
{
    std::string name = getTypeName();
    const Document* doc = getOwnerDocument();
    DOMOptions::FormatOption::CaseType caseType = DOMOptions::getFormatOption()->getTagNameCaseType();
    if (_elementType && doc && doc->getFormatType() == Document::XML_STYLE_FORMAT)
        return pagedom::str::lower(name);
    return applyCase(name, caseType);
}

std::string Element::_generateStartTag() const
{
    if (_keepsOmittedTags())
        return std::string();
    const unsigned int kind = _tagKind();
    std::string out = _startTagOpening(kind);
    forEachAttr(_attrs(), [&out](Attr* attr) {
        std::string text = attr->getSource();
        if (!text.empty())
            out += " " + text;
    });
    out += _startTagClosing(kind);
    return out;
}

// What a produced start tag of this kind opens with: the opening delimiter
// and the name.
std::string Element::_startTagOpening(unsigned int kind) const
{
    switch (kind) {
    case ElementType::FORMAT_HTML_TAG:
        return OPEN_TAG + _tagName();
    case ElementType::FORMAT_MIDDLEWARE_TAG:
        return MW_OPEN_TAG + getTypeName();
    case ElementType::FORMAT_SSI_DIRECTIVE: {
        // The directive name follows the "ssi:" prefix.
        const std::string name = getTypeName();
        const std::size_t colon = name.find(':');
        return SSI_OPEN_TAG + (colon == std::string::npos ? name : name.substr(colon + 1));
    }
    case ElementType::FORMAT_JSP_BLOCK: {
        const int id = getElementID();
        return id == ElementTable::ID_JSP_EXPRESSION    ? JSP_EXPR_OPEN_TAG
               : id == ElementTable::ID_JSP_DECLARATION ? JSP_DECL_OPEN_TAG
                                                        : JSP_OPEN_TAG;
    }
    case ElementType::FORMAT_JSP_DIRECTIVE: {
        // The directive name follows "jsp:directive.".
        const std::string name = getTypeName();
        const std::size_t dot = name.find('.');
        if (dot != std::string::npos && dot + 1 < name.size())
            return JSP_DIR_OPEN_TAG + " " + name.substr(dot + 1);
        return JSP_DIR_OPEN_TAG;
    }
    default:
        return OPEN_TAG + getTypeName();
    }
}

// What a produced start tag of this kind closes with.
std::string Element::_startTagClosing(unsigned int kind) const
{
    const Document* doc = getOwnerDocument();
    switch (kind) {
    case ElementType::FORMAT_HTML_TAG:
    case ElementType::FORMAT_MIDDLEWARE_TAG:
        // The empty-tag flag is written in every format: a reader keeps it
        // only where it decides what the element may hold.
        return (_emptyTag || (doc && doc->getFormatType() != Document::HTML_FORMAT && isEmptyElement()))
                   ? EMPTY_CLOSE_TAG
                   : CLOSE_TAG;
    case ElementType::FORMAT_SSI_DIRECTIVE:
        return " " + SSI_CLOSE_TAG;
    case ElementType::FORMAT_JSP_BLOCK:
        return std::string();  // the content child follows
    case ElementType::FORMAT_JSP_DIRECTIVE:
        return " " + JSP_CLOSE_TAG;
    default:
        return isEmptyElement() ? EMPTY_CLOSE_TAG : CLOSE_TAG;
    }
}

std::string Element::_generateEndTag() const
{
    if (_keepsOmittedTags())
        return std::string();
    const Document* doc = getOwnerDocument();
    switch (_tagKind()) {
    case ElementType::FORMAT_HTML_TAG:
        if (!_elementType)
            return std::string();
        if (_elementType->getContainerType() == ContentModel::EMPTY_CONTENT)
            return std::string();
        // An end tag the type lets a page leave out (start tag required,
        // end tag omissible) is not written under the HTML rules.
        if ((_elementType->getOmitType() == ElementType::OMIT_END_TAG ||
             _elementType->getOmitType() == ElementType::OMIT_END_TAG_BY_FLAG) &&
            (!doc || doc->getFormatType() == Document::HTML_FORMAT))
            return std::string();
        return END_OPEN_TAG + _tagName() + CLOSE_TAG;
    case ElementType::FORMAT_MIDDLEWARE_TAG:
    case ElementType::FORMAT_SSI_DIRECTIVE:
    case ElementType::FORMAT_JSP_DIRECTIVE:
        return std::string();
    case ElementType::FORMAT_JSP_BLOCK:
        return JSP_CLOSE_TAG;
    default:
        return isEmptyElement() ? std::string() : END_OPEN_TAG + getTypeName() + CLOSE_TAG;
    }
}

std::string_view Element::_startTagText() const
{
    if (_startGenerated) {
        _replaceStartTag(pagedom::SourceText(_generateStartTag()));
        _startGenerated = false;
    }
    return _startTag.view();
}

void Element::_settleEndTag() const
{
    if (_endGenerated) {
        _storeEndTag(pagedom::SourceText(_generateEndTag()));
        _endGenerated = false;
    }
}

bool Element::hasEndTag() const
{
    _settleEndTag();
    return _endKind != END_NONE;
}

void Element::_appendEndTag(std::string& out) const
{
    _settleEndTag();
    if (_endKind == END_MATCHING) {
        out += "</";
        out += _writtenName();
        out += '>';
    } else if (_endKind == END_STORED) {
        out += _extras->endTag.view();
    } else if (_endKind == END_JSP_CLOSE) {
        out += JSP_CLOSE_TAG;
    }
}

std::string Element::getStartTag() const
{
    return std::string(_startTagText());
}

std::string Element::getEndTag() const
{
    std::string out;
    _appendEndTag(out);
    return out;
}

std::string Element::getStartSource() const
{
    return getMetaStartSource() + getStartTag();
}

std::string Element::getEndSource() const
{
    return getEndTag() + getMetaEndSource();
}

void Element::_writeStart(std::string& out) const
{
    out += _startTagText();
}

void Element::_writeEnd(std::string& out) const
{
    _appendEndTag(out);
}

// The page text is known only for an element still as read whose start tag
// is a span of its page: it begins there.  An element given metadata after
// a write learned its text writes its comments around it: node by node.
Node::WholeText Element::_wholeText(std::string_view& text, const char*& blockEnd) const
{
    if (_keptLength == KEPT_UNKNOWN || _keptLength == KEPT_NONE || !_isAsRead() || _meta())
        return WRITTEN_IN_PIECES;
    text = std::string_view(_startTag.blockStart(), _keptLength);
    blockEnd = _startTag.blockEnd();
    return KEPT_PAGE_TEXT;
}

bool Element::_learnsKeptSource(const char*& start, const char*& pageEnd) const
{
    if (_keptLength != KEPT_UNKNOWN || !_isAsRead() || _startGenerated)
        return false;
    start = _startTag.blockStart();
    pageEnd = _startTag.blockEnd();
    return start != nullptr;
}

void Element::_keepSourceLength(std::size_t length) const
{
    _keptLength = length == 0 || length >= KEPT_NONE ? KEPT_NONE : static_cast<unsigned int>(length);
}

void Element::formatSource()
{
    // The HTML document tidies the element's content as it lays it out;
    // the node the last pass left the cursor in, which may lie anywhere,
    // goes first if it is empty, as a change of its own.
    Document* doc = getOwnerDocument();
    const bool html = doc && doc->isHTMLDocument();
    bool dropped = false;
    // An element that went with it is formatted no more.
    if (html && !doc->_dropPendingNodeBefore(this, dropped))
        return;
    pagedom::ChangeHooks::SubtreeChange change(this);
    _formatOwn();
    if (html)
        doc->_runAdjuster(this, true);
    else
        Node::formatSource();
}

// Formatting writes the tags the page wrote again in the form the options
// ask for, where the new tags read back as this very element; every other
// tag keeps the page's bytes.  A tag the page left out stays left out (an
// end tag never appears or disappears by formatting, so that no text moves
// into or out of the element), and a tag still to be produced after an edit
// is left to that.
void Element::_formatOwn()
{
    if (!_hasReproducibleTags())
        return;
    _sourceTouched();
    bool regularEnd = false;
    if (!_endGenerated && _endKind != END_NONE) {
        std::string end;
        _appendEndTag(end);
        regularEnd = _isRegularEndTag(end);
    }
    if (!_startGenerated && !_startTag.empty())
        _replaceStartTag(pagedom::SourceText(_generateStartTag()));
    if (regularEnd) {
        const std::string name = _tagKind() == ElementType::FORMAT_HTML_TAG ? _tagName() : getTypeName();
        _storeEndTag(pagedom::SourceText(END_OPEN_TAG + name + CLOSE_TAG));
    }
    _addUpdateBits(UPDATE_CONTENT_MODIFIED);
}

// Tags the reader could not make sense of are the page's own: in the HTML
// document an element without type (custom and JSP tag libraries, whose
// names are case-sensitive; declarations and marked sections; names made by
// JSP code; malformed names).  So are the tags of server code (JSP blocks,
// directives and actions, server-side includes, the middleware form), tags
// with a format error, and tags whose attributes would not read back the
// same (see Attr::_writesBackFaithfully).
bool Element::_hasReproducibleTags() const
{
    if (!_elementType && _inHTMLDocument())
        return false;
    if (isJSPElement() || (getErrorState() & INVALID_FORMAT_ERROR))
        return false;
    const unsigned int kind = _tagKind();
    if (kind != ElementType::FORMAT_HTML_TAG && kind != ElementType::FORMAT_XML_TAG)
        return false;
    if (!_startGenerated && !_startTag.empty() && !_startTagOpensWithName())
        return false;
    bool faithful = true;
    forEachAttr(_attrs(), [&faithful](Attr* attr) { faithful = faithful && attr->_writesBackFaithfully(); });
    return faithful;
}

bool Element::_startTagOpensWithName() const
{
    const std::string_view tag = _startTag.view();
    const std::string& name = _name();
    return tag.size() > name.size() && tag[0] == '<' &&
           sameIgnoringCase(tag.substr(1, name.size()), name) &&
           (tag.size() == name.size() + 1 || endsName(tag[name.size() + 1]));
}

bool Element::_isRegularEndTag(std::string_view end) const
{
    const std::string& name = _name();
    const std::size_t nameEnd = END_OPEN_TAG.size() + name.size();
    if (name.empty() || end.size() <= nameEnd || end.compare(0, END_OPEN_TAG.size(), END_OPEN_TAG) != 0 ||
        end.back() != '>' || !sameIgnoringCase(end.substr(END_OPEN_TAG.size(), name.size()), name))
        return false;
    for (std::size_t i = nameEnd; i + 1 < end.size(); ++i)
        if (!Lexer::isSpace(end[i]))
            return false;
    return true;
}

