// Merging two sibling elements of one kind into one.
#include "editing/ElementMerge.h"

#include "node/NamedNodeMap.h"
#include "tree/Attr.h"
#include "tree/Document.h"
#include "tree/DocumentAccess.h"
#include "tree/Element.h"
#include "tree/ElementAccess.h"
#include "tree/Text.h"

namespace pagedom {

namespace {

// Joins b into a when both are texts.
void joinIfTexts(Document& document, Node* a, Node* b)
{
    if (a && b && a->getNodeType() == Node::TEXT_NODE && b->getNodeType() == Node::TEXT_NODE)
        DocumentAccess::joinTexts(document, static_cast<Text*>(a), static_cast<Text*>(b),
                                  static_cast<Text*>(a)->isPlainText());
}

} // namespace

Element* ElementMerge::merge(Document& document, Element* first, Element* second)
{
    const bool firstStays = !first->isOmittedElement() && !first->isVirtualElement();
    Element* survivor = firstStays ? first : second;
    Element* other = firstStays ? second : first;
    takeAttributes(survivor, other);
    ElementAccess::reformatTags(*survivor);
    takeChildren(document, survivor, other, !firstStays);
    document.deleteNodes(other);
    return survivor;
}

void ElementMerge::takeAttributes(Element* survivor, const Element* other)
{
    const NamedNodeMap* attrs = other->getAttributes();
    const unsigned long n = attrs ? attrs->getLength() : 0;
    for (unsigned long i = 0; i < n; ++i) {
        const Attr* attr = static_cast<const Attr*>(attrs->item(i));
        if (attr && !ElementAccess::hasAttribute(*survivor, attr->getName()))
            survivor->setAttribute(attr->getName(), attr->getValue());
    }
}

void ElementMerge::takeChildren(Document& document, Element* survivor, Element* other, bool atFront)
{
    Node* children = other->removeChildNodes(nullptr, nullptr);
    if (!children)
        return;
    if (atFront) {
        Node* own = survivor->getFirstChild();
        survivor->insertBefore(children, own);
        if (own)
            joinIfTexts(document, own->getPreviousSibling(), own);
    } else {
        Node* ownLast = survivor->getLastChild();
        survivor->insertBefore(children, nullptr);
        if (ownLast)
            joinIfTexts(document, ownLast, ownLast->getNextSibling());
    }
}

} // namespace pagedom
