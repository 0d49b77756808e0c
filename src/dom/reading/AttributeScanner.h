// Reads the attributes of start tags, server-side include directives and JSP
// directives as spans of the page, for the page parser to make nodes of.
#ifndef PAGEDOM_READING_ATTRIBUTESCANNER_H
#define PAGEDOM_READING_ATTRIBUTESCANNER_H

#include <string>
#include <vector>

#include "base/Lexer.h"

class HTMLLexer;

namespace pagedom {

// The one place where attributes are read.  "<a href=x>", "<!--#include
// file=x -->" and "<%@ page import=x %>" all leave the same list of spans
// behind, so that the parser makes attribute nodes of every kind of tag in
// one way: in source order, a repeated name kept, values as pieces of the
// page rather than copies.
//
// A start tag is read in one of two ways.  The usual tag (names, values
// quoted, bare or absent, then '>') is read straight from the text, which is
// what makes reading fast; anything less plain (a '/', a '<' or '&' inside
// the tag, a quote or '=' where a name belongs, the end of the page) declines
// to the reading token by token, which handles every input.  Declining
// consumes nothing, and both readings give the same spans, so that tests
// can turn the direct reading off and compare the trees.
//
// Directives have a grammar of their own (a name also ends at '%' and an
// unquoted value runs to white space), read over a stretch of the page the
// parser has already taken; the lexer is not involved.
class AttributeScanner {
public:
    // One attribute as written, as offsets into the page.
    struct Attribute {
        unsigned long nameStart;
        unsigned long nameEnd;
        unsigned long valueStart;  // both 0 without a value
        unsigned long valueEnd;
        bool hasValue;             // written with '=' and a value
        bool quoted;               // the value stood in quotes
    };

    // How a start tag ended, besides its attributes.
    struct TagEnd {
        unsigned long end = 0;      // one past the closing '>', or the end of the page
        bool unterminated = false;  // the page ended inside the tag
        bool formatError = false;   // a second '/', a '/' before an attribute, or
                                    // server code in it left without its "%>"
        bool emptyMark = false;     // a '/' was written, as in "<x/>"
    };

    // Reads the page that lexer cuts into tokens; both must outlive the
    // scanner.
    AttributeScanner(const std::string& page, HTMLLexer& lexer);

    // Reads the attributes and the end of the start tag whose name token
    // the parser has just taken from the lexer.  With direct set, a usual
    // tag is read straight from the text and the lexer restarted after it;
    // otherwise, and for any other tag, the tokens are taken one by one.
    TagEnd scanStartTag(const Lexer::Token& name, bool direct);
    // Reads the attribute pairs of a directive written between from and to
    // in the page; a '%' where a name would start ends them.
    void scanDirective(unsigned long from, unsigned long to);
    // Forgets the attributes of the last scan (a tag that has none).
    void clear() { _attributes.clear(); }

    // The attributes of the last scan, in source order.
    const std::vector<Attribute>& attributes() const { return _attributes; }
    // Whether the last scan read an attribute with that name and that
    // value, both given in upper case and compared ignoring case.
    bool has(const char* upperName, const char* upperValue) const;

private:
    // The direct reading of a usual tag; false, with nothing read, for any
    // other.
    bool _scanDirectly(unsigned long from, TagEnd& tag);
    // The reading token by token, after the name.
    TagEnd _scanTokens();
    // One attribute read token by token; false when it is no attribute (an
    // empty name or a lone '/').
    bool _scanTokenAttribute(Attribute& attribute);

    // Takes the next token from the lexer and returns its kind; end is set
    // to where it ends.
    unsigned long _take(unsigned long& end);
    unsigned long _take();
    unsigned long _peekKind(unsigned long i = 0);
    void _skipSpaces();
    // Takes a run of tokens that make an attribute name or an unquoted
    // value: up to white space, '>' or the end of the page, for a name also
    // up to a '=' after its first token.  An embedded JSP block is taken
    // whole.  Returns the end of the run.
    unsigned long _rawRun(bool stopAtEquals);
    // With the opening quote taken (ending at start), takes the tokens
    // through the matching quote; returns the end of the quoted text (the
    // end of the page when the quote is never closed).
    unsigned long _quotedValue(unsigned long quote, unsigned long start);
    // The end of a token, the end of the page for an unterminated one.
    unsigned long _endOf(const Lexer::Token* token) const;
    // Whether a JSP block token ends with its "%>".
    bool _endsCode(const Lexer::Token* token) const;
    // Whether a comment token (HTML or JSP) ends with its own end.
    bool _endsComment(const Lexer::Token* token) const;

    const std::string& _page;
    HTMLLexer& _lexer;
    std::vector<Attribute> _attributes;
    // Server code or a comment in the tag ended at a '>' for want of its
    // end: written back with anything after it, it would run to the next
    // "%>" or "-->".
    bool _codeLeftOpen = false;
};

} // namespace pagedom

#endif
