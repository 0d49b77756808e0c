// Fuzz target: formatting any page read as HTML must keep what the page
// means.  Formatting the formatted page changes nothing; the shown text
// keeps every character but white space; JSP code, server-side includes,
// comments, CDATA sections, declarations and the tags of custom elements
// keep their bytes, in order; the formatted page reads back as the tree
// formatting made (tests/writing/FormatProperties.h).
//
// The first input byte selects the reading mode and the formatting options,
// the rest is the page:
//   bit 0  read with the JSP 1.0 document types (JSP_10);
//   bit 2  without bit 0, read with the JSP 0.91 types (JSP_091);
//          with neither, the plain HTML types (JSP_NONE);
//   bit 1  recognise the MW 1.00 "<!%SUBMIT" markup (MW_100);
//   bit 3  a column limit of 8 instead of the default;
//   bit 4  an indentation of 4 spaces instead of the default;
//   bit 5  tag names in lower case instead of as declared;
//   bit 6  declared attribute names in upper case instead of as declared;
//   bit 7  enumerated values in lower case instead of as written.
// The ASCII digits make handy mode bytes: '0' plain, '1' JSP 1.0, '2' plain
// with MW, '4' JSP 0.91, '8' plain with narrow columns.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "dom.h"
#include "writing/FormatProperties.h"

namespace {

constexpr unsigned long NARROW_COLUMNS = 8;
constexpr unsigned long WIDE_INDENT = 4;

// Prints where two texts first differ, with a little context, and aborts.
[[noreturn]] void fail(const formatcheck::Failure& failure, const std::string& page)
{
    const std::string& expected = failure.expected;
    const std::string& actual = failure.actual;
    std::size_t at = 0;
    while (at < expected.size() && at < actual.size() && expected[at] == actual[at])
        ++at;
    auto excerpt = [](const std::string& s, std::size_t at) {
        std::string out;
        std::size_t from = at > 40 ? at - 40 : 0;
        for (std::size_t i = from; i < s.size() && i < at + 40; ++i) {
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
    };
    std::fprintf(stderr,
                 "pagedom formatting failed: %s\n"
                 "  page      %s\n"
                 "  first difference at byte %zu\n"
                 "  expected  ...%s...\n"
                 "  actual    ...%s...\n",
                 failure.what.c_str(), excerpt(page, 0).c_str(), at, excerpt(expected, at).c_str(),
                 excerpt(actual, at).c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t mode = data[0];
    const std::string page(reinterpret_cast<const char*>(data + 1), size - 1);

    DOMImpl::JSPVersion version = DOMImpl::JSP_NONE;
    if (mode & 1)
        version = DOMImpl::JSP_10;
    else if (mode & 4)
        version = DOMImpl::JSP_091;
    DOMImpl::setMWVersion((mode & 2) ? DOMImpl::MW_100 : DOMImpl::MW_NONE);

    const DOMImpl::FormatOption defaults;
    DOMImpl::FormatOption* options = DOMImpl::getFormatOption();
    *options = defaults;
    if (mode & 8)
        options->setColumnLimit(NARROW_COLUMNS);
    if (mode & 16)
        options->setIndent(WIDE_INDENT);
    if (mode & 32)
        options->setTagNameCaseType(DOMImpl::FormatOption::CASE_LOWER);
    if (mode & 64)
        options->setAttrNameCaseType(DOMImpl::FormatOption::CASE_UPPER);
    if (mode & 128)
        options->setAttrValueCaseType(DOMImpl::FormatOption::CASE_LOWER);

    if (formatcheck::Failure failure = formatcheck::check(page, version))
        fail(failure, page);
    return 0;
}
