// Fuzz target: repairing any page read as HTML must keep its content and
// settle.  Every text character, comment and piece of server code stays; a
// second repair changes nothing; the repair undoes as one step to the page
// as read; the repaired page, read again and repaired, is written the same
// (tests/correction/CorrectProperties.h).
//
// The first input byte selects the reading mode (FuzzInput.h), the rest is
// the page.  The ASCII digits make handy mode bytes: '0' plain, '1' JSP 1.0,
// '4' JSP 0.91.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzInput.h"
#include "correction/CorrectProperties.h"
#include "dom.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string page;
    DOMImpl::JSPVersion version = DOMImpl::JSP_NONE;
    if (!fuzzinput::readInput(data, size, page, version))
        return 0;
    if (const correctcheck::Failure failure = correctcheck::check(page, version))
        fuzzinput::fail("pagedom repair", failure.what + " (page ..." + fuzzinput::excerpt(page, 0, 40) + "...)",
                        failure.expected, failure.actual, 40);
    return 0;
}
