#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "doctype/AttrType.h"
#include "doctype/BuiltinDocumentTypes.h"
#include "doctype/DocumentType.h"
#include "doctype/ElementTable.h"
#include "doctype/ElementType.h"
#include "doctype/Entity.h"
#include "doctype/HTMLDTDText.h"
#include "frame/DOMImpl.h"
#include "tree/Document.h"
#include "tree/Element.h"
#include "tree/Text.h"

namespace {

using Names = std::vector<std::string>;

// Holds the one reference a factory call returned.
struct Release {
    void operator()(Node* node) const { node->releaseRef(); }
};
template <class T>
using Ref = std::unique_ptr<T, Release>;

// Whether an element named parent, in a fresh document of the given type,
// may hold an element named child (or a text when child starts with '#').
bool canContain(const std::string& docName, const std::string& parent, const std::string& child)
{
    Ref<Document> doc(DOMImpl::createDocument(docName));
    Ref<Element> p(doc->createElement(parent));
    if (child[0] == '#') {
        Ref<Text> text(doc->createTextNode(child.substr(1)));
        return p->canContain(text.get());
    }
    Ref<Element> c(doc->createElement(child));
    return c.get() && p->canContain(c.get());
}

// Restores the registry's JSP version when a test ends.
class JSPVersionGuard {
public:
    explicit JSPVersionGuard(DOMImpl::JSPVersion version) : _saved(DOMImpl::getJSPVersion())
    {
        DOMImpl::setJSPVersion(version);
    }
    ~JSPVersionGuard() { DOMImpl::setJSPVersion(_saved); }

private:
    DOMImpl::JSPVersion _saved;
};

// The HTML type read from the compiled-in DTD text, shared by the tests.
const DocumentType* htmlType()
{
    static const Ref<DocumentType> type(pagedom::BuiltinDocumentTypes::create("html"));
    return type.get();
}

Names names(const dom::NodeList& list)
{
    std::vector<std::string> out;
    for (unsigned long i = 0; i < list.length(); ++i)
        out.push_back(list.item(i)->getNodeName());
    return out;
}

} // namespace

TEST(ElementTableTest, NameLookupFollowsEachFamilysCaseRule)
{
    // HTML names are upper case and exact (XRV sorts last though its id is
    // 23); "ssi:", "QRTX:" and the bare server tags ignore case; "jsp:" and
    // "tsx:" names are exact.  A known prefix with an unknown rest gives 0.
    const struct {
        const char* name;
        int id;
    } cases[] = {
        {"A", 1}, {"P", 68}, {"p", 0}, {"XRV", 23}, {"VAR", 95}, {"BLOCKQUOTE", 13}, {"H1", 38},
        {"HEAD", 44}, {"TBODY", 84}, {"TD", 85}, {"TEXTAREA", 86}, {"H7", 0}, {"", 0},
        {"submit", 97}, {"Marquee", 98}, {"SSI:include", 105}, {"ssi:set", 107}, {"ssi:P", 0},
        {"jsp:scriptlet", 110}, {"jsp:Scriptlet", 0}, {"JSP:scriptlet", 0}, {"jsp:directive", 116},
        {"jsp:directive.taglib", 115}, {"jsp:param", 125}, {"Bean", 127}, {"dbModify", 132},
        {"tsx:getProperty", 136}, {"tsx:getproperty", 0}, {"qrtx:comment", 144}, {"QRTX:", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(ElementTable::getElementID(c.name), c.id) << c.name;
    EXPECT_EQ(ElementTable::getElementID(std::string("P\0X", 3)), 0);
}

TEST(ElementTableTest, FlagWordsByID)
{
    EXPECT_EQ(ElementTable::getElementFlags(68), 0x30081ul);
    EXPECT_EQ(ElementTable::getElementFlags(23), 0x28000ul);
    EXPECT_EQ(ElementTable::getElementFlags(105), 0x100008ul);
    EXPECT_EQ(ElementTable::getElementFlags(110), 0x2ca80008ul);
    EXPECT_EQ(ElementTable::getElementFlags(144), 0x200000ul);
    for (int unnamed : {-1, 0, 96, 99, 108, 109, 138, 139, 145, 1000})
        EXPECT_EQ(ElementTable::getElementFlags(unnamed), 0ul) << unnamed;
}

TEST(BuiltinDocumentTypesTest, KnowsSixLowerCaseNames)
{
    for (const char* name : {"HTML", "Xml", "jsp", "", "vxml ", "dtd"})
        EXPECT_EQ(pagedom::BuiltinDocumentTypes::create(name), nullptr) << name;
    const char* names[][2] = {{"xml", "xml"}, {"vxml", "vxml"}, {"jsp091", "jsp"},
                              {"jsp10", "jsp"}, {"qrtx", "qrtx"}, {"html", "HTML"}};
    for (auto& n : names) {
        Ref<DocumentType> type(pagedom::BuiltinDocumentTypes::create(n[0]));
        ASSERT_NE(type.get(), nullptr) << n[0];
        EXPECT_EQ(type->getNodeName(), n[1]);
        EXPECT_EQ(type->getRefCount(), 1ul);
    }
}

TEST(BuiltinDocumentTypesTest, XMLEntitiesStandForTheirCharacters)
{
    Ref<DocumentType> xml(pagedom::BuiltinDocumentTypes::create("xml"));
    EXPECT_TRUE(xml->getElementTypeNames().empty());
    const char* names[] = {"lt", "gt", "amp", "apos", "quot"};
    unsigned long values[] = {60, 62, 38, 39, 34};
    for (int i = 0; i < 5; ++i) {
        const Entity* e = xml->getEntity(names[i]);
        ASSERT_NE(e, nullptr) << names[i];
        EXPECT_EQ(e->getCharValue(), values[i]);
        EXPECT_EQ(e->getValue(), "&#" + std::to_string(values[i]) + ";");
        EXPECT_EQ(xml->getCharEntity(values[i]), e);
    }
    EXPECT_EQ(xml->getEntity("LT"), nullptr);
    Ref<DocumentType> vxml(pagedom::BuiltinDocumentTypes::create("vxml"));
    EXPECT_EQ(vxml->getCharEntity(38), vxml->getEntity("amp"));
}

TEST(BuiltinDocumentTypesTest, VoiceXMLContainment)
{
    Ref<DocumentType> vxml(pagedom::BuiltinDocumentTypes::create("vxml"));
    EXPECT_EQ(vxml->getElementTypeNames().size(), 48u);
    const ElementType* root = vxml->getElementType("vxml");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->getContainerType(), ContentModel::ELEMENT_CONTENT);
    ASSERT_NE(root->getContentModel().getRoot(), nullptr);
    EXPECT_EQ(root->getContentModel().getRoot()->getOccurrence(), ContentModel::_Node::OCCURS_ONE_OR_MORE);
    EXPECT_EQ(root->getContentNames(), (Names{"catch", "help", "noinput", "nomatch", "error", "form", "link",
                                               "menu", "meta", "property", "script", "var"}));
    EXPECT_EQ(root->getOmitType(), ElementType::OMIT_NO_TAG);

    EXPECT_TRUE(canContain("vxml", "vxml", "form"));
    EXPECT_FALSE(canContain("vxml", "vxml", "prompt"));
    EXPECT_FALSE(canContain("vxml", "vxml", "#hello"));
    EXPECT_TRUE(canContain("vxml", "vxml", "# \r\n"));
    EXPECT_TRUE(canContain("vxml", "prompt", "#Welcome"));
    for (const char* speech : {"audio", "break", "div", "emp", "pros", "sayas", "zorvoice", "value"})
        EXPECT_TRUE(canContain("vxml", "prompt", speech)) << speech;
    EXPECT_FALSE(canContain("vxml", "prompt", "field"));
    EXPECT_TRUE(canContain("vxml", "if", "else"));
    EXPECT_FALSE(canContain("vxml", "block", "else"));

    EXPECT_EQ(vxml->getElementType("vxml")->getRequiredAttrNames(), Names{"version"});
}

TEST(BuiltinDocumentTypesTest, JSPTables)
{
    Ref<DocumentType> jsp10(pagedom::BuiltinDocumentTypes::create("jsp10"));
    EXPECT_EQ(jsp10->getJSPDirectiveNames(), (Names{"page", "include", "taglib"}));
    const AttrType* scope = jsp10->getElementType("jsp:useBean")->getAttrType("scope");
    ASSERT_NE(scope, nullptr);
    EXPECT_EQ(scope->getValues(), (Names{"page", "session", "request", "application"}));
    EXPECT_EQ(scope->getDefaultType(), AttrType::VALUE_DEFAULT);
    EXPECT_EQ(scope->getDefaultValue(), "page");

    const ElementType* plugin = jsp10->getElementType("jsp:plugin");
    const ContentModel::_Node* model = plugin->getContentModel().getRoot();
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->getOccurrence(), ContentModel::_Node::OCCURS_OPTIONAL);
    EXPECT_NE(model->find("jsp:params"), nullptr);
    EXPECT_NE(model->find("jsp:fallback"), nullptr);
    EXPECT_EQ(model->find("jsp:param"), nullptr);
    EXPECT_EQ(plugin->getRequiredAttrNames(), (Names{"type", "code", "codebase"}));

    // End tags: EMPTY actions may omit theirs, containers may not.
    EXPECT_EQ(jsp10->getElementType("jsp:include")->getOmitType(), ElementType::OMIT_END_TAG);
    EXPECT_EQ(jsp10->getElementType("jsp:param")->getOmitType(), ElementType::OMIT_END_TAG);
    EXPECT_EQ(jsp10->getElementType("jsp:useBean")->getOmitType(), ElementType::OMIT_NO_TAG);
    EXPECT_TRUE(jsp10->getElementType("tsx:repeat")->isJSPType());
    EXPECT_EQ(jsp10->getDefElementType(113)->getFormatType(), ElementType::FORMAT_JSP_DIRECTIVE);

    Ref<DocumentType> jsp091(pagedom::BuiltinDocumentTypes::create("jsp091"));
    EXPECT_TRUE(jsp091->getJSPDirectiveNames().empty());
    const ElementType* param = jsp091->getElementType("PARAM");
    EXPECT_EQ(param->getElementID(), 69);
    EXPECT_EQ(param->getAttrType("valuetype")->getValues(), (Names{"data", "ref", "object"}));
    Names servletChildren = jsp091->getElementType("SERVLET")->getContentNames();
    ASSERT_FALSE(servletChildren.empty());
    EXPECT_EQ(servletChildren[0], "PARAM");
}

TEST(BuiltinDocumentTypesTest, HTMLTypeReadFromCompiledDTD)
{
    const DocumentType* html = htmlType();
    EXPECT_TRUE(html->receivesQRTX());
    const ElementType* p = html->getElementType("P");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->getOmitType(), ElementType::OMIT_END_TAG);
    EXPECT_EQ(p->getContentType(), ContentModel::FLOW_CONTENT);
    EXPECT_EQ(html->getElementType("B")->getContentType(), ContentModel::INLINE_CONTENT);
    EXPECT_EQ(html->getElementType("LI")->getOmitType(), ElementType::OMIT_END_TAG_BY_FLAG);
    EXPECT_EQ(html->getElementType("ssi:include")->getContentType(), ContentModel::ANY_CONTENT);
    EXPECT_EQ(html->getElementType("jsp:useBean"), nullptr);

    // Every HTML 4.0 element (ids 1 to 95), SUBMIT, MARQUEE and the
    // server-side includes are declared with their id and flag word.
    std::vector<int> ids;
    for (int id = 1; id <= 95; ++id)
        ids.push_back(id);
    for (int id : {97, 98, 100, 101, 102, 103, 104, 105, 106, 107})
        ids.push_back(id);
    for (int id : ids) {
        const ElementType* type = html->getDefElementType(id);
        ASSERT_NE(type, nullptr) << id;
        EXPECT_EQ(type->getGroup(), ElementTable::getElementFlags(id)) << type->getName();
        EXPECT_EQ(ElementTable::getElementID(type->getName()), id) << type->getName();
    }
    // Nothing else, and each declared once.
    const Names elements = names(html->getElementTypeNodes());
    EXPECT_EQ(ids.size(), elements.size());
    // The library's elements follow the last standard declaration, HTML.
    const Names appended = {"HTML", "EMBED", "NOEMBED", "XRV", "SUBMIT", "MARQUEE", "ssi:config", "ssi:echo",
                            "ssi:exec", "ssi:fsize", "ssi:flastmod", "ssi:include", "ssi:printenv", "ssi:set"};
    ASSERT_GE(elements.size(), appended.size());
    EXPECT_EQ(appended, Names(elements.end() - appended.size(), elements.end()));
    // End tags a page may leave out, and ones it may not.
    for (const char* name : {"P", "LI", "TD", "TR", "OPTION", "DD", "HTML", "BODY", "TBODY"})
        EXPECT_NE(html->getElementType(name)->getOmitType(), ElementType::OMIT_NO_TAG) << name;
    for (const char* name : {"DIV", "TABLE", "A", "SCRIPT", "TEXTAREA", "SELECT"})
        EXPECT_EQ(html->getElementType(name)->getOmitType(), ElementType::OMIT_NO_TAG) << name;
}

// The compiled-in HTML DTD text, checked through the type read from it: a
// declaration lost to a broken line or an undefined parameter entity shows
// up as a missing or different declaration.

TEST(HTMLDTDText, SizeAndForm)
{
    ASSERT_EQ(std::strlen(pagedom::HTML_DTD_TEXT), pagedom::HTML_DTD_TEXT_LENGTH);
    EXPECT_GT(pagedom::HTML_DTD_TEXT_LENGTH, 24000u);
    EXPECT_LT(pagedom::HTML_DTD_TEXT_LENGTH, 26500u);
    const std::string text(pagedom::HTML_DTD_TEXT);
    EXPECT_EQ(std::string::npos, text.find("--")); // no SGML comments are left
    EXPECT_EQ('\n', text.back());
    for (char c : text)
        ASSERT_TRUE(c == '\n' || (c >= ' ' && c <= '~')) << int(c);
}

TEST(HTMLDTDText, CharacterEntities)
{
    const DocumentType* type = htmlType();
    EXPECT_EQ(252u, type->getEntityNodes().length());
    const std::pair<const char*, unsigned long> samples[] = {
        {"nbsp", 160}, {"yuml", 255}, {"euro", 8364}, {"lt", 60}, {"amp", 38}, {"quot", 34}, {"gt", 62},
        {"OElig", 338}, {"Omega", 937}, {"omega", 969}, {"thetasym", 977}, {"diams", 9830}, {"rlm", 8207},
        {"Agrave", 192}, {"agrave", 224}};
    for (const auto& sample : samples) {
        const Entity* entity = type->getEntity(sample.first);
        ASSERT_NE(nullptr, entity) << sample.first;
        EXPECT_EQ(sample.second, entity->getCharValue()) << sample.first;
        EXPECT_EQ(entity, type->getCharEntity(sample.second)) << sample.first;
    }
    EXPECT_EQ(nullptr, type->getEntity("apos"));
}

TEST(HTMLDTDText, LibraryParameterEntitiesShapeTheModels)
{
    // The library's parameter entities come first and win over the standard
    // ones: the version, the frameset content of HTML and NOFRAMES, EMBED
    // excluded from PRE.
    const DocumentType* type = htmlType();
    EXPECT_EQ("-//ZEB//DTD ZEB Version 4.0//EN", type->getPublicID());
    const std::pair<const char*, const char*> models[] = {
        {"P", "(#INLINE)"},
        {"ADDRESS", "(#INLINE|()|P)*"}, // the keyword first, the emptied group kept
        {"BODY", "(#FLOW) +(INS|DEL)"},
        {"OBJECT", "(#FLOW|PARAM)*"},
        {"PRE", "(#INLINE) -(IMG|OBJECT|APPLET|BIG|SMALL|SUB|SUP|FONT|BASEFONT|EMBED)"},
        {"SCRIPT", "CDATA"},
        {"TEXTAREA", "(#PCDATA)"},
        {"HTML", "(HEAD,(FRAMESET|BODY))"},
        {"NOFRAMES", "(BODY) -(NOFRAMES)"},
        {"FRAMESET", "((FRAMESET|FRAME)+&NOFRAMES?)"},
        {"FRAME", "EMPTY"},
        {"EMBED", "(NOEMBED)"},
        {"MARQUEE", "(#FLOW)"},
        {"ssi:printenv", "EMPTY"}};
    for (const auto& m : models) {
        const ElementType* element = type->getElementType(m.first);
        ASSERT_NE(nullptr, element) << m.first;
        EXPECT_EQ(std::string("<!ELEMENT ") + m.first + " " + m.second + ">", element->getSource());
    }
}

TEST(HTMLDTDText, Attributes)
{
    const DocumentType* type = htmlType();
    const char* const expected[][3] = {
        {"A", "onclick", "onclick EVENT #IMPLIED"},
        {"A", "href", "href URI #IMPLIED"},
        {"A", "utn", "utn (utn) #IMPLIED"},
        {"A", "ijam", "ijam CDATA #IMPLIED"},
        {"IMG", "mapfile", "mapfile URI #IMPLIED"},
        {"APPLET", "mayscript", "mayscript (mayscript) #IMPLIED"},
        {"INPUT", "istyle", "istyle CDATA #IMPLIED"},
        {"TABLE", "background", "background URI #IMPLIED"},
        {"TABLE", "bgcolor", "bgcolor COLOR #IMPLIED"},
        {"TD", "background", "background URI #IMPLIED"},
        {"BODY", "text", "text COLOR #IMPLIED"},
        {"HTML", "lang", "lang NMTOKEN #IMPLIED"}, // NAME is read as NMTOKEN
        {"HTML", "version", "version CDATA #FIXED \"-//ZEB//DTD ZEB Version 4.0//EN\""},
        {"EMBED", "src", "src URI #REQUIRED"},
        {"EMBED", "controller", "controller (true|false) \"true\""},
        {"MARQUEE", "behavior", "behavior (scroll|slide|alternate) \"scroll\""},
        {"SUBMIT", "onclick", "onclick CDATA #IMPLIED"},
        {"ssi:exec", "cgi", "cgi URI #IMPLIED"}};
    for (const auto& e : expected) {
        const AttrType* attr = type->getElementType(e[0])->getAttrType(e[1]);
        ASSERT_NE(nullptr, attr) << e[0] << " " << e[1];
        EXPECT_EQ(e[2], attr->getSource()) << e[0];
    }
    // The reserved data-binding attributes are left out.
    EXPECT_EQ(nullptr, type->getElementType("SPAN")->getAttrType("datasrc"));
    EXPECT_EQ(nullptr, type->getElementType("ssi:printenv")->getAttrTypes());
}

TEST(BuiltinDocumentTypesTest, RegistryMergesTheJSPAndQRTXTables)
{
    // The merge itself is the registry's (see the frame tests); here the
    // tables it merges.
    const DocumentType* plain = DOMImpl::getDocumentType("html");
    ASSERT_NE(plain, nullptr);
    {
        JSPVersionGuard guard(DOMImpl::JSP_10);
        const DocumentType* html = DOMImpl::getDocumentType("HTML");
        ASSERT_NE(html->getElementType("jsp:useBean"), nullptr);
        EXPECT_EQ(html->getDefElementType(140), html->getElementType("QRTX:TEXT"));
        // QRTX attributes join the HTML element's own list.
        const ElementType* a = html->getElementType("A");
        EXPECT_NE(a->getAttrType("href"), nullptr);
        EXPECT_TRUE(a->getAttrType("dynamicelement")->isBooleanType());
        EXPECT_TRUE(canContain("HTML", "P", "QRTX:TEXT"));
        EXPECT_EQ(DOMImpl::getDocumentType("vxml")->getElementType("QRTX:TEXT"), nullptr);
    }
    {
        JSPVersionGuard guard(DOMImpl::JSP_091);
        const DocumentType* html = DOMImpl::getDocumentType("html");
        EXPECT_NE(html->getElementType("BEAN"), nullptr);
        EXPECT_NE(html->getElementType("QRTX:LOOP"), nullptr);
    }
    EXPECT_EQ(plain->getElementType("QRTX:TEXT"), nullptr);
}

// Every element a content model of the HTML type names is declared under
// exactly that name: the reader matches content-model names exactly, so a
// name spelled otherwise would refuse its element.
TEST(HTMLDTDText, ContentModelsNameDeclaredElementsExactly)
{
    const DocumentType* html = DOMImpl::getDocumentType("html");
    ASSERT_NE(html, nullptr);
    dom::NodeList types = html->getElementTypeNodes();
    for (unsigned long i = 0; i < types.length(); ++i) {
        const ElementType* type = static_cast<const ElementType*>(types.item(i));
        for (const std::string& name : type->getContentNames()) {
            const ElementType* named = html->getElementType(name);
            EXPECT_TRUE(named && named->getName() == name) << type->getName() << " names " << name;
        }
    }

    // A column group holds its columns.
    EXPECT_TRUE(canContain("HTML", "COLGROUP", "COL"));
    Ref<Document> doc(DOMImpl::createDocument("HTML"));
    const std::string page = "<table><colgroup><col><col></colgroup><tr><td>x</table>";
    doc->createNodes(page.data(), static_cast<unsigned long>(page.size()), nullptr);
    dom::NodeList cols = doc->getHTMLElement()->getElementsByTagName("col");
    ASSERT_EQ(2u, cols.length());
    for (unsigned long i = 0; i < cols.length(); ++i) {
        EXPECT_EQ("colgroup", cols.item(i)->getParentNode()->getNodeName());
        EXPECT_FALSE(cols.item(i)->isInvalidContent());
    }
    EXPECT_EQ(page, doc->getSource());
}
