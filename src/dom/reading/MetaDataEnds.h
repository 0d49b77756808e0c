// Where the METADATA end comments of a page are, so that pairing each start
// comment with its end costs a lookup rather than a search to the page end.
#ifndef PAGEDOM_READING_METADATAENDS_H
#define PAGEDOM_READING_METADATAENDS_H

#include <string>
#include <vector>

#include "tree/MetaData.h"

namespace pagedom {

// The METADATA end comments of one page, by type, in page order.  The page
// is scanned once, when the first start comment asks: every comment (HTML,
// and JSP where the page's syntax has them) is read as the lexer reads it,
// from its opening to its first closing, and the end comments among them
// are kept.  A page of n start comments without ends thus costs one scan
// and n lookups, not n scans.
class MetaDataEnds {
public:
    // One end comment: where it starts and where it ends in the page.
    struct Span {
        unsigned long start;
        unsigned long end;
    };

    // Over source (not copied; it must outlive the index); jspComments says
    // whether "<%--" opens a comment.
    MetaDataEnds(const std::string& source, bool jspComments) : _source(source), _jspComments(jspComments) {}

    // The first end comment of type that starts at or after from; false
    // when there is none.
    bool find(MetaData::Type type, unsigned long from, Span& found);

private:
    void _scan();
    // Reads the comment whose opening ("<!--" or "<%--") starts at at;
    // returns where it ends (the page end when it never closes).
    unsigned long _readComment(unsigned long at, bool jsp);

    const std::string& _source;
    const bool _jspComments;
    bool _scanned = false;
    std::vector<Span> _ends[MetaData::NONE];
};

} // namespace pagedom

#endif
