// What the fuzz targets share: the mode byte that opens every input and the
// report of the first difference between two texts.
#ifndef PAGEDOM_FUZZ_FUZZINPUT_H
#define PAGEDOM_FUZZ_FUZZINPUT_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "dom.h"

namespace fuzzinput {

// The reading mode in the low bits of the first input byte:
//   bit 0  read with the JSP 1.0 document types (JSP_10);
//   bit 2  without bit 0, read with the JSP 0.91 types (JSP_091);
//          with neither, the plain HTML types (JSP_NONE);
//   bit 1  recognise the MW 1.00 "<!%SUBMIT" markup (MW_100).
// Sets the MW version and returns the JSP version to read with.
inline DOMImpl::JSPVersion applyReadingMode(std::uint8_t mode)
{
    DOMImpl::setMWVersion((mode & 2) ? DOMImpl::MW_100 : DOMImpl::MW_NONE);
    if (mode & 1)
        return DOMImpl::JSP_10;
    if (mode & 4)
        return DOMImpl::JSP_091;
    return DOMImpl::JSP_NONE;
}

// An input is its mode byte, applied as the reading mode (version gets the
// JSP version to read with), then the page; false for an empty input.
inline bool readInput(const std::uint8_t* data, std::size_t size, std::string& page, DOMImpl::JSPVersion& version)
{
    if (size == 0)
        return false;
    version = applyReadingMode(data[0]);
    page.assign(reinterpret_cast<const char*>(data + 1), size - 1);
    return true;
}

// Up to radius bytes of s on each side of at, unprintable bytes escaped.
inline std::string excerpt(const std::string& s, std::size_t at, std::size_t radius)
{
    std::string out;
    std::size_t from = at > radius ? at - radius : 0;
    for (std::size_t i = from; i < s.size() && i < at + radius; ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c >= 0x20 && c < 0x7f && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02x", c);
            out += buf;
        }
    }
    return out;
}

// The first byte at which two texts differ (the shorter length when one is
// the start of the other).
inline std::size_t firstDifference(const std::string& a, const std::string& b)
{
    std::size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at])
        ++at;
    return at;
}

// Reports a failure and where expected and actual first differ, and aborts.
[[noreturn]] inline void fail(const char* target, const std::string& what, const std::string& expected,
                              const std::string& actual, std::size_t radius)
{
    const std::size_t at = firstDifference(expected, actual);
    std::fprintf(stderr,
                 "%s failed: %s\n"
                 "  expected %zu bytes, actual %zu bytes, first difference at byte %zu\n"
                 "  expected ...%s...\n"
                 "  actual   ...%s...\n",
                 target, what.c_str(), expected.size(), actual.size(), at, excerpt(expected, at, radius).c_str(),
                 excerpt(actual, at, radius).c_str());
    std::abort();
}

} // namespace fuzzinput

#endif
