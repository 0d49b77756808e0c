#ifndef PAGEDOM_READING_HTMLPARSER_H
#define PAGEDOM_READING_HTMLPARSER_H

#include <string>
#include <utility>
#include <cstdint>
#include <vector>

#include "base/Parser.h"
#include "base/SourceText.h"
#include "tree/PageReader.h"

class ContainerNode;
class Document;
class DocumentType;
class Element;
class ElementType;
class HTMLLexer;
class Node;
class Text;

// Turns page source into nodes below a parent.  It never rejects input:
// every byte of the source ends up in the stored source text of exactly one
// node, in document order, so that an unchanged tree writes the page back
// byte for byte.  HTML's omissible containers are implied, and what does
// not fit is marked in the nodes' error states.
class HTMLParser : public Parser {
public:
    // Parses the text of page into parent; the tags and texts read keep
    // spans of page as their stored source.  Does nothing when parent is
    // null, has no document, or the document has no document type.
    static void parse(pagedom::SourceText::Block* page, Node* parent);

    // Whether running text and usual start tags are read straight from the
    // text (the default) or token by token like everything else; both give
    // the same tree, which tests compare.
    static void _setDirectReading(bool on);
    // Whether elements keep the attributes they read as records (see
    // Element::_freezeAttrs); tests compare both ways.
    static void _setAttributeRecords(bool on);

private:
    HTMLParser(HTMLLexer* lexer, pagedom::SourceText::Block* page, Document* document, Node* parent);

    void _run();
    bool _isLiteralLessThan();
    bool _dispatch(unsigned long kind);

    // Markup handlers; each starts with '<' as the current token.
    void _startTag();
    // Reads a usual start tag (the name is the next token) into the pending
    // attributes and tagEnd; false, consuming nothing, for any other.
    bool _scanPlainTag(unsigned long& tagEnd);
    unsigned long _plainEndTagName();
    static bool s_directReading;
    static bool s_attributeRecords;
    std::pair<unsigned long, unsigned long> _plainTagName;
    void _endTag();
    void _htmlComment();
    void _jspComment();
    void _comment(bool jsp);
    void _cdataSection();
    void _processingInstruction();
    void _jspBlock();
    void _docTypeDeclaration();

    // Consumes tokens through the next '>' (not past the end of input) and
    // returns the end of the markup.
    unsigned long _skipToGT();
    // Steps to the next token inside a tag, passing white space.  False at
    // the closing '>' (consumed) or at the end of the input; end is then
    // the end of the markup.
    bool _nextInTag(unsigned long& end);
    // With an opening quote as the current token, consumes through the
    // matching quote; returns the end of the quoted text (the end of the
    // input when the quote never closes).
    unsigned long _quotedValue(unsigned long quote, bool& closed);
    // Consumes a block token (comment, CDATA, instruction, JSP) and the '>'
    // after it when there is one; returns the end of the markup and, when
    // asked, the block token's text.
    unsigned long _takeBlock(std::string* text = nullptr);
    // The end of the current token, the end of the text for an unterminated
    // one.
    unsigned long _tokenEnd(const Lexer::Token* token) const;
    // Consumes a raw run of tokens for an attribute name or value.
    unsigned long _rawRun(bool stopAtEquals);
    void _rawContent(Element* element, const std::string& name);
    void _scanAttributePairs(Element* element, const std::string& text);

    // Tree building.
    void _place(Element* element);
    bool _implyContainer(Node* node);
    bool _closeCurrent(Element* element);
    void _append(Node* node);
    void _append(Node* node, bool contained);
    void _enter(Element* element);
    void _leaveTo(Node* ancestor);
    void _leave(Element* element);
    Element* _makeImplied(int id);
    bool _accepts(const Element* container, const Node* node) const;
    static bool _accepts(const ElementType* type, const Node* node);

    // Text collection.
    void _collect(const Lexer::Token* token);
    void _collectRun(unsigned long start, unsigned long end);
    void _addPiece(const std::string& data, const Lexer::Token* token, bool blank);
    void _addPiece(const char* data, std::size_t length, unsigned long end, bool blank);
    void _collectSpace(unsigned long start, unsigned long end);
    void _flushText();
    pagedom::SourceText _dataText(unsigned long start, unsigned long end) const;

    // Takes the source from the covered position to end for a new node.
    pagedom::SourceText _takeSpan(unsigned long end);
    std::string _takeSource(unsigned long end) { return _takeSpan(end).str(); }

    // Whether the source span equals the upper-case word, ignoring case.
    bool _spanIs(unsigned long start, unsigned long end, const char* upperWord) const;

    // An attribute of the start tag being read, as spans of the source.
    struct _PendingAttr {
        unsigned long nameStart;
        unsigned long nameEnd;
        unsigned long valueStart;
        unsigned long valueEnd;
        bool hasValue;
        bool quoted;
    };
    std::vector<_PendingAttr> _pendingAttrs;
    std::vector<std::uint32_t> _valueOffsets;

    pagedom::SourceText::Block* _page;
    Document* _document;
    const DocumentType* _documentType;
    HTMLLexer* _htmlLexer;
    Node* _current;
    unsigned long _covered = 0;

    bool _pending = false;
    std::string _pendingText;
    bool _pendingBlank = true;
    unsigned long _pendingStart = 0;
    unsigned long _pendingEnd = 0;
    bool _lastBlank = false;
    bool _textEndsBlank = false;
    bool _afterBlock = false;
    int _plainDepth = 0;
    bool _inTextArea = false;
    int _cdataDepth = 0;
    bool _badChar = false;
};

namespace pagedom {

// The page reader of the HTML document: HTMLParser::parse behind the
// interface Document::createNodes calls.
class HTMLPageReader : public PageReader {
public:
    void readPage(SourceText::Block* page, Node* parent) override;
};

} // namespace pagedom

#endif
