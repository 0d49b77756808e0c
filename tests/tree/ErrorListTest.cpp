// The errors of a page read from text, with the source line of each: the
// error list, the collector by level, and the document's severity.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dom.h"
#include "node/NodeAccess.h"

namespace {

Document* read(const std::string& page)
{
    Document* doc = DOMImpl::createDocument("HTML");
    doc->createNodes(page.data(), static_cast<unsigned long>(page.size()), nullptr);
    return doc;
}

// "LINE NAME" for each listed error.
std::vector<std::string> listed(Document* doc)
{
    std::vector<std::string> out;
    for (const DOMError& e : doc->getErrorList())
        out.push_back(std::to_string(e.line) + " " + e.node->getNodeName());
    return out;
}

TEST(ErrorList, LinesFollowThePageWhateverItsLineBreaks)
{
    // Text a TR may not hold, on line 4; an undeclared attribute on line 6,
    // after a start tag spread over two lines.
    const std::string body = "<table><tr>\n  oops<td>x</td></tr></table>\n<p\nclass=a bogus=1>y";
    for (const std::string& lineBreak : {std::string("\r\n"), std::string("\n"), std::string("\r")}) {
        std::string text = body;
        std::string::size_type at = 0;
        while ((at = text.find('\n', at)) != std::string::npos) {
            text.replace(at, 1, lineBreak);
            at += lineBreak.size();
        }
        const std::string page = "<html>" + lineBreak + "<body>" + lineBreak + text;
        Document* doc = read(page);
        EXPECT_EQ((std::vector<std::string>{"4 #text", "5 p"}), listed(doc)) << "line break " << lineBreak.size();
        DOM::getDOM()->deleteDocument(doc);
    }
}

TEST(ErrorList, MarkupWithoutItsClosingDelimiterIsListed)
{
    // A comment and an include that found no "-->" ended at the first ">":
    // a "-->" written after them would make them run on, so they are
    // listed; closed ones are not.
    Document* doc = read("<p>a<!--x>b\n<!--#echo var=y>c");
    EXPECT_EQ((std::vector<std::string>{"1 #comment", "2 ssi:echo"}), listed(doc));
    for (const DOMError& e : doc->getErrorList())
        EXPECT_EQ(Node::INVALID_FORMAT_ERROR, e.node->getErrorState() & Node::INVALID_FORMAT_ERROR);
    DOM::getDOM()->deleteDocument(doc);
    Document* closed = read("<p>a<!-- fine -->b\n<!--#echo var=z -->c");
    EXPECT_TRUE(listed(closed).empty());
    DOM::getDOM()->deleteDocument(closed);
}

TEST(ErrorList, CollectorHandsOutErrorsAboveALevel)
{
    Document* doc = read("<p bogus=1>a</p>\r\n<table>\r\n<tr>text<td>b</td></tr></table>");
    // Every error: the undeclared attribute (below the format level) and
    // the misplaced text.
    ErrorCollector all(doc);
    DOMError first = all.nextError(Node::NONE_ERROR);
    ASSERT_NE(nullptr, first.node);
    EXPECT_EQ("p", first.node->getNodeName());
    EXPECT_EQ(1u, first.line);
    DOMError second = all.nextError(Node::NONE_ERROR);
    ASSERT_NE(nullptr, second.node);
    EXPECT_EQ(Node::TEXT_NODE, second.node->getNodeType());
    EXPECT_EQ(3u, second.line);
    DOMError end = all.nextError(Node::NONE_ERROR);
    EXPECT_EQ(nullptr, end.node);
    EXPECT_EQ(0u, end.line);
    // Above the format level only the misplaced text; a copy walks on alone.
    ErrorCollector severe(doc);
    ErrorCollector copy = severe;
    EXPECT_EQ(second.node, severe.nextError(Node::FORMAT_ERROR_LEVEL).node);
    EXPECT_EQ(nullptr, severe.nextError(Node::FORMAT_ERROR_LEVEL).node);
    EXPECT_EQ(second.node, copy.nextError(Node::LAYOUT_ERROR_LEVEL).node);
    DOM::getDOM()->deleteDocument(doc);
}

TEST(ErrorList, SeverityOfTheDocument)
{
    Document* doc = DOMImpl::createDocument("HTML");
    EXPECT_FALSE(doc->hasSevereError());
    // Under XML rules mismatched end tags are no severe error.
    pagedom::NodeAccess::addErrorState(*doc, Node::MISMATCHED_ERROR | Node::MISMATCHED_END_TAG_ERROR);
    EXPECT_TRUE(doc->hasSevereError());
    doc->FormatType(Document::XML_FORMAT);
    EXPECT_FALSE(doc->hasSevereError());
    pagedom::NodeAccess::addErrorState(*doc, Node::INVALID_CONTENT_ERROR);
    EXPECT_TRUE(doc->hasSevereError());
    // The document's own state is not listed.
    EXPECT_TRUE(doc->getErrorList().empty());
    DOM::getDOM()->deleteDocument(doc);
}

TEST(ErrorList, DeepPagesAreListedWithoutRecursion)
{
    std::string page;
    for (int i = 0; i < 100000; ++i)
        page += "<b>\n";
    page += "<table><tr>x</table>";
    Document* doc = read(page);
    const std::vector<DOMError>& list = doc->getErrorList();
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(100001u, list.back().line);
    DOM::getDOM()->deleteDocument(doc);
}

} // namespace
