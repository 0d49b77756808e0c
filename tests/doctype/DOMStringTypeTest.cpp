#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "doctype/DOMStringType.h"

namespace {

std::string compacted(std::string text, unsigned long* length = nullptr)
{
    unsigned long n = DOMStringType::compact(text);
    if (length)
        *length = n;
    return text;
}

std::string headline(std::string text, unsigned int limit)
{
    DOMStringType::headline(text, limit);
    return text;
}

// Switches the C library to a UTF-8 locale for one test, when there is one.
class Utf8Locale {
public:
    Utf8Locale()
    {
        const char* old = std::setlocale(LC_CTYPE, nullptr);
        _old = old ? old : "C";
        _active = std::setlocale(LC_CTYPE, "C.UTF-8") || std::setlocale(LC_CTYPE, "C.utf8") ||
                  std::setlocale(LC_CTYPE, "en_US.UTF-8");
    }
    ~Utf8Locale() { std::setlocale(LC_CTYPE, _old.c_str()); }
    bool active() const { return _active; }

private:
    std::string _old;
    bool _active;
};

} // namespace

TEST(DOMStringType, Compact)
{
    unsigned long n = 0;
    EXPECT_EQ(" a b ", compacted("  a \t\r\n b \n", &n));
    EXPECT_EQ(5u, n);
    EXPECT_EQ("", compacted("", &n));
    EXPECT_EQ(0u, n);
    EXPECT_EQ("abc", compacted("abc", &n));
    EXPECT_EQ(3u, n);
    EXPECT_EQ(" ", compacted("\r\n\r\n"));
    // Only the four white-space characters collapse; other bytes are kept.
    EXPECT_EQ("a\fb\x1b c", compacted("a\fb\x1b\t\tc"));
    EXPECT_EQ(std::string("a\0 b", 4), compacted(std::string("a\0\t\tb", 5)));
}

TEST(DOMStringType, Headline)
{
    EXPECT_EQ("abc...", headline("  abc\tdef", 10));
    EXPECT_EQ("abc", headline("abc", 10));
    EXPECT_EQ("abc", headline(" \r\n\tabc", 10));
    EXPECT_EQ("abcde...", headline("abcdefghij", 5));
    EXPECT_EQ("abcdefghij", headline("abcdefghij", 10));
    // A line feed does not end the headline; a carriage return does.
    EXPECT_EQ("ab\ncd", headline("ab\ncd", 10));
    EXPECT_EQ("ab...", headline("ab\r\ncd", 10));
    EXPECT_EQ("", headline("    ", 10));
    EXPECT_EQ("", headline("", 10));
    EXPECT_EQ("...", headline("abc", 0));
    // Trailing white space is kept when it fits.
    EXPECT_EQ("ab  ", headline("ab  ", 10));
}

TEST(DOMStringType, HeadlineKeepsMultiByteCharactersWhole)
{
    Utf8Locale locale;
    if (!locale.active())
        GTEST_SKIP() << "no UTF-8 locale";
    const std::string e = "\xc3\xa9";  // two bytes
    EXPECT_EQ("a...", headline("a" + e + "b", 2));
    EXPECT_EQ("a" + e + "...", headline("a" + e + "b", 3));
    EXPECT_EQ("a" + e + "b", headline("a" + e + "b", 4));
    const std::string cjk = "\xe6\x97\xa5";  // three bytes
    EXPECT_EQ(cjk + "...", headline(cjk + cjk, 5));
    // An invalid byte counts as one character of one byte.
    EXPECT_EQ("\xff" "a...", headline("\xff" "ab", 2));
}
