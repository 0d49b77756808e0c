// The document fragment: containment, copies and reading source into it.
#include "tree/DocumentFragment.h"

#include "node/ChangeHooks.h"
#include "tree/Attr.h"
#include "tree/Document.h"
#include "tree/Element.h"
#include "tree/PageReader.h"

const std::string DocumentFragment::NODE_NAME = "#document-fragment";

DocumentFragment::DocumentFragment(Document* ownerDocument, const std::string& name)
    : ContainerNode(ownerDocument, name)
{
}

DocumentFragment::DocumentFragment(const DocumentFragment& other) : ContainerNode(other) {}

std::string DocumentFragment::getNodeName() const
{
    return NODE_NAME;
}

unsigned short DocumentFragment::getNodeType() const
{
    return DOCUMENT_FRAGMENT_NODE;
}

Node* DocumentFragment::getParentNode() const
{
    return nullptr;
}

void DocumentFragment::_setParentNode(Node*) {}

bool DocumentFragment::canContain(const Node* child) const
{
    if (!child)
        return false;
    switch (child->getNodeType()) {
    case ELEMENT_NODE:
    case TEXT_NODE:
    case CDATA_SECTION_NODE:
    case ENTITY_REFERENCE_NODE:
    case PROCESSING_INSTRUCTION_NODE:
    case COMMENT_NODE:
    case DOCUMENT_TYPE_NODE:
        return true;
    default:
        return false;
    }
}

Node* DocumentFragment::cloneNode(bool deep) const
{
    DocumentFragment* copy = new DocumentFragment(*this);
    copy->addRef();
    if (deep)
        _cloneChildrenInto(copy);
    return copy;
}

dom::NodeList DocumentFragment::getURIAttrNodes() const
{
    dom::OwnerNodeList result;
    for (Node* n = getFirstChild(); n; n = n->getNextNode(this)) {
        if (n->getNodeType() != ELEMENT_NODE)
            continue;
        dom::NodeList attrs = static_cast<Element*>(n)->getURIAttrNodes();
        for (unsigned long i = 0; i < attrs.length(); ++i)
            result.append(attrs.item(i));
    }
    return result;
}

void DocumentFragment::parse(const std::string& source)
{
    Document* document = getDocument();
    if (getNodeType() == DOCUMENT_NODE && document->isHTMLDocument()) {
        document->createNodes(source.data(), static_cast<unsigned long>(source.size()), nullptr);
        return;
    }
    pagedom::PageReader* reader = pagedom::PageReader::installed(pagedom::PageReader::XML_PAGE);
    if (!reader || !document)
        return;
    // Recorded as the subtree replaced by what it holds after the reading.
    pagedom::ChangeHooks::SubtreeChange change(this);
    reader->readFragment(source, this);
}

bool DocumentFragment::parse(const std::string& source, const dom::Range& range)
{
    Document* document = getDocument();
    pagedom::PageReader* reader = pagedom::PageReader::installed(pagedom::PageReader::XML_PAGE);
    if (!reader || !document || document->isHTMLDocument())
        return false;
    return reader->rereadRange(this, source, range);
}
