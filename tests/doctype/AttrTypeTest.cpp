#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "doctype/AttrType.h"
#include "doctype/AttrTypeList.h"
#include "doctype/DeclarationBuilder.h"

using pagedom::DeclarationBuilder;

namespace {

using Names = std::vector<std::string>;

// A fresh attribute type with one reference; a non-null values pointer
// makes it a name group.
AttrType* makeType(const std::string& name, AttrType::ValueType valueType,
                   AttrType::DefaultType defaultType, const std::string& defaultValue = std::string(),
                   const Names* values = nullptr)
{
    AttrType* type = new AttrType(nullptr, name);
    type->addRef();
    DeclarationBuilder::setValueType(*type, values ? AttrType::NAME_GROUP_TYPE : valueType);
    DeclarationBuilder::setDefaultType(*type, defaultType);
    DeclarationBuilder::setDefaultValue(*type, defaultValue);
    if (values)
        DeclarationBuilder::setValues(*type, *values);
    return type;
}

AttrType* makeGroup(const std::string& name, const Names& values, AttrType::DefaultType defaultType,
                    const std::string& defaultValue = std::string())
{
    return makeType(name, AttrType::NAME_GROUP_TYPE, defaultType, defaultValue, &values);
}

AttrTypeList* makeList(const std::string& name)
{
    AttrTypeList* list = new AttrTypeList(nullptr, name);
    list->addRef();
    return list;
}

} // namespace

TEST(AttrType, DefaultsAndSource)
{
    AttrType* plain = new AttrType(nullptr, "title");
    EXPECT_EQ(1u, plain->addRef());
    EXPECT_EQ(AttrType::CDATA_TYPE, plain->getValueType());
    EXPECT_EQ(AttrType::IMPLIED_DEFAULT, plain->getDefaultType());
    EXPECT_FALSE(plain->hasValues());
    EXPECT_TRUE(plain->validateValue("anything"));
    EXPECT_EQ("title CDATA #IMPLIED", plain->getSource());
    EXPECT_EQ(0u, plain->releaseRef());

    const char* keys[] = {"CDATA",    "ID",     "IDREF",  "IDREFS", "ENTITY", "ENTITIES", "NMTOKEN",
                          "NMTOKENS", "NOTATION", "NUMBER", "URI",    "COLOR",  "EVENT"};
    for (int i = 0; i < 13; ++i) {
        AttrType* t = makeType("a", static_cast<AttrType::ValueType>(i), AttrType::REQUIRED_DEFAULT);
        EXPECT_EQ(std::string("a ") + keys[i] + " #REQUIRED", t->getSource());
        t->releaseRef();
    }

    AttrType* fixed = makeType("version", AttrType::CDATA_TYPE, AttrType::FIXED_DEFAULT, "-//W3C//DTD HTML 4.0//EN");
    EXPECT_EQ("version CDATA #FIXED \"-//W3C//DTD HTML 4.0//EN\"", fixed->getSource());
    AttrType* shape = makeGroup("shape", {"rect", "circle", "poly", "default"}, AttrType::VALUE_DEFAULT, "rect");
    EXPECT_EQ("shape (rect|circle|poly|default) \"rect\"", shape->getSource());
    EXPECT_EQ((Names{"rect", "circle", "poly", "default"}), shape->getValues());
    AttrType* none = makeGroup("x", {}, AttrType::IMPLIED_DEFAULT);
    EXPECT_EQ("x () #IMPLIED", none->getSource());
    for (AttrType* t : {fixed, shape, none})
        t->releaseRef();
}

TEST(AttrType, BooleanAndValidation)
{
    AttrType* utn = makeGroup("utn", {"utn"}, AttrType::IMPLIED_DEFAULT);
    AttrType* upper = makeGroup("nowrap", {"NOWRAP"}, AttrType::IMPLIED_DEFAULT);
    AttrType* scrolling = makeGroup("scrolling", {"yes", "no", "auto"}, AttrType::VALUE_DEFAULT, "auto");
    AttrType* empty = makeGroup("e", {}, AttrType::IMPLIED_DEFAULT);
    EXPECT_TRUE(utn->isBooleanType());
    EXPECT_FALSE(upper->isBooleanType());
    EXPECT_FALSE(scrolling->isBooleanType());
    EXPECT_FALSE(empty->isBooleanType());

    EXPECT_TRUE(upper->validateValue("nowrap"));
    EXPECT_TRUE(scrolling->validateValue("Auto"));
    EXPECT_FALSE(scrolling->validateValue("maybe"));
    EXPECT_FALSE(scrolling->validateValue("autos"));
    EXPECT_FALSE(scrolling->validateValue(""));
    EXPECT_FALSE(empty->validateValue(""));

    // A copy owns its own members.
    AttrType* copy = static_cast<AttrType*>(scrolling->cloneNode(true));
    EXPECT_EQ(1u, copy->getRefCount());
    DeclarationBuilder::setValues(*scrolling, {"on"});
    EXPECT_EQ("scrolling (yes|no|auto) \"auto\"", copy->getSource());
    for (AttrType* t : {utn, upper, scrolling, empty, copy})
        t->releaseRef();
}

TEST(AttrTypeList, LookupsNamesAndSource)
{
    AttrTypeList* list = makeList("TD");
    EXPECT_EQ(Node::ATTR_TYPE_LIST_NODE, list->getNodeType());
    EXPECT_EQ(nullptr, list->getAttrType("align"));
    EXPECT_EQ("<!ATTLIST TD\r\n>", list->getSource());
    EXPECT_EQ(nullptr, DeclarationBuilder::addAttrType(*list, nullptr));

    AttrType* align = makeGroup("align", {"left", "center", "right"}, AttrType::IMPLIED_DEFAULT);
    AttrType* id = makeType("id", AttrType::ID_TYPE, AttrType::REQUIRED_DEFAULT);
    AttrType* colspan = makeType("colspan", AttrType::NUMBER_TYPE, AttrType::VALUE_DEFAULT, "1");
    AttrType* lang = makeType("lang", AttrType::NMTOKEN_TYPE, AttrType::FIXED_DEFAULT, "en");
    AttrType* again = makeType("ALIGN", AttrType::CDATA_TYPE, AttrType::REQUIRED_DEFAULT);
    for (AttrType* t : {align, id, colspan, lang, again})
        EXPECT_EQ(t, DeclarationBuilder::addAttrType(*list, t));

    EXPECT_EQ(5u, list->getLength());
    EXPECT_EQ(list, align->getOwnerList());
    EXPECT_EQ(1u, align->getRefCount());
    EXPECT_EQ(id, list->getAttrType(1ul));
    EXPECT_EQ(nullptr, list->getAttrType(5ul));
    // Lookups ignore case; the later of two same-named types wins.
    EXPECT_EQ(again, list->getAttrType("Align"));
    EXPECT_EQ(colspan, list->getAttrType("COLSPAN"));
    EXPECT_EQ(nullptr, list->getAttrType(""));
    EXPECT_EQ((Names{"align", "id", "colspan", "lang", "ALIGN"}), list->getAllAttrNames());
    EXPECT_EQ((Names{"id", "ALIGN"}), list->getRequiredAttrNames());
    EXPECT_EQ((Names{"align", "id", "ALIGN"}), list->getNoDefaultAttrNames());

    const std::string source = "<!ATTLIST TD\r\nalign (left|center|right) #IMPLIED\r\nid ID #REQUIRED"
                               "\r\ncolspan NUMBER \"1\"\r\nlang NMTOKEN #FIXED \"en\""
                               "\r\nALIGN CDATA #REQUIRED\r\n>";
    EXPECT_EQ(source, list->getSource());

    // A copy has its own attribute types, in the same order.
    AttrTypeList* copy = static_cast<AttrTypeList*>(list->cloneNode(false));
    EXPECT_EQ(1u, copy->getRefCount());
    ASSERT_EQ(5u, copy->getLength());
    EXPECT_NE(align, copy->getAttrType(0ul));
    EXPECT_EQ(copy, copy->getAttrType(0ul)->getOwnerList());
    EXPECT_EQ(copy->getAttrType(4ul), copy->getAttrType("align"));
    list->releaseRef();
    EXPECT_EQ(source, copy->getSource());
    copy->releaseRef();
}

TEST(AttrTypeList, OwnershipAndScale)
{
    // A type someone else still holds outlives its list and forgets it.
    AttrTypeList* list = makeList("A");
    AttrType* held = makeType("href", AttrType::URI_TYPE, AttrType::IMPLIED_DEFAULT);
    DeclarationBuilder::addAttrType(*list, held);
    held->addRef();
    EXPECT_EQ(0u, list->releaseRef());
    EXPECT_EQ(1u, held->getRefCount());
    EXPECT_EQ(nullptr, held->getOwnerList());
    held->releaseRef();

    // Unnamed types are listed but cannot be looked up.
    AttrTypeList* unnamed = makeList("B");
    DeclarationBuilder::addAttrType(*unnamed, makeType("", AttrType::CDATA_TYPE, AttrType::IMPLIED_DEFAULT));
    EXPECT_EQ(1u, unnamed->getLength());
    EXPECT_EQ(nullptr, unnamed->getAttrType("x"));
    unnamed->releaseRef();

    const unsigned long count = 100000;
    AttrTypeList* big = makeList("BIG");
    for (unsigned long i = 0; i < count; ++i)
        DeclarationBuilder::addAttrType(*big, makeType("a" + std::to_string(i), AttrType::CDATA_TYPE,
                                  i % 2 ? AttrType::REQUIRED_DEFAULT : AttrType::IMPLIED_DEFAULT));
    for (unsigned long i = 0; i < count; i += 7)
        ASSERT_EQ(big->getAttrType(i), big->getAttrType("A" + std::to_string(i)));
    EXPECT_EQ(count / 2, big->getRequiredAttrNames().size());
    EXPECT_EQ(count, big->getNoDefaultAttrNames().size());
    AttrTypeList* copy = static_cast<AttrTypeList*>(big->cloneNode(true));
    EXPECT_EQ(big->getSource(), copy->getSource());
    copy->releaseRef();
    big->releaseRef();
}
