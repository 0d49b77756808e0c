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

#include "FuzzInput.h"
#include "dom.h"
#include "writing/FormatProperties.h"

namespace {

constexpr unsigned long NARROW_COLUMNS = 8;
constexpr unsigned long WIDE_INDENT = 4;

[[noreturn]] void fail(const formatcheck::Failure& failure, const std::string& page)
{
    fuzzinput::fail("pagedom formatting", failure.what + " (page ..." + fuzzinput::excerpt(page, 0, 40) + "...)",
                    failure.expected, failure.actual, 40);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string page;
    DOMImpl::JSPVersion version = DOMImpl::JSP_NONE;
    if (!fuzzinput::readInput(data, size, page, version))
        return 0;
    // The mode byte's high bits choose the formatting options.
    const std::uint8_t mode = data[0];

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
