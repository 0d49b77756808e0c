// The DTD lexer: tokens of SGML-style DTD text, with parameter entities
// expanded just ahead of the reader.
#include "doctype/DTDLexer.h"

#include <cstring>

#include "node/NamedNodeMap.h"
#include "node/Node.h"

const char* const DTDLexer::ELEMENT_KEY = "!ELEMENT";
const char* const DTDLexer::ENTITY_KEY = "!ENTITY";
const char* const DTDLexer::ATTLIST_KEY = "!ATTLIST";
const char* const DTDLexer::NOTATION_KEY = "!NOTATION";
const char* const DTDLexer::COMMENT_KEY = "!--";
const char* const DTDLexer::SECTION_KEY = "![";
const char* const DTDLexer::GROUP_KEY = "!GROUP";
const char* const DTDLexer::PCDATA_NAME = "#PCDATA";
const char* const DTDLexer::CDATA_NAME = "CDATA";

namespace {

// A parameter-entity reference's name ends at ';', '>' or white space.
bool endsReferenceName(char c)
{
    return c == ';' || c == '>' || Lexer::isSpace(c);
}

} // namespace

DTDLexer::DTDLexer(const std::string& text, const NamedNodeMap* parameterEntities)
    : Lexer(nullptr, 0), _text(text), _textPosition(0), _parameterEntities(parameterEntities)
{
    _ownText.reserve(text.length());
}

bool DTDLexer::isNameDelimiter(char c)
{
    switch (c) {
    case ' ': case '\t': case '\v': case '\r': case '\f': case '\n':
    case '(': case ')': case '[': case ']': case '|': case '*': case '?': case '+':
    case '<': case '>': case ',':
        return true;
    default:
        return false;
    }
}

bool DTDLexer::_has(unsigned long index)
{
    while (index >= _source.length() && _textPosition < _text.length())
        _expandStep();
    return index < _source.length();
}

void DTDLexer::_expandStep()
{
    const std::string::size_type n = _text.length();
    const std::string::size_type p = _textPosition;
    std::string::size_type q;
    char c = _text[p];
    if (c == '%' && p + 1 < n && !isSpace(_text[p + 1])) {
        q = p + 1;
        while (q < n && !endsReferenceName(_text[q]))
            ++q;
        std::string name = _text.substr(p + 1, q - p - 1);
        if (q < n && _text[q] == ';')
            ++q;
        Node* entity = _parameterEntities ? _parameterEntities->getNamedItem(name) : nullptr;
        if (entity) {
            _ownText += entity->getNodeValue();
        } else {
            unsigned long start = static_cast<unsigned long>(_source.length());
            _ownText.append(_text, p, q - p);
            _appendToken(TOKEN_UNDEFINED_REFERENCE, start,
                         static_cast<unsigned long>(_source.length()));
        }
    } else if (c == '-' && p + 1 < n && _text[p + 1] == '-') {
        // A comment, with the dashes that directly follow its end.
        q = _text.find("--", p + 2);
        if (q == std::string::npos) {
            q = n;
        } else {
            q += 2;
            while (q < n && _text[q] == '-')
                ++q;
        }
        _ownText.append(_text, p, q - p);
    } else {
        // Plain text up to the next character that may start a reference or
        // a comment.
        q = _text.find_first_of("%-", p + 1);
        if (q == std::string::npos)
            q = n;
        _ownText.append(_text, p, q - p);
    }
    _textPosition = static_cast<unsigned long>(q);
    _length = static_cast<unsigned long>(_source.length());
}

char DTDLexer::readChar(bool advance)
{
    if (!_has(_position))
        return '\0';
    char c = _source[_position];
    if (advance)
        ++_position;
    return c;
}

bool DTDLexer::matchWord(const char* word)
{
    // Stops at the first difference, so that nothing beyond what the
    // keyword needs is expanded.
    for (unsigned long i = 0; word[i]; ++i) {
        if (!_has(_position + i) || _source[_position + i] != word[i])
            return false;
    }
    return true;
}

void DTDLexer::scanToken()
{
    // White space; line feeds advance the line counter.
    while (_has(_position) && isSpace(_source[_position])) {
        if (_source[_position] == '\n')
            ++_line;
        ++_position;
    }
    _tokenStart = _position;
    if (!_has(_position)) {
        _appendToken(TOKEN_EOF, NOT_FOUND, NOT_FOUND);
        return;
    }

    unsigned long kind = TOKEN_NONE;
    char c = _source[_position];
    switch (c) {
    case '!': {
        struct Keyword {
            const char* word;
            unsigned long kind;
        };
        static const Keyword keywords[] = {{ELEMENT_KEY, TOKEN_ELEMENT_DECL},
                                           {ENTITY_KEY, TOKEN_ENTITY_DECL},
                                           {ATTLIST_KEY, TOKEN_ATTLIST_DECL},
                                           {NOTATION_KEY, TOKEN_NOTATION_DECL},
                                           {GROUP_KEY, TOKEN_GROUP_DECL}};
        for (const Keyword& keyword : keywords) {
            if (matchWord(keyword.word)) {
                unsigned long start = _position;
                _position += static_cast<unsigned long>(std::strlen(keyword.word));
                _appendToken(keyword.kind, start, _position);
                return;
            }
        }
        if (matchWord(COMMENT_KEY)) {
            // The '!' alone is dropped; the dashes start a comment.
            ++_position;
            _scanComment();
            return;
        }
        if (matchWord(SECTION_KEY)) {
            kind = TOKEN_MARKED_SECTION;
            break;
        }
        kind = TOKEN_BANG;
        break;
    }
    case '"':
    case '\'':
        _scanLiteral(c);
        return;
    case '-':
        if (_charAt(_position + 1) == '-') {
            _scanComment();
            return;
        }
        kind = TOKEN_MINUS;
        break;
    case '%': kind = TOKEN_PERCENT; break;
    case '&': kind = TOKEN_AMP; break;
    case '(': kind = TOKEN_LPAREN; break;
    case ')': kind = TOKEN_RPAREN; break;
    case '*': kind = TOKEN_STAR; break;
    case '+': kind = TOKEN_PLUS; break;
    case ',': kind = TOKEN_COMMA; break;
    case '<': kind = TOKEN_LT; break;
    case '>': kind = TOKEN_GT; break;
    case '?': kind = TOKEN_QUESTION; break;
    case '[': kind = TOKEN_LBRACKET; break;
    case ']': kind = TOKEN_RBRACKET; break;
    case '|': kind = TOKEN_BAR; break;
    default:
        _scanName();
        return;
    }
    _appendToken(kind, _position, _position + 1);
    ++_position;
}

// At "--": the comment ends after the next "--" and every '-' right after
// it, or at the end of the text.
void DTDLexer::_scanComment()
{
    unsigned long start = _position;
    unsigned long i = start + 2;
    for (;;) {
        if (!_has(i + 1)) {
            i = _has(i) ? i + 1 : i;
            break;
        }
        if (_source[i] == '-' && _source[i + 1] == '-') {
            i += 2;
            while (_has(i) && _source[i] == '-')
                ++i;
            break;
        }
        ++i;
    }
    _position = i;
    _appendToken(TOKEN_COMMENT, start, i);
}

void DTDLexer::_scanLiteral(char quote)
{
    unsigned long start = _position + 1;
    unsigned long i = start;
    while (_has(i) && _source[i] != quote)
        ++i;
    _appendToken(TOKEN_LITERAL, start, i);
    _position = _has(i) ? i + 1 : i;
}

void DTDLexer::_scanName()
{
    unsigned long start = _position++;
    while (_has(_position) && !isNameDelimiter(_source[_position]))
        ++_position;
    unsigned long kind = TOKEN_NAME;
    const std::size_t length = _position - start;
    if (_source.compare(start, length, PCDATA_NAME) == 0)
        kind = TOKEN_PCDATA;
    else if (_source.compare(start, length, CDATA_NAME) == 0)
        kind = TOKEN_CDATA_NAME;
    _appendToken(kind, start, _position);
}
