// Containment under ancestors: SGML exceptions declared by the types of any
// ancestor, NOFRAMES answering as the outermost BODY, logical elements
// answering as their nearest non-logical ancestor.  The answers are checked
// against the rules told directly (asking every ancestor), on pages read and
// then edited, and against the error marks of pages read.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "dom.h"
#include "doctype/ElementTable.h"

namespace {

struct Page {
    explicit Page(const std::string& text) : doc(DOMImpl::createDocument("HTML", DOMImpl::JSP_10))
    {
        doc->createNodes(text.data(), static_cast<unsigned long>(text.size()), nullptr);
    }
    ~Page() { doc->releaseRef(); }
    Document* doc;
};

bool isElement(const Node* node)
{
    return node && node->getNodeType() == Node::ELEMENT_NODE;
}

// canContain told directly from the rules, climbing every ancestor on
// every question.
bool expectedCanContain(const Element* e, const Node* child)
{
    if (!child)
        return false;
    const ElementType* type = e->getElementType();
    if (!type)
        return false;  // the HTML document: an untyped element holds nothing
    if (e->isLogicalElement()) {
        const Node* p = e->getParentNode();
        while (isElement(p) && static_cast<const Element*>(p)->isLogicalElement())
            p = p->getParentNode();
        if (!p)
            return true;
        return isElement(p) ? expectedCanContain(static_cast<const Element*>(p), child) : p->canContain(child);
    }
    if (e->isVirtualElement())
        return child->isTrivialNode();

    std::vector<const ElementType*> above;
    const Element* outermostBody = nullptr;
    bool inFrameset = false;
    for (const Node* a = e->getParentNode(); isElement(a); a = a->getParentNode()) {
        const Element* ancestor = static_cast<const Element*>(a);
        if (ancestor->getElementType())
            above.push_back(ancestor->getElementType());
        if (ancestor->getElementID() == ElementTable::ID_FRAMESET)
            inFrameset = true;
        if (ancestor->getElementID() == ElementTable::ID_BODY)
            outermostBody = ancestor;
    }
    const ElementType* t = type;
    if (e->getElementID() == ElementTable::ID_NOFRAMES && !inFrameset && outermostBody)
        t = outermostBody->getElementType();

    const bool element = isElement(child);
    if (t->allowsChild(child)) {
        if (!element)
            return true;
        if (t->excludesChild(child))
            return false;
        for (const ElementType* a : above)
            if (a->excludesChild(child))
                return false;
        return true;
    }
    if (!element)
        return false;
    switch (t->getContainerType()) {
    case ContentModel::ELEMENT_CONTENT:
    case ContentModel::MIXED_CONTENT:
    case ContentModel::INLINE_CONTENT:
    case ContentModel::FLOW_CONTENT:
    case ContentModel::ANY_CONTENT:
        break;
    default:
        return false;
    }
    if (t->includesChild(child))
        return true;
    for (const ElementType* a : above)
        if (a->includesChild(child))
            return true;
    return false;
}

// Tags whose types declare exceptions, or that containment treats apart,
// and a few ordinary ones.
const std::vector<std::string> TAGS = {
    "form", "a", "pre", "img", "object", "body", "html", "head", "ins", "del", "noframes", "frameset",
    "QRTX:LOOP", "REPEAT", "button", "label", "b", "div", "p", "table", "td", "script", "font", "span", "li",
    "title", "meta"};

class Random {
public:
    explicit Random(std::uint64_t seed) : _state(seed * 2654435761u + 7) {}
    unsigned next(unsigned bound)
    {
        _state = _state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<unsigned>((_state >> 33) % bound);
    }

private:
    std::uint64_t _state;
};

std::string randomPage(Random& random, unsigned tags)
{
    std::string page;
    for (unsigned i = 0; i < tags; ++i) {
        switch (random.next(6)) {
        case 0:
            page += "x";
            break;
        case 1:
            page += "</" + TAGS[random.next(static_cast<unsigned>(TAGS.size()))] + ">";
            break;
        default:
            page += "<" + TAGS[random.next(static_cast<unsigned>(TAGS.size()))] + ">";
        }
    }
    return page;
}

std::vector<Element*> elementsOf(Node* root)
{
    std::vector<Element*> all;
    for (Node* n = root; n; n = n->getNextNode(root))
        if (isElement(n))
            all.push_back(static_cast<Element*>(n));
    return all;
}

// Asks every element of the document about every candidate; returns the
// number of disagreements (each one reported).
int disagreements(Document* doc, const std::vector<Node*>& candidates)
{
    int wrong = 0;
    for (Element* e : elementsOf(doc)) {
        for (const Node* c : candidates) {
            if (e->canContain(c) == expectedCanContain(e, c))
                continue;
            if (++wrong <= 5)
                ADD_FAILURE() << e->getNodeName() << " under " << e->getParentNode()->getNodeName() << " asked about "
                              << c->getNodeName();
        }
    }
    return wrong;
}

// Pages read, then edited in ways that change what elements lie above
// others: subtrees moved, elements taken out and put back, types changed.
TEST(ContainmentScope, AnswersAsEveryAncestorWouldAfterEdits)
{
    for (std::uint64_t seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Random random(seed);
        Page page(randomPage(random, 160));
        Document* doc = page.doc;
        std::vector<Node*> candidates;
        for (const std::string& tag : TAGS)
            candidates.push_back(doc->createElement(tag));
        candidates.push_back(doc->createTextNode("x"));
        candidates.push_back(doc->createTextNode(" "));
        candidates.push_back(doc->createComment("c"));
        candidates.push_back(doc->createCDATASection("d"));
        dom::NodeList types = doc->getDocumentType()->getElementTypeNodes();

        ASSERT_EQ(0, disagreements(doc, candidates));
        for (unsigned step = 0; step < 40; ++step) {
            std::vector<Element*> all = elementsOf(doc);
            Element* e = all[random.next(static_cast<unsigned>(all.size()))];
            Element* other = all[random.next(static_cast<unsigned>(all.size()))];
            switch (random.next(4)) {
            case 0:
                other->appendChild(e);  // refused when e holds other
                break;
            case 1:
                if (Node* parent = e->getParentNode()) {
                    Node* next = e->getNextSibling();
                    parent->removeChild(e);
                    ASSERT_EQ(0, disagreements(doc, candidates));
                    parent->insertBefore(e, next);
                }
                break;
            case 2: {
                const std::string& tag = TAGS[random.next(static_cast<unsigned>(TAGS.size()))];
                e->setElementType(doc->getDocumentType()->getElementType(tag));
                break;
            }
            default:
                e->setElementType(static_cast<const ElementType*>(
                    types.item(random.next(static_cast<unsigned>(types.length())))));
            }
            ASSERT_EQ(0, disagreements(doc, candidates)) << "after step " << step;
        }
        for (Node* c : candidates)
            c->releaseRef();
    }
}

std::string repeat(const std::string& piece, int count)
{
    std::string out;
    for (int i = 0; i < count; ++i)
        out += piece;
    return out;
}

// The element names along the first-child path below the page's BODY,
// each followed by "!" when marked INVALID_CONTENT.
std::string markedPath(Document* doc, int limit)
{
    std::string out;
    Node* n = doc->getBODYElement(nullptr);
    for (int i = 0; n && i < limit; ++i) {
        n = n->getFirstChild();
        if (!n)
            break;
        out += n->getNodeName() + (n->isInvalidContent() ? "! " : " ");
    }
    return out;
}

// Deep pages read with the error marks the exceptions of every ancestor
// give: a FORM or A inside another is excluded, IMG inside PRE too, INS and
// DEL are let in anywhere in BODY; a NOFRAMES inside BODY holds what BODY
// holds, however deep.
TEST(ContainmentScope, DeepPagesReadWithTheMarksOfEveryAncestor)
{
    const int deep = 3000;
    {
        Page page(repeat("<form>", deep) + "<b>x");
        EXPECT_EQ("form form! form! form! ", markedPath(page.doc, 4));
        std::vector<Element*> all = elementsOf(page.doc);
        Element* last = all.back();
        EXPECT_EQ("b", last->getNodeName());
        EXPECT_FALSE(last->isInvalidContent());
        Element* form = page.doc->createElement("form");
        Element* ins = page.doc->createElement("ins");
        EXPECT_FALSE(last->canContain(form));
        EXPECT_TRUE(last->canContain(ins));
        form->releaseRef();
        ins->releaseRef();
    }
    {
        Page page(repeat("<a href=x>", deep) + "<b>x");
        EXPECT_EQ("a a! a! ", markedPath(page.doc, 3));
        EXPECT_FALSE(elementsOf(page.doc).back()->isInvalidContent());
    }
    {
        Page page("<pre>" + repeat("<b>", deep) + "<img src=x><ins>y</ins>");
        std::vector<Element*> all = elementsOf(page.doc);
        ASSERT_EQ("ins", all.back()->getNodeName());
        EXPECT_FALSE(all.back()->isInvalidContent());
        ASSERT_EQ("img", all[all.size() - 2]->getNodeName());
        EXPECT_TRUE(all[all.size() - 2]->isInvalidContent());
    }
    {
        Page page(repeat("<div>", deep) + repeat("<body>", 3) + "<p>x");
        std::vector<Element*> all = elementsOf(page.doc);
        EXPECT_EQ("p", all.back()->getNodeName());
        EXPECT_FALSE(all.back()->isInvalidContent());
        EXPECT_TRUE(all[all.size() - 2]->isInvalidContent());  // a BODY inside DIV
    }
    {
        Page page("<body><noframes>" + repeat("<div>", deep) + "<noframes><form>f</form></noframes>");
        std::vector<Element*> all = elementsOf(page.doc);
        ASSERT_EQ("form", all.back()->getNodeName());
        EXPECT_FALSE(all.back()->isInvalidContent());
        Element* inner = all[all.size() - 2];
        ASSERT_EQ("noframes", inner->getNodeName());
        Text* text = page.doc->createTextNode("t");
        EXPECT_TRUE(inner->canContain(text));
        text->releaseRef();
    }
    {
        Page page("<frameset><noframes>" + repeat("<div>", 3) + "<noframes>t</noframes>");
        // In a FRAMESET a NOFRAMES holds a BODY, implied around its text.
        std::vector<Element*> all = elementsOf(page.doc);
        Element* inner = all[all.size() - 2];
        ASSERT_EQ("noframes", inner->getNodeName());
        EXPECT_EQ(ElementTable::ID_BODY, all.back()->getElementID());
        Text* text = page.doc->createTextNode("t");
        EXPECT_FALSE(inner->canContain(text));
        text->releaseRef();
    }
}

// A chain of logical elements answers as the element above the chain,
// whatever its length, and follows that element when the chain moves.
TEST(ContainmentScope, LogicalChainsAnswerAsTheElementAboveThem)
{
    Page page("");
    Document* doc = page.doc;
    Element* list = doc->createElement("ul");
    Element* div = doc->createElement("div");
    Element* innermost = list;
    for (int i = 0; i < 20000; ++i)
        innermost = static_cast<Element*>(innermost->appendChild(doc->createElement("QRTX:LOOP")));
    Element* item = doc->createElement("li");
    Element* paragraph = doc->createElement("p");
    EXPECT_TRUE(innermost->canContain(item));
    EXPECT_FALSE(innermost->canContain(paragraph));
    innermost->appendChild(doc->createElement("li"));
    EXPECT_FALSE(innermost->getLastChild()->isInvalidContent());

    // Moved under a DIV, the chain answers as the DIV.
    div->appendChild(list->removeChild(list->getFirstChild()));
    EXPECT_FALSE(innermost->canContain(item));
    EXPECT_TRUE(innermost->canContain(paragraph));
    // Taken out alone, the top of the chain has no element above it.
    Node* top = div->removeChild(div->getFirstChild());
    EXPECT_TRUE(innermost->canContain(paragraph));
    EXPECT_TRUE(innermost->canContain(item));
    // A logical element made ordinary answers for itself, and the chain
    // below it as it does.
    static_cast<Element*>(top)->setElementType(doc->getDocumentType()->getElementType("UL"));
    EXPECT_TRUE(innermost->canContain(item));
    EXPECT_FALSE(innermost->canContain(paragraph));

    top->releaseRef();
    item->releaseRef();
    paragraph->releaseRef();
    list->releaseRef();
    div->releaseRef();
}

} // namespace
