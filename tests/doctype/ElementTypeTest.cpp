#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "doctype/AttrType.h"
#include "doctype/AttrTypeList.h"
#include "doctype/ElementType.h"
#include "tree/CDATASection.h"
#include "tree/Comment.h"
#include "tree/Element.h"
#include "tree/ProcessingInstruction.h"
#include "tree/Text.h"

namespace {

// Holds one reference on a node for the length of a scope.
template <class T>
class Ref {
public:
    explicit Ref(T* node) : _node(node) {}
    ~Ref()
    {
        if (_node)
            _node->releaseRef();
    }
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    T* operator->() const { return _node; }
    T* get() const { return _node; }

private:
    T* _node;
};

template <class T>
T* born(T* node)
{
    node->addRef();
    return node;
}

ElementType* makeType(const std::string& name, const std::string& model = std::string(),
                      unsigned long flags = 0, int id = 0)
{
    ElementType* type = born(new ElementType(nullptr, name));
    if (id)
        type->setElementID(id);
    if (!model.empty())
        type->setContentModel(model);
    if (flags)
        type->setElementFlags(flags);
    return type;
}

// A node of any type, for the node kinds that need no behaviour of their own.
class PlainNode : public Node {
public:
    explicit PlainNode(unsigned short type) : Node(nullptr, "plain"), _type(type) {}
    std::string getNodeName() const override { return "plain"; }
    unsigned short getNodeType() const override { return _type; }
    Node* cloneNode(bool) const override { return nullptr; }

private:
    unsigned short _type;
};

} // namespace

TEST(ElementType, DefaultsAndSource)
{
    Ref<ElementType> type(makeType("DIV"));
    EXPECT_EQ(Node::ELEMENT_TYPE_NODE, type->getNodeType());
    EXPECT_EQ("DIV", type->getNodeName());
    EXPECT_EQ("DIV", type->getName());
    EXPECT_EQ(nullptr, type->getParentNode());
    EXPECT_EQ(nullptr, type->getOwnerDocumentType());
    EXPECT_EQ(0, type->getElementID());
    EXPECT_EQ(ContentModel::ANY_CONTENT, type->getContainerType());
    EXPECT_EQ(ContentModel::ELEMENT_CONTENT, type->getContentType());
    EXPECT_EQ(ElementType::OMIT_NO_TAG, type->getOmitType());
    EXPECT_EQ(ElementType::FORMAT_XML_TAG, type->getFormatType());
    EXPECT_EQ(ElementType::LAYOUT_TYPE_INLINE, type->getLayoutType());
    EXPECT_EQ(ElementType::CORRECT_NONE, type->getCorrectType());
    EXPECT_FALSE(type->isJSPType());
    EXPECT_EQ(0u, type->getGroup());
    EXPECT_EQ(nullptr, type->getAttrTypes());
    EXPECT_EQ(nullptr, type->getAttrType("align"));
    EXPECT_TRUE(type->getAllAttrNames().empty());
    EXPECT_EQ("<!ELEMENT DIV ANY>", type->getSource());

    EXPECT_EQ("<!ELEMENT", ElementType::OPEN_TAG);
    EXPECT_EQ("ELEMENT", ElementType::DECL_KEY);
    EXPECT_EQ(">", ElementType::CLOSE_TAG);
    EXPECT_EQ("<!ATTLIST", AttrTypeList::OPEN_TAG);
    EXPECT_EQ("ATTLIST", AttrTypeList::DECL_KEY);
    EXPECT_EQ(">", AttrTypeList::CLOSE_TAG);

    Ref<ElementType> br(makeType("BR", "EMPTY"));
    br->setOmitType(ElementType::OMIT_END_TAG);
    EXPECT_EQ(ContentModel::EMPTY_CONTENT, br->getContainerType());
    // Omission flags are not written.
    EXPECT_EQ("<!ELEMENT BR EMPTY>", br->getSource());

    Ref<ElementType> body(makeType("BODY", "(#FLOW)* +(INS|DEL)"));
    EXPECT_EQ("<!ELEMENT BODY (#FLOW) +(INS|DEL)>", body->getSource());
    // The writer's walk produces the same text.
    std::string written;
    body->_writeStart(written);
    EXPECT_EQ(body->getSource(), written);

    // Setting the model again replaces it.
    body->setContentModel("(#PCDATA)");
    EXPECT_EQ(ContentModel::PCDATA_CONTENT, body->getContainerType());
    EXPECT_EQ(nullptr, body->getContentModel().getInclusions());
}

TEST(ElementType, FlagWords)
{
    struct Case {
        const char* name;
        int id;
        unsigned long word;
        ElementType::LayoutType layout;
        ElementType::CorrectType correct;
        ElementType::OmitType omit;
        ContentModel::Type content;
        ElementType::FormatType format;
    };
    const Case cases[] = {
        {"A", 1, 0x28080, ElementType::LAYOUT_TYPE_INLINE, ElementType::CORRECT_CONTAINER,
         ElementType::OMIT_NO_TAG, ContentModel::INLINE_CONTENT, ElementType::FORMAT_HTML_TAG},
        {"ABBR", 2, 0x280c0, ElementType::LAYOUT_TYPE_INLINE, ElementType::CORRECT_PHRASE,
         ElementType::OMIT_NO_TAG, ContentModel::INLINE_CONTENT, ElementType::FORMAT_HTML_TAG},
        {"BODY", 14, 0x40301, ElementType::LAYOUT_TYPE_BLOCK, ElementType::CORRECT_UNIQUE,
         ElementType::OMIT_NO_TAG, ContentModel::ELEMENT_CONTENT, ElementType::FORMAT_HTML_TAG},
        {"BR", 15, 0x8004, ElementType::LAYOUT_TYPE_BREAK, ElementType::CORRECT_NONE,
         ElementType::OMIT_NO_TAG, ContentModel::INLINE_CONTENT, ElementType::FORMAT_HTML_TAG},
        {"DD", 24, 0x41481, ElementType::LAYOUT_TYPE_BLOCK, ElementType::CORRECT_CONTAINER,
         ElementType::OMIT_END_TAG_BY_FLAG, ContentModel::ELEMENT_CONTENT, ElementType::FORMAT_HTML_TAG},
        {"DIV", 28, 0x50001, ElementType::LAYOUT_TYPE_BLOCK, ElementType::CORRECT_NONE,
         ElementType::OMIT_NO_TAG, ContentModel::FLOW_CONTENT, ElementType::FORMAT_HTML_TAG},
        {"FONT", 34, 0x28880, ElementType::LAYOUT_TYPE_INLINE, ElementType::CORRECT_FONT,
         ElementType::OMIT_NO_TAG, ContentModel::INLINE_CONTENT, ElementType::FORMAT_HTML_TAG},
        {"HEAD", 44, 0x310, ElementType::LAYOUT_TYPE_HEAD, ElementType::CORRECT_UNIQUE,
         ElementType::OMIT_NO_TAG, ContentModel::ELEMENT_CONTENT, ElementType::FORMAT_HTML_TAG},
        {"EMBED", 32, 0x8408, ElementType::LAYOUT_TYPE_OBJECT, ElementType::CORRECT_NONE,
         ElementType::OMIT_END_TAG_BY_FLAG, ContentModel::INLINE_CONTENT, ElementType::FORMAT_HTML_TAG},
        {"SUBMIT", 97, 0x8008, ElementType::LAYOUT_TYPE_OBJECT, ElementType::CORRECT_NONE,
         ElementType::OMIT_NO_TAG, ContentModel::INLINE_CONTENT, ElementType::FORMAT_MIDDLEWARE_TAG},
        {"ssi:INCLUDE", 105, 0x100008, ElementType::LAYOUT_TYPE_OBJECT, ElementType::CORRECT_NONE,
         ElementType::OMIT_NO_TAG, ContentModel::ANY_CONTENT, ElementType::FORMAT_SSI_DIRECTIVE},
        {"jsp:scriptlet", 110, 0x2ca80008, ElementType::LAYOUT_TYPE_OBJECT, ElementType::CORRECT_NONE,
         ElementType::OMIT_NO_TAG, ContentModel::ANY_CONTENT, ElementType::FORMAT_JSP_BLOCK},
        {"jsp:directive.page", 113, 0x29680018, ElementType::LAYOUT_TYPE_HEAD, ElementType::CORRECT_NONE,
         ElementType::OMIT_NO_TAG, ContentModel::ANY_CONTENT, ElementType::FORMAT_JSP_DIRECTIVE},
        {"jsp:directive.taglib", 115, 0x11680018, ElementType::LAYOUT_TYPE_HEAD, ElementType::CORRECT_NONE,
         ElementType::OMIT_NO_TAG, ContentModel::ANY_CONTENT, ElementType::FORMAT_JSP_DIRECTIVE},
        {"jsp:useBean", 117, 0x20680018, ElementType::LAYOUT_TYPE_HEAD, ElementType::CORRECT_NONE,
         ElementType::OMIT_NO_TAG, ContentModel::ANY_CONTENT, ElementType::FORMAT_XML_TAG},
        {"jsp:params", 123, 0x20001030, ElementType::LAYOUT_TYPE_HEAD, ElementType::CORRECT_NONE,
         ElementType::OMIT_NO_TAG, ContentModel::ELEMENT_CONTENT, ElementType::FORMAT_XML_TAG},
        {"REPEAT", 128, 0x2080000, ElementType::LAYOUT_TYPE_INLINE, ElementType::CORRECT_NONE,
         ElementType::OMIT_NO_TAG, ContentModel::ANY_CONTENT, ElementType::FORMAT_HTML_TAG},
        {"QRTX:TEXT", 140, 0x8000, ElementType::LAYOUT_TYPE_INLINE, ElementType::CORRECT_NONE,
         ElementType::OMIT_NO_TAG, ContentModel::INLINE_CONTENT, ElementType::FORMAT_HTML_TAG},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Ref<ElementType> type(makeType(c.name, std::string(), c.word, c.id));
        EXPECT_EQ(c.layout, type->getLayoutType());
        EXPECT_EQ(c.correct, type->getCorrectType());
        EXPECT_EQ(c.omit, type->getOmitType());
        EXPECT_EQ(c.content, type->getContentType());
        EXPECT_EQ(c.format, type->getFormatType());
        EXPECT_FALSE(type->isJSPType());
        EXPECT_EQ(c.word, type->getGroup());
    }

    // SUBMIT is a middleware tag only by its id.
    Ref<ElementType> anonymous(makeType("SUBMIT", std::string(), 0x8008));
    EXPECT_EQ(ElementType::FORMAT_HTML_TAG, anonymous->getFormatType());

    // The flag word overrides a declared omission; a zero word still makes
    // the type an HTML tag.
    Ref<ElementType> li(makeType("LI"));
    li->setOmitType(ElementType::OMIT_END_TAG);
    li->setElementFlags(0x41401);
    EXPECT_EQ(ElementType::OMIT_END_TAG_BY_FLAG, li->getOmitType());
    Ref<ElementType> plain(makeType("X"));
    plain->setElementFlags(0);
    EXPECT_EQ(ElementType::FORMAT_HTML_TAG, plain->getFormatType());
    EXPECT_EQ(0u, plain->getGroup());

    Ref<ElementType> jsp(makeType("jsp:x"));
    jsp->setElementFlags(0x40000000);
    EXPECT_TRUE(jsp->isJSPType());
    EXPECT_EQ(ElementType::FORMAT_HTML_TAG, jsp->getFormatType());
    Ref<ElementType> xmlJsp(makeType("jsp:y"));
    xmlJsp->setElementFlags(0x60000000);
    EXPECT_TRUE(xmlJsp->isJSPType());
    EXPECT_EQ(ElementType::FORMAT_XML_TAG, xmlJsp->getFormatType());
}

TEST(ElementType, CloneAndAttributes)
{
    Ref<AttrTypeList> list(born(new AttrTypeList(nullptr, "TABLE")));
    AttrType* border = born(new AttrType(nullptr, "border"));
    border->setValueType(AttrType::NUMBER_TYPE);
    border->setDefaultType(AttrType::REQUIRED_DEFAULT);
    list->addAttrType(border);
    AttrType* align = born(new AttrType(nullptr, "align"));
    list->addAttrType(align);

    ElementType* original = makeType("TABLE", "(CAPTION?, (COL*|COLGROUP*), THEAD?, TFOOT?, TBODY+)",
                                     0x120a1, 83);
    original->setAttrTypes(list.get());
    Ref<ElementType> twin(makeType("table"));
    original->setCaseTwin(twin.get());
    EXPECT_EQ(twin.get(), original->getCaseTwin());
    EXPECT_EQ(list.get(), original->getAttrTypes());
    EXPECT_EQ(border, original->getAttrType("BORDER"));
    EXPECT_EQ(nullptr, original->getAttrType(""));
    EXPECT_EQ((std::vector<std::string>{"border", "align"}), original->getAllAttrNames());
    EXPECT_EQ((std::vector<std::string>{"border"}), original->getRequiredAttrNames());
    EXPECT_EQ((std::vector<std::string>{"border", "align"}), original->getNoDefaultAttrNames());

    Ref<ElementType> copy(static_cast<ElementType*>(original->cloneNode(true)));
    EXPECT_EQ(1u, copy->getRefCount());
    const std::string source = original->getSource();
    EXPECT_EQ(ContentModel::ELEMENT_CONTENT, original->getContainerType());
    original->releaseRef();

    EXPECT_EQ(source, copy->getSource());
    EXPECT_EQ("TABLE", copy->getName());
    EXPECT_EQ(83, copy->getElementID());
    EXPECT_EQ(0x120a1u, copy->getGroup());
    EXPECT_EQ(ElementType::LAYOUT_TYPE_BLOCK, copy->getLayoutType());
    EXPECT_EQ(ElementType::CORRECT_CONTAINER, copy->getCorrectType());
    EXPECT_EQ(ContentModel::FLOW_CONTENT, copy->getContentType());
    EXPECT_EQ(ElementType::FORMAT_HTML_TAG, copy->getFormatType());
    EXPECT_EQ(nullptr, copy->getAttrTypes());
    EXPECT_EQ(nullptr, copy->getCaseTwin());
    EXPECT_NE(nullptr, copy->getContentModel().find("TBODY"));
}

TEST(ElementType, AllowsChildByContainer)
{
    Ref<ElementType> tr(makeType("TR", "(TH|TD)+"));
    Ref<ElementType> td(makeType("TD", "(#FLOW)*"));
    Ref<ElementType> inl(makeType("B", "(#INLINE)*", 0x280c0));
    Ref<ElementType> block(makeType("DIV", "(#FLOW)*", 0x50001));
    Ref<ElementType> anywhere(makeType("ssi:include", "EMPTY", 0x100008));
    Ref<ElementType> lowerTr(makeType("tr"));

    Ref<ElementType> empty(makeType("BR", "EMPTY"));
    Ref<ElementType> table(makeType("TBODY", "(TR)+"));
    Ref<ElementType> list(makeType("UL", "(LI)+"));
    Ref<ElementType> inlineBox(makeType("P", "(#INLINE)*"));
    Ref<ElementType> flowBox(makeType("TD", "(#FLOW)*"));
    Ref<ElementType> mixed(makeType("OPTION", "(#PCDATA|B)*"));
    Ref<ElementType> pcdata(makeType("TITLE", "(#PCDATA)"));
    Ref<ElementType> cdata(makeType("SCRIPT", "CDATA"));
    Ref<ElementType> any(makeType("X", "ANY"));

    Ref<Element> trElem(born(new Element(nullptr, tr.get())));
    Ref<Element> tdElem(born(new Element(nullptr, td.get())));
    Ref<Element> inlElem(born(new Element(nullptr, inl.get())));
    Ref<Element> blockElem(born(new Element(nullptr, block.get())));
    Ref<Element> anyElem(born(new Element(nullptr, anywhere.get())));
    Ref<Element> lowerElem(born(new Element(nullptr, lowerTr.get())));
    Ref<Element> untyped(born(new Element(nullptr, "WHATEVER")));
    Ref<Text> space(born(new Text(nullptr, " \r\n\t")));
    Ref<Text> words(born(new Text(nullptr, "words")));
    Ref<Comment> comment(born(new Comment(nullptr, "note")));
    Ref<ProcessingInstruction> pi(born(new ProcessingInstruction(nullptr, "xml", "x")));
    Ref<CDATASection> section(born(new CDATASection(nullptr, "raw")));
    PlainNode entityRef(Node::ENTITY_REFERENCE_NODE);
    PlainNode metaData(Node::META_DATA_NODE);
    PlainNode attr(Node::ATTRIBUTE_NODE);
    PlainNode document(Node::DOCUMENT_NODE);
    PlainNode docType(Node::DOCUMENT_TYPE_NODE);

    EXPECT_FALSE(table->allowsChild(nullptr));

    // EMPTY admits nothing at all.
    for (const Node* child : std::vector<const Node*>{trElem.get(), anyElem.get(), untyped.get(),
                                                      space.get(), comment.get(), pi.get(),
                                                      section.get(), &metaData})
        EXPECT_FALSE(empty->allowsChild(child));

    // Element content: named elements, blank text, comments and the like.
    EXPECT_TRUE(table->allowsChild(trElem.get()));
    EXPECT_FALSE(table->allowsChild(tdElem.get()));
    EXPECT_FALSE(table->allowsChild(lowerElem.get()));
    EXPECT_TRUE(table->allowsChild(untyped.get()));
    EXPECT_TRUE(table->allowsChild(space.get()));
    EXPECT_FALSE(table->allowsChild(words.get()));
    EXPECT_TRUE(table->allowsChild(comment.get()));
    EXPECT_TRUE(table->allowsChild(pi.get()));
    EXPECT_TRUE(table->allowsChild(&metaData));
    EXPECT_FALSE(table->allowsChild(section.get()));
    EXPECT_FALSE(table->allowsChild(&entityRef));
    EXPECT_FALSE(table->allowsChild(&attr));
    EXPECT_FALSE(table->allowsChild(&document));
    EXPECT_FALSE(table->allowsChild(&docType));

    // Categories: inline elements in #INLINE and #FLOW, block elements in
    // #FLOW, anywhere-elements everywhere but EMPTY and CDATA.
    EXPECT_TRUE(inlineBox->allowsChild(inlElem.get()));
    EXPECT_TRUE(flowBox->allowsChild(inlElem.get()));
    EXPECT_FALSE(list->allowsChild(inlElem.get()));
    EXPECT_FALSE(inlineBox->allowsChild(blockElem.get()));
    EXPECT_TRUE(flowBox->allowsChild(blockElem.get()));
    EXPECT_FALSE(mixed->allowsChild(blockElem.get()));
    EXPECT_TRUE(mixed->allowsChild(inlElem.get()));  // named B
    for (ElementType* container : {table.get(), list.get(), inlineBox.get(), flowBox.get(), mixed.get(),
                                   pcdata.get(), any.get()})
        EXPECT_TRUE(container->allowsChild(anyElem.get())) << container->getName();
    EXPECT_FALSE(cdata->allowsChild(anyElem.get()));

    // Text.
    EXPECT_TRUE(inlineBox->allowsChild(words.get()));
    EXPECT_TRUE(mixed->allowsChild(words.get()));
    EXPECT_TRUE(pcdata->allowsChild(words.get()));
    EXPECT_TRUE(pcdata->allowsChild(section.get()));
    EXPECT_TRUE(pcdata->allowsChild(&entityRef));
    EXPECT_FALSE(pcdata->allowsChild(trElem.get()));
    EXPECT_TRUE(pcdata->allowsChild(untyped.get()));

    // CDATA admits CDATA sections only.
    EXPECT_TRUE(cdata->allowsChild(section.get()));
    EXPECT_FALSE(cdata->allowsChild(words.get()));
    EXPECT_FALSE(cdata->allowsChild(space.get()));
    EXPECT_FALSE(cdata->allowsChild(comment.get()));

    // ANY admits every node.
    for (const Node* child : std::vector<const Node*>{trElem.get(), words.get(), section.get(), &attr,
                                                      &document, &docType})
        EXPECT_TRUE(any->allowsChild(child));
}

TEST(ElementType, CaseTwinsAndExceptions)
{
    Ref<ElementType> container(makeType("X", "(ssi:include|A)*"));
    Ref<ElementType> lower(makeType("ssi:include"));
    Ref<ElementType> upper(makeType("ssi:INCLUDE"));
    Ref<ElementType> other(makeType("ssi:Include"));
    lower->setCaseTwin(upper.get());
    upper->setCaseTwin(lower.get());
    Ref<Element> upperElem(born(new Element(nullptr, upper.get())));
    Ref<Element> otherElem(born(new Element(nullptr, other.get())));
    EXPECT_TRUE(container->allowsChild(upperElem.get()));
    EXPECT_FALSE(container->allowsChild(otherElem.get()));

    Ref<ElementType> body(makeType("BODY", "(#FLOW)* +(INS|DEL) -(FORM)"));
    Ref<ElementType> ins(makeType("INS"));
    Ref<Element> insElem(born(new Element(nullptr, ins.get())));
    Ref<Element> delElem(born(new Element(nullptr, "DEL")));
    Ref<Element> lowerDel(born(new Element(nullptr, "del")));
    Ref<Element> formElem(born(new Element(nullptr, "FORM")));
    Ref<Text> text(born(new Text(nullptr, "DEL")));
    EXPECT_TRUE(body->includesChild(insElem.get()));
    EXPECT_TRUE(body->includesChild(delElem.get()));
    EXPECT_FALSE(body->includesChild(lowerDel.get()));
    EXPECT_FALSE(body->includesChild(formElem.get()));
    EXPECT_FALSE(body->includesChild(text.get()));
    EXPECT_FALSE(body->includesChild(nullptr));
    EXPECT_TRUE(body->excludesChild(formElem.get()));
    EXPECT_FALSE(body->excludesChild(insElem.get()));
    EXPECT_FALSE(body->excludesChild(nullptr));
    // The exceptions are no part of the model proper.
    EXPECT_FALSE(body->allowsChild(insElem.get()));
    EXPECT_FALSE(container->includesChild(upperElem.get()));
    EXPECT_FALSE(container->excludesChild(upperElem.get()));
}

TEST(ElementType, ContentNamesWithoutDocumentType)
{
    Ref<ElementType> table(makeType("TABLE", "(CAPTION?, (COL*|COLGROUP*), TBODY+, CAPTION)"));
    EXPECT_EQ((std::vector<std::string>{"CAPTION", "COL", "COLGROUP", "TBODY", "CAPTION"}),
              table->getContentNames());
    Ref<ElementType> flow(makeType("DIV", "(#FLOW)*"));
    EXPECT_TRUE(flow->getContentNames().empty());
    Ref<ElementType> empty(makeType("BR", "EMPTY"));
    EXPECT_TRUE(empty->getContentNames().empty());
    Ref<ElementType> any(makeType("X", "ANY"));
    EXPECT_TRUE(any->getContentNames().empty());
    Ref<ElementType> pcdata(makeType("T", "(#PCDATA)"));
    EXPECT_TRUE(pcdata->getContentNames().empty());
}
