// The document object: node factory, containment, queries and copies.

#include "node/NodeAccess.h"
#include "tree/NodeTestUtil.h"
#include "tree/SmallHTMLType.h"
#include "doctype/DeclarationBuilder.h"

using pagedom::DeclarationBuilder;

using namespace testutil;

namespace {

NodePtr makeHTMLType()
{
    return NodePtr(smallhtml::makeHTMLType());
}

DocPtr htmlDocument(const NodePtr& type, const char* name = "HTML")
{
    return DocPtr(DOMImpl::createDocument(name, static_cast<DocumentType*>(type.get())));
}

std::string childTypes(const Node* parent)
{
    std::string out;
    for (const Node* c = parent->getFirstChild(); c; c = c->getNextSibling())
        out += std::to_string(c->getNodeType()) + " ";
    return out;
}

} // namespace

TEST(DocumentFactory, EveryOperationHandsOutAnOwnedNode)
{
    NodePtr type = makeHTMLType();
    DocPtr doc = htmlDocument(type);
    DocPtr plain = plainDocument();
    EXPECT_TRUE(doc->getRefCount() == 1u && !doc->getOwnerDocument());
    EXPECT_EQ(type->getRefCount(), 2u); // the document holds one
    const ElementType* bodyType = doc->getDocumentType()->getElementType("BODY");
    const std::pair<Node*, const char*> made[] = {
        {doc->createElement("P"), "1 P"},
        {doc->createTypedElement(bodyType), "1 BODY"},
        {doc->createDefElement(ElementTable::ID_HTML), "1 HTML"},
        {doc->createTextNode("t"), "3 #text"},
        {doc->createComment("c"), "8 #comment"},
        {doc->createCDATASection("d"), "4 #cdata-section"},
        {doc->createProcessingInstruction("php", "x"), "7 php"},
        {doc->createAttribute("id"), "2 id"},
        {doc->createEntityReference("amp"), "5 amp"},
        {doc->createDocumentFragment(), "11 #document-fragment"},
        {doc->createDocType("HTML"), "10 HTML"},
    };
    for (const auto& m : made) {
        ASSERT_NE(m.first, nullptr) << m.second;
        EXPECT_EQ(std::to_string(m.first->getNodeType()) + " " + m.first->getNodeName(), m.second);
        EXPECT_TRUE(m.first->getRefCount() == 1u && m.first->getOwnerDocument() == doc.get() &&
                    !m.first->getParentNode()) << m.second;
    }
    EXPECT_EQ(static_cast<Element*>(made[1].first)->getElementType(), bodyType);
    EXPECT_EQ(doc->getChildLength(), 0u); // nothing was inserted
    for (const auto& m : made)
        EXPECT_EQ(m.first->releaseRef(), 0u);
    EXPECT_EQ(doc->createTypedElement(nullptr), nullptr);
    EXPECT_EQ(doc->createDefElement(0), nullptr);
    EXPECT_EQ(doc->createDefElement(999), nullptr);
    EXPECT_EQ(plain->createDefElement(ElementTable::ID_HTML), nullptr); // no document type
}

TEST(DocumentContent, CanContainAndTheQueries)
{
    NodePtr type = makeHTMLType();
    DocPtr doc = htmlDocument(type);
    DocPtr other = plainDocument();
    // Accepted: the root element, white space, a comment, an element allowed
    // anywhere or of no type, a processing instruction, a DOCTYPE.
    appendAll(doc.get(), doc.get(), "HTML ' \r\n' !c SCRIPT UNKNOWN");
    doc->appendChild(doc->createProcessingInstruction("x", ""));
    doc->appendChild(doc->createDocType("HTML"));
    // Refused: text, other elements, CDATA, entity references.
    appendAll(doc.get(), doc.get(), "'words' BODY");
    doc->appendChild(doc->createCDATASection("c"));
    doc->appendChild(doc->createEntityReference("amp"));
    std::string marks;
    for (Node* n = doc->getFirstChild(); n; n = n->getNextSibling())
        marks += doc->canContain(n) ? "1" : "0";
    EXPECT_EQ(marks, "11111110000");
    NodePtr attr(doc->createAttribute("id"));
    NodePtr frag(doc->createDocumentFragment());
    EXPECT_FALSE(doc->canContain(attr.get()) || doc->canContain(frag.get()) ||
                 doc->canContain(other.get()) || doc->canContain(nullptr));
    EXPECT_TRUE(other->canContain(find(doc.get(), "BODY"))); // no document type: any element

    // getDocType is the first DOCTYPE node in the tree, not the document type.
    EXPECT_EQ(other->getDocType(), nullptr);
    doc->appendChild(doc->createDocType("SECOND"));
    EXPECT_EQ(doc->getDocType(), doc->getChildNode(6));

    // The last element named like the document, ignoring case only.
    EXPECT_EQ(other->getDocumentElement(), nullptr);
    appendAll(other.get(), other.get(), "page PAGE pages pag !page");
    EXPECT_EQ(other->getDocumentElement(), other->getChildNode(1));
    other->removeChild(other->getChildNode(1))->releaseRef();
    EXPECT_EQ(other->getDocumentElement(), other->getFirstChild());

    EXPECT_FALSE(other->isWellFormed());
    other->wellFormed(true);
    EXPECT_EQ(other->getFormatType(), Document::XML_FORMAT);
    other->FormatType(Document::XML_STYLE_FORMAT);
    EXPECT_TRUE(other->isWellFormed());
    other->wellFormed(false);
    EXPECT_EQ(other->getFormatType(), Document::HTML_FORMAT);
}

TEST(DocumentContent, XMLDeclarationGoesFirst)
{
    for (auto c : {std::make_pair("page", "7 3 1 "), std::make_pair("'\n'", "7 3 "),
                   std::make_pair("", "7 ")}) {
        DocPtr doc = plainDocument();
        appendAll(doc.get(), doc.get(), c.first);
        ProcessingInstruction* decl = doc->getXMLDecl();
        ASSERT_NE(decl, nullptr);
        EXPECT_EQ(decl->getTarget() + "|" + decl->getData(), "xml|");
        EXPECT_EQ(doc->getFirstChild(), decl);
        EXPECT_EQ(decl->getRefCount(), 1u); // held by the document only
        EXPECT_EQ(doc->getXMLDecl(), decl);
        EXPECT_EQ(childTypes(doc.get()), c.second) << c.first;
        if (*c.first == 'p') { // an element first: a line break between
            EXPECT_EQ(shape(decl->getNextSibling()), "'\r\n'");
        }
    }
}

TEST(DocumentContent, DeepCopyIsIndependent)
{
    NodePtr type = makeHTMLType();
    DocPtr doc = htmlDocument(type);
    doc->FormatType(Document::XML_STYLE_FORMAT);
    doc->appendChild(doc->createDocType("HTML"));
    doc->appendChild(build(doc.get(), "HTML(P('hello') !note)"));
    Element* html = doc->getDocumentElement();
    Node* p = html->getFirstChild();
    html->setAttribute("lang", "en");
    p->setLayoutState(Node::LAYOUT_VIEWABLE);
    pagedom::NodeAccess::addErrorState(*p, Node::MISSING_END_TAG_ERROR);
    p->setUpdateState(Node::UPDATE_CONTENT_MODIFIED);

    Document* copy = static_cast<Document*>(doc->cloneNode(true));
    EXPECT_TRUE(copy->getRefCount() == 1u && copy->isHTMLDocument());
    EXPECT_EQ(copy->getDocumentType(), doc->getDocumentType());
    EXPECT_EQ(type->getRefCount(), 3u);
    EXPECT_EQ(copy->getFormatType(), Document::XML_STYLE_FORMAT);
    EXPECT_EQ(shape(copy), shape(doc.get()));
    EXPECT_EQ(copy->getSource(), doc->getSource());
    for (const Node *a = doc.get(), *b = copy; a || b; a = a->getNextNode(doc.get()), b = b->getNextNode(copy)) {
        ASSERT_TRUE(a && b);
        EXPECT_TRUE(a != b && b->isOffspringOf(copy) && a->getNodeValue() == b->getNodeValue());
    }
    Element* htmlCopy = copy->getDocumentElement();
    Node* pCopy = htmlCopy->getFirstChild();
    EXPECT_NE(htmlCopy->getAttributeNode("lang"), html->getAttributeNode("lang"));
    EXPECT_EQ(pCopy->getLayoutState(), Node::LAYOUT_NONE);
    EXPECT_TRUE(pCopy->getErrorState() & Node::MISSING_END_TAG_ERROR);
    EXPECT_EQ(pCopy->getUpdateState() & (Node::UPDATE_CREATED | Node::UPDATE_CONTENT_MODIFIED),
              Node::UPDATE_CREATED);

    // The copy owns its nodes, is edited apart and outlives the original.
    html->setAttribute("lang", "de");
    doc.reset();
    EXPECT_EQ(pCopy->getOwnerDocument(), copy);
    EXPECT_EQ(htmlCopy->getAttributeNode("lang")->getOwnerDocument(), copy);
    EXPECT_EQ(htmlCopy->getAttribute("lang"), "en");
    pCopy->appendChild(copy->createTextNode(" world"));
    htmlCopy->setAttribute("lang", "fr");
    copy->normalize();
    EXPECT_EQ(shape(pCopy), "P('hello world')");
    copy->releaseRef();
    EXPECT_EQ(type->getRefCount(), 1u);
}

TEST(DocumentLifetime, DocumentMayHoldTheOnlyReferenceToItsType)
{
    DocumentType* type = DOMImpl::createDocumentType("mini");
    ElementType* root = DeclarationBuilder::createElementType(*type, "mini");
    DeclarationBuilder::setElementID(*root, 1);
    DeclarationBuilder::addElementType(*type, root);
    Document* doc = DOMImpl::createDocument("mini", type);
    type->releaseRef();
    Element* top = doc->createDefElement(1);
    ASSERT_NE(top, nullptr);
    doc->appendChild(top);
    top->appendChild(doc->createElement("mini"));
    top->setAttribute("a", "b");
    EXPECT_FALSE(top->isInvalidContent());
    DOM::getDOM()->deleteDocument(doc); // tree and type go without a stale read
}
