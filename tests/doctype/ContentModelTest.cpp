#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "doctype/ContentModel.h"

namespace {

using Node = ContentModel::_Node;
using Group = ContentModel::_Group;

const Group* asGroup(const Node* node)
{
    return node && node->getKind() == Node::GROUP_KIND ? static_cast<const Group*>(node) : nullptr;
}

std::string joinedNames(const ContentModel& model)
{
    std::vector<std::string> list;
    model.collectNames(list);
    std::string out;
    for (const std::string& name : list)
        out += (out.empty() ? "" : ",") + name;
    return out;
}

} // namespace

TEST(ContentModel, ParsesAndWritesModels)
{
    struct Case {
        const char* text;
        ContentModel::Type type;
        const char* written;
        const char* names;
    };
    const Case cases[] = {
        {"EMPTY", ContentModel::EMPTY_CONTENT, "EMPTY", ""},
        {"CDATA", ContentModel::CDATA_CONTENT, "CDATA", ""},
        {"ANY", ContentModel::ANY_CONTENT, "ANY", ""},
        {" \r\n\t", ContentModel::ANY_CONTENT, "ANY", ""},
        {"(#PCDATA)*", ContentModel::PCDATA_CONTENT, "(#PCDATA)", ""},
        {"(#FLOW)*", ContentModel::FLOW_CONTENT, "(#FLOW)", ""},
        {"(#INLINE)*", ContentModel::INLINE_CONTENT, "(#INLINE)", ""},
        // Keywords are case-sensitive.
        {"(#pcdata)", ContentModel::ELEMENT_CONTENT, "(#pcdata)", "#pcdata"},
        {"empty", ContentModel::ANY_CONTENT, "ANY", ""},
        {"(TR)+", ContentModel::ELEMENT_CONTENT, "(TR)+", "TR"},
        {"(#PCDATA|audio|value)*", ContentModel::MIXED_CONTENT, "(#PCDATA|audio|value)*", "audio,value"},
        {"( #PCDATA | A )*", ContentModel::MIXED_CONTENT, "(#PCDATA|A)*", "A"},
        // Without a connector the keyword is joined by a blank.
        {"(#PCDATA A)", ContentModel::MIXED_CONTENT, "(#PCDATA A)", "A"},
        {"(#FLOW|LI)*", ContentModel::FLOW_CONTENT, "(#FLOW|LI)*", "LI"},
        {"(A&B)?", ContentModel::ELEMENT_CONTENT, "(A&B)?", "A,B"},
        {"(A|#INLINE|#FLOW)", ContentModel::FLOW_CONTENT, "(#FLOW|A)", "A"},
        {"(CAPTION?, (COL*|COLGROUP*), THEAD?, TFOOT?, TBODY+)", ContentModel::ELEMENT_CONTENT,
         "(CAPTION?,(COL*|COLGROUP*),THEAD?,TFOOT?,TBODY+)", "CAPTION,COL,COLGROUP,THEAD,TFOOT,TBODY"},
        // The first connector of a group decides.
        {"(A, B | C & D)", ContentModel::ELEMENT_CONTENT, "(A,B,C,D)", "A,B,C,D"},
        // A nested group that names nothing stays a member.
        {"(#PCDATA,LEGEND,(#FLOW)*)", ContentModel::FLOW_CONTENT, "(#FLOW,LEGEND,()*)", "LEGEND"},
        {"(A,(B|(C,A)*)+,D) +(E)", ContentModel::ELEMENT_CONTENT, "(A,(B|(C,A)*)+,D) +(E)", "A,B,C,A,D"},
        // Exceptions.
        {"(#FLOW)* +(INS|DEL)", ContentModel::FLOW_CONTENT, "(#FLOW) +(INS|DEL)", ""},
        {"(A|B)* +(X) -(Y|Z)", ContentModel::ELEMENT_CONTENT, "(A|B)* +(X) -(Y|Z)", "A,B"},
        {"+(A)", ContentModel::ELEMENT_CONTENT, "+(A)", ""},
        // Directly after a group "+" is its occurrence; "-" is ignored; the
        // group after either falls into the used root slot and is dropped.
        {"(A)+(B)", ContentModel::ELEMENT_CONTENT, "(A)+", "A"},
        {"(A)-(B)", ContentModel::ELEMENT_CONTENT, "(A)", "A"},
        // Forgiving input.
        {"(A))) (B)", ContentModel::ELEMENT_CONTENT, "(A)", "A"},
        {"A B", ContentModel::ANY_CONTENT, "ANY", ""},
        {"EMPTY (A|B)", ContentModel::EMPTY_CONTENT, "EMPTY", ""},
        {"(A) EMPTY CDATA", ContentModel::ELEMENT_CONTENT, "(A)", "A"},
        // White space forgets the node an indicator would apply to.
        {"(A *, B)", ContentModel::ELEMENT_CONTENT, "(A,B)", "A,B"},
        {"(x-y)", ContentModel::ELEMENT_CONTENT, "(x y)", "x,y"},
        {"(A,(B|C", ContentModel::ELEMENT_CONTENT, "(A,(B|C))", "A,B,C"},
        {"()", ContentModel::ANY_CONTENT, "ANY", ""},
        {"(a.b;c)", ContentModel::ELEMENT_CONTENT, "(a.b;c)", "a.b;c"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ContentModel model(c.text);
        EXPECT_EQ(c.type, model.getType());
        EXPECT_EQ(c.written, model.toString());
        EXPECT_EQ(c.names, joinedNames(model));
    }

    // A root that names nothing is dropped.
    EXPECT_EQ(nullptr, ContentModel("(#PCDATA)").getRoot());
    EXPECT_EQ(nullptr, ContentModel("(#FLOW)* +(INS)").getRoot());
    EXPECT_EQ(ContentModel::ANY_CONTENT, ContentModel().getType());
}

TEST(ContentModel, FindAndExceptions)
{
    // (The tree's connectors and occurrences show in the written forms above.)
    // find: exact names, depth-first, first match in member order.
    ContentModel nested("(A,(B|(C,A)*)+,D) +(E) -(F)");
    ASSERT_NE(nullptr, nested.find("C"));
    EXPECT_EQ("C", nested.find("C")->getName());
    EXPECT_EQ(asGroup(nested.getRoot())->getMember(0), nested.find("A"));
    EXPECT_EQ(nullptr, nested.find("c"));
    EXPECT_EQ(nullptr, nested.find("E"));
    EXPECT_EQ(nullptr, nested.find(""));
    EXPECT_TRUE(nested.includes("E"));
    EXPECT_FALSE(nested.includes("e"));
    EXPECT_FALSE(nested.includes("F"));
    EXPECT_TRUE(nested.excludes("F"));
    EXPECT_FALSE(nested.excludes("A"));

    // Parsing again replaces everything.
    nested.parse("EMPTY");
    EXPECT_EQ(ContentModel::EMPTY_CONTENT, nested.getType());
    EXPECT_EQ(nullptr, nested.getRoot());
    EXPECT_EQ(nullptr, nested.getInclusions());
    EXPECT_EQ(nullptr, nested.getExclusions());
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

    ContentModel moved(std::move(copy));
    EXPECT_EQ(text, moved.toString());
    assigned = ContentModel("EMPTY");
    ContentModel& same = assigned;
    assigned = same;
    EXPECT_EQ("EMPTY", assigned.toString());

    Node* clone = moved.getRoot()->clone();
    std::string a, b;
    moved.getRoot()->toString(a);
    clone->toString(b);
    EXPECT_EQ(a, b);
    delete clone;
}

TEST(ContentModel, DeepNestingAndLongGroups)
{
    const int depth = 100000;
    std::string text(depth, '(');
    text += "A";
    for (int i = 0; i < depth; ++i)
        text += ")*";
    ContentModel deep(text);
    EXPECT_EQ(ContentModel::ELEMENT_CONTENT, deep.getType());
    EXPECT_NE(nullptr, deep.find("A"));
    EXPECT_EQ(nullptr, deep.find("B"));
    EXPECT_EQ("A", joinedNames(deep));
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
    EXPECT_EQ(static_cast<unsigned long>(depth), asGroup(mixed.getRoot())->getLength());
    EXPECT_EQ(wide, mixed.toString());
}
