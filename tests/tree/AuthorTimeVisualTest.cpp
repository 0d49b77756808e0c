// What a host does with author-time visuals and metadata that would make an
// element own itself: each such call is refused, and copying and releasing
// the document afterwards end and free everything.
#include <gtest/gtest.h>

#include <string>

#include "dom.h"

namespace {

struct Page {
    Page() : doc(DOMImpl::createDocument("HTML", DOMImpl::JSP_10))
    {
        const std::string text = "<div><p>text <b>bold</b></p></div>";
        doc->createNodes(text.data(), static_cast<unsigned long>(text.size()), nullptr);
        div = static_cast<Element*>(doc->getHTMLElement()->getElementsByTagName("div").item(0));
        p = static_cast<Element*>(doc->getHTMLElement()->getElementsByTagName("p").item(0));
        b = static_cast<Element*>(doc->getHTMLElement()->getElementsByTagName("b").item(0));
    }
    ~Page() { doc->releaseRef(); }
    // The page written and the page a deep copy of the document writes.
    void expectCopyWritesTheSame() const
    {
        Node* copy = doc->cloneNode(true);
        EXPECT_EQ(doc->getSource(), copy->getSource());
        copy->releaseRef();
    }
    Element* visual(const std::string& text)
    {
        Element* atv = doc->createElement("QRTX:ATV");
        atv->appendChild(doc->createTextNode(text));
        return atv;
    }
    Document* doc;
    Element* div;
    Element* p;
    Element* b;
};

TEST(AuthorTimeVisual, NothingThatHoldsTheOwnerGoesIntoItsVisual)
{
    Page page;
    Element* atv = page.visual("v");
    page.p->setATV(atv);
    atv->releaseRef();
    ASSERT_EQ(atv, page.p->getATV());

    // The owner, its ancestors and the document stay out of the visual, at
    // any depth inside it.
    Element* deep = static_cast<Element*>(atv->appendChild(page.doc->createElement("span")));
    ASSERT_NE(nullptr, deep);
    for (Node* holder : {static_cast<Node*>(page.p), static_cast<Node*>(page.div), page.div->getParentNode(),
                         static_cast<Node*>(page.doc)}) {
        EXPECT_EQ(nullptr, atv->appendChild(holder));
        EXPECT_EQ(nullptr, deep->insertBefore(holder, nullptr));
    }
    EXPECT_EQ(page.div, page.p->getParentNode());
    // What the owner does not hold may go in: a sibling's child moves there.
    EXPECT_EQ(page.b, deep->appendChild(page.b));
    EXPECT_EQ(deep, page.b->getParentNode());

    // The visual itself goes nowhere while it is held.
    EXPECT_EQ(nullptr, page.div->appendChild(atv));
    Element* other = page.doc->createElement("i");
    EXPECT_EQ(nullptr, other->appendChild(atv));
    other->releaseRef();
    EXPECT_EQ(nullptr, atv->getParentNode());
    EXPECT_EQ(atv, page.p->getATV());

    // Copies end, and each holds a copy of the visual.
    Element* copy = static_cast<Element*>(page.p->cloneNode(true));
    ASSERT_NE(nullptr, copy->getATV());
    EXPECT_NE(atv, copy->getATV());
    EXPECT_EQ("span", copy->getATV()->getLastChild()->getNodeName());
    copy->releaseRef();
    page.expectCopyWritesTheSame();

    // Once the metadata lets go of it, the visual may be placed again.
    atv->addRef();
    page.p->setATV(nullptr);
    EXPECT_EQ(atv, page.div->appendChild(atv));
}

TEST(AuthorTimeVisual, SetATVTakesOnlyAnElementNothingElseOwns)
{
    Page page;
    // A placed element, the owner, an element holding the owner.
    page.p->setATV(page.b);
    page.p->setATV(page.p);
    page.p->setATV(page.div);
    EXPECT_EQ(nullptr, page.p->getATV());
    EXPECT_EQ(nullptr, page.p->getMetaData());

    Element* atv = page.visual("v");
    page.p->setATV(atv);
    EXPECT_EQ(atv, page.p->getATV());
    // Another element's visual stays its own.
    page.div->setATV(atv);
    EXPECT_EQ(nullptr, page.div->getATV());
    // Setting the visual held already changes nothing.
    page.p->setATV(atv);
    EXPECT_EQ(atv, page.p->getATV());
    atv->releaseRef();

    // A chain of visuals: the innermost may not take in the first owner.
    Element* inner = page.visual("inner");
    atv->setATV(inner);
    inner->releaseRef();
    ASSERT_EQ(inner, atv->getATV());
    EXPECT_EQ(nullptr, inner->appendChild(page.p));
    EXPECT_EQ(nullptr, inner->appendChild(page.div));
    // Nor may the first owner become the visual of a link of the chain.
    Element* loose = page.doc->createElement("span");
    page.div->removeChild(page.p);
    inner->setATV(page.p);
    EXPECT_EQ(nullptr, inner->getATV());
    loose->appendChild(page.p);
    inner->setATV(loose);
    EXPECT_EQ(nullptr, inner->getATV());
    page.div->appendChild(loose);

    Element* copy = static_cast<Element*>(page.p->cloneNode(true));
    ASSERT_NE(nullptr, copy->getATV());
    ASSERT_NE(nullptr, copy->getATV()->getATV());
    EXPECT_EQ("inner", copy->getATV()->getATV()->getChildSource());
    copy->releaseRef();
    page.expectCopyWritesTheSame();
}

TEST(AuthorTimeVisual, MetadataHoldsNothingThatHoldsItsElement)
{
    Page page;
    Element* atv = page.visual("v");
    page.p->setATV(atv);
    atv->releaseRef();
    MetaData* meta = page.p->getMetaData();
    ASSERT_NE(nullptr, meta);

    // The metadata takes in neither its element nor an ancestor, and goes
    // nowhere while attached.
    EXPECT_EQ(nullptr, meta->appendChild(page.p));
    EXPECT_EQ(nullptr, meta->appendChild(page.div));
    EXPECT_EQ(nullptr, page.div->appendChild(meta));

    // Detached, it may hold anything; an element inside its visual may not
    // then take it.
    meta->addRef();
    page.p->setMetaData(nullptr);
    Element* inside = static_cast<Element*>(atv->appendChild(page.doc->createElement("span")));
    inside->setMetaData(meta);
    EXPECT_EQ(nullptr, inside->getMetaData());
    Element* child = static_cast<Element*>(meta->appendChild(page.doc->createElement("em")));
    ASSERT_NE(nullptr, child);
    child->setMetaData(meta);
    EXPECT_EQ(nullptr, child->getMetaData());
    // Another element takes it as it is.
    page.b->setMetaData(meta);
    EXPECT_EQ(meta, page.b->getMetaData());
    EXPECT_EQ(atv, page.b->getATV());
    meta->releaseRef();

    // Metadata placed in a tree is copied, not shared with the tree.
    MetaData* placed = new MetaData(page.doc);
    placed->addRef();
    page.div->appendChild(placed);
    page.p->setMetaData(placed);
    ASSERT_NE(nullptr, page.p->getMetaData());
    EXPECT_NE(placed, page.p->getMetaData());
    EXPECT_EQ(page.div, placed->getParentNode());
    page.expectCopyWritesTheSame();
}

// A visual made in another document belongs to the owner's document, and
// outlives the document that made it.
TEST(AuthorTimeVisual, AVisualFromAnotherDocumentJoinsTheOwnersDocument)
{
    Page page;
    Document* other = DOMImpl::createDocument("HTML", DOMImpl::JSP_10);
    Element* atv = other->createElement("QRTX:ATV");
    Element* inner = static_cast<Element*>(atv->appendChild(other->createElement("b")));
    page.p->setATV(atv);
    atv->releaseRef();
    other->releaseRef();
    EXPECT_EQ(page.doc, atv->getOwnerDocument());
    EXPECT_EQ(page.doc, inner->getOwnerDocument());
    // Writing the visual reads nothing of the released document.
    EXPECT_EQ(inner->getStartTag() + inner->getEndTag(), atv->getChildSource());

    // Moving the owner to a third document takes the visual along.
    Document* third = DOMImpl::createDocument("HTML", DOMImpl::JSP_10);
    third->appendChild(page.div);
    EXPECT_EQ(third, atv->getOwnerDocument());
    EXPECT_EQ(third, inner->getOwnerDocument());
    Node* copy = third->cloneNode(true);
    copy->releaseRef();
    third->releaseRef();
}

} // namespace
