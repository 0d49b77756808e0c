#ifndef PAGEDOM_TREE_TEXT_H
#define PAGEDOM_TREE_TEXT_H

#include <cstdint>

#include "tree/CharacterData.h"
#include "tree/SourceText.h"

// A run of character data.  The data is kept in the data form (references
// and markup characters as character-value escapes); beside it the node keeps
// the source text it was read from or last written as.
class Text : public CharacterData {
public:
    enum SpaceMode : unsigned int {
        SPACE_NORMAL = 0,   // typed white space stays ordinary
        SPACE_AUTO = 1,     // converted where it would otherwise be lost
        SPACE_NBSP = 2      // always converted to a non-breaking space
    };

    static const std::string NODE_NAME;

    Text(Document* ownerDocument, const std::string& data);

    std::string getNodeName() const override;
    unsigned short getNodeType() const override;
    Node* cloneNode(bool deep) const override;
    bool isTrivialNode() const override;
    std::string getSource() const override;
    void formatSource() override;
    void setData(const std::string& data) override;
    void _writeStart(std::string& out) const override;

    bool isSpaceText() const;
    bool isCompactText() const { return _compact; }
    bool isPlainText() const;
    bool isFirstBlockText() const;

    Text* splitText(unsigned long offset);
    unsigned long insert(unsigned long offset, const std::string& s, bool moveCursor, SpaceMode mode);
    unsigned long Delete(unsigned long offset, unsigned long count, bool moveCursor);
    unsigned long deleteChar(unsigned long offset, bool backward);
    void compact();

    std::string getText() const;
    void setSource(const std::string& source);
    // setSource for a reader, whose source is a span of the page.
    void _setSourceText(const SourceText& source);
    void parse(const std::string& source);
    void correctSource();

    // Lays a formatted text out: outside plain elements, white space between
    // the elements of an XML document becomes a line break and indentation,
    // and text produced again in an HTML document is wrapped at the column
    // limit.  Returns the number of line breaks the laid-out source holds.
    unsigned long _layOut();
    // Wraps source at spaces past the column limit; returns the breaks made.
    static unsigned long _wrap(std::string& source, unsigned long columnLimit, const std::string& indent);

    // Whether the source text was stored with setSource since the last
    // formatting or reset.
    bool _isSourceSet() const { return _sourceSet; }
    bool _isFormatPending() const { return _formatPending; }
    void _setCompact(bool on)
    {
        _sourceTouched();
        _compact = on;
    }
    // Appends a following text node's data (used when normalizing).
    void _merge(const Text* other);

protected:
    Text(const Text& other);
    unsigned long _prepareUpdateState(unsigned long state) override;

private:
    void _repairSpaceAt(unsigned long offset);
    // The source, produced first when the format-pending flag is set.
    std::string_view _sourceText() const;

    mutable SourceText _source;
    // The number of spaces to indent wrapped lines with when the source is
    // produced again.
    std::uint32_t _wrapIndent = 0;
    mutable bool _formatPending = true;
    bool _wrapPending = false;
    bool _compact = true;
    bool _sourceSet = false;
};

#endif
