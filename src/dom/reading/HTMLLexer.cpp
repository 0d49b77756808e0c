// The page lexer: cuts HTML, JSP and server-side include source into the
// tokens the page parser reads.
#include "reading/HTMLLexer.h"

#include <cstring>

#include "doctype/DocumentType.h"
#include "doctype/Entity.h"
#include "base/Options.h"
#include "base/PCDATA.h"
#include "base/StringUtil.h"

const char* const HTMLLexer::DOCTYPE_KEY = "!DOCTYPE";
const char* const HTMLLexer::COMMENT_OPEN = "!--";
const char* const HTMLLexer::COMMENT_DASHES = "--";
const char* const HTMLLexer::PUBLIC_KEY = "PUBLIC";
const char* const HTMLLexer::SYSTEM_KEY = "SYSTEM";
const char* const HTMLLexer::CDATA_KEY = "CDATA";
const char* const HTMLLexer::MINUS_KEY = "-";
const char* const HTMLLexer::COMMENT_CLOSE = "-->";
const char* const HTMLLexer::CDATA_OPEN = "![CDATA[";
const char* const HTMLLexer::CDATA_CLOSE = "]]>";
const char* const HTMLLexer::PI_CLOSE = "?>";
const char* const HTMLLexer::JSP_CLOSE = "%>";
const char* const HTMLLexer::JSP_COMMENT_OPEN = "%--";
const char* const HTMLLexer::JSP_COMMENT_CLOSE = "--%>";
const char* const HTMLLexer::MW_OPEN = "!%";
const char* const HTMLLexer::MW_SUBMIT_KEY = "SUBMIT";
const char* const HTMLLexer::MW_SUBMIT_OPEN = "!%SUBMIT";

namespace {

const char* const GT_KEY = ">";

} // namespace

namespace {

// Byte classes of the page lexer.
enum : unsigned char {
    NAME_DELIM = 0x1,    // ends a name
    ENTITY_DELIM = 0x2,  // ends an entity name
    SPACE = 0x4,         // whitespace run
    TEXT = 0x8,          // stands for itself in running text
    TEXT_BUT_0 = 0x10,   // TEXT, but for the byte 0
    NAME_START = 0x20    // starts a name token (see startsName)
};

// The bytes that start a character-value escape in the data form of text;
// in a page they stand for no character and are not running text.
bool isEscapeStart(unsigned c)
{
    return c == static_cast<unsigned char>(PCDATA::ESC) || c == static_cast<unsigned char>(PCDATA::WIDE);
}

struct ByteClasses {
    unsigned char table[256];

    ByteClasses() : table()
    {
        for (const char* p = pagedom::str::NAME_DELIMITERS; *p; ++p)
            table[static_cast<unsigned char>(*p)] |= NAME_DELIM | ENTITY_DELIM;
        table[static_cast<unsigned char>(';')] |= ENTITY_DELIM;
        for (const char* p = " \t\v\r\f\n"; *p; ++p)
            table[static_cast<unsigned char>(*p)] |= SPACE;
        for (unsigned c = 0; c < 256; ++c)
            if (!(table[c] & SPACE) && c != '<' && c != '&' && c != '>' && c != '"' && !isEscapeStart(c))
                table[c] |= c ? TEXT | TEXT_BUT_0 : TEXT;
        // Every byte starts a name but white space, the bytes that are
        // tokens of their own and those that open markup or references.
        for (unsigned c = 0; c < 256; ++c)
            if (!(table[c] & SPACE))
                table[c] |= NAME_START;
        for (const char* p = "!\"%'()*+,-/=?[]|><&"; *p; ++p)
            table[static_cast<unsigned char>(*p)] &= static_cast<unsigned char>(~NAME_START);
    }

    bool has(char c, unsigned char bits) const
    {
        return (table[static_cast<unsigned char>(c)] & bits) != 0;
    }
};

const ByteClasses& byteClasses()
{
    static const ByteClasses classes;
    return classes;
}

// Character references are recognised for 1 to 65534, at most five digits.
constexpr unsigned int MAX_REF_DIGITS = 5;
constexpr unsigned long REF_LIMIT = 65535;

} // namespace

HTMLLexer::HTMLLexer(const char* text, unsigned long length, const DocumentType* documentType)
    : Lexer(text, length), _documentType(documentType)
{
    _clearSearches();
}

HTMLLexer::HTMLLexer(const std::string& text, const DocumentType* documentType)
    : Lexer(text), _documentType(documentType)
{
    _clearSearches();
}

void HTMLLexer::_clearSearches()
{
    const char* const terminators[SEARCHES] = {COMMENT_CLOSE, JSP_COMMENT_CLOSE, CDATA_CLOSE,
                                                PI_CLOSE, JSP_CLOSE, GT_KEY};
    // Nothing searched yet: an empty range that no start falls into.
    for (unsigned int i = 0; i < SEARCHES; ++i)
        _searches[i] = Search{terminators[i], NOT_FOUND, 0};
}

bool HTMLLexer::startsName(char c)
{
    return byteClasses().has(c, NAME_START);
}

unsigned long HTMLLexer::nameEnd(unsigned long from) const
{
    const ByteClasses& classes = byteClasses();
    while (from < _length && !classes.has(_source[from], NAME_DELIM))
        ++from;
    return from;
}

bool HTMLLexer::isNameDelimiter(char c)
{
    return byteClasses().has(c, NAME_DELIM);
}

bool HTMLLexer::isEntityNameDelimiter(char c)
{
    return byteClasses().has(c, ENTITY_DELIM);
}

void HTMLLexer::restartAt(unsigned long index)
{
    if (_queueLength() != 0)
        _dropQueue();
    if (index > _length)
        index = _length;
    if (index >= _position) {
        // The bytes stepped over are mostly a tag with no line feed in it:
        // memchr finds the few there are, or none, many bytes at a time.
        const char* text = _source.data();
        const char* const end = text + index;
        for (const char* p = text + _position;
             (p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)))) != nullptr;
             ++p)
            ++_line;
    } else {
        for (unsigned long i = index; i < _position && _line > 1; ++i)
            _line -= _source[i] == '\n';
    }
    _position = _tokenStart = index;
}

char HTMLLexer::readChar(bool advance)
{
    if (_position >= _length)
        return 0;
    char c = _source[_position];
    if (advance)
        ++_position;
    return c;
}

bool HTMLLexer::matchWord(const char* word)
{
    unsigned long n = static_cast<unsigned long>(std::strlen(word));
    if (_position > _length || n > _length - _position)
        return false;
    return pagedom::str::matchesUpperWord(_source.data() + _position, n, word);
}

unsigned long HTMLLexer::closedJSPCodeEnd(unsigned long lt)
{
    const unsigned long percent = lt + 1;
    if (percent >= _length || _source[lt] != '<' || _source[percent] != '%')
        return NOT_FOUND;
    if (_opensJSPComment(percent))
        return NOT_FOUND;
    // As _scanBlock: the "%>" is looked for after the opening '%'.
    const unsigned long close = _find(JSP_CLOSE, percent + 1);
    return close == NOT_FOUND ? NOT_FOUND : close + static_cast<unsigned long>(std::strlen(JSP_CLOSE));
}

bool HTMLLexer::_opensJSPComment(unsigned long percent) const
{
    const unsigned long n = static_cast<unsigned long>(std::strlen(JSP_COMMENT_OPEN));
    return _documentType && _documentType->getJSPVersion() == DOMOptions::JSP_10 && percent <= _length &&
           n <= _length - percent && pagedom::str::matchesUpperWord(_source.data() + percent, n, JSP_COMMENT_OPEN);
}

unsigned long HTMLLexer::_find(const char* s, unsigned long from)
{
    if (from >= _length)
        return NOT_FOUND;
    Search* cache = nullptr;
    for (Search& search : _searches) {
        if (search.terminator == s) {
            cache = &search;
            break;
        }
    }
    if (cache && cache->from != NOT_FOUND && from >= cache->from && from <= cache->result)
        return cache->result;
    std::string::size_type i = _source.find(s, from);
    unsigned long result = i == std::string::npos ? NOT_FOUND : static_cast<unsigned long>(i);
    if (cache) {
        cache->from = from;
        cache->result = result;
    }
    return result;
}

void HTMLLexer::_appendGT(unsigned long index)
{
    _appendToken(TOKEN_GT, index, index + 1);
    _inTag = false;
    _position = index + 1;
}

void HTMLLexer::scanToken()
{
    const ByteClasses& classes = byteClasses();

    // 1. A whitespace run; line feeds in it advance the line counter.
    _tokenStart = _position;
    while (_position < _length && classes.has(_source[_position], SPACE)) {
        if (_source[_position] == '\n')
            ++_line;
        ++_position;
    }
    if (_position != _tokenStart) {
        _appendToken(TOKEN_SPACE, _tokenStart, _position);
        _tokenStart = _position;
    }

    // 2. The end of the input, as often as asked.
    if (_position >= _length) {
        _appendToken(TOKEN_EOF, NOT_FOUND, NOT_FOUND);
        return;
    }

    // 3. One token by the current byte.
    unsigned long kind = TOKEN_NONE;
    switch (_source[_position]) {
    case '!': kind = TOKEN_BANG; break;
    case '"': kind = TOKEN_QUOTE; break;
    case '%': kind = TOKEN_PERCENT; break;
    case '\'': kind = TOKEN_APOS; break;
    case '(': kind = TOKEN_LPAREN; break;
    case ')': kind = TOKEN_RPAREN; break;
    case '*': kind = TOKEN_STAR; break;
    case '+': kind = TOKEN_PLUS; break;
    case ',': kind = TOKEN_COMMA; break;
    case '-': kind = TOKEN_MINUS; break;
    case '/': kind = TOKEN_SLASH; break;
    case '=': kind = TOKEN_EQUALS; break;
    case '?': kind = TOKEN_QUESTION; break;
    case '[': kind = TOKEN_LBRACKET; break;
    case ']': kind = TOKEN_RBRACKET; break;
    case '|': kind = TOKEN_BAR; break;
    case '>':
        _appendGT(_position);
        return;
    case '<':
        _appendToken(TOKEN_LT, _position, _position + 1);
        _inTag = true;
        ++_position;
        // The byte after the '<' (0 at the end), read in place.
        switch (_position < _length ? _source[_position] : 0) {
        case '!':
            _scanMarkupDeclaration();
            break;
        case '?':
            _scanBlock(TOKEN_PI, PI_CLOSE);
            break;
        case '%':
            if (_opensJSPComment(_position)) {
                ++_position;
                _scanComment(JSP_COMMENT);
            } else {
                _scanBlock(TOKEN_JSP, JSP_CLOSE);
            }
            break;
        case '/':
            // The '/' of an end tag, queued with the '<' as the next call
            // would make it: the reader looks at it next in any case.
            _appendToken(TOKEN_SLASH, _position, _position + 1);
            ++_position;
            break;
        default:
            // Likewise the tag name.
            if (_position < _length && startsName(_source[_position]))
                _scanName();
            break;
        }
        return;
    case '&':
        _scanReference();
        return;
    default:
        _scanName();
        return;
    }
    _appendToken(kind, _position, _position + 1);
    ++_position;
}

bool HTMLLexer::_takeTextRun(TextRun& run)
{
    const ByteClasses& classes = byteClasses();
    const char* text = _source.data();
    // The end of the white space at from, counting its line feeds.
    auto skipSpace = [&](unsigned long from, unsigned long& feeds) {
        while (from < _length && classes.has(text[from], SPACE)) {
            if (text[from] == '\n')
                ++feeds;
            ++from;
        }
        return from;
    };
    // The end of the word at from.  The text is a string, so the byte at
    // _length is a 0, which is running text: the word stops at every 0 and
    // goes on past those before _length.
    auto skipWord = [&](unsigned long from) {
        for (;;) {
            while (classes.has(text[from], TEXT_BUT_0))
                ++from;
            if (text[from] != 0 || from >= _length)
                return from;
            ++from;
        }
    };
    unsigned long lines = 0;
    // Leading white space is taken with the words that follow it.
    unsigned long i = skipSpace(_position, lines);
    if (i >= _length || !classes.has(text[i], TEXT)) {
        // No run: white space before markup is queued as the token the
        // next scan would make of it, so that it is not scanned again.
        if (i != _position) {
            _line += lines;
            _appendToken(TOKEN_SPACE, _position, i);
            _position = _tokenStart = i;
        }
        return false;
    }
    run.words = i;
    _gaps.clear();
    for (;;) {
        i = skipWord(i);
        // The usual gap, one space before the next word, first.
        if (text[i] == ' ' && i + 1 < _length && classes.has(text[i + 1], TEXT)) {
            ++i;
            continue;
        }
        unsigned long feeds = 0;
        unsigned long j = skipSpace(i, feeds);
        if (j == i || j >= _length || !classes.has(text[j], TEXT))
            break;
        lines += feeds;
        _gaps.push_back(Gap{i, j});
        i = j;
    }
    run.start = _position;
    run.end = i;
    run.gaps = _gaps.data();
    run.gapCount = _gaps.size();
    _position = i;
    _tokenStart = i;
    _line += lines;
    return true;
}

void HTMLLexer::_scanName()
{
    unsigned long start = _position;
    _position = nameEnd(start + 1);
    _appendToken(TOKEN_NAME, start, _position);
}

void HTMLLexer::_scanMarkupDeclaration()
{
    unsigned long start = _position;
    if (matchWord(DOCTYPE_KEY)) {
        _position += static_cast<unsigned long>(std::strlen(DOCTYPE_KEY));
        _appendToken(TOKEN_DOCTYPE, start, _position);
    } else if (matchWord(COMMENT_OPEN)) {
        ++_position;
        _scanComment(HTML_COMMENT);
    } else if (_cdataEnabled && matchWord(CDATA_OPEN)) {
        ++_position;
        _scanCDATA();
    } else if (DOMOptions::getMWVersion() == DOMOptions::MW_100 && matchWord(MW_SUBMIT_OPEN)) {
        _position += static_cast<unsigned long>(std::strlen(MW_SUBMIT_OPEN));
        _appendToken(TOKEN_MW_SUBMIT, start, _position);
    } else {
        ++_position;
        _appendToken(TOKEN_BANG, start, _position);
    }
}

// The position is at the first dash of the opening pair.  The token keeps
// both dash pairs ("-- text --"); the terminator's '>' becomes its own token.
void HTMLLexer::_scanComment(CommentMode mode)
{
    unsigned long kind = mode == HTML_COMMENT ? TOKEN_COMMENT : TOKEN_JSP_COMMENT;
    unsigned long start = _position;
    unsigned long gt;
    unsigned long end = _find(mode == HTML_COMMENT ? COMMENT_CLOSE : JSP_COMMENT_CLOSE, start + 2);
    if (end != NOT_FOUND) {
        end += 2;
        // In JSP mode the '%' between the dashes and the '>' is stepped over.
        gt = mode == HTML_COMMENT ? end : end + 1;
    } else {
        gt = end = _find(GT_KEY, start + 2);
    }
    if (end == NOT_FOUND) {
        _appendToken(kind, start, NOT_FOUND);
        _position = _length;
        return;
    }
    _appendToken(kind, start, end);
    _appendGT(gt);
}

// The position is at the '[' of "[CDATA[".  The token is the content alone.
void HTMLLexer::_scanCDATA()
{
    unsigned long start = _position + 7;
    unsigned long gt;
    unsigned long end = _find(CDATA_CLOSE, start);
    if (end != NOT_FOUND)
        gt = end + 2;
    else
        gt = end = _find(GT_KEY, start);
    if (end == NOT_FOUND) {
        _appendToken(TOKEN_CDATA, start > _length ? _length : start, NOT_FOUND);
        _position = _length;
        return;
    }
    _appendToken(TOKEN_CDATA, start, end);
    _appendGT(gt);
}

// Processing instructions and JSP blocks: the position is at the opening
// '?' or '%'; the token runs to and includes the one before the '>'.
void HTMLLexer::_scanBlock(unsigned long kind, const char* terminator)
{
    unsigned long start = _position;
    unsigned long end = _find(terminator, start + 1);
    if (end != NOT_FOUND)
        ++end;
    else
        end = _find(GT_KEY, start + 1);
    if (end == NOT_FOUND) {
        _appendToken(kind, start, NOT_FOUND);
        _position = _length;
        return;
    }
    _appendToken(kind, start, end);
    _appendGT(end);
}

// The position is at '&'.
void HTMLLexer::_scanReference()
{
    unsigned long start = _position;
    unsigned long i = start + 1;
    if (i < _length && _source[i] == '#') {
        ++i;
        unsigned long digits = 0, number = 0;
        while (i < _length && _source[i] >= '0' && _source[i] <= '9' && digits <= MAX_REF_DIGITS) {
            number = number * 10 + static_cast<unsigned long>(_source[i] - '0');
            ++digits;
            ++i;
        }
        if (digits == 0 || digits > MAX_REF_DIGITS || number < 1 || number >= REF_LIMIT) {
            // No reference: the rest, '#' included, is read as a name.
            _appendToken(TOKEN_AMP, start, start + 1);
            ++_position;
            return;
        }
        if (i < _length && _source[i] == ';')
            ++i;
        _appendToken(TOKEN_CHAR_REF, start, i, number);
        _position = i;
        return;
    }

    const ByteClasses& classes = byteClasses();
    while (i < _length && !classes.has(_source[i], ENTITY_DELIM))
        ++i;
    if (_documentType && i > start + 1) {
        const Entity* entity = _documentType->getEntity(_source.substr(start + 1, i - start - 1));
        if (entity) {
            if (i < _length && _source[i] == ';')
                ++i;
            _appendToken(TOKEN_ENTITY_REF, start, i, reinterpret_cast<std::uintptr_t>(entity));
            _position = i;
            return;
        }
    }
    _appendToken(TOKEN_AMP, start, start + 1);
    _appendToken(TOKEN_NAME, start + 1, i);
    _position = i;
}
