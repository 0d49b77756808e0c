// Fuzz target: any byte string read as an HTML page must write back byte for
// byte, and so must a deep copy of the tree; reading the page token by token
// must give the same tree as the direct reading of text and plain tags.
//
// The first input byte selects the reading mode, the rest is the page:
//   bit 0  read with the JSP 1.0 document types (JSP_10);
//   bit 2  without bit 0, read with the JSP 0.91 types (JSP_091);
//          with neither, the plain HTML types (JSP_NONE);
//   bit 1  recognise the MW 1.00 "<!%SUBMIT" markup (MW_100).
// The ASCII digits make handy mode bytes: '0' plain, '1' JSP 1.0, '2' plain
// with MW, '3' JSP 1.0 with MW, '4' JSP 0.91.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "FuzzInput.h"
#include "dom.h"
#include "reading/HTMLParser.h"
#include "reading/TreeDump.h"

namespace {

[[noreturn]] void fail(const char* what, const std::string& expected, const std::string& actual)
{
    fuzzinput::fail("pagedom round trip", what, expected, actual, 24);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string page;
    DOMImpl::JSPVersion version = DOMImpl::JSP_NONE;
    if (!fuzzinput::readInput(data, size, page, version))
        return 0;

    Document* doc = DOMImpl::createDocument("HTML", version);
    if (!doc) {
        std::fprintf(stderr, "pagedom: no HTML document could be made\n");
        std::abort();
    }
    doc->createNodes(page.data(), static_cast<unsigned long>(page.size()), nullptr);

    // The editor's own elements written in their page form (QRTX:COMMENT,
    // QRTX:ATV) become a comment and an element's visual as the page is
    // read, and are written so (the document then reports revised
    // metadata); every other page comes back as it was read.
    const std::string written = doc->getSource();
    const std::string& expected = doc->isMetaDataRevised() ? written : page;
    if (written != page && !doc->isMetaDataRevised())
        fail("getSource() of the parsed document differs from the input", page, written);
    // The unchanged document hands back the page it kept; the tree itself
    // must write the same bytes.
    const std::string treeWritten = doc->getChildSource();
    if (treeWritten != expected)
        fail("getChildSource() of the parsed document differs from the input", expected, treeWritten);

    Node* copy = doc->cloneNode(true);
    if (!copy) {
        std::fprintf(stderr, "pagedom: cloneNode(true) of a document returned null\n");
        std::abort();
    }
    const std::string copied = copy->getSource();
    if (copied != expected)
        fail("getSource() of the deep copy differs from the input", expected, copied);

    copy->releaseRef();

    // Running text and plain tags are read straight from the text, and
    // attributes kept as records; read token by token into attribute nodes,
    // the page must give the very same tree.
    pagedom::ReaderSwitches::setDirectReading(false);
    pagedom::ReaderSwitches::setAttributeRecords(false);
    Document* slow = DOMImpl::createDocument("HTML", version);
    slow->createNodes(page.data(), static_cast<unsigned long>(page.size()), nullptr);
    pagedom::ReaderSwitches::setDirectReading(true);
    pagedom::ReaderSwitches::setAttributeRecords(true);
    const std::string direct = treedump::dump(doc);
    const std::string tokens = treedump::dump(slow);
    if (direct != tokens)
        fail("the tree read directly differs from the tree read token by token", tokens, direct);
    DOM::getDOM()->deleteDocument(slow);

    DOM::getDOM()->deleteDocument(doc);
    return 0;
}
