#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reading/Scanner.h"

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

TEST(Scanner, NotFoundIsAll32BitsSet)
{
    EXPECT_EQ(0xFFFFFFFFul, Scanner::NOT_FOUND);
    Scanner s("abc", 0);
    EXPECT_EQ(0xFFFFFFFFul, s.findChar('z'));
    EXPECT_EQ(0xFFFFFFFFul, s.findString("zz"));
    EXPECT_EQ(0xFFFFFFFFul, s.findSpace());
    EXPECT_EQ(0xFFFFFFFFul, s.findDelim("xyz"));
    EXPECT_EQ(0xFFFFFFFFul, s.findDelim(""));
}

TEST(Scanner, GetCharAndMovesClampAtTheEnds)
{
    Scanner s("abc", 1);
    EXPECT_EQ('b', s.getChar(0));
    EXPECT_EQ('c', s.getChar(1));
    EXPECT_EQ(0, s.getChar(2));
    EXPECT_EQ(0, s.getChar(0xFFFFFFFFul));
    EXPECT_EQ(0, s.getChar(static_cast<unsigned long>(-1)));
    EXPECT_EQ(1u, s.getOffset());

    EXPECT_EQ(3u, s.forward(100));
    EXPECT_EQ(0, s.getChar(0));
    EXPECT_EQ(3u, s.getOffset());
    EXPECT_FALSE(s.isSpace(0));
    EXPECT_EQ(3u, s.forward(static_cast<unsigned long>(-1)));

    EXPECT_EQ(2u, s.rewind(1));
    EXPECT_EQ(0u, s.rewind(10));
    Scanner t("abcdef", 3);
    EXPECT_EQ(0u, t.rewind(10));
    EXPECT_EQ(6u, t.getLength());
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

    Scanner all("   ", 0);
    EXPECT_EQ(3u, all.skipSpaces());
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
    // Empty delimiters stop at whitespace.
    s.forward(1);
    s.skipSpaces();
    EXPECT_EQ(16u, s.scanName(out, ""));
    EXPECT_EQ("next", out);
    // Nothing left.
    EXPECT_EQ(16u, s.scanName(out, ""));
    EXPECT_EQ("", out);

    Scanner t("a b\tc", 0);
    EXPECT_EQ(1u, t.scanName(out, ""));
    EXPECT_EQ("a", out);

    Scanner u("abcdef", 2);
    EXPECT_EQ(4u, u.scanString(out, 2));
    EXPECT_EQ("cd", out);
    EXPECT_EQ(6u, u.scanString(out, 50));
    EXPECT_EQ("ef", out);
}

TEST(Scanner, ScanValueQuotedAndUnquoted)
{
    std::string out;
    // Unterminated double quote: the rest of the input, offset at the end.
    Scanner a("\"abc", 0);
    EXPECT_EQ(4u, a.scanValue(out, ""));
    EXPECT_EQ("abc", out);
    EXPECT_EQ(4u, a.getOffset());

    // Single quotes keep the space inside and step past the closing quote.
    Scanner b("'a b' rest", 0);
    EXPECT_EQ(5u, b.scanValue(out, ""));
    EXPECT_EQ("a b", out);
    EXPECT_EQ(' ', b.getChar(0));

    // Two unquoted words with no delimiters: the first word.
    Scanner c("one two", 0);
    EXPECT_EQ(3u, c.scanValue(out, ""));
    EXPECT_EQ("one", out);

    // A double quote inside single quotes is data.
    Scanner d("'say \"hi\"'>", 0);
    d.scanValue(out, ">");
    EXPECT_EQ("say \"hi\"", out);
    EXPECT_EQ('>', d.getChar(0));

    // Unquoted with delimiters.
    Scanner e("value>tail", 0);
    EXPECT_EQ(5u, e.scanValue(out, "> "));
    EXPECT_EQ("value", out);

    // An empty quoted value.
    Scanner f("\"\"x", 0);
    EXPECT_EQ(2u, f.scanValue(out, ""));
    EXPECT_EQ("", out);
    EXPECT_EQ('x', f.getChar(0));
}

TEST(Scanner, FindsSearchFromTheOffsetAndDoNotMove)
{
    Scanner s("a;b;c d", 2);
    EXPECT_EQ(3u, s.findChar(';'));
    EXPECT_EQ(3u, s.findDelim(" ;"));
    EXPECT_EQ(5u, s.findSpace());
    EXPECT_EQ(4u, s.findString("c d"));
    EXPECT_EQ(Scanner::NOT_FOUND, s.findString("a;"));
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
    Scanner a("hello world", 0);
    a.forward(6);
    Scanner b(a);
    EXPECT_EQ(6u, b.getOffset());
    b.rewind(6);
    EXPECT_EQ(6u, a.getOffset());
    Scanner c("x", 0);
    c = a;
    EXPECT_EQ('w', c.getChar(0));
    EXPECT_EQ(11u, c.getLength());
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
    unsigned long value = 99;
    bool numeric = true;

    PCDATAScanner a(std::string("\x1B<x"), 0);
    EXPECT_EQ(2u, a.scanCharValue(value, numeric));
    EXPECT_EQ(60u, value);
    EXPECT_FALSE(numeric);

    // A byte above 127 after ESC is its unsigned value.
    PCDATAScanner b(std::string("\x1B\xA9"), 0);
    b.scanCharValue(value, numeric);
    EXPECT_EQ(169u, value);

    // ESC followed by 0 (end of text) consumes nothing.
    PCDATAScanner c(std::string("\x1B"), 0);
    EXPECT_EQ(0u, c.scanCharValue(value, numeric));
    EXPECT_EQ(0u, value);
    EXPECT_FALSE(numeric);
    PCDATAScanner c2(std::string("\x1B\0x", 3), 0);
    EXPECT_EQ(0u, c2.scanCharValue(value, numeric));
    EXPECT_EQ(0u, value);

    // Four-byte forms; the low byte above 127 must not go negative.
    PCDATAScanner d(std::string("\x1C\x1D\x20\xAC!"), 0);
    EXPECT_EQ(4u, d.scanCharValue(value, numeric));
    EXPECT_EQ(8364u, value);
    EXPECT_TRUE(numeric);
    PCDATAScanner e(std::string("\x1C\x1C\xFF\xFF"), 0);
    e.scanCharValue(value, numeric);
    EXPECT_EQ(0xFFFFu, value);
    EXPECT_FALSE(numeric);

    // Zero low byte.
    PCDATAScanner f(std::string("\x1C\x1B\x20\x1D"), 0);
    EXPECT_EQ(4u, f.scanCharValue(value, numeric));
    EXPECT_EQ(0x2000u, value);
    EXPECT_TRUE(numeric);
    PCDATAScanner g(std::string("\x1C\x1B\x01\x1C"), 0);
    g.scanCharValue(value, numeric);
    EXPECT_EQ(0x100u, value);
    EXPECT_FALSE(numeric);

    // Malformed and truncated forms consume nothing.
    const std::string bad[] = {
        std::string("\x1C" "abc"), std::string("\x1C\x1C\x20"), std::string("\x1C\x1B\x20" "a"),
        std::string("\x1C\x1D\0\x41", 4), std::string("plain"), std::string(),
    };
    for (const std::string& text : bad) {
        PCDATAScanner p(text, 0);
        value = 7;
        numeric = true;
        EXPECT_EQ(0u, p.scanCharValue(value, numeric)) << text;
        EXPECT_EQ(0u, value);
        EXPECT_FALSE(numeric);
    }

    // Decoding from the middle of a buffer, one escape after the other.
    PCDATAScanner h(std::string("a\x1B&\x1C\x1C\x01\x02z"), 1);
    EXPECT_EQ(3u, h.scanCharValue(value, numeric));
    EXPECT_EQ(38u, value);
    EXPECT_EQ(7u, h.scanCharValue(value, numeric));
    EXPECT_EQ(0x102u, value);
    EXPECT_EQ(7u, h.scanCharValue(value, numeric));
    EXPECT_EQ(0u, value);

    PCDATAScanner copy(h);
    EXPECT_EQ('z', copy.getChar(0));
    PCDATAScanner assigned;
    assigned = h;
    EXPECT_EQ(7u, assigned.getOffset());
}
