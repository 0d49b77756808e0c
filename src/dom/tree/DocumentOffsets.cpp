// Positions in a text's two forms: a layout offset counts bytes of its data
// (the displayed text, with character references as escapes), a source
// offset bytes of the source the page holds.  Also the cursor as either.
#include "tree/Document.h"

#include <cctype>
#include <string>

#include "base/PCDATA.h"
#include "tree/Text.h"

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::size_t blankRun(const std::string& s, std::size_t at)
{
    std::size_t end = at;
    while (end < s.size() && isBlank(s[end]))
        ++end;
    return end - at;
}

// Whether the source at at holds a reference written for an ampersand.
bool isAmpersandReference(const std::string& source, std::size_t at)
{
    std::string here = source.substr(at, 6);
    for (char& c : here)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return here.compare(0, 5, "&amp;") == 0 || here.compare(0, 5, "&#38;") == 0 || here.compare(0, 6, "&#x26;") == 0;
}

// The length in the source of the character an escape of the data (at
// escape) stands for at source index at: a reference runs from its '&' to
// the first of ';', blank, '<', '&' after it, a ';' included; a character
// taken as text (a lone '<' or '&') is one byte.  Past the end of the
// source, nothing.
std::size_t escapedLength(const std::string& data, std::size_t escape, const std::string& source, std::size_t at)
{
    if (at >= source.size())
        return 0;
    const bool ampersand = data[escape] == PCDATA::ESC && escape + 1 < data.size() && data[escape + 1] == '&';
    if (source[at] != '&' || (ampersand && !isAmpersandReference(source, at)))
        return 1;
    std::size_t end = at + 1;
    while (end < source.size() && source[end] != ';' && !isBlank(source[end]) && source[end] != '<' &&
           source[end] != '&')
        ++end;
    if (end < source.size() && source[end] == ';')
        ++end;
    return end - at;
}

// Walks data and source in step until the data index reaches dataStop or
// the source index reaches sourceStop, and gives both indices.  Blank runs
// of equal length go byte by byte (preformatted text); a blank run the data
// collapsed goes whole on both sides; blanks the data dropped are skipped
// in the source; an escape goes with its reference or its one character.
struct Place {
    std::size_t data;
    std::size_t source;
};

Place walk(const std::string& data, const std::string& source, std::size_t dataStop, std::size_t sourceStop)
{
    Place at{0, 0};
    while (at.data < dataStop && at.source < sourceStop && at.data < data.size()) {
        const char c = data[at.data];
        if (isBlank(c)) {
            const std::size_t inData = blankRun(data, at.data);
            const std::size_t inSource = blankRun(source, at.source);
            if (inData == inSource) {
                ++at.data;
                ++at.source;
            } else {
                at.data += inData;
                at.source += inSource;
            }
        } else if (at.source < source.size() && isBlank(source[at.source])) {
            at.source += blankRun(source, at.source);
        } else if (c == PCDATA::ESC || c == PCDATA::WIDE) {
            at.source += escapedLength(data, at.data, source, at.source);
            at.data += static_cast<std::size_t>(PCDATA::pclen(data.c_str() + at.data));
        } else {
            ++at.data;
            ++at.source;
        }
    }
    return at;
}

// The data and source of node when it is a text and offset is a position;
// false otherwise (the conversions then give 0).
bool textForms(const Node* node, int offset, std::string& data, std::string& source)
{
    if (!node || offset < 0 || node->getNodeType() != Node::TEXT_NODE)
        return false;
    const Text* text = static_cast<const Text*>(node);
    data = text->getData();
    source = text->getSource();
    return true;
}

} // namespace

int Document::convertOffsetLayout2Source(const Node* node, int offset)
{
    std::string data;
    std::string source;
    if (!textForms(node, offset, data, source))
        return 0;
    Place at = walk(data, source, static_cast<std::size_t>(offset), source.size());
    // A position before a character the source writes after dropped blanks
    // is the position of that character.
    if (at.data < data.size() && !isBlank(data[at.data]))
        at.source += blankRun(source, at.source);
    if (at.source > source.size())
        at.source = source.size();
    return static_cast<int>(at.source);
}

int Document::convertOffsetSource2Layout(const Node* node, int offset)
{
    std::string data;
    std::string source;
    if (!textForms(node, offset, data, source))
        return 0;
    return static_cast<int>(walk(data, source, data.size(), static_cast<std::size_t>(offset)).data);
}

void Document::getLayoutCursor(Node** node, int* offset) const
{
    if (node)
        *node = _cursorNode;
    if (offset)
        *offset = _layoutOffset >= 0 ? _layoutOffset : convertOffsetSource2Layout(_cursorNode, _sourceOffset);
}

void Document::setSourceCursor(Node* node, int offset)
{
    setLayoutCursor(node, -1);
    _sourceOffset = offset;
}

void Document::getSourceCursor(Node** node, int* offset) const
{
    if (node)
        *node = _cursorNode;
    if (offset)
        *offset = _sourceOffset >= 0 ? _sourceOffset : convertOffsetLayout2Source(_cursorNode, _layoutOffset);
}
