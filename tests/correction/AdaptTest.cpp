// Adapting misplaced nodes of pages read from text (Document::adaptNode):
// the implied elements made around or inside, and their reuse.
#include <gtest/gtest.h>

#include <string>

#include "dom.h"
#include "writing/PageElements.h"

namespace {

using pageelements::nthNamed;

Document* read(const std::string& page)
{
    Document* doc = DOMImpl::createDocument("HTML");
    doc->createNodes(page.data(), static_cast<unsigned long>(page.size()), nullptr);
    return doc;
}

bool isAdaptor(const Node* n)
{
    return n && (n->getUpdateState() & Node::UPDATE_ADAPTED);
}

TEST(Adapt, StrayCellsFillOneImpliedRow)
{
    Document* doc = read("<body><div>x</div></body>");
    doc->endUpdate();
    doc->enableRecord(true);
    // A TD put straight into a TABLE gets a TBODY and a TR around it; a
    // second TD right after it joins the same TR.
    Element* table = doc->createElement("TABLE");
    nthNamed(doc, "DIV")->appendChild(table);
    Element* first = doc->createElement("TD");
    Element* second = doc->createElement("TD");
    table->appendChild(first);
    table->appendChild(second);
    Node* row = doc->adaptNode(first);
    ASSERT_NE(nullptr, row);
    EXPECT_EQ("TR", row->getNodeName());
    EXPECT_TRUE(isAdaptor(row));
    EXPECT_EQ("TBODY", row->getParentNode()->getNodeName());
    EXPECT_TRUE(isAdaptor(row->getParentNode()));
    EXPECT_EQ(table, row->getParentNode()->getParentNode());
    EXPECT_EQ(row, doc->adaptNode(second));
    EXPECT_EQ(2u, row->getChildLength());
    EXPECT_EQ(1u, table->getChildLength());
    doc->endUpdate();
    EXPECT_EQ("<body><div>x<TABLE><TBODY><TR><TD><TD></TBODY></TABLE></div></body>", doc->getSource());
    // One step, undone byte for byte.
    doc->undo(0);
    doc->undo(0);
    EXPECT_EQ("<body><div>x</div></body>", doc->getSource());
    DOM::getDOM()->deleteDocument(doc);
}

TEST(Adapt, ElementsAreWrappedInWhatTheyImply)
{
    // An LI straight inside BODY is wrapped in a new UL.
    Document* doc = read("<body><p>a</p></body>");
    Element* body = nthNamed(doc, "BODY");
    Element* li = doc->createElement("LI");
    body->appendChild(li);
    Node* list = doc->adaptNode(li);
    ASSERT_NE(nullptr, list);
    EXPECT_EQ("UL", list->getNodeName());
    EXPECT_TRUE(isAdaptor(list));
    EXPECT_EQ(body, list->getParentNode());
    EXPECT_EQ(li, list->getFirstChild());
    // An OPTION in a P: a SELECT; a TR in a DIV: a TABLE and a TBODY.
    Element* option = doc->createElement("OPTION");
    nthNamed(doc, "P")->appendChild(option);
    EXPECT_EQ("SELECT", doc->adaptNode(option)->getNodeName());
    Element* tr = doc->createElement("TR");
    body->appendChild(tr);
    Node* tbody = doc->adaptNode(tr);
    ASSERT_NE(nullptr, tbody);
    EXPECT_EQ("TBODY", tbody->getNodeName());
    EXPECT_EQ("TABLE", tbody->getParentNode()->getNodeName());
    EXPECT_EQ(body, tbody->getParentNode()->getParentNode());
    // What nothing implies, or a node without a parent element, stays.
    Element* td = doc->createElement("TD");
    EXPECT_EQ(nullptr, doc->adaptNode(td));
    EXPECT_EQ(nullptr, doc->adaptNode(nullptr));
    // Text straight in a TABLE: no element the table implies may hold it.
    Element* table = doc->createElement("TABLE");
    body->appendChild(table);
    Text* text = doc->createTextNode("t");
    table->appendChild(text);
    EXPECT_EQ(nullptr, doc->adaptNode(text));
    EXPECT_EQ(table, text->getParentNode());
    EXPECT_EQ(1u, table->getChildLength());
    // Text after the list's items goes into the last of them.
    Text* more = doc->createTextNode("more");
    list->appendChild(more);
    EXPECT_EQ(li, doc->adaptNode(more));
    td->releaseRef();
    DOM::getDOM()->deleteDocument(doc);
}

TEST(Adapt, AnLIFollowsIntoTheListBeforeIt)
{
    // A list item after an LI (an element that takes adapted content) goes
    // into it when it may hold it, else on down its last child.
    Document* doc = read("<body><ul><li>one</li></ul></body>");
    Element* ul = nthNamed(doc, "UL");
    Element* li = nthNamed(doc, "LI");
    Element* inner = doc->createElement("UL");
    li->getParentNode()->insertBefore(doc->createTextNode(" "), nullptr);
    ul->appendChild(inner);
    // UL may hold UL? Not in HTML 4: the LI before it takes it.
    EXPECT_EQ(li, doc->adaptNode(inner));
    EXPECT_EQ(li, inner->getParentNode());
    DOM::getDOM()->deleteDocument(doc);
}

} // namespace
