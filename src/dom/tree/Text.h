// The text node: a run of character data beside the source text it was read
// from or last written as, and the editing operations on it.
#ifndef PAGEDOM_TREE_TEXT_H
#define PAGEDOM_TREE_TEXT_H

#include <cstdint>

#include "tree/CharacterData.h"
#include "base/SourceText.h"

namespace pagedom {
class SourceFormatter;
struct TextAccess;
}

// A run of character data.  The data is kept in the data form (references
// and markup characters as character-value escapes); beside it the node keeps
// the source text it was read from or last written as.
class Text : public CharacterData {
public:
    // How insert treats a single typed white-space character.
    enum SpaceMode : unsigned int {
        SPACE_NORMAL = 0,   // typed white space stays ordinary
        SPACE_AUTO = 1,     // converted where it would otherwise be lost
        SPACE_NBSP = 2      // always converted to a non-breaking space
    };

    // "#text".
    static const std::string NODE_NAME;

    // A text holding data (data form).
    Text(Document* ownerDocument, const std::string& data);

    // "#text".
    std::string getNodeName() const override;
    // TEXT_NODE.
    unsigned short getNodeType() const override;
    // A copy with the data, source and flags, without parent.
    Node* cloneNode(bool deep) const override;
    // Whether the text is white space only (isSpaceText).
    bool isTrivialNode() const override;
    // The stored source, produced again from the data when pending.
    std::string getSource() const override;
    // Asks for the source to be produced again and marks the node changed.
    void formatSource() override;
    // Replaces the data as an announced modification and reformats.
    void setData(const std::string& data) override;

    // Whether the data is empty or only tabs, line feeds, returns and spaces.
    bool isSpaceText() const;
    // Whether the data's white space is collapsed as the layout shows it.
    bool isCompactText() const { return _classMark(MARK_COMPACT); }
    // Whether the text lies inside a plain element (PRE, TEXTAREA).
    bool isPlainText() const;
    // Whether nothing but the start of a block precedes the text.
    bool isFirstBlockText() const;

    // Cuts the data at offset; returns a new text (one reference, no
    // parent) holding the part after it.
    Text* splitText(unsigned long offset);
    // Inserts s (text form) at offset (NOT_FOUND for the end) under the
    // white-space rules of mode; returns the number of bytes inserted.
    unsigned long insert(unsigned long offset, const std::string& s, bool moveCursor, SpaceMode mode);
    // Removes at most count bytes from offset; returns the number removed.
    unsigned long Delete(unsigned long offset, unsigned long count, bool moveCursor);
    // Removes the character unit before (backward) or at offset; returns the
    // number of bytes removed.
    unsigned long deleteChar(unsigned long offset, bool backward);
    // Collapses the data's white space as the layout shows it.
    void compact();

    // The data converted to text form.
    std::string getText() const;
    // Stores source as the source text; the data is not touched.
    void setSource(const std::string& source);
    // Reads source: stores its data form (compacted outside plain text in
    // the HTML document) and source as the source text.
    void parse(const std::string& source);
    // Stores the source text converted to data and back, clearing
    // INVALID_CHAR_ERROR.
    void correctSource();

protected:
    // A copy of other without parent (see cloneNode).
    Text(const Text& other);

private:
    void _regenerateSource() override;
    // --- Node internals --------------------------------------------------------
    void _writeStart(std::string& out) const override;
    // The source text (see _sourceText), written whole.
    WholeText _wholeText(std::string_view& text, const char*& blockEnd) const override;
    // Appends the data of the following text nodes, in order (normalize).
    void _absorbTexts(const std::vector<Node*>& following) override;
    bool _isBlankText() const override { return isSpaceText(); }

    // --- for the reader and the formatter ------------------------------------------
    // A text a reader makes with its data and its source at once, as
    // createTextNode, _setDataText, _setSourceText and _setCompact would
    // leave it.
    Text(Document* ownerDocument, const pagedom::SourceText& data, const pagedom::SourceText& source, bool compact);
    // setSource for a reader, whose source is a span of the page.
    void _setSourceText(const pagedom::SourceText& source);
    void _setCompact(bool on)
    {
        _sourceTouched();
        _setClassMark(MARK_COMPACT, on);
    }
    // Stores the source a formatter laid out (wrapped) for the data as it
    // is now; the source is no longer pending.
    void _setLaidOutSource(const std::string& source)
    {
        _source = pagedom::SourceText(source);
        _setClassMark(MARK_FORMAT_PENDING, false);
    }
    bool _isFormatPending() const { return _classMark(MARK_FORMAT_PENDING); }

    // parse, for a caller that knows whether the text is inside a plain
    // element (asking climbs the ancestors).
    void _parse(const std::string& source, bool plain);

    // --- editing -------------------------------------------------------------------
    void _repairSpaceAt(unsigned long offset);
    bool _spaceBecomesNbsp(const std::string& current, unsigned long offset, const std::string& s,
                           SpaceMode mode) const;
    bool _trimSurplusSpace(const std::string& current, unsigned long offset, std::string& s) const;
    void _insertData(unsigned long offset, const std::string& data, bool moveCursor);
    // The source, produced first when the format-pending flag is set.
    std::string_view _sourceText() const;

    mutable pagedom::SourceText _source;
    // The two flags are kept as the node's class marks: whether the source
    // is still to be produced from the data, and whether the data's white
    // space is compacted (see isCompactText).
    enum : unsigned { MARK_FORMAT_PENDING = 0, MARK_COMPACT = 1 };

    // Library internals used by the reader and the formatter.
    friend class HTMLParser;
    friend class XMLParser;
    friend class Document;
    friend struct pagedom::TextAccess;
    friend class pagedom::SourceFormatter;
};

#endif
