// Every mutating operation of every node class, made on a parsed page, is a
// change of the node: announced to the document, marked in the node's update
// state, and shown by the page written afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "dom.h"

namespace {

// Logs the modifications a document announces to its listeners.
class ModifyLog : public dom::EventListener {
public:
    explicit ModifyLog(std::vector<std::string>* log) : _log(log) {}
    void handleEvent(const dom::Event* event) override
    {
        const auto* record = static_cast<const dom::RecordEvent*>(event);
        _log->push_back((event->type() == "BEGIN_MODIFY" ? "<" : ">") + record->recordNode()->getNodeName());
    }

private:
    std::vector<std::string>* _log;
};

const std::string PAGE =
    "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\">\r\n"
    "<?xml version=\"1.0\"?>\r\n"
    "<html><body><!-- note -->\r\n"
    "<p class=x id=\"a\">Hello world</p>\r\n"
    "<form><input type=checkbox checked><br/></form>\r\n"
    "<script>var a;</script><b>bold</b></body></html>";

struct Page {
    Page() : doc(DOMImpl::createDocument("HTML"))
    {
        doc->createNodes(PAGE.data(), static_cast<unsigned long>(PAGE.size()), nullptr);
        doc->addEventListener("BEGIN_MODIFY", &listener, false);
        doc->addEventListener("END_MODIFY", &listener, false);
        doc->enableRecord(true);
    }
    ~Page() { doc->releaseRef(); }

    // The first node in document order of that node name.
    Node* node(const std::string& name) const
    {
        for (Node* n = doc; n; n = n->getNextNode(doc))
            if (n->getNodeName() == name)
                return n;
        return nullptr;
    }
    Element* element(const std::string& name) const { return static_cast<Element*>(node(name)); }
    Text* text(const std::string& data) const
    {
        for (Node* n = doc; n; n = n->getNextNode(doc))
            if (n->getNodeType() == Node::TEXT_NODE && static_cast<Text*>(n)->getData() == data)
                return static_cast<Text*>(n);
        return nullptr;
    }

    Document* doc;
    std::vector<std::string> log;
    ModifyLog listener{&log};
};

// An edit of a freshly read page: what it does, the node it changes and
// must announce, and the page expected afterwards, given as PAGE with the
// first occurrence of before replaced by after.
struct Edit {
    const char* what;
    std::function<Node*(Page&)> apply;  // returns the node announced
    std::string before;
    std::string after;
};

std::string expectedPage(const Edit& edit)
{
    std::string page = PAGE;
    const std::size_t at = page.find(edit.before);
    if (at == std::string::npos)
        return "(" + edit.before + " is not in the page)";
    return page.replace(at, edit.before.size(), edit.after);
}

Text* hello(Page& p)
{
    return p.text("Hello world");
}

const std::vector<Edit>& edits()
{
    static const std::vector<Edit> all = {
        // Character data: every operation, on a text, a comment, a script.
        {"insertData",
         [](Page& p) {
             Text* t = hello(p);
             t->insertData(5, ",");
             return t;
         },
         "Hello world", "Hello, world"},
        {"appendData",
         [](Page& p) {
             Text* t = hello(p);
             t->appendData("!");
             return t;
         },
         "Hello world", "Hello world!"},
        {"deleteData",
         [](Page& p) {
             Text* t = hello(p);
             t->deleteData(5, 6);
             return t;
         },
         "Hello world", "Hello"},
        {"replaceData",
         [](Page& p) {
             Text* t = hello(p);
             t->replaceData(6, 5, "\x1b<you\x1b>");
             return t;
         },
         "Hello world", "Hello &lt;you&gt;"},
        {"setData",
         [](Page& p) {
             Text* t = hello(p);
             t->setData("Hi");
             return t;
         },
         "Hello world", "Hi"},
        {"comment insertData",
         [](Page& p) {
             auto* c = static_cast<Comment*>(p.node("#comment"));
             c->insertData(1, "a ");
             return c;
         },
         "<!-- note -->", "<!-- a note -->"},
        {"comment setJSPFormat",
         [](Page& p) {
             auto* c = static_cast<Comment*>(p.node("#comment"));
             c->setJSPFormat(true);
             return c;
         },
         "<!-- note -->", "<%-- note --%>"},
        {"comment setSource",
         [](Page& p) {
             auto* c = static_cast<Comment*>(p.node("#comment"));
             c->setSource("<!--x-->");
             return c;
         },
         "<!-- note -->", "<!--x-->"},
        {"script appendData",
         [](Page& p) {
             auto* s = static_cast<CDATASection*>(p.node("#cdata-section"));
             s->appendData(" a=1;");
             return s;
         },
         "var a;", "var a; a=1;"},
        // Text editing.
        {"splitText",
         [](Page& p) {
             Text* t = hello(p);
             Text* tail = t->splitText(5);
             t->getParentNode()->insertAfter(tail, t);
             tail->setData("!");
             return tail;
         },
         "Hello world", "Hello!"},
        {"insert",
         [](Page& p) {
             Text* t = hello(p);
             t->insert(5, ",", false, Text::SPACE_NORMAL);
             return t;
         },
         "Hello world", "Hello, world"},
        {"Delete",
         [](Page& p) {
             Text* t = hello(p);
             t->Delete(0, 6, false);
             return t;
         },
         "Hello world", "world"},
        {"deleteChar",
         [](Page& p) {
             Text* t = hello(p);
             t->deleteChar(t->getLength(), true);
             return t;
         },
         "Hello world", "Hello worl"},
        {"compact",
         [](Page& p) {
             Text* t = hello(p);
             t->insertData(5, "\t\t");
             p.log.clear();
             t->compact();
             return t;
         },
         "Hello world", "Hello world"},
        {"setSource",
         [](Page& p) {
             Text* t = hello(p);
             t->setSource("Hello&#32;world");
             return t;
         },
         "Hello world", "Hello&#32;world"},
        // Processing instructions and the DOCTYPE.
        {"pi setAttribute",
         [](Page& p) {
             auto* pi = static_cast<ProcessingInstruction*>(p.node("xml"));
             pi->setAttribute("encoding", "UTF-8");
             return pi;
         },
         "<?xml version=\"1.0\"?>", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"},
        {"pi setSource",
         [](Page& p) {
             auto* pi = static_cast<ProcessingInstruction*>(p.node("xml"));
             pi->setSource("<?xml?>");
             return pi;
         },
         "<?xml version=\"1.0\"?>", "<?xml?>"},
        {"doctype setSystemID",
         [](Page& p) {
             DocumentType* d = p.doc->getDocType();
             d->setSystemID("strict.dtd");
             return d;
         },
         "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\">",
         "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\" \"strict.dtd\">"},
        {"doctype setPublicID",
         [](Page& p) {
             DocumentType* d = p.doc->getDocType();
             d->setPublicID("");
             return d;
         },
         "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\">", "<!DOCTYPE HTML>"},
        // Attributes.
        {"attr setValue",
         [](Page& p) {
             Element* e = p.element("p");
             e->getAttributeNode("id")->setValue("b");
             return e;
         },
         "<p class=x id=\"a\">", "<P class=\"x\" id=\"b\">"},
        {"attr setNodeValue",
         [](Page& p) {
             Element* e = p.element("p");
             e->getAttributeNode("class")->setNodeValue("y");
             return e;
         },
         "<p class=x id=\"a\">", "<P class=\"y\" id=\"a\">"},
        {"attr setSpecified",
         [](Page& p) {
             Element* e = p.element("input");
             e->getAttributeNode("checked")->setSpecified(true);
             return e;
         },
         "<input type=checkbox checked>", "<INPUT type=\"checkbox\" checked=\"\">"},
        {"setAttribute",
         [](Page& p) {
             Element* e = p.element("p");
             e->setAttribute("title", "t");
             return e;
         },
         "<p class=x id=\"a\">", "<P class=\"x\" id=\"a\" title=\"t\">"},
        {"removeAttribute",
         [](Page& p) {
             Element* e = p.element("p");
             e->removeAttribute("class");
             return e;
         },
         "<p class=x id=\"a\">", "<P id=\"a\">"},
        {"removeAttributeNode",
         [](Page& p) {
             Element* e = p.element("p");
             e->removeAttributeNode(e->getAttributeNode("id"))->releaseRef();
             return e;
         },
         "<p class=x id=\"a\">", "<P class=\"x\">"},
        {"setAttributeNode",
         [](Page& p) {
             Element* e = p.element("p");
             Attr* a = p.doc->createAttribute("ID");
             a->setValue("z");
             if (Attr* old = e->setAttributeNode(a))
                 old->releaseRef();
             return e;
         },
         "<p class=x id=\"a\">", "<P class=\"x\" id=\"z\">"},
        {"removeAllAttributes",
         [](Page& p) {
             Element* e = p.element("p");
             e->removeAllAttributes();
             return e;
         },
         "<p class=x id=\"a\">", "<P>"},
        // The element's own tags and type.
        {"setEmptyTag",
         [](Page& p) {
             p.doc->wellFormed(true);
             Element* e = p.element("br");
             e->setEmptyTag(true);
             return e;
         },
         "<br/>", "<BR />"},
        {"omitTag",
         [](Page& p) {
             Element* e = p.element("b");
             e->omitTag();
             return e;
         },
         "<b>bold</b>", "bold"},
        {"specifyTag",
         [](Page& p) {
             Element* e = p.element("b");
             e->specifyTag();
             return e;
         },
         "<b>bold</b>", "<B>bold</B>"},
        {"setStartTag",
         [](Page& p) {
             Element* e = p.element("b");
             e->setStartTag("<b class=\"y\">");
             return e;
         },
         "<b>bold</b>", "<b class=\"y\">bold</b>"},
        {"setEndTag",
         [](Page& p) {
             Element* e = p.element("b");
             e->setEndTag("</B >");
             return e;
         },
         "<b>bold</b>", "<b>bold</B >"},
        {"setElementType",
         [](Page& p) {
             Element* e = p.element("b");
             e->setElementType(p.doc->getDocumentType()->getElementType("I"));
             return e;
         },
         "<b>bold</b>", "<I>bold</I>"},
        // Entity references.
        {"entity reference setSource",
         [](Page& p) {
             EntityReference* r = p.doc->createEntityReference("nbsp");
             p.element("b")->appendChild(r);
             r->setSource("&#160;");
             return r;
         },
         "<b>bold</b>", "<b>bold&#160;</b>"},
    };
    return all;
}

TEST(EditsReachThePage, EveryMutatingOperationIsAnnouncedMarkedAndWritten)
{
    for (const Edit& edit : edits()) {
        SCOPED_TRACE(edit.what);
        Page page;
        ASSERT_EQ(PAGE, page.doc->getSource());
        Node* changed = edit.apply(page);
        ASSERT_NE(changed, nullptr);
        EXPECT_EQ(expectedPage(edit), page.doc->getSource());
        // The same page comes from the tree written node by node, and from a
        // copy of the document.
        EXPECT_EQ(page.doc->getSource(), page.doc->getChildSource());
        Node* copy = page.doc->cloneNode(true);
        EXPECT_EQ(page.doc->getSource(), copy->getSource());
        copy->releaseRef();
        // The node announced the change, begin and end.
        const std::string name = changed->getNodeName();
        auto begin = std::find(page.log.begin(), page.log.end(), "<" + name);
        EXPECT_NE(page.log.end(), begin);
        EXPECT_NE(page.log.end(), std::find(begin, page.log.end(), ">" + name));
        EXPECT_TRUE(changed->hasUpdates(false)) << changed->getUpdateState();
    }
}

TEST(EditsReachThePage, TheIssuesExample)
{
    Document* doc = DOMImpl::createDocument("HTML");
    const std::string page = "<p>Hello world</p>";
    doc->createNodes(page.data(), static_cast<unsigned long>(page.size()), nullptr);
    Text* text = static_cast<Text*>(doc->getHTMLElement()->getElementsByTagName("p").item(0)->getFirstChild());
    text->insertData(5, ",");
    EXPECT_EQ("Hello, world", text->getData());
    EXPECT_EQ("<p>Hello, world</p>", doc->getSource());
    DOM::getDOM()->deleteDocument(doc);
}

} // namespace
