// The generic corrector on pages read from text, with a small set of
// adaptors of its own: promotion with splitting and distribution, adaptors
// made inside and around, their reuse, and a whole repair undone.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dom.h"
#include "writing/PageElements.h"
#include "writing/RandomEdits.h"

namespace {

using pageelements::countNamed;
using pageelements::nthNamed;
using pageelements::textCharacters;

// Tables imply TBODY then TR inside, rows imply cells; list items imply a
// UL around them.
class SmallCorrector : public ErrorCorrector {
public:
    explicit SmallCorrector(Node* root) : ErrorCorrector(root) {}

protected:
    Element* _createChildAdaptor(const Element* parent) const override
    {
        const std::string name = parent->getNodeName();
        Document* doc = parent->getOwnerDocument();
        if (name == "TABLE" || name == "table")
            return doc->createElement("TBODY");
        if (name == "TBODY")
            return doc->createElement("TR");
        if (name == "TR" || name == "tr")
            return doc->createElement("TD");
        return nullptr;
    }
    Element* _createParentAdaptor(const Element* child) const override
    {
        const std::string name = child->getNodeName();
        if (name == "LI" || name == "li")
            return child->getOwnerDocument()->createElement("UL");
        return nullptr;
    }
};

Document* read(const std::string& page)
{
    Document* doc = DOMImpl::createDocument("HTML");
    doc->createNodes(page.data(), static_cast<unsigned long>(page.size()), nullptr);
    return doc;
}

Element* make(Document* doc, const std::string& name, const std::string& text = std::string())
{
    Element* e = doc->createElement(name);
    if (!text.empty())
        e->appendChild(doc->createTextNode(text));
    return e;
}

TEST(ErrorCorrector, PromotionSplitsAndPushesFormattingDown)
{
    // A TABLE inside a B: the B is split around it, and the cell's text is
    // wrapped in a copy of the B.
    Document* doc = read("<body><div>x</div></body>");
    Element* body = nthNamed(doc, "BODY");
    Element* b = make(doc, "B", "one");
    Element* table = make(doc, "TABLE");
    Element* tr = make(doc, "TR");
    tr->appendChild(make(doc, "TD", "cell"));
    table->appendChild(tr);
    b->appendChild(table);
    b->appendChild(doc->createTextNode("two"));
    body->appendChild(b);
    SmallCorrector corrector(doc);
    EXPECT_EQ(body, corrector.promote(table));
    EXPECT_EQ(body, table->getParentNode());
    EXPECT_EQ(b, table->getPreviousSibling());
    ASSERT_NE(nullptr, table->getNextSibling());
    EXPECT_EQ("B", table->getNextSibling()->getNodeName());
    EXPECT_EQ("<B>one</B><TABLE><TR><TD><B>cell</B></TABLE><B>two</B>",
              b->getSource() + table->getSource() + table->getNextSibling()->getSource());
    // Nothing to push down: null.
    Element* p = make(doc, "P");
    EXPECT_EQ(nullptr, corrector.distribute(p, b));
    p->releaseRef();
    // A node the root itself may not hold cannot go past it.
    SmallCorrector inBody(nthNamed(doc, "DIV"));
    Element* li = make(doc, "LI", "item");
    Element* span = make(doc, "SPAN");
    span->appendChild(li);
    nthNamed(doc, "DIV")->appendChild(span);
    Node* list = inBody.promote(li);
    ASSERT_NE(nullptr, list);
    EXPECT_EQ("UL", list->getNodeName());
    DOM::getDOM()->deleteDocument(doc);
}

TEST(ErrorCorrector, AdaptorsAreMadeInsideAndAroundAndReused)
{
    Document* doc = read("<body><table></table></body>");
    Element* table = nthNamed(doc, "TABLE");
    Element* first = make(doc, "P", "a");
    Element* second = make(doc, "P", "b");
    table->appendChild(first);
    table->appendChild(doc->createTextNode(" "));
    table->appendChild(second);
    SmallCorrector corrector(doc);
    // TABLE implies TBODY, TBODY a TR, TR a TD, which may hold a P.
    Node* cell = corrector.adapt(first);
    ASSERT_NE(nullptr, cell);
    EXPECT_EQ("TD", cell->getNodeName());
    EXPECT_TRUE(cell->getUpdateState() & Node::UPDATE_ADAPTED);
    EXPECT_EQ("TR", cell->getParentNode()->getNodeName());
    // The second P, after white space, goes into the same cell.
    EXPECT_EQ(cell, corrector.adapt(second));
    EXPECT_EQ(2u, cell->getChildLength());
    // An LI in a P is wrapped in a UL the P may not hold either: nothing.
    Element* li = make(doc, "LI", "x");
    first->appendChild(li);
    EXPECT_EQ(nullptr, corrector.adapt(li));
    EXPECT_EQ(first, li->getParentNode());
    // In a DIV it is wrapped.
    Element* div = make(doc, "DIV");
    nthNamed(doc, "BODY")->appendChild(div);
    Element* item = make(doc, "LI", "y");
    div->appendChild(item);
    Node* list = corrector.adapt(item);
    ASSERT_NE(nullptr, list);
    EXPECT_EQ("UL", list->getNodeName());
    EXPECT_EQ(div, list->getParentNode());
    DOM::getDOM()->deleteDocument(doc);
}

TEST(ErrorCorrector, CorrectAllRepairsThePageAsOneStep)
{
    const std::string page = "<html><body><table><tr>text<td>x</td></tr></table><p>a</p></body></html>";
    Document* doc = read(page);
    doc->endUpdate();
    doc->enableRecord(true);
    const std::size_t errors = doc->getErrorList().size();
    ASSERT_GT(errors, 0u);
    SmallCorrector(doc).correctAll();
    doc->endUpdate();
    // The stray text went into a cell of its own; no text was lost.
    EXPECT_LT(doc->getErrorList().size(), errors);
    const std::string repaired = doc->getSource();
    EXPECT_NE(std::string::npos, repaired.find("<TD>text"));
    EXPECT_NE(std::string::npos, repaired.find("x"));
    EXPECT_NE(std::string::npos, repaired.find("a"));
    doc->undo(0);
    EXPECT_EQ(page, doc->getSource());
    DOM::getDOM()->deleteDocument(doc);
}

// The example pages and generated pages: repairing everything keeps every
// character, and undoes as one step to the page as read.
TEST(ErrorCorrector, RepairsKeepEveryCharacterAndUndo)
{
    for (const randomedits::Source& source : randomedits::pages()) {
        Document* doc = DOMImpl::createDocument("HTML", source.jsp);
        doc->createNodes(source.text.data(), static_cast<unsigned long>(source.text.size()), nullptr);
        doc->endUpdate();
        doc->enableRecord(true);
        const std::vector<char> chars = textCharacters(doc);
        SmallCorrector(doc).correctAll();
        doc->endUpdate();
        EXPECT_EQ(chars, textCharacters(doc)) << source.name;
        if (doc->canUndo()) {
            doc->undo(0);
            EXPECT_EQ(source.text, doc->getSource()) << source.name;
        }
        DOM::getDOM()->deleteDocument(doc);
    }
}

TEST(ErrorCorrector, DeepPromotionWithoutRecursion)
{
    // A TABLE under 100,000 nested B's climbs out of all of them.
    Document* doc = read("<body></body>");
    Element* body = nthNamed(doc, "BODY");
    Element* parent = body;
    for (int i = 0; i < 100000; ++i) {
        Element* b = make(doc, "B");
        parent->appendChild(b);
        parent = b;
    }
    Element* table = make(doc, "TABLE");
    parent->appendChild(table);
    EXPECT_EQ(body, SmallCorrector(doc).promote(table));
    EXPECT_EQ(body, table->getParentNode());
    EXPECT_EQ(100000u, countNamed(doc, "B"));
    DOM::getDOM()->deleteDocument(doc);
}

} // namespace
