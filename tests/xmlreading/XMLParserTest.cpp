// XML and VoiceXML documents go in, trees come out, and the text comes back
// byte for byte.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "dom.h"
#include "xmlreading/XMLShape.h"

using xmlshape::Doc;
using xmlshape::shape;

namespace {

Element* firstNamed(const Node* root, const std::string& name)
{
    for (Node* n = root->getFirstChild(); n; n = n->getNextNode(root))
        if (n->getNodeType() == Node::ELEMENT_NODE && n->getNodeName() == name)
            return static_cast<Element*>(n);
    return nullptr;
}

Node* firstOfType(const Node* root, unsigned short type)
{
    for (Node* n = root->getFirstChild(); n; n = n->getNextNode(root))
        if (n->getNodeType() == type)
            return n;
    return nullptr;
}

} // namespace

TEST(XMLParser, EveryKindOfMarkupBecomesItsNodeAndWritesBackAsRead)
{
    const std::string page =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
        "<!DOCTYPE vxml PUBLIC \"-//V//DTD VXML 1.0//EN\" \"vxml.dtd\" [\r\n"
        "  <!ENTITY bell \"&#7;\">\r\n"
        "  <!ENTITY copy \"&#169;\">\r\n"
        "]>\r\n"
        "<vxml version=\"1.0\">\r\n"
        "  <!-- a comment -->\r\n"
        "  <form id='greeting'>\r\n"
        "    <block>Hello &copy; <![CDATA[<raw & text>]]> &amp; goodbye</block>\r\n"
        "    <field name=\"f\" modal = 'true'><prompt>Say <break/>yes</prompt></field>\r\n"
        "  </form>\r\n"
        "<?target some data?>\r\n"
        "</vxml>\r\n";
    Doc doc("VXML", page);
    EXPECT_TRUE(doc.roundTrips());
    EXPECT_EQ("?xml 'crlf' vxml 'crlf' vxml('crlf  ' !c 'crlf  ' form('crlf    ' block('Hello \\\xA9 ' [] ' \\& goodbye') "
              "'crlf    ' field(prompt('Say ' break 'yes')) 'crlf  ') 'crlf' ?target 'crlf') 'crlf'",
              shape(doc.doc, true));

    // The XML declaration is the document's first child.
    ProcessingInstruction* decl = doc.doc->getXMLDecl();
    ASSERT_NE(nullptr, decl);
    EXPECT_EQ("version=\"1.0\" encoding=\"UTF-8\"", decl->getData());
    EXPECT_EQ(decl, doc.doc->getFirstChild());

    // The DOCTYPE is a new document type with its identifiers and the
    // declarations of its internal subset, written as it was read.
    DocumentType* docType = doc.doc->getDocType();
    ASSERT_NE(nullptr, docType);
    EXPECT_NE(doc.doc->getDocumentType(), docType);
    EXPECT_EQ("vxml", docType->getNodeName());
    EXPECT_EQ("-//V//DTD VXML 1.0//EN", docType->getPublicID());
    EXPECT_EQ("vxml.dtd", docType->getSystemID());
    ASSERT_NE(nullptr, docType->getEntity("copy"));
    EXPECT_EQ(0u, docType->getErrorState());

    // Attributes keep their values, quoted either way or spaced out.
    Element* form = firstNamed(doc.doc, "form");
    ASSERT_NE(nullptr, form);
    EXPECT_EQ("greeting", form->getAttribute("id"));
    Element* field = firstNamed(doc.doc, "field");
    EXPECT_EQ("f", field->getAttribute("name"));
    EXPECT_EQ("true", field->getAttribute("modal"));
    EXPECT_EQ("<field name=\"f\" modal = 'true'>", field->getStartTag());
    EXPECT_EQ("</field>", field->getEndTag());

    // The empty-element tag has the mark and no children, and no end tag.
    Element* brk = firstNamed(doc.doc, "break");
    EXPECT_TRUE(brk->isEmptyTag());
    EXPECT_FALSE(brk->hasChildNodes());
    EXPECT_FALSE(brk->hasEndTag());

    // The entity declared in the internal subset gives its data; the
    // processing instruction splits target and data.
    Node* pi = firstOfType(firstNamed(doc.doc, "vxml"), Node::PROCESSING_INSTRUCTION_NODE);
    ASSERT_NE(nullptr, pi);
    EXPECT_EQ("target", pi->getNodeName());
    EXPECT_EQ("some data", static_cast<ProcessingInstruction*>(pi)->getData());

    // No error anywhere in a well-formed dialog but the text at the top.
    for (const DOMError& e : doc.doc->getErrorList())
        EXPECT_NE(Node::ELEMENT_NODE, e.node->getNodeType()) << e.node->getNodeName();
}

TEST(XMLParser, NamesKeepTheirCaseAndEndTagsCloseIgnoringIt)
{
    // Mixed case stays; an end tag differing only in case closes the
    // element, and in an XML-format document marks the mismatch.
    Doc plain("XML", "<MyDoc><Item Key='1'>a</ITEM></MyDoc>");
    Element* item = firstNamed(plain.doc, "Item");
    ASSERT_NE(nullptr, item);
    EXPECT_EQ("Item", item->getTagName());
    EXPECT_EQ("Key", static_cast<Attr*>(item->getAttrNodes().item(0))->getName());
    EXPECT_EQ("</ITEM>", item->getEndTag());
    EXPECT_EQ("MyDoc(Item('a'))", shape(plain.doc));

    Doc xml("XML", "<MyDoc><Item>a</ITEM><Item>b</Item></MyDoc>", DOMImpl::JSP_NONE, Document::XML_FORMAT);
    Element* first = firstNamed(xml.doc, "Item");
    EXPECT_TRUE(first->getErrorState() & Node::MISMATCHED_END_TAG_ERROR);
    EXPECT_FALSE(static_cast<Element*>(first->getNextSibling())->getErrorState() & Node::MISMATCHED_END_TAG_ERROR);
    EXPECT_TRUE(xml.roundTrips());
}

TEST(XMLParser, WhatDoesNotFitIsMarkedAndKept)
{
    struct Case {
        const char* page;
        const char* shape;
    };
    const Case cases[] = {
        // A '<' before white space or without a name is text.
        {"<a>1 < 2</a>", "a('1 \\< 2')"},
        {"<a>x</ y</a>", "a('x\\</ y')"},
        {"<a>x<</a>", "a('x\\<')"},
        // An end tag that closes nothing is an element of its own; one that
        // closes an outer element closes what is open inside it.
        {"<a></b>x</a>", "a(b 'x')"},
        {"<a><b><c>x</a>y", "a(b(c('x'))) 'y'"},
        // Bare markup characters and references.
        {"<a>\"q\" &gt; &#65;&#x42; &unknown; & x</a>", "a('\\\"q\\\" \\> \\A\\B ' unknown ' \\& x')"},
        // Unterminated constructs run to the end of the text.
        {"<a><!-- open", "a(!c)"},
        {"<a><![CDATA[ open", "a([])"},
        {"<a><?pi open", "a(?pi)"},
        {"<a><%= open", "a(%([]))"},
        {"<a b='open>", "a"},
        {"<a b=x c", "a"},
        {"<!DOCTYPE x [ <!ENTITY y 'z'", "x"},
        // Anything after a tag's attributes up to the '>' is kept in it.
        {"<a b=1 / c>t</a>", "a('t')"},
        {"<a =x>t</a>", "a('t')"},
        {"</ a>", "'\\</ a\\>'"},
    };
    for (const Case& c : cases) {
        Doc doc("XML", c.page);
        EXPECT_TRUE(doc.roundTrips()) << c.page;
        EXPECT_EQ(c.shape, shape(doc.doc)) << c.page;
    }

    Doc doc("XML", "<a>1 < 2</a><b></c></b><d x='1' / y>t</d><e>open", DOMImpl::JSP_NONE, Document::XML_FORMAT);
    const Node* lessThan = firstNamed(doc.doc, "a")->getFirstChild();
    EXPECT_TRUE(lessThan->getErrorState() & Node::INVALID_CHAR_ERROR);
    Element* stray = firstNamed(doc.doc, "c");
    EXPECT_TRUE(stray->getErrorState() & Node::MISSING_START_TAG_ERROR);
    EXPECT_FALSE(stray->hasStartTag());
    EXPECT_EQ("</c>", stray->getEndTag());
    EXPECT_TRUE(firstNamed(doc.doc, "d")->getErrorState() & Node::INVALID_FORMAT_ERROR);
    Element* open = firstNamed(doc.doc, "e");
    EXPECT_TRUE(open->getErrorState() & Node::MISSING_END_TAG_ERROR);
    EXPECT_FALSE(firstNamed(doc.doc, "b")->getErrorState() & Node::MISSING_END_TAG_ERROR);
    Doc invalid("XML", "<a>x</a junk>");
    EXPECT_TRUE(firstNamed(invalid.doc, "a")->getErrorState() & Node::INVALID_END_TAG_ERROR);
    EXPECT_EQ("</a junk>", firstNamed(invalid.doc, "a")->getEndTag());
    Doc comment("XML", "<!-- open");
    EXPECT_TRUE(comment.doc->getFirstChild()->getErrorState() & Node::INVALID_FORMAT_ERROR);
}

TEST(XMLParser, ReferencesReadAsTheConverterReadsTheSource)
{
    // Every text's data is what the converter makes of its source, with the
    // entities of the document type and of the DOCTYPE before it.
    const std::string page = "<!DOCTYPE d [<!ENTITY e \"&#233;\">]><d>&e; &lt;&amp;&#x1F600; &#0; &#65 &bad &e</d>"
                             "<d>\x1b\x1c\"&quot;'&apos;</d>";
    Doc doc("XML", page);
    EXPECT_TRUE(doc.roundTrips());
    PCDATAConverter converter(doc.doc);
    int texts = 0;
    for (Node* n = doc.doc->getFirstChild(); n; n = n->getNextNode(doc.doc)) {
        if (n->getNodeType() != Node::TEXT_NODE)
            continue;
        ++texts;
        EXPECT_EQ(converter.convertSourceToData(n->getSource()), static_cast<Text*>(n)->getData()) << n->getSource();
    }
    EXPECT_EQ(2, texts);
    // An entity without data stays a node: the reference is its source.
    Doc general("XML", "<!DOCTYPE d [<!ENTITY who \"World\">]><d>Hello &who;!</d>");
    EXPECT_EQ("d d('Hello ' who '!')", shape(general.doc));
    EXPECT_EQ("&who;", firstOfType(general.doc, Node::ENTITY_REFERENCE_NODE)->getSource());
}

TEST(XMLParser, JSPBlocksAreElementsOfTheJSPTypes)
{
    const std::string page = "<page><%@ page import=\"java.util.*\" %><%! int n; %><%= n %><% n++; %><%-- note --%>"
                             "<jsp:scriptlet> if (a < b) { } </jsp:scriptlet></page>";
    Doc doc("XML", page, DOMImpl::JSP_10);
    EXPECT_TRUE(doc.roundTrips());
    EXPECT_EQ("page(jsp:directive.page jsp:declaration([]) jsp:expression([]) jsp:scriptlet([]) !c "
              "jsp:scriptlet([]))",
              shape(doc.doc));
    Element* directive = firstNamed(doc.doc, "jsp:directive.page");
    ASSERT_NE(nullptr, directive);
    EXPECT_EQ("java.util.*", directive->getAttribute("import"));
    Element* expression = firstNamed(doc.doc, "jsp:expression");
    EXPECT_EQ("<%=", expression->getStartTag());
    EXPECT_EQ("%>", expression->getEndTag());
    EXPECT_EQ(" n ", expression->getJSPScriptData());
    // Written in XML syntax, the raw content runs to its end tag.
    Element* xmlForm = static_cast<Element*>(firstNamed(doc.doc, "page")->getLastChild());
    EXPECT_EQ(" if (a < b) { } ", xmlForm->getJSPScriptData());
    EXPECT_EQ("</jsp:scriptlet>", xmlForm->getEndTag());
    EXPECT_TRUE(static_cast<Comment*>(firstOfType(doc.doc, Node::COMMENT_NODE))->isJSPFormat());

    // Without the JSP types the blocks are elements named "%".
    Doc none("XML", "<p><%= x %></p>");
    EXPECT_EQ("p(%([]))", shape(none.doc));
    EXPECT_TRUE(none.roundTrips());
}

TEST(XMLParser, TextSplitBetweenTwoReadingsIsOneNode)
{
    Document* doc = DOMImpl::createDocument("XML");
    DocumentFragment* fragment = doc->createDocumentFragment();
    fragment->parse("<a/>one &am");
    fragment->parse("p; two");
    fragment->parse("<b>three</b>");
    EXPECT_EQ("a 'one \\& two' b('three')", shape(fragment));
    EXPECT_EQ("<a/>one &amp; two<b>three</b>", fragment->getChildSource());
    fragment->releaseRef();

    // Parsing into a document adds to what it has.
    doc->parse("<r>");
    doc->parse("text</r>");
    EXPECT_EQ("r 'text' r", shape(doc));
    EXPECT_EQ("<r>text</r>", doc->getSource());
    DOM::getDOM()->deleteDocument(doc);
}

TEST(XMLParser, AnyByteStringComesBackAsItWasRead)
{
    const char* pieces[] = {"<", ">", "/", "!", "?", "%", "&", ";", "#", "\"", "'", "=", " ", "\r\n", "-", "[", "]",
                            "a", "B", "x1", "\x1b", "\x1c", "\x1d", "", "\xff",
                            "<!--", "-->", "<![CDATA[", "]]>", "<?", "?>", "<%", "%>", "<%@", "<!DOCTYPE",
                            "<vxml>", "</vxml>", "<form>", "</form>", "&amp;", "&#65;", "<a b='c'>", "</a>"};
    const int count = sizeof(pieces) / sizeof(*pieces);
    std::mt19937 random(17);
    for (int round = 0; round < 3000; ++round) {
        std::string page;
        for (int i = static_cast<int>(random() % 30); i > 0; --i) {
            const int k = static_cast<int>(random() % count);
            page += k == 23 ? std::string(1, '\0') : std::string(pieces[k]);
        }
        for (const char* kind : {"XML", "VXML"}) {
            Doc doc(kind, page, round % 2 ? DOMImpl::JSP_10 : DOMImpl::JSP_NONE);
            ASSERT_TRUE(doc.roundTrips()) << kind << ": " << page;
        }
    }
}

TEST(XMLParser, DeepAndWideDocumentsReadInLinearWork)
{
    // 100,000 levels: read, written, copied and released without recursion.
    const int depth = 100000;
    std::string deep;
    for (int i = 0; i < depth; ++i)
        deep += "<d>";
    deep += "x";
    for (int i = 0; i < depth; ++i)
        deep += "</d>";
    Doc doc("XML", deep);
    EXPECT_TRUE(doc.roundTrips());
    Node* copy = doc.doc->cloneNode(true);
    EXPECT_EQ(deep, copy->getChildSource());
    copy->releaseRef();

    // Stray end tags under a deep chain, and the chain left open.
    std::string stray;
    for (int i = 0; i < depth; ++i)
        stray += "<e>";
    for (int i = 0; i < depth; ++i)
        stray += "</f>";
    Doc strays("XML", stray);
    EXPECT_TRUE(strays.roundTrips());

    // Many siblings, many attributes, one long text.
    std::string wide = "<w>";
    for (int i = 0; i < depth; ++i)
        wide += "<i/>";
    wide += "<t";
    for (int i = 0; i < 20000; ++i)
        wide += " a" + std::to_string(i) + "='" + std::to_string(i) + "'";
    wide += ">" + std::string(1000000, 'x') + "</t></w>";
    Doc wideDoc("XML", wide);
    EXPECT_TRUE(wideDoc.roundTrips());
    EXPECT_EQ(static_cast<unsigned long>(depth + 1), firstNamed(wideDoc.doc, "w")->getChildLength());
    EXPECT_EQ("19999", firstNamed(wideDoc.doc, "t")->getAttribute("a19999"));
}
