// Tidying the tree after edits (adjustNodes) on pages read from text: what
// goes, what is unwrapped or merged, where line breaks go, when the pass
// runs, that it loses no character and that one pass undoes as one step.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "writing/PageElements.h"
#include "writing/RandomEdits.h"

namespace {

using pageelements::nthNamed;
using pageelements::textCharacters;
using pageelements::countNamed;

Document* read(const std::string& page, bool adjust = false, DOMImpl::JSPVersion jsp = DOMImpl::JSP_NONE)
{
    Document* doc = DOMImpl::createDocument("HTML", jsp);
    doc->createNodes(page.data(), static_cast<unsigned long>(page.size()), nullptr, adjust);
    return doc;
}

bool inTree(Document* doc, const Node* node)
{
    const Node* n = node;
    while (n && n != doc)
        n = n->getParentNode();
    return n == doc;
}

TEST(Adjust, EmptiedAndRedundantFormattingGoes)
{
    // The author deletes the only text of a B: the empty B goes, and the
    // texts on either side become one.  One step, undone byte for byte.
    const std::string page = "<html><body><p>one <b>two</b> three</p></body></html>";
    Document* doc = read(page);
    doc->endUpdate();
    doc->enableRecord(true);
    Element* b = nthNamed(doc, "B");
    Node* p = b->getParentNode();
    doc->deleteNodes(b->getFirstChild());
    EXPECT_TRUE(doc->adjustNodes(nullptr, false));
    doc->endUpdate();
    EXPECT_EQ(0u, countNamed(doc, "B"));
    ASSERT_EQ(1u, p->getChildLength());
    // The joined text is the library's own now: its white space is laid out.
    EXPECT_EQ("<html><body><p>one three</p></body></html>", doc->getSource());
    doc->undo(0);
    EXPECT_EQ(page, doc->getSource());
    DOM::getDOM()->deleteDocument(doc);

    // A bare B in a B and a bare FONT are unwrapped; a FONT with attributes
    // stays.  The texts around each unwrapped element join.
    doc = read("<p>a<b><b>x</b></b>b<font>y</font>c<font color=red>z</font></p>", true);
    EXPECT_EQ(1u, countNamed(doc, "B"));
    EXPECT_EQ(1u, countNamed(doc, "FONT"));
    EXPECT_EQ("red", nthNamed(doc, "FONT")->getAttribute("color"));
    Element* para = nthNamed(doc, "P");
    ASSERT_EQ(4u, para->getChildLength());
    EXPECT_EQ("byc", static_cast<Text*>(nthNamed(doc, "B")->getNextSibling())->getData());
    EXPECT_EQ("<p>a<b>x</b>byc<font color=red>z</font></p>", doc->getSource());
    DOM::getDOM()->deleteDocument(doc);
}

TEST(Adjust, EmptyElementsThatMatterStay)
{
    // A named anchor, a P beside a TABLE, an element holding the cursor.
    Document* doc = read("<body><a name=top></a><table><tr><td>x</td></tr></table><p></p><i></i><b></b></body>");
    doc->endUpdate();
    Element* i = nthNamed(doc, "I");
    doc->setLayoutCursor(i, 0);
    // Every node counts as changed once the page is read again into BODY.
    for (Node* n = doc; n; n = n->getNextNode(doc))
        n->setUpdateState(Node::UPDATE_CONTENT_MODIFIED);
    EXPECT_TRUE(doc->adjustNodes(nullptr, false));
    EXPECT_EQ(1u, countNamed(doc, "A"));
    EXPECT_EQ(1u, countNamed(doc, "P"));
    EXPECT_EQ(1u, countNamed(doc, "I"));
    EXPECT_EQ(0u, countNamed(doc, "B"));
    // Once the cursor has left it, the empty I goes with the next pass: the
    // pass remembers where it left the cursor.
    doc->setLayoutCursor(nthNamed(doc, "TD")->getFirstChild(), 0);
    doc->endUpdate();
    EXPECT_TRUE(doc->adjustNodes(nthNamed(doc, "BODY"), false));
    EXPECT_EQ(0u, countNamed(doc, "I"));
    DOM::getDOM()->deleteDocument(doc);

    // Formatting keeps an empty element with attributes, and one the reader
    // marked with an error; it drops a bare empty one.
    doc = read("<body><p class=x></p><b></b><span>s</span></body><i");
    doc->formatSource();
    EXPECT_EQ(1u, countNamed(doc, "P"));
    EXPECT_EQ(0u, countNamed(doc, "B"));
    EXPECT_EQ(1u, countNamed(doc, "I"));
    DOM::getDOM()->deleteDocument(doc);
}

TEST(Adjust, BlockElementsGetLineBreaksWhereThePageHasNoText)
{
    Document* doc = read("<body><div><b>x</b><i>y</i></div><p>one two</body>");
    doc->endUpdate();
    doc->enableRecord(true);
    // A DIV between two elements: a line-break text on each side.
    Element* div = doc->createElement("DIV");
    div->appendChild(doc->createTextNode("new"));
    Element* i = nthNamed(doc, "I");
    Node* holder = i->getParentNode();
    holder->insertBefore(div, i);
    // The cursor after the I, counted in children, moves with it.
    doc->setLayoutCursor(holder, 3);
    EXPECT_TRUE(doc->adjustNodes(nullptr, false));
    doc->endUpdate();
    EXPECT_EQ(5u, holder->getChildLength());
    EXPECT_EQ("<b>x</b>\r\n<DIV>new</DIV>\r\n<i>y</i>", holder->getChildSource());
    Node* cursor = nullptr;
    int offset = -1;
    doc->getLayoutCursor(&cursor, &offset);
    EXPECT_EQ(holder, cursor);
    EXPECT_EQ(5, offset);
    // A P between two texts: the texts are there, nothing is added.
    Element* para = nthNamed(doc, "P");
    static_cast<Text*>(para->getFirstChild())->setData("one ");
    Text* two = doc->createTextNode("two");
    para->appendChild(two);
    doc->endUpdate();
    Element* p = doc->createElement("P");
    p->appendChild(doc->createTextNode("mid"));
    para->insertBefore(p, two);
    doc->adjustNodes(nullptr, false);
    doc->endUpdate();
    EXPECT_EQ(3u, para->getChildLength());
    // Each pass is undone with its step, byte for byte.
    doc->undo(0);
    doc->undo(0);
    doc->undo(0);
    EXPECT_EQ("<body><div><b>x</b><i>y</i></div><p>one two</body>", doc->getSource());
    DOM::getDOM()->deleteDocument(doc);
}

TEST(Adjust, DuplicatedTableSectionsMerge)
{
    // Two written TBODYs: the first takes the second's rows, after its own,
    // and the attributes it lacks.
    Document* doc = read("<table><tbody><tr><td>a</td></tr></tbody>"
                         "<tbody class=b><tr><td>b</td></tr></tbody></table>",
                         true);
    ASSERT_EQ(1u, countNamed(doc, "TBODY"));
    EXPECT_EQ("b", nthNamed(doc, "TBODY")->getAttribute("class"));
    EXPECT_EQ("a", static_cast<Text*>(nthNamed(doc, "TD", 0)->getFirstChild())->getData());
    EXPECT_EQ("b", static_cast<Text*>(nthNamed(doc, "TD", 1)->getFirstChild())->getData());
    DOM::getDOM()->deleteDocument(doc);
    // An implied TBODY before a written one: the written one survives, with
    // the implied one's rows first.
    doc = read("<table><tr><td>a</td></tr><tbody><tr><td>b</td></tr></tbody></table>", true);
    ASSERT_EQ(1u, countNamed(doc, "TBODY"));
    EXPECT_TRUE(nthNamed(doc, "TBODY")->hasStartTag());
    EXPECT_EQ("a", static_cast<Text*>(nthNamed(doc, "TD", 0)->getFirstChild())->getData());
    DOM::getDOM()->deleteDocument(doc);
    // A TBODY whose start tag ends rows the page left open is kept: without
    // it the page would read differently.
    doc = read("<table><tbody><tr><td>a<tbody><tr><td>b</table>", true);
    EXPECT_EQ(2u, countNamed(doc, "TBODY"));
    DOM::getDOM()->deleteDocument(doc);
}

TEST(Adjust, RunsWhenItIsDue)
{
    Document* doc = read("<p>a<b></b></p><div>x</div>");
    // A page just read is tidied only on request.
    EXPECT_FALSE(doc->adjustNodes(nullptr, false));
    EXPECT_EQ(1u, countNamed(doc, "B"));
    EXPECT_TRUE(doc->adjustNodes(nullptr, true));
    EXPECT_EQ(0u, countNamed(doc, "B"));
    doc->endUpdate();
    // After an undo the tree put back is left alone once.
    doc->enableRecord(true);
    nthNamed(doc, "P")->appendChild(doc->createElement("I"));
    doc->endUpdate();
    doc->undo(0);
    EXPECT_FALSE(doc->adjustNodes(nullptr, false));
    DOM::getDOM()->deleteDocument(doc);
    // Formatting is one step and undoes to the page before it.
    const std::string before = "<p>a</p><div>x</div>";
    doc = read(before);
    doc->endUpdate();
    doc->enableRecord(true);
    doc->formatSource();
    doc->endUpdate();
    EXPECT_NE(before, doc->getSource());
    doc->undo(0);
    EXPECT_EQ(before, doc->getSource());
    DOM::getDOM()->deleteDocument(doc);
}

// "<p>a<b>x</b></p><div>y</div>" after the cursor emptied the B's text and
// a tidying pass ran: the B stays, left behind as the pending node.  With
// record, the edits from then on are recorded.
Document* readWithEmptiedB(bool record)
{
    Document* doc = read("<p>a<b>x</b></p><div>y</div>");
    doc->endUpdate();
    if (record)
        doc->enableRecord(true);
    Text* inB = static_cast<Text*>(nthNamed(doc, "B")->getFirstChild());
    doc->setLayoutCursor(inB, 0);
    inB->setData("");
    doc->adjustNodes(nullptr, false);
    doc->endUpdate();
    return doc;
}

TEST(Adjust, FormattingAnElementUndoesWhatThePendingNodeTook)
{
    // The cursor leaves an emptied B behind; formatting a DIV elsewhere
    // drops it, and undo brings the page back byte for byte.
    Document* doc = readWithEmptiedB(true);
    EXPECT_EQ(1u, countNamed(doc, "B"));
    const std::string before = doc->getSource();
    doc->setLayoutCursor(nthNamed(doc, "DIV")->getFirstChild(), 0);
    nthNamed(doc, "DIV")->formatSource();
    doc->endUpdate();
    EXPECT_EQ(0u, countNamed(doc, "B"));
    doc->undo(0);
    EXPECT_EQ(before, doc->getSource());
    DOM::getDOM()->deleteDocument(doc);
}

TEST(Adjust, TidyingOrFormattingThePendingNodeItselfIsSafe)
{
    // The cursor leaves an emptied B behind, and the host then tidies or
    // formats that very B: it goes first, with nothing recorded that would
    // keep it alive, and the pass does not walk it afterwards (the address
    // sanitizer sees any use of it).
    for (const bool format : {false, true}) {
        Document* doc = readWithEmptiedB(false);
        ASSERT_EQ(1u, countNamed(doc, "B"));
        doc->setLayoutCursor(nthNamed(doc, "DIV")->getFirstChild(), 0);
        Element* b = static_cast<Element*>(nthNamed(doc, "B"));
        if (format)
            b->formatSource();
        else
            EXPECT_TRUE(doc->adjustNodes(b, false));
        doc->endUpdate();
        EXPECT_EQ(0u, countNamed(doc, "B"));
        EXPECT_EQ("<p>a</p><div>y</div>", doc->getSource());
        DOM::getDOM()->deleteDocument(doc);
    }
}

// After random edits, tidying (changed nodes only, then everything) keeps
// every non-white character, keeps the cursor and the selections in the
// tree, and undoes as one step to the page before it.
TEST(Adjust, RandomEditsThenTidyingLoseNoCharacter)
{
    using namespace randomedits;
    for (const Source& source : pages()) {
        for (std::uint64_t seed = 1; seed <= 6; ++seed) {
            Document* doc = read(source.text, false, source.jsp);
            doc->enableRecord(true);
            Editor editor(doc, seed * 7919 + source.text.size(), Misuse::NONE);
            for (int i = 0; i < 12; ++i)
                editor.edit();
            doc->endUpdate();
            const std::string before = doc->getSource();
            const std::vector<char> chars = textCharacters(doc);
            const bool full = seed % 2 == 0;
            doc->adjustNodes(nullptr, full);
            doc->endUpdate();
            EXPECT_EQ(chars, textCharacters(doc)) << source.name << " seed " << seed << " after "
                                                  << editor.history();
            Node* cursor = nullptr;
            doc->getLayoutCursor(&cursor, nullptr);
            EXPECT_TRUE(!cursor || inTree(doc, cursor)) << source.name << " seed " << seed;
            for (const Document::Selection* s : doc->getSelections())
                EXPECT_TRUE(inTree(doc, s->startNode) && inTree(doc, s->endNode)) << source.name;
            if (doc->getSource() != before) {
                doc->undo(0);
                EXPECT_EQ(before, doc->getSource()) << source.name << " seed " << seed;
            }
            DOM::getDOM()->deleteDocument(doc);
        }
    }
}

TEST(Adjust, DeepPagesAreTidiedWithoutRecursion)
{
    const int depth = 100000;
    // Bare B's nested in B's: all but the outermost are unwrapped.
    std::string page;
    for (int i = 0; i < depth; ++i)
        page += "<b>";
    page += "x";
    Document* doc = read(page);
    doc->enableRecord(true);
    EXPECT_TRUE(doc->adjustNodes(nullptr, true));
    doc->endUpdate();
    EXPECT_EQ(1u, countNamed(doc, "B"));
    EXPECT_EQ("<B>x", doc->getSource());
    doc->undo(0);
    EXPECT_EQ(page, doc->getSource());
    DOM::getDOM()->deleteDocument(doc);

    // Closed empty elements nested deep: the outermost goes, with all of it.
    page.clear();
    for (int i = 0; i < depth; ++i)
        page += "<i>";
    for (int i = 0; i < depth; ++i)
        page += "</i>";
    doc = read("<p>a" + page + "b</p>", true);
    EXPECT_EQ(0u, countNamed(doc, "I"));
    EXPECT_EQ("<p>ab</p>", doc->getSource());
    DOM::getDOM()->deleteDocument(doc);

    // Closed lists nested deep: every level gets its line breaks, the
    // indentation stops growing, and the page formats the same twice.
    page.clear();
    for (int i = 0; i < depth; ++i)
        page += "<ul><li>x";
    for (int i = 0; i < depth; ++i)
        page += "</ul>";
    doc = read(page);
    doc->formatSource();
    const std::string once = doc->getSource();
    DOM::getDOM()->deleteDocument(doc);
    EXPECT_LT(once.size(), page.size() * 40);
    doc = read(once);
    doc->formatSource();
    EXPECT_EQ(once, doc->getSource());
    DOM::getDOM()->deleteDocument(doc);
}

} // namespace
