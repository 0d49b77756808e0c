#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "doctype/AttrType.h"
#include "doctype/AttrTypeList.h"
#include "doctype/DTDLexer.h"
#include "doctype/DTDParser.h"
#include "doctype/DocumentType.h"
#include "doctype/ElementTable.h"
#include "doctype/ElementType.h"
#include "doctype/Entity.h"
#include "node/NamedNodeMap.h"

namespace {

// A document type filled from DTD text, released at the end of the test.
class ParsedType {
public:
    explicit ParsedType(const std::string& text) : _type(new DocumentType(nullptr, "html"))
    {
        _type->addRef();
        _complete = DTDParser(_type, text).parse();
    }
    ~ParsedType() { _type->releaseRef(); }

    DocumentType* operator->() const { return _type; }
    bool complete() const { return _complete; }
    const ElementType* element(const std::string& name) const { return _type->getElementType(name); }
    const AttrType* attr(const std::string& element, const std::string& name) const
    {
        const ElementType* type = _type->getElementType(element);
        return type ? type->getAttrType(name) : nullptr;
    }
    unsigned long elementCount() const { return _type->getElementTypeNodes().length(); }

private:
    DocumentType* _type;
    bool _complete = false;
};

std::vector<std::string> strings(std::initializer_list<const char*> items)
{
    return std::vector<std::string>(items.begin(), items.end());
}

// --- lexer -----------------------------------------------------------------------

// The tokens of a DTD text: punctuation as itself, other kinds as kind(text).
std::string lexDTD(const std::string& text, const NamedNodeMap* entities, std::string* expanded = nullptr)
{
    static const std::map<unsigned long, std::string> named = {
        {DTDLexer::TOKEN_NOTATION_DECL, "notation"}, {DTDLexer::TOKEN_ENTITY_DECL, "entity"},
        {DTDLexer::TOKEN_ATTLIST_DECL, "attlist"}, {DTDLexer::TOKEN_ELEMENT_DECL, "element"},
        {DTDLexer::TOKEN_LITERAL, "lit"}, {DTDLexer::TOKEN_UNDEFINED_REFERENCE, "undefined"},
        {DTDLexer::TOKEN_PCDATA, "pcdata"}, {DTDLexer::TOKEN_CDATA_NAME, "cdata"},
        {DTDLexer::TOKEN_MARKED_SECTION, "marked"}, {DTDLexer::TOKEN_GROUP_DECL, "group"},
        {Lexer::TOKEN_NAME, "name"}, {Lexer::TOKEN_COMMENT, "comment"}};
    static const std::map<unsigned long, std::string> punctuation = {
        {Lexer::TOKEN_LT, "<"}, {Lexer::TOKEN_GT, ">"}, {Lexer::TOKEN_PERCENT, "%"}, {Lexer::TOKEN_LBRACKET, "["},
        {Lexer::TOKEN_RBRACKET, "]"}, {Lexer::TOKEN_STAR, "*"}, {Lexer::TOKEN_QUESTION, "?"}, {Lexer::TOKEN_AMP, "&"},
        {Lexer::TOKEN_BANG, "!"}, {Lexer::TOKEN_BAR, "|"}, {Lexer::TOKEN_COMMA, ","}, {Lexer::TOKEN_PLUS, "+"},
        {Lexer::TOKEN_MINUS, "-"}, {Lexer::TOKEN_LPAREN, "("}, {Lexer::TOKEN_RPAREN, ")"}};
    DTDLexer lexer(text, entities);
    std::string out;
    for (;;) {
        Lexer::Token* token = lexer.nextToken();
        const unsigned long kind = token->kind;
        if (kind != Lexer::TOKEN_EOF) {
            const std::string part = lexer.getSource().substr(token->start, token->length);
            auto p = punctuation.find(kind);
            auto n = named.find(kind);
            out += (out.empty() ? "" : " ") +
                   (p != punctuation.end() && p->second == part
                        ? part
                        : (n == named.end() ? std::to_string(kind) : n->second) + "(" + part + ")");
        }
        lexer.deleteToken(token);
        if (kind == Lexer::TOKEN_EOF)
            break;
    }
    if (expanded)
        *expanded = lexer.getSource();
    return out;
}

TEST(DTDParserTest, LexerTokens)
{
    EXPECT_EQ("< element(!ELEMENT) ( name(A.b-c:d) | pcdata(#PCDATA) ) * - ( cdata(CDATA) , name(cdata) ) + ? & "
              "comment(-- a - b ----) > < entity(!ENTITY) % name(x) lit(a 'b') lit() > < attlist(!ATTLIST) "
              "< notation(!NOTATION) < group(!GROUP) < marked(!) [ ] < comment(-- c --) > < ! name(element) "
              "lit(open)",
              lexDTD("<!ELEMENT (A.b-c:d|#PCDATA)*-(CDATA,cdata)+?&-- a - b ---->"
                     "\n<!ENTITY % x \"a 'b'\"''>\t<!ATTLIST<!NOTATION<!GROUP<![]<!-- c --><!element 'open",
                     nullptr));
}

TEST(DTDParserTest, LexerExpandsParameterEntitiesInPlace)
{
    NamedNodeMap map;
    Entity* inline_ = new Entity(nullptr, "inline");
    inline_->setNodeValue("#INLINE");
    Entity* empty = new Entity(nullptr, "Empty");
    inline_->addRef();
    empty->addRef();
    map.setNamedItem(inline_);
    map.setNamedItem(empty);

    // Names are looked up ignoring case; ';' is dropped, a name also ends at
    // white space or '>'; the inserted text joins the token around it.
    std::string expanded;
    EXPECT_EQ("( name(#INLINE) ) * name(x#INLINEy) name(#INLINE) > % comment(-- %inline; --) lit(#INLINE)",
              lexDTD("(%INLINE;)*%empty; x%inline;y %inline>% -- %inline; --'%inline;'", &map, &expanded));
    EXPECT_EQ("(#INLINE)* x#INLINEy #INLINE>% -- %inline; --'#INLINE'", expanded);

    // An undefined reference is kept as written and announced before the
    // token it falls into.
    EXPECT_EQ("name(a) undefined(%nosuch;) name(b%nosuch;) undefined(%x;) % name(x;)",
              lexDTD("a b%nosuch; %x;", &map));

    inline_->releaseRef();
    empty->releaseRef();
}

// --- element declarations ---------------------------------------------------------

TEST(DTDParserTest, ElementDeclarations)
{
    ParsedType type("<!ENTITY % inline \"#INLINE\">\n"
                    "<!ENTITY % heading \"H1|H2\">\n"
                    "<!ELEMENT BR - O EMPTY >\n"
                    "<!ELEMENT HR EMPTY>\n"
                    "<!ELEMENT (SUB|SUP) - - (%inline;)* >\n"
                    "<!ELEMENT (%heading;) - - (%inline;)* -- heading -->\n"
                    "<!ELEMENT TBODY O O (TR)+ -- (X) may not become an exception -->\n"
                    "<!ELEMENT BAD O - EMPTY>\n"
                    "<!ELEMENT bad2 - x EMPTY>\n"
                    "<!ELEMENT bad3 o o EMPTY>\n"
                    "<!ELEMENT ADDRESS - - (%inline;|P)* +(INS) -(A)>\n"
                    "<!ELEMENT UNCLOSED - - (A)");
    EXPECT_TRUE(type.complete());

    const ElementType* br = type.element("BR");
    ASSERT_NE(nullptr, br);
    EXPECT_EQ(ElementType::OMIT_END_TAG, br->getOmitType());
    EXPECT_EQ(ContentModel::EMPTY_CONTENT, br->getContainerType());
    for (const char* name : {"HR", "BAD", "bad2", "bad3", "UNCLOSED"})
        EXPECT_EQ(nullptr, type.element(name)) << name;

    for (const char* name : {"SUB", "SUP", "H1", "H2"}) {
        const ElementType* element = type.element(name);
        ASSERT_NE(nullptr, element) << name;
        EXPECT_EQ(ElementType::OMIT_NO_TAG, element->getOmitType());
        EXPECT_EQ(ContentModel::INLINE_CONTENT, element->getContainerType());
        EXPECT_EQ(nullptr, element->getContentModel().getExclusions());
    }
    const ElementType* tbody = type.element("TBODY");
    ASSERT_NE(nullptr, tbody);
    EXPECT_EQ(ElementType::OMIT_BOTH_TAGS, tbody->getOmitType());
    EXPECT_EQ("<!ELEMENT TBODY (TR)+>", tbody->getSource());

    const ElementType* address = type.element("ADDRESS");
    ASSERT_NE(nullptr, address);
    EXPECT_EQ("<!ELEMENT ADDRESS (#INLINE|P)* +(INS) -(A)>", address->getSource());
    EXPECT_EQ(7u, type.elementCount());

    // Reading more text lists a second BR that the maps do not index: the
    // first declaration stays in charge.
    type->parse("<!ELEMENT BR - - (A)>");
    EXPECT_EQ(8u, type.elementCount());
    EXPECT_EQ(br, type.element("BR"));
}

int testElementID(const std::string& name)
{
    return name == "X" ? 15 : 0;
}

unsigned long testElementFlags(int id)
{
    return id == 15 ? 0x10ul : 0;
}

TEST(DTDParserTest, ElementTablesGiveIdsAndCategories)
{
    // The library's tables give ids (HTML names in upper case only) and flag
    // words; the built-in HTML type checks every name, this the plumbing.
    ParsedType type("<!ELEMENT (B|X|br|jsp:include) - O EMPTY>");
    const ElementType* b = type.element("B");
    ASSERT_NE(nullptr, b);
    EXPECT_EQ(7, b->getElementID());
    EXPECT_EQ(0x280c0ul, b->getGroup());
    EXPECT_EQ(b, type->getDefElementType(7));
    EXPECT_EQ(0, type.element("br")->getElementID());
    EXPECT_EQ(ElementType::FORMAT_HTML_TAG, type.element("X")->getFormatType()); // no id, still HTML
    EXPECT_EQ(ElementTable::getElementFlags(120), type.element("jsp:include")->getGroup());

    // Installed lookups take over until the defaults are restored.
    DTDParser::_setElementTables(testElementID, testElementFlags);
    ParsedType custom("<!ELEMENT (B|X) - O EMPTY>");
    DTDParser::_setElementTables(nullptr, nullptr);
    EXPECT_EQ(0, custom.element("B")->getElementID());
    EXPECT_EQ(15, custom.element("X")->getElementID());
    EXPECT_EQ(ElementType::LAYOUT_TYPE_HEAD, custom.element("X")->getLayoutType());
    ParsedType restored("<!ELEMENT B - - EMPTY>");
    EXPECT_EQ(7, restored.element("B")->getElementID());
}

// --- parameter entities -----------------------------------------------------------

TEST(DTDParserTest, ParameterEntities)
{
    ParsedType type(
        "<!ENTITY % special \"A | IMG\" -- first one wins -->\n"
        "<!ENTITY % special \"BR\">\n"
        "<!ENTITY % coreattrs\n"
        " \"id          ID             #IMPLIED  -- document-wide unique id --\n"
        "  class       CDATA          #IMPLIED  -- space separated list of classes --\"\n"
        "  >\n"
        "<!ENTITY % i18n \"lang NAME #IMPLIED dir (ltr|rtl) #IMPLIED\">\n"
        "<!ENTITY % attrs \"%coreattrs; %i18n;\">\n"
        "<!ENTITY % ext PUBLIC \"-//W3C//ENTITIES Latin 1//EN//HTML\" \"lat1.ent\">\n"
        "<!ENTITY % sys SYSTEM \"x.ent\">\n"
        "%ext; %sys;\n"
        "<!ENTITY % slashed \"a\\\\b\\c\">\n"
        "<!ELEMENT P - O (%special;)*>\n"
        "<!ATTLIST P %attrs; -- %nosuch; in a comment is not read -->\n"
        "<!ELEMENT %slashed; - - EMPTY>\n");
    EXPECT_TRUE(type.complete());

    const ElementType* p = type.element("P");
    ASSERT_NE(nullptr, p);
    EXPECT_EQ("<!ELEMENT P (A|IMG)*>", p->getSource());
    EXPECT_EQ(strings({"id", "class", "lang", "dir"}), p->getAllAttrNames());
    EXPECT_EQ(AttrType::ID_TYPE, type.attr("P", "id")->getValueType());
    EXPECT_EQ(AttrType::NMTOKEN_TYPE, type.attr("P", "lang")->getValueType());
    EXPECT_EQ(strings({"ltr", "rtl"}), type.attr("P", "dir")->getValues());
    // Backslashes are removed from parameter-entity values.
    EXPECT_NE(nullptr, type.element("abc"));
    // Parameter entities never enter the document type.
    EXPECT_EQ(nullptr, type->getEntity("special"));
    EXPECT_EQ(0u, type->getEntityNodes().length());
}

TEST(DTDParserTest, UndefinedReferenceEndsTheParse)
{
    ParsedType type("<!ELEMENT A - - EMPTY>\n"
                    "<!ENTITY amp CDATA \"&#38;\">\n"
                    "<!ELEMENT B - - (%nosuch;)>\n"
                    "<!ELEMENT C - - EMPTY>\n"
                    "<!ENTITY % nosuch \"X\">\n"
                    "<!ELEMENT D - - EMPTY>\n");
    EXPECT_FALSE(type.complete());
    EXPECT_NE(nullptr, type.element("A"));
    EXPECT_NE(nullptr, type->getEntity("amp"));
    EXPECT_EQ(nullptr, type.element("B"));
    EXPECT_EQ(nullptr, type.element("C"));
    EXPECT_EQ(nullptr, type.element("D"));

    // Between declarations, and as a marked-section keyword.
    ParsedType between("<!ELEMENT A - - EMPTY> %nosuch; <!ELEMENT C - - EMPTY>");
    EXPECT_FALSE(between.complete());
    EXPECT_EQ(1u, between.elementCount());
    ParsedType keyword("<![ %nosuch; [ <!ELEMENT C - - EMPTY> ]]> <!ELEMENT D - - EMPTY>");
    EXPECT_FALSE(keyword.complete());
    EXPECT_EQ(0u, keyword.elementCount());
}

// --- marked sections ----------------------------------------------------------------

TEST(DTDParserTest, MarkedSections)
{
    ParsedType type("<!ENTITY % HTML.Reserved \"IGNORE\">\n"
                    "<!ENTITY % HTML.Frameset \"INCLUDE\">\n"
                    "<![ %HTML.Reserved; [\n"
                    "  <!ELEMENT R1 - - EMPTY>\n"
                    "  <![ INCLUDE [ <!ELEMENT R2 - - EMPTY> ]]>\n"
                    "  <![ IGNORE [ ]]> <!ELEMENT R3 - - 'a ]]> b'>\n"
                    "  <!ENTITY % skipped \"%undefined;\">\n"
                    "]]>\n"
                    "<![ %HTML.Frameset; [\n"
                    "  <!ELEMENT F1 - - EMPTY>\n"
                    "  <![ INCLUDE [ <!ELEMENT F2 - - EMPTY> ]]>\n"
                    "  <![ IGNORE [ <!ELEMENT F3 - - EMPTY> <![ INCLUDE [ ]]> ]]>\n"
                    "  <!ELEMENT F4 - - EMPTY>\n"
                    "]]>\n"
                    "<![ TEMP [ <!ELEMENT T1 - - EMPTY> ]]>\n"
                    "<![ include [ <!ELEMENT T2 - - EMPTY> ]]>\n"
                    "<!ELEMENT AFTER - - EMPTY>\n");
    EXPECT_TRUE(type.complete());
    for (const char* name : {"R1", "R2", "R3", "F3"})
        EXPECT_EQ(nullptr, type.element(name)) << name;
    // An unknown keyword drops only the opening; the declarations inside
    // are then read like any others.
    for (const char* name : {"F1", "F2", "F4", "T1", "T2", "AFTER"})
        EXPECT_NE(nullptr, type.element(name)) << name;

    // Deep nesting uses no stack per level.
    const int depth = 100000;
    std::string nested;
    for (int i = 0; i < depth; ++i)
        nested += "<![INCLUDE[";
    nested += "<!ELEMENT IN - - EMPTY>";
    for (int i = 0; i < depth; ++i)
        nested += "]]>";
    for (int i = 0; i < depth; ++i)
        nested += "<![IGNORE[";
    nested += "<!ELEMENT OUT - - EMPTY>";
    for (int i = 0; i < depth; ++i)
        nested += "]]>";
    nested += "<!ELEMENT LAST - - EMPTY>";
    ParsedType deep(nested);
    EXPECT_NE(nullptr, deep.element("IN"));
    EXPECT_EQ(nullptr, deep.element("OUT"));
    EXPECT_NE(nullptr, deep.element("LAST"));
}

// --- attribute lists ----------------------------------------------------------------

TEST(DTDParserTest, AttributeLists)
{
    ParsedType type(
        "<!ENTITY % Shape \"(rect|circle|poly|default)\">\n"
        "<!ELEMENT AREA - O EMPTY>\n"
        "<!ELEMENT (TD|TH) - O (#FLOW)*>\n"
        "<!ATTLIST BASEFONT size CDATA #REQUIRED>\n"
        "<!ELEMENT BASEFONT - O EMPTY>\n"
        "<!ATTLIST AREA\n"
        "  shape %Shape; rect -- controls interpretation of coords --\n"
        "  coords CDATA #IMPLIED\n"
        "  nohref (nohref) #IMPLIED\n"
        "  version CDATA #FIXED \"4.0\"\n"
        "  a ID #IMPLIED b IDREF #IMPLIED c IDREFS #IMPLIED d ENTITY #IMPLIED\n"
        "  e ENTITIES #IMPLIED f NMTOKEN #IMPLIED g NMTOKENS #IMPLIED\n"
        "  h NOTATION (gif|png) #IMPLIED i NUMBER #IMPLIED j URI #IMPLIED\n"
        "  k COLOR #IMPLIED l EVENT #IMPLIED m NAME #IMPLIED n NAMES #IMPLIED\n"
        "  o NUMBERS #IMPLIED p (CDATA|*|1) '1' q cdata 'x y'\n"
        "  >\n"
        "<!ATTLIST (TD|TH|NOSUCH) nowrap (nowrap) #IMPLIED>\n"
        "<!ATTLIST (X|Y) z CDATA #IMPLIED>\n"
        "<!ATTLIST BASEFONT size CDATA>\n"
        "<!ATTLIST BASEFONT color #IMPLIED>\n"
        "<!ATTLIST BASEFONT good CDATA #IMPLIED bad (a|b #IMPLIED>\n");
    EXPECT_TRUE(type.complete());

    const AttrType* shape = type.attr("AREA", "shape");
    ASSERT_NE(nullptr, shape);
    EXPECT_EQ(AttrType::NAME_GROUP_TYPE, shape->getValueType());
    EXPECT_EQ(strings({"rect", "circle", "poly", "default"}), shape->getValues());
    EXPECT_EQ(AttrType::VALUE_DEFAULT, shape->getDefaultType());
    EXPECT_EQ("rect", shape->getDefaultValue());
    EXPECT_EQ(AttrType::IMPLIED_DEFAULT, type.attr("AREA", "coords")->getDefaultType());
    EXPECT_TRUE(type.attr("AREA", "nohref")->isBooleanType());
    const AttrType* version = type.attr("AREA", "version");
    EXPECT_EQ(AttrType::FIXED_DEFAULT, version->getDefaultType());
    EXPECT_EQ("4.0", version->getDefaultValue());

    struct Expect {
        const char* name;
        AttrType::ValueType type;
    };
    const Expect kinds[] = {
        {"a", AttrType::ID_TYPE},         {"b", AttrType::IDREF_TYPE},
        {"c", AttrType::IDREFS_TYPE},     {"d", AttrType::ENTITY_TYPE},
        {"e", AttrType::ENTITIES_TYPE},   {"f", AttrType::NMTOKEN_TYPE},
        {"g", AttrType::NMTOKENS_TYPE},   {"h", AttrType::NOTATION_TYPE},
        {"i", AttrType::NUMBER_TYPE},     {"j", AttrType::URI_TYPE},
        {"k", AttrType::COLOR_TYPE},      {"l", AttrType::EVENT_TYPE},
        {"m", AttrType::NMTOKEN_TYPE},    {"n", AttrType::NMTOKENS_TYPE},
        {"o", AttrType::CDATA_TYPE},      {"p", AttrType::NAME_GROUP_TYPE},
        {"q", AttrType::CDATA_TYPE},
    };
    for (const Expect& e : kinds) {
        const AttrType* attr = type.attr("AREA", e.name);
        ASSERT_NE(nullptr, attr) << e.name;
        EXPECT_EQ(e.type, attr->getValueType()) << e.name;
    }
    EXPECT_EQ(strings({"gif", "png"}), type.attr("AREA", "h")->getValues());
    EXPECT_EQ(strings({"CDATA", "*", "1"}), type.attr("AREA", "p")->getValues());
    EXPECT_EQ("1", type.attr("AREA", "p")->getDefaultValue());
    EXPECT_EQ("x y", type.attr("AREA", "q")->getDefaultValue());
    EXPECT_EQ(21u, type.element("AREA")->getAttrTypes()->getLength());

    // One list shared by the declared elements of a group, named after the
    // first; undeclared names are passed over.
    const AttrTypeList* td = type.element("TD")->getAttrTypes();
    ASSERT_NE(nullptr, td);
    EXPECT_EQ(td, type.element("TH")->getAttrTypes());
    EXPECT_EQ("TD", td->getName());
    EXPECT_EQ(nullptr, type.element("X"));

    // The list before its element, and the three broken declarations, are
    // dropped: BASEFONT has no attributes at all.
    ASSERT_NE(nullptr, type.element("BASEFONT"));
    EXPECT_EQ(nullptr, type.element("BASEFONT")->getAttrTypes());

    // Lists in the declarations: AREA's and the TD/TH one.
    unsigned long lists = 0;
    dom::NodeList decls = type->getDeclNodes();
    for (unsigned long i = 0; i < decls.length(); ++i)
        lists += decls.item(i)->getNodeType() == Node::ATTR_TYPE_LIST_NODE;
    EXPECT_EQ(2u, lists);
}

TEST(DTDParserTest, LaterAttributeListReplacesTheElementsList)
{
    // B gets a list of its own; the list it had, which A keeps, receives a
    // copy of the new attribute types as well.
    ParsedType type("<!ELEMENT (A|B) - - EMPTY>\n"
                    "<!ATTLIST (A|B) x CDATA #IMPLIED>\n"
                    "<!ATTLIST B y CDATA #IMPLIED>\n");
    const AttrTypeList* a = type.element("A")->getAttrTypes();
    const AttrTypeList* b = type.element("B")->getAttrTypes();
    ASSERT_NE(nullptr, a);
    ASSERT_NE(nullptr, b);
    EXPECT_NE(a, b);
    EXPECT_EQ("B", b->getName());
    EXPECT_EQ(strings({"x", "y"}), type.element("A")->getAllAttrNames());
    EXPECT_EQ(strings({"y"}), type.element("B")->getAllAttrNames());
}

// --- general entities ------------------------------------------------------------------

TEST(DTDParserTest, GeneralEntities)
{
    ParsedType type("<!ENTITY nbsp   CDATA \"&#160;\" -- no-break space -->\n"
                    "<!ENTITY Agrave CDATA \"&#xC0;\">\n"
                    "<!ENTITY agrave CDATA \"&#XE0;\">\n"
                    "<!ENTITY nbsp2  CDATA \"&#160;\">\n"
                    "<!ENTITY text   \"plain &#38; text\">\n"
                    "<!ENTITY big    CDATA \"&#99999999;\">\n"
                    "<!ENTITY bad    CDATA \"&#12a;\">\n"
                    "<!ENTITY pub    PUBLIC \"-//X//TEXT//EN\" \"x.txt\">\n"
                    "<!ENTITY pub1   PUBLIC \"-//Y//TEXT//EN\">\n"
                    "<!ENTITY sys    SYSTEM \"logo.gif\" NDATA gif>\n"
                    "<!ENTITY broken CDATA>\n"
                    "<!ENTITY>\n");
    EXPECT_TRUE(type.complete());

    const Entity* nbsp = type->getEntity("nbsp");
    ASSERT_NE(nullptr, nbsp);
    EXPECT_EQ("&#160;", nbsp->getValue());
    EXPECT_EQ(160u, nbsp->getCharValue());
    EXPECT_EQ(nbsp, type->getCharEntity(160));
    // Hexadecimal either way; a value that is no character reference, too
    // big or malformed gives no character.
    const std::pair<const char*, unsigned long> chars[] = {
        {"Agrave", 0xC0}, {"agrave", 0xE0}, {"nbsp2", 160}, {"text", 0}, {"big", 0}, {"bad", 0}};
    for (const auto& e : chars)
        EXPECT_EQ(e.second, type->getEntity(e.first)->getCharValue()) << e.first;
    EXPECT_EQ("plain &#38; text", type->getEntity("text")->getValue());

    const Entity* pub = type->getEntity("pub");
    ASSERT_NE(nullptr, pub);
    EXPECT_EQ("-//X//TEXT//EN", pub->getPublicID());
    EXPECT_EQ("x.txt", pub->getSystemID());
    EXPECT_EQ("", type->getEntity("pub1")->getSystemID());
    const Entity* sys = type->getEntity("sys");
    ASSERT_NE(nullptr, sys);
    EXPECT_EQ("logo.gif", sys->getSystemID());
    EXPECT_EQ("gif", sys->getNotationName());
    EXPECT_EQ("<!ENTITY sys SYSTEM \"logo.gif\" NDATA gif>", sys->getSource());
    EXPECT_EQ(nullptr, type->getEntity("broken"));
    EXPECT_EQ(10u, type->getEntityNodes().length());
}

TEST(DTDParserTest, RandomTextNeverBreaksTheReader)
{
    // Fragments of declarations in random order: whatever is read must leave
    // a consistent document type (the sanitizers watch for the rest).
    const char* const pieces[] = {"<!ELEMENT ", "<!ATTLIST ", "<!ENTITY ", "<![ ", "]]>", "[",
                                  "% e ", "%e;", "%f;", "\"x\" ", "'", "-- c --", "-", "O ",
                                  "(A|B) ", "A ", "CDATA ", "#IMPLIED ", "#FIXED ", ">", "(",
                                  ")*", "INCLUDE ", "IGNORE ", "&#65;", "NDATA ", "PUBLIC "};
    const unsigned long count = sizeof(pieces) / sizeof(pieces[0]);
    unsigned long seed = 99;
    for (int round = 0; round < 2000; ++round) {
        std::string text = "<!ENTITY % e \"A\">";
        for (int i = 0; i < 30; ++i) {
            seed = seed * 1103515245ul + 12345ul;
            text += pieces[(seed >> 16) % count];
        }
        ParsedType type(text);
        dom::NodeList decls = type->getDeclNodes();
        for (unsigned long i = 0; i < decls.length(); ++i)
            ASSERT_FALSE(decls.item(i)->getNodeName().empty()) << text;
    }
}

TEST(DTDParserTest, ManyReferencesAreExpandedInLinearTime)
{
    // 300,000 references spread over a text of about 2 MB, 1,000 of them
    // inserting 2,700 bytes each.  Moving the rest of the text once per
    // reference would take some 3 * 10^11 byte moves.
    std::string attrs;
    for (int i = 0; i < 100; ++i)
        attrs += "a" + std::to_string(i) + " CDATA #IMPLIED -- c -- ";
    std::string text = "<!ENTITY % e \"x\"><!ENTITY % inline \"#INLINE\">\n"
                       "<!ENTITY % attrs \"" + attrs + "\">\n";
    const int count = 1000;
    for (int i = 0; i < count; ++i) {
        std::string name = "E" + std::to_string(i);
        text += "<!ELEMENT " + name + " - - (%inline;)*>\n<!ATTLIST " + name + " %attrs;>\n";
        for (int j = 0; j < 298; ++j)
            text += "%e; ";
    }
    text += "<!ELEMENT LAST - - EMPTY>";

    ParsedType type(text);
    EXPECT_TRUE(type.complete());
    EXPECT_EQ(static_cast<unsigned long>(count + 1), type.elementCount());
    EXPECT_EQ(100u, type.element("E999")->getAttrTypes()->getLength());
    EXPECT_EQ(ContentModel::INLINE_CONTENT, type.element("E0")->getContainerType());
}

} // namespace
