// Showing bytes and data-form text on one line of the tool's output.
#include "Escape.h"

#include "dom.h"

namespace tool {

namespace {

// The marks of the data form (PCDATA), as the unsigned bytes read here.
const unsigned char ESC = static_cast<unsigned char>(PCDATA::ESC);
const unsigned char WIDE = static_cast<unsigned char>(PCDATA::WIDE);
const unsigned char WIDE_NUMERIC = static_cast<unsigned char>(PCDATA::WIDE_NUMERIC);

void appendValue(std::string& out, unsigned long value)
{
    if (value >= 0x20 && value < 0x7F) {
        out += '{';
        appendEscapedByte(out, static_cast<unsigned char>(value));
        out += '}';
    } else {
        out += "{#" + std::to_string(value) + "}";
    }
}

} // namespace

void appendEscapedByte(std::string& out, unsigned char c)
{
    static const char digits[] = "0123456789ABCDEF";
    switch (c) {
    case '\\': out += "\\\\"; return;
    case '"': out += "\\\""; return;
    case '\r': out += "\\r"; return;
    case '\n': out += "\\n"; return;
    case '\t': out += "\\t"; return;
    default: break;
    }
    if (c >= 0x20 && c < 0x7F) {
        out += static_cast<char>(c);
        return;
    }
    out += "\\x";
    out += digits[c >> 4];
    out += digits[c & 0xF];
}

std::string escapeBytes(const std::string& text, std::size_t begin, std::size_t end)
{
    std::string out;
    if (end > text.size())
        end = text.size();
    for (std::size_t i = begin; i < end; ++i)
        appendEscapedByte(out, static_cast<unsigned char>(text[i]));
    return out;
}

std::string rawExcerpt(const std::string& text, std::size_t maxUnits)
{
    std::string out = escapeBytes(text, 0, maxUnits);
    if (text.size() > maxUnits)
        out += "...";
    return out;
}

std::string dataExcerpt(const std::string& data, std::size_t maxUnits, bool* cut)
{
    std::string out;
    const std::size_t n = data.size();
    std::size_t i = 0;
    for (std::size_t units = 0; i < n && units < maxUnits; ++units) {
        unsigned char c = static_cast<unsigned char>(data[i]);
        if (c == ESC && i + 1 < n) {
            appendValue(out, static_cast<unsigned char>(data[i + 1]));
            i += 2;
            continue;
        }
        if (c == WIDE && i + 3 < n) {
            unsigned char kind = static_cast<unsigned char>(data[i + 1]);
            unsigned char hi = static_cast<unsigned char>(data[i + 2]);
            unsigned char last = static_cast<unsigned char>(data[i + 3]);
            if (kind == WIDE || kind == WIDE_NUMERIC) {
                appendValue(out, (static_cast<unsigned long>(hi) << 8) | last);
                i += 4;
                continue;
            }
            // A value whose low byte is 0: the low byte is implied and the
            // last byte carries the numeric mark.
            if (kind == ESC && (last == WIDE || last == WIDE_NUMERIC)) {
                appendValue(out, static_cast<unsigned long>(hi) << 8);
                i += 4;
                continue;
            }
        }
        if (c == '{' || c == '}') {
            out += '\\';
            out += static_cast<char>(c);
        } else {
            appendEscapedByte(out, c);
        }
        ++i;
    }
    if (i < n)
        out += "...";
    if (cut)
        *cut = i < n;
    return out;
}

} // namespace tool
