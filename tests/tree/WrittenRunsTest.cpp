// Writing an edited page again and again: the unchanged siblings along the
// edited path go out as copies of the page, runs of them remembered from
// one write to the next, and every edit made between two writes, wherever
// it lands, still reaches the written page.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "dom.h"

namespace {

// A body of many siblings: paragraphs, white space, comments, JSP
// expressions and a table, with the text typed into in the middle.
std::string makePage()
{
    std::string page = "<%@ page language=\"java\" %>\n<HTML><BODY BGCOLOR=white>\n";
    for (int i = 0; i < 30; ++i) {
        page += "<P CLASS=p" + std::to_string(i) + ">para " + std::to_string(i) + " <B>bold</B></P>\n";
        if (i % 4 == 0)
            page += "<!-- note " + std::to_string(i) + " -->\n";
        if (i % 5 == 0)
            page += "<%= row" + std::to_string(i) + " %> &amp; more\n";
        if (i == 15)
            page += "<P ID=target>typing MIDDLE here</P>\n";
    }
    page += "<TABLE><TR><TD>a<TD>b</TABLE>\n</BODY></HTML>\n";
    return page;
}

struct TypedPage {
    TypedPage() : page(makePage()), doc(DOMImpl::createDocument("HTML", DOMImpl::JSP_10))
    {
        doc->createNodes(page.data(), static_cast<unsigned long>(page.size()), nullptr);
    }
    ~TypedPage() { doc->releaseRef(); }

    // The nth node of that name in document order.
    Node* node(const std::string& name, int nth = 0) const
    {
        for (Node* n = doc->getFirstChild(); n; n = n->getNextNode(doc))
            if (n->getNodeName() == name && nth-- == 0)
                return n;
        return nullptr;
    }
    Element* element(const std::string& name, int nth = 0) const { return static_cast<Element*>(node(name, nth)); }
    Text* target() const { return static_cast<Text*>(element("P", 16)->getFirstChild()); }
    // The page as a copy of the tree writes it, node by node.  Making the
    // copy links nodes, which drops every remembered run: it is asked only
    // after the writes it checks.
    std::string writtenByCopy() const
    {
        Node* copy = doc->cloneNode(true);
        std::string out = copy->getSource();
        copy->releaseRef();
        return out;
    }
    // Writes the page three times (learning, remembering, using what was
    // remembered); each write must be the page as a copy writes it.
    void writeAndCheck(const std::string& step)
    {
        std::string written[3];
        for (std::string& out : written)
            out = doc->getSource();
        const std::string expected = writtenByCopy();
        for (int write = 0; write < 3; ++write)
            EXPECT_EQ(expected, written[write]) << step << ", write " << write;
    }
    // Writes the page twice, so that the next write finds runs to use.
    void writeTwice() const
    {
        doc->getSource();
        doc->getSource();
    }

    std::string page;
    Document* doc;
};

TEST(WrittenRuns, EveryKeystrokeReachesThePageAndTheRestStaysAsRead)
{
    TypedPage p;
    ASSERT_EQ("typing MIDDLE here", p.target()->getData());
    EXPECT_EQ(p.page, p.doc->getSource());
    std::string expected = p.page;
    for (int key = 0; key < 5; ++key) {
        p.target()->insert(7, "x", true, Text::SPACE_AUTO);
        expected.insert(expected.find("MIDDLE"), "x");
        EXPECT_EQ(expected, p.doc->getSource()) << "keystroke " << key;
        EXPECT_EQ(expected, p.doc->getChildSource()) << "keystroke " << key;
    }
    // Typing elsewhere, then back at the first place.
    Text* other = static_cast<Text*>(p.element("P", 3)->getFirstChild());
    other->insert(0, "y", true, Text::SPACE_AUTO);
    expected.insert(expected.find("para 3"), "y");
    EXPECT_EQ(expected, p.doc->getSource());
    p.target()->insert(7, "x", true, Text::SPACE_AUTO);
    expected.insert(expected.find("MIDDLE"), "x");
    EXPECT_EQ(expected, p.doc->getSource());
    EXPECT_EQ(expected, p.doc->getSource());
}

// Each edit lands on or among the siblings the writes before it found
// unchanged, between keystrokes in the middle of the page.
TEST(WrittenRuns, EditsAmongUnchangedSiblingsReachThePage)
{
    const std::vector<std::pair<std::string, std::function<void(TypedPage&)>>> edits = {
        {"attribute of a sibling", [](TypedPage& p) { p.element("P", 4)->setAttribute("CLASS", "changed"); }},
        {"text inside a sibling", [](TypedPage& p) { static_cast<Text*>(p.node("B", 20)->getFirstChild())->setData("BOLDER"); }},
        {"white space between siblings",
         [](TypedPage& p) { static_cast<Text*>(p.element("P", 5)->getNextSibling())->setData("\n\n\n"); }},
        {"comment among siblings", [](TypedPage& p) { static_cast<Comment*>(p.node("#comment", 2))->setData(" new "); }},
        {"sibling removed",
         [](TypedPage& p) {
             Node* gone = p.element("P", 7);
             gone->getParentNode()->removeChild(gone)->releaseRef();
         }},
        {"sibling inserted",
         [](TypedPage& p) {
             Element* added = p.doc->createElement("HR");
             p.element("P", 9)->getParentNode()->insertBefore(added, p.element("P", 9));
         }},
        {"sibling moved to the end",
         [](TypedPage& p) {
             Element* moved = p.element("P", 2);
             moved->getParentNode()->appendChild(moved);
         }},
        {"sibling formatted", [](TypedPage& p) { p.element("TABLE")->formatSource(); }},
        {"JSP expression edited",
         [](TypedPage& p) {
             static_cast<CDATASection*>(p.node("#cdata-section", 1))->setData(" other ");
         }},
    };
    for (const auto& edit : edits) {
        TypedPage p;
        p.target()->insert(7, "x", true, Text::SPACE_AUTO);
        p.writeTwice();
        edit.second(p);
        p.writeAndCheck(edit.first);
        // Typing on after the edit.
        p.writeTwice();
        p.target()->insert(7, "x", true, Text::SPACE_AUTO);
        p.writeAndCheck("typing after " + edit.first);
    }
}

// A page read into a document that was written before: the new children
// are written, not runs remembered from the old ones.
TEST(WrittenRuns, ANewPageReadIntoTheDocumentIsWritten)
{
    TypedPage p;
    p.target()->insert(7, "x", true, Text::SPACE_AUTO);
    p.writeTwice();
    const std::string next = "<HTML><BODY>\n<P>one</P>\n<P>two</P>\n</BODY></HTML>\n";
    p.doc->createNodes(next.data(), static_cast<unsigned long>(next.size()), nullptr);
    EXPECT_EQ(next, p.doc->getSource());
    Element* body = p.element("BODY");
    ASSERT_TRUE(body);
    const std::string more = "<P>three</P>\n";
    p.writeTwice();
    p.doc->createNodes(more.data(), static_cast<unsigned long>(more.size()), body);
    p.writeAndCheck("a page read into the body");
    EXPECT_NE(std::string::npos, p.doc->getSource().find("three"));
}

} // namespace
