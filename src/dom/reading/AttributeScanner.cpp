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

// Byte classes of the direct reading of a start tag.  Each stop set holds
// the byte 0 as well: the page is a string, so the byte past its end is a
// 0, and a loop over a stop set needs no bounds check, only a look at each
// 0 it stops at (one inside the page is an ordinary byte).
enum : unsigned char {
    TAG_SPACE = 0x1,         // white space (Lexer::isSpace)
    NAME_END = 0x2,          // ends an attribute name: white space, '>', '='
    NAME_STOP = 0x4,         // NAME_END, the bytes a plain name declines, 0
    DOUBLE_QUOTED_STOP = 0x8,  // '"', '<', line feed and 0
    SINGLE_QUOTED_STOP = 0x10, // '\'', '<', line feed and 0
    BARE_STOP = 0x20         // white space, '>', '<' and 0
};

struct TagBytes {
    unsigned char table[256];

    TagBytes() : table()
    {
        for (unsigned c = 0; c < 256; ++c) {
            if (Lexer::isSpace(static_cast<char>(c)))
                table[c] |= TAG_SPACE | NAME_END | NAME_STOP | BARE_STOP;
        }
        for (const char* p = ">="; *p; ++p)
            table[static_cast<unsigned char>(*p)] |= NAME_END | NAME_STOP;
        for (const char* p = "<&/\"'"; *p; ++p)
            table[static_cast<unsigned char>(*p)] |= NAME_STOP;
        table[static_cast<unsigned char>('"')] |= DOUBLE_QUOTED_STOP;
        table[static_cast<unsigned char>('\'')] |= SINGLE_QUOTED_STOP;
        table[static_cast<unsigned char>('<')] |= DOUBLE_QUOTED_STOP | SINGLE_QUOTED_STOP | BARE_STOP;
        table[static_cast<unsigned char>('\n')] |= DOUBLE_QUOTED_STOP | SINGLE_QUOTED_STOP;
        table[static_cast<unsigned char>('>')] |= BARE_STOP;
        table[0] |= NAME_STOP | DOUBLE_QUOTED_STOP | SINGLE_QUOTED_STOP | BARE_STOP;
    }

    bool has(char c, unsigned char bits) const
    {
        return (table[static_cast<unsigned char>(c)] & bits) != 0;
    }
};

const TagBytes& tagBytes()
{
    static const TagBytes bytes;
    return bytes;
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
// bare or no values, and the closing '>' or "/>".  It gives exactly what
// the reading token by token gives; anything less plain (any other slash,
// a '<' or '&' inside the tag other than closed JSP code in a quoted
// value, quotes or '=' where a name belongs, the end of the text) is left
// to that reading, with nothing consumed.
bool AttributeScanner::_scanDirectly(unsigned long from, TagEnd& tag)
{
    const char* s = _page.data();
    const unsigned long n = static_cast<unsigned long>(_page.size());
    const TagBytes& bytes = tagBytes();
    // Leaving the tag to the token reading: nothing may be left behind.
    auto decline = [this]() {
        _attributes.clear();
        return false;
    };
    // The line feeds read, for the lexer to go on after the tag with its
    // line count right without reading the tag again.
    unsigned long lines = 0;
    // The first byte at or after i in the stop set, or n: a 0 before n is
    // stepped over as the ordinary byte it is.
    auto skipTo = [&](unsigned long i, unsigned char stop) {
        for (;;) {
            while (!bytes.has(s[i], stop))
                ++i;
            if (s[i] != 0 || i >= n)
                return i;
            ++i;
        }
    };
    // The closing quote of a value quoted with quote, a '<' or n, counting
    // the line feeds on the way (they stop the quoted sets for that).  JSP
    // code in the value ("<%= id %>") is stepped over whole, quotes in it
    // included, and its line feeds are not counted, as the lexer counts
    // none inside a block; any other '<' ends the scan.
    auto skipQuoted = [&](unsigned long i, char quote) {
        const unsigned char stop = quote == '"' ? DOUBLE_QUOTED_STOP : SINGLE_QUOTED_STOP;
        for (;;) {
            i = skipTo(i, stop);
            if (s[i] == '\n') {
                ++lines;
                ++i;
            } else if (s[i] == '<' && i < n) {
                const unsigned long codeEnd = _lexer.closedJSPCodeEnd(i);
                if (codeEnd == Lexer::NOT_FOUND)
                    return i;
                i = codeEnd;
            } else {
                return i;
            }
        }
    };
    // White space never is a 0, so the 0 past the end stops it.
    auto skipSpace = [&](unsigned long i) {
        for (; bytes.has(s[i], TAG_SPACE); ++i)
            lines += s[i] == '\n';
        return i;
    };
    unsigned long i = from;
    for (;;) {
        i = skipSpace(i);
        if (i >= n)
            return decline();
        char c = s[i];
        if (c == '>') {
            tag.end = i + 1;
            break;
        }
        if (c == '/' && s[i + 1] == '>') {
            // The empty-tag mark closing the tag: "<x a=\"1\"/>".
            tag.emptyMark = true;
            tag.end = i + 2;
            break;
        }
        if (c == '/' || c == '<' || c == '=')
            return decline();
        Attribute attr{i, i, 0, 0, false, false};
        i = skipTo(i, NAME_STOP);
        // Short of white space, '>', '=' and the end, a byte a plain name
        // never holds: '<', '&', '/' or a quote.
        if (i < n && !bytes.has(s[i], NAME_END))
            return decline();
        attr.nameEnd = i;
        i = skipSpace(i);
        if (i < n && s[i] == '=') {
            i = skipSpace(i + 1);
            if (i >= n)
                return decline();
            char v = s[i];
            if (v == '"' || v == '\'') {
                const unsigned long close = skipQuoted(i + 1, v);
                if (close >= n || s[close] == '<')
                    return decline();
                attr.valueStart = i + 1;
                attr.valueEnd = close;
                attr.hasValue = true;
                attr.quoted = true;
                i = close + 1;
            } else if (v != '>') {
                unsigned long start = i;
                i = skipTo(i, BARE_STOP);
                if (i < n && s[i] == '<')
                    return decline();
                attr.valueStart = start;
                attr.valueEnd = i;
                attr.hasValue = true;
            }
        }
        _attributes.push_back(attr);
    }
    // Tokens the lexer may have queued lie inside the tag.
    _lexer.stepOver(from, tag.end, lines);
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
