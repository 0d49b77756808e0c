// The token queue the page lexer and the DTD lexer share: token kinds, token
// records and their recycling.
#ifndef PAGEDOM_BASE_LEXER_H
#define PAGEDOM_BASE_LEXER_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class Entity;

// The token queue shared by the page lexer and the DTD lexer.
//
// A token never copies text: it records a kind and a span of the lexer's one
// source string.  Tokens are handed out by nextToken and given back with
// deleteToken.  Token records are recycled: a given-back record goes to a
// free list and is used again, and the queue is a ring of pointers, so a
// reader that keeps a few tokens alive allocates only while its look-ahead
// first grows.
//
// A derived lexer implements scanToken, which appends at least one token to
// the queue, and the two character primitives it is built on.
class Lexer {
public:
    // Token kinds.  The numbering is shared by both lexers and their readers;
    // the DTD lexer adds kinds of its own in the gaps (see DTDLexer).
    enum TokenKind : unsigned long {
        TOKEN_NONE = 0,  // a free embedded token slot
        TOKEN_LT = 1,
        TOKEN_GT = 2,
        TOKEN_COMMENT = 3,
        TOKEN_PERCENT = 6,
        TOKEN_NAME = 21,
        TOKEN_LBRACKET = 26,
        TOKEN_RBRACKET = 27,
        TOKEN_STAR = 28,
        TOKEN_QUESTION = 29,
        TOKEN_AMP = 30,
        TOKEN_BANG = 31,
        TOKEN_BAR = 32,
        TOKEN_COMMA = 33,
        TOKEN_SLASH = 34,
        TOKEN_EQUALS = 35,
        TOKEN_PLUS = 36,
        TOKEN_MINUS = 37,
        TOKEN_LPAREN = 38,
        TOKEN_RPAREN = 39,
        TOKEN_APOS = 40,
        TOKEN_QUOTE = 41,
        TOKEN_ENTITY_REF = 42,
        TOKEN_CHAR_REF = 43,
        TOKEN_SPACE = 45,
        TOKEN_DOCTYPE = 46,
        TOKEN_CDATA = 47,
        TOKEN_PI = 48,
        TOKEN_JSP = 49,
        TOKEN_JSP_COMMENT = 50,
        TOKEN_MW_SUBMIT = 51,
        TOKEN_EOF = 53
    };

    // Start and end of the end-of-input token, and the end of a token that
    // runs unterminated to the end of the text.
    static constexpr unsigned long NOT_FOUND = 0xFFFFFFFFul;

    struct Token {
        unsigned long kind;
        unsigned long start;   // first source byte
        unsigned long end;     // one past the last byte
        unsigned long length;  // end - start
        unsigned long line;    // the lexer's line when the token was made
        // The number of a character reference, the Entity of an entity
        // reference (see getEntity), otherwise 0.
        std::uintptr_t value;
        // The next free record while this one is free (the lexer's own).
        Token* nextFree;

        const Entity* getEntity() const { return reinterpret_cast<const Entity*>(value); }
    };

    virtual ~Lexer();

    // Removes and returns the oldest token, scanning while the queue is
    // empty.  The caller owns it and gives it back with deleteToken.
    Token* nextToken()
    {
        if (_ringCount == 0)
            _fill(0);
        Token* token = _ring[_ringHead];
        _ringHead = (_ringHead + 1) & (_ringSize - 1);
        --_ringCount;
        return token;
    }
    // The i-th queued token (0 = oldest), scanning until there are enough;
    // it stays in the queue.
    Token* peekToken(unsigned long i = 0)
    {
        if (_ringCount <= i)
            _fill(i);
        return _ring[(_ringHead + i) & (_ringSize - 1)];
    }
    // Puts a token back at the front of the queue: it is returned next.
    void pushBack(Token* token);

    // Makes a token in the record freed last, else in a new record.  Every
    // token of every page is made here, so it is kept inline.
    Token* createToken(unsigned long kind, unsigned long start, unsigned long end,
                       std::uintptr_t value = 0)
    {
        Token* token = _free;
        if (token)
            _free = token->nextFree;
        else
            token = _newRecord();
        token->kind = kind;
        token->start = start;
        token->end = end;
        token->length = end - start;
        token->line = _line;
        token->value = value;
        return token;
    }
    void deleteToken(Token* token)
    {
        if (!token)
            return;
        token->kind = TOKEN_NONE;
        token->nextFree = _free;
        _free = token;
    }

    const std::string& getSource() const { return _source; }
    unsigned long getLine() const { return _line; }

    // TAB, LF, VT, FF, CR and SPACE.
    static bool isSpace(char c)
    {
        return c == ' ' || (c >= '\t' && c <= '\r');
    }
    // s itself when it has no lower-case ASCII letter, else an upper-cased
    // copy kept in a per-thread buffer that the thread's next call
    // overwrites.
    static const std::string& toUpper(const std::string& s);

protected:
    Lexer(const char* text, unsigned long length);
    // Reads text in place; it must outlive the lexer.
    explicit Lexer(const std::string& text);
    Lexer(const Lexer&) = delete;
    Lexer& operator=(const Lexer&) = delete;

    // Appends at least one token to the queue.
    virtual void scanToken() = 0;
    // Whether the next strlen(word) source bytes match the upper-case word.
    virtual bool matchWord(const char* word) = 0;
    // The byte at the read position (0 at the end); advances when asked.
    virtual char readChar(bool advance) = 0;

    // createToken and append it to the queue.
    Token* _appendToken(unsigned long kind, unsigned long start, unsigned long end,
                        std::uintptr_t value = 0)
    {
        Token* token = createToken(kind, start, end, value);
        if (_ringCount == _ringSize)
            _growRing();
        _ring[(_ringHead + _ringCount) & (_ringSize - 1)] = token;
        ++_ringCount;
        return token;
    }
    unsigned long _queueLength() const { return _ringCount; }
    // Deletes every queued token.
    void _dropQueue();

    // The text read: a copy the lexer owns, or a text it borrows.
    std::string _ownText;
    const std::string& _source;
    unsigned long _length;
    unsigned long _tokenStart;
    unsigned long _position;
    unsigned long _line;

private:
    // The queue: _ringCount pointers starting at _ringHead, wrapping around
    // the ring, whose size is a power of two.
    Token** _ring = nullptr;
    unsigned long _ringSize = 0;
    unsigned long _ringHead = 0;
    unsigned long _ringCount = 0;
    void _growRing();
    // Scans until more than i tokens are queued.
    void _fill(unsigned long i);
    // Every record the lexer made, and those currently free: a list linked
    // through the records themselves, the last freed first.
    std::vector<std::unique_ptr<Token>> _records;
    Token* _free = nullptr;
    // A record added to _records.
    Token* _newRecord();
};

#endif
