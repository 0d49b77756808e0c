// Fuzz target: any byte string read as an XML and as a VoiceXML document
// must write back byte for byte, by the document, by its tree and by a deep
// copy; read in two pieces (the second added after the first), it must
// still write back the same bytes; and the trees must be released cleanly.
//
// The first input byte selects the reading mode (see FuzzInput.h): bit 0
// reads with the JSP 1.0 document types, bit 2 without bit 0 with the JSP
// 0.91 ones.  The next byte tells where the page is cut for the reading in
// two pieces (as a share of its length); the rest is the page.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "FuzzInput.h"
#include "dom.h"

namespace {

[[noreturn]] void fail(const char* kind, const char* what, const std::string& expected, const std::string& actual)
{
    fuzzinput::fail("pagedom XML round trip", std::string(kind) + ": " + what, expected, actual, 24);
}

void checkKind(const char* kind, DOMImpl::JSPVersion version, const std::string& page, std::size_t cut)
{
    Document* doc = DOMImpl::createDocument(kind, version);
    if (!doc) {
        std::fprintf(stderr, "pagedom: no %s document could be made\n", kind);
        std::abort();
    }
    doc->createNodes(page.data(), static_cast<unsigned long>(page.size()), nullptr);
    const std::string written = doc->getSource();
    if (written != page)
        fail(kind, "getSource() of the read document differs from the input", page, written);
    const std::string treeWritten = doc->getChildSource();
    if (treeWritten != page)
        fail(kind, "getChildSource() of the read document differs from the input", page, treeWritten);
    Node* copy = doc->cloneNode(true);
    const std::string copied = copy->getSource();
    if (copied != page)
        fail(kind, "getSource() of the deep copy differs from the input", page, copied);
    copy->releaseRef();

    // Read in two pieces into a fragment: every byte still in one node.
    DocumentFragment* fragment = doc->createDocumentFragment();
    fragment->parse(page.substr(0, cut));
    fragment->parse(page.substr(cut));
    const std::string pieces = fragment->getChildSource();
    if (pieces != page)
        fail(kind, "the page read in two pieces writes other bytes", page, pieces);
    fragment->releaseRef();
    DOM::getDOM()->deleteDocument(doc);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string page;
    DOMImpl::JSPVersion version = DOMImpl::JSP_NONE;
    if (!fuzzinput::readInput(data, size, page, version) || page.empty())
        return 0;
    const std::size_t cut = static_cast<std::size_t>(static_cast<unsigned char>(page[0])) * (page.size() - 1) / 255;
    page.erase(0, 1);
    checkKind("XML", version, page, cut);
    checkKind("VXML", version, page, cut);
    return 0;
}
