// The data form of character data and the conversions of it that need no
// document type.
#ifndef PAGEDOM_BASE_PCDATA_H
#define PAGEDOM_BASE_PCDATA_H

#include <string>

#include "base/Scanner.h"

// The data form of character data, and the conversions of it that need no
// document type.
//
// Text nodes, attribute data and entity replacement data keep plain bytes in
// which every character that came from a reference, and every character that
// is significant to markup (double quote, '&', '<', '>'), is stored as a
// character-value escape:
//   ESC b                 the value b (below 256);
//   0x1C 0x1C h l         the value h * 256 + l;
//   0x1C 0x1D h l         the same, written as a numeric reference in source;
//   0x1C 0x1B h 0x1C      the value h * 256 (a zero low byte cannot be stored);
//   0x1C 0x1B h 0x1D      the same, written as a numeric reference.
//
// The conversions that look entity names up live in PCDATAConverter, which
// derives from this class so that every conversion is reached through it.
class PCDATA {
public:
    // Starts a one-byte escape; marks the zero low byte of a wide one.
    static constexpr char ESC = 0x1B;
    // Starts a wide escape; marks a wide value written as a character.
    static constexpr char WIDE = 0x1C;
    // Marks a wide value written as a numeric reference.
    static constexpr char WIDE_NUMERIC = 0x1D;

    // The value of the euro sign.
    static constexpr unsigned long EURO = 8364;
    // The euro sign's byte in code page 1252.
    static constexpr char EURO_1252 = static_cast<char>(0x80);
    // The first value beyond ASCII.
    static constexpr unsigned long ASCII_END = 0x80;
    // The first value a one-byte escape cannot carry.
    static constexpr unsigned long FIRST_WIDE_VALUE = 0x100;
    // The largest value an escape can carry.
    static constexpr unsigned long MAX_DATA_VALUE = 0xFFFF;
    // The last code point; numeric references beyond it are malformed.
    static constexpr unsigned long MAX_CHAR_VALUE = 0x10FFFF;

    // The length in bytes of the data-form character at s: 0 at the
    // terminating byte; 2 for a CR LF pair and for an ESC escape; 4 for a
    // 0x1C escape; otherwise the multi-byte length of the character in the
    // current locale, at least 1.  The length never runs past the
    // terminating byte, so a loop stepping by pclen stays inside the string
    // even when the data ends in the middle of an escape.
    static int pclen(const char* s);

    // The data form of text: the four markup characters become escapes, and
    // under code page 1252 the euro byte becomes the euro's escape.
    static std::string convertTextToData(const std::string& text);
    // The text form of data: every escape becomes its byte in the host's
    // code page, or '?' where the code page has none.
    static std::string convertDataToText(const std::string& data);

    // The escape for one value; empty for 0 and for values above 0xFFFF,
    // which no escape can carry.  The numeric mark is kept only for values
    // of 256 and more.
    static std::string convertCharValueToData(unsigned long value, bool numeric);
    // The byte for one value in the host's code page, or 0 when there is
    // none.  A non-breaking space becomes a plain space.
    static char convertCharValueToChar(unsigned long value);
    // Decimal digits of the value; empty for 0.
    static std::string convertCharValueToDigit(unsigned long value);
    // The value of the body of a numeric reference ("65", "x41"); 0 when the
    // body is malformed or the value lies beyond the last code point.
    static unsigned long convertDigitToCharValue(const std::string& digits);

    // Whether the byte of s at i is real whitespace (TAB, LF, CR, SPACE)
    // rather than part of a character-value escape.  False when i is out
    // of range.
    static bool isSpace(const std::string& s, unsigned long i);
    // Removes leading (left) and/or trailing (right) whitespace from s in
    // place; escaped characters are never removed.  Returns the number of
    // bytes removed.
    static unsigned long trim(std::string& s, bool left, bool right);

protected:
    // Walks data: each run of plain bytes is copied as it is, each escape is
    // handed to escape(out, value, numeric), which appends its form, and
    // the byte of a broken escape is kept.
    template <class Escape>
    static std::string _mapEscapes(const std::string& data, Escape escape);

    // Whether the host's code page is Windows-1252, the one code page whose
    // upper half the conversions know.
    static bool _acceptLatin1();
};

template <class Escape>
std::string PCDATA::_mapEscapes(const std::string& data, Escape escape)
{
    std::string out;
    out.reserve(data.length());
    PCDATAScanner scanner(data, 0);
    std::string run;
    static const std::string starts{ESC, WIDE};
    const unsigned long length = scanner.getLength();
    while (scanner.getOffset() < length) {
        unsigned long end = scanner.findDelim(starts);
        if (end == Scanner::NOT_FOUND)
            end = length;
        if (end > scanner.getOffset()) {
            scanner.scanString(run, end - scanner.getOffset());
            out += run;
            continue;
        }
        unsigned long value = 0;
        bool numeric = false;
        scanner.scanCharValue(value, numeric);
        if (value != 0) {
            escape(out, value, numeric);
        } else {
            // A broken escape: keep the byte.
            out += scanner.getChar(0);
            scanner.forward(1);
        }
    }
    return out;
}

#endif
