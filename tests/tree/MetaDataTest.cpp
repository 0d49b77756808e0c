// Page metadata: METADATA spans read into elements with metadata, written
// back byte for byte, edited, converted, and the document's beans and
// metadata states.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "dom.h"

namespace {

struct Page {
    explicit Page(const std::string& source, DOMImpl::JSPVersion version = DOMImpl::JSP_10)
        : text(source), doc(DOMImpl::createDocument("HTML", version))
    {
        doc->createNodes(source.data(), static_cast<unsigned long>(source.size()), nullptr);
    }
    ~Page() { doc->releaseRef(); }

    // Both the kept page and the tree written node by node.
    bool roundTrips() const { return doc->getSource() == text && doc->getChildSource() == text; }

    // The first element named name (ignoring case), in document order.
    Element* first(const std::string& name) const
    {
        for (Node* n = doc->getFirstChild(); n; n = n->getNextNode(doc))
            if (n->getNodeType() == Node::ELEMENT_NODE && upper(n->getNodeName()) == upper(name))
                return static_cast<Element*>(n);
        return nullptr;
    }
    int count(unsigned short type) const
    {
        int n = 0;
        for (Node* node = doc->getFirstChild(); node; node = node->getNextNode(doc))
            n += node->getNodeType() == type;
        return n;
    }
    static std::string upper(std::string s)
    {
        for (char& c : s)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return s;
    }

    std::string text;
    Document* doc;
};

const std::string TABLE_SPAN = "<!--METADATA type=\"DynamicData\" startspan\r\n"
                               "  <TABLE dynamicelement border=1><TR><TD>x</TD></TR></TABLE>\r\n"
                               "-->RUN<%= a %>TIME<!--METADATA type=\"DynamicData\" endspan-->";

std::vector<std::string> beanList(const Document* doc)
{
    std::vector<std::string> out;
    void* handle = nullptr;
    doc->getBeanListBegin(handle);
    const char* id = nullptr;
    const char* className = nullptr;
    while (doc->getBeanListNext(handle, id, className))
        out.push_back(std::string(id) + "=" + className);
    doc->getBeanListEnd(handle);
    EXPECT_EQ(nullptr, handle);
    EXPECT_FALSE(doc->getBeanListNext(handle, id, className));
    return out;
}

// A dynamic object as a host or a generator would write one: a guarded loop
// around the run-time text of the element's children.  Counts its calls and
// references and says when it is deleted.
class LoopObject : public DynamicData {
public:
    explicit LoopObject(bool* deleted) : _deleted(deleted) {}
    ~LoopObject() override { *_deleted = true; }
    void generateRuntimeText(MetaData* metaData, std::string& out, RuntimeTextState& state) override
    {
        ++calls;
        out += "<% for (int i = 0; i < n; i++) {";
        state.scriptletOpen = true;
        ++state.indent;
        MetaData::appendChildrenRuntimeText(metaData->getOwnerElement(), out, state);
        --state.indent;
        if (!state.scriptletOpen)
            out += "<%";
        out += " }";
        state.scriptletOpen = true;
    }
    int addRef() override { return ++references; }
    int release() override { return --references; }

    int calls = 0;
    int references = 0;

private:
    bool* _deleted;
};

// A dynamic object that produces a fixed text.
class FixedObject : public DynamicData {
public:
    explicit FixedObject(std::string text) : _text(std::move(text)) {}
    void generateRuntimeText(MetaData*, std::string& out, RuntimeTextState&) override { out += _text; }
    int addRef() override { return ++_references; }
    int release() override { return --_references; }

private:
    std::string _text;
    int _references = 0;
};

// A host's designer: stores the run-time text of its control.
class Designer : public DesignerObject {
public:
    void update(MetaData* metaData) override
    {
        ++calls;
        metaData->setRuntimeData("<APPLET code=\"v" + std::to_string(calls) + "\"></APPLET>");
    }
    int calls = 0;
};

} // namespace

TEST(MetaData, SpansOfEveryTypeBecomeTheirElementsMetadataAndWriteBackByteForByte)
{
    const std::string page = "<html><body>\r\n  " + TABLE_SPAN +
                             "\r\n<%-- metadata TYPE=designercontrol StartSpan\n"
                             "<OBJECT dtc classid=\"clsid:1\"><PARAM name=a value=b></OBJECT>\n"
                             "--%><APPLET code=x></APPLET><%--METADATA type=\"DesignerControl\" endspan--%>\r\n"
                             "<%--METADATA type=AuthorTimeVisual startspan\r\n"
                             "<QRTX:ATV fonttext=\"Name\"><%= user.getName() %></QRTX:ATV>\r\n"
                             "--%><%= user.getName() %><%--METADATA type=\"AuthorTimeVisual\" endspan--%>"
                             "</body></html>";
    Page p(page);
    EXPECT_TRUE(p.roundTrips());
    // The table's span is in the HTML form, which a JSP 1.0 page saves anew.
    EXPECT_TRUE(p.doc->isMetaDataRevised());
    EXPECT_EQ(0, p.count(Node::META_DATA_NODE));

    Element* table = p.first("TABLE");
    ASSERT_TRUE(table && table->getMetaData());
    MetaData* meta = table->getMetaData();
    EXPECT_EQ(MetaData::DynamicData, meta->getType());
    EXPECT_EQ("RUN<%= a %>TIME", meta->getRuntimeData());
    EXPECT_EQ("<!--METADATA type=\"DynamicData\" endspan-->", meta->getMetaEnd());
    EXPECT_FALSE(meta->isRevised());
    // The element's source lies inside the start comment after the head and
    // the indentation.
    const std::string tableSource = "<TABLE dynamicelement border=1><TR><TD>x</TD></TR></TABLE>";
    EXPECT_EQ(tableSource, meta->getMetaStart().substr(meta->getMetaOffset(), meta->getMetaLength()));
    EXPECT_EQ("<!--METADATA type=\"DynamicData\" startspan\r\n  ", meta->getStartHead());
    EXPECT_EQ(meta->getStartHead(), table->getMetaStartSource());
    EXPECT_EQ("\r\n-->RUN<%= a %>TIME<!--METADATA type=\"DynamicData\" endspan-->", table->getMetaEndSource());
    EXPECT_EQ(TABLE_SPAN, table->getSource());

    Element* object = p.first("OBJECT");
    ASSERT_TRUE(object && object->getMetaData());
    EXPECT_EQ(MetaData::DesignerControl, object->getMetaData()->getType());
    EXPECT_TRUE(object->isDTC());
    EXPECT_TRUE(object->isActiveX());
    // The run-time text's APPLET is no node of the tree: it lives in the span.
    EXPECT_EQ(nullptr, p.first("APPLET"));

    // The author-time visual's element holds the JSP expression it shows.
    Element* expression = p.first("jsp:expression");
    ASSERT_TRUE(expression && expression->getMetaData());
    EXPECT_EQ(MetaData::AuthorTimeVisual, expression->getMetaData()->getType());
    ASSERT_TRUE(expression->getATV());
    EXPECT_EQ("QRTX:ATV", expression->getATV()->getNodeName());
    EXPECT_EQ(nullptr, p.first("QRTX:ATV"));

    // The design form: each element as its start comment holds it, without
    // comments or run-time text; the visual's element around its element.
    const std::string design = p.doc->getDesignSource(true);
    EXPECT_EQ("<html><body>\r\n  " + tableSource + "\r\n" +
                  "<OBJECT dtc classid=\"clsid:1\"><PARAM name=a value=b></OBJECT>\r\n"
                  "<QRTX:ATV fonttext=\"Name\"><%= user.getName() %></QRTX:ATV></body></html>",
              design);
    EXPECT_EQ(tableSource, table->getDesignSource(false));
    EXPECT_EQ("<TR><TD>x</TD></TR>", table->getDesignSource(true));
    EXPECT_TRUE(p.roundTrips());
}

TEST(MetaData, CommentsThatOpenNoSpanStayOrdinaryCommentsAndNoByteIsLost)
{
    const char* pages[] = {
        // No "startspan" on the first line.
        "<!--METADATA type=\"DynamicData\"\r\nstartspan <TABLE dynamicelement></TABLE>\r\n-->x"
        "<!--METADATA type=\"DynamicData\" endspan-->",
        // No line break: no start comment.
        "<!--METADATA type=\"DynamicData\" startspan--><!--METADATA type=\"DynamicData\" endspan-->",
        // The end comment names another type.
        "<!--METADATA type=\"DynamicData\" startspan\r\n<TABLE dynamicelement></TABLE>\r\n-->x"
        "<!--METADATA type=\"DesignerControl\" endspan-->",
        // A type that is none of the three.
        "<!--METADATA type=\"Other\" startspan\r\n<OBJECT dtc></OBJECT>\r\n-->x<!--METADATA type=\"Other\" endspan-->",
        // No end comment at all, and one never closed.
        "<p><!--METADATA type=\"DesignerControl\" startspan\r\n<OBJECT dtc></OBJECT>\r\n--> text",
        "<!--METADATA type=\"DesignerControl\" startspan\r\n<OBJECT dtc></OBJECT>",
        // An end comment without its start.
        "<p>a<!--METADATA type=\"DynamicData\" endspan-->b",
    };
    for (const char* text : pages) {
        Page p(text, DOMImpl::JSP_091);
        EXPECT_TRUE(p.roundTrips()) << text;
        EXPECT_EQ(nullptr, p.first("OBJECT") ? p.first("OBJECT")->getMetaData() : nullptr) << text;
        EXPECT_GE(p.count(Node::COMMENT_NODE), 1) << text;
    }
    // A span whose start comment holds no element of its type goes back to
    // comments and the nodes of its run-time text.
    Page none("<body><!--METADATA type=\"DesignerControl\" startspan\r\n<b>bold</b>\r\n-->"
              "<i>run</i> time<!--METADATA type=\"DesignerControl\" endspan--></body>",
              DOMImpl::JSP_091);
    EXPECT_TRUE(none.roundTrips());
    EXPECT_EQ(2, none.count(Node::COMMENT_NODE));
    ASSERT_TRUE(none.first("I"));
    EXPECT_EQ(nullptr, none.first("B"));
    EXPECT_EQ(0, none.count(Node::META_DATA_NODE));
}

TEST(MetaData, AnEditInsideASpanRegeneratesOnlyThatElementAndItsComments)
{
    const std::string before = "<html><body><p>intro</p>\r\n  ";
    const std::string other = "<!--METADATA type=\"DesignerControl\" startspan\r\n<OBJECT dtc></OBJECT>\r\n-->"
                              "rt<!--METADATA type=\"DesignerControl\" endspan-->";
    const std::string after = "<p>outro</p></body></html>";
    Page p(before + TABLE_SPAN + other + after, DOMImpl::JSP_091);
    ASSERT_TRUE(p.roundTrips());
    p.doc->enableRecord(true);
    p.doc->endUpdate();
    Element* td = p.first("TD");
    static_cast<Text*>(td->getFirstChild())->setData("y");
    p.doc->endUpdate();
    EXPECT_TRUE(p.doc->isMetaDataRevised());
    EXPECT_TRUE(p.first("TABLE")->getMetaData()->isRevised());
    const std::string expected = before +
                                 "<!--METADATA type=\"DynamicData\" startspan\r\n  "
                                 "<TABLE dynamicelement border=1><TR><TD>y</TD></TR></TABLE>\r\n"
                                 "-->RUN<%= a %>TIME<!--METADATA type=\"DynamicData\" endspan-->" +
                                 other + after;
    EXPECT_EQ(expected, p.doc->getSource());
    EXPECT_EQ(expected, p.doc->getChildSource());

    // Undone, the page is as read again.
    p.doc->undo(0);
    EXPECT_EQ(p.text, p.doc->getSource());

    // Saved, the comments written are what the metadata keeps; read again,
    // the saved page writes back as it was saved.
    p.doc->redo(0);
    const std::string saved = p.doc->getSource();
    p.doc->resetMetaDataStateOnSave();
    EXPECT_FALSE(p.doc->isMetaDataRevised());
    EXPECT_FALSE(p.first("TABLE")->getMetaData()->isRevised());
    EXPECT_EQ(saved, p.doc->getSource());
    Page again(saved, DOMImpl::JSP_091);
    EXPECT_TRUE(again.roundTrips());
    ASSERT_TRUE(again.first("TABLE")->getMetaData());
}

TEST(MetaData, DynamicElementsAndControlsGetMetadataAndNestedOnesAreWrittenBare)
{
    // Outside any span a dynamic element and a design-time control get
    // metadata but are written as the page wrote them; once their metadata
    // is revised they are saved inside comments of their own (the JSP form
    // under JSP 1.0), and the dynamic QRTX:PROPERTY inside the table stays
    // bare.
    const std::string page = "<body>\r\n    <TABLE dynamicelement><TR><TD><QRTX:PROPERTY property=\"a.b\">"
                             "</QRTX:PROPERTY></TD></TR></TABLE><OBJECT dtc></OBJECT></body>";
    Page p(page);
    EXPECT_TRUE(p.roundTrips());
    EXPECT_FALSE(p.doc->isMetaDataRevised());
    Element* table = p.first("TABLE");
    Element* property = p.first("QRTX:PROPERTY");
    ASSERT_TRUE(table->getMetaData() && property->getMetaData() && p.first("OBJECT")->getMetaData());
    EXPECT_EQ(MetaData::DynamicData, property->getMetaData()->getType());
    EXPECT_EQ(MetaData::DesignerControl, p.first("OBJECT")->getMetaData()->getType());
    EXPECT_TRUE(property->getMetaData()->hasAncestorMetaData());
    EXPECT_EQ(table->getMetaData(), property->getMetaData()->getAncestorMetaData());
    EXPECT_EQ("", property->getMetaStartSource());
    EXPECT_EQ(page, p.doc->getChildSource());

    table->getMetaData()->setRevised(false);
    p.first("OBJECT")->getMetaData()->setRevised(false);
    const std::string written = p.doc->getSource();
    EXPECT_EQ(written, p.doc->getChildSource());
    const std::string expected =
        "<body>\r\n    <%--METADATA type=\"DynamicData\" startspan\r\n    "
        "<TABLE dynamicelement><TR><TD><QRTX:PROPERTY property=\"a.b\"></QRTX:PROPERTY></TD></TR></TABLE>\r\n"
        "--%><%--METADATA type=\"DynamicData\" endspan--%>"
        "<%--METADATA type=\"DesignerControl\" startspan\r\n<OBJECT dtc></OBJECT>\r\n--%>"
        "<%--METADATA type=\"DesignerControl\" endspan--%></body>";
    EXPECT_EQ(expected, written);
    // The saved page reads back into the same metadata and round-trips.
    Page again(written);
    EXPECT_TRUE(again.roundTrips());
    EXPECT_FALSE(again.doc->isMetaDataRevised());
    EXPECT_TRUE(again.doc->isRuntimeTextDifferent());  // no run-time text yet
    ASSERT_TRUE(again.first("QRTX:PROPERTY")->getMetaData());
    EXPECT_TRUE(again.first("OBJECT")->getMetaData());

    // A copy of an element with metadata writes the same.
    Node* copy = again.first("OBJECT")->cloneNode(true);
    EXPECT_EQ(again.first("OBJECT")->getSource(), copy->getSource());
    copy->releaseRef();

    // A span inside an element the page wrote without comments keeps its
    // comments, node by node too: the outer element writes what it holds
    // as the page wrote it.
    const std::string nested = "<TABLE dynamicelement><TR><TD><!--METADATA TYPE=\"DesignerControl\" startspan\r\n"
                               "<OBJECT dtc></OBJECT>\r\n--><!--METADATA TYPE=\"DesignerControl\" endspan--></TD></TR></TABLE>";
    Page inner(nested);
    ASSERT_TRUE(inner.first("OBJECT")->getMetaData());
    EXPECT_TRUE(inner.roundTrips());
    EXPECT_EQ(nested, inner.first("TABLE")->getSource());

    // HTML comments nest inside a JSP comment: a span in the other form
    // inside a start comment keeps its comments, and reads back so.
    const std::string crossed = "<%--METADATA type=\"DynamicData\" startspan\r\n<TABLE dynamicelement>"
                                "<!--METADATA TYPE=\"DesignerControl\" startspan\r\n<OBJECT dtc></OBJECT>\r\n-->"
                                "<!--METADATA TYPE=\"DesignerControl\" endspan--></TABLE>\r\n--%>"
                                "<%--METADATA type=\"DynamicData\" endspan--%>";
    Page mixed(crossed, DOMImpl::JSP_10);
    Element* control = mixed.first("OBJECT");
    ASSERT_TRUE(control && control->getMetaData());
    EXPECT_TRUE(mixed.roundTrips());
    EXPECT_EQ("<!--METADATA TYPE=\"DesignerControl\" startspan\r\n", control->getMetaStartSource());
    EXPECT_EQ(crossed, mixed.first("TABLE")->getSource());
}

TEST(MetaData, EditorElementsOfThePageAreConverted)
{
    // QRTX:COMMENT becomes a comment, QRTX:ATV the visual of its JSP
    // expression; a QRTX:ATV with nothing to carry it stays as written.
    Page p("<body><QRTX:COMMENT>note</QRTX:COMMENT>"
           "<QRTX:ATV fonttext=\"N\"><%= n %></QRTX:ATV>"
           "<QRTX:ATV fonttext=\"M\"><b>m</b></QRTX:ATV></body>",
           DOMImpl::JSP_091);
    EXPECT_EQ(nullptr, p.first("QRTX:COMMENT"));
    ASSERT_EQ(1, p.count(Node::COMMENT_NODE));
    Element* expression = p.first("jsp:expression");
    ASSERT_TRUE(expression && expression->getATV());
    Element* left = p.first("QRTX:ATV");
    ASSERT_TRUE(left);
    EXPECT_EQ("M", left->getAttribute("fonttext"));
    const std::string written = p.doc->getSource();
    EXPECT_NE(std::string::npos, written.find("<!--note-->"));
    EXPECT_NE(std::string::npos, written.find("<!--METADATA type=\"AuthorTimeVisual\" startspan\r\n"
                                              "<QRTX:ATV fonttext=\"N\"><%= n %></QRTX:ATV>\r\n-->"));
    EXPECT_NE(std::string::npos, written.find("<QRTX:ATV fonttext=\"M\"><b>m</b></QRTX:ATV>"));
    Page again(written, DOMImpl::JSP_091);
    EXPECT_TRUE(again.roundTrips());
}

TEST(MetaData, BeanListsFollowTheJSPVersion)
{
    const std::vector<std::string> implicit = {
        "application=javax.servlet.ServletContext", "config=javax.servlet.ServletConfig",
        "exception=java.lang.Throwable",           "out=javax.servlet.jsp.JspWriter",
        "page=java.lang.Object",                    "pageContext=javax.servlet.jsp.PageContext",
        "request=javax.servlet.http.HttpServletRequest", "response=javax.servlet.http.HttpServletResponse",
        "session=javax.servlet.http.HttpSession"};
    Page plain("<p>no beans</p>");
    EXPECT_EQ(implicit, beanList(plain.doc));

    Page page("<jsp:useBean id=\"cart\" class=\"shop.Cart\" /><jsp:useBean id=\"user\" type=\"shop.User\""
              " class=\"shop.UserImpl\" /><jsp:useBean id=\"bare\" /><jsp:useBean id=\"session\" class=\"x.S\" />");
    page.doc->addOutBoundBean("request", "my.Request");
    page.doc->addOutBoundBean("request", "ignored.Second");
    page.doc->addOutBoundBean("zeta", "my.Zeta");
    page.doc->delOutBoundBean("absent");
    std::vector<std::string> list = beanList(page.doc);
    EXPECT_EQ(12u, list.size());
    EXPECT_EQ("cart=shop.Cart", list[1]);
    EXPECT_EQ("request=my.Request", list[7]);
    EXPECT_EQ("session=x.S", list[9]);
    EXPECT_EQ("user=shop.User", list[10]);
    EXPECT_EQ("zeta=my.Zeta", list[11]);
    page.doc->delOutBoundBean("zeta");
    page.doc->delOutBoundBean("request");
    list = beanList(page.doc);
    EXPECT_EQ("request=javax.servlet.http.HttpServletRequest", list[7]);
    EXPECT_EQ(11u, list.size());

    // JSP 0.91: BEAN elements only, by VARNAME or NAME, no implicit objects.
    Page old("<BEAN NAME=\"a\" VARNAME=\"va\" TYPE=\"t.A\"></BEAN><BEAN NAME=\"b\" TYPE=\"t.B\"></BEAN>"
             "<BEAN NAME=\"c\"></BEAN><jsp:useBean id=\"u\" class=\"t.U\" />",
             DOMImpl::JSP_091);
    EXPECT_EQ((std::vector<std::string>{"b=t.B", "va=t.A"}), beanList(old.doc));
}

TEST(MetaData, RuntimeTextAndRevisedStatesFollowReadingSavingAndReloading)
{
    Page empty("<!--METADATA type=\"DesignerControl\" startspan\r\n<OBJECT dtc></OBJECT>\r\n-->"
               "<!--METADATA type=\"DesignerControl\" endspan-->",
               DOMImpl::JSP_091);
    EXPECT_TRUE(empty.doc->isRuntimeTextDifferent());
    empty.doc->resetMetaDataStateOnSave();
    EXPECT_FALSE(empty.doc->isRuntimeTextDifferent());
    // Once saved, run-time text that differs is no longer recorded.
    empty.first("OBJECT")->getMetaData()->setRuntimeData("<APPLET></APPLET>");
    EXPECT_FALSE(empty.doc->isRuntimeTextDifferent());
    empty.doc->resetRuntimeTextStateOnReload();
    EXPECT_FALSE(empty.doc->isRuntimeTextDifferent());

    Page full(TABLE_SPAN, DOMImpl::JSP_091);
    EXPECT_FALSE(full.doc->isRuntimeTextDifferent());
    MetaData* meta = full.first("TABLE")->getMetaData();
    meta->setRuntimeData("RUN<%= a %>TIME");
    EXPECT_FALSE(full.doc->isRuntimeTextDifferent());
    meta->setRuntimeData("other");
    EXPECT_TRUE(full.doc->isRuntimeTextDifferent());
    EXPECT_EQ(full.text.substr(0, full.text.find("RUN")) + "other<!--METADATA type=\"DynamicData\" endspan-->",
              full.doc->getSource());

    // An HTML-form span read under JSP 1.0 is to be saved in the JSP form.
    Page html(TABLE_SPAN, DOMImpl::JSP_10);
    EXPECT_TRUE(html.roundTrips());
    EXPECT_TRUE(html.doc->isMetaDataRevised());
}

TEST(MetaData, DeepPagesWithSpansReadWriteAndReleaseWithoutRecursion)
{
    const int depth = 100000;
    std::string page;
    for (int i = 0; i < depth; ++i)
        page += "<div>";
    page += TABLE_SPAN;
    for (int i = 0; i < depth; ++i)
        page += "<QRTX:LOOP>";
    {
        Page p(page, DOMImpl::JSP_091);
        EXPECT_TRUE(p.first("TABLE")->getMetaData());
        EXPECT_EQ(p.doc->getSource(), p.doc->getChildSource());
        EXPECT_NE(std::string::npos, p.doc->getSource().find(TABLE_SPAN));
    }
    // Spans inside spans: a chain of dynamic elements each inside the last,
    // all inside one span, written bare.
    std::string chain = "<!--METADATA type=\"DynamicData\" startspan\r\n";
    for (int i = 0; i < depth; ++i)
        chain += "<QRTX:LOOP>";
    chain += "\r\n--><!--METADATA type=\"DynamicData\" endspan-->";
    Page nested(chain, DOMImpl::JSP_091);
    EXPECT_TRUE(nested.roundTrips());
}

TEST(MetaData, ThousandsOfStartCommentsWithoutEndsReadInLinearTime)
{
    auto timeOf = [](int n) {
        std::string page;
        for (int i = 0; i < n; ++i)
            page += "<!--METADATA type=\"DynamicData\" startspan\r\n<TABLE dynamicelement></TABLE>\r\n-->x";
        page += "<!--METADATA type=\"DesignerControl\" endspan-->";
        const auto start = std::chrono::steady_clock::now();
        Page p(page, DOMImpl::JSP_091);
        EXPECT_TRUE(p.roundTrips());
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    const double small = timeOf(2000);
    const double large = timeOf(20000);
    // Ten times the comments: well under a hundred times the time.
    EXPECT_LT(large, small * 40 + 0.5);
}

TEST(MetaData, RuntimeTextIsProducedByTheElementsObjectWhenThePageIsSaved)
{
    const std::string span = "<!--METADATA type=\"DynamicData\" startspan\r\n"
                             "<TABLE dynamicelement><TR><TD>x</TD></TR></TABLE>\r\n"
                             "-->OLD<!--METADATA type=\"DynamicData\" endspan-->";
    bool deleted = false;
    {
        Page p("<P>a</P>" + span, DOMImpl::JSP_091);
        Element* table = p.first("TABLE");
        ASSERT_TRUE(table && table->getMetaData());
        MetaData* meta = table->getMetaData();
        EXPECT_EQ(nullptr, meta->getObject());
        EXPECT_TRUE(p.roundTrips());

        LoopObject* loop = new LoopObject(&deleted);
        meta->setDynamicData(loop);
        EXPECT_EQ(loop, meta->getObject());
        EXPECT_EQ(1, loop->references);
        // The span read from the page is checked against what the object
        // produces: the loop replaces the stored text, the scriptlet it
        // leaves open is closed before the end comment, and the document
        // learns that its run-time text differs.  The tags of the row and
        // the cell (block elements) start lines indented by the loop's level.
        const std::string produced = "<% for (int i = 0; i < n; i++) { %>\r\n  <TR>\r\n  <TD>x\r\n  </TD>"
                                     "\r\n  </TR><% }";
        const std::string saved =
            "<P>a</P>" + span.substr(0, span.find("OLD")) + produced + " %><!--METADATA type=\"DynamicData\" endspan-->";
        EXPECT_EQ(saved, p.doc->getSource());
        EXPECT_EQ(produced, meta->getRuntimeData());
        EXPECT_TRUE(meta->isScriptletLeftOpen());
        EXPECT_TRUE(p.doc->isRuntimeTextDifferent());
        // Current now: written again without asking the object.
        EXPECT_EQ(saved, p.doc->getSource());
        EXPECT_EQ(1, loop->calls);
        // Asked to produce it again, the object is called once more.
        meta->setRevised(true);
        EXPECT_EQ(saved, p.doc->getSource());
        EXPECT_EQ(2, loop->calls);

        // A copy of the element shares the object; the last reference given
        // back deletes it.
        Node* copy = table->cloneNode(true);
        ASSERT_TRUE(static_cast<Element*>(copy)->getMetaData());
        EXPECT_EQ(loop, static_cast<Element*>(copy)->getMetaData()->getDynamicData());
        EXPECT_EQ(2, loop->references);
        copy->releaseRef();
        EXPECT_EQ(1, loop->references);
        EXPECT_FALSE(deleted);
    }
    EXPECT_TRUE(deleted);

    // An object that produces what the page holds changes no byte and
    // leaves the run-time text as loaded.
    Page same(span, DOMImpl::JSP_091);
    FixedObject* fixed = new FixedObject("OLD");
    same.first("TABLE")->getMetaData()->setDynamicData(fixed);
    EXPECT_TRUE(same.roundTrips());
    EXPECT_FALSE(same.doc->isRuntimeTextDifferent());
}

TEST(MetaData, DesignTimeControlsAreUpdatedByTheHostsDesignerBeforeTheirTextIsWritten)
{
    const std::string span = "<!--METADATA type=\"DesignerControl\" startspan\r\n<OBJECT dtc></OBJECT>\r\n-->"
                             "<APPLET code=\"v0\"></APPLET><!--METADATA type=\"DesignerControl\" endspan-->";
    Page p(span, DOMImpl::JSP_091);
    MetaData* meta = p.first("OBJECT")->getMetaData();
    ASSERT_TRUE(meta);
    Designer designer;
    meta->setDesignerObject(&designer);
    EXPECT_EQ(&designer, meta->getObject());
    EXPECT_EQ(&designer, meta->getDesignerObject());
    const std::string updated = span.substr(0, span.find("<APPLET")) + "<APPLET code=\"v1\"></APPLET>" +
                                "<!--METADATA type=\"DesignerControl\" endspan-->";
    EXPECT_EQ(updated, p.doc->getSource());
    EXPECT_EQ(1, designer.calls);
    // The text the designer stored is current: no second update.
    EXPECT_EQ(updated, p.doc->getSource());
    EXPECT_EQ(1, designer.calls);
    // A copy of the control does not take the host's object along.
    Node* copy = p.first("OBJECT")->cloneNode(true);
    EXPECT_EQ(nullptr, static_cast<Element*>(copy)->getMetaData()->getObject());
    copy->releaseRef();
    meta->setDesignerObject(nullptr);
}

TEST(MetaData, TheChildrenWalkWritesPageTextTagsAndTheRunTimeTextOfElementsWithMetadata)
{
    const std::string page = "<BODY><P>a &amp; b</P><!--c--><!--METADATA type=\"DynamicData\" startspan\r\n"
                             "<UL dynamicelement><LI>x</UL>\r\n-->RUN<!--METADATA type=\"DynamicData\" endspan-->"
                             "<%--METADATA type=AuthorTimeVisual startspan\r\n"
                             "<QRTX:ATV fonttext=\"Name\"><%= name %></QRTX:ATV>\r\n"
                             "--%><%= name %><%--METADATA type=\"AuthorTimeVisual\" endspan--%></BODY>";
    Page p(page, DOMImpl::JSP_10);
    Element* body = p.first("BODY");
    ASSERT_TRUE(body);
    // The list gives its stored run-time text; the author-time visual's
    // element shows as it stands, its code included; an open scriptlet is
    // closed before the first tag, and the paragraph's tags (a block
    // element's) start lines.
    RuntimeTextState state;
    state.scriptletOpen = true;
    std::string out;
    MetaData::appendChildrenRuntimeText(body, out, state);
    EXPECT_EQ(" %>\r\n<P>a &amp; b\r\n</P><!--c-->RUN<%= name %>", out);
    EXPECT_FALSE(state.scriptletOpen);
    // Before page text an open scriptlet is closed on a line of its own, at
    // the level of the code.
    state.scriptletOpen = true;
    state.indent = 2;
    out.clear();
    MetaData::appendChildrenRuntimeText(p.first("P"), out, state);
    EXPECT_EQ("\r\n    %>a &amp; b", out);
    EXPECT_TRUE(p.roundTrips());

    // Deep pages are walked without recursion.
    const int depth = 100000;
    std::string deep;
    for (int i = 0; i < depth; ++i)
        deep += "<B>";
    deep += "t";
    Page d(deep);
    std::string deepOut;
    RuntimeTextState deepState;
    MetaData::appendChildrenRuntimeText(d.doc, deepOut, deepState);
    EXPECT_EQ(deep, deepOut);
}
