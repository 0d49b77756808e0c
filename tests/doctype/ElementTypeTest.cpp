#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "doctype/AttrType.h"
#include "doctype/AttrTypeList.h"
#include "doctype/DocumentType.h"
#include "doctype/ElementType.h"
#include "frame/DOMImpl.h"
#include "tree/CDATASection.h"
#include "tree/Comment.h"
#include "tree/Element.h"
#include "tree/ProcessingInstruction.h"
#include "tree/Text.h"
#include "doctype/DeclarationBuilder.h"

using pagedom::DeclarationBuilder;

namespace {

using Names = std::vector<std::string>;

// A node of any type, for the node kinds that need no behaviour of their own.
class PlainNode : public Node {
public:
    explicit PlainNode(unsigned short type) : Node(nullptr), _type(type) {}
    std::string getNodeName() const override { return "plain"; }
    unsigned short getNodeType() const override { return _type; }
    Node* cloneNode(bool) const override { return nullptr; }

private:
    unsigned short _type;
};

// Takes one reference on every node it makes and releases them, newest
// first, when the test ends.
class ElementTypeTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        while (!_held.empty()) {
            _held.back()->releaseRef();
            _held.pop_back();
        }
    }

    template <class T>
    T* keep(T* node)
    {
        node->addRef();
        _held.push_back(node);
        return node;
    }

    ElementType* type(const std::string& name, const std::string& model = std::string(),
                      unsigned long flags = 0, int id = 0)
    {
        ElementType* t = keep(new ElementType(nullptr, name));
        DeclarationBuilder::setElementID(*t, id);
        if (!model.empty())
            DeclarationBuilder::setContentModel(*t, model);
        if (flags)
            DeclarationBuilder::setElementFlags(*t, flags);
        return t;
    }

    Element* element(const ElementType* t) { return keep(new Element(nullptr, t)); }
    Element* element(const std::string& name) { return keep(new Element(nullptr, name)); }
    Text* text(const std::string& data) { return keep(new Text(nullptr, data)); }

private:
    std::vector<Node*> _held;
};

} // namespace

TEST_F(ElementTypeTest, DefaultsAndSource)
{
    ElementType* div = type("DIV");
    EXPECT_EQ(ContentModel::ANY_CONTENT, div->getContainerType());
    EXPECT_EQ(ContentModel::ELEMENT_CONTENT, div->getContentType());
    EXPECT_EQ(ElementType::OMIT_NO_TAG, div->getOmitType());
    EXPECT_EQ(ElementType::FORMAT_XML_TAG, div->getFormatType());
    EXPECT_EQ(ElementType::LAYOUT_TYPE_INLINE, div->getLayoutType());
    EXPECT_EQ(ElementType::CORRECT_NONE, div->getCorrectType());
    EXPECT_FALSE(div->isJSPType());
    EXPECT_EQ("<!ELEMENT DIV ANY>", div->getSource());

    // Omission flags are not written.
    ElementType* br = type("BR", "EMPTY");
    DeclarationBuilder::setOmitType(*br, ElementType::OMIT_END_TAG);
    EXPECT_EQ("<!ELEMENT BR EMPTY>", br->getSource());

    ElementType* body = type("BODY", "(#FLOW)* +(INS|DEL)");
    EXPECT_EQ("<!ELEMENT BODY (#FLOW) +(INS|DEL)>", body->getSource());
    // The tree writer's walk writes the declaration the same way.
    EXPECT_EQ(body->getSource(), body->getDesignSource(false));
    DeclarationBuilder::setContentModel(*body, "(#PCDATA)");
    EXPECT_EQ(ContentModel::PCDATA_CONTENT, body->getContainerType());
    EXPECT_EQ(nullptr, body->getContentModel().getInclusions());
}

TEST_F(ElementTypeTest, FlagWords)
{
    using E = ElementType;
    using M = ContentModel;
    struct Case {
        const char* name;
        int id;
        unsigned long word;
        E::LayoutType layout;
        E::CorrectType correct;
        E::OmitType omit;
        M::Type content;
        E::FormatType format;
    };
    const Case cases[] = {
        {"A", 1, 0x28080, E::LAYOUT_TYPE_INLINE, E::CORRECT_CONTAINER, E::OMIT_NO_TAG, M::INLINE_CONTENT, E::FORMAT_HTML_TAG},
        {"ABBR", 2, 0x280c0, E::LAYOUT_TYPE_INLINE, E::CORRECT_PHRASE, E::OMIT_NO_TAG, M::INLINE_CONTENT, E::FORMAT_HTML_TAG},
        {"BODY", 14, 0x40301, E::LAYOUT_TYPE_BLOCK, E::CORRECT_UNIQUE, E::OMIT_NO_TAG, M::ELEMENT_CONTENT, E::FORMAT_HTML_TAG},
        {"BR", 15, 0x8004, E::LAYOUT_TYPE_BREAK, E::CORRECT_NONE, E::OMIT_NO_TAG, M::INLINE_CONTENT, E::FORMAT_HTML_TAG},
        {"DD", 24, 0x41481, E::LAYOUT_TYPE_BLOCK, E::CORRECT_CONTAINER, E::OMIT_END_TAG_BY_FLAG, M::ELEMENT_CONTENT, E::FORMAT_HTML_TAG},
        {"DIV", 28, 0x50001, E::LAYOUT_TYPE_BLOCK, E::CORRECT_NONE, E::OMIT_NO_TAG, M::FLOW_CONTENT, E::FORMAT_HTML_TAG},
        {"FONT", 34, 0x28880, E::LAYOUT_TYPE_INLINE, E::CORRECT_FONT, E::OMIT_NO_TAG, M::INLINE_CONTENT, E::FORMAT_HTML_TAG},
        {"HEAD", 44, 0x310, E::LAYOUT_TYPE_HEAD, E::CORRECT_UNIQUE, E::OMIT_NO_TAG, M::ELEMENT_CONTENT, E::FORMAT_HTML_TAG},
        {"SUBMIT", 97, 0x8008, E::LAYOUT_TYPE_OBJECT, E::CORRECT_NONE, E::OMIT_NO_TAG, M::INLINE_CONTENT, E::FORMAT_MIDDLEWARE_TAG},
        {"SUBMIT", 0, 0x8008, E::LAYOUT_TYPE_OBJECT, E::CORRECT_NONE, E::OMIT_NO_TAG, M::INLINE_CONTENT, E::FORMAT_HTML_TAG},
        {"ssi:INCLUDE", 105, 0x100008, E::LAYOUT_TYPE_OBJECT, E::CORRECT_NONE, E::OMIT_NO_TAG, M::ANY_CONTENT, E::FORMAT_SSI_DIRECTIVE},
        {"jsp:scriptlet", 110, 0x2ca80008, E::LAYOUT_TYPE_OBJECT, E::CORRECT_NONE, E::OMIT_NO_TAG, M::ANY_CONTENT, E::FORMAT_JSP_BLOCK},
        {"jsp:directive.page", 113, 0x29680018, E::LAYOUT_TYPE_HEAD, E::CORRECT_NONE, E::OMIT_NO_TAG, M::ANY_CONTENT, E::FORMAT_JSP_DIRECTIVE},
        {"jsp:useBean", 117, 0x20680018, E::LAYOUT_TYPE_HEAD, E::CORRECT_NONE, E::OMIT_NO_TAG, M::ANY_CONTENT, E::FORMAT_XML_TAG},
        {"REPEAT", 128, 0x2080000, E::LAYOUT_TYPE_INLINE, E::CORRECT_NONE, E::OMIT_NO_TAG, M::ANY_CONTENT, E::FORMAT_HTML_TAG},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ElementType* t = type(c.name, std::string(), c.word, c.id);
        EXPECT_EQ(c.layout, t->getLayoutType());
        EXPECT_EQ(c.correct, t->getCorrectType());
        EXPECT_EQ(c.omit, t->getOmitType());
        EXPECT_EQ(c.content, t->getContentType());
        EXPECT_EQ(c.format, t->getFormatType());
        EXPECT_FALSE(t->isJSPType());
    }

    // The word overrides a declared omission; a zero word still makes an
    // HTML tag.
    ElementType* li = type("LI");
    DeclarationBuilder::setOmitType(*li, ElementType::OMIT_END_TAG);
    DeclarationBuilder::setElementFlags(*li, 0x41401);
    EXPECT_EQ(ElementType::OMIT_END_TAG_BY_FLAG, li->getOmitType());
    ElementType* plain = type("X");
    DeclarationBuilder::setElementFlags(*plain, 0);
    EXPECT_EQ(ElementType::FORMAT_HTML_TAG, plain->getFormatType());

    ElementType* jsp = type("jsp:x", std::string(), 0x40000000);
    EXPECT_TRUE(jsp->isJSPType());
    EXPECT_EQ(ElementType::FORMAT_HTML_TAG, jsp->getFormatType());
    ElementType* xmlJsp = type("jsp:y", std::string(), 0x60000000);
    EXPECT_TRUE(xmlJsp->isJSPType());
    EXPECT_EQ(ElementType::FORMAT_XML_TAG, xmlJsp->getFormatType());
}

TEST_F(ElementTypeTest, CloneAndAttributes)
{
    AttrTypeList* list = keep(new AttrTypeList(nullptr, "TABLE"));
    AttrType* border = new AttrType(nullptr, "border");
    border->addRef();
    DeclarationBuilder::setDefaultType(*border, AttrType::REQUIRED_DEFAULT);
    DeclarationBuilder::addAttrType(*list, border);
    AttrType* align = new AttrType(nullptr, "align");
    align->addRef();
    DeclarationBuilder::addAttrType(*list, align);

    ElementType* original = new ElementType(nullptr, "TABLE");
    original->addRef();
    DeclarationBuilder::setElementID(*original, 83);
    DeclarationBuilder::setContentModel(*original, "(CAPTION?, (COL*|COLGROUP*), THEAD?, TFOOT?, TBODY+)");
    DeclarationBuilder::setElementFlags(*original, 0x120a1);
    DeclarationBuilder::setAttrTypes(*original, list);
    DeclarationBuilder::setCaseTwin(*original, type("table"));
    EXPECT_EQ(border, original->getAttrType("BORDER"));
    EXPECT_EQ(nullptr, original->getAttrType(""));
    EXPECT_EQ((Names{"border", "align"}), original->getAllAttrNames());
    EXPECT_EQ((Names{"border"}), original->getRequiredAttrNames());
    EXPECT_EQ((Names{"border", "align"}), original->getNoDefaultAttrNames());

    ElementType* copy = keep(static_cast<ElementType*>(original->cloneNode(true)));
    copy->releaseRef();  // keep() added a second reference
    EXPECT_EQ(1u, copy->getRefCount());
    const std::string source = original->getSource();
    original->releaseRef();

    EXPECT_EQ(source, copy->getSource());
    EXPECT_EQ("TABLE", copy->getName());
    EXPECT_EQ(83, copy->getElementID());
    EXPECT_EQ(0x120a1u, copy->getGroup());
    EXPECT_EQ(nullptr, copy->getAttrTypes());
    EXPECT_EQ(nullptr, copy->getCaseTwin());
}

TEST_F(ElementTypeTest, AllowsChildByContainer)
{
    Element* trElem = element(type("TR", "(TH|TD)+"));
    Element* tdElem = element(type("TD", "(#FLOW)*"));
    Element* inlElem = element(type("B", "(#INLINE)*", 0x280c0));
    Element* blockElem = element(type("DIV", "(#FLOW)*", 0x50001));
    Element* anyElem = element(type("ssi:include", "EMPTY", 0x100008));
    Element* lowerElem = element(type("tr"));
    Element* untyped = element("WHATEVER");
    Text* space = text(" \r\n\t");
    Text* words = text("words");
    Comment* comment = keep(new Comment(nullptr, "note"));
    ProcessingInstruction* pi = keep(new ProcessingInstruction(nullptr, "xml", "x"));
    CDATASection* section = keep(new CDATASection(nullptr, "raw"));
    PlainNode entityRef(Node::ENTITY_REFERENCE_NODE);
    PlainNode metaData(Node::META_DATA_NODE);
    PlainNode attr(Node::ATTRIBUTE_NODE);
    PlainNode document(Node::DOCUMENT_NODE);

    const Node* children[] = {trElem, tdElem, lowerElem, untyped, space, words, comment, pi,
                              &metaData, section, &entityRef, &attr, &document, inlElem, blockElem, anyElem};
    // Per container, whether it allows each child above ('.': not checked).
    // Element content takes named elements, blank text, comments and the
    // like; inline elements go in #INLINE and #FLOW, block elements in #FLOW,
    // anywhere-elements everywhere but in EMPTY and CDATA; CDATA admits CDATA
    // sections only, ANY every node.
    const std::pair<ElementType*, const char*> cases[] = {
        {type("BR", "EMPTY"), "...00.0.00.....0"},
        {type("TBODY", "(TR)+"), "1001101110000..1"},
        {type("UL", "(LI)+"), ".............0.1"},
        {type("P", "(#INLINE)*"), ".....1.......101"},
        {type("TD", "(#FLOW)*"), ".............111"},
        {type("OPTION", "(#PCDATA|B)*"), ".....1.......101"}, // B by name
        {type("TITLE", "(#PCDATA)"), "0....1...11....1"},
        {type("SCRIPT", "CDATA"), "....0.0..1.....0"},
        {type("X", "ANY"), "...........11..1"},
    };
    for (const auto& c : cases) {
        std::string marks;
        for (std::size_t i = 0; i < sizeof children / sizeof children[0]; ++i)
            marks += c.second[i] == '.' ? '.' : c.first->allowsChild(children[i]) ? '1' : '0';
        EXPECT_EQ(c.second, marks) << c.first->getName();
    }
    EXPECT_FALSE(cases[1].first->allowsChild(nullptr));
}

TEST_F(ElementTypeTest, CaseTwinsAndExceptions)
{
    ElementType* container = type("X", "(ssi:include|A)*");
    ElementType* lower = type("ssi:include");
    ElementType* upper = type("ssi:INCLUDE");
    DeclarationBuilder::setCaseTwin(*lower, upper);
    DeclarationBuilder::setCaseTwin(*upper, lower);
    EXPECT_TRUE(container->allowsChild(element(upper)));
    EXPECT_FALSE(container->allowsChild(element(type("ssi:Include"))));

    ElementType* body = type("BODY", "(#FLOW)* +(INS|DEL) -(FORM)");
    Element* ins = element(type("INS"));
    Element* form = element("FORM");
    EXPECT_TRUE(body->includesChild(ins));
    EXPECT_TRUE(body->includesChild(element("DEL")));
    EXPECT_FALSE(body->includesChild(element("del")));
    EXPECT_FALSE(body->includesChild(form));
    EXPECT_FALSE(body->includesChild(text("DEL")));
    EXPECT_FALSE(body->includesChild(nullptr));
    EXPECT_TRUE(body->excludesChild(form));
    EXPECT_FALSE(body->excludesChild(ins));
    // The exceptions are no part of the model proper.
    EXPECT_FALSE(body->allowsChild(ins));
    EXPECT_FALSE(container->includesChild(ins));
}

TEST_F(ElementTypeTest, ContentNames)
{
    // Without a document type: the model's names only.
    EXPECT_EQ((Names{"CAPTION", "COL", "TBODY", "CAPTION"}),
              type("T", "(CAPTION?, (COL*|TBODY+), CAPTION)")->getContentNames());
    EXPECT_TRUE(type("D", "(#FLOW)*")->getContentNames().empty());

    DocumentType* doctype = keep(new DocumentType(nullptr, "html"));
    auto add = [doctype](const char* name, const char* model, unsigned long flags) {
        ElementType* t = DeclarationBuilder::createElementType(*doctype, name);
        DeclarationBuilder::setContentModel(*t, model);
        DeclarationBuilder::setElementFlags(*t, flags);
        DeclarationBuilder::addElementType(*doctype, t);
        return t;
    };
    ElementType* ul = add("UL", "(LI)+", 0x100a1);                   // block
    add("LI", "(#FLOW)*", 0x41401);                                  // no category
    add("B", "(#INLINE)*", 0x280c0);                                 // inline
    ElementType* div = add("DIV", "(#FLOW)*", 0x50001);              // block
    add("ssi:echo", "EMPTY", 0x100008);                              // anywhere
    add("jsp:scriptlet", "CDATA", 0x2ca80008);                       // anywhere, JSP block
    add("jsp:directive.page", "EMPTY", 0x29680018);                  // anywhere, JSP directive
    ElementType* option = add("OPTION", "(#PCDATA|B)*", 0);
    ElementType* label = add("LABEL", "(#INLINE|B)*", 0x28000);      // inline
    ElementType* br = add("BR", "EMPTY", 0x8004);                    // inline

    EXPECT_EQ(doctype, ul->getOwnerDocumentType());
    EXPECT_EQ(nullptr, ul->getParentNode());
    EXPECT_EQ((Names{"LI", "ssi:echo"}), ul->getContentNames());
    EXPECT_EQ((Names{"B", "ssi:echo"}), option->getContentNames());
    // Model names first, duplicates kept.
    EXPECT_EQ((Names{"B", "B", "ssi:echo", "LABEL", "BR"}), label->getContentNames());
    EXPECT_EQ((Names{"UL", "B", "DIV", "ssi:echo", "LABEL", "BR"}), div->getContentNames());
    EXPECT_TRUE(br->getContentNames().empty());

    // Under JSP 1.0 the JSP blocks and directives are offered too.
    DeclarationBuilder::setJSPVersion(*doctype, DOMImpl::JSP_10);
    EXPECT_EQ((Names{"LI", "ssi:echo", "jsp:scriptlet", "jsp:directive.page"}), ul->getContentNames());
    DeclarationBuilder::setJSPVersion(*doctype, DOMImpl::JSP_091);
    EXPECT_EQ((Names{"LI", "ssi:echo"}), ul->getContentNames());
}
