// The page parser: builds the node tree of an HTML, JSP or server-side
// include page from the HTML lexer's tokens, keeping every byte as source.
#ifndef PAGEDOM_READING_HTMLPARSER_H
#define PAGEDOM_READING_HTMLPARSER_H

#include <atomic>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/Parser.h"
#include "base/SourceText.h"
#include "base/StringUtil.h"
#include "doctype/ElementTable.h"
#include "reading/AttributeScanner.h"
#include "reading/HTMLLexer.h"
#include "reading/MetaDataEnds.h"
#include "reading/TagNames.h"
#include "tree/Element.h"
#include "tree/PageReader.h"

class ContainerNode;
class Document;
class DocumentType;
class ElementType;
class Node;
class Text;

// Turns page source into nodes below a parent.  It never rejects input:
// every byte of the source ends up in the stored source text of exactly one
// node, in document order, so that an unchanged tree writes the page back
// byte for byte.  HTML's omissible containers are implied, and what does
// not fit is marked in the nodes' error states.
//
// The work is spread over files by concern: HTMLParser.cpp has the main
// loop and the token helpers, HTMLParserTags.cpp start and end tags,
// HTMLParserMarkup.cpp comments, directives and the other markup,
// HTMLParserPlacing.cpp where elements go in the tree,
// HTMLParserOpenNodes.cpp the record of the open elements it searches,
// HTMLParserText.cpp the text between tags.
class HTMLParser : public Parser {
public:
    // Parses the text of page into parent; the tags and texts read keep
    // spans of page as their stored source.  Does nothing when parent is
    // null or cannot have children, has no document, or the document has
    // no document type.
    static void parse(pagedom::SourceText::Block* page, Node* parent);

private:
    HTMLParser(HTMLLexer* lexer, pagedom::SourceText::Block* page, Document* document, Node* parent);

    // --- main loop and token helpers (HTMLParser.cpp) ---------------------------
    void _run();
    // Whether the '<' just read stands for itself in text.
    bool _isLiteralLessThan();
    // Reads the markup that starts with the '<' just read when kind (the
    // next token) starts any; false when the '<' is text.
    bool _dispatch(unsigned long kind);
    // Consumes a block token (comment, CDATA, instruction, JSP) and the '>'
    // after it when there is one; returns the end of the markup and, when
    // asked, the block token's text and where it starts.
    unsigned long _takeBlock(std::string* text = nullptr, unsigned long* textStart = nullptr);
    // Steps to the next token inside a tag, passing white space.  False at
    // the closing '>' (consumed) or at the end of the input; end is then
    // the end of the markup.
    bool _nextInTag(unsigned long& end);
    // With an opening quote as the current token, consumes through the
    // matching quote; returns the end of the quoted text (the end of the
    // input when the quote never closes).
    unsigned long _quotedValue(unsigned long quote);
    // The end of the current token, the end of the text for an unterminated
    // one.
    unsigned long _tokenEnd(const Lexer::Token* token) const;
    // Takes the source from the covered position to end for a new node.
    pagedom::SourceText _takeSpan(unsigned long end);
    // _takeSpan for a start tag: kept as a span however short, so that the
    // element knows where in the page it begins.
    pagedom::SourceText _takeTagSpan(unsigned long end);
    std::string _takeSource(unsigned long end) { return _takeSpan(end).str(); }

    // Questions asked of the nodes met while building, over and over (kept
    // inline for that reason).
    static bool _isElement(const Node* node) { return node && node->getNodeType() == Node::ELEMENT_NODE; }
    // The element id of an element, 0 for any other node.
    static int _idOf(const Node* node)
    {
        return _isElement(node) ? static_cast<const Element*>(node)->getElementID() : 0;
    }
    static bool _isTableCell(const Node* node)
    {
        const int id = _idOf(node);
        return id == ElementTable::ID_TD || id == ElementTable::ID_TH;
    }

    // --- start and end tags (HTMLParserTags.cpp) ----------------------------------
    // A start tag being read.
    struct StartTag {
        std::string name;
        const std::string* sharedName = nullptr;  // the name's shared copy, or null
        const ElementType* nameType = nullptr;  // the declaration of the name
        const ElementType* type = nullptr;      // the type the name gives the tag
        pagedom::AttributeScanner::TagEnd ending;
    };
    // Reads a start tag, or a declaration-like "<!x ...>", into an element
    // and places it; the '<' has been read.
    void _startTag();
    // The name of the start tag whose name token (kind) was just read.
    void _readTagName(unsigned long kind, StartTag& tag);
    // "<!": everything up to the first '>' outside quotes.
    void _readDeclarationTag(StartTag& tag);
    // Where a declaration tag that starts at bang ends: read straight from
    // the text (false, reading nothing, when the tokens must read it), or
    // token by token.
    bool _declarationTagEndDirectly(unsigned long bang, pagedom::AttributeScanner::TagEnd& ending);
    void _declarationTagEndByTokens(pagedom::AttributeScanner::TagEnd& ending);
    // The element of a start tag, with its attributes and tag texts;
    // keptType is the type it will keep (see _keptType).
    Element* _makeElement(const StartTag& tag, const ElementType* keptType);
    // The type the element of a start tag keeps.
    const ElementType* _keptType(const StartTag& tag) const;
    // Gives the element the type it keeps (type, from _keptType).
    void _typeElement(Element* element, const ElementType* type, const StartTag& tag);
    // What a start tag of that type does to the white-space flags.
    void _noteStartTagSpacing(const ElementType* type);
    // After placing: the ActiveX mark, the attribute records, raw content.
    void _finishStartTag(Element* element, const ElementType* type, const StartTag& tag);
    void _rawContent(Element* element, const std::string& name);
    void _endTag();
    // With the '/' of an end tag current: when a name token and then '>'
    // follow at once, the end of the name; otherwise 0.
    unsigned long _plainEndTagName();

    // Attributes, for start tags and directives alike: makes the scanner's
    // attributes into nodes of element and notes where their values start
    // in the tag that begins at tagStart.
    void _addAttributes(Element* element, unsigned long tagStart);
    // The scanner's attributes as records of element, whose start tag
    // (beginning at tagStart) is stored and whose type is the one it keeps;
    // false when records cannot hold them (nothing is added then).
    bool _recordAttributes(Element* element, unsigned long tagStart);
    // Keeps element's attributes as records when the switch allows it.
    void _keepAttributesAsRecords(Element* element);

    // --- other markup (HTMLParserMarkup.cpp) ------------------------------------
    void _htmlComment();
    void _jspComment();
    void _comment(bool jsp);
    // A METADATA span opened by the comment just taken (its text between
    // the delimiters, ending at end): with the matching end comment found,
    // the start comment, the text up to the end comment and the end comment
    // become a metadata node, and reading goes on after the end comment.
    // false, taking nothing, when the comment opens no span.
    bool _metaDataSpan(const std::string& text, bool jsp, unsigned long end);
    // Whether the metadata pass acts on element (an OBJECT, a QRTX: element
    // or a dynamic element).
    bool _concernsMetaDataPass(const Element* element) const;
    // A server-side include directive written in the comment ending at end,
    // whose text between the dashes runs from from to to; false, taking
    // nothing, when the comment is no directive the document type knows.
    bool _serverSideInclude(unsigned long from, unsigned long to, unsigned long end);
    void _cdataSection();
    void _processingInstruction();
    void _jspBlock();
    // The element of a JSP declaration, expression or scriptlet whose text,
    // source, starts at start in the page.
    Element* _jspScript(const std::string& source, unsigned long start);
    // The element of a JSP directive: block is the directive as taken from
    // the page, source its text, start where it starts in the page.
    Element* _jspDirective(const pagedom::SourceText& block, const std::string& source, unsigned long start);
    void _docTypeDeclaration();

    // --- tree building (HTMLParserPlacing.cpp) ----------------------------------
    // Appends element where it fits: containers the page omitted are
    // implied, open elements it ends are closed, and failing both it goes
    // into current anyway, for the corrector to report.  A non-empty element
    // becomes current.
    void _place(Element* element);
    // Implies the container (HTML, HEAD, BODY, TBODY, TR) that lets current
    // hold node and makes it current; false when none does.
    bool _implyContainer(Node* node);
    // Closes the open element that element ends (a P before a block, open
    // table parts before a table part, an element whose end tag may be
    // omitted before another of its kind, an EMBED); false when none.
    bool _closeCurrent(Element* element);
    // Appends a node fresh from the factory to current; contained says
    // whether current may hold it, when already known.
    void _append(Node* node);
    void _append(Node* node, bool contained);
    // Makes element (a child of current) current, switching on what its
    // content needs (plain text, CDATA sections, text-area reading).
    void _enter(Element* element);
    // Moves current up to ancestor, leaving every element in between.
    void _leaveTo(Node* ancestor);
    // Switches off what _enter switched on for element.
    void _leave(Element* element);
    // An element of the built-in type id with both tags omitted.
    Element* _makeImplied(int id);
    // Whether the container's type admits node as content or inclusion.
    bool _accepts(const Element* container, const Node* node) const;
    static bool _accepts(const ElementType* type, const Node* node);

    // --- the open nodes (HTMLParserOpenNodes.cpp) ---------------------------------
    // Every node from the top of the tree down to current, with what the
    // searches of tags and containers ask about the nodes below each one,
    // so that no search climbs the chain of open elements: a deep page full
    // of stray end tags or table parts would otherwise cost the square of
    // its depth.  Entries are kept in step with current by _enter,
    // _leaveTo and _returnTo; index 0 is the top of the tree.
    static constexpr std::uint32_t NONE = 0xFFFFFFFFu;
    // The key of an entry found by its lower-cased name, and of one that is
    // no element and never found by name.
    static constexpr int KEY_BY_NAME = 0;
    static constexpr int KEY_NONE = -1;
    struct OpenNode {
        Node* node;
        // How the entry is found by name: an element id, or KEY_BY_NAME
        // (elements without id, and those above the parent the page is read
        // into), or KEY_NONE.
        int key;
        // The nearest entry below with the same key.
        std::uint32_t sameKey;
        // The nearest entry at or below this one that is no element, that is
        // table structure, table structure whose end tag may not be omitted,
        // table structure or a table part, and that is no logical element.
        std::uint32_t nonElement;
        std::uint32_t structure;
        std::uint32_t fixedStructure;
        std::uint32_t tableStructureOrPart;
        std::uint32_t nonLogical;
    };
    // Makes the entries those of current's chain, from the top of the tree.
    void _resetOpenNodes();
    // Adds element, a child of the top entry, as the new top, given its
    // group; key is its element id (0 without type), or KEY_BY_NAME to find
    // it by its lower-cased name whatever its id.
    void _pushOpen(Element* element, unsigned long group, int key);
    // Adds a node that is no element (the top of a tree).
    void _pushOpenNode(Node* node);
    void _popOpen();
    // Makes ancestor current without leaving the elements in between.
    void _returnTo(Node* ancestor);
    // The open element an end tag named name (declared as endType) closes,
    // or null: the nearest one of that name ignoring case that the search
    // reaches from current, stopping at table structure (unless crosses;
    // only at such structure whose end tag may not be omitted when
    // omissible) and at the first node that is no element.
    Element* _openElementNamed(const std::string& name, const ElementType* endType, bool crosses,
                               bool omissible)
    {
        // Most end tags close current.
        if (_open.back().key != KEY_NONE && !name.empty() &&
            pagedom::str::equalsIgnoreCase(static_cast<const Element*>(_current)->getTagName(), name))
            return static_cast<Element*>(_current);
        return _openElementBelowNamed(name, endType, crosses, omissible);
    }
    // The same search past current.
    Element* _openElementBelowNamed(const std::string& name, const ElementType* endType, bool crosses,
                                    bool omissible);
    // The same search, climbing from current (for document types whose
    // element ids do not tell names apart).
    Element* _climbToElementNamed(const std::string& name, bool crosses, bool omissible) const;
    // The nearest entry of the key of name (declared as endType), or NONE.
    std::uint32_t _nearestNamed(const std::string& name, const ElementType* endType) const;
    // Whether the open element at index, or an element above it in an
    // unbroken run of elements, is table structure or a table part.
    bool _inTableParts(std::size_t index) const;
    // Whether current may hold node (Node::canContain); a logical element
    // answers as the nearest open node that is not one, found here at once.
    bool _currentCanContain(const Node* node) const
    {
        const std::uint32_t nonLogical = _open.back().nonLogical;
        if (nonLogical == _open.size() - 1)
            return _current->canContain(node);
        return nonLogical == NONE || _open[nonLogical].node->canContain(node);
    }

    // --- text (HTMLParserText.cpp) --------------------------------------------------
    // Text piles up as pending data and a pending source span until markup
    // or the end of the page flushes it into one text node.
    void _collect(const Lexer::Token* token);
    // A run of running text taken straight from the text (the direct
    // reading's counterpart of collecting its tokens one by one).
    void _collectRun(const HTMLLexer::TextRun& run);
    void _addPiece(const std::string& data, const Lexer::Token* token, bool blank);
    void _addPiece(const char* data, std::size_t length, unsigned long end, bool blank);
    void _collectSpace(unsigned long start, unsigned long end);
    // Bytes no token covered, at the end of the page, join the last text.
    void _collectUncovered();
    void _flushText();
    // The pending data, as a span of the page where it is the page's bytes.
    pagedom::SourceText _dataText(unsigned long start, unsigned long end) const;
    // The pending data is kept as a span of the page for as long as it is
    // the page's bytes from one place (running text whose words stand one
    // space apart, or a plain element's text): nothing is copied then.
    // Whether there is no pending data.
    bool _pendingDataEmpty() const { return _pendingText.empty() && _dataSpanEnd == _dataSpanStart; }
    // Appends the page's bytes from start to end to the pending data.
    void _appendDataSpan(unsigned long start, unsigned long end);
    // Copies a pending span into _pendingText, before anything else is
    // appended to the data.
    void _copyDataSpan();
    void _clearPendingData()
    {
        _pendingText.clear();
        _dataSpanStart = _dataSpanEnd = 0;
    }
    // Text from a name or other plain token: bytes that would read as
    // escape starts in the data form are stored as escapes themselves.
    static void _appendPlain(std::string& out, const std::string& text);

    pagedom::SourceText::Block* _page;
    Document* _document;
    const DocumentType* _documentType;
    pagedom::TagNames _tagNames;
    HTMLLexer* _htmlLexer;
    pagedom::AttributeScanner _scanner;
    // The page's METADATA end comments, found when a start comment asks.
    pagedom::MetaDataEnds _metaDataEnds;
    // Whether attributes can make an element dynamic in this document type.
    const bool _dynamicAttributes;
    // The test switches, as they stood when the parse began.
    const bool _directReading;
    const bool _attributeRecords;
    // Where each attribute's value starts in its tag, for the records.
    std::vector<std::uint32_t> _valueOffsets;

    Node* _current;
    unsigned long _covered = 0;

    std::vector<OpenNode> _open;
    // The top entry of each element id, and of each lower-cased name.
    std::uint32_t _topById[ElementTable::MAX_ELEMENT_ID + 1];
    std::unordered_map<std::string, std::uint32_t> _topByName;
    // Entries taken off and put back when an element leaves the chain from
    // its middle (see _closeCurrent).
    std::vector<OpenNode> _reopened;

    bool _pending = false;
    std::string _pendingText;
    // The pending data while it is a span of the page (_pendingText is
    // empty then); equal ends when there is none.
    unsigned long _dataSpanStart = 0;
    unsigned long _dataSpanEnd = 0;
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
    // Parses page into parent (see HTMLParser::parse).
    void readPage(SourceText::Block* page, Node* parent) override;
};

// Switches for tests that compare the reader's two ways of doing a job:
// every page must give the same tree either way.  Readers on several threads
// read them at once, so they are atomics; relaxed order is enough, as a
// reader takes their values once, when it starts.
class ReaderSwitches {
public:
    // Whether running text and usual start and end tags are read straight
    // from the text (the default) rather than token by token.
    static bool directReading() { return s_directReading.load(std::memory_order_relaxed); }
    // Sets the direct reading on or off for the readers that start next.
    static void setDirectReading(bool on) { s_directReading.store(on, std::memory_order_relaxed); }
    // Whether elements keep the attributes they read as records (the
    // default; see Element::_freezeAttrs) rather than as attribute nodes.
    static bool attributeRecords() { return s_attributeRecords.load(std::memory_order_relaxed); }
    // Sets the attribute records on or off for the readers that start next.
    static void setAttributeRecords(bool on) { s_attributeRecords.store(on, std::memory_order_relaxed); }

private:
    static inline std::atomic<bool> s_directReading{true};
    static inline std::atomic<bool> s_attributeRecords{true};
};

} // namespace pagedom

#endif
