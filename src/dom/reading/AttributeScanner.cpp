// Attribute scanning for the page parser: start tags straight from the text
// or token by token, and the attribute pairs of directives.
#include "reading/AttributeScanner.h"

#include "base/StringUtil.h"
#include "reading/HTMLLexer.h"

namespace pagedom {

namespace {

// White space between directive attributes.
bool isWhite(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

} // namespace

AttributeScanner::AttributeScanner(const std::string& page, HTMLLexer& lexer) : _page(page), _lexer(lexer) {}

bool AttributeScanner::has(const char* upperName, const char* upperValue) const
{
    const char* s = _page.data();
    for (const Attribute& a : _attributes)
        if (str::matchesUpperWord(s + a.nameStart, a.nameEnd - a.nameStart, upperName) &&
            str::matchesUpperWord(s + a.valueStart, a.valueEnd - a.valueStart, upperValue))
            return true;
    return false;
}

// --- start tags -------------------------------------------------------------------

AttributeScanner::TagEnd AttributeScanner::scanStartTag(const Lexer::Token& name, bool direct)
{
    _attributes.clear();
    TagEnd tag;
    if (direct && name.kind == Lexer::TOKEN_NAME && name.end != Lexer::NOT_FOUND && _scanDirectly(name.end, tag))
        return tag;
    return _scanTokens();
}

// The usual start tag read straight from the text: attributes with quoted,
// bare or no values, and the closing '>'.  It gives exactly what the reading
// token by token gives; anything less plain (an empty-tag or stray slash, a
// '<' or '&' inside the tag, quotes or '=' where a name belongs, the end of
// the text) is left to that reading, with nothing consumed.
bool AttributeScanner::_scanDirectly(unsigned long from, TagEnd& tag)
{
    const char* s = _page.data();
    const unsigned long n = static_cast<unsigned long>(_page.size());
    // Leaving the tag to the token reading: nothing may be left behind.
    auto decline = [this]() {
        _attributes.clear();
        return false;
    };
    unsigned long i = from;
    for (;;) {
        while (i < n && Lexer::isSpace(s[i]))
            ++i;
        if (i >= n)
            return decline();
        char c = s[i];
        if (c == '>') {
            tag.end = i + 1;
            break;
        }
        if (c == '/' || c == '<' || c == '=')
            return decline();
        Attribute attr{i, i, 0, 0, false, false};
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
        _attributes.push_back(attr);
    }
    // The tokens the lexer may have queued lie inside the tag.
    _lexer.restartAt(tag.end);
    return true;
}

// The attribute states of a start tag: white space between attributes, a
// '/' that marks the tag empty (a format error when it repeats or comes
// before an attribute), attributes, and the closing '>'.
AttributeScanner::TagEnd AttributeScanner::_scanTokens()
{
    TagEnd tag;
    bool slashSeen = false;
    _codeLeftOpen = false;
    for (;;) {
        const unsigned long kind = _peekKind();
        if (kind == Lexer::TOKEN_SPACE) {
            _take();
        } else if (kind == Lexer::TOKEN_GT) {
            _take(tag.end);
            tag.formatError = tag.formatError || _codeLeftOpen;
            return tag;
        } else if (kind == Lexer::TOKEN_EOF) {
            tag.end = static_cast<unsigned long>(_page.size());
            tag.unterminated = true;
            return tag;
        } else if (kind == Lexer::TOKEN_SLASH) {
            _take();
            tag.formatError = tag.formatError || slashSeen;
            slashSeen = true;
            tag.emptyMark = true;
        } else {
            tag.formatError = tag.formatError || slashSeen;
            Attribute attribute{0, 0, 0, 0, false, false};
            if (_scanTokenAttribute(attribute))
                _attributes.push_back(attribute);
        }
    }
}

bool AttributeScanner::_scanTokenAttribute(Attribute& attribute)
{
    attribute.nameStart = _lexer.peekToken(0)->start;
    attribute.nameEnd = _rawRun(true);
    // After the name: '=' leads to a value.
    _skipSpaces();
    if (_peekKind() == Lexer::TOKEN_EQUALS) {
        _take();
        _skipSpaces();
        const unsigned long kind = _peekKind();
        if (kind == Lexer::TOKEN_QUOTE || kind == Lexer::TOKEN_APOS) {
            unsigned long start;
            _take(start);
            attribute.valueStart = start;
            attribute.valueEnd = _quotedValue(kind, start);
            attribute.hasValue = true;
            attribute.quoted = true;
        } else if (kind != Lexer::TOKEN_GT && kind != Lexer::TOKEN_EOF) {
            attribute.valueStart = _lexer.peekToken(0)->start;
            attribute.valueEnd = _rawRun(false);
            attribute.hasValue = true;
        }
    }
    const unsigned long length = attribute.nameEnd - attribute.nameStart;
    return length != 0 && !(length == 1 && _page[attribute.nameStart] == '/');
}

unsigned long AttributeScanner::_rawRun(bool stopAtEquals)
{
    unsigned long end = _lexer.peekToken(0)->start;
    bool first = true;
    for (;;) {
        const unsigned long kind = _peekKind();
        if (kind == Lexer::TOKEN_EOF || kind == Lexer::TOKEN_SPACE || kind == Lexer::TOKEN_GT)
            break;
        if (stopAtEquals && kind == Lexer::TOKEN_EQUALS && !first)
            break;
        if (kind == Lexer::TOKEN_LT && _peekKind(1) == Lexer::TOKEN_JSP) {
            // An embedded JSP block is taken whole, with its closing '>'.
            _take();
            _take(end);
            if (_peekKind() == Lexer::TOKEN_GT)
                _take(end);
        } else {
            _take(end);
        }
        first = false;
    }
    return end;
}

unsigned long AttributeScanner::_quotedValue(unsigned long quote, unsigned long start)
{
    unsigned long end = start;
    while (_peekKind() != Lexer::TOKEN_EOF) {
        unsigned long tokenEnd;
        if (_take(tokenEnd) == quote)
            return end;
        end = tokenEnd;
    }
    return static_cast<unsigned long>(_page.size());
}

// --- token access ------------------------------------------------------------------

unsigned long AttributeScanner::_take(unsigned long& end)
{
    Lexer::Token* token = _lexer.nextToken();
    const unsigned long kind = token->kind;
    end = _endOf(token);
    if ((kind == Lexer::TOKEN_JSP && !_endsCode(token)) ||
        ((kind == Lexer::TOKEN_COMMENT || kind == Lexer::TOKEN_JSP_COMMENT) && !_endsComment(token)))
        _codeLeftOpen = true;
    _lexer.deleteToken(token);
    return kind;
}

unsigned long AttributeScanner::_take()
{
    unsigned long end;
    return _take(end);
}

unsigned long AttributeScanner::_peekKind(unsigned long i)
{
    return _lexer.peekToken(i)->kind;
}

void AttributeScanner::_skipSpaces()
{
    while (_peekKind() == Lexer::TOKEN_SPACE)
        _take();
}

unsigned long AttributeScanner::_endOf(const Lexer::Token* token) const
{
    if (token->end == Lexer::NOT_FOUND || token->end > _page.size())
        return static_cast<unsigned long>(_page.size());
    return token->end;
}

bool AttributeScanner::_endsCode(const Lexer::Token* token) const
{
    // The token runs from the '%' after '<' to before the closing '>'.
    return token->end != Lexer::NOT_FOUND && token->end <= _page.size() && token->end >= token->start + 2 &&
           _page[token->end - 1] == '%';
}

bool AttributeScanner::_endsComment(const Lexer::Token* token) const
{
    if (token->end == Lexer::NOT_FOUND || token->end >= _page.size())
        return false;
    // A JSP comment's token stops at the '%' of its "--%>"; one that ended
    // at a '>' for want of it stops at that '>'.
    if (token->kind == Lexer::TOKEN_JSP_COMMENT)
        return _page[token->end] == '%';
    // An HTML comment's token runs from the '!' after '<' to before the
    // closing '>'; its "--" must stand after the opening ones ("<!-->"
    // ended at its '>').
    constexpr unsigned long SHORTEST = 5;  // "!----"
    return token->end >= token->start + SHORTEST && _page[token->end - 1] == '-' && _page[token->end - 2] == '-';
}

// --- directives --------------------------------------------------------------------

// The attribute pairs of "<!--#include file=x -->" and "<%@ page import=x %>":
// a name runs to white space, '%' or a '=' after its first byte; only '='
// after it leads to a value, which stands in single or double quotes or
// runs to white space.  A quote never closed runs to the end.
void AttributeScanner::scanDirective(unsigned long from, unsigned long to)
{
    _attributes.clear();
    const char* s = _page.data();
    if (to > _page.size())
        to = static_cast<unsigned long>(_page.size());
    unsigned long i = from;
    for (;;) {
        while (i < to && isWhite(s[i]))
            ++i;
        const unsigned long nameStart = i;
        while (i < to && !isWhite(s[i]) && s[i] != '%' && !(s[i] == '=' && i > nameStart))
            ++i;
        if (i == nameStart)
            return;
        Attribute attr{nameStart, i, 0, 0, false, false};
        while (i < to && isWhite(s[i]))
            ++i;
        if (i < to && s[i] == '=') {
            ++i;
            while (i < to && isWhite(s[i]))
                ++i;
            if (i < to && (s[i] == '"' || s[i] == '\'')) {
                const char quote = s[i++];
                unsigned long close = i;
                while (close < to && s[close] != quote)
                    ++close;
                attr.valueStart = i;
                attr.valueEnd = close;
                attr.quoted = true;
                i = close < to ? close + 1 : to;
            } else {
                attr.valueStart = i;
                while (i < to && !isWhite(s[i]))
                    ++i;
                attr.valueEnd = i;
            }
            attr.hasValue = true;
        }
        _attributes.push_back(attr);
        if (i < to && s[i] == '%')
            return;
    }
}

} // namespace pagedom
