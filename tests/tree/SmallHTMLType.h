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
#include "doctype/ElementType.h"
#include "doctype/Entity.h"
#include "frame/DOMImpl.h"
#include "tree/Attr.h"
#include "tree/Document.h"
#include "tree/Element.h"
#include "tree/Text.h"

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
    unsigned long flags;  // 0x1 block, 0x2 plain, 0x8 solid, 0x200000 anywhere
};

inline const std::vector<Decl>& decls()
{
    static const std::vector<Decl> all = {
        {"HTML", 46, "(HEAD, (BODY|FRAMESET))", 0x1},
        {"HEAD", 44, "(TITLE?)", 0x1},
        {"BODY", 14, "(#PCDATA|P|B|FORM|INPUT|EMBED|SERVLET|NOFRAMES|TABLE)* +(INS) -(BLINK)", 0x1},
        {"FRAMESET", 37, "(FRAME|NOFRAMES)*", 0x1},
        {"NOFRAMES", 62, "(P)*", 0x1},
        {"P", 68, "(#PCDATA|B|BLINK|INPUT|IMG)*", 0x1},
        {"PRE", 69, "(#PCDATA)", 0x1 | 0x2},
        {"XMP", 96, "CDATA", 0x1},
        {"B", 5, "(#PCDATA|B)*", 0},
        {"BLINK", 9, "(#PCDATA)*", 0},
        {"INS", 51, "(#PCDATA)*", 0},
        {"FORM", 35, "(#PCDATA|P|INPUT|FORM|TABLE)*", 0x1},
        {"INPUT", 50, "EMPTY", 0x8},
        {"TABLE", 85, "(TR)+", 0x1},
        {"TR", 91, "(TD)*", 0x1},
        {"TD", 88, "(#PCDATA|INPUT)*", 0},
        {"IMG", 49, "EMPTY", 0x8},
        {"EMBED", 32, "EMPTY", 0x8},
        {"SERVLET", 126, "ANY", 0},
        {"SCRIPT", 75, "CDATA", 0x200000},  // allowed anywhere
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
    AttrTypeList* list = dt->createAttrTypeList(element);
    for (const AttrDecl& decl : decls) {
        AttrType* type = dt->createAttrType(decl.name);
        type->setValueType(decl.group.empty() ? decl.type : AttrType::NAME_GROUP_TYPE);
        if (!decl.group.empty())
            type->setValues(decl.group);
        list->addAttrType(type);
    }
    dt->addAttrTypeList(list);
}

inline DocumentType* makeHTMLType()
{
    DocumentType* dt = DOMImpl::createDocumentType("HTML");
    for (const Decl& decl : decls()) {
        ElementType* type = dt->createElementType(decl.name);
        type->setElementID(decl.id);
        type->setContentModel(decl.model);
        type->setElementFlags(decl.flags);
        dt->addElementType(type);
    }
    const AttrType::ValueType cdata = AttrType::CDATA_TYPE;
    declareAttrs(dt, "P", {{"id", AttrType::ID_TYPE, {}}, {"class", cdata, {}},
                           {"align", cdata, {"left", "center", "right"}}});
    declareAttrs(dt, "IMG", {{"SRC", AttrType::URI_TYPE, {}}, {"onclick", AttrType::EVENT_TYPE, {}},
                             {"align", cdata, {"left", "right"}}, {"ismap", cdata, {"ismap"}}});
    Entity* nbsp = dt->createEntity("nbsp");
    nbsp->setNodeValue("&#160;");
    nbsp->setCharValue(160);
    dt->addEntity(nbsp);
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
