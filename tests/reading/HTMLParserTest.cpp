// Pages go in, trees come out, and the page comes back byte for byte.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "dom.h"
#include "doctype/DeclarationBuilder.h"
#include "reading/HTMLParser.h"
#include "reading/TreeDump.h"

namespace {

// A compact picture of a tree: elements by name ("~" when both tags are
// omitted), texts as 'data' with escapes shown as \<, comments as !data,
// CDATA sections as [data].
std::string shape(const Node* node)
{
    std::string out;
    struct Frame {
        const Node* node;
        const Node* next;
    };
    auto label = [](const Node* n) {
        switch (n->getNodeType()) {
        case Node::ELEMENT_NODE: {
            const Element* e = static_cast<const Element*>(n);
            return std::string(e->isOmittedElement() ? "~" : "") + e->getNodeName();
        }
        case Node::TEXT_NODE: {
            std::string d = static_cast<const Text*>(n)->getData(), s;
            for (char c : d) {
                if (c == '\x1b')
                    s += '\\';
                else
                    s += c;
            }
            return "'" + s + "'";
        }
        case Node::COMMENT_NODE:
            return "!" + static_cast<const Comment*>(n)->getData();
        case Node::CDATA_SECTION_NODE:
            return "[" + static_cast<const CDATASection*>(n)->getData() + "]";
        default:
            return n->getNodeName();
        }
    };
    bool first = true;
    for (const Node* c = node->getFirstChild(); c; c = c->getNextSibling()) {
        if (!first)
            out += ' ';
        first = false;
        out += label(c);
        if (c->hasChildNodes())
            out += "(" + shape(c) + ")";
    }
    return out;
}

class Page {
public:
    explicit Page(const std::string& source, DOMImpl::JSPVersion version = DOMImpl::JSP_NONE)
        : text(source), doc(DOMImpl::createDocument("HTML", version))
    {
        doc->createNodes(source.data(), static_cast<unsigned long>(source.size()), nullptr);
    }
    ~Page() { DOM::getDOM()->deleteDocument(doc); }

    std::string tree() const { return shape(doc); }
    // Both the kept page and the tree written node by node.
    bool roundTrips() const { return doc->getSource() == text && doc->getChildSource() == text; }
    Element* first(const std::string& name) const
    {
        Element* html = nullptr;
        for (Node* n = doc->getFirstChild(); n; n = n->getNextNode(doc))
            if (n->getNodeType() == Node::ELEMENT_NODE && str(n->getNodeName()) == str(name))
                return static_cast<Element*>(n);
        return html;
    }

    std::string text;
    Document* doc;

private:
    static std::string str(std::string s)
    {
        for (char& c : s)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    }
};

TEST(HTMLParser, ImpliesTheContainersAPageMayOmit)
{
    struct Case {
        const char* page;
        const char* tree;
    } cases[] = {
        {"<P>text", "~HTML(~BODY(P('text')))"},
        {"plain text", "~HTML(~BODY('plain text'))"},
        {"<TITLE>T</TITLE><P>x", "~HTML(~HEAD(TITLE('T')) ~BODY(P('x')))"},
        {"<table><td>x</table>", "~HTML(~BODY(table(~TBODY(~TR(td('x'))))))"},
        {"<html><body><p>a<p>b</body></html>", "html(body(p('a') p('b')))"},
        {"<ul><li>a<li>b</ul>", "~HTML(~BODY(ul(li('a') li('b'))))"},
        {"<dl><dt>a<dd>b<dt>c</dl>", "~HTML(~BODY(dl(dt('a') dd('b') dt('c'))))"},
        {"<p>a<div>b</div>", "~HTML(~BODY(p('a') div('b')))"},
        {"<select><option>a<option>b</select>", "~HTML(~BODY(select(option('a') option('b'))))"},
    };
    for (const Case& c : cases) {
        Page page(c.page);
        EXPECT_EQ(c.tree, page.tree()) << c.page;
        EXPECT_TRUE(page.roundTrips()) << c.page;
    }
    // The implied containers carry no source of their own.
    Page page("<table><td>x</table>");
    Element* tbody = page.first("TBODY");
    ASSERT_NE(tbody, nullptr);
    EXPECT_EQ("", tbody->getStartTag());
    EXPECT_EQ("", tbody->getEndTag());
}

TEST(HTMLParser, TextKeepsItsSourceWhileItsDataIsCollapsed)
{
    Page p("<p>two  \r\n  words</p><pre>a  b\r\n c</pre>");
    Element* para = p.first("p");
    Element* pre = p.first("pre");
    ASSERT_TRUE(para && pre);
    Text* t1 = static_cast<Text*>(para->getFirstChild());
    EXPECT_EQ("two words", t1->getData());
    EXPECT_EQ("two  \r\n  words", t1->getSource());
    EXPECT_TRUE(t1->isCompactText());
    Text* t2 = static_cast<Text*>(pre->getFirstChild());
    EXPECT_EQ("a  b\r\n c", t2->getData());
    EXPECT_FALSE(t2->isCompactText());
    EXPECT_TRUE(p.roundTrips());

    // A bare '<' (before a blank or a digit), '&' and '>' stay text, marked.
    Page q("<p>a < b 1<2 & 3 > 2</p>");
    Text* t = static_cast<Text*>(q.first("p")->getFirstChild());
    EXPECT_EQ("a \x1b< b 1\x1b<2 \x1b& 3 \x1b> 2", t->getData());
    EXPECT_TRUE(t->getErrorState() & Node::INVALID_CHAR_ERROR);
    EXPECT_TRUE(q.roundTrips());

    // References become escapes; the source keeps them as written.
    Page r("<p>a&nbsp;b&#169;c&amp;d</p>");
    Text* u = static_cast<Text*>(r.first("p")->getFirstChild());
    EXPECT_EQ("a\x1b\xa0" "b\x1b\xa9" "c\x1b&d", u->getData());
    EXPECT_TRUE(r.roundTrips());
}

// Data read unchanged from the page (whole, or with blanks dropped at one
// end) shares the page's bytes; editing it or releasing the document must
// not disturb any other text.
TEST(HTMLParser, TextDataTakenFromThePageSurvivesEditsAndRelease)
{
    const std::string page =
        "<P>  leading blanks dropped from this text</P><P>trailing blanks are kept here   </P>"
        "<P>one &amp; two</P><P>folded\n   line breaks in this text</P><P>short</P>"
        "<PRE>  plain\n  text kept as it stands </PRE>";
    const std::vector<std::string> data = {
        "leading blanks dropped from this text", "trailing blanks are kept here ", "one \x1b& two",
        "folded line breaks in this text", "short", "  plain\n  text kept as it stands "};
    Document* doc = DOMImpl::createDocument("HTML", DOMImpl::JSP_NONE);
    doc->createNodes(page.data(), static_cast<unsigned long>(page.size()), nullptr);
    std::vector<Text*> texts;
    for (Node* n = doc; n; n = n->getNextNode(doc))
        if (n->getNodeType() == Node::TEXT_NODE)
            texts.push_back(static_cast<Text*>(n));
    ASSERT_EQ(data.size(), texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i)
        EXPECT_EQ(data[i], texts[i]->getData()) << i;

    texts[0]->insertData(0, "Now ");
    texts[1]->deleteData(0, 9);
    texts[2]->appendData(" three");
    Text* tail = texts[3]->splitText(7);
    texts[4]->replaceData(0, 5, "long enough to need a block of its own");
    EXPECT_EQ("Now leading blanks dropped from this text", texts[0]->getData());
    EXPECT_EQ("blanks are kept here ", texts[1]->getData());
    EXPECT_EQ("one \x1b& two three", texts[2]->getData());
    EXPECT_EQ("folded ", texts[3]->getData());
    EXPECT_EQ("line breaks in this text", tail->getData());
    EXPECT_EQ("long enough to need a block of its own", texts[4]->getData());
    EXPECT_EQ(data[5], texts[5]->getData());

    for (Text* t : texts)
        t->addRef();
    doc->releaseRef();
    EXPECT_EQ("blanks are kept here ", texts[1]->getData());
    EXPECT_EQ("line breaks in this text", tail->getData());
    EXPECT_EQ(data[5], texts[5]->getData());
    EXPECT_EQ("  plain\n  text kept as it stands ", texts[5]->getSource());
    for (Text* t : texts)
        t->releaseRef();
    tail->releaseRef();
}

TEST(HTMLParser, RawContentAndTextAreas)
{
    Page s("<script>if (a<b && c>d) go();</script><p>x");
    EXPECT_EQ("~HTML(~HEAD(script([if (a<b && c>d) go();])) ~BODY(p('x')))", s.tree());
    EXPECT_TRUE(s.roundTrips());

    Page t("<textarea><b>x</b><!-- c --></textarea>");
    Element* area = t.first("textarea");
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(1u, area->getChildLength());
    EXPECT_EQ("\x1b<b\x1b>x\x1b</b\x1b>\x1b<!-- c --\x1b>",
              static_cast<Text*>(area->getFirstChild())->getData());
    EXPECT_TRUE(t.roundTrips());

    // Unclosed raw content runs to the end of the page.
    Page u("<style>p { color: red }");
    EXPECT_TRUE(u.roundTrips());
}

TEST(HTMLParser, EndTagsWithoutStartTagsAndBrokenTags)
{
    Page p("<p>x</b>y");
    Element* b = p.first("b");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ("", b->getStartTag());
    EXPECT_EQ("</b>", b->getEndTag());
    EXPECT_TRUE(p.roundTrips());

    Page cut("<p>x<a href=\"y");
    Element* a = cut.first("a");
    ASSERT_NE(a, nullptr);
    EXPECT_TRUE(a->getErrorState() & Node::INVALID_FORMAT_ERROR);
    EXPECT_TRUE(cut.roundTrips());

    Page bad("<p>x</p junk>");
    EXPECT_TRUE(bad.first("p")->getErrorState() & Node::INVALID_END_TAG_ERROR);
    EXPECT_TRUE(bad.roundTrips());

    // An attribute written with an empty quoted value has no value.
    Page empty("<p class=\"\" id=x title='a b'>");
    Element* para = empty.first("p");
    EXPECT_FALSE(static_cast<Attr*>(para->getAttributeNode("class"))->isSpecified());
    EXPECT_EQ("x", para->getAttribute("id"));
    EXPECT_EQ("a b", para->getAttribute("title"));
}

// An end tag closes the nearest open element of its name, in any case,
// however far up; it does not reach past a table cell (unless it is itself
// table structure), and it reaches from a page read into an element into
// that element's ancestors.
TEST(HTMLParser, EndTagsCloseTheNearestOpenElementOfTheirName)
{
    struct Case {
        const char* page;
        const char* tree;
    } cases[] = {
        {"<div><span><b><i>x</SPAN>y", "~HTML(~BODY(div(span(b(i('x'))) 'y')))"},
        {"<Div><span><span><b>x</span>y</DIV>z", "~HTML(~BODY(Div(span(span(b('x')) 'y')) 'z'))"},
        {"<span><table><tr><td><div>x</span>y", "~HTML(~BODY(span(table(~TBODY(tr(td(div('x' span 'y'))))))))"},
        {"<table><tr><td><div>x</tr>y", "~HTML(~BODY(table(~TBODY(tr(td(div('x'))) 'y'))))"},
        {"<b><font><i>x</b>y", "~HTML(~BODY(b(font(i('x'))) 'y'))"},
        {"<p>a<b>b</p>c", "~HTML(~BODY(p('a' b('b')) 'c'))"},
        {"<table><tr><td><b>x<td>y", "~HTML(~BODY(table(~TBODY(tr(td(b('x')) td('y'))))))"},
    };
    for (const Case& c : cases) {
        Page page(c.page);
        EXPECT_EQ(c.tree, page.tree()) << c.page;
        EXPECT_TRUE(page.roundTrips()) << c.page;
    }

    // Read into an element, the page closes that element's ancestors too.
    Page host("<div><span><b>old</b></span></div>");
    Element* b = host.first("b");
    const std::string fresh = "<i>x</span>y";
    EXPECT_EQ(b, host.doc->createNodes(fresh.data(), fresh.size(), b));
    EXPECT_EQ("~HTML(~BODY(div(span(b(i('x'))) 'y')))", host.tree());
    EXPECT_EQ("<div><span><b><i>x</b></span>y</div>", host.doc->getSource());
}

// Pages whose every end tag or table part would make a search climb the
// whole chain of open elements (each must stay linear: a search per tag
// over 100,000 levels would run into the test timeout).
TEST(HTMLParser, DeepPagesOfStrayEndTagsAndTableParts)
{
    const int n = 100000;
    auto repeat = [n](const std::string& piece) {
        std::string out;
        for (int i = 0; i < n; ++i)
            out += piece;
        return out;
    };
    // The innermost open element receives every stray piece.
    auto innermost = [](const Page& page, const std::string& name) {
        Node* deepest = page.first(name);
        while (Node* next = deepest ? deepest->getFirstChild() : nullptr) {
            if (next->getNodeType() != Node::ELEMENT_NODE || next->getNodeName() != deepest->getNodeName())
                break;
            deepest = next;
        }
        return deepest;
    };
    struct Case {
        const char* open;
        const char* stray;
        const char* strayName;
    } cases[] = {
        {"<div>", "</zz>", "zz"},
        {"<font>", "</span>", "span"},
        {"<div>", "<td>x", "td"},
        {"<b>", "<tr>x", "tr"},
    };
    for (const Case& c : cases) {
        const std::string text = repeat(c.open) + repeat(c.stray);
        Page page(text);
        EXPECT_TRUE(page.roundTrips()) << c.open << c.stray;
        std::string tag(c.open + 1, std::strlen(c.open) - 2);
        Node* deepest = innermost(page, tag);
        ASSERT_NE(nullptr, deepest) << c.open;
        EXPECT_EQ(static_cast<unsigned long>(n), deepest->getChildLength()) << c.open << c.stray;
        EXPECT_EQ(c.strayName, deepest->getLastChild()->getNodeName()) << c.open << c.stray;
    }
}

TEST(HTMLParser, JSPAndServerSideIncludes)
{
    Page p("<%@ page import=\"java.util.*\" %><%@ foo x=1 %>"
           "<p><%= name %><% if (x) { %>y<% } %><a href=\"<%= url %>\">z</a>"
           "<!--#include file=\"header.html\" -->",
           DOMImpl::JSP_10);
    EXPECT_TRUE(p.roundTrips());
    Element* page = p.first("jsp:directive.page");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ("java.util.*", page->getAttribute("import"));
    // JSP 1.0 declares no catch-all directive: an unknown one is marked.
    Element* other = p.first("%");
    ASSERT_NE(other, nullptr);
    EXPECT_TRUE(other->getErrorState() & Node::INVALID_DIRECTIVE_ERROR);
    Page old("<%@ foo x=1 %>", DOMImpl::JSP_091);
    Element* directive = old.first("jsp:directive");
    ASSERT_NE(directive, nullptr);
    EXPECT_EQ("1", directive->getAttribute("x"));
    EXPECT_TRUE(old.roundTrips());
    Element* expr = p.first("jsp:expression");
    ASSERT_NE(expr, nullptr);
    EXPECT_EQ(" name ", expr->getJSPScriptData());
    EXPECT_EQ("<%=", expr->getStartTag());
    EXPECT_EQ("%>", expr->getEndTag());
    EXPECT_EQ("<%= url %>", p.first("a")->getAttribute("href"));
    Element* include = p.first("ssi:include");
    ASSERT_NE(include, nullptr);
    EXPECT_EQ(105, include->getElementID());
    EXPECT_EQ("header.html", include->getAttribute("file"));

    // JSP comments are comments only under JSP 1.0.
    Page c("<p><%-- note --%>", DOMImpl::JSP_10);
    Node* comment = c.first("p")->getFirstChild();
    ASSERT_EQ(Node::COMMENT_NODE, comment->getNodeType());
    EXPECT_TRUE(static_cast<Comment*>(comment)->isJSPFormat());
    EXPECT_EQ(" note ", static_cast<Comment*>(comment)->getData());
    EXPECT_TRUE(c.roundTrips());

    // A block cut off by the end of the page keeps exactly its bytes.
    Page open("<p><% x = 1;", DOMImpl::JSP_10);
    Element* scriptlet = open.first("jsp:scriptlet");
    ASSERT_NE(scriptlet, nullptr);
    EXPECT_TRUE(scriptlet->getErrorState() & Node::INVALID_FORMAT_ERROR);
    EXPECT_TRUE(open.roundTrips());
}

// Directives carry their attributes the way start tags do: every one in
// source order, a repeated name kept and marked, nothing lost when the
// directive is written again after an edit.
TEST(HTMLParser, DirectivesKeepEveryAttributeAsWritten)
{
    Page p("<%@ page import=\"java.util.*\" import='java.io.*' buffer=8kb %>\r\n"
           "<!--#include virtual=a.html virtual=\"b.html\" -->",
           DOMImpl::JSP_10);
    EXPECT_TRUE(p.roundTrips());
    struct Expected {
        const char* name;
        const char* value;
        bool duplicate;
    };
    auto check = [](const Element* e, std::vector<Expected> expected) {
        dom::NodeList attrs = e->getAttrNodes();
        ASSERT_EQ(expected.size(), attrs.length()) << e->getTagName();
        for (unsigned long i = 0; i < attrs.length(); ++i) {
            const Attr* a = static_cast<const Attr*>(attrs.item(i));
            EXPECT_EQ(expected[i].name, a->getName()) << i;
            EXPECT_EQ(expected[i].value, a->getValue()) << i;
            EXPECT_TRUE(a->isSpecified()) << i;
            EXPECT_EQ(expected[i].duplicate, (a->getErrorState() & Node::DUPLICATE_ERROR) != 0) << i;
        }
        // The element is marked for the repeated attribute, as for a start tag.
        EXPECT_TRUE(e->getErrorState() & Node::INVALID_ATTR_ERROR);
    };
    Element* page = p.first("jsp:directive.page");
    ASSERT_NE(page, nullptr);
    check(page, {{"import", "java.util.*", false}, {"import", "java.io.*", true}, {"buffer", "8kb", false}});
    // A lookup by name finds the first, as for a start tag.
    EXPECT_EQ("java.util.*", page->getAttribute("import"));
    Element* include = p.first("ssi:include");
    ASSERT_NE(include, nullptr);
    check(include, {{"virtual", "a.html", false}, {"virtual", "b.html", true}});

    // Edited, the directives are written again with every attribute.
    page->setAttribute("buffer", "16kb");
    include->setAttribute("file", "c.html");
    EXPECT_EQ("<%@ page import=\"java.util.*\" import=\"java.io.*\" buffer=\"16kb\" %>\r\n"
              "<!--#include virtual=\"a.html\" virtual=\"b.html\" file=\"c.html\" -->",
              p.doc->getSource());

    // The directive grammar: a name or value may hold a '=' or a '%' after
    // its first byte, a '%' where a name starts ends the pairs, a quote
    // never closed runs to the end; a value written empty or not at all
    // leaves the attribute without one, as in a start tag.
    Page q("<%@ page a=1%b=2 c==d x=\"\" y%><!--#echo var='never closed -->", DOMImpl::JSP_10);
    EXPECT_TRUE(q.roundTrips());
    Element* directive = q.first("jsp:directive.page");
    ASSERT_NE(directive, nullptr);
    dom::NodeList attrs = directive->getAttrNodes();
    ASSERT_EQ(4u, attrs.length());
    EXPECT_EQ("1%b=2", directive->getAttribute("a"));
    EXPECT_EQ("=d", directive->getAttribute("c"));
    EXPECT_FALSE(static_cast<Attr*>(attrs.item(2))->isSpecified());
    EXPECT_EQ("y", attrs.item(3)->getNodeName());
    EXPECT_FALSE(static_cast<Attr*>(attrs.item(3))->isSpecified());
    Element* echo = q.first("ssi:echo");
    ASSERT_NE(echo, nullptr);
    EXPECT_EQ("never closed ", echo->getAttribute("var"));
}

TEST(HTMLParser, DeclarationsCommentsAndInstructions)
{
    Page p("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\">\r\n<?xml version=\"1.0\"?>"
           "<!-- a -- b --><p><![CDATA[x]]></p>");
    EXPECT_TRUE(p.roundTrips());
    DocumentType* doctype = p.doc->getDocType();
    ASSERT_NE(doctype, nullptr);
    EXPECT_EQ("-//W3C//DTD HTML 4.0//EN", doctype->getPublicID());
    ProcessingInstruction* pi = nullptr;
    for (Node* n = p.doc->getFirstChild(); n; n = n->getNextNode(p.doc))
        if (n->getNodeType() == Node::PROCESSING_INSTRUCTION_NODE)
            pi = static_cast<ProcessingInstruction*>(n);
    ASSERT_NE(pi, nullptr);
    EXPECT_EQ("xml", pi->getTarget());
    EXPECT_EQ("version=\"1.0\"", pi->getData());

    for (const char* s : {"<!-- never closed", "<?pi never closed", "<!DOCTYPE x", "<![CDATA[x", "<!---->"}) {
        Page q(s);
        EXPECT_TRUE(q.roundTrips()) << s;
    }

    // In XML code a CDATA section is read as one; without its "]]>" it
    // ends at the first ">" or the page's end, and is marked.
    const struct {
        const char* page;
        const char* data;
        bool open;
    } sections[] = {
        {"<jsp:scriptlet><![CDATA[a > b]]>", "a > b", false},
        {"<jsp:scriptlet><![CDATA[a > b", "a ", true},
        {"<jsp:scriptlet><![CDATA[a", "a", true},
    };
    for (const auto& c : sections) {
        Page q(c.page, DOMImpl::JSP_10);
        EXPECT_TRUE(q.roundTrips()) << c.page;
        const Node* section = q.first("jsp:scriptlet")->getFirstChild();
        ASSERT_NE(section, nullptr) << c.page;
        ASSERT_EQ(Node::CDATA_SECTION_NODE, section->getNodeType()) << c.page;
        EXPECT_EQ(c.data, static_cast<const CDATASection*>(section)->getData()) << c.page;
        EXPECT_EQ(c.open, (section->getErrorState() & Node::INVALID_FORMAT_ERROR) != 0) << c.page;
    }
}

TEST(HTMLParser, ParsingIntoAnElementReplacesItsChildren)
{
    Page p("<div><b>old</b></div>");
    Element* div = p.first("div");
    std::string fresh = "<i>new</i> text";
    EXPECT_EQ(div, p.doc->createNodes(fresh.data(), fresh.size(), div));
    EXPECT_EQ("i('new') ' text'", shape(div));
    EXPECT_EQ("<div><i>new</i> text</div>", p.doc->getSource());
}

// A text or a document type cannot hold what a page holds: reading into
// one is refused and changes nothing, whether asked of the document or of
// the reader itself.
TEST(HTMLParser, LeavesAreRefusedAsParents)
{
    Page p("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\"><p>text</p>");
    Node* doctype = p.doc->getFirstChild();
    ASSERT_EQ(Node::DOCUMENT_TYPE_NODE, doctype->getNodeType());
    Node* text = p.first("p")->getFirstChild();
    ASSERT_EQ(Node::TEXT_NODE, text->getNodeType());
    const std::string fresh = "<b>x</b>";
    for (Node* leaf : {doctype, text}) {
        EXPECT_EQ(nullptr, p.doc->createNodes(fresh.data(), fresh.size(), leaf));
        pagedom::SourceText::Block* page = pagedom::SourceText::Block::make(fresh);
        pagedom::HTMLPageReader().readPage(page, leaf);
        page->release();
        EXPECT_FALSE(leaf->hasChildNodes());
    }
    EXPECT_TRUE(p.roundTrips());
}

TEST(HTMLParser, EveryByteStringComesBackUnchanged)
{
    const char* pieces[] = {
        "<", "</", ">", "<p>", "<b>", "</b>", "<!--", "-->", "<%", "%>", "<%=", "<%@ page x=\"1\" %>",
        "<?xml", "?>", "&amp;", "&", "&#160;", "&#x41;", "\"", "'", "=", "<table>", "<td>", "<tr>",
        "</table>", "<script>", "</script>", "<textarea>", "</textarea>", "<!DOCTYPE html>",
        "<![CDATA[", "]]>", "\r\n", "\n", "\r", " ", "text", "<div>", "<li>", "<dd>", "<dt>",
        "<html>", "<head>", "<title>", "<body>", "<frameset>", "<noframes>", "<pre>", "</pre>",
        "<!--#include file=\"a\" -->", "<%-- c --%>", "<jsp:useBean id=x/>", "<a href=\"<%= x %>\">",
        "<input type=hidden>", "\x1b", "\x1c", "\x80\xff", "<colgroup><col>", "<embed src=x>",
        "<!foo>", "<br/>", "</x y>", "<a b c=d e='f'>", std::string(1, '\0').c_str()};
    const int count = sizeof(pieces) / sizeof(*pieces);
    std::mt19937 random(20261205);
    for (int round = 0; round < 3000; ++round) {
        std::string s;
        for (int i = static_cast<int>(random() % 24); i > 0; --i) {
            int k = static_cast<int>(random() % count);
            s += k == count - 1 ? std::string(1, '\0') : std::string(pieces[k]);
        }
        for (DOMImpl::JSPVersion v : {DOMImpl::JSP_NONE, DOMImpl::JSP_10}) {
            Page page(s, v);
            ASSERT_TRUE(page.roundTrips()) << s;
            Node* copy = page.doc->cloneNode(true);
            ASSERT_EQ(s, copy->getSource());
            copy->releaseRef();
        }
    }
}

TEST(HTMLParser, HundredThousandLevelsDeep)
{
    for (const char* tag : {"<div>x", "<B>", "<font size=2>"}) {
        std::string s;
        for (int i = 0; i < 100000; ++i)
            s += tag;
        Page page(s);
        EXPECT_TRUE(page.roundTrips()) << tag;
        Node* copy = page.doc->cloneNode(true);
        EXPECT_EQ(s.size(), copy->getSource().size());
        copy->releaseRef();
    }
}

} // namespace


// Running text and start tags of the usual shape are read straight from the
// text; every page must give the tree the token-by-token reading gives.
TEST(HTMLParser, DirectReadingAgreesWithTokenReading)
{
    const char* pieces[] = {
        "<td align=center>", "<TD ALIGN=\"right\" NOWRAP>", "<a href='x.html' title=\"it's\">", "</a>",
        "<font size=-1 color=#336633>", "<img src=a.gif alt=\"\" border=0>", "<input type=hidden name=n>",
        "<input type=\"HIDDEN\">", "<p class = \"x\" >", "<br/>", "<br />", "<hr noshade/>", "<x a=b\"c d>",
        "<b a=\"1\"b=2>", "<i\n  lang=\"en\"\n>", "<object classid=\"clsid:1\">", "<param name=p value=v>",
        "<table border=1>", "<tr bgcolor=\"#EEEEEE\">", "<select name=s><option value=1>one",
        "<a href=\"<%= url %>\">", "<a b=&amp;>", "<a =x>", "<a b==c>", "<a b=\"unclosed>", "<a b='x", "<p",
        "text ", "\n", "</td>", "</table>", "<script language=js>if (a<b) x();</script>", "<%= x %>",
        "<!-- c -->", "<jsp:include page=\"a.jsp\" flush=\"true\"/>", "<ul><li>one<li>two</ul>",
        "  two  words\n", " \t", "&amp; x", "a\"b", "<pre>", "</pre>", "<textarea>", "</textarea>", "<p>",
        "\r\n  <td>x</td>\r\n", "word.", "(x)", " - ", "\x1b", "<div>", "</div>", "</x y>", "</ b>",
        "</td >", "</-x>", "</B/>", "</>", "</a", "<p a\nb=\"x\ny\" c='\n'\n d=e\nf>",
        "<a href=\"<%= u(\"q\")\n %>/x\" t='<%=\"'\"%>'>", "<a v=\"<%-- c --%>\" w=\"<%>%>\">",
        "<input value=\"x<%=a%><%=b%>y\">", "<a v=\"<%= open >", "<a v=\"x<b\" c>", "<jsp:useBean id=\"b\" />",
        "<stock count=\"3\"/>", "<img src=a.gif/>", "<p class=x / >", "<a b=\"1\" //>", "<!ELEMENT a (b|c)*>",
        "<!x \"q>uoted\" 'a>b'>", "<!x a<b>", "<!x \"open>", "<!x\n y\n>", "<!x <!-- \"c\" --> >", "<!x"};
    const int count = sizeof(pieces) / sizeof(*pieces);
    std::mt19937 random(5122026);
    for (int round = 0; round < 600; ++round) {
        std::string s;
        for (int i = static_cast<int>(random() % 30); i > 0; --i)
            s += pieces[random() % count];
        for (DOMImpl::JSPVersion v : {DOMImpl::JSP_NONE, DOMImpl::JSP_10}) {
            Page direct(s, v);
            pagedom::ReaderSwitches::setDirectReading(false);
            Page tokens(s, v);
            pagedom::ReaderSwitches::setDirectReading(true);
            ASSERT_EQ(treedump::dump(tokens.doc), treedump::dump(direct.doc)) << s;
            ASSERT_TRUE(direct.roundTrips()) << s;
        }
    }
}

// Attributes read from a page are kept as records and made into nodes when
// asked for; the nodes must be exactly those the reading would have made,
// whatever the host did before asking.
TEST(HTMLParser, AttributesKeptAsRecordsAreTheNodesTheReadingMade)
{
    const char* pieces[] = {
        "<td align=center>", "<TD ALIGN=\"right\" NOWRAP>", "<a href='x.html' title=\"it's\">", "</a>",
        "<font size=-1 color=#336633>", "<img src=a.gif alt=\"\" border=0>", "<input type=hidden name=n>",
        "<input checked type=checkbox CHECKED>", "<p class = \"x\" id=a ID=b>", "<br/>", "<hr noshade/>",
        "<x a=b\"c d>", "<b a=\"1\"b=2>", "<object classid=\"clsid:1\">", "<param name=p value=v>",
        "<table border=1 width=\"100%\" cellpadding=\"2\" cellspacing=0 bgcolor=\"#FFFFFF\" align=left "
        "summary=\"a table with more attributes than an element usually has\" frame=box rules=all>",
        "<a href=\"<%= url %>\">", "<a b=&amp;>", "<a =x>", "<a b==c>", "<a b=\"unclosed>", "<p",
        "text ", "</td>", "</table>", "<jsp:include page=\"a.jsp\" flush=\"true\"/>", "<jsp:include Page=\"b.jsp\"/>",
        "<ul><li>one<li>two</ul>",
        "<div onclick=\"go()\" style=\"color: red\" Dir=RTL>", "</div>", "<form action=/post method=POST>",
        "<select name=s><option value=1 selected>one", "<vxml version=\"2.0\">", "<prompt bargein=\"false\">",
        "<field name=\"f\" type=boolean>", "<MyTag myAttr=1 MYATTR=2>", "<a href=\"a long value that needs a "
        "block of its own, longer than twelve bytes\">", "<%@ page import=\"a\" IMPORT='b' session %>",
        "<!--#include virtual=a virtual=\"b\" file=\"\" -->", "<%@ include file=x.jsp%>"};
    const int count = sizeof(pieces) / sizeof(*pieces);
    std::mt19937 random(5122027);
    struct Kind {
        const char* type;
        DOMImpl::JSPVersion version;
        Document::DocumentFormatType format;
    };
    // The XML formats add errors of their own: unquoted values, names not
    // in lower case, boolean attributes without a value.
    const Kind kinds[] = {{"HTML", DOMImpl::JSP_NONE, Document::HTML_FORMAT},
                          {"HTML", DOMImpl::JSP_10, Document::HTML_FORMAT},
                          {"VXML", DOMImpl::JSP_NONE, Document::HTML_FORMAT},
                          {"HTML", DOMImpl::JSP_NONE, Document::XML_STYLE_FORMAT},
                          {"HTML", DOMImpl::JSP_10, Document::XML_FORMAT}};
    auto parse = [](const std::string& text, const Kind& kind, bool records) {
        pagedom::ReaderSwitches::setAttributeRecords(records);
        Document* doc = DOMImpl::createDocument(kind.type, kind.version);
        doc->FormatType(kind.format);
        doc->createNodes(text.data(), static_cast<unsigned long>(text.size()), nullptr);
        pagedom::ReaderSwitches::setAttributeRecords(true);
        return doc;
    };
    auto resetUpdates = [](Document* doc) {
        for (Node* n = doc; n; n = n->getNextNode(doc))
            n->setUpdateState(0);
    };
    auto firstElement = [](Document* doc) -> Element* {
        for (Node* n = doc->getFirstChild(); n; n = n->getNextSibling())
            if (n->getNodeType() == Node::ELEMENT_NODE)
                return static_cast<Element*>(n);
        return nullptr;
    };
    auto firstWithAttributes = [](Document* doc) -> Element* {
        for (Node* n = doc; n; n = n->getNextNode(doc))
            if (n->getNodeType() == Node::ELEMENT_NODE && static_cast<Element*>(n)->hasAttributes())
                return static_cast<Element*>(n);
        return nullptr;
    };
    for (int round = 0; round < 300; ++round) {
        std::string s;
        for (int i = static_cast<int>(random() % 20); i > 0; --i)
            s += pieces[random() % count];
        for (const Kind& kind : kinds) {
            const int action = round % 5;
            Document* eager = parse(s, kind, false);
            Document* kept = parse(s, kind, true);
            ASSERT_EQ(eager->getSource(), kept->getSource()) << s;
            // What the host does before it first looks at attributes.
            if (action == 1) {
                resetUpdates(eager);
                resetUpdates(kept);
            } else if (action == 2) {
                eager->formatSource();
                kept->formatSource();
            } else if (action == 0) {
                // Questions answered from the records.
                for (Node* a = eager, *b = kept; a && b; a = a->getNextNode(eager), b = b->getNextNode(kept)) {
                    if (a->getNodeType() != Node::ELEMENT_NODE)
                        continue;
                    const Element* x = static_cast<Element*>(a);
                    const Element* y = static_cast<Element*>(b);
                    ASSERT_EQ(x->hasAttributes(), y->hasAttributes()) << s;
                    for (const char* name : {"href", "HREF", "id", "ID", "name", "a", "b", "checked", "myattr",
                                             "MyAttr", "title", "nowrap", "version", "classid", "import", "virtual",
                                             "file", "session", "", "none"})
                        ASSERT_EQ(x->getAttribute(name), y->getAttribute(name)) << s << " @" << name;
                    ASSERT_EQ(x->isDynamicElement(), y->isDynamicElement()) << s;
                    ASSERT_EQ(x->isDTC(), y->isDTC()) << s;
                    ASSERT_EQ(x->isRollOver(), y->isRollOver()) << s;
                }
                Element* rootA = firstElement(eager);
                Element* rootB = firstElement(kept);
                ASSERT_EQ(rootA == nullptr, rootB == nullptr) << s;
                for (const char* name : {"href", "NAME", "id", "checked"})
                    for (const char* value : {"", "x.html", "n", "b"})
                        ASSERT_TRUE(!rootA || rootA->getElementsByAttr(name, value).length() ==
                                                  rootB->getElementsByAttr(name, value).length())
                            << s << " @" << name << "=" << value;
                for (const char* id : {"a", "b", "n"})
                    ASSERT_EQ(eager->getHTMLElement() && eager->getHTMLElement()->getElementByID(id) != nullptr,
                              kept->getHTMLElement() && kept->getHTMLElement()->getElementByID(id) != nullptr)
                        << s;
            } else if (action == 3) {
                Element* a = firstWithAttributes(eager);
                Element* b = firstWithAttributes(kept);
                ASSERT_EQ(a == nullptr, b == nullptr) << s;
                if (a) {
                    a->setStartTag("<edited>");
                    b->setStartTag("<edited>");
                }
            }
            if (action == 4) {
                // A copy is made from the nodes; the original keeps its own.
                Document* a = static_cast<Document*>(eager->cloneNode(true));
                Document* b = static_cast<Document*>(kept->cloneNode(true));
                ASSERT_EQ(treedump::dump(a), treedump::dump(b)) << s;
                a->releaseRef();
                b->releaseRef();
            }
            const std::string expected = treedump::dump(eager);
            ASSERT_EQ(expected, treedump::dump(kept)) << s << " (" << kind.type << ", action " << action << ")";
            ASSERT_EQ(expected, treedump::dump(kept)) << s; // the states after every node was made
            ASSERT_EQ(eager->getChildSource(), kept->getChildSource()) << s;
            eager->releaseRef();
            kept->releaseRef();
        }
    }
}

// The readers of a thread remember the tag names they met, with their
// declarations, from one page to the next.  A remembered declaration must
// follow its document type: a type that gains a declaration, or a case
// twin, and another type read in between all give the answers a fresh
// lookup gives.
TEST(HTMLParser, RememberedTagNamesFollowTheirDocumentType)
{
    DocumentType* mini = DOMImpl::createDocumentType("mini");
    DocumentType* other = DOMImpl::createDocumentType("other");
    // The element types of the first <box> and <Box> read with type.
    auto read = [](DocumentType* type) {
        Document* doc = DOMImpl::createDocument("HTML", type);
        const std::string page = "<box></box><Box></Box>";
        doc->createNodes(page.data(), static_cast<unsigned long>(page.size()), nullptr);
        std::vector<const ElementType*> types;
        for (Node* n = doc->getFirstChild(); n; n = n->getNextNode(doc))
            if (n->getNodeType() == Node::ELEMENT_NODE && types.size() < 2)
                types.push_back(static_cast<Element*>(n)->getElementType());
        DOM::getDOM()->deleteDocument(doc);
        return types;
    };
    using Types = std::vector<const ElementType*>;
    EXPECT_EQ((Types{nullptr, nullptr}), read(mini));

    ElementType* box = pagedom::DeclarationBuilder::createElementType(*mini, "box");
    pagedom::DeclarationBuilder::addElementType(*mini, box);
    EXPECT_EQ((Types{box, box}), read(mini)); // names are looked up ignoring case

    ElementType* otherBox = pagedom::DeclarationBuilder::createElementType(*other, "box");
    pagedom::DeclarationBuilder::addElementType(*other, otherBox);
    EXPECT_EQ((Types{otherBox, otherBox}), read(other));

    ElementType* twin = pagedom::DeclarationBuilder::createElementType(*mini, "Box");
    pagedom::DeclarationBuilder::addElementType(*mini, twin);
    EXPECT_EQ((Types{box, twin}), read(mini));
    EXPECT_EQ((Types{otherBox, otherBox}), read(other));
    mini->releaseRef();
    other->releaseRef();
}

// The "%>" that closes a JSP block is kept as a mark of the element, not as
// text: a copy, an edit of the start tag and a block left open must still
// write exactly what a host expects.
TEST(HTMLParser, TheCloseOfAJSPBlockSurvivesCopiesAndEdits)
{
    Page p("<P><% int n = 0; %><%= n %><% open", DOMImpl::JSP_10);
    ASSERT_TRUE(p.roundTrips());
    Element* scriptlet = p.first("jsp:scriptlet");
    Element* expression = p.first("jsp:expression");
    ASSERT_NE(nullptr, scriptlet);
    ASSERT_NE(nullptr, expression);
    EXPECT_EQ("%>", scriptlet->getEndTag());
    EXPECT_TRUE(scriptlet->hasEndTag());

    Node* copy = expression->cloneNode(true);
    EXPECT_EQ("<%= n %>", copy->getSource());
    copy->releaseRef();

    // The start tag changes; the close stays as it was written.
    scriptlet->setStartTag("<%!");
    EXPECT_EQ("%>", scriptlet->getEndTag());
    EXPECT_EQ("<P><%! int n = 0; %><%= n %><% open", p.doc->getSource());

    // The block left open has no close to keep.
    Element* open = static_cast<Element*>(expression->getNextSibling());
    ASSERT_NE(nullptr, open);
    EXPECT_FALSE(open->hasEndTag());
    EXPECT_EQ("", open->getEndTag());
}
