#ifndef PAGEDOM_WRITING_PCDATACONVERTER_H
#define PAGEDOM_WRITING_PCDATACONVERTER_H

#include <string>

class Document;
class DocumentType;
class Entity;

// The data form of character data.
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
class PCDATA {
public:
    static constexpr char ESC = 0x1B;
    static constexpr char WIDE = 0x1C;
    static constexpr char WIDE_NUMERIC = 0x1D;

    // The length in bytes of the data-form character at s: 0 at the
    // terminating byte; 2 for a CR LF pair and for an ESC escape; 4 for a
    // 0x1C escape; otherwise the multi-byte length of the character in the
    // current locale, at least 1.  The length never runs past the
    // terminating byte, so a loop stepping by pclen stays inside the string
    // even when the data ends in the middle of an escape.
    static int pclen(const char* s);
};

// Converts character data between its three forms:
//   source  page text as written, with entity and numeric references;
//   data    the data form above;
//   text    what the user sees and types: plain bytes in the host's code
//           page, every character value turned into one byte where the code
//           page has one.
//
// Entity names come from a secondary document type (a document's own
// DOCTYPE declarations) first and then from the primary one (the document's
// registered type, by default the XML document type).  Without any document
// type only numeric references are read and written.
//
// The converter is a small value: it holds the document types without
// references, so it must not outlive them.
class PCDATAConverter {
public:
    // The primary document type is the XML document type.
    PCDATAConverter();
    // A null type is replaced by the XML document type.
    explicit PCDATAConverter(const DocumentType* documentType);
    // The document's registered type; for a document that is not an HTML
    // document, also the declarations of its DOCTYPE node.
    explicit PCDATAConverter(const Document* document);

    std::string convertSourceToData(const std::string& source) const;
    std::string convertDataToSource(const std::string& data) const;
    static std::string convertTextToData(const std::string& text);
    static std::string convertDataToText(const std::string& data);
    std::string convertTextToSource(const std::string& text) const;
    std::string convertSourceToText(const std::string& source) const;

    // The escape for one value; empty for 0 and for values above 0xFFFF,
    // which no escape can carry.  The numeric mark is kept only for values
    // of 256 and more.
    static std::string convertCharValueToData(unsigned long value, bool numeric);
    // The reference for one value: the entity name when one is registered
    // for the value and numeric is false, else a decimal numeric reference.
    // Empty for 0.
    std::string convertCharValueToSource(unsigned long value, bool numeric) const;
    // The byte for one value in the host's code page, or 0 when there is
    // none.  A non-breaking space becomes a plain space.
    static char convertCharValueToChar(unsigned long value);
    // Decimal digits of the value; empty for 0.
    static std::string convertCharValueToDigit(unsigned long value);
    // The value of the body of a numeric reference ("65", "x41"); 0 when the
    // body is malformed or the value lies beyond the last code point.
    static unsigned long convertDigitToCharValue(const std::string& digits);
    // Rewrites the references of a source text in one form: bare double
    // quotes, '<', '>' and '&' become references; numeric references and
    // entity references to the four markup characters are rewritten by
    // convertCharValueToSource; other entity references stay as written.
    std::string convertCharValueOfSource(const std::string& source, bool numeric) const;

    // Whether the byte of s at i is real whitespace (TAB, LF, CR, SPACE)
    // rather than part of a character-value escape.  False when i is out
    // of range.
    static bool isSpace(const std::string& s, unsigned long i);
    // Removes leading (left) and/or trailing (right) whitespace from s in
    // place; escaped characters are never removed.  Returns the number of
    // bytes removed.
    static unsigned long trim(std::string& s, bool left, bool right);

private:
    const Entity* _getEntity(const std::string& name) const;
    const Entity* _getEntity(unsigned long value) const;
    static bool _acceptLatin1();
    void _initDocumentType();

    void _sourceToText(const std::string& source, std::string& out, unsigned depth,
                       unsigned long& expansions) const;

    const DocumentType* _documentType;
    const DocumentType* _secondaryType;
};

#endif
