#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Scanner.h"

namespace {

// A scanner whose text arrives in pieces, one piece per _read call, the way
// a reader over a stream refills its buffer.
class PieceScanner : public Scanner {
public:
    explicit PieceScanner(std::vector<std::string> pieces)
        : Scanner(std::string(), 0), _pieces(std::move(pieces)), _next(0), _reads(0)
    {
    }

    unsigned long reads() const { return _reads; }
    unsigned long piecesLeft() const { return static_cast<unsigned long>(_pieces.size() - _next); }

protected:
    unsigned long _read() override
    {
        ++_reads;
        while (_next < _pieces.size()) {
            // Empty pieces add nothing; keep going so that 0 really means
            // the end of the input.
            unsigned long n = _appendBuffer(_pieces[_next++]);
            if (n != 0)
                return n;
        }
        return 0;
    }

private:
    std::vector<std::string> _pieces;
    std::size_t _next;
    unsigned long _reads;
};

} // namespace

TEST(Scanner, GetCharAndMovesClampAtTheEnds)
{
    Scanner s("abc", 1);
    EXPECT_EQ('b', s.getChar(0));
    EXPECT_EQ('c', s.getChar(1));
    EXPECT_EQ(0, s.getChar(2));
    EXPECT_EQ(0, s.getChar(static_cast<unsigned long>(-1)));
    EXPECT_EQ(1u, s.getOffset());

    EXPECT_EQ(3u, s.forward(100));
    EXPECT_EQ(0, s.getChar(0));
    EXPECT_FALSE(s.isSpace(0));
    EXPECT_EQ(3u, s.forward(static_cast<unsigned long>(-1)));

    EXPECT_EQ(2u, s.rewind(1));
    EXPECT_EQ(0u, s.rewind(10));
    // An empty buffer.
    Scanner e("", 0);
    EXPECT_EQ(0, e.getChar(0));
    EXPECT_EQ(0u, e.skipSpaces());
    std::string out = "x";
    EXPECT_EQ(0u, e.scanString(out, 5));
    EXPECT_EQ("", out);
}

TEST(Scanner, SkipSpacesTakesOnlyTheFourWhitespaceCharacters)
{
    Scanner s(" \t\r\n\v x", 0);
    EXPECT_EQ(4u, s.skipSpaces());
    EXPECT_EQ('\v', s.getChar(0));
    EXPECT_FALSE(s.isSpace(0));
    EXPECT_TRUE(s.isSpace(1));
}

TEST(Scanner, ScanStringAndScanName)
{
    std::string out;
    Scanner s("name=value; next", 0);
    EXPECT_EQ(4u, s.scanName(out, "=;"));
    EXPECT_EQ("name", out);
    s.forward(1);
    EXPECT_EQ(10u, s.scanName(out, "=;"));
    EXPECT_EQ("value", out);
    // Empty delimiters stop at white space only.
    EXPECT_EQ(11u, s.scanName(out, ""));
    EXPECT_EQ(";", out);
    s.skipSpaces();
    EXPECT_EQ(16u, s.scanName(out, ""));
    EXPECT_EQ("next", out);
    // Nothing left.
    EXPECT_EQ(16u, s.scanName(out, ""));
    EXPECT_EQ("", out);

    Scanner u("abcdef", 2);
    EXPECT_EQ(4u, u.scanString(out, 2));
    EXPECT_EQ("cd", out);
    EXPECT_EQ(6u, u.scanString(out, 50));
    EXPECT_EQ("ef", out);
}

TEST(Scanner, ScanValueQuotedAndUnquoted)
{
    // text, delimiters, returned offset, value, the character left at the offset
    const struct {
        const char *text, *delims;
        unsigned long end;
        const char* value;
        char next;
    } cases[] = {
        {"\"abc", "", 4, "abc", 0},              // unterminated: the rest of the input
        {"'a b' rest", "", 5, "a b", ' '},        // past the closing quote
        {"one two", "", 3, "one", ' '},           // unquoted without delimiters: one word
        {"'say \"hi\"'>", ">", 10, "say \"hi\"", '>'},
        {"value>tail", "> ", 5, "value", '>'},
        {"\"\"x", "", 2, "", 'x'},
    };
    for (const auto& c : cases) {
        Scanner s(c.text, 0);
        std::string out = "old";
        EXPECT_EQ(c.end, s.scanValue(out, c.delims)) << c.text;
        EXPECT_EQ(c.value, out);
        EXPECT_EQ(c.next, s.getChar(0)) << c.text;
    }
}

TEST(Scanner, FindsSearchFromTheOffsetAndDoNotMove)
{
    Scanner s("a;b;c d", 2);
    EXPECT_EQ(3u, s.findChar(';'));
    EXPECT_EQ(3u, s.findDelim(" ;"));
    EXPECT_EQ(5u, s.findSpace());
    EXPECT_EQ(4u, s.findString("c d"));
    EXPECT_EQ(0xFFFFFFFFul, s.findString("a;")); // NOT_FOUND: all 32 bits set
    EXPECT_EQ(Scanner::NOT_FOUND, s.findChar('z'));
    EXPECT_EQ(Scanner::NOT_FOUND, s.findDelim(""));
    EXPECT_EQ(2u, s.findString(""));
    EXPECT_EQ(2u, s.getOffset());

    EXPECT_TRUE(s.matchString("b;c"));
    EXPECT_TRUE(s.matchString(""));
    EXPECT_FALSE(s.matchString("b;d"));
    EXPECT_FALSE(s.matchString("b;c d and more"));
    EXPECT_EQ(2u, s.getOffset());
}

TEST(Scanner, CopiesAreIndependent)
{
    Scanner a("hello world", 6);
    Scanner b(a), c("x", 0);
    b.rewind(6);
    c = a;
    EXPECT_EQ(6u, a.getOffset());
    EXPECT_EQ('w', c.getChar(0));
}

TEST(Scanner, DerivedScannerReadsOnlyWhenItMustAndFindsAcrossPieces)
{
    // Found in the first piece: no further reading beyond what getChar needs.
    PieceScanner s({"ab;c", "de", "f"});
    EXPECT_EQ(0u, s.getLength());
    EXPECT_EQ('a', s.getChar(0));
    EXPECT_EQ(1u, s.reads());
    EXPECT_EQ(2u, s.findChar(';'));
    EXPECT_EQ(1u, s.reads());
    // findChar in a later piece.
    EXPECT_EQ(6u, s.findChar('f'));
    EXPECT_EQ(7u, s.getLength());
    EXPECT_EQ(0u, s.piecesLeft());
    EXPECT_EQ(Scanner::NOT_FOUND, s.findChar('z'));
    EXPECT_EQ(0u, s.getOffset());

    // getChar reads as far as it must; forward never reads.
    PieceScanner g({"a", "", "b", "c"});
    EXPECT_EQ('c', g.getChar(2));
    EXPECT_EQ(3u, g.getLength());
    EXPECT_EQ(0, g.getChar(3));

    PieceScanner f({"ab", "cd"});
    EXPECT_EQ(0u, f.forward(1));
    f.getChar(0);
    EXPECT_EQ(2u, f.forward(5));
}

TEST(Scanner, FindStringAcrossARefillBoundary)
{
    // The match starts in the old text and ends in the new one.
    PieceScanner a({"0123456789xxab", "cdefyy"});
    a.getChar(0);
    EXPECT_EQ(12u, a.findString("abcdef"));

    // Spread over many one-character pieces.
    std::vector<std::string> pieces;
    for (char c : std::string("-->--x-->"))
        pieces.push_back(std::string(1, c));
    PieceScanner b(pieces);
    b.forward(b.getLength());
    EXPECT_EQ(0u, b.findString("-->"));
    b.getChar(4);
    b.forward(1);
    EXPECT_EQ(6u, b.findString("-->"));
    EXPECT_EQ(Scanner::NOT_FOUND, b.findString("x-->!"));

    // Buffer shorter than the string when the search starts.
    PieceScanner c({"?", "?", ">", "tail"});
    EXPECT_EQ(1u, c.findString("?>"));

    // Offset near the end of the old text.
    PieceScanner d({"aaaaab", "c"});
    d.getChar(5);
    d.forward(3);
    EXPECT_EQ(4u, d.findString("abc"));
}

TEST(Scanner, DelimitersMatchesAndValuesAcrossPieces)
{
    PieceScanner a({"name", "  =", "'some ", "value'", " next"});
    std::string out;
    EXPECT_EQ(4u, a.scanName(out, "= \t\r\n"));
    EXPECT_EQ("name", out);
    a.skipSpaces();
    EXPECT_TRUE(a.matchString("='some value'"));
    a.forward(1);
    a.scanValue(out, "");
    EXPECT_EQ("some value", out);
    EXPECT_EQ(' ', a.getChar(0));
    EXPECT_EQ(19u, a.findSpace());
    a.skipSpaces();
    a.scanName(out, "");
    EXPECT_EQ("next", out);
    EXPECT_EQ(a.getLength(), a.getOffset());

    // An unterminated quoted value reads the whole input.
    PieceScanner b({"\"ab", "cd", "ef"});
    b.scanValue(out, "");
    EXPECT_EQ("abcdef", out);
    EXPECT_EQ(7u, b.getOffset());

    // matchString across pieces, and failing at the end of the input.
    PieceScanner c({"<!", "-", "-x"});
    EXPECT_TRUE(c.matchString("<!--"));
    EXPECT_FALSE(c.matchString("<!--xy"));
    EXPECT_EQ(0u, c.getOffset());
}

TEST(PCDATAScanner, ScanCharValueDecodesEveryEscapeForm)
{
    // Every well-formed escape round-trips through the converter's tests;
    // here the forms that must not be decoded, and decoding in sequence.
    // ESC at the end of the text, malformed and truncated forms: nothing
    // consumed, value 0, no numeric mark.
    const std::string bad[] = {"\x1B", std::string("\x1B\0x", 3), "\x1C" "abc", "\x1C\x1C\x20",
                               "\x1C\x1B\x20" "a", std::string("\x1C\x1D\0\x41", 4), "plain", ""};
    for (const std::string& text : bad) {
        PCDATAScanner p(text, 0);
        unsigned long value = 7;
        bool numeric = true;
        EXPECT_EQ(0u, p.scanCharValue(value, numeric)) << text;
        EXPECT_TRUE(value == 0 && !numeric) << text;
    }

    // Decoding from the middle of a buffer, one escape after the other.
    unsigned long value = 0;
    bool numeric = false;
    PCDATAScanner h(std::string("a\x1B&\x1C\x1C\x01\x02z"), 1);
    EXPECT_EQ(3u, h.scanCharValue(value, numeric));
    EXPECT_EQ(38u, value);
    EXPECT_EQ(7u, h.scanCharValue(value, numeric));
    EXPECT_EQ(0x102u, value);
    EXPECT_EQ(7u, h.scanCharValue(value, numeric));
    EXPECT_EQ(0u, value);
    PCDATAScanner copy;
    copy = h;
    EXPECT_EQ('z', copy.getChar(0));
}
