// The range: references on its containers, the order rules of validate for
// plain and source ranges, and the validity and collapse rules.
#include <gtest/gtest.h>

#include <string>

#include "dom.h"
#include "tree/NodeTestUtil.h"

using dom::Range;

namespace {

// <p>one<b>two</b>three</p><p>four</p>: p1 holds "one", b, "three"; b holds
// "two"; p2 holds "four".
class RangeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string page = "<P>one<B>two</B>three</P><P>four</P>";
        doc = DOMImpl::createDocument("HTML");
        doc->createNodes(page.data(), static_cast<unsigned long>(page.size()), nullptr);
        b = testutil::find(doc, "B");
        ASSERT_NE(nullptr, b);
        p1 = b->getParentNode();
        p2 = p1->getNextSibling();
        ASSERT_TRUE(p2 && p2->getNodeName() == "P");
        two = b->getFirstChild();
        four = p2->getFirstChild();
    }
    void TearDown() override
    {
        if (doc)
            doc->releaseRef();
    }

    Document* doc = nullptr;
    Node* p1 = nullptr;
    Node* b = nullptr;
    Node* p2 = nullptr;
    Node* two = nullptr;
    Node* four = nullptr;
};

// The ends of r as "container offset[/]" pairs, '/' marking an end tag.
std::string ends(const Range& r)
{
    auto end = [](Node* n, unsigned long offset, bool endTag) {
        return (n ? n->getNodeName() : std::string("null")) + " " + std::to_string(offset) + (endTag ? "/" : "");
    };
    return end(r.startContainer(), r.startOffset(), r.startIsEndTag()) + " - " +
           end(r.endContainer(), r.endOffset(), r.endIsEndTag());
}

} // namespace

TEST_F(RangeTest, EveryCopyHoldsItsContainersUntilDetached)
{
    const unsigned long base = b->getRefCount();
    {
        Range r(b, 0, b, 1);
        EXPECT_EQ(base + 2, b->getRefCount());
        Range copy(r);
        Range clone = r.cloneRange();
        Range& alias = copy;
        copy = alias;
        EXPECT_EQ(base + 6, b->getRefCount());
        Range assigned(p1, 0);
        assigned = r;  // takes b twice, lets p1 go
        EXPECT_EQ(base + 8, b->getRefCount());
        assigned.detach();
        EXPECT_EQ(base + 6, b->getRefCount());
        EXPECT_EQ(nullptr, assigned.startContainer());
        EXPECT_EQ(nullptr, assigned.endContainer());
        copy.setStart(p1, 0);
        copy.setEnd(b, 1);  // the same container again
        EXPECT_EQ(base + 5, b->getRefCount());
    }
    EXPECT_EQ(base, b->getRefCount());

    // A range keeps a removed and released node readable, and a copy keeps
    // a text readable after its whole document is gone.
    Range held(b, 0);
    p1->removeChild(b)->releaseRef();
    EXPECT_EQ(2u, b->getRefCount());
    EXPECT_EQ("B", held.startContainer()->getNodeName());
    Range copy = Range(four, 1, four, 3);
    doc->releaseRef();
    doc = nullptr;
    EXPECT_EQ("four", static_cast<Text*>(copy.endContainer())->getData());
    EXPECT_EQ(nullptr, copy.endContainer()->getParentNode());
    // Leaving the test releases both ranges; LSan reports a missing
    // release, ASan a second one.
}

TEST_F(RangeTest, ValidateOrdersPlainRangesByOffsetsAndBranches)
{
    Range same(p1, 2, p1, 1);
    same.validate();
    EXPECT_EQ("P 1 - P 2", ends(same));
    EXPECT_TRUE(same.isValid());

    // The start container holds the end: (p1, 1) lies before b, child 1.
    Range outerStart(p1, 1, two, 2);
    outerStart.validate();
    EXPECT_EQ("P 1 - #text 2", ends(outerStart));
    Range outerStartAfter(p1, 2, two, 2);
    outerStartAfter.validate();
    EXPECT_EQ("#text 2 - P 2", ends(outerStartAfter));

    // The end container holds the start: (p1, 2) lies after b, (p1, 1)
    // before it.
    Range outerEnd(two, 0, p1, 2);
    outerEnd.validate();
    EXPECT_EQ("#text 0 - P 2", ends(outerEnd));
    Range outerEndBefore(two, 0, p1, 1);
    outerEndBefore.validate();
    EXPECT_EQ("P 1 - #text 0", ends(outerEndBefore));

    // Apart: document order decides, whatever the offsets.
    Range apart(four, 0, two, 3);
    apart.validate();
    EXPECT_EQ("#text 3 - #text 0", ends(apart));
    EXPECT_EQ(two, apart.startContainer());

    // A valid range is not reordered again, even when the tree changed
    // under it, until an end moves; an incomplete one becomes valid.
    Range moved(two, 3, four, 0);
    moved.validate();
    Node* body = p1->getParentNode();
    body->insertBefore(body->removeChild(p2), p1);
    moved.validate();
    EXPECT_EQ(two, moved.startContainer());
    moved.setEnd(four, 0);
    moved.validate();
    EXPECT_EQ(four, moved.startContainer());
    Range half(nullptr, 0, b, 1);
    half.validate();
    EXPECT_TRUE(half.isValid());
    EXPECT_EQ("null 0 - B 1", ends(half));

    // No recursion over depth: a chain 100,000 deep.
    Node* top = doc->createElement("DIV");
    b->appendChild(top);
    Node* deepest = top;
    for (int i = 0; i < 100000; ++i)
        deepest = deepest->appendChild(doc->createElement("DIV"));
    Range deep(deepest, 0, top, 0);
    deep.validate();
    EXPECT_EQ(top, deep.startContainer());
    EXPECT_EQ(deepest, deep.endContainer());
}

TEST_F(RangeTest, ValidateOrdersSourceRangesByEndTags)
{
    // In one container an end tag follows every offset, and the flags
    // travel with their ends.
    Range tagFirst(p1, 0, true, p1, 3, false);
    tagFirst.validate();
    EXPECT_EQ("P 3 - P 0/", ends(tagFirst));
    Range offsets(p1, 3, false, p1, 1, false);
    offsets.validate();
    EXPECT_EQ("P 1 - P 3", ends(offsets));

    // The start inside the end container: in order only before its end tag.
    Range inside(two, 1, false, p1, 3, false);
    inside.validate();
    EXPECT_EQ("P 3 - #text 1", ends(inside));
    Range insideTag(two, 1, false, p1, 0, true);
    insideTag.validate();
    EXPECT_EQ("#text 1 - P 0/", ends(insideTag));

    // The end inside the start container: out of order only from its end
    // tag; the start offset, past b, does not count as in a plain range.
    Range around(p1, 3, false, two, 1, false);
    around.validate();
    EXPECT_EQ("P 3 - #text 1", ends(around));
    Range aroundTag(p1, 0, true, two, 1, false);
    aroundTag.validate();
    EXPECT_EQ("#text 1 - P 0/", ends(aroundTag));

    Range apart(p2, 0, false, b, 1, true);
    apart.validate();
    EXPECT_EQ("B 1/ - P 0", ends(apart));
    EXPECT_TRUE(apart.isSourceRange());
}

TEST_F(RangeTest, ValidityCollapseAndEndTagFlags)
{
    Range r;
    r.selectNode(b);
    EXPECT_EQ("P 1 - P 2", ends(r));
    EXPECT_TRUE(r.isValid());
    r.setStart(p1, 0);
    EXPECT_FALSE(r.isValid());
    r.validate();
    r.setEnd(p1, 3);
    EXPECT_FALSE(r.isValid());

    r.selectNodeContents(b);
    EXPECT_EQ("B 0 - B 1", ends(r));
    EXPECT_TRUE(r.isValid());
    r.selectNodeContents(nullptr);
    EXPECT_FALSE(r.isValid());
    Node* loose = doc->createElement("I");
    r.selectNode(loose);
    EXPECT_EQ("null 0 - null 0", ends(r));
    EXPECT_FALSE(r.isValid());
    loose->releaseRef();
    r.setStartAfter(four);
    r.setEndBefore(two);
    EXPECT_EQ("P 1 - B 0", ends(r));

    // Ends that differ only by their end-tag flags are not collapsed;
    // collapsing carries the chosen end's flag over.
    Range tags(b, 1, false, b, 1, true);
    EXPECT_FALSE(tags.isCollapsed());
    Range toStart = tags;
    toStart.collapse(true);
    EXPECT_EQ("B 1 - B 1", ends(toStart));
    EXPECT_TRUE(toStart.isCollapsed() && toStart.isValid());
    tags.collapse(false);
    EXPECT_EQ("B 1/ - B 1/", ends(tags));
    EXPECT_TRUE(Range(b, 1, true).isCollapsed() && Range(b, 1, true).isSourceRange());
    Range empty(true);
    empty.collapse(true);
    EXPECT_FALSE(empty.isValid());
    EXPECT_TRUE(empty.isSourceRange());
}

TEST_F(RangeTest, ParentElementsAndCommonAncestor)
{
    Range r(two, 1, p1, 3);
    EXPECT_EQ(b, r.getStartParent());
    EXPECT_EQ(p1, r.getEndParent());
    EXPECT_EQ(nullptr, r.getCommonParent());
    EXPECT_EQ(p1, r.commonAncestorContainer());
    r.setEnd(b, 0);
    EXPECT_EQ(b, r.getCommonParent());
    r.setEnd(four, 0);
    EXPECT_EQ(p1->getParentNode(), r.commonAncestorContainer());
    r.setEnd(nullptr, 0);
    EXPECT_EQ(nullptr, r.commonAncestorContainer());
    EXPECT_EQ(nullptr, Range(doc, 0).getStartParent());
}
