// Document::correctError on HTML pages read from text: what each repair does
// to the tree and the written page, and the properties every repair keeps
// (no content lost, a second repair changes nothing, one undo step back to
// the page as read, the repaired page reads back to the same repair).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "correction/BrokenPages.h"
#include "correction/CorrectProperties.h"
#include "dom.h"
#include "writing/PageElements.h"

namespace {

using pageelements::countNamed;
using pageelements::nthNamed;
using pageelements::textCharacters;

Document* read(const std::string& page, DOMImpl::JSPVersion jsp = DOMImpl::JSP_NONE)
{
    Document* doc = DOMImpl::createDocument("HTML", jsp);
    doc->createNodes(page.data(), static_cast<unsigned long>(page.size()), nullptr);
    return doc;
}

// The written page without the line breaks and indentation the tidying
// after a repair puts around blocks.
std::string unbroken(const std::string& page)
{
    std::string out;
    for (std::size_t i = 0; i < page.size(); ++i) {
        if (page[i] == '\r' || page[i] == '\n') {
            while (i + 1 < page.size() && (page[i + 1] == ' ' || page[i + 1] == '\r' || page[i + 1] == '\n'))
                ++i;
            continue;
        }
        out += page[i];
    }
    return out;
}

// The page repaired and written, without the tidying's line breaks.
std::string fixed(const std::string& page, DOMImpl::JSPVersion jsp = DOMImpl::JSP_NONE)
{
    Document* doc = read(page, jsp);
    doc->correctError(nullptr);
    std::string out = unbroken(doc->getSource());
    DOM::getDOM()->deleteDocument(doc);
    return out;
}

// Where two written pages part, with some bytes of each around it, or
// empty when they are the same.
std::string difference(const std::string& a, const std::string& b)
{
    if (a == b)
        return std::string();
    std::size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at])
        ++at;
    const std::size_t from = at > 60 ? at - 60 : 0;
    return "at byte " + std::to_string(at) + ":\n  " + a.substr(from, 120) + "\n  " + b.substr(from, 120);
}

// Every page: the repair keeps every character, comment and piece of server
// code; a second repair does nothing; the repair undoes as one step to the
// page as read; and the repaired page, read again and repaired, is written
// the same.  The random editor's pages nest HTML and BODY inside cells and
// lists, which the reader types differently once they stand elsewhere: the
// last property is held to the example and the broken pages.
TEST(CorrectError, RepairsKeepContentAndSettle)
{
    for (const randomedits::Source& source : brokenpages::pages()) {
        const bool readsBack = source.name.rfind("generated", 0) != 0;
        if (const correctcheck::Failure failure = correctcheck::check(source.text, source.jsp, readsBack))
            ADD_FAILURE() << source.name << ": " << failure.what << "\n" << difference(failure.expected, failure.actual);
    }
}

TEST(CorrectError, UntouchedNodesKeepTheirBytes)
{
    // Only the stray cell and what holds it change; everything else is
    // written as read, odd spacing, case and quoting included.
    const std::string head = "<HTML><Head><TITLE>  t  </TITLE></Head>\n<body BGCOLOR=white>\n<P Class='x'>one   two<BR>\n";
    const std::string tail = "\n<!-- kept -->\n<%= bean.name %>\n<p>three &amp; four\n</body></HTML>\n";
    const std::string out = fixed(head + "<div><td>x</div>" + tail, DOMImpl::JSP_10);
    EXPECT_EQ(unbroken(head), out.substr(0, unbroken(head).size()));
    EXPECT_EQ(unbroken(tail), out.substr(out.size() - unbroken(tail).size()));
}

TEST(CorrectError, OnlyHTMLAndVoiceXMLDocumentsAreRepaired)
{
    Document* xml = DOMImpl::createDocument("XML");
    ASSERT_NE(nullptr, xml);
    EXPECT_FALSE(xml->correctError(nullptr));
    DOM::getDOM()->deleteDocument(xml);

    // A page without errors: nothing to do, nothing recorded.
    Document* doc = read("<p>fine</p>");
    doc->endUpdate();
    doc->enableRecord(true);
    EXPECT_FALSE(doc->correctError(nullptr));
    doc->endUpdate();
    EXPECT_EQ(0, doc->canUndo());
    EXPECT_EQ("<p>fine</p>", doc->getSource());
    DOM::getDOM()->deleteDocument(doc);
}

TEST(CorrectError, ASubtreeIsRepairedAlone)
{
    Document* doc = read("<ul><td>a</ul><div><td>b</div>");
    Element* div = nthNamed(doc, "DIV");
    EXPECT_TRUE(doc->correctError(div));
    EXPECT_EQ(1u, countNamed(doc, "TABLE"));
    EXPECT_EQ(div, nthNamed(doc, "TABLE")->getParentNode());
    DOM::getDOM()->deleteDocument(doc);
}

// Pages nested 100,000 deep, broken in the ways that climb: unclosed
// formatting and cells and items, tables inside formatting.
TEST(CorrectError, DeepBrokenPagesWithoutRecursion)
{
    const int depth = 100000;
    auto repeat = [](const std::string& s, int n) {
        std::string out;
        out.reserve(s.size() * static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i)
            out += s;
        return out;
    };
    const std::vector<std::string> pages = {
        repeat("<font color=red>", depth) + "x<table><tr><td>y</table>",
        repeat("<b>", depth) + "<li>x",
        repeat("<table><tr><td>", depth) + "x",
        repeat("<li>", depth) + "x",
        repeat("<td>", depth) + "x",
        repeat("<b><table>", depth) + "x",
    };
    for (const std::string& page : pages) {
        SCOPED_TRACE(page.substr(0, 40));
        Document* doc = read(page);
        const std::vector<char> chars = textCharacters(doc);
        doc->correctError(nullptr);
        EXPECT_EQ(chars, textCharacters(doc));
        const std::string repaired = doc->getSource();
        EXPECT_FALSE(repaired.empty());
        DOM::getDOM()->deleteDocument(doc);
    }
}

TEST(CorrectError, EachRepair)
{
    const char* cases[][2] = {
        // Stray cells get one implied row, written out.
        {"<table><td>x</td><td>y</table>", "<table><TR><TD>x</TD><TD>y</TD></TR></table>"},
        // A list item in BODY gets a list.
        {"<li>a", "<UL><LI>a</LI></UL>"},
        // A TABLE inside a FONT inside a P: the P and the FONT are split
        // around it, the cells keep the FONT, the emptied FONT and P go.
        {"<p><font color=red>a<table><tr><td>x</table>b</font></p>",
         "<P><font color=red>a</font></P><TABLE><tr><TD><font color=red>x</font></TD></tr></TABLE>"
         "<p><font color=red>b</font></p>"},
        {"<p><font color=red><table><tr><td>x</table></font></p>", "<TABLE><tr><TD><font color=red>x</font></TD></tr></TABLE>"},
        // Text a row may not hold goes before the TABLE.
        {"<table><tr>loose<td>x</table>", "loose<table><tr><TD>x</table>"},
        // Two BODYs become one, two TITLEs likewise.
        {"<html><body>a</body><body class=b>b</body></html>", "<html><BODY class=\"b\">ab</BODY></html>"},
        {"<title>a</title><title>b</title>", "<TITLE>ab</TITLE>"},
        // An end tag that closes nothing goes.
        {"<p>a</b>c</span>d", "<p>acd"},
        // A late DOCTYPE moves to the front with a line break.
        {"<p>x<!DOCTYPE html>", "<!DOCTYPE html><p>x"},
        // A FONT in a PRE is unwrapped.
        {"<pre>a<font color=red>b</font>c</pre>", "<pre>abc</pre>"},
        // A cell in a DIV gets a whole table around it.
        {"<div><td>x</div>", "<div><TABLE><TBODY><TR><TD>x</TD></TR></TBODY></TABLE></div>"},
        // Bare markup characters are written as references.
        {"<p>a < b & c</p>", "<p>a &lt; b &amp; c</p>"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c[1], fixed(c[0])) << c[0];
}

// Pages (most of them found by fuzz_correct) whose repair once read back as
// something else.  Markup the page left open (a tag, a comment or server
// code cut short, a bare "&") would take in whatever a repair writes after
// it: the repair closes it first.  Each page is repaired as shown, and the
// repaired page, read again and repaired, is written the same.
TEST(CorrectError, RepairedPagesReadBackAsRepaired)
{
    struct Case {
        const char* page;
        DOMImpl::JSPVersion jsp;
        const char* repaired;
    };
    const Case cases[] = {
        // Server code cut short gets its end before the cell's table closes.
        {"<td><%-", DOMImpl::JSP_10, "<TABLE><TBODY><TR><TD><%-%></TD></TR></TBODY></TABLE>"},
        {"<select><table><%", DOMImpl::JSP_091, "<TABLE><%%></TABLE><select>"},
        {"<%@", DOMImpl::JSP_NONE, "<%@%>"},
        // A start tag cut short is closed, without the junk read as its
        // attributes (server code in it is kept, and closed); one without a
        // name gets its ">".
        {"<td><table><t", DOMImpl::JSP_NONE, "<TABLE><TBODY><TR><TD><TABLE><t></TABLE></TD></TR></TBODY></TABLE>"},
        {"<jsp:setProperty<%", DOMImpl::JSP_10, "<jsp:setProperty <%%> />"},
        // Code read as a name that holds a ">" but no end of its own gets
        // its "%>" in a JSP action too: read again, it would take in the
        // code after it.
        {"<jsp:setProperty<%>><%", DOMImpl::JSP_10, "<jsp:setProperty <%>%> /><%%>"},
        {"<td><!", DOMImpl::JSP_NONE, "<TABLE><TBODY><TR><TD><!></TD></TR></TBODY></TABLE>"},
        {"s<HTML><y n=\">", DOMImpl::JSP_NONE, "<HTML>s<y n=\">\"></HTML>"},
        {"<O V=\"\"<%%>\"", DOMImpl::JSP_NONE, "<O V <%%>>"},
        {"<%@e >>", DOMImpl::JSP_NONE, "<%@e >%>&gt;"},
        {"<j e=<%", DOMImpl::JSP_NONE, "<j e=\"<%%>\">"},
        // A JSP comment left open in a value ends with its own end.
        {"e<tr><o--%><INPUT E=<%--", DOMImpl::JSP_10, "e<INPUT E=\"<%----%>\"><TABLE><TBODY><TR><o--%></TR></TBODY></TABLE>"},
        {"<tr><%--><INPUT E=\"<%-- %>", DOMImpl::JSP_10,
         "<INPUT E=\"<%-- %>--%>\"><TABLE><TBODY><TR><%----%></TR></TBODY></TABLE>"},
        // Code left open in a JSP action's tag is closed wherever it starts.
        {"<jsp:setProperty\"<%", DOMImpl::JSP_10, "<jsp:setProperty \"<%%> />"},
        // A comment opened in a name goes: left open it runs on, closed the
        // ">" of its end would end the tag.
        {"<jsp:setProperty p<%--", DOMImpl::JSP_10, "<jsp:setProperty />"},
        {"<jsp:useBean /<!-->-->", DOMImpl::JSP_10, "<jsp:useBean />"},
        // Code in a value that ended at the tag's ">" for want of its "%>"
        // is a format error: it gets its end, else read again it would run
        // to the next "%>".
        {"<jsp:setProperty name=<%>><%", DOMImpl::JSP_10, "<jsp:setProperty name=\"<%>%>\" /><%%>"},
        {"<input value=\"<%>\"><%", DOMImpl::JSP_10, "<INPUT value=\"<%>%>\"><%%>"},
        {"<g T=<!--", DOMImpl::JSP_NONE, "<g T=\"<!---->\">"},
        // In a server-side include, a comment itself, nothing needs an end.
        {"<@>\n<!--#echo var=<%-->\n</>\r", DOMImpl::JSP_10, "<@><!--#echo var=<%-->"},
        // So is a comment in an unquoted value (and "<!-->"), HTML or JSP.
        {"<table><d><jsp:setProperty name=<%--><", DOMImpl::JSP_10,
         "&lt;<table><d><jsp:setProperty name=\"<%----%>\" />"},
        {"LE<META HTTP-EQUIV=<!--><BODY><!--", DOMImpl::JSP_NONE, "<META http-equiv=\"<!---->\"><BODY>LE<!----></BODY>"},
        // Code or a comment opens where reading finds it first: "<%<%>" is
        // closed.  An instruction left open in a name, before any code, has
        // no end that would not end the tag: the name goes.
        {"<j<%<", DOMImpl::JSP_NONE, "<j <%<%>>"},
        {"\r<jsp:setProperty<?<%", DOMImpl::JSP_10, "<jsp:setProperty />"},
        // Every piece a value leaves open is closed, innermost first.
        {" <s T=<!--<%>W", DOMImpl::JSP_NONE, " <S T=\"<!--<%%>-->\">W</S>"},
        // In a server-side include the include's own end closes a comment
        // left open in a value; a "-->" written there would end it.
        {" <!--#echo v=<!--#", DOMImpl::JSP_NONE, " <!--#echo v=\"<!--#\" -->"},
        {"<j f=<?", DOMImpl::JSP_NONE, "<j f=\"<? >\">"},
        // A tag whose name a produced tag would not read back ("table/",
        // "!") gets the ">" it lacks, as the page wrote it.
        {"<td><table//", DOMImpl::JSP_NONE, "<TABLE><TBODY><TR><TD><table//></TD></TR></TBODY></TABLE>"},
        {"<head><g>e<! ", DOMImpl::JSP_NONE, "<HEAD><g><! ></HEAD><BODY>e</BODY>"},
        // A "<!x" tag that left a quote open gets the quote and its ">".
        {"<td>'<html><<!'", DOMImpl::JSP_10, "<HTML><!''>&lt;<TABLE><TBODY><TR><TD>'</TD></TR></TBODY></TABLE></HTML>"},
        // Markup inside one is read by its own rules: its "<" is written as
        // "&lt;" (a comment inside that ended at the tag's ">" would run on
        // to the "-->" the repair writes later).
        {"<<!<!--><td><!--", DOMImpl::JSP_NONE, "&lt;<!&lt;!--><TABLE><TBODY><TR><TD><!----></TD></TR></TBODY></TABLE>"},
        // One whose markup carried it past a ">" stays as it is.
        {"<!<!--\"\">-->", DOMImpl::JSP_NONE, "<!<!--\"\">-->"},
        {"<td>'<html>><!'<", DOMImpl::JSP_091, "<HTML><!'&lt;'>&gt;<TABLE><TBODY><TR><TD>'</TD></TR></TBODY></TABLE></HTML>"},
        // An instruction cut short ends with " >": a "?>" would end the one
        // before it.
        {"<?><td><?", DOMImpl::JSP_NONE, "<?><TABLE><TBODY><TR><TD><? ></TD></TR></TBODY></TABLE>"},
        // What JSP code holds stays in it, white space too.
        {"<table><TITLE><jsp:scriptlet>\n", DOMImpl::JSP_10, "<HEAD><TITLE><jsp:scriptlet></jsp:scriptlet></TITLE></HEAD>"},
        {"<pre><tr><jsp:scriptlet> ", DOMImpl::JSP_10, "<TABLE><TBODY><TR><jsp:scriptlet> </jsp:scriptlet></TR></TBODY></TABLE>"},
        // JSP code in XML syntax ends with its own end tag; what leaves it
        // for the top of the page is placed in the BODY reading implies.
        {"<jsp:scriptlet>\n<a f=\"\">x", DOMImpl::JSP_10, "<jsp:scriptlet></jsp:scriptlet><A f>x</A>"},
        // A DOCTYPE cut short gets the ">" it lacks, and goes to the front.
        {"></body>e<!DOCTYPE", DOMImpl::JSP_NONE, "<!DOCTYPE><BODY>&gt;e</BODY>"},
        {"<head><g>e<!DOCTYPE", DOMImpl::JSP_NONE, "<!DOCTYPE><HEAD><g></HEAD><BODY>e</BODY>"},
        // What it left open is closed first, innermost first: a quote
        // where an identifier stands takes in the ">", a comment in it the
        // quote, server code in it all of them.
        {"<title><font r=n>e<!DOCTYPE L P\">", DOMImpl::JSP_NONE,
         "<!DOCTYPE L P\">\"><BODY><FONT r=\"n\">e</FONT></BODY><title>"},
        {"<title><font>e<!DOCTYPE L U\"<!--", DOMImpl::JSP_NONE, "<!DOCTYPE L U\"<!---->\"><BODY>e</BODY><title>"},
        {"<head><n>m<!DOCTYPE L t'<%>'", DOMImpl::JSP_091, "<!DOCTYPE L t'<%>'%>'><HEAD><n></HEAD><BODY>m</BODY>"},
        // A quote before the name holds nothing.
        {"<head><t>e<!DOCTYPE\"", DOMImpl::JSP_NONE, "<!DOCTYPE\"\"><HEAD><t></HEAD><BODY>e</BODY>"},
        {"re<!DOCTYPE<%", DOMImpl::JSP_NONE, "<!DOCTYPE<%%>re"},
        // A CDATA section moved out of XML code, where "<![CDATA[" would be
        // read as a tag, becomes a text; one left open is closed.
        {"<jsp:scriptlet><b><![CDATA[<", DOMImpl::JSP_10, "<B>&lt;</B><jsp:scriptlet>"},
        {"<jsp:scriptlet><table><![CDATA[a<b]]>", DOMImpl::JSP_10, "a&lt;b<jsp:scriptlet>"},
        {"<jsp:scriptlet><![CDATA[x", DOMImpl::JSP_10, "<jsp:scriptlet><![CDATA[x]]>"},
        // White space joined at the start of a table is no content: the
        // table stays empty.
        {"<pre><table>\v<TITLE>\r", DOMImpl::JSP_091, "<HEAD><TITLE></TITLE></HEAD><TABLE></TABLE>"},
        // A quote reading does not take for one gets no closing quote.
        {"<HEAD><M>0<!DOCTYPEH\"E", DOMImpl::JSP_NONE, "<!DOCTYPEH\"E><HEAD><M></HEAD><BODY>0</BODY>"},
        // The ">" of a comment's "-->" ends it outside a quote.
        {"<head><o>e<!DOCTYPE<!--", DOMImpl::JSP_NONE, "<!DOCTYPE<!----><HEAD><o></HEAD><BODY>e</BODY>"},
        // Moved on, it leaves the element it ended open before what the
        // repair put after that: the TITLE shows its end tag.
        {"s<td><title><!DOCTYPE", DOMImpl::JSP_NONE,
         "<!DOCTYPE><HEAD><TITLE></TITLE></HEAD>s<TABLE><TBODY><TR><TD>"},
        // So does an OBJECT built there, also when the page wrote the
        // BODY's end tag.
        {"<%><PARAM></BODY", DOMImpl::JSP_10, "<%>%><BODY><OBJECT><PARAM></OBJECT></BODY>"},
        // A SCRIPT moved to the start of the implied BODY shows the BODY,
        // else it would be read into a second HEAD.
        {"<Y><TABLE><STYLE></STYLE><SCRIPT>x</SCRIPT>", DOMImpl::JSP_NONE,
         "<Y><HEAD><STYLE></STYLE></HEAD><BODY><SCRIPT>x</SCRIPT></BODY>"},
        {"<table><b><input <%= on %> x<y>", DOMImpl::JSP_10, "<B><INPUT <%= on %>></B>"},
        // Comments left open are closed, at the end of the page and where
        // the first ">" ended them.
        {"<p><!--x><li>a<!--y", DOMImpl::JSP_NONE, "<P><!--x--></P><UL><LI>a<!--y--></LI></UL>"},
        // "<!-->" ended at its first ">": its "-->" overlaps its opening.
        {"<!--><td><!--", DOMImpl::JSP_NONE, "<!----><TABLE><TBODY><TR><TD><!----></TD></TR></TBODY></TABLE>"},
        {"<tr><table><tr><%--", DOMImpl::JSP_10,
         "<TABLE><tr><%----%></tr></TABLE><TABLE><TBODY><TR></TR></TBODY></TABLE>"},
        // The body of a JSP action is page text.
        {"<s><BODY><jsp:useBean><", DOMImpl::JSP_10, "<BODY><s><jsp:useBean>&lt;</jsp:useBean></S></BODY>"},
        // A bare "&" is written as a reference before the end tag after it
        // is settled.
        {"<table><i>&", DOMImpl::JSP_NONE, "<I>&amp;</I>"},
        // What a table built around a cell follows is closed.
        {"<font c><center><p>-<th", DOMImpl::JSP_NONE,
         "<CENTER><P><font c>-</FONT></P><TABLE><TBODY><TR><TH></TH></TR></TBODY></TABLE></CENTER>"},
        // A copy that shows its end tag closes the table it holds.
        {"<FORM>\n<BODY><TABLE><TR", DOMImpl::JSP_NONE,
         "<BODY><FORM></FORM><FORM><TABLE><TR></TR></TABLE></FORM></BODY>"},
        // A directive the page end cut short is closed before what the
        // repair writes after it.
        {"<select><b><%@", DOMImpl::JSP_091, "<B><select><%@ %></SELECT></B><select>"},
        // A tag the page end cut short whose name is no letter is closed
        // all the same: it reads back with that name.
        {"<TR><P><SMALL><\x01", DOMImpl::JSP_NONE, "<P><\x01></P><TABLE><TBODY><TR></TR></TBODY></TABLE>"},
        // Content adapted at the start of a BODY the page left implied shows
        // the BODY when a HEAD could hold it, and its end before a HEAD that
        // stands after it.
        {"<G><HEAD><HTML><param", DOMImpl::JSP_NONE, "<G><HTML><BODY><OBJECT><PARAM></OBJECT></BODY><HEAD></HEAD></HTML>"},
        {"<%><param><<TITLE", DOMImpl::JSP_10, "<%>%><BODY><OBJECT><PARAM></OBJECT>&lt;</BODY><TITLE></TITLE>"},
        // A BODY that shows its tags after the repair closes what the HEAD
        // before it left open.
        {"e<tr><HTML><TITLE><td", DOMImpl::JSP_NONE,
         "<HTML><TITLE></TITLE><BODY>e<TABLE><TBODY><TR><TD></TD></TR></TBODY></TABLE>"
         "<TABLE><TBODY><TR></TR></TBODY></TABLE></BODY></HTML>"},
        // Content that leaves server code for the top of the page goes into
        // the BODY reading implies there; a JSP action says nothing of where
        // a cell belongs.
        {"<%><jsp:scriptlet><tr", DOMImpl::JSP_10, "<%>%><TABLE><TBODY><TR></TR></TBODY></TABLE><jsp:scriptlet>"},
        {"e<r><jsp:useBean><HTML><td></BODY", DOMImpl::JSP_10,
         "e<r><jsp:useBean><HTML><TABLE><TBODY><TR><TD></TD></TR></TBODY></TABLE></BODY>"},
        // Moved content does not stand after an element left open that
        // would take it in (a SELECT's end is never implied).
        {"s<table><b><select><b><select><ab", DOMImpl::JSP_NONE, "s<B><select></SELECT><ab><select></SELECT></B>"},
        // Nor after a cell whose TABLE is left open: reading would take a
        // cell the repair put after it into that TABLE.
        {"<td><table><HTML><td><table><!></BODY", DOMImpl::JSP_10,
         "<HTML><BODY><TABLE><TBODY><TR><TD><TABLE><!></TABLE><TD></TD></TR></TBODY></TABLE></BODY></HTML>"},
        // Elements the page implied are not copied into content that leaves
        // them, and go when emptied (their end tag alone would be a stray
        // one).
        {"a<i><HTML><jsp:useBean><!--#echo></BODY", DOMImpl::JSP_10,
         "<HTML>a</BODY><jsp:useBean><i><!--#echo --></I></jsp:useBean></HTML>"},
        // An adaptor in place obeys what the elements around it exclude: a
        // FORM inside a FORM gets no BODY of its own there, it leaves the
        // outer FORM.
        {"<FORM><jsp:useBean><HTML><FORM", DOMImpl::JSP_10, "<FORM></FORM><FORM><jsp:useBean><HTML>"},
        // Content first in an implied BODY closes what the HEAD before it
        // left open.
        {"<jsp:useBean><td><HTML><TITLE><TD", DOMImpl::JSP_10,
         "<jsp:useBean><HTML><TITLE></TITLE><TABLE><TBODY><TR><TD></TD></TR></TBODY></TABLE></HTML><td>"},
        // A dynamic element shows what its metadata produces: holding
        // nothing, it is not empty, and tidying after the repair keeps it.
        {"<%--METADATA type=\"DynamicData\" startspan\n<TABLE dynamicelement>\n--%><%--METADATA type=\"DynamicData\" endspan--%>",
         DOMImpl::JSP_10,
         "<%--METADATA type=\"DynamicData\" startspan<TABLE dynamicelement></TABLE>--%>"
         "<%--METADATA type=\"DynamicData\" endspan--%>"},
        // An end comment the repair closes after a start comment makes a
        // span, as reading the repaired page would: the element is placed
        // and its tags produced, what it holds stays as written.
        {"<%--METADATA type=\"DynamicData\"startspan\n<TABLE dynamicelement>---%><%--METADATA type=\"DynamicData\"endspan",
         DOMImpl::JSP_10,
         "<%--METADATA type=\"DynamicData\" startspan<TABLE dynamicelement>-</TABLE>--%>"
         "<%--METADATA type=\"DynamicData\"endspan--%>"},
        // Metadata comments the repair closes make no span around a start
        // tag cut short: read again, they stay comments.
        {"<%--METADATA type=\"DynamicData\"startspan\n<TABLE dynamicelement><%--METADATA type=\"DynamicData\"endspan",
         DOMImpl::JSP_10,
         "<%--METADATA type=\"DynamicData\"startspan<TABLE dynamicelement--%><%--METADATA type=\"DynamicData\"endspan--%>"},
        // Duplicated attributes go, the second of a name too.
        {"<TABLE CLASS=r class><t", DOMImpl::JSP_NONE, "<TABLE class=\"r\"><t></TABLE>"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.repaired, fixed(c.page, c.jsp)) << c.page;
        if (const correctcheck::Failure failure = correctcheck::check(c.page, c.jsp, true))
            ADD_FAILURE() << c.page << ": " << failure.what << "\n" << difference(failure.expected, failure.actual);
    }
}

} // namespace
