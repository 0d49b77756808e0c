// Shared node lists, owner lists and name-keyed maps.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>

#include "tree/NodeTestUtil.h"

using namespace testutil;

namespace {

template <class List>
std::string names(const List& list, unsigned long length)
{
    std::string out;
    for (unsigned long i = 0; i < length; ++i)
        out += list.item(i)->getNodeName();
    return out;
}
std::string names(const dom::NodeList& list) { return names(list, list.length()); }
std::string names(const NamedNodeMap& map) { return names(map, map.getLength()); }

class NodeListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* n : {"a", "b", "c", "B", "d"})
            nodes.emplace_back(doc->createElement(n));
    }
    Node* node(int i) { return nodes[i].get(); }

    DocPtr doc = plainDocument();
    std::vector<NodePtr> nodes;
};

} // namespace

TEST_F(NodeListTest, ChildListsShareOneBody)
{
    Element* e = doc->createElement("e");
    dom::NodeList early = e->getChildNodes(); // taken before the first child
    e->appendChild(doc->createElement("x"));
    dom::NodeList live = e->getChildNodes();
    e->appendChild(doc->createElement("y"));
    EXPECT_EQ(early.length(), 0u);
    EXPECT_EQ(early.item(0), nullptr);
    EXPECT_TRUE(live == e->getChildNodes() && early != live);
    {
        dom::NodeList copy(live);
        dom::NodeList assigned;
        assigned = copy;
        assigned = assigned;
        e->insertBefore(doc->createElement("w"), e->getFirstChild());
        EXPECT_EQ(names(assigned), "wxy");
        assigned = early; // leaves the shared body
        EXPECT_EQ(assigned.length(), 0u);
    }
    EXPECT_EQ(names(live), "wxy");
    EXPECT_EQ(live.item(3), nullptr);
    e->releaseRef(); // the body outlives the container with the former entries
    EXPECT_EQ(live.length(), 3u);
}

// A list with one entry keeps it without a body until a view is taken or a
// second entry comes; none of that may show.
TEST_F(NodeListTest, AOneEntryListBehavesLikeAnyOther)
{
    Element* e = doc->createElement("e");
    e->appendChild(doc->createElement("x"));
    Node* x = e->getFirstChild();
    EXPECT_EQ(1u, e->getChildLength());
    EXPECT_EQ(x, e->getLastChild());
    EXPECT_EQ(0u, e->getChildIndex(x));
    EXPECT_EQ(nullptr, e->getChildNode(1));
    e->removeChild(x)->releaseRef();
    EXPECT_FALSE(e->hasChildNodes());

    e->appendChild(doc->createElement("y"));
    dom::NodeList view = e->getChildNodes(); // taken while the list has one entry
    e->removeChild(e->getFirstChild())->releaseRef();
    EXPECT_EQ(0u, view.length());
    e->appendChild(doc->createElement("z"));
    e->insertBefore(doc->createElement("w"), e->getFirstChild());
    EXPECT_EQ("wz", names(view));

    e->setAttribute("a", "1");
    EXPECT_EQ(1u, e->getAttrNodes().length());
    EXPECT_EQ("1", e->getAttribute("A"));
    e->removeAttribute("a");
    EXPECT_EQ(0u, e->getAttrNodes().length());
    e->releaseRef();
    EXPECT_EQ(2u, view.length());
}

TEST_F(NodeListTest, MapKeysFoldCaseStrictMapKeysDoNot)
{
    NamedNodeMap folded;
    StrictNamedNodeMap strict;
    NodePtr unnamed(doc->createElement(""));
    for (NamedNodeMap* map : {&folded, static_cast<NamedNodeMap*>(&strict)}) {
        EXPECT_EQ(map->setNamedItem(node(1)), nullptr); // "b"
        EXPECT_EQ(map->setNamedItem(node(0)), nullptr); // "a"
        EXPECT_EQ(map->setNamedItem(node(0)), nullptr); // the same node again
        EXPECT_EQ(map->setNamedItem(unnamed.get()), nullptr);
        EXPECT_EQ(map->addNamedItem(unnamed.get()), nullptr);
        EXPECT_EQ(map->getNamedItem(""), nullptr);
        EXPECT_EQ(map->getLength(), 2u);
    }
    // "B" replaces "b" in the folded map and sits beside it in the strict one.
    EXPECT_EQ(folded.setNamedItem(node(3)), node(1));
    EXPECT_EQ(strict.setNamedItem(node(3)), nullptr);
    EXPECT_EQ(names(folded) + " " + names(strict), "aB Bab"); // upper case sorts first
    EXPECT_EQ(folded.getNamedItem("b"), node(3));
    EXPECT_EQ(folded.getNamedItem("A"), node(0));
    EXPECT_EQ(strict.getNamedItem("b"), node(1));
    EXPECT_EQ(strict.getNamedItem("A"), nullptr);

    EXPECT_EQ(folded.addNamedItem(node(1)), nullptr); // key "b" is taken
    EXPECT_EQ(folded.addNamedItem(node(2)), node(2));
    EXPECT_EQ(folded.removeNamedItem("C"), node(2));
    EXPECT_EQ(folded.removeNamedItem("C"), nullptr);
    EXPECT_EQ(strict.removeNode(node(1)), node(1));
    EXPECT_EQ(strict.removeNode(node(1)), nullptr);
    EXPECT_EQ(strict.removeAt(0), node(3));
    EXPECT_EQ(names(strict), "a");
}

TEST_F(NodeListTest, SequentialItemFollowsEditsAndCopies)
{
    NamedNodeMap map;
    std::vector<NodePtr> many;
    for (int i = 0; i < 2000; ++i) {
        char name[8];
        std::snprintf(name, sizeof name, "n%04d", i);
        many.emplace_back(doc->createElement(name));
        map.setNamedItem(many.back().get());
    }
    for (unsigned long i = 0; i < map.getLength(); ++i)
        ASSERT_EQ(map.item(i), many[i].get()) << i;
    EXPECT_EQ(map.item(2000), nullptr);
    EXPECT_EQ(map.item(7), many[7].get()); // backwards after a forward walk
    EXPECT_EQ(map.item(10), many[10].get());
    map.setNamedItem(node(0)); // "a" sorts first
    EXPECT_EQ(map.item(10), many[9].get());
    map.removeAt(0);
    map.removeNode(many[3].get());
    EXPECT_EQ(map.item(10), many[11].get());

    // Copies walk their own entries, even after the original has gone.
    std::unique_ptr<NamedNodeMap> original(new NamedNodeMap());
    for (int i = 0; i < 3; ++i)
        original->setNamedItem(node(i));
    EXPECT_EQ(original->item(1), node(1));
    NamedNodeMap copy(*original);
    NamedNodeMap assigned;
    assigned.setNamedItem(node(4));
    EXPECT_EQ(assigned.item(0), node(4));
    assigned = *original;
    original.reset();
    EXPECT_EQ(copy.item(2), node(2));
    EXPECT_EQ(assigned.item(2), node(2));
    EXPECT_EQ(names(assigned), "abc");
}

// A list taken after the owner had an entry shares the body even while the
// owner is empty, so it sees what is added later; only a list taken before
// the first entry stays empty.
TEST_F(NodeListTest, ListsTakenFromAnEmptiedOwnerStayLive)
{
    Element* a = doc->createElement("a");
    dom::NodeList before = a->getChildNodes();
    Node* b = a->appendChild(doc->createElement("b"));
    a->removeChild(b);
    dom::NodeList emptied = a->getChildNodes();
    EXPECT_EQ(0u, emptied.length());
    EXPECT_EQ(nullptr, emptied.item(0));
    a->appendChild(b);
    EXPECT_EQ(1u, emptied.length());
    EXPECT_EQ(b, emptied.item(0));
    EXPECT_TRUE(emptied == a->getChildNodes());
    EXPECT_EQ(0u, before.length());

    // The same for attributes, whose owner list holds one entry just as often.
    Element* e = doc->createElement("e");
    e->setAttribute("x", "1");
    e->removeAttribute("x");
    dom::NodeList attrs = e->getAttrNodes();
    e->setAttribute("y", "2");
    ASSERT_EQ(1u, attrs.length());
    EXPECT_EQ("y", attrs.item(0)->getNodeName());
    a->releaseRef();
    e->releaseRef();
}

// Edits anywhere in a long child list, against a plain vector: every index,
// sibling link and child index must agree after runs of edits at one place
// and jumps between places.
TEST_F(NodeListTest, ChildListsAgreeWithAVectorThroughEditsAnywhere)
{
    Element* parent = doc->createElement("p");
    dom::NodeList view = parent->getChildNodes(); // taken early: stays empty
    std::vector<Node*> model;
    std::uint32_t seed = 12345;
    auto next = [&seed](std::uint32_t bound) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % bound;
    };
    parent->appendChild(doc->createElement("x"));
    model.push_back(parent->getFirstChild());
    dom::NodeList live = parent->getChildNodes();
    for (int step = 0; step < 3000; ++step) {
        // A run of a few edits at one place, then somewhere else.
        std::uint32_t at = next(static_cast<std::uint32_t>(model.size() + 1));
        const bool insert = model.size() < 40 || next(3) != 0;
        for (int run = next(6); run >= 0; --run) {
            if (insert) {
                at = std::min<std::uint32_t>(at, static_cast<std::uint32_t>(model.size()));
                Node* ref = at < model.size() ? model[at] : nullptr;
                Node* fresh = doc->createElement("x");
                ASSERT_EQ(fresh, parent->insertBefore(fresh, ref));
                model.insert(model.begin() + at, fresh);
                at += next(2); // before the same child again, or before the new one
            } else {
                if (at >= model.size())
                    break;
                ASSERT_EQ(model[at], parent->removeChild(model[at]));
                model[at]->releaseRef();
                model.erase(model.begin() + at);
            }
        }
        if (step % 100 == 0) {
            ASSERT_TRUE(linked(parent)) << "step " << step;
        }
    }
    ASSERT_EQ(model.size(), live.length());
    for (unsigned long i = 0; i < model.size(); ++i) {
        ASSERT_EQ(model[i], live.item(i)) << i;
        ASSERT_EQ(i, parent->getChildIndex(model[i])) << i;
    }
    EXPECT_TRUE(linked(parent));
    EXPECT_EQ(0u, view.length());
    parent->releaseRef();
}

// A child list that has only been appended to keeps its entries by their
// sibling links alone.  The first edit of any other kind must find the
// children exactly as they are, whether it touches an end, the middle, or
// only asks for a place.
TEST_F(NodeListTest, AnAppendedChildListServesEveryFirstEdit)
{
    using Model = std::vector<Node*>;
    struct Case {
        const char* name;
        std::function<void(Element*, Model&, Document*)> edit;
    };
    auto fresh = [](Document* d) { return d->createElement("y"); };
    const std::vector<Case> cases = {
        {"remove the last",
         [](Element* p, Model& m, Document*) {
             p->removeChild(m.back())->releaseRef();
             m.pop_back();
         }},
        {"remove the first",
         [](Element* p, Model& m, Document*) {
             p->removeChild(m.front())->releaseRef();
             m.erase(m.begin());
         }},
        {"remove the middle",
         [](Element* p, Model& m, Document*) {
             p->removeChild(m[2])->releaseRef();
             m.erase(m.begin() + 2);
         }},
        {"insert before the last",
         [&](Element* p, Model& m, Document* d) { m.insert(m.end() - 1, p->insertBefore(fresh(d), m.back())); }},
        {"insert before the first",
         [&](Element* p, Model& m, Document* d) { m.insert(m.begin(), p->insertBefore(fresh(d), m.front())); }},
        {"insert in the middle",
         [&](Element* p, Model& m, Document* d) { m.insert(m.begin() + 3, p->insertBefore(fresh(d), m[3])); }},
        {"replace the last",
         [&](Element* p, Model& m, Document* d) {
             Node* y = fresh(d);
             p->replaceChild(y, m.back())->releaseRef();
             m.back() = y;
         }},
        {"move the first to the end",
         [](Element* p, Model& m, Document*) {
             p->appendChild(m.front());
             std::rotate(m.begin(), m.begin() + 1, m.end());
         }},
        {"move the last to the front",
         [](Element* p, Model& m, Document*) {
             p->insertBefore(m.back(), m.front());
             std::rotate(m.rbegin(), m.rbegin() + 1, m.rend());
         }},
        {"ask for a middle place", [](Element* p, Model& m, Document*) { EXPECT_EQ(3u, p->getChildIndex(m[3])); }},
        {"ask for a middle child", [](Element* p, Model& m, Document*) { EXPECT_EQ(m[2], p->getChildNode(2)); }},
        {"take a view, then append",
         [&](Element* p, Model& m, Document* d) {
             dom::NodeList view = p->getChildNodes();
             m.push_back(p->appendChild(fresh(d)));
             EXPECT_EQ(m.size(), view.length());
         }},
    };
    for (const Case& c : cases) {
        Element* parent = doc->createElement("p");
        std::vector<Node*> model;
        for (int i = 0; i < 6; ++i)
            model.push_back(parent->appendChild(doc->createElement("x")));
        c.edit(parent, model, doc.get());
        // Appends after the edit go where the edit left the list.
        model.push_back(parent->appendChild(doc->createElement("z")));
        std::vector<Node*> walked;
        for (Node* n = parent->getFirstChild(); n; n = n->getNextSibling())
            walked.push_back(n);
        EXPECT_EQ(model, walked) << c.name;
        EXPECT_EQ(model.back(), parent->getLastChild()) << c.name;
        EXPECT_EQ(model.size(), parent->getChildLength()) << c.name;
        EXPECT_TRUE(linked(parent)) << c.name;
        parent->releaseRef();
    }
}
