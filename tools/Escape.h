// Showing bytes and data-form text on one line of the tool's output.
#ifndef PAGEDOM_TOOLS_ESCAPE_H
#define PAGEDOM_TOOLS_ESCAPE_H

#include <cstddef>
#include <string>

// Printable renderings of page bytes for the pagedom tool.  Everything the
// tool prints about page content goes through here, so that its output stays
// plain ASCII on one line whatever bytes a page holds.
namespace tool {

// Appends one byte: printable ASCII as itself (backslash and double quote
// escaped), CR, LF and TAB as \r, \n, \t, every other byte as \xHH.
void appendEscapedByte(std::string& out, unsigned char c);

// The bytes [begin, end) of text, escaped byte by byte.
std::string escapeBytes(const std::string& text, std::size_t begin, std::size_t end);

// At most maxUnits bytes of raw text, escaped, followed by "..." when cut.
std::string rawExcerpt(const std::string& text, std::size_t maxUnits);

// At most maxUnits characters of data-form text (the form Text nodes keep),
// with each character-value escape shown as {c} for a printable ASCII value
// and {#N} for any other value; literal braces are shown as \{ and \}.  A
// truncated or malformed escape is shown byte by byte.  "..." marks a cut,
// which is also reported through cut when it is not null.
std::string dataExcerpt(const std::string& data, std::size_t maxUnits, bool* cut = nullptr);

} // namespace tool

#endif
