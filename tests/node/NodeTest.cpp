// Node core: ownership, structural operations, update and error states,
// navigation, normalisation, host attachments and very deep or wide trees.

#include <cstdint>
#include <cstdio>
#include <thread>
#include <vector>

#include "doctype/DeclarationBuilder.h"
#include "tree/NodeTestUtil.h"

using namespace testutil;

namespace {

// Counts what nodes do with their host attachments.
struct Counts {
    int clones = 0;
    int releases = 0;
};

struct CountingData : Node::UserData {
    explicit CountingData(Counts* counts) : counts(counts) {}
    UserData* clone() const override
    {
        ++counts->clones;
        return new CountingData(counts);
    }
    void release() override
    {
        ++counts->releases;
        delete this;
    }
    Counts* counts;
};

// Everything a refused operation must leave alone, for every node under roots.
std::vector<std::uintptr_t> snapshot(const std::vector<const Node*>& roots)
{
    std::vector<std::uintptr_t> out;
    auto id = [](const Node* n) { return reinterpret_cast<std::uintptr_t>(n); };
    for (const Node* root : roots)
        for (const Node* n = root; n; n = n->getNextNode(root))
            out.insert(out.end(), {id(n), id(n->getParentNode()), id(n->getPreviousSibling()),
                                   id(n->getNextSibling()), id(n->getFirstChild()), n->getChildLength(),
                                   n->getUpdateState(), n->getErrorState(), n->getRefCount()});
    return out;
}

// Each node's name and update state in hex, in document order; clear resets
// the states first (without propagation).
std::string updates(Node* root, bool clear = false)
{
    std::string out;
    char state[16];
    for (Node* n = root; n; n = n->getNextNode(root)) {
        if (clear)
            n->setUpdateState(Node::UPDATE_NONE);
        std::snprintf(state, sizeof state, "%lx", n->getUpdateState());
        out += (out.empty() ? "" : " ") + n->getNodeName() + state;
    }
    return out;
}

} // namespace

TEST(NodeStructure, ReferencesPassAndMovesLeaveTheOldParent)
{
    DocPtr doc = plainDocument();
    Counts counts;
    Element* a = build(doc.get(), "a(x(k) y z)");
    Element* b = build(doc.get(), "b(w)");
    Node *x = find(a, "x"), *y = find(a, "y"), *z = find(a, "z"), *w = find(b, "w");
    w->setUserData(new CountingData(&counts));
    x->setUserData(new CountingData(&counts));
    updates(a, true);

    EXPECT_EQ(b->replaceChild(y, w), w); // y moves; w comes back to the caller
    EXPECT_EQ(shape(a) + shape(b), "a(x(k) z)b(y)");
    EXPECT_TRUE(a->getUpdateState() & Node::UPDATE_CHILD_REMOVED);
    EXPECT_TRUE(!w->getParentNode() && !w->getNextSibling() && w->getRefCount() == 1u);
    EXPECT_EQ(y->getRefCount(), 1u);
    EXPECT_EQ(w->releaseRef(), 0u);
    EXPECT_EQ(counts.releases, 1);

    EXPECT_EQ(a->insertBefore(z, x), z); // within one parent
    EXPECT_EQ(a->insertBefore(z, z), z); // before itself: stays
    EXPECT_EQ(z->appendChild(x), x);     // into its former sibling
    EXPECT_EQ(shape(a), "a(z(x(k)))");
    EXPECT_EQ(b->removeChild(y), y);
    EXPECT_TRUE(linked(a) && linked(z) && linked(b) && y->getRefCount() == 1u);
    EXPECT_EQ(a->releaseRef(), 0u); // with the whole tree it holds
    EXPECT_EQ(counts.releases, 2);
    y->releaseRef();
    b->releaseRef();
}

TEST(NodeStructure, RemovedRunIsAChainThatReinsertsWhole)
{
    DocPtr doc = plainDocument();
    Element* from = build(doc.get(), "from(1 2 3 4 5)");
    Element* to = build(doc.get(), "to(x y)");
    Node* head = from->removeChildNodes(find(from, "4"), find(from, "2")); // reversed bounds
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(shape(from), "from(1 5)");
    std::string chain;
    for (Node* n = head; n; n = n->getNextSibling())
        chain += n->getNodeName() + (n->getParentNode() || n->getRefCount() != 1u ? "!" : "");
    EXPECT_EQ(chain, "234");
    EXPECT_EQ(head->getPreviousSibling(), nullptr);

    EXPECT_EQ(to->insertBefore(head, find(to, "y")), head); // the whole run, in order
    EXPECT_EQ(shape(to), "to(x 2 3 4 y)");
    head = from->removeChildNodes(nullptr, nullptr); // everything
    EXPECT_EQ(from->removeChildNodes(nullptr, nullptr), nullptr);
    to->insertAfter(head, nullptr); // without reference: first
    EXPECT_EQ(to->removeChildNodes(head, from), nullptr); // a bound that is no child
    to->insertAfter(to->getLastChild(), find(to, "x"));
    to->insertAfter(to->getFirstChild(), to->getLastChild());
    EXPECT_EQ(shape(to), "to(5 x y 2 3 4 1)");
    EXPECT_TRUE(linked(to) && linked(from));
    from->releaseRef();
    to->releaseRef();
}

TEST(NodeStructure, RefusalsChangeNothing)
{
    DocPtr doc = plainDocument();
    Element* root = build(doc.get(), "root(mid(leaf) 't')");
    Element* other = build(doc.get(), "other(o)");
    Node* stray = doc->createElement("stray");
    Node* text = doc->createTextNode("leaf text");
    Node* frag = doc->createDocumentFragment();
    frag->appendChild(doc->createElement("f"));
    Node* attr = doc->createAttribute("id");
    Node *mid = find(root, "mid"), *leaf = find(root, "leaf"), *o = find(other, "o");
    std::vector<const Node*> all{root, other, stray, text, frag, attr, doc.get()};
    auto before = snapshot(all);

    EXPECT_EQ(root->appendChild(root), nullptr); // into itself
    EXPECT_EQ(leaf->appendChild(root), nullptr); // into a descendant
    EXPECT_EQ(mid->insertBefore(root, leaf), nullptr);
    EXPECT_EQ(leaf->insertAfter(mid, nullptr), nullptr);
    EXPECT_EQ(root->insertAfter(stray, o), nullptr); // after the last child of another node
    EXPECT_EQ(mid->replaceChild(root, leaf), nullptr); // the replacement is an ancestor
    EXPECT_EQ(mid->replaceChild(leaf, leaf), nullptr);
    EXPECT_EQ(root->replaceChild(stray, leaf), nullptr); // not a child of root
    EXPECT_EQ(root->insertBefore(stray, leaf), nullptr); // reference is a grandchild
    EXPECT_EQ(root->insertBefore(stray, o), nullptr);
    EXPECT_EQ(root->insertBefore(stray, stray), nullptr); // named as its own reference
    EXPECT_EQ(root->insertBefore(o, o), nullptr);
    EXPECT_EQ(root->insertBefore(nullptr, nullptr), nullptr);
    EXPECT_EQ(root->removeChild(leaf), nullptr);
    EXPECT_EQ(root->replaceChild(stray, nullptr), nullptr);
    EXPECT_EQ(root->replaceChild(nullptr, root->getLastChild()), nullptr); // no replacement
    EXPECT_EQ(mid->replaceChild(nullptr, leaf), nullptr);
    EXPECT_EQ(text->appendChild(stray), nullptr); // leaves have no children
    EXPECT_EQ(text->removeChildNodes(nullptr, nullptr), nullptr);
    EXPECT_EQ(root->appendChild(frag), nullptr); // nodes that never take a parent
    EXPECT_EQ(other->replaceChild(frag, o), nullptr);
    EXPECT_EQ(root->appendChild(attr), nullptr);
    EXPECT_EQ(root->insertBefore(doc.get(), mid), nullptr);
    EXPECT_EQ(root->getChildIndex(leaf), Node::NOT_FOUND);
    EXPECT_EQ(root->getChildIndex(nullptr), Node::NOT_FOUND);
    EXPECT_EQ(root->getChildNode(99), nullptr);

    EXPECT_TRUE(snapshot(all) == before);
    for (Node* n : std::vector<Node*>{root, other, stray, text, frag, attr})
        n->releaseRef();
}

namespace {

// A document type of its own for the moves between documents: "B" is
// declared with one attribute, "weight".
DocumentType* noteType()
{
    using pagedom::DeclarationBuilder;
    DocumentType* type = DOMImpl::createDocumentType("note");
    ElementType* b = DeclarationBuilder::createElementType(*type, "B");
    DeclarationBuilder::setContentModel(*b, "(#PCDATA)");
    DeclarationBuilder::addElementType(*type, b);
    AttrTypeList* list = DeclarationBuilder::createAttrTypeList(*type, "B");
    DeclarationBuilder::addAttrType(*list, DeclarationBuilder::createAttrType(*type, "weight"));
    DeclarationBuilder::addAttrTypeList(*type, list);
    return type;
}

} // namespace

// A node inserted into another document becomes that document's: it and
// its subtree take the document as owner and its declarations, so that it
// survives the document it came from.
TEST(NodeStructure, NodesMovedBetweenDocumentsBelongToTheirNewDocument)
{
    DocumentType* type = noteType();
    Document* note = DOMImpl::createDocument("note", type);
    type->releaseRef(); // the document holds it
    Element* holder = note->createElement("holder");
    Document* page = DOMImpl::createDocument("HTML");
    const std::string text = "<p>one <b class=x>two</b> three</p>";
    page->createNodes(text.data(), text.size(), nullptr);
    Element* bold = static_cast<Element*>(find(page, "b"));
    ASSERT_NE(nullptr, bold);
    const ElementType* htmlBold = bold->getElementType();
    ASSERT_NE(nullptr, htmlBold);

    EXPECT_EQ(bold, holder->appendChild(bold));
    EXPECT_EQ(note, bold->getOwnerDocument());
    EXPECT_EQ(note, bold->getFirstChild()->getOwnerDocument());
    EXPECT_EQ(type->getElementType("B"), bold->getElementType());
    Attr* cls = bold->getAttributeNode("class");
    ASSERT_NE(nullptr, cls);
    EXPECT_EQ(note, cls->getOwnerDocument());
    EXPECT_FALSE(cls->isDefined()); // "class" is no attribute of the note type's B
    EXPECT_EQ("<p>one  three</p>", page->getSource());
    DOM::getDOM()->deleteDocument(page); // the document it came from goes

    bold->setAttribute("weight", "heavy");
    EXPECT_TRUE(bold->getAttributeNode("weight")->isDefined());
    EXPECT_NE(std::string::npos, holder->getSource().find("two</b>"));

    // And back into an HTML page, after which the note type goes.
    Document* other = DOMImpl::createDocument("HTML");
    const std::string second = "<p>x</p>";
    other->createNodes(second.data(), second.size(), nullptr);
    Node* p = find(other, "p");
    EXPECT_EQ(bold, p->appendChild(bold));
    holder->releaseRef();
    DOM::getDOM()->deleteDocument(note);
    EXPECT_EQ(other, bold->getOwnerDocument());
    EXPECT_EQ(htmlBold, bold->getElementType());
    EXPECT_FALSE(bold->getAttributeNode("weight")->isDefined());
    bold->setAttribute("class", "y");
    EXPECT_TRUE(bold->getAttributeNode("class")->isDefined());
    EXPECT_EQ(0u, bold->getErrorState() & Node::INVALID_CONTENT_ERROR);
    // An attribute made by a document that is then released, set on an
    // element of another one, belongs to the element's document.
    Document* maker = DOMImpl::createDocument("HTML");
    Attr* align = maker->createAttribute("align");
    align->setValue("left");
    EXPECT_EQ(nullptr, static_cast<Element*>(p)->setAttributeNode(align));
    EXPECT_EQ(other, align->getOwnerDocument());
    DOM::getDOM()->deleteDocument(maker);
    static_cast<Element*>(p)->setAttribute("title", "t");
    const std::string written = other->getSource();
    EXPECT_NE(std::string::npos, written.find("align=\"left\" title=\"t\">")) << written;
    EXPECT_NE(std::string::npos, written.find("two</b></p>")) << written;
    DOM::getDOM()->deleteDocument(other);
}

TEST(NodeState, UpdatesPropagateByTheRules)
{
    DocPtr doc = plainDocument();
    Element* r = build(doc.get(), "r(q(p))");
    Element* a = build(doc.get(), "a(b(c))");
    Node *q = find(r, "q"), *p = find(r, "p"), *c = find(a, "c");
    NodePtr fresh(doc->createElement("x"));
    EXPECT_EQ(updates(fresh.get()), "x8"); // CREATED
    updates(r, true);
    updates(a, true);

    p->appendChild(a); // ADDED goes down; CHILD_MODIFIED up, not back in
    EXPECT_EQ(updates(r), "r1 q1 p1 a10 b10 c10");
    updates(r, true);
    q->setUpdateState(Node::UPDATE_CHILD_MODIFIED);
    r->setUpdateState(Node::UPDATE_NONE);
    c->setUpdateState(Node::UPDATE_CONTENT_MODIFIED); // stops below r, at q
    EXPECT_EQ(updates(r), "r0 q1 p1 a1 b1 c2");
    updates(r, true);
    find(r, "b")->setUpdateState(Node::UPDATE_SIBLING_CHANGED); // goes nowhere
    EXPECT_EQ(updates(r), "r0 q0 p0 a0 b400 c0");
    updates(r, true);
    p->insertBefore(doc->createElement("s"), a);
    EXPECT_EQ(updates(r), "r1 q1 p1 s418 a400 b0 c0");
    updates(r, true);
    p->removeChild(a); // REMOVED goes down; the parent gets CHILD_REMOVED
    EXPECT_EQ(updates(r) + " | " + updates(a), "r1 q1 p40 s400 | a420 b20 c20");

    // hasUpdates ignores the host's bits, and CHILD_MODIFIED without children.
    EXPECT_TRUE(q->hasUpdates(true) && !q->hasUpdates(false));
    q->setUpdateState(0x780);
    EXPECT_FALSE(q->hasUpdates(true));
    q->setUpdateState(Node::UPDATE_ADAPTED);
    EXPECT_TRUE(q->hasUpdates(false));
    a->releaseRef();
    r->releaseRef();
}

TEST(NodeState, InvalidContentFollowsTheParent)
{
    DocPtr doc = plainDocument();
    appendAll(doc.get(), doc.get(), "' \r\n' 'words' !c e");
    Node* words = find(doc.get(), "#text")->getNextSibling();
    Node* cdata = doc->appendChild(doc->createCDATASection("x"));
    std::string marks;
    for (Node* n = doc->getFirstChild(); n; n = n->getNextSibling())
        marks += n->isInvalidContent() ? "1" : "0";
    EXPECT_EQ(marks, "01001"); // a document holds neither text nor CDATA
    find(doc.get(), "e")->appendChild(words); // moved where it may be: the mark goes
    EXPECT_FALSE(words->isInvalidContent());
    doc->insertBefore(words, cdata);
    EXPECT_TRUE(words->isInvalidContent());
    EXPECT_EQ(doc->removeChild(words), words);
    EXPECT_EQ(words->getErrorState(), Node::NONE_ERROR);
    words->releaseRef();
}

TEST(NodeNavigation, DocumentOrderAndAncestry)
{
    DocPtr doc = plainDocument();
    Element* r = build(doc.get(), "r(a(a1 a2(a21)) b c(c1))");
    doc->appendChild(r);
    Node *a = find(r, "a"), *a1 = find(r, "a1"), *a2 = find(r, "a2"), *a21 = find(r, "a21"),
         *b = find(r, "b"), *c1 = find(r, "c1");
    std::string forward, backward;
    for (Node* n = r; n; n = n->getNextNode(r))
        forward += n->getNodeName() + " ";
    for (Node* n = r->getLastDescendant(); n; n = n->getPreviousNode(r))
        backward = n->getNodeName() + " " + backward;
    EXPECT_EQ(forward, "r a a1 a2 a21 b c c1 ");
    EXPECT_EQ("r " + backward, forward);
    EXPECT_EQ(a->getNextNode(r, true), b);
    EXPECT_EQ(a21->getNextNode(r), b);
    EXPECT_EQ(a21->getNextNode(a), nullptr); // does not leave the subtree
    EXPECT_EQ(a2->getNextNode(a2, true), nullptr);
    EXPECT_EQ(c1->getNextNode(nullptr), nullptr);
    EXPECT_EQ(a->getLastDescendant(), a21);
    EXPECT_EQ(b->getLastDescendant(), nullptr);
    EXPECT_EQ(r->getChildIndex(c1->getParentNode()), 2u);
    EXPECT_EQ(r->getChildIndex(a1), Node::NOT_FOUND);

    EXPECT_LT(a21->compareOrder(b), 0);
    EXPECT_GT(c1->compareOrder(a21), 0);
    EXPECT_LT(a1->compareOrder(a21), 0);
    EXPECT_EQ(a->compareOrder(a21) | a21->compareOrder(r) | a->compareOrder(nullptr), 0);
    EXPECT_EQ(a21->getCommonAncestor(c1), r);
    EXPECT_EQ(a21->getCommonAncestor(a1), a);
    EXPECT_EQ(a21->getCommonAncestor(a), a);
    EXPECT_EQ(b->getCommonAncestor(b), b);
    EXPECT_EQ(a21->getCommonAncestor(doc.get()), doc.get());
    EXPECT_EQ(a21->getAncestorDocument(), doc.get());
    EXPECT_EQ(doc->getAncestorDocument(), doc.get());

    NodePtr loose(doc->createElement("loose"));
    NodePtr frag(doc->createDocumentFragment());
    frag->appendChild(doc->removeChild(r)); // a fragment is no document
    EXPECT_EQ(a21->getAncestorDocument(), nullptr);
    EXPECT_EQ(a21->getCommonAncestor(loose.get()), nullptr);
    EXPECT_EQ(a21->compareOrder(loose.get()), 0);
}

TEST(NodeNormalize, MergesTextRunsAndDropsEmptyOnes)
{
    DocPtr doc = plainDocument();
    Element* e = build(doc.get(), "e('' 'a' '' 'b' i('c' 'd' '') 'x' !k '')");
    static_cast<Text*>(e->getChildNode(1))->setSource("a"); // a kept source must not survive the merge
    e->normalize();
    EXPECT_EQ(shape(e), "e('ab' i('cd') 'x' !k)");
    EXPECT_TRUE(linked(e) && linked(find(e, "i")));
    EXPECT_EQ(e->getChildSource(), "ab<i>cd</i>x<!--k-->");
    e->releaseRef();
}

TEST(NodeUserData, AttachmentIsReleasedAndCloned)
{
    DocPtr doc = plainDocument();
    Counts counts;
    Element* e = build(doc.get(), "e(c)");
    CountingData* first = new CountingData(&counts);
    e->setUserData(first);
    e->setUserData(first); // the same attachment again is kept
    e->setUserData(new CountingData(&counts));
    EXPECT_EQ(counts.releases, 1);
    e->getFirstChild()->setUserData(new CountingData(&counts));
    Node* shallow = e->cloneNode(false);
    Node* deep = e->cloneNode(true);
    EXPECT_EQ(counts.clones, 3);
    EXPECT_NE(shallow->getUserData(), e->getUserData());
    EXPECT_NE(deep->getFirstChild()->getUserData(), e->getFirstChild()->getUserData());
    e->setUserData(nullptr);
    EXPECT_EQ(counts.releases, 2);
    for (Node* n : {shallow, deep, static_cast<Node*>(e)})
        n->releaseRef();
    EXPECT_EQ(counts.releases, 6); // each copy's, the child's, the first two
}

// Attachments are kept apart from the nodes; trees on different threads
// attach, read and release theirs at the same time.
TEST(NodeUserData, AttachmentsOfTreesOnSeveralThreads)
{
    auto work = [](Counts* counts, bool* right) {
        DocPtr doc = plainDocument();
        std::vector<Node*> nodes;
        for (int i = 0; i < 2000; ++i) {
            Element* e = build(doc.get(), "e(c)");
            e->setUserData(new CountingData(counts));
            nodes.push_back(e);
        }
        for (Node* n : nodes)
            *right = *right && n->getUserData() && !n->getFirstChild()->getUserData() &&
                     static_cast<CountingData*>(n->getUserData())->counts == counts;
        for (std::size_t i = 0; i < nodes.size(); i += 2)
            nodes[i]->setUserData(nullptr);
        for (Node* n : nodes)
            n->releaseRef();
    };
    Counts a, b;
    bool rightA = true, rightB = true;
    std::thread first(work, &a, &rightA);
    std::thread second(work, &b, &rightB);
    first.join();
    second.join();
    EXPECT_TRUE(rightA && rightB);
    EXPECT_EQ(2000, a.releases);
    EXPECT_EQ(2000, b.releases);
}

// A document type and its declarations are held by the trees of every
// thread and keep their counts apart from the node; the counting itself is
// the same as for any node.
TEST(NodeOwnership, SharedDeclarationsCountLikeAnyNode)
{
    Counts counts;
    DocumentType* type = DOMImpl::createDocumentType("t");
    type->setUserData(new CountingData(&counts));
    EXPECT_EQ(1u, type->getRefCount());
    Entity* entity = pagedom::DeclarationBuilder::addEntity(
        *type, pagedom::DeclarationBuilder::createEntity(*type, "e"));
    ASSERT_NE(nullptr, entity);
    entity->setNodeValue("x");
    EXPECT_EQ(1u, entity->getRefCount());

    Document* doc = DOMImpl::createDocument("page", type);
    EXPECT_EQ(2u, type->getRefCount());
    Node* ref = doc->createEntityReference("e");
    EXPECT_EQ(2u, entity->getRefCount());
    Node* refCopy = ref->cloneNode(true);
    EXPECT_EQ(3u, entity->getRefCount());
    EXPECT_EQ(0u, ref->releaseRef());
    EXPECT_EQ(0u, refCopy->releaseRef());
    EXPECT_EQ(1u, entity->getRefCount());

    // A copy of the type counts on its own.
    Node* typeCopy = type->cloneNode(true);
    EXPECT_EQ(1u, typeCopy->getRefCount());
    EXPECT_EQ(2u, type->getRefCount());
    EXPECT_EQ(1, counts.clones);
    EXPECT_EQ(0u, typeCopy->releaseRef());
    EXPECT_EQ(1, counts.releases);

    EXPECT_EQ(1u, type->releaseRef()); // the document still holds it
    EXPECT_EQ(2u, type->addRef());
    EXPECT_EQ(1u, type->releaseRef());
    DOM::getDOM()->deleteDocument(doc); // the last holder: type and entity go
    EXPECT_EQ(2, counts.releases);
}

// Every step of the large-tree tests is linear; a quadratic one would run
// into the test timeout at this size.
const unsigned long N = 100000;

TEST(NodeLargeTree, HundredThousandLevels)
{
    DocPtr doc = plainDocument();
    Element* top = doc->createElement("e"); // built top-down
    Element* bottom = doc->createElement("e"); // built bottom-up
    Node* leaf = top;
    for (unsigned long i = 0; i < N; ++i) {
        leaf = leaf->appendChild(doc->createElement("e"));
        Element* parent = doc->createElement("e");
        parent->appendChild(bottom);
        bottom = parent;
    }
    doc->appendChild(top);
    doc->appendChild(bottom);
    for (Element* root : {top, bottom}) { // walk, write, copy, normalize
        unsigned long count = 0;
        for (Node* n = root; n; n = n->getNextNode(root))
            ++count;
        EXPECT_EQ(count, N + 1);
        std::string source = root->getSource();
        EXPECT_EQ(source.size(), (N + 1) * 7); // "<e>" and "</e>" per level
        Node* copy = root->cloneNode(true);
        EXPECT_EQ(copy->getSource(), source);
        copy->releaseRef();
        Node* last = root->getLastDescendant();
        appendAll(doc.get(), last, "'a' 'b'");
        root->normalize();
        EXPECT_EQ(shape(last), "e('ab')");
    }
    Node* mid = top->getFirstChild()->getFirstChild(); // a second deep branch
    Node* other = mid;
    for (unsigned long i = 0; i < N / 2; ++i)
        other = other->appendChild(doc->createElement("e"));
    EXPECT_EQ(leaf->getCommonAncestor(other), mid);
    EXPECT_LT(leaf->compareOrder(other), 0);
    EXPECT_GT(other->compareOrder(leaf), 0);
    doc.reset(); // releasing the tree does not recurse either
}

TEST(NodeLargeTree, HundredThousandSiblings)
{
    DocPtr doc = plainDocument();
    Element* e = doc->createElement("e");
    doc->appendChild(e);
    for (unsigned long i = 0; i < N; ++i) {
        e->appendChild(doc->createElement("c"));
        doc->appendChild(doc->createComment("k"));
    }
    EXPECT_EQ(e->getChildIndex(e->getLastChild()), N - 1);
    for (unsigned long i = 0; i < N / 2; ++i) // trim from the end
        e->removeChild(e->getLastChild())->releaseRef();
    EXPECT_EQ(e->getChildNode(N / 2 - 1), e->getLastChild());
    while (Node* last = e->getLastChild())
        e->removeChild(last)->releaseRef();
}
