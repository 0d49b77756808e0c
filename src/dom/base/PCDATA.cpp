// The entity-free conversions of the data form: escapes of single values,
// text to data and back, and white space that is not an escape.
#include "base/PCDATA.h"

#include <cstdlib>

#include "base/Options.h"
#include "base/Scanner.h"

namespace {

const char ESC = PCDATA::ESC;
const char WIDE = PCDATA::WIDE;
const char WIDE_NUMERIC = PCDATA::WIDE_NUMERIC;

const unsigned long NBSP = 160;
const int CODE_PAGE_LATIN1 = 1252;

inline bool isSpaceChar(char c)
{
    return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

inline bool isMarkupChar(char c)
{
    return c == '"' || c == '&' || c == '<' || c == '>';
}

// The length of the escape that starts at s[i], by the same rules as
// PCDATAScanner::scanCharValue; 0 when no escape starts there.
std::size_t escapeLength(const std::string& s, std::size_t i)
{
    const std::size_t n = s.length();
    if (i >= n)
        return 0;
    if (s[i] == ESC)
        return i + 1 < n && s[i + 1] != 0 ? 2 : 0;
    if (s[i] != WIDE || i + 3 >= n)
        return 0;
    const char c1 = s[i + 1];
    const char c2 = s[i + 2];
    const char c3 = s[i + 3];
    if ((c1 == WIDE || c1 == WIDE_NUMERIC) && c2 != 0 && c3 != 0)
        return 4;
    if (c1 == ESC && c2 != 0 && (c3 == WIDE || c3 == WIDE_NUMERIC))
        return 4;
    return 0;
}

} // namespace

int PCDATA::pclen(const char* s)
{
    if (s == nullptr || *s == 0)
        return 0;
    if (*s == '\r')
        return s[1] == '\n' ? 2 : 1;
    if (*s == ESC)
        return s[1] != 0 ? 2 : 1;
    if (*s == WIDE) {
        int n = 1;
        while (n < 4 && s[n] != 0)
            ++n;
        return n;
    }
    const int n = std::mblen(s, MB_CUR_MAX);
    return n < 1 ? 1 : n;
}

bool PCDATA::_acceptLatin1()
{
    return DOMOptions::getCodePage() == CODE_PAGE_LATIN1;
}

std::string PCDATA::convertCharValueToData(unsigned long value, bool numeric)
{
    if (value == 0 || value > MAX_DATA_VALUE)
        return std::string();
    if (value < FIRST_WIDE_VALUE) {
        std::string out(1, ESC);
        out += static_cast<char>(value);
        return out;
    }
    const char high = static_cast<char>(value >> 8);
    const char low = static_cast<char>(value & 0xFF);
    const char mark = numeric ? WIDE_NUMERIC : WIDE;
    std::string out(1, WIDE);
    if (low != 0) {
        out += mark;
        out += high;
        out += low;
    } else {
        out += ESC;
        out += high;
        out += mark;
    }
    return out;
}

char PCDATA::convertCharValueToChar(unsigned long value)
{
    if (value == 0)
        return 0;
    if (value < FIRST_WIDE_VALUE) {
        if (value == NBSP)
            return ' ';
        if (value < ASCII_END || _acceptLatin1())
            return static_cast<char>(value);
        return 0;
    }
    if (value == EURO && _acceptLatin1())
        return EURO_1252;
    return 0;
}

std::string PCDATA::convertCharValueToDigit(unsigned long value)
{
    if (value == 0)
        return std::string();
    return std::to_string(value);
}

unsigned long PCDATA::convertDigitToCharValue(const std::string& digits)
{
    if (digits.empty())
        return 0;
    unsigned long value = 0;
    if (digits[0] == 'x') {
        if (digits.length() == 1)
            return 0;
        for (std::size_t i = 1; i < digits.length(); ++i) {
            const char c = digits[i];
            unsigned long d;
            if (c >= '0' && c <= '9')
                d = static_cast<unsigned long>(c - '0');
            else if (c >= 'a' && c <= 'f')
                d = static_cast<unsigned long>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                d = static_cast<unsigned long>(c - 'A' + 10);
            else
                return 0;
            value = value * 16 + d;
            if (value > MAX_CHAR_VALUE)
                return 0;
        }
        return value;
    }
    for (char c : digits) {
        if (c < '0' || c > '9')
            return 0;
        value = value * 10 + static_cast<unsigned long>(c - '0');
        if (value > MAX_CHAR_VALUE)
            return 0;
    }
    return value;
}

std::string PCDATA::convertTextToData(const std::string& text)
{
    std::string out;
    out.reserve(text.length());
    const bool latin1 = _acceptLatin1();
    for (char c : text) {
        if (isMarkupChar(c) || c == ESC || c == WIDE) {
            out += ESC;
            out += c;
        } else if (c == EURO_1252 && latin1) {
            out += convertCharValueToData(EURO, true);
        } else {
            out += c;
        }
    }
    return out;
}

std::string PCDATA::convertDataToText(const std::string& data)
{
    return _mapEscapes(data, [](std::string& out, unsigned long value, bool) {
        const char c = convertCharValueToChar(value);
        out += c != 0 ? c : '?';
    });
}

bool PCDATA::isSpace(const std::string& s, unsigned long i)
{
    if (i >= s.length() || !isSpaceChar(s[i]))
        return false;
    // Escape payloads lie at most three bytes behind the ESC or 0x1C that
    // starts them.  Step back to a byte that has no such byte in the three
    // before it, which therefore starts a character, then walk forward over
    // whole characters to see whether i starts one too.
    std::size_t start = i;
    for (;;) {
        bool clear = true;
        for (std::size_t k = 1; k <= 3 && k <= start; ++k) {
            const char b = s[start - k];
            if (b == ESC || b == WIDE) {
                clear = false;
                break;
            }
        }
        if (clear)
            break;
        --start;
    }
    std::size_t pos = start;
    while (pos < i) {
        const std::size_t n = escapeLength(s, pos);
        pos += n != 0 ? n : 1;
    }
    return pos == i;
}

unsigned long PCDATA::trim(std::string& s, bool left, bool right)
{
    const std::size_t before = s.length();
    if (left) {
        // A whitespace byte at the front always starts a character.
        std::size_t n = 0;
        while (n < s.length() && isSpaceChar(s[n]))
            ++n;
        s.erase(0, n);
    }
    if (right) {
        std::size_t end = s.length();
        while (end > 0 && isSpace(s, static_cast<unsigned long>(end - 1)))
            --end;
        s.erase(end);
    }
    return static_cast<unsigned long>(before - s.length());
}
