// The character cursor: reading ahead, moving, scanning names and values,
// finding with refill, and decoding the escapes of the data form.
#include "base/Scanner.h"

#include <cstddef>

#include "base/PCDATA.h"

namespace {

const char ESC = PCDATA::ESC;
const char WIDE = PCDATA::WIDE;
const char NUMERIC_WIDE = PCDATA::WIDE_NUMERIC;

// The value of an escape's high and low bytes.
inline unsigned long wideValue(char high, char low)
{
    return static_cast<unsigned long>(static_cast<unsigned char>(high)) << 8 | static_cast<unsigned char>(low);
}

inline bool isSpaceChar(char c)
{
    return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

inline unsigned long toResult(std::size_t p)
{
    return p == std::string::npos ? Scanner::NOT_FOUND : static_cast<unsigned long>(p);
}

} // namespace

Scanner::Scanner(const std::string& buffer, unsigned long offset)
    : _buffer(buffer), _offset(offset)
{
}

Scanner::Scanner(const Scanner& other)
    : _buffer(other._buffer), _offset(other._offset)
{
}

Scanner& Scanner::operator=(const Scanner& other)
{
    if (this != &other) {
        _buffer = other._buffer;
        _offset = other._offset;
    }
    return *this;
}

Scanner::~Scanner()
{
}

unsigned long Scanner::_read()
{
    return 0;
}

unsigned long Scanner::_appendBuffer(const std::string& s)
{
    if (s.empty())
        return 0;
    _buffer.append(s);
    return static_cast<unsigned long>(s.length());
}

char Scanner::getChar(unsigned long i)
{
    const std::size_t index = static_cast<std::size_t>(_offset) + i;
    if (index < static_cast<std::size_t>(_offset))
        return 0; // the sum wrapped around: no such character
    while (index >= _buffer.length()) {
        if (_read() == 0)
            return 0;
    }
    return _buffer[index];
}

bool Scanner::isSpace(unsigned long i)
{
    return isSpaceChar(getChar(i));
}

unsigned long Scanner::forward(unsigned long n)
{
    const unsigned long length = getLength();
    if (_offset >= length || n >= length - _offset)
        _offset = length;
    else
        _offset += n;
    return _offset;
}

unsigned long Scanner::rewind(unsigned long n)
{
    _offset = n <= _offset ? _offset - n : 0;
    return _offset;
}

unsigned long Scanner::skipSpaces()
{
    while (isSpace(0))
        forward(1);
    return _offset;
}

unsigned long Scanner::scanString(std::string& out, unsigned long n)
{
    const unsigned long length = getLength();
    const unsigned long available = _offset < length ? length - _offset : 0;
    if (n > available)
        n = available;
    out.assign(_buffer, available ? _offset : length, n);
    return forward(n);
}

unsigned long Scanner::scanName(std::string& out, const std::string& delims)
{
    unsigned long end = delims.empty() ? findSpace() : findDelim(delims);
    if (end == NOT_FOUND)
        end = getLength();
    return scanString(out, end > _offset ? end - _offset : 0);
}

unsigned long Scanner::scanValue(std::string& out, const std::string& delims)
{
    const char first = getChar(0);
    bool quoted = false;
    unsigned long end;
    if (first == '"' || first == '\'') {
        forward(1);
        quoted = true;
        end = findChar(first);
    } else {
        end = delims.empty() ? findSpace() : findDelim(delims);
    }
    if (end == NOT_FOUND) {
        end = getLength();
        quoted = false;
    }
    scanString(out, end > _offset ? end - _offset : 0);
    if (quoted)
        forward(1);
    return _offset;
}

template <typename Find>
unsigned long Scanner::_findCharacter(Find find)
{
    std::size_t from = _offset;
    for (;;) {
        const std::size_t found = find(_getBuffer(), from);
        if (found != std::string::npos)
            return toResult(found);
        const std::size_t oldLength = _buffer.length();
        if (_read() == 0)
            return NOT_FOUND;
        if (oldLength > from)
            from = oldLength;
    }
}

unsigned long Scanner::findChar(char c)
{
    return _findCharacter([c](const std::string& buffer, std::size_t from) { return buffer.find(c, from); });
}

unsigned long Scanner::findString(const std::string& s)
{
    std::size_t from = _offset;
    for (;;) {
        const std::size_t found = _getBuffer().find(s, from);
        if (found != std::string::npos)
            return toResult(found);
        // A match may start in the old text and end in the new one, so the
        // next search restarts s.length() characters before the old end.
        const std::size_t length = _buffer.length();
        const std::size_t restart = static_cast<std::size_t>(_offset) + s.length() < length
            ? length - s.length() : static_cast<std::size_t>(_offset);
        if (_read() == 0)
            return NOT_FOUND;
        if (restart > from)
            from = restart;
    }
}

unsigned long Scanner::findSpace()
{
    return findDelim(" \r\n\t");
}

unsigned long Scanner::findDelim(const std::string& delims)
{
    if (delims.empty())
        return NOT_FOUND;
    return _findCharacter([&delims](const std::string& buffer, std::size_t from) {
        return buffer.find_first_of(delims, from);
    });
}

bool Scanner::matchString(const std::string& s)
{
    const std::size_t end = static_cast<std::size_t>(_offset) + s.length();
    while (end > _buffer.length()) {
        if (_read() == 0)
            return false;
    }
    return _buffer.compare(_offset, s.length(), s) == 0;
}

PCDATAScanner::PCDATAScanner(const std::string& buffer, unsigned long offset)
    : Scanner(buffer, offset)
{
}

PCDATAScanner::PCDATAScanner(const PCDATAScanner& other)
    : Scanner(other)
{
}

PCDATAScanner& PCDATAScanner::operator=(const PCDATAScanner& other)
{
    Scanner::operator=(other);
    return *this;
}

unsigned long PCDATAScanner::scanCharValue(unsigned long& value, bool& numeric)
{
    value = 0;
    numeric = false;
    const char c0 = getChar(0);
    if (c0 == ESC) {
        const char c1 = getChar(1);
        if (c1 != 0) {
            value = static_cast<unsigned char>(c1);
            return forward(2);
        }
    } else if (c0 == WIDE) {
        const char c1 = getChar(1);
        const char c2 = getChar(2);
        const char c3 = getChar(3);
        if ((c1 == WIDE || c1 == NUMERIC_WIDE) && c2 != 0 && c3 != 0) {
            value = wideValue(c2, c3);
            numeric = c1 == NUMERIC_WIDE;
            return forward(4);
        }
        if (c1 == ESC && c2 != 0 && (c3 == WIDE || c3 == NUMERIC_WIDE)) {
            value = wideValue(c2, 0);
            numeric = c3 == NUMERIC_WIDE;
            return forward(4);
        }
    }
    return getOffset();
}
