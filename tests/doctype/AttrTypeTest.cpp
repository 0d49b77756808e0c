#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "doctype/AttrType.h"
#include "doctype/AttrTypeList.h"

namespace {

// A fresh attribute type with one reference.
AttrType* makeType(const std::string& name, AttrType::ValueType valueType,
                   AttrType::DefaultType defaultType, const std::string& defaultValue = std::string())
{
    AttrType* type = new AttrType(nullptr, name);
    type->addRef();
    type->setValueType(valueType);
    type->setDefaultType(defaultType);
    type->setDefaultValue(defaultValue);
    return type;
}

AttrType* makeGroup(const std::string& name, const std::vector<std::string>& values,
                    AttrType::DefaultType defaultType, const std::string& defaultValue = std::string())
{
    AttrType* type = makeType(name, AttrType::NAME_GROUP_TYPE, defaultType, defaultValue);
    type->setValues(values);
    return type;
}

AttrTypeList* makeList(const std::string& name)
{
    AttrTypeList* list = new AttrTypeList(nullptr, name);
    list->addRef();
    return list;
}

} // namespace

TEST(AttrType, DefaultsKeysAndSource)
{
    AttrType* type = new AttrType(nullptr, "title");
    EXPECT_EQ(1u, type->addRef());
    EXPECT_EQ(Node::ATTR_TYPE_NODE, type->getNodeType());
    EXPECT_EQ("title", type->getNodeName());
    EXPECT_EQ(nullptr, type->getParentNode());
    EXPECT_EQ(nullptr, type->getOwnerList());
    EXPECT_EQ(AttrType::CDATA_TYPE, type->getValueType());
    EXPECT_EQ(AttrType::IMPLIED_DEFAULT, type->getDefaultType());
    EXPECT_EQ("", type->getDefaultValue());
    EXPECT_FALSE(type->hasValues());
    EXPECT_TRUE(type->getValues().empty());
    EXPECT_TRUE(type->validateValue("anything"));
    EXPECT_FALSE(type->isBooleanType());
    EXPECT_EQ("title CDATA #IMPLIED", type->getSource());
    EXPECT_EQ(0u, type->releaseRef());

    const AttrType::ValueType types[] = {
        AttrType::CDATA_TYPE,    AttrType::ID_TYPE,       AttrType::IDREF_TYPE,
        AttrType::IDREFS_TYPE,   AttrType::ENTITY_TYPE,   AttrType::ENTITIES_TYPE,
        AttrType::NMTOKEN_TYPE,  AttrType::NMTOKENS_TYPE, AttrType::NOTATION_TYPE,
        AttrType::NUMBER_TYPE,   AttrType::URI_TYPE,      AttrType::COLOR_TYPE,
        AttrType::EVENT_TYPE};
    const char* keys[] = {"CDATA",    "ID",       "IDREF",  "IDREFS", "ENTITY",
                          "ENTITIES", "NMTOKEN",  "NMTOKENS", "NOTATION", "NUMBER",
                          "URI",      "COLOR",    "EVENT"};
    for (int i = 0; i < 13; ++i) {
        EXPECT_EQ(i, static_cast<int>(types[i]));
        EXPECT_EQ(keys[i], AttrType::getValueKey(types[i]));
        AttrType* t = makeType("a", types[i], AttrType::REQUIRED_DEFAULT);
        EXPECT_EQ(std::string("a ") + keys[i] + " #REQUIRED", t->getSource());
        t->releaseRef();
    }
    EXPECT_EQ("CDATA", AttrType::CDATA_KEY);
    EXPECT_EQ("EVENT", AttrType::EVENT_KEY);
    EXPECT_EQ("#FIXED", AttrType::FIXED_KEY);
    EXPECT_EQ("#REQUIRED", AttrType::REQUIRED_KEY);
    EXPECT_EQ("#IMPLIED", AttrType::IMPLIED_KEY);

    AttrType* fixed = makeType("version", AttrType::CDATA_TYPE, AttrType::FIXED_DEFAULT,
                               "-//W3C//DTD HTML 4.0//EN");
    EXPECT_EQ("version CDATA #FIXED \"-//W3C//DTD HTML 4.0//EN\"", fixed->getSource());
    fixed->releaseRef();

    AttrType* shape = makeGroup("shape", {"rect", "circle", "poly", "default"},
                                AttrType::VALUE_DEFAULT, "rect");
    EXPECT_EQ("shape (rect|circle|poly|default) \"rect\"", shape->getSource());
    EXPECT_EQ((std::vector<std::string>{"rect", "circle", "poly", "default"}), shape->getValues());
    shape->releaseRef();

    AttrType* emptyGroup = makeGroup("x", {}, AttrType::IMPLIED_DEFAULT);
    EXPECT_EQ("x () #IMPLIED", emptyGroup->getSource());
    emptyGroup->releaseRef();
}

TEST(AttrType, BooleanAndValidation)
{
    AttrType* utn = makeGroup("utn", {"utn"}, AttrType::IMPLIED_DEFAULT);
    EXPECT_TRUE(utn->isBooleanType());
    AttrType* upper = makeGroup("nowrap", {"NOWRAP"}, AttrType::IMPLIED_DEFAULT);
    EXPECT_FALSE(upper->isBooleanType());
    EXPECT_TRUE(upper->validateValue("nowrap"));
    AttrType* scrolling = makeGroup("scrolling", {"yes", "no", "auto"}, AttrType::VALUE_DEFAULT, "auto");
    EXPECT_FALSE(scrolling->isBooleanType());
    EXPECT_TRUE(scrolling->validateValue("Auto"));
    EXPECT_TRUE(scrolling->validateValue("NO"));
    EXPECT_FALSE(scrolling->validateValue("maybe"));
    EXPECT_FALSE(scrolling->validateValue(""));
    EXPECT_FALSE(scrolling->validateValue("autos"));
    AttrType* frameborder = makeGroup("frameborder", {"1", "0"}, AttrType::VALUE_DEFAULT, "1");
    EXPECT_FALSE(frameborder->isBooleanType());
    AttrType* empty = makeGroup("e", {}, AttrType::IMPLIED_DEFAULT);
    EXPECT_FALSE(empty->validateValue(""));
    EXPECT_FALSE(empty->validateValue("e"));
    EXPECT_FALSE(empty->isBooleanType());

    // A copy owns its own members.
    AttrType* copy = static_cast<AttrType*>(scrolling->cloneNode(true));
    EXPECT_EQ(1u, copy->getRefCount());
    scrolling->setValues({"on"});
    EXPECT_EQ((std::vector<std::string>{"yes", "no", "auto"}), copy->getValues());
    EXPECT_EQ("scrolling (yes|no|auto) \"auto\"", copy->getSource());
    EXPECT_EQ(AttrType::VALUE_DEFAULT, copy->getDefaultType());

    for (AttrType* t : {utn, upper, scrolling, frameborder, empty, copy})
        t->releaseRef();
}

TEST(AttrTypeList, LookupsNamesAndSource)
{
    AttrTypeList* list = makeList("TD");
    EXPECT_EQ(Node::ATTR_TYPE_LIST_NODE, list->getNodeType());
    EXPECT_EQ("TD", list->getNodeName());
    EXPECT_EQ(0u, list->getLength());
    EXPECT_EQ(nullptr, list->getAttrType(0ul));
    EXPECT_EQ(nullptr, list->getAttrType("align"));
    EXPECT_EQ("<!ATTLIST TD\r\n>", list->getSource());
    EXPECT_EQ(nullptr, list->addAttrType(nullptr));

    AttrType* align = makeGroup("align", {"left", "center", "right"}, AttrType::IMPLIED_DEFAULT);
    AttrType* id = makeType("id", AttrType::ID_TYPE, AttrType::REQUIRED_DEFAULT);
    AttrType* nowrap = makeGroup("nowrap", {"nowrap"}, AttrType::IMPLIED_DEFAULT);
    AttrType* colspan = makeType("colspan", AttrType::NUMBER_TYPE, AttrType::VALUE_DEFAULT, "1");
    AttrType* lang = makeType("lang", AttrType::NMTOKEN_TYPE, AttrType::FIXED_DEFAULT, "en");
    AttrType* again = makeType("ALIGN", AttrType::CDATA_TYPE, AttrType::REQUIRED_DEFAULT);
    for (AttrType* t : {align, id, nowrap, colspan, lang, again})
        EXPECT_EQ(t, list->addAttrType(t));

    EXPECT_EQ(6u, list->getLength());
    EXPECT_EQ(list, align->getOwnerList());
    EXPECT_EQ(nullptr, align->getParentNode());
    EXPECT_EQ(1u, align->getRefCount());
    EXPECT_EQ(id, list->getAttrType(1ul));
    EXPECT_EQ(nullptr, list->getAttrType(6ul));

    // Lookups ignore case; the later of two same-named types wins.
    EXPECT_EQ(again, list->getAttrType("align"));
    EXPECT_EQ(again, list->getAttrType("Align"));
    EXPECT_EQ(colspan, list->getAttrType("COLSPAN"));
    EXPECT_EQ(nullptr, list->getAttrType(""));
    EXPECT_EQ(nullptr, list->getAttrType("rowspan"));

    EXPECT_EQ((std::vector<std::string>{"align", "id", "nowrap", "colspan", "lang", "ALIGN"}),
              list->getAllAttrNames());
    EXPECT_EQ((std::vector<std::string>{"id", "ALIGN"}), list->getRequiredAttrNames());
    EXPECT_EQ((std::vector<std::string>{"align", "id", "nowrap", "ALIGN"}), list->getNoDefaultAttrNames());

    const std::string source = "<!ATTLIST TD"
                               "\r\nalign (left|center|right) #IMPLIED"
                               "\r\nid ID #REQUIRED"
                               "\r\nnowrap (nowrap) #IMPLIED"
                               "\r\ncolspan NUMBER \"1\""
                               "\r\nlang NMTOKEN #FIXED \"en\""
                               "\r\nALIGN CDATA #REQUIRED"
                               "\r\n>";
    EXPECT_EQ(source, list->getSource());

    // A copy has its own attribute types, in the same order.
    AttrTypeList* copy = static_cast<AttrTypeList*>(list->cloneNode(false));
    EXPECT_EQ(1u, copy->getRefCount());
    EXPECT_EQ(source, copy->getSource());
    ASSERT_EQ(6u, copy->getLength());
    EXPECT_NE(align, copy->getAttrType(0ul));
    EXPECT_EQ(copy, copy->getAttrType(0ul)->getOwnerList());
    EXPECT_EQ(copy->getAttrType(5ul), copy->getAttrType("align"));
    list->releaseRef();
    EXPECT_EQ(source, copy->getSource());
    copy->releaseRef();
}

TEST(AttrTypeList, OwnershipOfTypes)
{
    AttrTypeList* list = makeList("A");
    AttrType* held = makeType("href", AttrType::URI_TYPE, AttrType::IMPLIED_DEFAULT);
    list->addAttrType(held);
    // Someone else keeps a reference beyond the list's life.
    held->addRef();
    EXPECT_EQ(2u, held->getRefCount());
    EXPECT_EQ(0u, list->releaseRef());
    EXPECT_EQ(1u, held->getRefCount());
    EXPECT_EQ(nullptr, held->getOwnerList());
    EXPECT_EQ("href URI #IMPLIED", held->getSource());
    held->releaseRef();

    // Unnamed attribute types are listed but cannot be looked up.
    AttrTypeList* unnamed = makeList("B");
    unnamed->addAttrType(makeType("", AttrType::CDATA_TYPE, AttrType::IMPLIED_DEFAULT));
    EXPECT_EQ(1u, unnamed->getLength());
    EXPECT_EQ(nullptr, unnamed->getAttrType(""));
    EXPECT_EQ(nullptr, unnamed->getAttrType("x"));
    unnamed->releaseRef();
}

TEST(AttrTypeList, ManyTypesStayFast)
{
    const unsigned long count = 100000;
    AttrTypeList* list = makeList("BIG");
    for (unsigned long i = 0; i < count; ++i)
        list->addAttrType(makeType("a" + std::to_string(i), AttrType::CDATA_TYPE,
                                   i % 2 ? AttrType::REQUIRED_DEFAULT : AttrType::IMPLIED_DEFAULT));
    EXPECT_EQ(count, list->getLength());
    for (unsigned long i = 0; i < count; i += 7) {
        const AttrType* t = list->getAttrType("A" + std::to_string(i));
        ASSERT_NE(nullptr, t);
        EXPECT_EQ(list->getAttrType(i), t);
    }
    EXPECT_EQ(count, list->getAllAttrNames().size());
    EXPECT_EQ(count / 2, list->getRequiredAttrNames().size());
    EXPECT_EQ(count, list->getNoDefaultAttrNames().size());
    EXPECT_FALSE(list->getSource().empty());
    AttrTypeList* copy = static_cast<AttrTypeList*>(list->cloneNode(true));
    EXPECT_EQ(count, copy->getLength());
    copy->releaseRef();
    list->releaseRef();
}
