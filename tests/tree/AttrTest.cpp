#include <gtest/gtest.h>

#include <string>

#include "tree/ElementAccess.h"
#include "tree/SmallHTMLType.h"

using smallhtml::Ref;

namespace {

class AttrTest : public smallhtml::HTMLDocumentTest {
protected:
    void SetUp() override
    {
        HTMLDocumentTest::SetUp();
        img = add(doc, "img");
    }
    void TearDown() override
    {
        DOMImpl::getFormatOption()->setAttrNameCaseType(DOMImpl::FormatOption::CASE_AS_IS);
        DOMImpl::getFormatOption()->setAttrValueCaseType(DOMImpl::FormatOption::CASE_AS_IS);
        HTMLDocumentTest::TearDown();
    }

    Element* img = nullptr;
};

} // namespace

TEST_F(AttrTest, ValueFormsMatchingAndCopies)
{
    img->setAttribute("src", "a&#65;b.gif");
    img->setAttribute("align", "left");
    img->setAttribute("title", "left");  // value matching: see the element searches
    Attr* src = img->getAttributeNode("src");
    EXPECT_EQ("a&#65;b.gif", src->getValue());  // the HTML document keeps the source form
    EXPECT_EQ("aAb.gif", src->getText());
    EXPECT_EQ("SRC", src->getTypeName());
    EXPECT_EQ("src", src->getName());

    // Outside the HTML document an attribute gives its value as text.
    Ref<Document> page(DOMImpl::createDocument("page"));
    Ref<Attr> raw(page->createAttribute("v"));
    raw->setValue("x&#65;");
    EXPECT_EQ("xA", raw->getValue());
    EXPECT_EQ("v", raw->getTypeName());

    Ref<Attr> copy(static_cast<Attr*>(src->cloneNode(true)));
    EXPECT_EQ(1u, copy->getRefCount());
    EXPECT_EQ(nullptr, copy->getOwnerElement());
    EXPECT_EQ("a&#65;b.gif", copy->getValue());
    EXPECT_TRUE(copy->isDefined());
    EXPECT_TRUE(copy->isSpecified());
    // A copied element carries copies of its attributes in order.
    Ref<Element> twin(static_cast<Element*>(img->cloneNode(false)));
    ASSERT_EQ(3u, twin->getAttrNodes().length());
    EXPECT_NE(src, twin->getAttributeNode("src"));
    EXPECT_EQ(twin.get(), twin->getAttributeNode("src")->getOwnerElement());
    EXPECT_EQ("title", twin->getAttrNodes().item(2)->getNodeName());
}

TEST_F(AttrTest, SetValueMarksAttributeAndOwner)
{
    img->setStartTag("<img align=left>");
    Attr* align = doc->createAttribute("align");
    align->setValue("left");
    pagedom::ElementAccess::addAttributeNode(*img, align);
    img->setUpdateState(0);
    align->setValue("right");
    EXPECT_NE(0u, align->getUpdateState() & Node::UPDATE_CONTENT_MODIFIED);
    EXPECT_NE(0u, img->getUpdateState() & Node::UPDATE_ATTRIBUTE_MODIFIED);
    EXPECT_EQ("<IMG align=\"right\">", img->getStartTag());
    img->setUpdateState(0);  // resetting the element resets its attributes
    EXPECT_EQ(0u, align->getUpdateState());
}

TEST_F(AttrTest, QuoteAndNameRules)
{
    std::string plain = "a'b";
    EXPECT_EQ('"', Attr::quote(plain));
    std::string dq = "say \"hi\"";
    EXPECT_EQ('\'', Attr::quote(dq));
    EXPECT_EQ("say \"hi\"", dq);
    std::string both = "it's \"x\" <%= m(\"k\") %>";
    EXPECT_EQ('"', Attr::quote(both));
    EXPECT_EQ("it's &quot;x&quot; <%= m(\"k\") %>", both);

    EXPECT_TRUE(Attr::validateName("data-x:y"));
    for (const char* bad : {"", "a b", "a=b", "a\"", "a>"})
        EXPECT_FALSE(Attr::validateName(bad)) << bad;
}

TEST_F(AttrTest, SourceForms)
{
    Attr* bare = doc->createAttribute("nowrap");  // undeclared, no value
    img->setAttributeNode(bare);
    Attr* ismap = doc->createAttribute("ISMAP");  // declared boolean, no value
    img->setAttributeNode(ismap);
    img->setAttribute("align", "Left");
    img->setAttribute("src", "a\"b");
    EXPECT_EQ("<IMG nowrap ismap align=\"Left\" SRC='a\"b'>", img->getStartTag());

    DOMImpl::getFormatOption()->setAttrNameCaseType(DOMImpl::FormatOption::CASE_LOWER);
    DOMImpl::getFormatOption()->setAttrValueCaseType(DOMImpl::FormatOption::CASE_UPPER);
    EXPECT_EQ("align=\"LEFT\"", img->getAttributeNode("align")->getSource());
    EXPECT_EQ("src='a\"b'", img->getAttributeNode("src")->getSource());
    img->setAttribute("align", "middle");  // not a declared value: as written
    EXPECT_EQ("align=\"middle\"", img->getAttributeNode("align")->getSource());

    // Under the XML format a boolean is written with its name as value and
    // markup characters as references.
    DOMImpl::getFormatOption()->setAttrValueCaseType(DOMImpl::FormatOption::CASE_AS_IS);
    doc->FormatType(Document::XML_FORMAT);
    EXPECT_EQ("ismap=\"ismap\"", ismap->getSource());
    img->setAttribute("src", "a<b");
    EXPECT_EQ("src=\"a&#60;b\"", img->getAttributeNode("src")->getSource());
}

namespace {

Element* firstElement(Node* root, const std::string& name)
{
    for (Node* n = root; n; n = n->getNextNode(root))
        if (n->getNodeType() == Node::ELEMENT_NODE && n->getNodeName() == name)
            return static_cast<Element*>(n);
    return nullptr;
}

} // namespace

// The attributes of an element read from a page go with the element
// wherever it goes before anything asks for them (into another document,
// into a copy, out of the tree) and read and write back as the page had them.
TEST(AttributesAsRead, GoWithTheirElement)
{
    const std::string page = "<html><body><p class=x id=\"a\" title='t &amp; u'>one</p><p align=left>two</p>"
                             "<p lang=en>three</p></body></html>";
    const std::string other = "<html><body><div>x</div></body></html>";
    Ref<Document> from(DOMImpl::createDocument("HTML"));
    from->createNodes(page.data(), static_cast<unsigned long>(page.size()), nullptr);
    Ref<Document> to(DOMImpl::createDocument("HTML"));
    to->createNodes(other.data(), static_cast<unsigned long>(other.size()), nullptr);
    Element* first = firstElement(from.get(), "p");
    Element* div = firstElement(to.get(), "div");
    ASSERT_TRUE(first && div);

    // Moved into another document: the attributes belong to it when made.
    ASSERT_TRUE(first->hasAttributes());
    div->appendChild(first);
    Attr* cls = first->getAttributeNode("class");
    ASSERT_NE(nullptr, cls);
    EXPECT_EQ(to.get(), cls->getOwnerDocument());
    EXPECT_EQ(first, cls->getOwnerElement());
    EXPECT_EQ("x", cls->getValue());
    EXPECT_EQ("t &amp; u", first->getAttribute("title"));
    EXPECT_EQ(3u, first->getAttrNodes().length());
    EXPECT_NE(std::string::npos, to->getSource().find("<div>x<p class=x id=\"a\" title='t &amp; u'>one</p></div>"));

    // Copied: the copy has attributes of its own, untouched by edits of
    // the original, which loses its last attribute.
    Element* second = firstElement(from.get(), "p");
    ASSERT_NE(nullptr, second);
    Ref<Element> copy(static_cast<Element*>(second->cloneNode(true)));
    second->removeAttribute("align");
    EXPECT_FALSE(second->hasAttributes());
    EXPECT_EQ("left", copy->getAttribute("align"));
    EXPECT_EQ(copy.get(), copy->getAttributeNode("align")->getOwnerElement());

    // Lookups among records find the first and the last of a full set, and
    // nothing past the last.
    const std::string full = "<body><p a=1 b=2 c=3 d=4 e=5 f=6 g=7 h=8>x</p><i j=1>y</i><b k=\"\">z</b></body>";
    Ref<Document> many(DOMImpl::createDocument("HTML"));
    many->createNodes(full.data(), static_cast<unsigned long>(full.size()), nullptr);
    Element* eight = firstElement(many.get(), "p");
    Element* one = firstElement(many.get(), "i");
    Element* empty = firstElement(many.get(), "b");
    ASSERT_TRUE(eight && one && empty);
    EXPECT_EQ("1", eight->getAttribute("a"));
    EXPECT_EQ("8", eight->getAttribute("h"));
    EXPECT_EQ(nullptr, eight->getAttributeNode("j"));
    EXPECT_EQ("1", one->getAttribute("j"));
    EXPECT_EQ(nullptr, one->getAttributeNode("a"));
    EXPECT_NE(nullptr, empty->getAttributeNode("k"));
    EXPECT_EQ("", empty->getAttribute("k"));
    EXPECT_EQ(8u, eight->getAttrNodes().length());
    EXPECT_EQ("h", eight->getAttrNodes().item(7)->getNodeName());
    EXPECT_EQ(1u, one->getAttrNodes().length());
    EXPECT_EQ(full, many->getSource().substr(many->getSource().find("<body>"), full.size()));

    // Taken out of the tree and released with its attributes still as read.
    Element* third = firstElement(from.get(), "p");
    ASSERT_NE(nullptr, third);
    third = third->getNextSibling() ? static_cast<Element*>(third->getNextSibling()) : nullptr;
    ASSERT_TRUE(third && third->hasAttributes());
    third->getParentNode()->removeChild(third)->releaseRef();
    EXPECT_EQ(std::string::npos, from->getSource().find("three"));
}
