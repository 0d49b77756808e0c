#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "doctype/ContentModel.h"

namespace {

using Node = ContentModel::_Node;
using Group = ContentModel::_Group;
using Elem = ContentModel::_Element;

const Group* asGroup(const Node* node)
{
    if (!node || node->getKind() != Node::GROUP_KIND)
        return nullptr;
    return static_cast<const Group*>(node);
}

const Elem* asElement(const Node* node)
{
    if (!node || node->getKind() != Node::ELEMENT_KIND)
        return nullptr;
    return static_cast<const Elem*>(node);
}

std::vector<std::string> names(const ContentModel& model)
{
    std::vector<std::string> list;
    model.collectNames(list);
    return list;
}

} // namespace

TEST(ContentModel, KeywordModels)
{
    ContentModel empty("EMPTY");
    EXPECT_EQ(ContentModel::EMPTY_CONTENT, empty.getType());
    EXPECT_EQ(nullptr, empty.getRoot());
    EXPECT_EQ("EMPTY", empty.toString());

    ContentModel cdata("CDATA");
    EXPECT_EQ(ContentModel::CDATA_CONTENT, cdata.getType());
    EXPECT_EQ("CDATA", cdata.toString());

    ContentModel any("ANY");
    EXPECT_EQ(ContentModel::ANY_CONTENT, any.getType());
    EXPECT_EQ("ANY", any.toString());

    ContentModel none;
    EXPECT_EQ(ContentModel::ANY_CONTENT, none.getType());
    EXPECT_EQ("ANY", none.toString());
    ContentModel blank("  \r\n\t ");
    EXPECT_EQ(ContentModel::ANY_CONTENT, blank.getType());

    ContentModel pcdata("(#PCDATA)");
    EXPECT_EQ(ContentModel::PCDATA_CONTENT, pcdata.getType());
    EXPECT_EQ(nullptr, pcdata.getRoot());
    EXPECT_EQ("(#PCDATA)", pcdata.toString());
    ContentModel pcdataStar("(#PCDATA)*");
    EXPECT_EQ(ContentModel::PCDATA_CONTENT, pcdataStar.getType());
    EXPECT_EQ("(#PCDATA)", pcdataStar.toString());

    ContentModel flow("(#FLOW)*");
    EXPECT_EQ(ContentModel::FLOW_CONTENT, flow.getType());
    EXPECT_EQ(nullptr, flow.getRoot());
    EXPECT_EQ("(#FLOW)", flow.toString());

    ContentModel inl("(#INLINE)*");
    EXPECT_EQ(ContentModel::INLINE_CONTENT, inl.getType());
    EXPECT_EQ(nullptr, inl.getRoot());
    EXPECT_EQ("(#INLINE)", inl.toString());

    // Keywords are case-sensitive: a lower-case one is an element name.
    ContentModel lower("(#pcdata)");
    EXPECT_EQ(ContentModel::ELEMENT_CONTENT, lower.getType());
    EXPECT_EQ("(#pcdata)", lower.toString());
    ContentModel empty2("empty");
    EXPECT_EQ(ContentModel::ANY_CONTENT, empty2.getType());
}

TEST(ContentModel, ElementAndMixedGroups)
{
    ContentModel rows("(TR)+");
    EXPECT_EQ(ContentModel::ELEMENT_CONTENT, rows.getType());
    const Group* root = asGroup(rows.getRoot());
    ASSERT_NE(nullptr, root);
    EXPECT_EQ(Node::OCCURS_ONE_OR_MORE, root->getOccurrence());
    EXPECT_EQ(Group::NO_CONNECTOR, root->getConnector());
    ASSERT_EQ(1u, root->getLength());
    ASSERT_NE(nullptr, asElement(root->getMember(0)));
    EXPECT_EQ("TR", asElement(root->getMember(0))->getName());
    EXPECT_EQ(Node::OCCURS_ONCE, root->getMember(0)->getOccurrence());
    EXPECT_EQ("(TR)+", rows.toString());

    ContentModel mixed("(#PCDATA|audio|value)*");
    EXPECT_EQ(ContentModel::MIXED_CONTENT, mixed.getType());
    root = asGroup(mixed.getRoot());
    ASSERT_NE(nullptr, root);
    EXPECT_EQ(Group::CHOICE_CONNECTOR, root->getConnector());
    EXPECT_EQ(Node::OCCURS_ANY, root->getOccurrence());
    EXPECT_EQ(2u, root->getLength());
    EXPECT_EQ("(#PCDATA|audio|value)*", mixed.toString());
    EXPECT_EQ((std::vector<std::string>{"audio", "value"}), names(mixed));

    // A name after "#PCDATA" turns PCDATA into mixed content.
    ContentModel spaced("( #PCDATA | A )*");
    EXPECT_EQ(ContentModel::MIXED_CONTENT, spaced.getType());
    EXPECT_EQ("(#PCDATA|A)*", spaced.toString());

    // Without a connector the keyword is joined by a blank.
    ContentModel unjoined("(#PCDATA A)");
    EXPECT_EQ(ContentModel::MIXED_CONTENT, unjoined.getType());
    EXPECT_EQ("(#PCDATA A)", unjoined.toString());

    ContentModel flowNames("(#FLOW|LI)*");
    EXPECT_EQ(ContentModel::FLOW_CONTENT, flowNames.getType());
    EXPECT_EQ("(#FLOW|LI)*", flowNames.toString());

    ContentModel all("(A&B)?");
    EXPECT_EQ(Group::ALL_CONNECTOR, asGroup(all.getRoot())->getConnector());
    EXPECT_EQ("(A&B)?", all.toString());

    // "#INLINE" after names, "#FLOW" after "#INLINE".
    ContentModel upgrade("(A|#INLINE|#FLOW)");
    EXPECT_EQ(ContentModel::FLOW_CONTENT, upgrade.getType());
    EXPECT_EQ("(#FLOW|A)", upgrade.toString());
}

TEST(ContentModel, NestedSequence)
{
    ContentModel table("(CAPTION?, (COL*|COLGROUP*), THEAD?, TFOOT?, TBODY+)");
    EXPECT_EQ(ContentModel::ELEMENT_CONTENT, table.getType());
    const Group* root = asGroup(table.getRoot());
    ASSERT_NE(nullptr, root);
    EXPECT_EQ(Group::SEQUENCE_CONNECTOR, root->getConnector());
    ASSERT_EQ(5u, root->getLength());
    EXPECT_EQ(Node::OCCURS_OPTIONAL, root->getMember(0)->getOccurrence());
    const Group* cols = asGroup(root->getMember(1));
    ASSERT_NE(nullptr, cols);
    EXPECT_EQ(Group::CHOICE_CONNECTOR, cols->getConnector());
    EXPECT_EQ(Node::OCCURS_ANY, cols->getMember(0)->getOccurrence());
    EXPECT_EQ(Node::OCCURS_ANY, cols->getMember(1)->getOccurrence());
    EXPECT_EQ(Node::OCCURS_ONE_OR_MORE, root->getMember(4)->getOccurrence());
    EXPECT_EQ("(CAPTION?,(COL*|COLGROUP*),THEAD?,TFOOT?,TBODY+)", table.toString());
    EXPECT_EQ((std::vector<std::string>{"CAPTION", "COL", "COLGROUP", "THEAD", "TFOOT", "TBODY"}),
              names(table));

    // A later, different connector does not change the group's connector.
    ContentModel mixedConnectors("(A, B | C & D)");
    EXPECT_EQ(Group::SEQUENCE_CONNECTOR, asGroup(mixedConnectors.getRoot())->getConnector());
    EXPECT_EQ("(A,B,C,D)", mixedConnectors.toString());

    // The FIELDSET model: the nested group names nothing but stays a member.
    ContentModel fieldset("(#PCDATA,LEGEND,(#FLOW)*)");
    EXPECT_EQ(ContentModel::FLOW_CONTENT, fieldset.getType());
    EXPECT_EQ((std::vector<std::string>{"LEGEND"}), names(fieldset));
    EXPECT_EQ("(#FLOW,LEGEND,()*)", fieldset.toString());
}

TEST(ContentModel, Exceptions)
{
    ContentModel body("(#FLOW)* +(INS|DEL)");
    EXPECT_EQ(ContentModel::FLOW_CONTENT, body.getType());
    EXPECT_EQ(nullptr, body.getRoot());
    const Group* inc = asGroup(body.getInclusions());
    ASSERT_NE(nullptr, inc);
    EXPECT_EQ(Group::CHOICE_CONNECTOR, inc->getConnector());
    EXPECT_EQ(nullptr, body.getExclusions());
    EXPECT_TRUE(body.includes("INS"));
    EXPECT_TRUE(body.includes("DEL"));
    EXPECT_FALSE(body.includes("ins"));
    EXPECT_FALSE(body.excludes("INS"));
    EXPECT_TRUE(names(body).empty());
    EXPECT_EQ("(#FLOW) +(INS|DEL)", body.toString());

    ContentModel form("(#FLOW)* -(FORM)");
    EXPECT_TRUE(form.excludes("FORM"));
    EXPECT_FALSE(form.includes("FORM"));
    EXPECT_EQ("(#FLOW) -(FORM)", form.toString());

    ContentModel both("(A|B)* +(X) -(Y|Z)");
    EXPECT_EQ(ContentModel::ELEMENT_CONTENT, both.getType());
    EXPECT_EQ("(A|B)* +(X) -(Y|Z)", both.toString());
    EXPECT_EQ((std::vector<std::string>{"A", "B"}), names(both));
    EXPECT_TRUE(both.includes("X"));
    EXPECT_TRUE(both.excludes("Z"));
    EXPECT_EQ(nullptr, both.find("X"));

    ContentModel pre("(#INLINE)* -(IMG|BIG)");
    EXPECT_EQ("(#INLINE) -(IMG|BIG)", pre.toString());

    // Names only in an exception: no leading blank in the text form.
    ContentModel onlyInclusion("+(A)");
    EXPECT_EQ(ContentModel::ELEMENT_CONTENT, onlyInclusion.getType());
    EXPECT_EQ(nullptr, onlyInclusion.getRoot());
    EXPECT_EQ("+(A)", onlyInclusion.toString());

    // Directly after a group, "+" is its occurrence, not an inclusion; the
    // next group then falls into the already used root slot and is ignored.
    ContentModel glued("(A)+(B)");
    EXPECT_EQ(nullptr, glued.getInclusions());
    EXPECT_EQ("(A)+", glued.toString());
    EXPECT_EQ((std::vector<std::string>{"A"}), names(glued));

    // "-" right after a group is ignored.
    ContentModel dash("(A)-(B)");
    EXPECT_EQ(nullptr, dash.getExclusions());
    EXPECT_EQ("(A)", dash.toString());
}

TEST(ContentModel, ForgivingInput)
{
    // Unbalanced ")" and a second top-level group are ignored.
    ContentModel extra("(A))) (B)");
    EXPECT_EQ("(A)", extra.toString());
    EXPECT_EQ((std::vector<std::string>{"A"}), names(extra));

    // Names outside any group are dropped and do not change the type.
    ContentModel bare("A B");
    EXPECT_EQ(ContentModel::ANY_CONTENT, bare.getType());
    EXPECT_EQ(nullptr, bare.getRoot());

    // Names in an EMPTY or CDATA model are dropped.
    ContentModel emptyNames("EMPTY (A|B)");
    EXPECT_EQ(ContentModel::EMPTY_CONTENT, emptyNames.getType());
    EXPECT_EQ(nullptr, emptyNames.getRoot());
    EXPECT_EQ("EMPTY", emptyNames.toString());
    ContentModel cdataNames("CDATA (A)");
    EXPECT_EQ(ContentModel::CDATA_CONTENT, cdataNames.getType());
    EXPECT_TRUE(names(cdataNames).empty());

    // "EMPTY" and "CDATA" count only in a model that is still ANY.
    ContentModel late("(A) EMPTY CDATA");
    EXPECT_EQ(ContentModel::ELEMENT_CONTENT, late.getType());

    // White space forgets the last node, so a detached indicator is lost.
    ContentModel detached("(A *, B)");
    const Group* root = asGroup(detached.getRoot());
    ASSERT_NE(nullptr, root);
    EXPECT_EQ(Node::OCCURS_ONCE, root->getMember(0)->getOccurrence());
    EXPECT_EQ("(A,B)", detached.toString());

    // "-" ends a name and is otherwise ignored inside a group.
    ContentModel hyphen("(x-y)");
    EXPECT_EQ((std::vector<std::string>{"x", "y"}), names(hyphen));

    // Unclosed groups keep what they read.
    ContentModel open("(A,(B|C");
    EXPECT_EQ("(A,(B|C))", open.toString());

    // An empty group is dropped as root.
    ContentModel nothing("()");
    EXPECT_EQ(nullptr, nothing.getRoot());
    EXPECT_EQ(ContentModel::ANY_CONTENT, nothing.getType());

    // Other characters belong to names.
    ContentModel odd("(a.b;c)");
    EXPECT_EQ((std::vector<std::string>{"a.b;c"}), names(odd));

    // Parsing again replaces the previous model.
    ContentModel model("(A|B) +(C)");
    model.parse("EMPTY");
    EXPECT_EQ(ContentModel::EMPTY_CONTENT, model.getType());
    EXPECT_EQ(nullptr, model.getRoot());
    EXPECT_EQ(nullptr, model.getInclusions());
    model.parse("(#PCDATA)");
    EXPECT_EQ(ContentModel::PCDATA_CONTENT, model.getType());
}

TEST(ContentModel, FindAndCollect)
{
    ContentModel model("(A,(B|(C,A)*)+,D) +(E)");
    EXPECT_EQ((std::vector<std::string>{"A", "B", "C", "A", "D"}), names(model));
    const Elem* c = model.find("C");
    ASSERT_NE(nullptr, c);
    EXPECT_EQ("C", c->getName());
    EXPECT_EQ(nullptr, model.find("c"));
    EXPECT_EQ(nullptr, model.find("E"));
    EXPECT_EQ(nullptr, model.find(""));
    // The first A in member order is found.
    const Group* root = asGroup(model.getRoot());
    EXPECT_EQ(root->getMember(0), model.find("A"));
    EXPECT_EQ("(A,(B|(C,A)*)+,D) +(E)", model.toString());
}

TEST(ContentModel, CopiesAreDeep)
{
    ContentModel* original = new ContentModel("(A|(B,C)*)+ +(X) -(Y)");
    ContentModel copy(*original);
    ContentModel assigned;
    assigned = *original;
    EXPECT_NE(original->getRoot(), copy.getRoot());
    EXPECT_NE(original->getInclusions(), copy.getInclusions());
    EXPECT_NE(original->getExclusions(), assigned.getExclusions());
    const std::string text = original->toString();
    delete original;
    EXPECT_EQ(text, copy.toString());
    EXPECT_EQ(text, assigned.toString());
    EXPECT_EQ(ContentModel::ELEMENT_CONTENT, copy.getType());

    ContentModel moved(std::move(copy));
    EXPECT_EQ(text, moved.toString());
    assigned = ContentModel("EMPTY");
    EXPECT_EQ("EMPTY", assigned.toString());
    ContentModel& same = assigned;
    assigned = same;
    EXPECT_EQ("EMPTY", assigned.toString());

    // Cloning a single node.
    const Node* root = moved.getRoot();
    Node* clone = root->clone();
    std::string a, b;
    root->toString(a);
    clone->toString(b);
    EXPECT_EQ(a, b);
    delete clone;
}

TEST(ContentModel, DeepNestingAndLongGroups)
{
    const int depth = 100000;
    std::string text;
    text.append(depth, '(');
    text += "A";
    for (int i = 0; i < depth; ++i)
        text += ")*";
    ContentModel deep(text);
    EXPECT_EQ(ContentModel::ELEMENT_CONTENT, deep.getType());
    ASSERT_NE(nullptr, deep.find("A"));
    EXPECT_EQ(nullptr, deep.find("B"));
    EXPECT_EQ((std::vector<std::string>{"A"}), names(deep));
    EXPECT_EQ(text, deep.toString());
    ContentModel copy(deep);
    EXPECT_EQ(text.size(), copy.toString().size());

    // Unclosed nesting is destroyed without recursion as well.
    ContentModel unclosed(std::string(depth, '('));
    EXPECT_EQ(ContentModel::ANY_CONTENT, unclosed.getType());

    std::string wide = "(#PCDATA";
    for (int i = 0; i < depth; ++i)
        wide += "|E" + std::to_string(i);
    wide += ")*";
    ContentModel mixed(wide);
    EXPECT_EQ(ContentModel::MIXED_CONTENT, mixed.getType());
    EXPECT_EQ(static_cast<unsigned long>(depth), asGroup(mixed.getRoot())->getLength());
    EXPECT_EQ(wide, mixed.toString());
}
