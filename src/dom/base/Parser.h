// The token-reading base of the page parser and the DTD parser.
#ifndef PAGEDOM_BASE_PARSER_H
#define PAGEDOM_BASE_PARSER_H

#include <string>

#include "base/Lexer.h"

// The token-reading base of the page parser and the DTD parser.
//
// It owns its lexer and the current token: nextToken releases the current
// token and makes the next one current; pushBack returns the current token
// to the lexer so that it is read again.  Look-ahead never consumes.
class Parser {
public:
    virtual ~Parser();

protected:
    // Takes over the lexer.
    explicit Parser(Lexer* lexer);
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;

    // Makes the next token current and returns its kind.
    unsigned long nextToken()
    {
        if (_token)
            _lexer->deleteToken(_token);
        _token = _lexer->nextToken();
        return _token->kind;
    }
    // Gives the current token back to the lexer; there is no current token
    // afterwards.
    void pushBack();
    // The kind of the i-th token ahead (0 = the next one).
    unsigned long peekKind(unsigned long i = 0) { return _lexer->peekToken(i)->kind; }
    const Lexer::Token* peekToken(unsigned long i = 0) { return _lexer->peekToken(i); }
    // Consumes the next token, making it current, when it has that kind.
    bool accept(unsigned long kind);

    // The current token, or null; its kind (TOKEN_NONE when there is none).
    const Lexer::Token* getToken() const { return _token; }
    unsigned long getKind() const { return _token ? _token->kind : Lexer::TOKEN_NONE; }
    // The source text a token spans (clamped to the text).
    std::string tokenText(const Lexer::Token* token) const;
    std::string tokenText() const { return tokenText(_token); }

    static const std::string& toUpper(const std::string& s) { return Lexer::toUpper(s); }
    // Whether s[index] is TAB, LF, CR or SPACE (false past the end).
    static bool isSpaceAt(const std::string& s, unsigned long index);

    Lexer* _lexer;
    const std::string& _source;
    Lexer::Token* _token;
};

#endif
