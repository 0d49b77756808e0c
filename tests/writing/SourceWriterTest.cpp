// What an edit does to the written page: only the touched tags and texts are
// produced again, under the formatting options; everything else keeps its
// bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "dom.h"

namespace {

struct Page {
    explicit Page(const std::string& text, DOMImpl::JSPVersion version = DOMImpl::JSP_NONE)
        : doc(DOMImpl::createDocument("HTML", version))
    {
        doc->createNodes(text.data(), static_cast<unsigned long>(text.size()), nullptr);
    }
    ~Page() { doc->releaseRef(); }

    Element* first(const std::string& name) const
    {
        dom::NodeList list = doc->getHTMLElement()->getElementsByTagName(name);
        return list.length() ? static_cast<Element*>(list.item(0)) : nullptr;
    }

    Document* doc;
};

// Restores the process-wide formatting options after a test changes them.
struct Options {
    Options() : saved(*DOMImpl::getFormatOption()) {}
    ~Options() { *DOMImpl::getFormatOption() = saved; }
    DOMImpl::FormatOption* operator->() { return DOMImpl::getFormatOption(); }
    DOMImpl::FormatOption saved;
};

TEST(SourceWriter, AnEditRegeneratesOnlyWhatItTouched)
{
    Page page("<body>\r\n<p class=x>Some <b>bold</b>  text</p>\r\n<div>kept</div></body>");
    Element* p = page.first("p");
    p->setAttribute("id", "intro");
    // The start tag is produced again from the element: declared name, the
    // attributes in order, quoted; the children and the rest keep their bytes.
    EXPECT_EQ("<body>\r\n<P class=\"x\" id=\"intro\">Some <b>bold</b>  text</p>\r\n<div>kept</div></body>",
              page.doc->getSource());

    // New text is written from its data, references and all.
    Text* text = page.doc->createTextNode("a \x1b<b\x1b>\x1b\xa0" "c");
    page.first("div")->appendChild(text);
    EXPECT_EQ("<div>kepta &lt;b&gt;&nbsp;c</div>",
              page.first("div")->getSource());
}

TEST(SourceWriter, GeneratedTagsFollowTheElementType)
{
    Page page("<p>x");
    Document* doc = page.doc;
    Element* p = doc->createElement("p");
    p->appendChild(doc->createTextNode("y"));
    // P may leave its end tag out in an HTML-format document...
    EXPECT_EQ("<P>y", p->getSource());
    p->releaseRef();
    // ...but not in the lower-case XML-style format.
    doc->FormatType(Document::XML_STYLE_FORMAT);
    Element* q = doc->createElement("P");
    q->appendChild(doc->createTextNode("y"));
    EXPECT_EQ("<p>y</p>", q->getSource());
    Element* br = doc->createElement("BR");
    EXPECT_EQ("<br />", br->getSource());
    q->releaseRef();
    br->releaseRef();
}

TEST(SourceWriter, AttributeTextAndQuotes)
{
    Page page("<p>x");
    Element* input = page.doc->createElement("INPUT");
    input->setAttribute("value", "say \"hi\"");
    input->setAttribute("title", "it's \"both\" <%= \"jsp\" %>");
    Attr* checked = page.doc->createAttribute("checked");
    input->setAttributeNode(checked);
    EXPECT_EQ("<INPUT value='say \"hi\"' title=\"it's &quot;both&quot; <%= \"jsp\" %>\" checked>",
              input->getSource());
    input->releaseRef();
}

TEST(SourceWriter, CaseOptions)
{
    Options options;
    options->setTagNameCaseType(DOMImpl::FormatOption::CASE_LOWER);
    options->setAttrNameCaseType(DOMImpl::FormatOption::CASE_UPPER);
    options->setAttrValueCaseType(DOMImpl::FormatOption::CASE_LOWER);
    Page page("<p>x");
    Element* td = page.doc->createElement("TD");
    td->setAttribute("Align", "CENTER");
    td->setAttribute("class", "Keep");
    EXPECT_EQ("<td ALIGN=\"center\" CLASS=\"Keep\">", td->getStartTag());
    td->releaseRef();
}

TEST(SourceWriter, ScriptElementsAndIncludes)
{
    Page page("<p><%= a %>", DOMImpl::JSP_10);
    Element* expr = page.first("jsp:expression");
    ASSERT_NE(expr, nullptr);
    expr->setJSPScriptData("name");
    expr->formatSource();
    EXPECT_EQ("<%= name %>", expr->getSource());

    Element* include = page.doc->createElement("ssi:include");
    include->setAttribute("file", "top.html");
    EXPECT_EQ("<!--#include file=\"top.html\" -->", include->getSource());
    include->releaseRef();
}

TEST(SourceWriter, CharacterDataRegenerates)
{
    Page page("<p>x");
    Document* doc = page.doc;
    Comment* c = doc->createComment("a--b-");
    EXPECT_EQ("<!--a- -b- -->", c->getSource());
    c->setJSPFormat(true);
    EXPECT_EQ("<%--a--b---%>", c->getSource());
    ProcessingInstruction* pi = doc->createProcessingInstruction("xml", "version=\"1.0\"");
    pi->setAttribute("encoding", "UTF-8");
    EXPECT_EQ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", pi->getSource());
    CDATASection* cdata = doc->createCDATASection("a<b");
    EXPECT_EQ("<![CDATA[a<b]]>", cdata->getSource());
    EntityReference* ref = doc->createEntityReference("copy");
    EXPECT_EQ("&copy;", ref->getSource());
    for (Node* n : std::initializer_list<Node*>{c, pi, cdata, ref})
        n->releaseRef();
}

} // namespace

namespace {

TEST(SourceWriter, FormattingRegeneratesTagsAndWrapsText)
{
    Options options;
    options->setTagNameCaseType(DOMImpl::FormatOption::CASE_LOWER);
    options->setColumnLimit(20);
    Page page("<UL><LI>one two three four five six seven eight</UL>");
    page.doc->formatSource();
    // The column counts from the start of the text; UL indents its content.
    EXPECT_EQ("<ul>\r\n  <li>one two three four five\r\n  six seven eight</ul>", page.doc->getSource());

    // Plain elements keep their text as it is.
    Page pre("<PRE>one two three four five six seven eight</PRE>");
    pre.doc->formatSource();
    EXPECT_EQ("<pre>one two three four five six seven eight</pre>", pre.doc->getSource());
}

TEST(SourceWriter, FormattingAnXMLStyleTreeIndentsIt)
{
    Document* doc = DOMImpl::createDocument("list");
    Element* list = doc->createElement("list");
    doc->appendChild(list);
    for (const char* name : {"a", "b"}) {
        Element* item = doc->createElement("item");
        item->appendChild(doc->createTextNode(name));
        list->appendChild(item);
    }
    doc->formatSource();
    EXPECT_EQ("<list>\r\n  <item>a</item>\r\n  <item>b</item>\r\n</list>", doc->getSource());
    doc->releaseRef();
}

} // namespace

// An unchanged document writes back the page it read in one copy; any change
// anywhere in its tree, however it is made, must end that, so that the
// written page always shows the change.
TEST(SourceWriter, AnUnchangedDocumentWritesItsPageUntilAnythingChanges)
{
    const std::string text =
        "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\">\r\n<html><head><title>T</title></head>\n"
        "<body bgcolor=white><!-- note --><p class=x>Some <b>bold</b>  text &amp; more\n"
        "<table><tr><td>cell</table><%= user %><br></body></html>";

    struct Edit {
        const char* what;
        void (*apply)(Page&);
    };
    const Edit edits[] = {
        {"text data", [](Page& p) { static_cast<Text*>(p.first("b")->getFirstChild())->setData("heavy"); }},
        {"text insert", [](Page& p) {
             static_cast<Text*>(p.first("b")->getFirstChild())->insert(1, "x", false, Text::SPACE_NORMAL);
         }},
        {"attribute value", [](Page& p) { p.first("p")->getAttributeNode("class")->setValue("y"); }},
        {"new attribute", [](Page& p) { p.first("td")->setAttribute("align", "left"); }},
        {"removed attribute", [](Page& p) { p.first("body")->removeAttribute("bgcolor"); }},
        {"removed element", [](Page& p) {
             Element* b = p.first("b");
             b->getParentNode()->removeChild(b)->releaseRef();
         }},
        {"appended element", [](Page& p) { p.first("td")->appendChild(p.doc->createElement("BR")); }},
        {"stored start tag", [](Page& p) { p.first("table")->setStartTag("<table border=1>"); }},
        {"omitted tags", [](Page& p) { p.first("b")->omitTag(); }},
        {"formatted element", [](Page& p) { p.first("p")->formatSource(); }},
        {"formatted text", [](Page& p) { p.first("b")->getNextSibling()->formatSource(); }},
        {"comment", [](Page& p) {
             Node* c = p.first("body")->getFirstChild();
             ASSERT_EQ(Node::COMMENT_NODE, c->getNodeType());
             static_cast<Comment*>(c)->setData(" changed ");
             c->formatSource();
         }},
        {"script text", [](Page& p) {
             Node* n = p.doc;
             while (n && !(n->getNodeType() == Node::ELEMENT_NODE &&
                           static_cast<Element*>(n)->getStartTag() == "<%="))
                 n = n->getNextNode(p.doc);
             ASSERT_TRUE(n);
             ASSERT_TRUE(n->getFirstChild());
             static_cast<CharacterData*>(n->getFirstChild())->setData(" other ");
             n->getFirstChild()->formatSource();
         }},
        {"parse into an element", [](Page& p) {
             p.doc->createNodes("<i>new</i>", 10, p.first("td"));
         }},
        {"moved to another document", [](Page& p) {
             Page other("<p>elsewhere</p>");
             Element* b = p.first("b");
             other.first("p")->appendChild(b->getParentNode()->removeChild(b));
             EXPECT_EQ(other.doc->getChildSource(), other.doc->getSource());
         }},
    };
    for (const Edit& edit : edits) {
        Page page(text);
        ASSERT_EQ(text, page.doc->getSource());
        edit.apply(page);
        const std::string written = page.doc->getSource();
        EXPECT_NE(text, written) << edit.what;
        EXPECT_EQ(page.doc->getChildSource(), written) << edit.what;
    }

    // Reading the tree changes nothing: the page is still what is written.
    Page page(text);
    page.first("p")->getAttributes();
    page.first("td")->getElementsByTagName("b");
    page.doc->cloneNode(true)->releaseRef();
    EXPECT_EQ(text, page.doc->getSource());
    EXPECT_EQ(text, page.doc->getChildSource());
}

namespace {

// The page a tree writes, put together node by node from each element's
// tags and every other node's source (for pages without metadata): what
// every write of the document must agree with, whatever it copies whole.
std::string nodeByNode(const Node* root)
{
    std::string out;
    std::vector<std::pair<const Node*, bool>> stack;  // node, children done
    for (const Node* c = root->getLastChild(); c; c = c->getPreviousSibling())
        stack.emplace_back(c, false);
    while (!stack.empty()) {
        auto [node, done] = stack.back();
        stack.pop_back();
        if (node->getNodeType() != Node::ELEMENT_NODE) {
            out += node->getSource();
            continue;
        }
        const Element* e = static_cast<const Element*>(node);
        if (done) {
            out += e->getEndTag();
            continue;
        }
        out += e->getStartTag();
        stack.emplace_back(node, true);
        for (const Node* c = node->getLastChild(); c; c = c->getPreviousSibling())
            stack.emplace_back(c, false);
    }
    return out;
}

// Every text node of a document, in document order.
std::vector<Text*> allTexts(Document* doc)
{
    std::vector<Text*> texts;
    for (Node* n = doc->getFirstChild(); n; n = n->getNextNode(doc))
        if (n->getNodeType() == Node::TEXT_NODE)
            texts.push_back(static_cast<Text*>(n));
    return texts;
}

// A page whose parts the reader puts together in many ways: implied and
// left-out tags, end tags of another case or closing nothing, text the
// reader moves out of a table, server code, references and comments.
const std::string MIXED_PAGE =
    "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\n"
    "<html><head><title>Shop &amp; more</title>\n"
    "<script>if (a < b) { go(); }</script></head>\n"
    "<body bgcolor=white><!-- top -->\n"
    "<p class=x>Some <b>bold <i>and</b> italic</i> text &eacute; here\n"
    "<table border=1>stray words<tr><td>one<td>two</TD></tr>\n"
    "<tr><th>three</table></span>\n"
    "<ul><li>first<li>second <%= user %></ul>\n"
    "<pre>  kept   as is </pre><!--#include file=\"x.inc\" -->\n"
    "<form><select><option>a<option selected>b</select></form>\n"
    "<div><div><div>deep <em>down</em></div></div> after</div>tail</body></html>\n";

} // namespace

namespace {

// Every node of a tree in document order.
std::vector<Node*> allNodes(Document* doc)
{
    std::vector<Node*> nodes;
    for (Node* n = doc->getFirstChild(); n; n = n->getNextNode(doc))
        nodes.push_back(n);
    return nodes;
}

} // namespace

// Edits of every kind, at random places of random pages, one after another:
// after each, the document writes exactly what its tree writes, so that no
// edit is ever hidden behind the page the document kept.
TEST(SourceWriter, EditsAnywhereAlwaysShowInTheWrittenPage)
{
    const char* pieces[] = {"<p class=x>", "text ", "<b>bold</b>", "<a href='u'>link</a>", "<br>",
                            "<!-- c -->", "&amp;", "<table><tr><td>cell</table>", "<%= x %>", "\r\n",
                            "<ul><li>one<li>two</ul>", "<pre> keep  </pre>", "<img src=a.gif alt=\"\">"};
    std::mt19937 random(7122026);
    auto pick = [&random](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    for (int round = 0; round < 300; ++round) {
        std::string text;
        for (int i = 1 + static_cast<int>(pick(16)); i > 0; --i)
            text += pieces[pick(sizeof pieces / sizeof *pieces)];
        Page page(text);
        Document* doc = page.doc;
        for (int step = 0; step < 4; ++step) {
            std::vector<Node*> nodes = allNodes(doc);
            if (nodes.empty())
                break;
            Node* n = nodes[pick(nodes.size())];
            Element* e = n->getNodeType() == Node::ELEMENT_NODE ? static_cast<Element*>(n) : nullptr;
            Text* t = n->getNodeType() == Node::TEXT_NODE ? static_cast<Text*>(n) : nullptr;
            switch (pick(10)) {
            case 0:
                if (t)
                    t->setData("new");
                break;
            case 1:
                if (t)
                    t->insert(0, "ab", false, Text::SPACE_NORMAL);
                break;
            case 2:
                if (e)
                    e->setAttribute("id", "i" + std::to_string(step));
                break;
            case 3:
                if (n->getParentNode())
                    n->getParentNode()->removeChild(n)->releaseRef();
                break;
            case 4:
                if (e)
                    e->appendChild(doc->createTextNode("added"));
                break;
            case 5:
                n->formatSource();
                break;
            case 6:
                if (e)
                    e->omitTag();
                break;
            case 7:
                if (e && e->hasAttributes())
                    e->removeAttribute(static_cast<Attr*>(e->getAttrNodes().item(0))->getName());
                break;
            case 8:
                if (e)
                    doc->createNodes("<i>x</i>", 8, e);
                break;
            default:
                doc->normalize();
                break;
            }
            ASSERT_EQ(doc->getChildSource(), doc->getSource()) << text << " step " << step;
            ASSERT_EQ(nodeByNode(doc), doc->getSource()) << text << " step " << step;
        }
    }
}

// Stored texts are pieces of the page the document read; nodes kept after
// the document is gone keep those pieces alive.
TEST(SourceWriter, NodesKeepTheirTextsAfterTheirDocumentGoes)
{
    const std::string text = "<p class=\"intro\">Some words</p><table><tr><td>cell</table>";
    Document* doc = DOMImpl::createDocument("HTML", DOMImpl::JSP_NONE);
    doc->createNodes(text.data(), static_cast<unsigned long>(text.size()), nullptr);
    Element* p = static_cast<Element*>(doc->getHTMLElement()->getElementsByTagName("p").item(0));
    Element* table = static_cast<Element*>(doc->getHTMLElement()->getElementsByTagName("table").item(0));
    ASSERT_TRUE(p && table);
    p->addRef();
    table->getParentNode()->removeChild(table);
    doc->releaseRef();
    EXPECT_EQ("<p class=\"intro\">Some words</p>", p->getSource());
    EXPECT_EQ("intro", p->getAttribute("class"));
    EXPECT_EQ("<table><tr><td>cell</table>", table->getSource());
    p->releaseRef();
    table->releaseRef();
}

// Most end tags repeat the start tag's name and are kept as a mark; they
// must still come back as written when the start tag changes, when their
// case differs, and in copies.
TEST(SourceWriter, EndTagsKeepTheirTextWhenTheStartTagChanges)
{
    const std::string text = "<p>a <B class=x>bold</B> <i >it</I> <jsp:include page=\"x\"></jsp:include> "
                             "<u\n>u</u >.</p>";
    Page page(text, DOMImpl::JSP_10);
    EXPECT_EQ(text, page.doc->getChildSource());
    Element* b = page.first("b");
    Element* i = page.first("i");
    Element* u = page.first("u");
    ASSERT_TRUE(b && i && u);
    EXPECT_EQ("</B>", b->getEndTag());
    EXPECT_EQ("</I>", i->getEndTag());
    EXPECT_EQ("</u >", u->getEndTag());
    EXPECT_TRUE(b->hasEndTag());

    Element* copy = static_cast<Element*>(b->cloneNode(true));
    b->setStartTag("<STRONG>");
    EXPECT_EQ("</B>", b->getEndTag());
    EXPECT_EQ("<B class=x>bold</B>", copy->getSource());
    copy->releaseRef();

    i->setEndTag("</i>");
    i->setStartTag("<I title=t>");
    EXPECT_EQ("<I title=t>it</i>", i->getSource());
    u->omitTag();
    EXPECT_FALSE(u->hasEndTag());
    EXPECT_EQ("u", u->getSource());
    EXPECT_EQ("<p>a <STRONG>bold</B> <I title=t>it</i> <jsp:include page=\"x\"></jsp:include> u.</p>",
              page.doc->getSource());

    // A regenerated start tag leaves a read end tag alone; a regenerated end
    // tag follows the element's name.
    Page again("<p><b>x</b></p>");
    Element* bold = again.first("b");
    bold->setAttribute("id", "n");
    EXPECT_EQ("</b>", bold->getEndTag());
    EXPECT_NE(std::string::npos, bold->getStartTag().find("id"));
    bold->formatSource();
    const std::string end = bold->getEndTag();
    EXPECT_TRUE(end == "</b>" || end == "</B>") << end;
    const std::string written = bold->getSource();
    EXPECT_EQ(end, written.substr(written.size() - end.size()));
}


// After the first write a document copies its unchanged subtrees whole from
// the page it read; an edit anywhere in one of them must still show, and
// the subtrees around it must still be the page's bytes.
TEST(SourceWriter, UnchangedSubtreesAreCopiedWholeAndEditsInsideThemStillShow)
{
    const std::size_t count = [] {
        Page page(MIXED_PAGE, DOMImpl::JSP_10);
        return allTexts(page.doc).size();
    }();
    ASSERT_GT(count, 20u);
    for (std::size_t i = 0; i < count; ++i) {
        Page page(MIXED_PAGE, DOMImpl::JSP_10);
        Document* doc = page.doc;
        ASSERT_EQ(MIXED_PAGE, doc->getChildSource());
        std::vector<Text*> texts = allTexts(doc);
        ASSERT_EQ(count, texts.size());
        // One typed character, then another one elsewhere: each write
        // after a write that copied the rest.
        texts[i]->insert(texts[i]->getLength() / 2, "x", false, Text::SPACE_NORMAL);
        std::string expected = nodeByNode(doc);
        EXPECT_NE(MIXED_PAGE, expected) << i;
        EXPECT_EQ(expected, doc->getSource()) << i;
        EXPECT_EQ(expected, doc->getChildSource()) << i;
        Text* other = texts[(i * 7 + 3) % count];
        other->insert(0, "y", false, Text::SPACE_NORMAL);
        expected = nodeByNode(doc);
        EXPECT_EQ(expected, doc->getSource()) << i;
        // An element's own source agrees with its node-by-node text too.
        for (Node* n = other->getParentNode(); n && n != doc; n = n->getParentNode()) {
            const Element* e = static_cast<const Element*>(n);
            EXPECT_EQ(e->getStartTag() + nodeByNode(e) + e->getEndTag(), e->getSource()) << i;
        }
    }
}

// A subtree that was copied whole keeps writing its own bytes wherever it
// goes: moved in the page, into another document, into its document after
// that has read another page, or copied.
TEST(SourceWriter, CopiedSubtreesWriteTheirOwnBytesWhereverTheyGo)
{
    Page page(MIXED_PAGE, DOMImpl::JSP_10);
    Document* doc = page.doc;
    ASSERT_EQ(MIXED_PAGE, doc->getChildSource());
    Element* table = page.first("table");
    Element* list = page.first("ul");
    ASSERT_TRUE(table && list);
    const std::string tableText = table->getSource();
    const std::string listText = list->getSource();
    EXPECT_EQ("<ul><li>first<li>second <%= user %></ul>", listText);

    // Moved to the end of the body.
    list->getParentNode()->appendChild(list->getParentNode()->removeChild(list));
    EXPECT_EQ(nodeByNode(doc), doc->getSource());
    EXPECT_NE(std::string::npos, doc->getSource().find("tail" + listText + "</body>"));

    // Moved into another document.
    Page other("<p>elsewhere</p>");
    other.first("p")->appendChild(table->getParentNode()->removeChild(table));
    EXPECT_EQ("<p>elsewhere" + tableText + "</p>", other.doc->getSource());
    EXPECT_EQ(nodeByNode(doc), doc->getSource());

    // Copied, then the original edited: each writes its own text.
    Element* copy = static_cast<Element*>(list->cloneNode(true));
    static_cast<Text*>(list->getFirstChild()->getFirstChild())->insert(0, "z", false, Text::SPACE_NORMAL);
    EXPECT_EQ(listText, copy->getSource());
    EXPECT_EQ("<ul><li>zfirst<li>second <%= user %></ul>", list->getSource());
    copy->releaseRef();

    // Kept over a new page read into its document, then put back.
    Element* pre = page.first("pre");
    ASSERT_TRUE(pre);
    pre->addRef();
    pre->getParentNode()->removeChild(pre)->releaseRef();
    const std::string next = "<html><body><p>another page with other bytes</body></html>";
    doc->createNodes(next.data(), static_cast<unsigned long>(next.size()), nullptr);
    EXPECT_EQ(next, doc->getChildSource());
    page.first("p")->appendChild(pre);
    EXPECT_EQ("<html><body><p>another page with other bytes<pre>  kept   as is </pre></body></html>",
              doc->getSource());
}

// Elements with metadata write their comments by where they stand; copying
// the page around them, and editing next to them, keeps every byte.
TEST(SourceWriter, MetadataSpansStayByteForByteAroundCopiedSubtrees)
{
    const std::string span = "<!--METADATA type=\"DynamicData\" startspan\r\n"
                             "  <TABLE dynamicelement border=1><TR><TD>x</TD></TR></TABLE>\r\n"
                             "-->RUN<%= a %>TIME<!--METADATA type=\"DynamicData\" endspan-->";
    const std::string text = "<html><body><div class=outer><p>before words</p>" + span +
                             "<p>after words</p></div><div>other words</div></body></html>";
    for (const char* word : {"before", "after", "other"}) {
        Page page(text, DOMImpl::JSP_10);
        ASSERT_EQ(text, page.doc->getChildSource());
        for (Text* t : allTexts(page.doc)) {
            if (t->getData().compare(0, std::strlen(word), word) == 0)
                t->insert(0, "x", false, Text::SPACE_NORMAL);
        }
        std::string expected = text;
        expected.insert(expected.find(word), "x");
        EXPECT_EQ(expected, page.doc->getSource()) << word;
        EXPECT_EQ(expected, page.doc->getSource()) << word;
    }

    // The outer DIV gets metadata of its own after a write: the span inside
    // it is then written inside the DIV's comments, as a tree that was
    // never written before writes it.
    auto withOuterMetaData = [&text](bool writtenBefore) {
        Page page(text, DOMImpl::JSP_10);
        if (writtenBefore) {
            EXPECT_EQ(text, page.doc->getChildSource());
        }
        Element* outer = page.first("div");
        EXPECT_TRUE(outer && !outer->getMetaData());
        if (!outer)
            return std::string();
        MetaData* meta = new MetaData(page.doc);
        meta->addRef();
        outer->setMetaData(meta);
        meta->releaseRef();
        return page.doc->getSource();
    };
    const std::string fresh = withOuterMetaData(false);
    EXPECT_NE(text, fresh);
    EXPECT_EQ(fresh, withOuterMetaData(true));
}

// A page nested 100,000 deep is written after an edit at its bottom
// without recursion, and the unchanged rest comes back exactly.
TEST(SourceWriter, ADeepPageWritesAfterAnEditAtItsBottom)
{
    const int depth = 100000;
    std::string open, close;
    for (int i = 0; i < depth; ++i) {
        open += "<div>";
        close += "</div>";
    }
    const std::string text = "<p>top</p>" + open + "bottom" + close + "<p>end</p>";
    Page page(text);
    ASSERT_EQ(text, page.doc->getChildSource());
    std::vector<Text*> texts = allTexts(page.doc);
    ASSERT_EQ(3u, texts.size());
    texts[1]->insert(0, "x", false, Text::SPACE_NORMAL);
    EXPECT_EQ("<p>top</p>" + open + "xbottom" + close + "<p>end</p>", page.doc->getSource());
    texts[2]->insert(0, "y", false, Text::SPACE_NORMAL);
    EXPECT_EQ("<p>top</p>" + open + "xbottom" + close + "<p>yend</p>", page.doc->getSource());
}
