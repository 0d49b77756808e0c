// The page lexer: cuts HTML, JSP and server-side include source into the
// tokens the page parser reads.
#ifndef PAGEDOM_READING_HTMLLEXER_H
#define PAGEDOM_READING_HTMLLEXER_H

#include <cstddef>
#include <string>
#include <vector>

#include "base/Lexer.h"

class DocumentType;

// Cuts page source (HTML, JSP, server-side includes, XML-like markup) into
// tokens for the page parser.
//
// The lexer is shallow: it finds the ends of the few constructs that tokens
// alone cannot delimit (comments, CDATA sections, processing instructions,
// JSP blocks and JSP comments, the DOCTYPE keyword, character and entity
// references) and otherwise makes names, single punctuation characters and
// whitespace runs; the parser rebuilds text and tags from the token spans.
//
// A construct that is not terminated runs to the end of the text: its token
// ends at NOT_FOUND and no '>' token follows it.  The line counter starts at
// 1 and counts the line feeds of whitespace runs.
class HTMLLexer final : public Lexer {
public:
    // Keywords, compared with the source upper-cased.
    static const char* const DOCTYPE_KEY;       // "!DOCTYPE"
    static const char* const COMMENT_OPEN;      // "!--"
    static const char* const COMMENT_DASHES;    // "--"
    static const char* const PUBLIC_KEY;        // "PUBLIC"
    static const char* const SYSTEM_KEY;        // "SYSTEM"
    static const char* const CDATA_KEY;         // "CDATA"
    static const char* const MINUS_KEY;         // "-"
    static const char* const COMMENT_CLOSE;     // "-->"
    static const char* const CDATA_OPEN;        // "![CDATA["
    static const char* const CDATA_CLOSE;       // "]]>"
    static const char* const PI_CLOSE;          // "?>"
    static const char* const JSP_CLOSE;         // "%>"
    static const char* const JSP_COMMENT_OPEN;  // "%--"
    static const char* const JSP_COMMENT_CLOSE; // "--%>"
    static const char* const MW_OPEN;           // "!%"
    static const char* const MW_SUBMIT_KEY;     // "SUBMIT"
    static const char* const MW_SUBMIT_OPEN;    // "!%SUBMIT"

    // Copies the text.  The document type (may be null) decides which entity
    // references are recognised and whether JSP comments are.
    HTMLLexer(const char* text, unsigned long length, const DocumentType* documentType);
    // Reads text in place; it must outlive the lexer.
    HTMLLexer(const std::string& text, const DocumentType* documentType);

    // Whether "<![CDATA[" opens a CDATA section (inside the elements that
    // hold them, JSP tags in XML syntax) or is read as other "<!" markup.
    void setCDATAEnabled(bool on) { _cdataEnabled = on; }
    bool isCDATAEnabled() const { return _cdataEnabled; }
    // Set by a '<' token, cleared by a '>' token.
    bool isInTag() const { return _inTag; }

    // Drops every queued token and goes on scanning at index (clamped to the
    // text), for a reader that has taken raw text such as a script body by
    // itself.  Every line feed stepped over counts as a line, so that later
    // tokens keep their true lines; stepping back subtracts those stepped
    // back over.
    void restartAt(unsigned long index);
    // Goes on scanning at to, for a reader that has read the text from from
    // to to by itself and counted the line feeds in it (lines).  With no
    // token queued and from the read position, the count stands for the
    // line feeds restartAt would count; otherwise this is restartAt(to).
    void stepOver(unsigned long from, unsigned long to, unsigned long lines)
    {
        if (_queueLength() != 0 || from != _position || to < from || to > _length) {
            restartAt(to);
            return;
        }
        _line += lines;
        _position = _tokenStart = to;
    }

    // White space between two words of a run that is more than one ' '.
    struct Gap {
        unsigned long start;
        unsigned long end;
    };
    // A run of running text taken by takeTextRun: it spans start to end,
    // its first word starts at words (after the white space it may start
    // with), and gaps lists, in order, the white space between its words
    // that is other than one ' ', so that the reader need not look at its
    // bytes again to fold white space.  The gaps stay valid until the next
    // run is taken.
    struct TextRun {
        unsigned long start;
        unsigned long words;
        unsigned long end;
        const Gap* gaps;
        std::size_t gapCount;
    };

    // With no token queued, takes a run of running text at the read
    // position instead of tokens: bytes that stand for themselves in text
    // (anything but whitespace, '<', '&', '>', '"' and the two escape
    // bytes), with whitespace between two such bytes or before the first.
    // Returns false when the next byte does not start such a run, taking
    // nothing but white space before the byte that ends it, which is queued
    // as the space token scanning would make of it.  Line feeds in the run
    // (or the white space) are counted.
    bool takeTextRun(TextRun& run)
    {
        // Markup next, the usual reason for no run, is told here at once.
        if (_queueLength() != 0 || _position >= _length || _source[_position] == '<')
            return false;
        return _takeTextRun(run);
    }

    // Whether a name token starts with c (rather than a punctuation,
    // whitespace or markup token).
    static bool startsName(char c);
    // The end of the name that starts at from: the first name delimiter
    // after from, or the end of the text.
    unsigned long nameEnd(unsigned long from) const;
    // Where the JSP code opened by the "<%" at lt ends, just past its "%>",
    // as the reading token by token takes it inside a tag: NOT_FOUND where
    // no "<%" stands at lt, where that reading makes a JSP comment of it, or
    // where no "%>" closes it.
    unsigned long closedJSPCodeEnd(unsigned long lt);
    // Whether c ends a name, or an entity name.
    static bool isNameDelimiter(char c);
    static bool isEntityNameDelimiter(char c);

protected:
    void scanToken() override;
    bool matchWord(const char* word) override;
    char readChar(bool advance) override;

private:
    enum CommentMode { HTML_COMMENT, JSP_COMMENT };

    // takeTextRun with no token queued and a byte at the read position
    // other than '<'.
    bool _takeTextRun(TextRun& run);
    void _scanMarkupDeclaration();
    void _scanComment(CommentMode mode);
    void _scanCDATA();
    void _scanBlock(unsigned long kind, const char* terminator);
    void _scanReference();
    void _scanName();
    // Appends a '>' token at index and moves past it.
    void _appendGT(unsigned long index);
    // The first index at or after from where s (one of the terminator
    // constants) starts, or NOT_FOUND.
    unsigned long _find(const char* s, unsigned long from);
    // Whether the '%' at percent, after a '<', opens a JSP comment: "<%--"
    // in a JSP 1.0 document.
    bool _opensJSPComment(unsigned long percent) const;

    const DocumentType* _documentType;
    bool _inTag = false;
    bool _cdataEnabled = false;
    // The gaps of the last text run.
    std::vector<Gap> _gaps;

    // The last search for each terminator.  The text never changes, so a
    // search that failed from one index fails from every later one, and a
    // hit stays the answer for every start up to it.  This keeps a page
    // full of unterminated comments or blocks from being searched to its
    // end once per construct.
    struct Search {
        const char* terminator;
        unsigned long from;
        unsigned long result;
    };
    static constexpr unsigned int SEARCHES = 6;
    Search _searches[SEARCHES];
    void _clearSearches();
};

#endif
