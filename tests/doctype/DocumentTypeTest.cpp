#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "doctype/AttrType.h"
#include "doctype/AttrTypeList.h"
#include "doctype/DocumentType.h"
#include "doctype/ElementType.h"
#include "doctype/Entity.h"
#include "doctype/Notation.h"
#include "frame/DOMImpl.h"
#include "tree/Document.h"
#include "tree/Element.h"
#include "node/NamedNodeMap.h"
#include "doctype/DeclarationBuilder.h"

using pagedom::DeclarationBuilder;

namespace {

struct Release {
    void operator()(Node* node) const { node->releaseRef(); }
};
template <class T>
using Ref = std::unique_ptr<T, Release>;

ElementType* element(DocumentType* dt, const std::string& name, int id = 0, unsigned long flags = 0)
{
    ElementType* type = DeclarationBuilder::createElementType(*dt, name);
    DeclarationBuilder::setElementID(*type, id);
    DeclarationBuilder::setContentModel(*type, "(#PCDATA)");
    if (flags)
        DeclarationBuilder::setElementFlags(*type, flags);
    return type;
}

Entity* entity(DocumentType* dt, const std::string& name, const std::string& value, unsigned long ch = 0)
{
    Entity* e = DeclarationBuilder::createEntity(*dt, name);
    e->setNodeValue(value);
    DeclarationBuilder::setCharValue(*e, ch);
    return e;
}

// An ATTLIST for element with CDATA attributes of the given names.
AttrTypeList* attlist(DocumentType* dt, const std::string& element, const std::vector<std::string>& names)
{
    AttrTypeList* list = DeclarationBuilder::createAttrTypeList(*dt, element);
    for (const std::string& name : names)
        DeclarationBuilder::addAttrType(*list, DeclarationBuilder::createAttrType(*dt, name));
    return list;
}

} // namespace

TEST(DocumentTypeTest, AddOperationsIndexTheFirstDeclaration)
{
    Ref<DocumentType> dt(DOMImpl::createDocumentType("html"));
    ElementType* first = element(dt.get(), "P", 68);
    EXPECT_EQ(first, DeclarationBuilder::addElementType(*dt, first));
    EXPECT_EQ(nullptr, DeclarationBuilder::addElementType(*dt, element(dt.get(), "P", 68)));
    ElementType* sameId = element(dt.get(), "PARA", 68);
    EXPECT_EQ(nullptr, DeclarationBuilder::addElementType(*dt, sameId));  // listed and named, not by id
    EXPECT_EQ(first, dt->getElementType("p"));
    EXPECT_EQ(first, dt->getDefElementType(68));
    EXPECT_EQ(sameId, dt->getElementType("PARA"));
    EXPECT_EQ(3u, dt->getElementTypeNodes().length());
    EXPECT_EQ((std::vector<std::string>{"P", "P", "PARA"}), dt->getElementTypeNames());

    Entity* agrave = entity(dt.get(), "Agrave", "&#192;", 192);
    Entity* lower = entity(dt.get(), "agrave", "&#224;", 224);
    Entity* alias = entity(dt.get(), "A2", "&#192;", 192);
    EXPECT_EQ(agrave, DeclarationBuilder::addEntity(*dt, agrave));
    EXPECT_EQ(lower, DeclarationBuilder::addEntity(*dt, lower));
    EXPECT_EQ(nullptr, DeclarationBuilder::addEntity(*dt, entity(dt.get(), "agrave", "&#225;", 225)));
    EXPECT_EQ(alias, DeclarationBuilder::addEntity(*dt, alias));
    EXPECT_EQ(agrave, dt->getEntity("Agrave"));
    EXPECT_EQ(lower, dt->getEntity("agrave"));
    EXPECT_EQ(nullptr, dt->getEntity("AGRAVE"));
    EXPECT_EQ(agrave, dt->getCharEntity(192));  // the first per code point
    EXPECT_EQ(nullptr, dt->getCharEntity(225));  // an unindexed one registers nothing
    EXPECT_EQ(4u, dt->getEntityNodes().length());

    Notation* gif = DeclarationBuilder::createNotation(*dt, "GIF");
    EXPECT_EQ(gif, DeclarationBuilder::addNotation(*dt, gif));
    EXPECT_EQ(nullptr, DeclarationBuilder::addNotation(*dt, DeclarationBuilder::createNotation(*dt, "gif")));
    EXPECT_EQ(gif, dt->getNotation("gif"));

    // Nodes of the wrong kind or without a name are refused and not listed.
    const unsigned long listed = dt->getDeclNodes().length();
    Ref<Notation> stray(DeclarationBuilder::createNotation(*dt, "stray"));
    EXPECT_EQ(nullptr, DeclarationBuilder::addEntity(*dt, stray.get()));
    EXPECT_EQ(nullptr, DeclarationBuilder::addElementType(*dt, stray.get()));
    EXPECT_EQ(nullptr, DeclarationBuilder::addNotation(*dt, nullptr));
    Ref<ElementType> unnamed(DeclarationBuilder::createElementType(*dt, ""));
    EXPECT_EQ(nullptr, DeclarationBuilder::addElementType(*dt, unnamed.get()));
    EXPECT_EQ(listed, dt->getDeclNodes().length());
}

TEST(DocumentTypeTest, CaseTwinsAndAttributeLists)
{
    Ref<DocumentType> dt(DOMImpl::createDocumentType("html"));
    // No type yet: the list attaches nowhere.
    DeclarationBuilder::addAttrTypeList(*dt, attlist(dt.get(), "ssi:include", {"early"}));
    ElementType* lower = element(dt.get(), "ssi:include", 100);
    ElementType* upper = element(dt.get(), "ssi:INCLUDE", 101);
    DeclarationBuilder::addElementType(*dt, lower);
    EXPECT_EQ(nullptr, DeclarationBuilder::addElementType(*dt, upper));
    EXPECT_EQ(upper, dt->getElementType("ssi:INCLUDE"));
    EXPECT_EQ(lower, dt->getElementType("SSI:Include"));
    EXPECT_EQ(upper, dt->getDefElementType(101));
    EXPECT_EQ(nullptr, lower->getAttrTypes());

    // Each twin gets the list spelled like it; a later list adds to it.
    DeclarationBuilder::addAttrTypeList(*dt, attlist(dt.get(), "ssi:include", {"file"}));
    DeclarationBuilder::addAttrTypeList(*dt, attlist(dt.get(), "ssi:INCLUDE", {"virtual"}));
    DeclarationBuilder::addAttrTypeList(*dt, attlist(dt.get(), "ssi:include", {"timefmt"}));
    EXPECT_EQ((std::vector<std::string>{"file", "timefmt"}), lower->getAllAttrNames());
    EXPECT_EQ((std::vector<std::string>{"virtual"}), upper->getAllAttrNames());
}

TEST(DocumentTypeTest, JSPDirectiveNamesAndElementNames)
{
    Ref<DocumentType> dt(DOMImpl::createDocumentType("jsp"));
    DeclarationBuilder::addElementType(*dt, element(dt.get(), "P", 68, 0x1));
    DeclarationBuilder::addElementType(*dt, element(dt.get(), "jsp:directive.page", 120, 0x1000000));
    DeclarationBuilder::addElementType(*dt, element(dt.get(), "jsp:directive.include", 121, 0x1000000));
    DeclarationBuilder::addElementType(*dt, element(dt.get(), "jsp:scriptlet", 110, 0x800000));
    DeclarationBuilder::addElementType(*dt, element(dt.get(), "jsp:directive", 0, 0x1000000));  // no dot
    EXPECT_EQ((std::vector<std::string>{"page", "include"}), dt->getJSPDirectiveNames());
    EXPECT_EQ((std::vector<std::string>{"P"}), dt->getElementTypeNames());
    DeclarationBuilder::setJSPVersion(*dt, DOMImpl::JSP_10);
    EXPECT_EQ(5u, dt->getElementTypeNames().size());
}

TEST(DocumentTypeTest, Source)
{
    Ref<DocumentType> dt(DOMImpl::createDocumentType("html"));
    EXPECT_EQ("<!DOCTYPE html>", dt->getSource());
    DeclarationBuilder::setInternalSubset(*dt, true);
    EXPECT_EQ("<!DOCTYPE html []>", dt->getSource());
    DeclarationBuilder::setInternalSubset(*dt, false);
    dt->setPublicID("-//W3C//DTD HTML 4.0//EN");
    EXPECT_EQ("<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.0//EN\">", dt->getSource());
    dt->setPublicID("");
    dt->setSystemID("strict.dtd");
    EXPECT_EQ("<!DOCTYPE html SYSTEM \"strict.dtd\">", dt->getSource());
    dt->setSystemID("");

    DeclarationBuilder::addEntity(*dt, entity(dt.get(), "nbsp", "&#160;", 160));
    DeclarationBuilder::addElementType(*dt, element(dt.get(), "P"));
    DeclarationBuilder::addElementType(*dt, element(dt.get(), "p"));
    DeclarationBuilder::addAttrTypeList(*dt, attlist(dt.get(), "P", {"id"}));
    Notation* png = DeclarationBuilder::createNotation(*dt, "png");
    DeclarationBuilder::setSystemID(*png, "image/png");
    DeclarationBuilder::addNotation(*dt, png);
    const std::string written = "<!DOCTYPE html [\r\n"
                                "<!ENTITY nbsp \"&#160;\">\r\n"
                                "<!ELEMENT P (#PCDATA)>\r\n"
                                "<!ELEMENT p (#PCDATA)>\r\n"
                                "<!ATTLIST P\r\nid CDATA #IMPLIED\r\n>\r\n"
                                "<!NOTATION png SYSTEM \"image/png\">\r\n"
                                "]>";
    EXPECT_EQ(written, dt->getSource());
    dt->setSource("<!DOCTYPE html [ kept ]>");
    EXPECT_EQ("<!DOCTYPE html [ kept ]>", dt->getSource());
    EXPECT_NE(0u, dt->getUpdateState() & Node::UPDATE_CONTENT_MODIFIED);
    dt->formatSource();
    EXPECT_EQ(written, dt->getSource());

    Ref<Entity> e(entity(dt.get(), "logo", ""));
    DeclarationBuilder::setPublicID(*e, "-//X//LOGO");
    DeclarationBuilder::setSystemID(*e, "logo.gif");
    DeclarationBuilder::setNotationName(*e, "gif");
    EXPECT_EQ("<!ENTITY logo PUBLIC \"-//X//LOGO\" \"logo.gif\" NDATA gif>", e->getSource());
    Ref<Notation> n(DeclarationBuilder::createNotation(*dt, "gif"));
    DeclarationBuilder::setPublicID(*n, "-//X//GIF");
    EXPECT_EQ("<!NOTATION gif PUBLIC \"-//X//GIF\">", n->getSource());
}

TEST(DocumentTypeTest, CloneRebuildsEveryIndex)
{
    DocumentType* dt = DOMImpl::createDocumentType("html");
    dt->setPublicID("-//ZEB//DTD ZEB Version 4.0//EN");
    DeclarationBuilder::setInternalSubset(*dt, true);
    DeclarationBuilder::setReceivesQRTX(*dt, true);
    DeclarationBuilder::setJSPVersion(*dt, DOMImpl::JSP_091);
    DeclarationBuilder::addElementType(*dt, element(dt, "ssi:include", 100));
    DeclarationBuilder::addElementType(*dt, element(dt, "ssi:INCLUDE", 101));
    DeclarationBuilder::addElementType(*dt, element(dt, "jsp:directive.page", 120, 0x1000000));
    DeclarationBuilder::addAttrTypeList(*dt, attlist(dt, "ssi:include", {"file"}));
    DeclarationBuilder::addEntity(*dt, entity(dt, "nbsp", "&#160;", 160));
    DeclarationBuilder::addNotation(*dt, DeclarationBuilder::createNotation(*dt, "gif"));
    dt->setSource("<!DOCTYPE html PUBLIC \"-//ZEB//DTD ZEB Version 4.0//EN\" [ as read ]>");

    Ref<DocumentType> copy(static_cast<DocumentType*>(dt->cloneNode(true)));
    EXPECT_EQ(1u, copy->getRefCount());
    EXPECT_EQ(dt->getPublicID(), copy->getPublicID());
    EXPECT_TRUE(copy->hasInternalSubset());
    EXPECT_TRUE(copy->receivesQRTX());
    EXPECT_EQ(DOMImpl::JSP_091, copy->getJSPVersion());
    EXPECT_EQ(dt->getSource(), copy->getSource());  // the source as read stays
    EXPECT_EQ(dt->getDeclNodes().length(), copy->getDeclNodes().length());
    const ElementType* lower = copy->getElementType("SSI:Include");
    const ElementType* upper = copy->getElementType("ssi:INCLUDE");
    ASSERT_TRUE(lower && upper);
    EXPECT_NE(dt->getElementType("ssi:include"), lower);
    dt->releaseRef();  // the copy stands alone
    EXPECT_EQ("ssi:INCLUDE", upper->getName());
    EXPECT_EQ(upper, copy->getDefElementType(101));
    EXPECT_NE(nullptr, lower->getAttrType("FILE"));
    EXPECT_EQ(copy->getEntity("nbsp"), copy->getCharEntity(160));
    EXPECT_NE(nullptr, copy->getNotation("GIF"));
    EXPECT_EQ((std::vector<std::string>{"page"}), copy->getJSPDirectiveNames());
    copy->formatSource();
    EXPECT_EQ(0u, copy->getSource().find("<!DOCTYPE html PUBLIC"));
}

TEST(DocumentTypeTest, MergeCopiesAttributeTypesWithTheirLists)
{
    DocumentType* jsp = DOMImpl::createDocumentType("jsp");
    DeclarationBuilder::addElementType(*jsp, element(jsp, "jsp:include", 116));
    DeclarationBuilder::addAttrTypeList(*jsp, attlist(jsp, "jsp:include", {"page", "flush"}));
    DeclarationBuilder::addElementType(*jsp, element(jsp, "FORM", 35));
    DeclarationBuilder::addAttrTypeList(*jsp, attlist(jsp, "FORM", {"bean"}));
    DeclarationBuilder::addEntity(*jsp, entity(jsp, "copy", "&#169;", 169));

    Ref<DocumentType> html(DOMImpl::createDocumentType("html"));
    DeclarationBuilder::addElementType(*html, element(html.get(), "FORM", 35));
    DeclarationBuilder::addAttrTypeList(*html, attlist(html.get(), "FORM", {"action"}));
    DeclarationBuilder::mergeDeclarations(*html, jsp);
    DeclarationBuilder::mergeDeclarations(*html, nullptr);
    jsp->releaseRef();  // nothing merged may point back into it

    const ElementType* include = html->getElementType("JSP:INCLUDE");
    ASSERT_NE(nullptr, include);
    EXPECT_EQ(116, include->getElementID());
    EXPECT_EQ((std::vector<std::string>{"page", "flush"}), include->getAllAttrNames());
    EXPECT_EQ((std::vector<std::string>{"action", "bean"}), html->getElementType("form")->getAllAttrNames());
    EXPECT_EQ(html->getDefElementType(35), html->getElementType("FORM"));
    ASSERT_NE(nullptr, html->getEntity("copy"));
    EXPECT_EQ(html->getEntity("copy"), html->getCharEntity(169));
    EXPECT_NE(std::string::npos, html->getSource().find("<!ATTLIST jsp:include\r\npage CDATA"));
}

// The DOCTYPE of a page is written from its declarations: changing one of
// them, or reading more into it, is a change of the node the page shows.
TEST(DocumentTypeTest, ChangedDeclarationsReachThePage)
{
    Ref<Document> doc(DOMImpl::createDocument("page"));
    DocumentType* dt = doc->createDocType("page");
    dt->parse("<!ENTITY who \"world\">");
    doc->appendChild(dt);
    doc->appendChild(doc->createElement("page"));
    EXPECT_EQ("<!DOCTYPE page [\r\n<!ENTITY who \"world\">\r\n]><page></page>", doc->getSource());

    dt->setUpdateState(Node::UPDATE_NONE);
    Entity* who = static_cast<Entity*>(dt->getEntityNodes().item(0));
    who->setNodeValue("you");
    EXPECT_TRUE(dt->hasUpdates(false));
    EXPECT_EQ("<!DOCTYPE page [\r\n<!ENTITY who \"you\">\r\n]><page></page>", doc->getSource());

    dt->setUpdateState(Node::UPDATE_NONE);
    dt->parse("<!ENTITY me \"I\">");
    EXPECT_TRUE(dt->hasUpdates(false));
    EXPECT_EQ("<!DOCTYPE page [\r\n<!ENTITY who \"you\">\r\n<!ENTITY me \"I\">\r\n]><page></page>",
              doc->getSource());

    dt->setUpdateState(Node::UPDATE_NONE);
    dt->setPublicID("-//X//Y//EN");
    EXPECT_TRUE(dt->hasUpdates(false));
    EXPECT_EQ(0u, std::string(doc->getSource()).find("<!DOCTYPE page PUBLIC \"-//X//Y//EN\" [\r\n"));
}
