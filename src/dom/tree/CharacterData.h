#ifndef PAGEDOM_TREE_CHARACTERDATA_H
#define PAGEDOM_TREE_CHARACTERDATA_H

#include "node/Node.h"
#include "base/SourceText.h"

// Base of the nodes that hold character data in the library's data form.
// The plain string operations here neither announce nor mark anything.
class CharacterData : public Node {
public:
    std::string getData() const { return _data.str(); }
    virtual void setData(const std::string& data);

    unsigned long getLength() const { return static_cast<unsigned long>(_data.size()); }
    // Offsets are byte offsets; an offset beyond the length raises
    // std::out_of_range, a count reaching past the end is cut there.
    std::string substringData(unsigned long offset, unsigned long count) const;
    void appendData(const std::string& data);
    void insertData(unsigned long offset, const std::string& data);
    void deleteData(unsigned long offset, unsigned long count);
    void replaceData(unsigned long offset, unsigned long count, const std::string& data);
    // setData for a reader whose data is a span of the page; no marks.
    void _setDataText(const pagedom::SourceText& data) { _data = data; }

protected:
    CharacterData(Document* ownerDocument, const std::string& name, const std::string& data);
    CharacterData(const CharacterData& other) = default;

    // Replaces the data inside a modification announcement and asks for the
    // source to be produced again.
    void _setDataAnnounced(const std::string& data);

    // The data: short data inside the node, data read from a page as a span
    // of the page where the page holds it unchanged, other data in a block
    // of its own.
    pagedom::SourceText _data;
};

#endif
