// The reader of XML and VoiceXML documents: builds the node tree straight
// from the characters, keeping every byte as source, and re-reads pieces.
#ifndef PAGEDOM_XMLREADING_XMLPARSER_H
#define PAGEDOM_XMLREADING_XMLPARSER_H

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/Scanner.h"
#include "base/SourceText.h"
#include "tree/PageReader.h"

class Document;
class DocumentType;
class Element;
class Entity;
class Node;
namespace dom {
class Range;
}
namespace pagedom {
class ExistingNodes;
}

// Reads the documents that are not HTML documents (XML, VoiceXML and the
// other XML-format document types) and re-reads pieces of them.  It scans
// the characters itself, as a Scanner, rather than taking tokens: nothing is
// implied and nothing is closed by content model, names keep their case and
// the element structure comes from start and end tags alone.  Like the HTML
// reader it never rejects input: every byte ends up in the stored source of
// exactly one node, in document order, and what does not fit is marked in
// the nodes' error states.
//
// The reader can be followed by nodes that exist already: when the text it
// was given runs out in the middle of a construct, or in a state in which
// the following nodes would read differently, it takes them out of the tree
// and reads their text (its _read); as soon as it stands where the next node
// reads back as itself, it stops.  So a piece of edited text is re-read
// together with what it changes after it, and no further.
//
// The work is spread over files by concern: XMLParser.cpp has the entries,
// the main loop and the open elements, XMLParserTags.cpp start and end tags,
// XMLParserMarkup.cpp comments, CDATA sections, processing instructions,
// JSP blocks and the document type declaration, XMLParserText.cpp the text
// between tags, XMLParserRange.cpp the re-reading of a source range.
class XMLParser : public Scanner {
public:
    // A reader over the empty text.
    XMLParser();
    ~XMLParser() override;
    XMLParser(const XMLParser&) = delete;
    XMLParser& operator=(const XMLParser&) = delete;

    // Appends source to the text and reads it into parent, before next (one
    // of parent's children; after them when null).  With next, the nodes
    // from next on are taken back into the text as far as the reading needs
    // them.  Without it, a text child that ends parent is read again with
    // source, so that text split between two readings becomes one node.  A
    // document type as parent reads source as its internal subset.
    void parse(const std::string& source, Node* parent, Node* next);

    // Reads page into parent, which has no children; the nodes' stored texts
    // are spans of page.
    static void readPage(pagedom::SourceText::Block* page, Node* parent);
    // Replaces the source between the two ends of range by source and reads
    // the result again in place (see DocumentFragment::parse); false, with
    // nothing changed, when the ends do not lie in root's subtree in order.
    static bool reread(Node* root, const std::string& source, const dom::Range& range);

protected:
    // Takes the next existing node (or the end tag of an existing element)
    // into the text; the number of bytes appended, 0 when none is left.
    unsigned long _read() override;

private:
    // What the reader is reading into and how.
    enum class Mode {
        PAGE,     // a whole page into an empty parent, spans of the page
        APPEND,   // text added after a parent's children
        FOLLOWED  // text followed by existing nodes, changes announced
    };

    // The reader's own building of a node is no edit: while a Building
    // lives, the document counts as being read, so that setters store what
    // they are given as read rather than produce tags anew.
    class Building {
    public:
        explicit Building(Document* document);
        ~Building();
        Building(const Building&) = delete;
        Building& operator=(const Building&) = delete;

    private:
        Document* _document;
        bool _was;
    };

    // --- entries and main loop (XMLParser.cpp) ---------------------------------
    // Sets the reader up in parent before next; false when parent cannot
    // take nodes.
    bool _begin(Node* parent, Node* next, Mode mode);
    void _run();
    // Closes what the reading left open and flushes the text.
    void _finish();
    // More text at a point between two constructs: none when the existing
    // nodes that follow read back as themselves from here.
    unsigned long _pull();
    // Whether index is inside the text, reading more as needed.
    bool _have(unsigned long index);
    const char* _chars() const;
    // The text from from to to as a stored source: a span of the page
    // where it lies in the page, a copy otherwise.
    pagedom::SourceText _span(unsigned long from, unsigned long to) const;
    std::string _copy(unsigned long from, unsigned long to) const;

    // --- the open elements (XMLParser.cpp) -----------------------------------------
    // Every open node from the top of the tree down to current; index 0 is
    // the top, which no end tag closes.  End tags find their element through
    // the top entry of each lower-cased name, each entry leading to the next
    // one below with the same name, so that no search climbs the chain: a
    // deep document full of stray end tags would otherwise cost the square
    // of its depth.
    static constexpr std::uint32_t NONE = 0xFFFFFFFFu;
    struct OpenNode {
        Node* node;
        std::string key;       // the lower-cased name; empty for no element
        std::uint32_t sameKey; // the nearest entry below with the same key
        std::uint32_t frame;   // the existing nodes' frame of an element open
                               // before the reading, NONE for new ones
    };
    void _pushOpen(Node* node, std::uint32_t frame);
    void _popOpen();
    // The open element an end tag named name closes, as an index, or NONE.
    std::uint32_t _openNamed(const std::string& name) const;
    // Closes the entries above index without end tags.
    void _closeAbove(std::uint32_t index);
    // Closes the top element without an end tag.
    void _closeTopImplicitly();
    // Begins closing the top open element: the existing nodes being read
    // learn it, and an element that was in the tree before this reading
    // (existing) has its change announced.  The element.
    Element* _beginClosingTop(bool& existing);
    // Ends closing element: its change ends, and it leaves the open list.
    void _endClosingTop(Element* element, bool existing);
    // Inserts a node fresh from the factory into current at the reading
    // point, marking it when current may not hold it.
    void _insert(Node* node);
    // Whether the existing nodes' frame of entry is still being read.
    bool _frameOpen(const OpenNode& entry) const;
    // A change of an element in the tree begins and ends: announced when
    // the reading announces changes.
    void _beginChange(Node* node);
    void _endChange(Node* node);

    // --- start and end tags (XMLParserTags.cpp) -------------------------------------
    // Each reader of markup starts with the scanner at its '<'; a reader that
    // returns false found no markup there, and the '<' is text.
    bool _startTag();
    bool _endTag();
    // An attribute as read: where its name and value lie.
    struct AttributeSpan {
        unsigned long nameStart;
        unsigned long nameEnd;
        unsigned long valueStart;
        unsigned long valueEnd;
        bool hasValue;
        bool quoted;
    };
    // Reads the attributes from the offset up to the first byte that starts
    // none, or to limit, into _attributes.  The nodes are made afterwards
    // (_addAttributes): reading may take existing nodes out of the tree,
    // which is announced, while building a node is not.
    void _scanAttributes(unsigned long limit);
    // Makes the attributes read into nodes of element, whose tag begins at
    // tagStart, and keeps them as records when they are as read.
    void _addAttributes(Element* element, unsigned long tagStart);
    // The value at index, quoted (without its quotes) or plain, as the span
    // from from to to; returns the offset after it.  A quote that does not
    // close before limit leaves the value running to limit, unquoted.
    unsigned long _readValue(unsigned long index, unsigned long limit, unsigned long& from, unsigned long& to,
                             bool& quoted);
    // The first index at or after from whose byte is one of delims, reading
    // as needed; the end of the text when there is none.  With a limit, the
    // search stops there (and returns it) without reading.
    unsigned long _scanTo(unsigned long from, const char* delims, unsigned long limit = NOT_FOUND);
    // The first index at or after from that is no white space, reading as
    // needed.
    unsigned long _skipSpace(unsigned long from);
    // After an element with raw content opened: everything up to "</" and
    // its name becomes one CDATA section.
    void _rawContent(Element* element);
    // Closes the element of entry found by an end tag whose text runs from
    // from to to.
    void _closeWithEndTag(std::uint32_t found, const std::string& name, unsigned long from, unsigned long to,
                          bool invalid);
    // Gives element the type its start tag keeps (a JSP tag in XML syntax
    // only where the document supports that syntax).
    void _typeElement(Element* element);

    // --- other markup (XMLParserMarkup.cpp) --------------------------------------
    void _comment();
    void _jspComment();
    void _cdataSection();
    void _processingInstruction();
    void _jspBlock();
    void _docTypeDeclaration();
    // The offset just past the first occurrence of close at or after from,
    // and whether there was one (else the end of the text).
    unsigned long _through(unsigned long from, const std::string& close, bool& closed);
    // Whether the text at index starts with word (ignoring case when
    // asked), reading as needed.
    bool _startsWith(unsigned long index, const char* word, bool ignoreCase = false);
    Element* _jspScript(unsigned long start, unsigned long end, bool closed);
    Element* _jspDirective(unsigned long start, unsigned long end, bool closed);
    // The document type declaration's internal subset from its '[': the
    // offset past its ']', or the end of the text.
    unsigned long _skipInternalSubset(unsigned long from, bool& closed);

    // --- text (XMLParserText.cpp) --------------------------------------------------
    // Reads running text from the offset, up to markup or a reference that
    // makes a node of its own.
    void _text();
    // At an '&': a reference that names no entity with data becomes an
    // entity reference node (true); anything else stays text.
    bool _reference();
    // Takes the bytes from the offset to to into the pending text.
    void _addText(unsigned long to);
    void _flushText();
    // The data form of the text from from to to.
    pagedom::SourceText _textData(unsigned long from, unsigned long to) const;
    // The replacement data of the entity name; empty when it has none.
    std::string _entityData(const std::string& name) const;

    // --- re-reading a range (XMLParserRange.cpp) -------------------------------------
    // Reads text, taken from the tree around a range and edited, with the
    // nodes that follow.
    void _readTaken(const std::string& text);

    // --- existing nodes ------------------------------------------------------------
    // Whether the document type declaration at docType stands before the
    // reading point (its entities then count).
    static bool _precedes(const Node* docType, const Node* parent, const Node* next);

    Mode _mode = Mode::APPEND;
    pagedom::SourceText::Block* _page = nullptr;
    unsigned long _pageLength = 0;
    Document* _document = nullptr;
    // The registered document type, else the registry's XML type; and the
    // document's DOCTYPE node when it stands before what is read.
    const DocumentType* _documentType = nullptr;
    const DocumentType* _declarations = nullptr;
    std::unique_ptr<pagedom::ExistingNodes> _existing;
    // Whether the existing nodes are read only when the reading needs them
    // (a document type declaration read anew, or taken away, changes how
    // every later text reads, so the reading then goes on to the end).
    bool _stopsInStep = true;

    Node* _current = nullptr;
    std::vector<OpenNode> _open;
    std::unordered_map<std::string, std::uint32_t> _topByName;

    // The pending text: where it starts, whether it holds a bare markup
    // character and whether its data differs from its bytes.
    bool _pending = false;
    unsigned long _pendingStart = 0;
    bool _badChar = false;
    bool _special = false;
    // The attributes of the tag being read, and where each value starts in
    // the tag.
    std::vector<AttributeSpan> _attributes;
    std::vector<std::uint32_t> _valueOffsets;
};

namespace pagedom {

// The page reader of every document but the HTML one: XMLParser behind the
// interface the document calls.
class XMLPageReader : public PageReader {
public:
    // Reads page into parent (see XMLParser::readPage).
    void readPage(SourceText::Block* page, Node* parent) override;
    // Reads source into parent after its children (see XMLParser::parse).
    void readFragment(const std::string& source, Node* parent) override;
    // Re-reads the source range of root (see XMLParser::reread).
    bool rereadRange(Node* root, const std::string& source, const dom::Range& range) override;
};

} // namespace pagedom

#endif
