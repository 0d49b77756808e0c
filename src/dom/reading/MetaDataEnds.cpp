// The index of a page's METADATA end comments.
#include "reading/MetaDataEnds.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "tree/Comment.h"
#include "tree/MetaDataComment.h"

namespace pagedom {

namespace {

// The comment text the recognizer reads runs from after "<!" or "<%" (the
// opening dashes) to before the closing's '>' or "%>" (the closing dashes).
const std::size_t OPENING_MARK_LENGTH = 2;
const std::size_t OPENING_DASHES = 2;

} // namespace

bool MetaDataEnds::find(MetaData::Type type, unsigned long from, Span& found)
{
    if (type < MetaData::DesignerControl || type >= MetaData::NONE)
        return false;
    if (!_scanned)
        _scan();
    const std::vector<Span>& ends = _ends[type];
    auto at = std::lower_bound(ends.begin(), ends.end(), from,
                               [](const Span& span, unsigned long position) { return span.start < position; });
    if (at == ends.end())
        return false;
    found = *at;
    return true;
}

void MetaDataEnds::_scan()
{
    _scanned = true;
    const std::size_t size = _source.size();
    std::size_t at = 0;
    while (at < size) {
        const std::size_t open = _source.find('<', at);
        if (open == std::string::npos)
            return;
        const std::string_view rest(_source.data() + open, size - open);
        const bool html = rest.compare(0, Comment::OPEN_TAG.size(), Comment::OPEN_TAG) == 0;
        const bool jsp = !html && _jspComments &&
                         rest.compare(0, Comment::JSP_OPEN_TAG.size(), Comment::JSP_OPEN_TAG) == 0;
        at = html || jsp ? _readComment(static_cast<unsigned long>(open), jsp) : open + 1;
    }
}

unsigned long MetaDataEnds::_readComment(unsigned long at, bool jsp)
{
    const std::string& close = jsp ? Comment::JSP_CLOSE_TAG : Comment::CLOSE_TAG;
    const std::size_t textStart = at + OPENING_MARK_LENGTH;
    const std::size_t closing = _source.find(close, textStart + OPENING_DASHES);
    if (closing == std::string::npos)
        return static_cast<unsigned long>(_source.size());
    // The text keeps the closing dashes, as the lexer's comment token does.
    const std::size_t textEnd = closing + OPENING_DASHES;
    const std::string_view text(_source.data() + textStart, textEnd - textStart);
    const unsigned long end = static_cast<unsigned long>(closing + close.size());
    const MetaData::Type type = MetaDataComment::endType(text);
    if (type != MetaData::NONE)
        _ends[type].push_back(Span{at, end});
    return end;
}

} // namespace pagedom
