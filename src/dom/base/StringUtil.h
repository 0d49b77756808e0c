// Small string helpers: ASCII case folding and the library's not-found
// position.
#ifndef PAGEDOM_BASE_STRINGUTIL_H
#define PAGEDOM_BASE_STRINGUTIL_H

#include <cstddef>
#include <string>

// ASCII-only case helpers.  Names compared without regard to case are folded
// for the 26 ASCII letters only; other bytes, including multi-byte
// characters, never change.
namespace pagedom {
namespace str {

// The bytes that end a name in page markup (a tag or attribute name, an
// entity name before ";").
constexpr const char* NAME_DELIMITERS = " \t\v\r\f\n()|*?+<>=\"'&";

inline char lowerChar(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
inline char upperChar(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

inline std::string lower(std::string s)
{
    for (char& c : s)
        c = lowerChar(c);
    return s;
}

inline std::string upper(std::string s)
{
    for (char& c : s)
        c = upperChar(c);
    return s;
}

// Equal ignoring ASCII case, same length.
inline bool equalsIgnoreCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerChar(a[i]) != lowerChar(b[i]))
            return false;
    return true;
}

// Whether text ends with end.
inline bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Whether the length bytes at text are the upper-case word, ignoring case.
inline bool matchesUpperWord(const char* text, std::size_t length, const char* upperWord)
{
    std::size_t i = 0;
    for (; upperWord[i]; ++i)
        if (i == length || upperChar(text[i]) != upperWord[i])
            return false;
    return i == length;
}

// The library's 32-bit "not found" position (Node::NOT_FOUND,
// Scanner::NOT_FOUND).
constexpr unsigned long NOT_FOUND = 0xFFFFFFFFul;

// Translates a standard-library "not found" into the library's 32-bit one.
inline unsigned long pos(std::size_t p)
{
    return p == std::string::npos ? NOT_FOUND : static_cast<unsigned long>(p);
}

} // namespace str
} // namespace pagedom

#endif
