#ifndef PAGEDOM_TESTS_TREE_SMALLHTMLTYPE_H
#define PAGEDOM_TESTS_TREE_SMALLHTMLTYPE_H

// A small HTML-like document type, with the element ids of the built-in one,
// and a fixture that gives each test an HTML document of that type.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "doctype/AttrType.h"
#include "doctype/AttrTypeList.h"
#include "doctype/DocumentType.h"
#include "doctype/ElementTable.h"
#include "doctype/ElementType.h"
#include "doctype/Entity.h"
#include "frame/DOMImpl.h"
#include "tree/Attr.h"
#include "tree/Document.h"
#include "tree/Element.h"
#include "tree/Text.h"
#include "doctype/DeclarationBuilder.h"

namespace smallhtml {

struct Release {
    void operator()(Node* node) const { node->releaseRef(); }
};
// Holds one reference on a node for the length of a scope.
template <class T>
using Ref = std::unique_ptr<T, Release>;

struct Decl {
    const char* name;
    int id;
    const char* model;
    unsigned long flags;  // ElementType group bits
};

inline const std::vector<Decl>& decls()
{
    constexpr unsigned long NONE = 0;
    constexpr unsigned long BLOCK = ElementType::GROUP_BLOCK;
    constexpr unsigned long SOLID = ElementType::GROUP_SOLID;
    constexpr int NO_ID = 0;  // XMP is no element of the built-in tables
    static const std::vector<Decl> all = {
        {"HTML", ElementTable::ID_HTML, "(HEAD, (BODY|FRAMESET))", BLOCK},
        {"HEAD", ElementTable::ID_HEAD, "(TITLE?)", BLOCK},
        {"BODY", ElementTable::ID_BODY, "(#PCDATA|P|B|FORM|INPUT|EMBED|SERVLET|NOFRAMES|TABLE)* +(INS) -(BLINK)",
         BLOCK},
        {"FRAMESET", ElementTable::ID_FRAMESET, "(FRAME|NOFRAMES)*", BLOCK},
        {"NOFRAMES", ElementTable::ID_NOFRAMES, "(P)*", BLOCK},
        {"P", ElementTable::ID_P, "(#PCDATA|B|BLINK|INPUT|IMG)*", BLOCK},
        {"PRE", ElementTable::ID_PRE, "(#PCDATA)", BLOCK | ElementType::GROUP_PLAIN},
        {"XMP", NO_ID, "CDATA", BLOCK},
        {"B", ElementTable::ID_B, "(#PCDATA|B)*", NONE},
        {"BLINK", ElementTable::ID_BLINK, "(#PCDATA)*", NONE},
        {"INS", ElementTable::ID_INS, "(#PCDATA)*", NONE},
        {"FORM", ElementTable::ID_FORM, "(#PCDATA|P|INPUT|FORM|TABLE)*", BLOCK},
        {"INPUT", ElementTable::ID_INPUT, "EMPTY", SOLID},
        {"TABLE", ElementTable::ID_TABLE, "(TR)+", BLOCK},
        {"TR", ElementTable::ID_TR, "(TD)*", BLOCK},
        {"TD", ElementTable::ID_TD, "(#PCDATA|INPUT)*", NONE},
        {"IMG", ElementTable::ID_IMG, "EMPTY", SOLID},
        {"EMBED", ElementTable::ID_EMBED, "EMPTY", SOLID},
        {"SERVLET", ElementTable::ID_SERVLET, "ANY", NONE},
        {"SCRIPT", ElementTable::ID_SCRIPT, "CDATA", ElementType::GROUP_ANYWHERE},
    };
    return all;
}

struct AttrDecl {
    const char* name;
    AttrType::ValueType type;
    std::vector<std::string> group;  // the members of a name group
};

inline void declareAttrs(DocumentType* dt, const char* element, const std::vector<AttrDecl>& decls)
{
    AttrTypeList* list = pagedom::DeclarationBuilder::createAttrTypeList(*dt, element);
    for (const AttrDecl& decl : decls) {
        AttrType* type = pagedom::DeclarationBuilder::createAttrType(*dt, decl.name);
        pagedom::DeclarationBuilder::setValueType(*type,
                                                  decl.group.empty() ? decl.type : AttrType::NAME_GROUP_TYPE);
        if (!decl.group.empty())
            pagedom::DeclarationBuilder::setValues(*type, decl.group);
        pagedom::DeclarationBuilder::addAttrType(*list, type);
    }
    pagedom::DeclarationBuilder::addAttrTypeList(*dt, list);
}

inline DocumentType* makeHTMLType()
{
    DocumentType* dt = DOMImpl::createDocumentType("HTML");
    for (const Decl& decl : decls()) {
        ElementType* type = pagedom::DeclarationBuilder::createElementType(*dt, decl.name);
        pagedom::DeclarationBuilder::setElementID(*type, decl.id);
        pagedom::DeclarationBuilder::setContentModel(*type, decl.model);
        pagedom::DeclarationBuilder::setElementFlags(*type, decl.flags);
        pagedom::DeclarationBuilder::addElementType(*dt, type);
    }
    const AttrType::ValueType cdata = AttrType::CDATA_TYPE;
    declareAttrs(dt, "P", {{"id", AttrType::ID_TYPE, {}}, {"class", cdata, {}},
                           {"align", cdata, {"left", "center", "right"}}});
    declareAttrs(dt, "IMG", {{"SRC", AttrType::URI_TYPE, {}}, {"onclick", AttrType::EVENT_TYPE, {}},
                             {"align", cdata, {"left", "right"}}, {"ismap", cdata, {"ismap"}}});
    Entity* nbsp = pagedom::DeclarationBuilder::createEntity(*dt, "nbsp");
    nbsp->setNodeValue("&#160;");
    pagedom::DeclarationBuilder::setCharValue(*nbsp, 160);
    pagedom::DeclarationBuilder::addEntity(*dt, nbsp);
    return dt;
}

// Whether node carries the error bit.
inline bool has(const Node* node, unsigned long bit)
{
    return (node->getErrorState() & bit) != 0;
}

class HTMLDocumentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        DocumentType* dt = makeHTMLType();
        doc = DOMImpl::createDocument("HTML", dt);
        dt->releaseRef();
    }
    void TearDown() override { doc->releaseRef(); }

    // The document parent belongs to (parent itself when it is one).
    static Document* documentOf(Node* parent)
    {
        return parent->getNodeType() == Node::DOCUMENT_NODE ? static_cast<Document*>(parent)
                                                           : parent->getOwnerDocument();
    }
    // Creates an element in parent's document and appends it (the reference
    // passes to parent).
    Element* add(Node* parent, const char* name)
    {
        Element* e = documentOf(parent)->createElement(name);
        parent->appendChild(e);
        return e;
    }
    Text* text(Node* parent, const std::string& data)
    {
        Text* t = documentOf(parent)->createTextNode(data);
        parent->appendChild(t);
        return t;
    }
    Attr* attr(const std::string& name, const char* value)
    {
        Attr* a = doc->createAttribute(name);
        a->setValue(value);
        return a;
    }

    Document* doc = nullptr;
};

} // namespace smallhtml

#endif
