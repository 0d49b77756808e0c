#ifndef PAGEDOM_TREE_TEXT_H
#define PAGEDOM_TREE_TEXT_H

#include <cstdint>

#include "tree/CharacterData.h"
#include "base/SourceText.h"

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
    void _setSourceText(const pagedom::SourceText& source);
    void parse(const std::string& source);
    void correctSource();

    // Stores the source a formatter laid out (wrapped) for the data as it
    // is now; the source is no longer pending.
    void _setLaidOutSource(const std::string& source)
    {
        _source = pagedom::SourceText(source);
        _formatPending = false;
    }

    // Whether the source text was stored with setSource since the last
    // formatting or reset.
    bool _isSourceSet() const { return _sourceSet; }
    bool _isFormatPending() const { return _formatPending; }
    void _setCompact(bool on)
    {
        _sourceTouched();
        _compact = on;
    }
    // Appends a following text node's data (normalize).
    void _absorbText(const Node* next) override;
    bool _isBlankText() const override { return isSpaceText(); }

protected:
    Text(const Text& other);
    unsigned long _prepareUpdateState(unsigned long state) override;

private:
    void _repairSpaceAt(unsigned long offset);
    bool _spaceBecomesNbsp(const std::string& current, unsigned long offset, const std::string& s,
                           SpaceMode mode) const;
    bool _trimSurplusSpace(const std::string& current, unsigned long offset, std::string& s) const;
    void _insertData(unsigned long offset, const std::string& data, bool moveCursor);
    // The source, produced first when the format-pending flag is set.
    std::string_view _sourceText() const;

    mutable pagedom::SourceText _source;
    mutable bool _formatPending = true;
    bool _compact = true;
    bool _sourceSet = false;
};

#endif
