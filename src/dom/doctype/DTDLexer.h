// The lexer of DTD text, which expands parameter-entity references as it
// reads.
#ifndef PAGEDOM_DOCTYPE_DTDLEXER_H
#define PAGEDOM_DOCTYPE_DTDLEXER_H

#include <string>

#include "base/Lexer.h"

class NamedNodeMap;

// Cuts DTD text written in the SGML style of the HTML 4.0 DTDs into tokens,
// expanding parameter-entity references as it goes.
//
// Expansion happens in place and just ahead of the reader: a reference is
// replaced by its entity's value only when the lexer first needs a character
// at its position, so an entity declared earlier in the text is known by the
// time its reference is read.  The inserted value is not scanned again.  The
// expanded text is built by appending to the lexer's source while the raw
// text is read once from left to right, so expansion costs time in
// proportion to the text produced, however many references there are.
// Comments ("--" to the next "--") are copied unexpanded.  A reference to an
// undefined entity is left as written and announced by a
// TOKEN_UNDEFINED_REFERENCE token in the queue.
//
// Token spans index the expanded text (getSource), which only grows: spans
// of tokens already made stay valid.
class DTDLexer : public Lexer {
public:
    // Kinds of the DTD lexer besides the shared ones of Lexer.
    enum DTDTokenKind : unsigned long {
        TOKEN_NOTATION_DECL = 4,         // "!NOTATION"
        TOKEN_ENTITY_DECL = 5,           // "!ENTITY"
        TOKEN_ATTLIST_DECL = 8,          // "!ATTLIST"
        TOKEN_ELEMENT_DECL = 9,          // "!ELEMENT"
        TOKEN_LITERAL = 10,              // text between quotes (quotes excluded)
        TOKEN_UNDEFINED_REFERENCE = 19,  // %name; of an undeclared parameter entity
        TOKEN_PCDATA = 22,               // the name "#PCDATA"
        TOKEN_CDATA_NAME = 23,           // the name "CDATA"
        TOKEN_MARKED_SECTION = 25,       // the '!' of "<!["
        TOKEN_GROUP_DECL = 52            // "!GROUP"
    };

    static const char* const ELEMENT_KEY;   // "!ELEMENT"
    static const char* const ENTITY_KEY;    // "!ENTITY"
    static const char* const ATTLIST_KEY;   // "!ATTLIST"
    static const char* const NOTATION_KEY;  // "!NOTATION"
    static const char* const COMMENT_KEY;   // "!--"
    static const char* const SECTION_KEY;   // "!["
    static const char* const GROUP_KEY;     // "!GROUP"
    static const char* const PCDATA_NAME;   // "#PCDATA"
    static const char* const CDATA_NAME;    // "CDATA"

    // The parameter entities are looked up in the map, which the caller
    // keeps alive and fills while reading.
    DTDLexer(const std::string& text, const NamedNodeMap* parameterEntities);

    // Whether c ends a name.
    static bool isNameDelimiter(char c);

protected:
    void scanToken() override;
    // Keywords of DTDs are compared case-sensitively.
    bool matchWord(const char* word) override;
    char readChar(bool advance) override;

private:
    // Whether index exists in the expanded text, expanding as far as needed.
    bool _has(unsigned long index);
    char _charAt(unsigned long index) { return _has(index) ? _source[index] : '\0'; }
    // Moves one piece of the raw text into the source: a run of plain text, a
    // comment, or one parameter-entity reference replaced by its value.
    void _expandStep();

    void _scanComment();
    void _scanLiteral(char quote);
    void _scanName();

    std::string _text;
    unsigned long _textPosition;
    const NamedNodeMap* _parameterEntities;
};

#endif
