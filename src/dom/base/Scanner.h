// The character cursor of the XML reader and the character-reference
// converter, and its variant that decodes the data form of text.
#ifndef PAGEDOM_BASE_SCANNER_H
#define PAGEDOM_BASE_SCANNER_H

#include <string>

// A cursor over a narrow character buffer.
//
// The buffer holds the text scanned so far; the offset is the index of the
// current character.  All offsets taken and returned are absolute indices
// into the buffer.  A scanner built on a string has no further input, but a
// derived scanner may override _read() to append more text on demand: every
// operation that looks ahead (getChar, the find operations, matchString)
// asks for more text when the buffer runs out, so callers need not know how
// the text arrives.
//
// Whitespace means exactly TAB, LF, CR and SPACE.  Nothing here throws on
// bad input: finds report NOT_FOUND, reading past the end yields the
// character 0, and moves clamp to the buffer.
class Scanner {
public:
    // The result of a find that finds nothing.
    static constexpr unsigned long NOT_FOUND = 0xFFFFFFFFul;

    // A scanner over a copy of buffer, at offset.
    Scanner(const std::string& buffer = std::string(), unsigned long offset = 0);
    // A scanner over a copy of other's buffer, at other's offset.
    Scanner(const Scanner& other);
    // Takes a copy of other's buffer and other's offset.
    Scanner& operator=(const Scanner& other);
    // Destroys the scanner and its buffer.
    virtual ~Scanner();

    // The index of the current character.
    unsigned long getOffset() const { return _offset; }
    // The length of the text scanned so far.
    unsigned long getLength() const { return static_cast<unsigned long>(_buffer.length()); }

    // The character at offset + i, reading more text while the buffer is too
    // short; 0 when the input ends first.
    char getChar(unsigned long i);
    // Whether getChar(i) is one of the four whitespace characters.
    bool isSpace(unsigned long i);

    // Moves the offset n characters on, clamped to the present buffer (it
    // never reads); returns the new offset.
    unsigned long forward(unsigned long n);
    // Moves the offset n characters back, clamped to 0; returns the new
    // offset.
    unsigned long rewind(unsigned long n);
    // Steps over whitespace; returns the new offset.
    unsigned long skipSpaces();

    // Copies up to n characters of the present buffer at the offset into
    // out and steps over them.  Returns the new offset.
    unsigned long scanString(std::string& out, unsigned long n);
    // Copies the characters up to the first of delims (or, for an empty
    // delims, up to the first whitespace) or to the end of the input into
    // out and steps over them.  Returns the new offset.
    unsigned long scanName(std::string& out, const std::string& delims);
    // Like scanName, but a value that starts with a double or single quote
    // runs to the matching quote, which is stepped over.  The quotes are
    // never part of out; a value whose closing quote is missing runs to the
    // end of the input.  Returns the new offset.
    unsigned long scanValue(std::string& out, const std::string& delims);

    // Find operations: the first index at or after the offset where the
    // character, the string or a member of the set occurs, reading more text
    // as needed; NOT_FOUND when the input ends first.  They never move the
    // offset.
    // The first index of c.
    unsigned long findChar(char c);
    // The first index where s starts (a match may straddle text read later).
    unsigned long findString(const std::string& s);
    // The first index of a whitespace character.
    unsigned long findSpace();
    // The first index of any member of delims; NOT_FOUND for an empty set.
    unsigned long findDelim(const std::string& delims);

    // Whether the characters at the offset equal s (reading as needed).
    // Does not move the offset.
    bool matchString(const std::string& s);

protected:
    // Asks the source for more text, appends it with _appendBuffer and
    // returns the number of characters appended; 0 means the input is
    // exhausted.  A plain scanner has no further input.
    virtual unsigned long _read();
    // Appends s to the buffer; returns its length.
    unsigned long _appendBuffer(const std::string& s);

private:
    const std::string& _getBuffer() const { return _buffer; }
    // Finds a single character from the offset on, reading as needed:
    // find(buffer, from) returns its position or npos.  After a read only
    // the new text needs looking at.
    template <typename Find>
    unsigned long _findCharacter(Find find);

    std::string _buffer;
    unsigned long _offset;

    // The XML reader scans its buffer in place.
    friend class XMLParser;
};

// A scanner over data-form text that decodes character-value escapes.
class PCDATAScanner : public Scanner {
public:
    // A scanner over a copy of the data-form buffer, at offset.
    PCDATAScanner(const std::string& buffer = std::string(), unsigned long offset = 0);
    // A scanner over a copy of other's buffer, at other's offset.
    PCDATAScanner(const PCDATAScanner& other);
    // Takes a copy of other's buffer and other's offset.
    PCDATAScanner& operator=(const PCDATAScanner& other);

    // Decodes the escape at the offset: ESC b gives b; 0x1C 0x1C|0x1D h l
    // gives h * 256 + l; 0x1C 0x1B h 0x1C|0x1D gives h * 256.  numeric tells
    // whether the value was written as a numeric reference (0x1D).  Anything
    // else yields 0 and consumes nothing.  Returns the new offset.
    unsigned long scanCharValue(unsigned long& value, bool& numeric);
};

#endif
