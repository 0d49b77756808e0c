#include "reading/Lexer.h"

Lexer::Lexer(const char* text, unsigned long length)
    : _source(text ? std::string(text, length) : std::string()),
      _length(static_cast<unsigned long>(_source.length())), _tokenStart(0), _position(0),
      _line(1), _slots()
{
}

Lexer::~Lexer()
{
    _dropQueue();
}

Lexer::Token* Lexer::nextToken()
{
    while (_queue.empty())
        scanToken();
    Token* token = _queue.front();
    _queue.pop_front();
    return token;
}

Lexer::Token* Lexer::peekToken(unsigned long i)
{
    while (_queue.size() <= i)
        scanToken();
    return _queue[i];
}

void Lexer::pushBack(Token* token)
{
    if (token)
        _queue.push_front(token);
}

Lexer::Token* Lexer::createToken(unsigned long kind, unsigned long start, unsigned long end,
                                 std::uintptr_t value)
{
    Token* token = nullptr;
    for (Token& slot : _slots) {
        if (slot.kind == TOKEN_NONE) {
            token = &slot;
            break;
        }
    }
    if (!token)
        token = new Token();
    token->kind = kind;
    token->start = start;
    token->end = end;
    token->length = end - start;
    token->line = _line;
    token->value = value;
    return token;
}

void Lexer::deleteToken(Token* token)
{
    if (!token)
        return;
    if (token == &_slots[0] || token == &_slots[1])
        token->kind = TOKEN_NONE;
    else
        delete token;
}

Lexer::Token* Lexer::_appendToken(unsigned long kind, unsigned long start, unsigned long end,
                                  std::uintptr_t value)
{
    Token* token = createToken(kind, start, end, value);
    _queue.push_back(token);
    return token;
}

void Lexer::_dropQueue()
{
    for (Token* token : _queue)
        deleteToken(token);
    _queue.clear();
}

const std::string& Lexer::toUpper(const std::string& s)
{
    std::string::size_type i = 0, n = s.length();
    while (i < n && !(s[i] >= 'a' && s[i] <= 'z'))
        ++i;
    if (i == n)
        return s;
    static std::string buffer;
    buffer = s;
    for (; i < n; ++i) {
        if (buffer[i] >= 'a' && buffer[i] <= 'z')
            buffer[i] = static_cast<char>(buffer[i] - 'a' + 'A');
    }
    return buffer;
}
