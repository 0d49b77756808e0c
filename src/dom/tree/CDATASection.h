// The CDATA section node, also the raw content of script-like elements.
#ifndef PAGEDOM_TREE_CDATASECTION_H
#define PAGEDOM_TREE_CDATASECTION_H

#include "tree/CharacterData.h"

// A CDATA section; also the raw content of SCRIPT-like elements and JSP
// blocks, where it is written without its delimiters.
class CDATASection : public CharacterData {
public:
    // "#cdata-section".
    static const std::string NODE_NAME;
    // "<![CDATA[".
    static const std::string OPEN_TAG;
    // "]]>".
    static const std::string CLOSE_TAG;
    // "[CDATA[", the key of a CDATA section declaration.
    static const std::string DECL_KEY;

    // A CDATA section holding data.
    CDATASection(Document* ownerDocument, const std::string& data);

    // "#cdata-section".
    std::string getNodeName() const override;
    // CDATA_SECTION_NODE.
    unsigned short getNodeType() const override;
    // A copy with the data and source, without parent.
    Node* cloneNode(bool deep) const override;
    // The stored source, produced again from the data when pending (the
    // data alone inside raw content).
    std::string getSource() const override;
    // Asks for the source to be produced again and marks the node changed.
    void formatSource() override;
    // Replaces the data as an announced modification and reformats.
    void setData(const std::string& data) override;

    // Stores source as the section's source text.
    void setSource(const std::string& source);

protected:
    // A copy of other without parent (see cloneNode); it keeps its texts to
    // itself (see SourceText).
    CDATASection(const CDATASection& other);

private:
    void _regenerateSource() override;
    void _writeStart(std::string& out) const override;
    // The stored source, written whole.
    WholeText _wholeText(std::string_view& text, const char*& blockEnd) const override;
    // The stored source, produced again from the data first when pending.
    std::string_view _producedSource() const;
    bool _inRawContent() const;

    // A section read from a page: its data and its source are spans of
    // the page (raw content and JSP code are their own source).
    CDATASection(Document* ownerDocument, const pagedom::SourceText& data, const pagedom::SourceText& source);

    mutable pagedom::SourceText _source;
    // Kept as the node's class mark: whether the source is still to be
    // produced from the data.
    enum : unsigned { MARK_FORMAT_PENDING = 0 };

    // Library internals used by the readers.
    friend class HTMLParser;
};

#endif
