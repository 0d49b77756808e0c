// Formatting a page as an author has it: layout, case and white space change
// as the options say, what the page means and what its server code does
// never change, and formatting the result again changes nothing.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "dom.h"
#include "writing/FormatProperties.h"

namespace {

// Restores the process-wide formatting options after a test changes them.
struct Options {
    Options() : saved(*DOMImpl::getFormatOption()) {}
    ~Options() { *DOMImpl::getFormatOption() = saved; }
    DOMImpl::FormatOption* operator->() { return DOMImpl::getFormatOption(); }
    DOMImpl::FormatOption saved;
};

// The page formatted, after checking every property of formatting on it.
std::string formatted(const std::string& page, DOMImpl::JSPVersion version = DOMImpl::JSP_NONE)
{
    std::string out;
    const formatcheck::Failure failure = formatcheck::check(page, version, &out);
    EXPECT_FALSE(failure) << failure.what << "\npage:\n"
                          << page << "\nexpected:\n"
                          << failure.expected << "\nactual:\n"
                          << failure.actual;
    return out;
}

// The same page read as JSP 1.0 and as plain HTML formats the same way.
std::string formattedBothWays(const std::string& page)
{
    const std::string jsp = formatted(page, DOMImpl::JSP_10);
    EXPECT_EQ(jsp, formatted(page, DOMImpl::JSP_NONE)) << page;
    return jsp;
}

TEST(Formatting, EndTagsOfCustomAndUnknownElementsStay)
{
    // A directive is a block of its own: a line break follows it.
    EXPECT_EQ("<%@ taglib prefix=\"c\" uri=\"/core\" %>\r\n<c:forEach items=\"${a}\">x</c:forEach>",
              formatted("<%@ taglib prefix=\"c\" uri=\"/core\" %><c:forEach items=\"${a}\">x</c:forEach>",
                        DOMImpl::JSP_10));
    // The text after the end tag stays after it when the page is read again.
    EXPECT_EQ("<x>a</x>b", formattedBothWays("<x>a</x>b"));
    // Custom tag names keep their case; known tags follow the options.
    EXPECT_EQ("<P><MyTag Attr=1>t</MyTag></P>", formatted("<p><MyTag Attr=1>t</MyTag></p>"));
}

TEST(Formatting, ServerCodeInATextAreaIsNotEscaped)
{
    EXPECT_EQ("<TEXTAREA><%= bean.getComment() %></TEXTAREA>",
              formattedBothWays("<textarea><%= bean.getComment() %></textarea>"));
    EXPECT_EQ("<TEXTAREA name=\"n\">  a &lt; b\r\n  <b>c</b></TEXTAREA>",
              formatted("<textarea name=n>  a &lt; b\r\n  <b>c</b></textarea>"));
}

TEST(Formatting, DeclarationsAndMarkedSectionsKeepTheirBytes)
{
    EXPECT_EQ("<![CDATA[<br><BR>]]><![if !supportLists]>1.<![endif]><!>",
              formattedBothWays("<![CDATA[<br><br>]]><![if !supportLists]>1.<![endif]><!>"));
    // In JSP the XML syntax of a scriptlet holds its code in a CDATA section.
    const std::string scriptlet = "<jsp:scriptlet><![CDATA[ if (a<b)  x(); ]]></jsp:scriptlet>";
    EXPECT_EQ(scriptlet, formatted(scriptlet, DOMImpl::JSP_10));
    // Without CDATA its code is kept whole as well, white space and all.
    const std::string bare = "<p><jsp:scriptlet> if (a)\r\n   x(); </jsp:scriptlet></p>";
    EXPECT_EQ("<P><jsp:scriptlet> if (a)\r\n   x(); </jsp:scriptlet></P>", formatted(bare, DOMImpl::JSP_10));
    const std::string doctype = "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\" [ <!ENTITY x \"y\"> ]>\r\n"
                                "<!-- a -- -- b --><?xml-stylesheet href=\"s\"?><p>&undeclared; x";
    EXPECT_EQ("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\" [ <!ENTITY x \"y\"> ]>\r\n"
              "<!-- a -- -- b --><?xml-stylesheet href=\"s\"?>\r\n<P>&undeclared; x",
              formatted(doctype));
}

TEST(Formatting, AnOmittedEndTagBeforeTextGluesNoWords)
{
    // Line breaks around blocks go where the page has no text; a text that
    // is there is not given one.
    EXPECT_EQ("<P>a.</P> b<UL>\r\n  <LI>c</LI> d</UL>", formattedBothWays("<p>a.</p> b<ul><li>c</li> d</ul>"));
    // End tags the page left out stay out; those it wrote stay written.
    EXPECT_EQ("<P>a<P>b</P>\r\n<UL>\r\n  <LI>c<LI>d</UL>", formatted("<p>a<p>b</p><ul><li>c<li>d</ul>"));
}

TEST(Formatting, ReferencesKeepTheirForm)
{
    EXPECT_EQ("&#xA9; &#128512; &#169; &copy; a < b > c & d",
              formattedBothWays("&#xA9;  &#128512;\t&#169; &copy; a < b > c & d"));
}

TEST(Formatting, DirectivesKeepEveryAttribute)
{
    const std::string page = "<%@ page import=\"java.util.*\" import=\"java.io.*\" %>\r\n"
                             "<!--#include virtual=\"/a.html\"--><!--#echo var='x\"y'-->";
    EXPECT_EQ(page, formatted(page, DOMImpl::JSP_10));
}

TEST(Formatting, TagNamesMadeByServerCodeKeepTheirTags)
{
    EXPECT_EQ("<<%= tag %>>x</<%= tag %>>", formatted("<<%= tag %>>x</<%= tag %>>", DOMImpl::JSP_10));
    // Attributes holding server code keep their tag as written.
    EXPECT_EQ("<P><a href='<%= url(\"x\") %>' class=k>y</a></P>",
              formatted("<p><a href='<%= url(\"x\") %>' class=k>y</a></p>", DOMImpl::JSP_10));
}

TEST(Formatting, MalformedTagsStayAsWritten)
{
    EXPECT_EQ("<br//>", formattedBothWays("<br//>"));
    EXPECT_EQ("a</>b", formattedBothWays("a</>b"));
    EXPECT_EQ("a</d", formattedBothWays("a</d"));
    EXPECT_EQ("<%@>", formatted("<%@>", DOMImpl::JSP_10));
    EXPECT_EQ("<p class=x", formattedBothWays("<p class=x"));
    EXPECT_EQ("<P>a</p x>b", formattedBothWays("<p>a</p x>b"));
    EXPECT_EQ("<P>a</p", formattedBothWays("<p>a</p"));
    // A slash the reader keeps is written again, so the element stays empty.
    EXPECT_EQ("<jsp:useBean id=\"a\"/>x", formatted("<jsp:useBean id=\"a\"/>x", DOMImpl::JSP_10));
    EXPECT_EQ("<BR>a<P>b", formatted("<br/>a<p/>b"));
}

TEST(Formatting, AttributesFollowTheOptionsAndReadBackTheSame)
{
    Options options;
    options->setTagNameCaseType(DOMImpl::FormatOption::CASE_LOWER);
    options->setAttrNameCaseType(DOMImpl::FormatOption::CASE_UPPER);
    options->setAttrValueCaseType(DOMImpl::FormatOption::CASE_LOWER);
    EXPECT_EQ("<td ALIGN=\"center\" NOWRAP ONCLICK='f(\"x\")' TITLE=\"it's\">",
              formatted("<TD align=CENTER nowrap onclick='f(\"x\")' title=\"it's\">"));
    // A value holding both quotes would need a reference; the tag is kept.
    EXPECT_EQ("<td title=\"it's\" x=a\"b'c>", formatted("<td title=\"it's\" x=a\"b'c>"));
}

TEST(Formatting, WhiteSpaceIsLaidOutByDepth)
{
    const std::string page = "<body>\r\n\r\n<ul>\n<li>one   two\n\t<li>three</ul>\n"
                             "<table><tr><td>\n cell\n</td></tr>\n</table><pre> keep\n   this </pre></body>";
    // An implied TBODY shows no start: the first TR gets no line break
    // before it, which the page would read into the TABLE.
    EXPECT_EQ("<BODY>\r\n<UL>\r\n  <LI>one two\r\n  <LI>three</UL>\r\n"
              "<TABLE><TR>\r\n    <TD>\r\n    cell\r\n    </TD>\r\n  </TR>\r\n</TABLE>\r\n"
              "<PRE> keep\n   this </PRE>\r\n</BODY>",
              formatted(page));

    Options options;
    options->setColumnLimit(10);
    options->setIndent(4);
    EXPECT_EQ("<UL>\r\n    <LI>one two three\r\n    four five six\r\n</UL>",
              formatted("<ul>\n<li>one two three four five six\n</ul>"));
}

// Formatting one element lays out its subtree alone, at the depth the
// element has in the page; edits made before are produced as usual.
TEST(Formatting, OneElementFormatsItsSubtreeAtItsDepth)
{
    Options options;
    options->setColumnLimit(8);
    const std::string page = "<ul><li><p class=a>one two three four</p></li></ul> five  six";
    Document* doc = formatcheck::read(page, DOMImpl::JSP_NONE);
    Element* p = static_cast<Element*>(doc->getHTMLElement()->getElementsByTagName("p").item(0));
    ASSERT_TRUE(p);
    p->setAttribute("id", "x");
    p->formatSource();
    EXPECT_EQ("<ul><li><P class=\"a\" id=\"x\">one two three\r\n  four</P></li></ul> five  six",
              doc->getChildSource());
    DOM::getDOM()->deleteDocument(doc);
}

// Documents other than the HTML document get their element children on
// lines of their own; formatting again changes nothing.
TEST(Formatting, AnXMLStyleTreeFormatsTheSameTwice)
{
    Document* doc = DOMImpl::createDocument("list");
    Element* list = doc->createElement("list");
    doc->appendChild(list);
    Element* item = doc->createElement("item");
    item->setAttribute("k", "v");
    item->appendChild(doc->createTextNode("a  b"));
    list->appendChild(item);
    list->appendChild(doc->createElement("empty"));
    doc->formatSource();
    const std::string once = doc->getSource();
    EXPECT_EQ("<list>\r\n  <item k=\"v\">a  b</item>\r\n  <empty></empty>\r\n</list>", once);
    doc->formatSource();
    EXPECT_EQ(once, doc->getSource());
    doc->releaseRef();
}

// A page nested 100,000 elements deep, with text at each level, formats
// without recursion and in time proportional to its size.
TEST(Formatting, DeepPagesFormat)
{
    const int depth = 100000;
    std::string page;
    std::string expected;
    for (int i = 0; i < depth; ++i) {
        page += "<div> x";
        expected += "<DIV> x";
    }
    Document* doc = formatcheck::read(page, DOMImpl::JSP_NONE);
    doc->formatSource();
    EXPECT_EQ(expected, doc->getSource());
    DOM::getDOM()->deleteDocument(doc);
}

// Every property over the example pages, under several option sets.
TEST(Formatting, ExamplePagesKeepEveryProperty)
{
    for (const char* name : {"catalog.html", "account.jsp", "messy.html"}) {
        std::ifstream file(std::string(PAGEDOM_EXAMPLES_DIR) + "/" + name, std::ios::binary);
        ASSERT_TRUE(file) << name;
        std::stringstream text;
        text << file.rdbuf();
        for (unsigned long columns : {70ul, 8ul}) {
            Options options;
            options->setColumnLimit(columns);
            options->setTagNameCaseType(DOMImpl::FormatOption::CASE_LOWER);
            formatted(text.str(), DOMImpl::JSP_10);
            formatted(text.str(), DOMImpl::JSP_NONE);
        }
    }
}

// Every property over pages put together from the pieces real pages are
// made of, well-formed and not.
TEST(Formatting, GeneratedPagesKeepEveryProperty)
{
    const char* pieces[] = {
        "<p class=x>", "text  with   spaces ", "<b>bold</b>", "<a href='u'>link</a>", "<br>", "<br/>",
        "\r\n", "\n\n  ", "<!-- c -->", "&amp;", "&#xA9;", "&#128512;", "&nbsp;", "&undeclared;",
        "<table><tr><td>cell</table>", "<ul><li>one<li>two</ul>", "<pre> keep  \n </pre>",
        "<textarea> <%= t %> <b> </textarea>", "<img src=a.gif alt=\"\">", "</p>", "</b>", "<%= x %>",
        "<% if (a < b) { %>", "<%@ page import=\"a\" import=\"b\" %>", "<%-- jsp comment --%>",
        "<jsp:useBean id=\"b\" class=\"C\"/>", "<c:forEach items=\"${i}\">", "</c:forEach>", "<x>", "</x>",
        "<!--#include file=\"f\"-->", "<![CDATA[<br>]]>", "<![if !x]>", "<![endif]>", "<!>", "</>", "<br//>",
        "<<%= t %>>", "</<%= t %>>", "<input type=checkbox checked>", "<td align=Center nowrap>", "<",
        ">", "\"", "a < b", "<p title='a\"b' x=\"it's\">", "<font size=+1 color=red>", "</font>",
        "<div align=center>", "</div>", "<script>if (a<b) x();</script>", "<select><option>1</select>",
        "a long line of words that goes well past any column limit one could set for a page",
        "<jsp:scriptlet>x( 1 );</jsp:scriptlet>", "<h1>head</h1>", "<dl><dt>t<dd>d</dl>", "<p/>"};
    std::mt19937 random(5051998);
    auto pick = [&random](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    for (int round = 0; round < 400; ++round) {
        std::string page;
        for (int i = 1 + static_cast<int>(pick(20)); i > 0; --i)
            page += pieces[pick(sizeof pieces / sizeof *pieces)];
        Options options;
        options->setColumnLimit(round % 3 == 0 ? 12 : 70);
        if (round % 2)
            options->setTagNameCaseType(DOMImpl::FormatOption::CASE_LOWER);
        const DOMImpl::JSPVersion versions[] = {DOMImpl::JSP_NONE, DOMImpl::JSP_091, DOMImpl::JSP_10};
        formatted(page, versions[round % 3]);
    }
}

} // namespace
