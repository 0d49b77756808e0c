#include <gtest/gtest.h>

#include <string>

#include "tree/Comment.h"
#include "node/NamedNodeMap.h"
#include "tree/NodeTestUtil.h"
#include "tree/SmallHTMLType.h"
#include "doctype/DeclarationBuilder.h"
#include "tree/ElementAccess.h"

using pagedom::DeclarationBuilder;

using smallhtml::Ref;
using smallhtml::has;
using ElementTest = smallhtml::HTMLDocumentTest;

TEST_F(ElementTest, AttributeLookupPrefersExactCase)
{
    Ref<Element> e(doc->createElement("SPAN"));  // undeclared: no attribute types
    pagedom::ElementAccess::addAttributeNode(*e, attr("ID", "upper"));
    pagedom::ElementAccess::addAttributeNode(*e, attr("id", "lower"));
    EXPECT_EQ(1u, e->getAttributes()->getLength());
    EXPECT_EQ("lower", e->getAttribute("id"));
    EXPECT_EQ("upper", e->getAttribute("ID"));
    EXPECT_EQ("upper", e->getAttribute("Id"));  // neither spelling: the map's one
    EXPECT_EQ(nullptr, e->getAttributeNode(""));
    e->removeAttribute("id");  // the exact spelling goes, the map keeps ID
    ASSERT_EQ(1u, e->getAttrNodes().length());
    EXPECT_EQ("upper", e->getAttribute("id"));

    // An undeclared attribute is changed only under its exact spelling, a
    // declared one under any.
    e->setAttribute("Class", "a");
    e->setAttribute("class", "b");
    ASSERT_EQ(3u, e->getAttrNodes().length());
    EXPECT_EQ("a", e->getAttribute("Class"));
    EXPECT_EQ("b", e->getAttribute("class"));
    Ref<Element> p(doc->createElement("P"));
    p->setAttribute("class", "a");
    p->setAttribute("CLASS", "b");
    ASSERT_EQ(1u, p->getAttrNodes().length());
    EXPECT_EQ("class", p->getAttrNodes().item(0)->getNodeName());
    EXPECT_EQ("b", p->getAttribute("Class"));
}

TEST_F(ElementTest, SetAttributeNodeReplacesAndHandsBackTheOldOne)
{
    Ref<Element> p(doc->createElement("P"));
    Attr* first = attr("align", "left");
    EXPECT_EQ(nullptr, p->setAttributeNode(first));
    EXPECT_EQ(p.get(), first->getOwnerElement());
    EXPECT_EQ(nullptr, first->getParentNode());
    Attr* second = attr("ALIGN", "right");
    Ref<Attr> old(p->setAttributeNode(second));
    ASSERT_EQ(first, old.get());
    EXPECT_EQ(1u, old->getRefCount());
    EXPECT_EQ(nullptr, old->getOwnerElement());
    EXPECT_FALSE(old->isDefined());
    EXPECT_EQ(1u, p->getAttrNodes().length());
    EXPECT_EQ("right", p->getAttribute("align"));

    // An attribute that already belongs to an element is not taken.
    Ref<Element> other(doc->createElement("P"));
    EXPECT_EQ(nullptr, other->setAttributeNode(second));
    EXPECT_EQ(nullptr, other->setAttributeNode(nullptr));
    EXPECT_FALSE(other->hasAttributes());

    // Replacing an undeclared attribute spelled differently removes only an
    // exact namesake; without one both stay listed.
    Ref<Element> span(doc->createElement("SPAN"));
    span->setAttributeNode(attr("title", "a"));
    EXPECT_EQ(nullptr, span->setAttributeNode(attr("TITLE", "b")));
    EXPECT_EQ(2u, span->getAttrNodes().length());
    EXPECT_EQ("b", span->getAttribute("Title"));
}

TEST_F(ElementTest, ReaderStyleAddingKeepsDuplicates)
{
    Ref<Element> p(doc->createElement("P"));
    Attr* first = attr("align", "left");
    Attr* second = attr("ALIGN", "right");
    pagedom::ElementAccess::addAttributeNode(*p, first);
    pagedom::ElementAccess::addAttributeNode(*p, second);
    EXPECT_EQ(2u, p->getAttrNodes().length());
    EXPECT_EQ(first, p->getAttributeNode("align"));
    EXPECT_FALSE(has(first, Node::DUPLICATE_ERROR));
    EXPECT_TRUE(has(second, Node::DUPLICATE_ERROR));
    EXPECT_TRUE(has(p.get(), Node::INVALID_ATTR_ERROR));

    // Removing the map's attribute lets the remaining namesake take its place.
    p->removeAttribute("Align");
    ASSERT_EQ(1u, p->getAttrNodes().length());
    EXPECT_EQ(second, p->getAttributeNode("align"));

    // Undeclared duplicates are no error.
    Ref<Element> span(doc->createElement("SPAN"));
    pagedom::ElementAccess::addAttributeNode(*span, attr("x", "1"));
    pagedom::ElementAccess::addAttributeNode(*span, attr("X", "2"));
    EXPECT_FALSE(has(span->getAttrNodes().item(1), Node::DUPLICATE_ERROR));
    EXPECT_FALSE(has(span.get(), Node::INVALID_ATTR_ERROR));
}

TEST_F(ElementTest, RemovingAttributes)
{
    Ref<Element> p(doc->createElement("P"));
    Attr* bogus = attr("bogus", "1");
    p->setAttributeNode(bogus);
    p->setAttribute("class", "c");
    EXPECT_TRUE(has(bogus, Node::UNDEFINED_NAME_ERROR));
    Ref<Attr> stranger(attr("class", "x"));
    EXPECT_EQ(nullptr, p->removeAttributeNode(stranger.get()));
    Ref<Attr> removed(p->removeAttributeNode(bogus));
    EXPECT_EQ(bogus, removed.get());
    EXPECT_EQ(nullptr, bogus->getOwnerElement());
    EXPECT_FALSE(has(bogus, Node::UNDEFINED_NAME_ERROR));
    EXPECT_EQ(1u, p->getAttributes()->getLength());

    p->setAttribute("bogus2", "");
    EXPECT_TRUE(has(p.get(), Node::UNDEFINED_ATTR_ERROR));
    p->removeAttribute("missing");
    p->removeAllAttributes();
    EXPECT_EQ(nullptr, p->getAttributes());
    EXPECT_FALSE(has(p.get(), Node::UNDEFINED_ATTR_ERROR | Node::INVALID_ATTR_ERROR));
    p->setAttribute("class", "again");  // the element is usable afterwards
    EXPECT_EQ("again", p->getAttribute("class"));
}

TEST_F(ElementTest, AttributeBindingErrorsAndKinds)
{
    Ref<Element> img(doc->createElement("img"));
    for (const char* name : {"src", "onclick", "border", "SRC2"})
        img->setAttribute(name, "x");
    EXPECT_TRUE(has(img.get(), Node::UNDEFINED_ATTR_ERROR));
    Attr* src = img->getAttributeNode("SRC");
    ASSERT_NE(nullptr, src);
    EXPECT_TRUE(src->isDefined());
    EXPECT_EQ(0u, src->getErrorState());
    EXPECT_TRUE(has(img->getAttributeNode("border"), Node::UNDEFINED_NAME_ERROR));
    EXPECT_EQ(2u, img->getUndefinedAttrNodes().length());
    EXPECT_EQ(src, img->getURIAttrNodes().item(0));
    EXPECT_EQ("onclick", img->getEventAttrNodes().item(0)->getNodeName());

    for (const char* name : {"EMBED", "SERVLET"}) {
        Ref<Element> e(doc->createElement(name));
        e->setAttribute("anything", "1");
        EXPECT_EQ(0u, e->getErrorState()) << name;
        EXPECT_EQ(0u, e->getAttributeNode("anything")->getErrorState()) << name;
    }

    // A boolean attribute without value is an error outside the HTML rules.
    img->setAttribute("ismap", "");
    EXPECT_FALSE(has(img->getAttributeNode("ismap"), Node::INVALID_ATTR_ERROR));
    doc->FormatType(Document::XML_FORMAT);
    Ref<Element> strict(doc->createElement("IMG"));
    strict->setAttribute("ismap", "");
    EXPECT_TRUE(has(strict->getAttributeNode("ismap"), Node::INVALID_ATTR_ERROR));
    EXPECT_TRUE(has(strict.get(), Node::INVALID_ATTR_ERROR));
}

TEST_F(ElementTest, ThousandsOfAttributesStayFast)
{
    const int count = 20000;
    Ref<Element> e(doc->createElement("P"));
    for (int i = 0; i < count; ++i)
        e->setAttribute("a" + std::to_string(i), std::to_string(i));
    for (int i = 0; i < count; ++i)
        e->setAttribute("a" + std::to_string(i), "v" + std::to_string(i));
    ASSERT_EQ(static_cast<unsigned long>(count), e->getAttrNodes().length());
    for (int i = 0; i < count; ++i)
        ASSERT_EQ("v" + std::to_string(i), e->getAttribute("a" + std::to_string(i)));
    EXPECT_FALSE(e->getStartTag().empty());
    for (int i = 0; i < count; ++i)
        e->removeAttribute("a" + std::to_string(i));
    EXPECT_FALSE(e->hasAttributes());
    for (int i = 0; i < count; ++i)
        e->setAttributeNode(attr("b" + std::to_string(i), "x"));
    while (e->hasAttributes())
        e->removeAttributeNode(static_cast<Attr*>(e->getAttrNodes().item(0)))->releaseRef();
}

TEST_F(ElementTest, TypeAssignment)
{
    Ref<Element> unknown(doc->createElement("WIDGET"));
    EXPECT_EQ(nullptr, unknown->getElementType());
    EXPECT_TRUE(has(unknown.get(), Node::UNDEFINED_NAME_ERROR));
    EXPECT_EQ(8u, unknown->getElementGroup());
    unknown->setAttribute("class", "c");  // no type: no attribute errors
    EXPECT_EQ(0u, unknown->getAttributeNode("class")->getErrorState());
    // Assigning a type clears the name error and binds the attributes.
    unknown->setElementType(doc->getDocumentType()->getElementType("P"));
    EXPECT_FALSE(has(unknown.get(), Node::UNDEFINED_NAME_ERROR));
    EXPECT_TRUE(unknown->getAttributeNode("class")->isDefined());
}

TEST_F(ElementTest, ContainmentWithExceptions)
{
    Element* body = add(add(doc, "HTML"), "BODY");
    Element* p = add(body, "P");
    Ref<Element> blink(doc->createElement("BLINK")), ins(doc->createElement("INS"));
    Ref<Element> form(doc->createElement("FORM"));
    Ref<Text> text(doc->createTextNode("x"));
    Ref<Comment> comment(doc->createComment("c"));

    EXPECT_FALSE(p->canContain(blink.get()));  // excluded by BODY
    EXPECT_TRUE(p->canContain(ins.get()));     // included by BODY
    EXPECT_FALSE(p->canContain(form.get()));
    EXPECT_TRUE(p->canContain(text.get()));
    EXPECT_FALSE(p->canContain(nullptr));
    Ref<Element> loose(doc->createElement("P"));
    EXPECT_TRUE(loose->canContain(blink.get()));
    EXPECT_FALSE(loose->canContain(ins.get()));

    // NOFRAMES inside BODY answers as BODY; inside FRAMESET as itself.
    Element* noframes = add(body, "NOFRAMES");
    EXPECT_TRUE(noframes->canContain(form.get()));
    EXPECT_FALSE(noframes->canContain(blink.get()));
    Element* inner = add(add(body, "FRAMESET"), "NOFRAMES");
    EXPECT_FALSE(inner->canContain(form.get()));
    EXPECT_TRUE(inner->canContain(loose.get()));

    // An element without type refuses everything in the HTML document.
    Element* odd = add(body, "WIDGET");
    EXPECT_FALSE(odd->canContain(text.get()));
    EXPECT_FALSE(odd->canContain(comment.get()));
    EXPECT_TRUE(odd->isEmptyElement());
    EXPECT_FALSE(odd->canContainText());

    p->appendChild(doc->createElement("INS"));
    EXPECT_FALSE(p->hasUnexpectedChild());
    p->appendChild(doc->createElement("FORM"));
    EXPECT_TRUE(p->hasUnexpectedChild());
}

TEST_F(ElementTest, TagFlags)
{
    Ref<Element> p(doc->createElement("P"));
    EXPECT_EQ("<P></P>", p->getStartTag() + p->getEndTag());
    EXPECT_FALSE(Ref<Element>(doc->createElement("INPUT"))->hasEndTag());

    ElementType* type = const_cast<ElementType*>(p->getElementType());
    EXPECT_FALSE(p->canOmitEndTag());
    DeclarationBuilder::setOmitType(*type, ElementType::OMIT_END_TAG);
    EXPECT_TRUE(p->canOmitEndTag());
    DeclarationBuilder::setOmitType(*type, ElementType::OMIT_BOTH_TAGS);
    EXPECT_FALSE(p->canOmitEndTag());
    p->omitTag();
    EXPECT_TRUE(p->canOmitEndTag());

    EXPECT_TRUE(Ref<Element>(doc->createElement("WIDGET"))->canOmitEndTag());
}

TEST_F(ElementTest, WithoutADocumentTypeNothingIsUndefined)
{
    Ref<Document> bare(DOMImpl::createDocument("nodtd"));
    Ref<Element> free(bare->createElement("WIDGET"));
    Ref<Text> text(bare->createTextNode("x"));
    EXPECT_EQ(0u, free->getErrorState());
    EXPECT_EQ(0u, free->getElementGroup());
    EXPECT_TRUE(free->canContain(text.get()));
    EXPECT_FALSE(free->canContain(doc->getDocumentType()));
    EXPECT_FALSE(free->isEmptyElement());
    EXPECT_FALSE(free->canOmitEndTag());
    free->setEmptyTag(true);
    EXPECT_EQ("<WIDGET />", free->getStartTag());
}

TEST_F(ElementTest, StartTagRegeneratedAfterSetAttribute)
{
    Element* p = add(doc, "p");
    p->setStartTag("<p class=x>");
    p->setEndTag("</p >");
    pagedom::ElementAccess::addAttributeNode(*p, attr("class", "x"));
    p->appendChild(doc->createTextNode("hi"));
    EXPECT_EQ("<p class=x>hi</p >", doc->getSource());

    p->setAttribute("id", "n1");
    EXPECT_EQ("<P class=\"x\" id=\"n1\">", p->getStartTag());
    p->setAttribute("class", "it's \"x\"");
    EXPECT_EQ("<P class=\"it's &quot;x&quot;\" id=\"n1\">hi</p >", doc->getSource());
}

TEST_F(ElementTest, Searches)
{
    Element* body = add(doc, "BODY");
    Element* p1 = add(body, "p");
    Element* b = add(p1, "B");
    Element* p2 = add(body, "P");
    p1->setAttribute("align", "left");
    p2->setAttribute("align", "Right");
    b->setAttribute("id", "key");
    p2->setAttribute("id", "Key");

    ASSERT_EQ(2u, body->getElementsByTagName("P").length());
    EXPECT_EQ(p1, body->getElementsByTagName("P").item(0));
    EXPECT_EQ(0u, body->getElementsByTagName("").length());
    EXPECT_EQ(b, body->getElementByID("key"));
    EXPECT_EQ(nullptr, body->getElementByID(""));
    ASSERT_EQ(1u, body->getElementsByAttr("ALIGN", "RIGHT").length());  // enumeration: any case
    EXPECT_EQ(p2, body->getElementsByAttr("ALIGN", "RIGHT").item(0));
    EXPECT_EQ(2u, body->getElementsByAttr("align", "").length());
    EXPECT_EQ(0u, body->getElementsByAttr("id", "KEY").length());  // plain value: exact
    EXPECT_EQ(2u, body->getChildElementsByName("p").length());

    // The INPUT of a nested FORM belongs to that form, not to the outer one.
    Element* form = add(body, "FORM");
    Element* mine = add(form, "INPUT");
    Element* table = add(form, "TABLE");
    Element* deep = add(add(add(table, "TR"), "TD"), "INPUT");
    add(add(form, "FORM"), "INPUT");
    dom::NodeList inputs = form->getFamilyElementsByName("input");
    ASSERT_EQ(2u, inputs.length());
    EXPECT_EQ(mine, inputs.item(0));
    EXPECT_EQ(deep, inputs.item(1));
    EXPECT_EQ(2u, form->getFamilyElementsByID(ElementTable::ID_INPUT).length());
    EXPECT_EQ(2u, form->getFamilyElementsByIDs({ElementTable::ID_INPUT}).length());
    // Elsewhere an element that may hold the name bounds the search (TD
    // here), whatever the spelling asked for.
    EXPECT_EQ(0u, body->getFamilyElementsByName("INPUT").length());
    EXPECT_EQ(0u, table->getFamilyElementsByName("INPUT").length());
    EXPECT_EQ(0u, table->getFamilyElementsByName("input").length());
}

TEST_F(ElementTest, HTMLHeadAndBodyOfTheDocument)
{
    // Made when missing (the built-in type's tests say more), then found.
    Element* html = doc->getHTMLElement();
    Element* head = doc->getHEADElement(nullptr);
    Element* body = doc->getBODYElement(nullptr);
    ASSERT_TRUE(html && head && body);
    EXPECT_EQ(testutil::shape(doc), "#document(HTML(HEAD BODY))");
    EXPECT_EQ(body, doc->getBODYElement(html));
    EXPECT_TRUE(doc->isHTMLFragment());
    body->specifyTag();
    EXPECT_FALSE(doc->isHTMLFragment());

    // With a FRAMESET, a missing BODY goes into its NOFRAMES.
    Ref<Document> frames(DOMImpl::createDocument("HTML", doc->getDocumentType()));
    Element* root = add(frames.get(), "HTML");
    Element* noframes = add(add(root, "FRAMESET"), "NOFRAMES");
    add(root, "BODY");  // after the FRAMESET: not the page's body
    Element* inner = frames->getBODYElement(root);
    ASSERT_NE(nullptr, inner);
    EXPECT_EQ(noframes, inner->getParentNode());
    EXPECT_EQ(inner, frames->getBODYElement(root));

    // Only the name "HTML" makes the HTML document.
    Ref<Document> other(DOMImpl::createDocument("html", doc->getDocumentType()));
    EXPECT_FALSE(other->isHTMLDocument() || other->isHTMLFragment());
    EXPECT_EQ(nullptr, other->getHTMLElement());
    EXPECT_EQ(nullptr, other->getBODYElement(nullptr));
}
