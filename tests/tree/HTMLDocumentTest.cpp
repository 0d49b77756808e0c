// The HTML, HEAD and BODY elements an editor asks for, found or made in a
// document of the built-in HTML type.
#include <gtest/gtest.h>

#include <string>

#include "dom.h"
#include "doctype/ElementTable.h"

namespace {

struct HTMLDoc {
    explicit HTMLDoc(const std::string& page = std::string(), DOMImpl::JSPVersion v = DOMImpl::JSP_NONE)
        : doc(DOMImpl::createDocument("HTML", v))
    {
        if (!page.empty())
            doc->createNodes(page.data(), static_cast<unsigned long>(page.size()), nullptr);
    }
    ~HTMLDoc() { doc->releaseRef(); }
    Document* doc;
};

TEST(HTMLDocument, FindsOrMakesHTMLHeadAndBody)
{
    HTMLDoc empty;
    Document* doc = empty.doc;
    EXPECT_TRUE(doc->isHTMLFragment());
    Element* html = doc->getHTMLElement();
    ASSERT_NE(html, nullptr);
    EXPECT_TRUE(html->isOmittedElement());
    EXPECT_EQ(html, doc->getHTMLElement());
    Element* head = doc->getHEADElement(nullptr);
    Element* body = doc->getBODYElement(nullptr);
    ASSERT_TRUE(head && body);
    EXPECT_EQ(head, html->getFirstChild());
    EXPECT_EQ(body, html->getLastChild());
    EXPECT_EQ(2u, html->getChildLength());
    EXPECT_EQ("", doc->getSource());

    // Written elements are preferred, a body with content first of all.
    HTMLDoc page("<html><body> </body><body><p>x</p></body></html>");
    Element* found = page.doc->getBODYElement(nullptr);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ("<body>", found->getStartTag());
    EXPECT_TRUE(found->hasChildNodes());
    EXPECT_FALSE(page.doc->isHTMLFragment());

    // In a frameset page the body lives in NOFRAMES.
    HTMLDoc frames("<html><frameset><noframes></noframes></frameset></html>");
    Element* noframesBody = frames.doc->getBODYElement(nullptr);
    ASSERT_NE(noframesBody, nullptr);
    EXPECT_EQ(ElementTable::ID_NOFRAMES, static_cast<Element*>(noframesBody->getParentNode())->getElementID());
}

TEST(HTMLDocument, ContainmentAndDefaultElements)
{
    HTMLDoc page;
    Document* doc = page.doc;
    Element* html = doc->createElement("HTML");
    Element* body = doc->createElement("BODY");
    Text* blank = doc->createTextNode(" \r\n");
    Text* words = doc->createTextNode("words");
    EXPECT_TRUE(doc->canContain(html));
    EXPECT_TRUE(doc->canContain(blank));
    EXPECT_FALSE(doc->canContain(words));
    EXPECT_FALSE(doc->canContain(body));
    for (Node* n : std::initializer_list<Node*>{html, body, blank, words})
        n->releaseRef();

    EXPECT_EQ(nullptr, doc->createDefElement(0));
    Element* p = doc->createDefElement(ElementTable::ID_P);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ("P", p->getNodeName());
    p->releaseRef();

    // A document named "html" gets the type but is not the HTML document.
    Document* lower = DOMImpl::createDocument("html");
    EXPECT_NE(nullptr, lower->getDocumentType());
    EXPECT_EQ(nullptr, lower->getHTMLElement());
    lower->releaseRef();

    // Under JSP 1.0 the dynamic-element tags exist and come with metadata.
    HTMLDoc jsp("", DOMImpl::JSP_10);
    Element* text = jsp.doc->createDefElement(ElementTable::ID_QRTX_TEXT);
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->isDynamicElement());
    ASSERT_NE(text->getMetaData(), nullptr);
    EXPECT_EQ(MetaData::DynamicData, text->getMetaData()->getType());
    text->releaseRef();
}

} // namespace

namespace {

TEST(HTMLDocument, AnUntypedElementHoldsAttributesOnlyInAStartTagOfItsOwn)
{
    // The reader leaves the unknown element, empty, where it stands and makes
    // an element of its stray end tag inside the body.
    HTMLDoc page("<mystery a=1>x</mystery>");
    Element* read = static_cast<Element*>(page.doc->getFirstChild());
    ASSERT_EQ("mystery", read->getNodeName());
    EXPECT_EQ(nullptr, read->getElementType());
    EXPECT_TRUE(read->canHaveAttributes());
    Element* endOnly = static_cast<Element*>(page.doc->getHTMLElement()->getElementsByTagName("mystery").item(0));
    ASSERT_NE(endOnly, nullptr);
    EXPECT_FALSE(endOnly->hasStartTag());
    EXPECT_FALSE(endOnly->canHaveAttributes());

    // Made by the host: no type, no stored start tag, nothing to hold them;
    // asking for its tag changes nothing.
    Element* made = page.doc->createElement("mystery");
    EXPECT_FALSE(made->canHaveAttributes());
    EXPECT_EQ("", made->getStartTag());
    EXPECT_FALSE(made->canHaveAttributes());
    made->releaseRef();

    // Outside the HTML document an untyped element writes its own tags.
    Document* other = DOMImpl::createDocument("page");
    Element* loose = other->createElement("mystery");
    EXPECT_TRUE(loose->canHaveAttributes());
    loose->releaseRef();
    other->releaseRef();
}

} // namespace

namespace {

// The metadata of an element owns what it holds: an author-time visual
// outlives the host's reference to it, goes with its metadata, and is
// copied with the element; an element never becomes its own visual.
TEST(HTMLDocument, MetadataOwnsItsAuthorTimeVisual)
{
    HTMLDoc page("<p>text</p>", DOMImpl::JSP_10);
    Element* p = static_cast<Element*>(page.doc->getHTMLElement()->getElementsByTagName("p").item(0));
    Element* atv = page.doc->createElement("QRTX:ATV");
    p->setATV(atv);
    atv->releaseRef();  // the metadata keeps it
    ASSERT_EQ(atv, p->getATV());
    EXPECT_EQ("QRTX:ATV", p->getATV()->getNodeName());

    Element* copy = static_cast<Element*>(p->cloneNode(true));
    ASSERT_NE(nullptr, copy->getATV());
    EXPECT_NE(atv, copy->getATV());
    EXPECT_EQ(p->getSource(), copy->getSource());
    copy->releaseRef();

    // Neither the element itself nor an element holding it can be its visual.
    Element* body = page.doc->getBODYElement(nullptr);
    p->setATV(p);
    p->setATV(body);
    EXPECT_EQ(atv, p->getATV());
    p->setATV(nullptr);
    EXPECT_EQ(nullptr, p->getATV());
    EXPECT_EQ("<p>text</p>", page.doc->getSource());
}

// A copy of a dynamic element has a copy of its metadata and no other.
TEST(HTMLDocument, ACopiedDynamicElementHasOneMetadata)
{
    HTMLDoc page("<a href=x dynamicelement>link</a>", DOMImpl::JSP_10);
    Element* a = static_cast<Element*>(page.doc->getHTMLElement()->getElementsByTagName("a").item(0));
    ASSERT_TRUE(a->isDynamicElement());
    a->setDynamicElement(true);
    ASSERT_NE(nullptr, a->getMetaData());
    for (bool deep : {false, true}) {
        Element* copy = static_cast<Element*>(a->cloneNode(deep));
        ASSERT_NE(nullptr, copy->getMetaData());
        EXPECT_NE(a->getMetaData(), copy->getMetaData());
        EXPECT_EQ(copy, copy->getMetaData()->getOwnerElement());
        EXPECT_EQ(MetaData::DynamicData, copy->getMetaData()->getType());
        copy->releaseRef();
    }
}

} // namespace
