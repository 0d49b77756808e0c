// The METADATA comments that wrap an element carrying editor data in a saved
// page: recognising them, and the words they are written with.
#ifndef PAGEDOM_TREE_METADATACOMMENT_H
#define PAGEDOM_TREE_METADATACOMMENT_H

#include <cstddef>
#include <string>
#include <string_view>

#include "tree/MetaData.h"

namespace pagedom {

// A METADATA comment is an HTML or JSP comment whose text starts with the
// keyword "METADATA" followed by attribute-like words: "type" with the
// metadata's type name, and "startspan" or "endspan".  A start comment holds
// the element's source after its first line; the end comment follows the
// element's run-time text.  Keywords, attribute names and type names are
// compared ignoring case.
class MetaDataComment {
public:
    // The words of the comments.
    static const char* const KEYWORD;     // "METADATA"
    static const char* const TYPE_ATTR;   // "type"
    static const char* const START_SPAN;  // "startspan"
    static const char* const END_SPAN;    // "endspan"

    // The type a start comment names, from its text between the delimiters
    // (dashes included); NONE when the text is no METADATA start comment:
    // only its first line counts, and a text without a line break is none.
    static MetaData::Type startType(std::string_view text);
    // The type an end comment names, from its text between the delimiters;
    // NONE when the text is no METADATA end comment.
    static MetaData::Type endType(std::string_view text);

    // The length of the first line of a start comment's source with its line
    // break (CR LF, LF or CR): where the element's part begins; the whole
    // length when there is no line break.
    static std::size_t firstLineLength(std::string_view source);
    // The length of the comment closing at the end of source ("-->" or
    // "--%>"), 0 when source does not end in one.
    static std::size_t closingLength(std::string_view source);

private:
    // Reads the words of text (leading dashes skipped) as a start or an end
    // comment; the type named, or NONE when the words do not make one.
    static MetaData::Type _readWords(std::string_view text, bool start);
};

} // namespace pagedom

#endif
