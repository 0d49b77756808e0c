// The base of the character-data nodes: data in the library's data form and
// the string operations that read and edit it.
#ifndef PAGEDOM_TREE_CHARACTERDATA_H
#define PAGEDOM_TREE_CHARACTERDATA_H

#include "node/Node.h"
#include "base/SourceText.h"

// Base of the nodes that hold character data in the library's data form.
// Every operation that changes the data is an edit of the node, the same as
// setData: it is announced to the document as a modification, marks the
// node UPDATE_CONTENT_MODIFIED, and the node's source is produced again from
// the new data when it is next written.
class CharacterData : public Node {
public:
    // A copy of the data.
    std::string getData() const { return _data.str(); }
    // Replaces the data; the node classes make it an announced
    // modification that reformats (this base alone stores the data, for the
    // readers and formatters that keep data and source together).
    virtual void setData(const std::string& data);

    // Offsets are byte offsets; an offset beyond the length raises
    // std::out_of_range (before anything changes), a count reaching past the
    // end is cut there.  The editing operations below change the data the
    // way setData does.

    // The data length in bytes.
    unsigned long getLength() const { return static_cast<unsigned long>(_data.size()); }
    // The bytes from offset, at most count of them.
    std::string substringData(unsigned long offset, unsigned long count) const;
    // Appends data.
    void appendData(const std::string& data);
    // Inserts data at offset.
    void insertData(unsigned long offset, const std::string& data);
    // Removes at most count bytes from offset.
    void deleteData(unsigned long offset, unsigned long count);
    // Replaces at most count bytes from offset by data.
    void replaceData(unsigned long offset, unsigned long count, const std::string& data);

protected:
    // A node of ownerDocument holding data.  The node classes answer their
    // names themselves, and keep none.
    CharacterData(Document* ownerDocument, const std::string& data);
    CharacterData(Document* ownerDocument, const pagedom::SourceText& data);
    // A copy keeps its data to itself (see SourceText).
    CharacterData(const CharacterData& other);

    // Replaces the data inside a modification announcement and asks for the
    // source to be produced again (setData of the node classes).
    void _setDataAnnounced(const std::string& data);
    // Asks for the source to be produced again from the data, without an
    // announcement of its own (formatSource announces and calls it).
    virtual void _regenerateSource() = 0;

    // The data: short data inside the node, data read from a page as a span
    // of the page where the page holds it unchanged, other data in a block
    // of its own.
    pagedom::SourceText _data;

private:
    // setData for a reader whose data is a span of the page; no marks.
    void _setDataText(const pagedom::SourceText& data) { _data = data; }

    // Library internals used by the reader.
    friend class HTMLParser;
    friend class XMLParser;
};

#endif
