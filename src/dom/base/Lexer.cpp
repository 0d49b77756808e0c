// The token queue: the ring of queued tokens and the recycled token records.
#include "base/Lexer.h"

Lexer::Lexer(const char* text, unsigned long length)
    : _ownText(text ? std::string(text, length) : std::string()), _source(_ownText),
      _length(static_cast<unsigned long>(_source.length())), _tokenStart(0), _position(0),
      _line(1)
{
}

Lexer::Lexer(const std::string& text)
    : _source(text), _length(static_cast<unsigned long>(text.length())), _tokenStart(0),
      _position(0), _line(1)
{
}

Lexer::~Lexer()
{
    _dropQueue();
    delete[] _ring;
}

namespace {

// The first size of the token ring (a power of two, doubled as it fills).
constexpr unsigned long FIRST_RING_SIZE = 8;

} // namespace

void Lexer::_growRing()
{
    unsigned long size = _ringSize ? _ringSize * 2 : FIRST_RING_SIZE;
    Token** ring = new Token*[size];
    for (unsigned long i = 0; i < _ringCount; ++i)
        ring[i] = _ring[(_ringHead + i) & (_ringSize - 1)];
    delete[] _ring;
    _ring = ring;
    _ringSize = size;
    _ringHead = 0;
}

void Lexer::_fill(unsigned long i)
{
    while (_ringCount <= i)
        scanToken();
}

void Lexer::pushBack(Token* token)
{
    if (!token)
        return;
    if (_ringCount == _ringSize)
        _growRing();
    _ringHead = (_ringHead + _ringSize - 1) & (_ringSize - 1);
    _ring[_ringHead] = token;
    ++_ringCount;
}

Lexer::Token* Lexer::_newRecord()
{
    _records.push_back(std::unique_ptr<Token>(new Token()));
    return _records.back().get();
}

void Lexer::_dropQueue()
{
    while (_ringCount != 0)
        deleteToken(nextToken());
    _ringHead = 0;
}

const std::string& Lexer::toUpper(const std::string& s)
{
    std::string::size_type i = 0, n = s.length();
    while (i < n && !(s[i] >= 'a' && s[i] <= 'z'))
        ++i;
    if (i == n)
        return s;
    // One buffer per thread: readers on different threads upper-case at
    // the same time.
    thread_local std::string buffer;
    buffer = s;
    for (; i < n; ++i) {
        if (buffer[i] >= 'a' && buffer[i] <= 'z')
            buffer[i] = static_cast<char>(buffer[i] - 'a' + 'A');
    }
    return buffer;
}
