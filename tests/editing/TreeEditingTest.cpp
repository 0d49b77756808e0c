// The document's tree-editing helpers on pages read from text: unwrapping
// elements, what counts as empty, walks in document order, common
// ancestors, and texts read again from their source.
#include <gtest/gtest.h>

#include <string>

#include "tree/DocumentAccess.h"
#include "writing/RandomEdits.h"

namespace {

Document* read(const std::string& page)
{
    Document* doc = DOMImpl::createDocument("HTML");
    doc->createNodes(page.data(), static_cast<unsigned long>(page.size()), nullptr);
    return doc;
}

Element* firstNamed(Document* doc, const std::string& upperName)
{
    for (Node* n = doc; n; n = n->getNextNode(doc))
        if (n->getNodeType() == Node::ELEMENT_NODE && static_cast<Element*>(n)->getElementType() &&
            static_cast<Element*>(n)->getElementType()->getNodeName() == upperName)
            return static_cast<Element*>(n);
    return nullptr;
}

TEST(TreeEditing, RemoveElementUnwrapsAndJoinsTexts)
{
    const std::string page = "<html><body><p>one <b>two</b> three</p><p>x<i>y</i>z</p></body></html>";
    Document* doc = read(page);
    doc->enableRecord(true);
    Element* b = firstNamed(doc, "B");
    Node* p = b->getParentNode();
    EXPECT_EQ(nullptr, doc->removeElement(b, true));
    ASSERT_EQ(1u, p->getChildLength());
    EXPECT_EQ("one two three", static_cast<Text*>(p->getFirstChild())->getData());
    // Without joining the texts stay apart.
    Element* i = firstNamed(doc, "I");
    Node* second = i->getParentNode();
    doc->removeElement(i, false);
    EXPECT_EQ(3u, second->getChildLength());
    doc->endUpdate();
    EXPECT_EQ("<html><body><p>one two three</p><p>xyz</p></body></html>", doc->getSource());
    // One step, undone byte for byte.
    doc->undo(0);
    EXPECT_EQ(page, doc->getSource());
    // An empty element between two texts: the two become one.
    const std::string between = "<p>left<b></b>right</p>";
    doc->createNodes(between.data(), static_cast<unsigned long>(between.size()), nullptr);
    Element* empty = firstNamed(doc, "B");
    Node* holder = empty->getParentNode();
    doc->removeElement(empty, true);
    ASSERT_EQ(1u, holder->getChildLength());
    EXPECT_EQ("leftright", static_cast<Text*>(holder->getFirstChild())->getData());
    // An element without a parent is handed back untouched.
    Element* loose = doc->createElement("span");
    EXPECT_EQ(loose, doc->removeElement(loose, true));
    loose->releaseRef();
    doc->releaseRef();
}

TEST(TreeEditing, WhatCountsAsEmpty)
{
    Document* doc = read("<html><body><a name=x></a><b><i></i></b><table><tr><td>c</td></tr></table>"
                         "<p></p><div>t</div></body></html>");
    Element* a = firstNamed(doc, "A");
    Element* b = firstNamed(doc, "B");
    Element* p = firstNamed(doc, "P");
    Element* div = firstNamed(doc, "DIV");
    EXPECT_FALSE(doc->isEmptyNode(a, false));     // a named anchor is a target
    EXPECT_TRUE(doc->isEmptyNode(b, false));      // B holding an empty I
    EXPECT_FALSE(doc->isEmptyNode(p, false));     // a P right after a TABLE
    EXPECT_FALSE(doc->isEmptyNode(div, false));   // holds a text
    EXPECT_FALSE(doc->isEmptyNode(nullptr, false));
    // The cursor keeps a node, unless asked to ignore it on the node itself.
    doc->setLayoutCursor(b, 0);
    EXPECT_FALSE(doc->isEmptyNode(b, false));
    EXPECT_TRUE(doc->isEmptyNode(b, true));
    doc->setLayoutCursor(b->getFirstChild(), 0);
    EXPECT_FALSE(doc->isEmptyNode(b, true));
    doc->releaseRef();
}

TEST(TreeEditing, WalksAndCommonAncestors)
{
    Document* doc = read("<html><body><p>a<b>b</b></p><p>c</p></body></html>");
    Element* body = doc->getBODYElement(nullptr);
    // findNextNode visits what getNextNode visits, below its root.
    Node* walked = body;
    for (Node* expected = body->getNextNode(body); expected; expected = expected->getNextNode(body)) {
        walked = doc->findNextNode(walked, body, false, false);
        ASSERT_EQ(expected, walked);
    }
    EXPECT_EQ(nullptr, doc->findNextNode(walked, body, false, false));
    EXPECT_EQ(nullptr, doc->findNextNode(body, body, false, true));
    // Only changed nodes: after a reset, the text edited and its parent.
    doc->enableRecord(true);
    doc->endUpdate();
    Element* second = static_cast<Element*>(body->getLastChild());
    static_cast<Text*>(second->getFirstChild())->appendData("!");
    EXPECT_EQ(second, doc->findNextNode(body, body, true, false));
    EXPECT_EQ(second->getFirstChild(), doc->findNextNode(second, body, true, false));

    Node* first = body->getFirstChild();
    Node* bold = first->getLastChild();
    Node* aSide = nullptr;
    Node* bSide = nullptr;
    EXPECT_EQ(body, doc->getCommonAncestor(bold->getFirstChild(), second, &aSide, &bSide));
    EXPECT_EQ(first, aSide);
    EXPECT_EQ(second, bSide);
    EXPECT_EQ(bold, doc->getCommonAncestor(bold, bold, &aSide, &bSide));
    EXPECT_EQ(bold, aSide);
    EXPECT_EQ(bold, bSide);
    Element* loose = doc->createElement("span");
    EXPECT_EQ(nullptr, doc->getCommonAncestor(loose, bold, &aSide, nullptr));
    EXPECT_EQ(nullptr, aSide);
    EXPECT_EQ(0, doc->compareNode(nullptr, bold));
    EXPECT_LT(doc->compareNode(first, second), 0);
    loose->releaseRef();
    doc->releaseRef();
}

TEST(TreeEditing, TextsAreReadAgainFromTheirSource)
{
    Document* doc = read("<html><body><p>old</p><table><tr><td>cell</td></tr></table></body></html>");
    Element* p = firstNamed(doc, "P");
    Text* text = static_cast<Text*>(p->getFirstChild());
    text->setSource("x &lt; y");
    Text* cell = static_cast<Text*>(firstNamed(doc, "TD")->getFirstChild());
    cell->setSource("&amp;");
    EXPECT_EQ("old", text->getText());
    EXPECT_TRUE(doc->restorePlainTexts(p));
    EXPECT_EQ("x < y", text->getText());
    // What a PRE may not hold (the table) keeps its texts.
    EXPECT_TRUE(doc->restorePlainTexts(doc->getBODYElement(nullptr)));
    EXPECT_EQ("cell", cell->getText());
    // A text by itself is read again.
    EXPECT_TRUE(doc->restorePlainTexts(cell));
    EXPECT_EQ("&", cell->getText());
    EXPECT_FALSE(doc->restorePlainTexts(nullptr));
    doc->releaseRef();
}

// Random deletions and unwrappings on the example and generated pages, with
// the cursor and selections placed anywhere: afterwards both always point
// into the tree, and the undone steps give the page back.
TEST(TreeEditing, CursorAndSelectionsStayInTheTree)
{
    using namespace randomedits;
    for (const Source& page : pages()) {
        Document* doc = DOMImpl::createDocument("HTML", page.jsp);
        doc->createNodes(page.text.data(), static_cast<unsigned long>(page.text.size()), nullptr);
        doc->enableRecord(true);
        Random random(page.text.size() + 7);
        auto inTree = [doc](const Node* n) {
            while (n && n->getParentNode())
                n = n->getParentNode();
            return n == doc;
        };
        for (int call = 0; call < 60 && doc->getFirstChild(); ++call) {
            std::vector<Node*> nodes;
            for (Node* n = doc->getFirstChild(); n; n = n->getNextNode(doc))
                nodes.push_back(n);
            doc->setLayoutCursor(random.pick(nodes), 0);
            doc->select(random.pick(nodes), 0, random.pick(nodes), 0, random.chance(30));
            Node* victim = random.pick(nodes);
            if (victim->getNodeType() == Node::ELEMENT_NODE && random.chance(50))
                doc->removeElement(static_cast<Element*>(victim), random.chance(50));
            else
                doc->deleteNodes(victim);
            Node* cursor = pagedom::DocumentAccess::cursorNode(*doc);
            ASSERT_TRUE(!cursor || inTree(cursor)) << page.name << " call " << call;
            for (const Document::Selection* sel : doc->getSelections()) {
                ASSERT_TRUE(inTree(sel->startNode)) << page.name << " call " << call;
                ASSERT_TRUE(inTree(sel->endNode)) << page.name << " call " << call;
            }
        }
        doc->endUpdate();
        doc->undo(0);
        EXPECT_EQ(page.text, doc->getSource()) << page.name;
        doc->releaseRef();
    }
}

// The walks here climb without the call stack: a chain 100,000 elements
// deep is unwrapped, walked and searched.
TEST(TreeEditing, DeepChains)
{
    const int DEPTH = 100000;
    std::string page = "<html><body>";
    for (int i = 0; i < DEPTH; ++i)
        page += "<span>";
    page += "x</body></html>";
    Document* doc = read(page);
    Node* deepest = doc->getBODYElement(nullptr);
    while (deepest->getFirstChild())
        deepest = deepest->getFirstChild();
    Node* top = doc->getBODYElement(nullptr)->getFirstChild();
    EXPECT_EQ(top, doc->getCommonAncestor(deepest, top, nullptr, nullptr));
    EXPECT_EQ(nullptr, doc->findNextNode(deepest, doc, false, false));
    EXPECT_FALSE(doc->isEmptyNode(top, false));
    doc->removeElement(static_cast<Element*>(top), true);
    EXPECT_TRUE(doc->restorePlainTexts(doc));
    doc->deleteNodes(doc->getBODYElement(nullptr));
    doc->releaseRef();
}

} // namespace
