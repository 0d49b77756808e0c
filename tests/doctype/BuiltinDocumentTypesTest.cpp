#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "doctype/AttrType.h"
#include "doctype/BuiltinDocumentTypes.h"
#include "doctype/DocumentType.h"
#include "doctype/ElementTable.h"
#include "doctype/ElementType.h"
#include "doctype/Entity.h"
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
        EXPECT_EQ(BuiltinDocumentTypes::create(name), nullptr) << name;
    const char* names[][2] = {{"xml", "xml"}, {"vxml", "vxml"}, {"jsp091", "jsp"},
                              {"jsp10", "jsp"}, {"qrtx", "qrtx"}, {"html", "HTML"}};
    for (auto& n : names) {
        Ref<DocumentType> type(BuiltinDocumentTypes::create(n[0]));
        ASSERT_NE(type.get(), nullptr) << n[0];
        EXPECT_EQ(type->getNodeName(), n[1]);
        EXPECT_EQ(type->getRefCount(), 1ul);
    }
}

TEST(BuiltinDocumentTypesTest, XMLEntitiesStandForTheirCharacters)
{
    Ref<DocumentType> xml(BuiltinDocumentTypes::create("xml"));
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
    Ref<DocumentType> vxml(BuiltinDocumentTypes::create("vxml"));
    EXPECT_EQ(vxml->getCharEntity(38), vxml->getEntity("amp"));
}

TEST(BuiltinDocumentTypesTest, VoiceXMLContainment)
{
    Ref<DocumentType> vxml(BuiltinDocumentTypes::create("vxml"));
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
    Ref<DocumentType> jsp10(BuiltinDocumentTypes::create("jsp10"));
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

    Ref<DocumentType> jsp091(BuiltinDocumentTypes::create("jsp091"));
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
    Ref<DocumentType> html(BuiltinDocumentTypes::create("html"));
    EXPECT_EQ(html->getPublicID(), "-//ZEB//DTD ZEB Version 4.0//EN");
    EXPECT_TRUE(html->receivesQRTX());
    const ElementType* p = html->getElementType("P");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->getElementID(), 68);
    EXPECT_EQ(p->getContainerType(), ContentModel::INLINE_CONTENT);
    EXPECT_EQ(p->getOmitType(), ElementType::OMIT_END_TAG);
    EXPECT_EQ(p->getGroup(), 0x30081ul);
    EXPECT_EQ(p->getContentType(), ContentModel::FLOW_CONTENT);
    EXPECT_EQ(html->getElementType("B")->getContentType(), ContentModel::INLINE_CONTENT);
    EXPECT_EQ(html->getElementType("SCRIPT")->getContainerType(), ContentModel::CDATA_CONTENT);
    EXPECT_EQ(html->getElementType("LI")->getOmitType(), ElementType::OMIT_END_TAG_BY_FLAG);
    const ElementType* include = html->getElementType("ssi:include");
    ASSERT_NE(include, nullptr);
    EXPECT_EQ(include->getElementID(), 105);
    EXPECT_EQ(include->getGroup(), 0x100008ul);
    EXPECT_EQ(include->getContentType(), ContentModel::ANY_CONTENT);
    ASSERT_NE(html->getCharEntity(160), nullptr);
    EXPECT_EQ(html->getCharEntity(160)->getNodeName(), "nbsp");
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
    // End tags a page may leave out, and ones it may not.
    for (const char* name : {"P", "LI", "TD", "TR", "OPTION", "DD", "HTML", "BODY", "TBODY"})
        EXPECT_NE(html->getElementType(name)->getOmitType(), ElementType::OMIT_NO_TAG) << name;
    for (const char* name : {"DIV", "TABLE", "A", "SCRIPT", "TEXTAREA", "SELECT"})
        EXPECT_EQ(html->getElementType(name)->getOmitType(), ElementType::OMIT_NO_TAG) << name;
    EXPECT_EQ(html->getElementType("BR")->getContainerType(), ContentModel::EMPTY_CONTENT);
    EXPECT_EQ(html->getEntity("euro")->getCharValue(), 8364u);
    EXPECT_EQ(html->getEntity("lt")->getCharValue(), 60u);
    EXPECT_EQ(html->getEntity("Agrave")->getCharValue(), 192u);
    EXPECT_EQ(html->getEntity("agrave")->getCharValue(), 224u);
}

TEST(BuiltinDocumentTypesTest, RegistryMergesJSPAndQRTXDeclarations)
{
    const DocumentType* plain = DOMImpl::getDocumentType("html");
    ASSERT_NE(plain, nullptr);
    {
        JSPVersionGuard guard(DOMImpl::JSP_10);
        const DocumentType* html = DOMImpl::getDocumentType("HTML");
        ASSERT_NE(html, nullptr);
        EXPECT_NE(html, plain);
        EXPECT_EQ(html->getJSPVersion(), DOMImpl::JSP_10);
        EXPECT_EQ(html->getJSPDirectiveNames(), (Names{"page", "include", "taglib"}));
        ASSERT_NE(html->getElementType("jsp:useBean"), nullptr);
        EXPECT_EQ(html->getDefElementType(140), html->getElementType("QRTX:TEXT"));
        // QRTX attributes join the HTML element's own list.
        const ElementType* a = html->getElementType("A");
        EXPECT_NE(a->getAttrType("href"), nullptr);
        EXPECT_NE(a->getAttrType("hrefproperty"), nullptr);
        EXPECT_TRUE(a->getAttrType("dynamicelement")->isBooleanType());
        EXPECT_TRUE(canContain("HTML", "P", "QRTX:TEXT"));

        // A type without the qrtx flag gets the JSP declarations only.
        const DocumentType* vxml = DOMImpl::getDocumentType("vxml");
        EXPECT_NE(vxml->getElementType("jsp:scriptlet"), nullptr);
        EXPECT_EQ(vxml->getElementType("QRTX:TEXT"), nullptr);
    }
    {
        JSPVersionGuard guard(DOMImpl::JSP_091);
        const DocumentType* html = DOMImpl::getDocumentType("html");
        EXPECT_NE(html->getElementType("BEAN"), nullptr);
        EXPECT_EQ(html->getElementType("jsp:useBean"), nullptr);
        EXPECT_NE(html->getElementType("QRTX:LOOP"), nullptr);
        EXPECT_TRUE(html->getJSPDirectiveNames().empty());
    }
    EXPECT_EQ(DOMImpl::getDocumentType("html"), plain);
    EXPECT_EQ(plain->getElementType("QRTX:TEXT"), nullptr);
}
