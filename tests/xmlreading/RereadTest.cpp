// Re-reading a source range: the edited document is the one reading the
// whole edited text gives, on the example documents and generated ones.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "dom.h"
#include "writing/RandomEdits.h"
#include "xmlreading/VXMLPages.h"
#include "xmlreading/XMLShape.h"

using xmlshape::Doc;
using xmlshape::Piece;
using xmlshape::dump;
using xmlshape::piecesOf;

namespace {

// A random end of a source range, with the piece it lies in and the offset
// into that piece (pieces.size() for the end of the document).
struct End {
    Node* container;
    unsigned long offset;
    bool endTag;
    std::size_t piece;
    std::size_t into;
};

End randomEnd(Document* doc, const std::vector<Piece>& pieces, randomedits::Random& random)
{
    const std::size_t at = random.next(static_cast<unsigned>(pieces.size() + 1));
    if (at == pieces.size())
        return End{doc, doc->getChildLength(), false, pieces.size(), 0};
    const Piece& piece = pieces[at];
    Node* node = const_cast<Node*>(piece.node);
    const unsigned long into = random.next(static_cast<unsigned>(piece.text.size() + 1));
    if (piece.end)
        return End{node, into, true, at, into};
    if (node->getNodeType() != Node::ELEMENT_NODE)
        return End{node, into, false, at, into};
    // Before an element: a child index in its parent.
    Node* parent = node->getParentNode();
    return End{parent, parent->getChildIndex(node), false, at, 0};
}

const std::vector<std::string> TYPED = {
    "<a>", "</a>", "<b x='1'>", "</b>", "<c/>", "text", " ", "\r\n", "&amp;", "&e;", "&#65;", "<!--", "-->",
    "<![CDATA[", "]]>", "<?pi ", "?>", "<%= x %>", "<%", "%>", "<", ">", "\"", "'", "&", "</", "/>",
    "<form>", "</form>", "<block>", "</block>", "<prompt>", "</prompt>", "<field name=\"f\">", "</vxml>",
    "<!DOCTYPE d [<!ENTITY e \"&#66;\">]>", "<jsp:scriptlet>", "</jsp:scriptlet>"};

// Edits doc rounds times at random source ranges, each time comparing the
// document with one read from the whole edited text.
void editAndCompare(const char* kind, const std::string& page, DOMImpl::JSPVersion version, unsigned rounds,
                    randomedits::Random& random, const std::string& label)
{
    Doc doc(kind, page, version);
    std::string text = page;
    for (unsigned round = 0; round < rounds; ++round) {
        const std::vector<Piece> pieces = piecesOf(doc.doc);
        End start = randomEnd(doc.doc, pieces, random);
        End end = random.chance(30) ? start : randomEnd(doc.doc, pieces, random);
        if (end.piece < start.piece || (end.piece == start.piece && end.into < start.into))
            std::swap(start, end);
        std::string source;
        for (unsigned i = random.next(4); i > 0; --i)
            source += random.pick(TYPED);
        // The edited text: the pieces before the start, the new text, the
        // pieces from the end on.
        std::string edited;
        for (std::size_t i = 0; i < start.piece; ++i)
            edited += pieces[i].text;
        if (start.piece < pieces.size())
            edited += pieces[start.piece].text.substr(0, start.into);
        edited += source;
        if (end.piece < pieces.size())
            edited += pieces[end.piece].text.substr(end.into);
        for (std::size_t i = end.piece + 1; i < pieces.size(); ++i)
            edited += pieces[i].text;
        dom::Range range(start.container, start.offset, start.endTag, end.container, end.offset, end.endTag);
        ASSERT_TRUE(doc.doc->parse(source, range)) << label << " round " << round;
        Doc fresh(kind, edited, version);
        ASSERT_EQ(edited, doc.doc->getSource()) << label << " round " << round << "\nbefore:\n" << text;
        std::size_t from = 0;
        for (std::size_t i = 0; i < start.piece; ++i)
            from += pieces[i].text.size();
        from += start.into;
        const std::size_t replaced = text.size() + source.size() - edited.size();
        ASSERT_EQ(dump(fresh.doc), dump(doc.doc)) << label << " round " << round << "\nbefore:\n" << text
                                                  << "\nreplaced " << replaced << " bytes at " << from << " by '"
                                                  << source << "'";
        text = edited;
    }
}

} // namespace

TEST(Reread, EditedRangesReadAsTheWholeEditedText)
{
    // PAGEDOM_REREAD_SEED runs the same edits from another seed.
    const char* seed = std::getenv("PAGEDOM_REREAD_SEED");
    randomedits::Random random(seed ? std::strtoull(seed, nullptr, 10) : 17021999);
    editAndCompare("XML", randomedits::readExample("inventory.xml"), DOMImpl::JSP_NONE, 300, random, "inventory.xml");
    editAndCompare("VXML", randomedits::readExample("dialog.vxml"), DOMImpl::JSP_NONE, 300, random, "dialog.vxml");
    editAndCompare("XML", randomedits::readExample("inventory.xml"), DOMImpl::JSP_10, 100, random, "inventory.xml");
    vxmlpages::PageMaker maker(random);
    for (int page = 0; page < 150; ++page) {
        const std::string text = maker.make(2 + random.next(10));
        editAndCompare(page % 2 ? "VXML" : "XML", text, page % 3 ? DOMImpl::JSP_NONE : DOMImpl::JSP_10, 30,
                       random, "generated page " + std::to_string(page) + ":\n" + text);
    }
}

TEST(Reread, AnEditTouchesOnlyWhatItChanges)
{
    // A text typed into one item changes that text node alone: the other
    // nodes are the very same objects.
    Doc doc("XML", "<list><item>one</item><item>two</item><item>three</item></list>");
    Node* list = doc.doc->getFirstChild();
    Node* first = list->getFirstChild();
    Node* third = list->getLastChild();
    Node* text = list->getChildNode(1)->getFirstChild();
    dom::Range range(text, 1, false, text, 2, false);
    ASSERT_TRUE(doc.doc->parse("WO", range));
    EXPECT_EQ("<list><item>one</item><item>tWOo</item><item>three</item></list>", doc.doc->getSource());
    EXPECT_EQ(first, list->getFirstChild());
    EXPECT_EQ(third, list->getLastChild());
    EXPECT_EQ(3u, list->getChildLength());

    // An end tag typed in closes the element there; what followed it in
    // the element moves out, as reading the text gives.
    Node* second = list->getChildNode(1);
    dom::Range cut(second, 0, false, second, 0, false);
    ASSERT_TRUE(doc.doc->parse("x</item>", cut));
    EXPECT_EQ("<list><item>one</item><item>x</item>tWOo</item><item>three</item></list>", doc.doc->getSource());

    // Ends out of order, or outside the node, change nothing.
    const std::string before = doc.doc->getSource();
    dom::Range backwards(third, 0, false, first, 0, false);
    EXPECT_FALSE(doc.doc->parse("y", backwards));
    Doc other("XML", "<z/>");
    dom::Range elsewhere(other.doc, 0, false, other.doc, 1, false);
    EXPECT_FALSE(doc.doc->parse("y", elsewhere));
    EXPECT_EQ(before, doc.doc->getSource());
}

TEST(Reread, ARereadIsOneUndoStep)
{
    const std::string page = randomedits::readExample("dialog.vxml");
    Doc doc("VXML", page);
    doc.doc->endUpdate();
    doc.doc->enableRecord(true);
    Element* form = nullptr;
    for (Node* n = doc.doc->getFirstChild(); n && !form; n = n->getNextNode(doc.doc))
        if (n->getNodeName() == "form")
            form = static_cast<Element*>(n);
    ASSERT_NE(nullptr, form);
    // The form's start tag and what follows it, replaced by an open menu.
    dom::Range range(form->getParentNode(), form->getParentNode()->getChildIndex(form), false, form, 1, false);
    ASSERT_TRUE(doc.doc->parse("<menu><field>", range));
    doc.doc->endUpdate();
    const std::string edited = doc.doc->getSource();
    EXPECT_NE(page, edited);
    ASSERT_EQ(1, doc.doc->canUndo());
    doc.doc->undo(0);
    EXPECT_EQ(page, doc.doc->getSource());
    doc.doc->redo(0);
    EXPECT_EQ(edited, doc.doc->getSource());
}
