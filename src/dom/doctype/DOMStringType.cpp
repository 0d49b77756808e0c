// Collapsing white space and cutting a text to a one-line headline.
#include "doctype/DOMStringType.h"

#include <cstdlib>

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

} // namespace

unsigned long DOMStringType::compact(std::string& text)
{
    std::size_t out = 0;
    bool inSpace = false;
    for (std::size_t in = 0; in < text.size(); ++in) {
        const char c = text[in];
        if (isSpace(c)) {
            if (!inSpace)
                text[out++] = ' ';
            inSpace = true;
        } else {
            text[out++] = c;
            inSpace = false;
        }
    }
    text.resize(out);
    return static_cast<unsigned long>(out);
}

void DOMStringType::headline(std::string& text, unsigned int maxBytes)
{
    std::size_t start = 0;
    while (start < text.size() && isSpace(text[start]))
        ++start;

    const std::size_t size = text.size();
    std::size_t end = start;
    std::mblen(nullptr, 0);
    while (end < size) {
        const char c = text[end];
        if (c == '\r' || c == '\t')
            break;
        int length = std::mblen(text.data() + end, size - end);
        if (length < 1) {
            // An invalid sequence or a NUL byte counts as one byte.
            length = 1;
            std::mblen(nullptr, 0);
        }
        if (end - start + static_cast<std::size_t>(length) > maxBytes)
            break;
        end += static_cast<std::size_t>(length);
    }

    const bool cut = end < size;
    text = text.substr(start, end - start);
    if (cut)
        text += "...";
}
