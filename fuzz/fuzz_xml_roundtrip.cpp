// Fuzz target: any byte string read as an XML and as a VoiceXML document
// must write back byte for byte, by the document, by its tree and by a deep
// copy; read in two pieces (the second added after the first), it must
// still write back the same bytes; a range of it read again with a piece of
// itself in its place must give the document that reading the whole edited
// text gives; and the trees must be released cleanly.
//
// The first input byte selects the reading mode (see FuzzInput.h): bit 0
// reads with the JSP 1.0 document types, bit 2 without bit 0 with the JSP
// 0.91 ones.  The next byte tells where the page is cut for the reading in
// two pieces (as a share of its length) and which range is read again; the
// rest is the page.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "FuzzInput.h"
#include "dom.h"
#include "xmlreading/XMLShape.h"

namespace {

[[noreturn]] void fail(const char* kind, const char* what, const std::string& expected, const std::string& actual)
{
    fuzzinput::fail("pagedom XML round trip", std::string(kind) + ": " + what, expected, actual, 24);
}

// Replaces a range the cut chooses (from a piece to a later one, with
// offsets into both) by the bytes of the page around the cut, and compares
// the document with one read from the whole edited text.
void checkReread(const char* kind, DOMImpl::JSPVersion version, Document* doc, const std::string& page,
                 std::size_t cut)
{
    const std::vector<xmlshape::Piece> pieces = xmlshape::piecesOf(doc);
    if (pieces.empty())
        return;
    struct End {
        Node* container;
        unsigned long offset;
        bool endTag;
        std::size_t piece;
        std::size_t into;
    };
    auto endAt = [&](std::size_t at, std::size_t into) {
        const xmlshape::Piece& piece = pieces[at];
        Node* node = const_cast<Node*>(piece.node);
        into = piece.text.empty() ? 0 : into % (piece.text.size() + 1);
        if (piece.end)
            return End{node, static_cast<unsigned long>(into), true, at, into};
        if (node->getNodeType() != Node::ELEMENT_NODE)
            return End{node, static_cast<unsigned long>(into), false, at, into};
        Node* parent = node->getParentNode();
        return End{parent, parent->getChildIndex(node), false, at, 0};
    };
    End start = endAt(cut % pieces.size(), cut / 3);
    End end = endAt((cut * 7 + page.size()) % pieces.size(), cut / 5);
    if (end.piece < start.piece || (end.piece == start.piece && end.into < start.into))
        std::swap(start, end);
    const std::string source = page.substr(cut / 2, cut % 11);
    std::string edited;
    for (std::size_t i = 0; i < start.piece; ++i)
        edited += pieces[i].text;
    edited += pieces[start.piece].text.substr(0, start.into) + source + pieces[end.piece].text.substr(end.into);
    for (std::size_t i = end.piece + 1; i < pieces.size(); ++i)
        edited += pieces[i].text;
    dom::Range range(start.container, start.offset, start.endTag, end.container, end.offset, end.endTag);
    if (!doc->parse(source, range))
        fail(kind, "a range in order was not read again", "true", "false");
    const std::string written = doc->getSource();
    if (written != edited)
        fail(kind, "the document read again in a range writes other bytes than the edited text", edited, written);
    Document* fresh = DOMImpl::createDocument(kind, version);
    fresh->createNodes(edited.data(), static_cast<unsigned long>(edited.size()), nullptr);
    const std::string expected = xmlshape::dump(fresh);
    const std::string actual = xmlshape::dump(doc);
    DOM::getDOM()->deleteDocument(fresh);
    if (actual != expected)
        fail(kind, "the document read again in a range differs from the edited text read whole", expected, actual);
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

    checkReread(kind, version, doc, page, cut);

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
