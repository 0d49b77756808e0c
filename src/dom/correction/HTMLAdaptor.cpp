// Adapting misplaced nodes of the HTML document.
#include "correction/HTMLAdaptor.h"

#include "correction/NodeMoves.h"

#include "doctype/ElementTable.h"
#include "doctype/ElementType.h"
#include "node/NodeAccess.h"
#include "tree/Document.h"
#include "tree/Element.h"
#include "tree/Text.h"

namespace pagedom {

namespace {

using T = ElementTable;

// Implied elements nest a few levels at most (TD → TR → TBODY → TABLE);
// the bound only guards against a table that would loop.
constexpr std::size_t CHAIN_LIMIT = 8;

// Whether an element found looking back may take node: one made as an
// adaptor, or one of the kinds that take adapted content (DD, DT, LI, EMBED).
bool takesAdapted(const Element* e)
{
    return (e->getUpdateState() & Node::UPDATE_ADAPTED) || (e->getElementGroup() & ElementType::GROUP_ADOPTING);
}

} // namespace

int HTMLAdaptor::childAdaptorOf(int parent)
{
    switch (parent) {
    case T::ID_FRAMESET:
        return T::ID_NOFRAMES;
    case T::ID_HTML:
    case T::ID_NOFRAMES:
        return T::ID_BODY;
    case T::ID_TABLE:
        return T::ID_TBODY;
    case T::ID_TBODY:
        return T::ID_TR;
    default:
        return -1;
    }
}

int HTMLAdaptor::parentAdaptorOf(int child)
{
    switch (child) {
    case T::ID_AREA:
        return T::ID_MAP;
    case T::ID_BASE:
    case T::ID_LINK:
    case T::ID_META:
    case T::ID_STYLE:
    case T::ID_TITLE:
        return T::ID_HEAD;
    case T::ID_BODY:
    case T::ID_FRAMESET:
    case T::ID_HEAD:
        return T::ID_HTML;
    case T::ID_CAPTION:
    case T::ID_COL:
    case T::ID_COLGROUP:
    case T::ID_TBODY:
    case T::ID_TFOOT:
    case T::ID_THEAD:
        return T::ID_TABLE;
    case T::ID_DD:
    case T::ID_DT:
        return T::ID_DL;
    case T::ID_LEGEND:
        return T::ID_FIELDSET;
    case T::ID_LI:
        return T::ID_UL;
    case T::ID_NOEMBED:
        return T::ID_EMBED;
    case T::ID_OPTGROUP:
    case T::ID_OPTION:
        return T::ID_SELECT;
    case T::ID_PARAM:
        return T::ID_OBJECT;
    case T::ID_TD:
    case T::ID_TH:
        return T::ID_TR;
    case T::ID_TR:
        return T::ID_TBODY;
    default:
        return -1;
    }
}

Node* HTMLAdaptor::adapt(Document& document, Node* node)
{
    Node* parentNode = node ? node->getParentNode() : nullptr;
    if (!parentNode || parentNode->getNodeType() != Node::ELEMENT_NODE || !node->getOwnerDocument())
        return nullptr;
    if (Element* earlier = earlierAdaptor(node))
        return earlier;
    // A logical element (a JSP action, a server-side include) says nothing
    // of what the page implies: its nearest ancestor that is not one does.
    const Element* holder = static_cast<Element*>(parentNode);
    for (const Node* n = parentNode; n && n->getNodeType() == Node::ELEMENT_NODE; n = n->getParentNode()) {
        holder = static_cast<const Element*>(n);
        if (!holder->isLogicalElement())
            break;
    }
    std::vector<Element*> made;
    Element* result = intoChildAdaptors(document, node, holder, made);
    if (!result && node->getNodeType() == Node::ELEMENT_NODE)
        result = intoParentAdaptors(document, static_cast<Element*>(node), holder, made);
    // The outermost of what was made and not used holds the rest.
    if (!made.empty())
        made.front()->releaseRef();
    return result;
}

Element* HTMLAdaptor::earlierAdaptor(Node* node)
{
    Node* sibling = contentBefore(node);
    for (Node* n = sibling; n && n->getNodeType() == Node::ELEMENT_NODE; n = n->getLastChild()) {
        Element* e = static_cast<Element*>(n);
        if (!takesAdapted(e))
            return nullptr;
        if (e->canContain(node)) {
            moveInto(e, node);
            return e;
        }
    }
    return nullptr;
}

Element* HTMLAdaptor::intoChildAdaptors(Document& document, Node* node, const Element* holder,
                                        std::vector<Element*>& made)
{
    Node* parent = node->getParentNode();
    for (int id = childAdaptorOf(holder->getElementID()); id >= 0 && made.size() < CHAIN_LIMIT;
         id = childAdaptorOf(id)) {
        Element* adaptor = makeAdaptor(document, id);
        if (!adaptor)
            break;
        // The implied element must fit where it goes: a NOFRAMES inside a
        // BODY holds the body's content, not a BODY of its own.
        if (made.empty() && !parent->canContain(adaptor)) {
            adaptor->releaseRef();
            break;
        }
        if (!made.empty() && !made.back()->appendChild(adaptor)) {
            adaptor->releaseRef();
            break;
        }
        made.push_back(adaptor);
        if (!adaptor->canContain(node))
            continue;
        if (!parent->insertBefore(made.front(), node))
            return nullptr;
        Node* outer = made.front();
        made.clear();
        if (!holdsInPlace(adaptor, node, outer))
            return nullptr;
        moveInto(adaptor, node);
        return adaptor;
    }
    return nullptr;
}

bool HTMLAdaptor::holdsInPlace(Element* adaptor, Node* node, Node* outer)
{
    // Made apart from the page, the adaptor knew nothing of what the
    // elements around its place exclude (a FORM inside a FORM); in place it
    // does.
    if (adaptor->canContain(node))
        return true;
    if (Node* taken = outer->getParentNode()->removeChild(outer))
        taken->releaseRef();
    return false;
}

Element* HTMLAdaptor::intoParentAdaptors(Document& document, Element* node, const Element* holder,
                                         std::vector<Element*>& made)
{
    int id = parentAdaptorOf(node->getElementID());
    if (id < 0 || id == holder->getElementID())
        return nullptr;
    Node* parent = node->getParentNode();
    // wrappers.front() will hold node, wrappers.back() is the outermost.
    std::vector<Element*> wrappers;
    for (; id >= 0 && wrappers.size() < CHAIN_LIMIT; id = parentAdaptorOf(id)) {
        Element* wrapper = makeAdaptor(document, id);
        if (!wrapper)
            break;
        if (!wrappers.empty() && !wrapper->appendChild(wrappers.back())) {
            wrapper->releaseRef();
            break;
        }
        wrappers.push_back(wrapper);
        // The implied inner elements made before, outermost first, or else
        // the parent itself, may hold the wrappers.
        Element* into = nullptr;
        std::size_t used = 0;
        for (; used < made.size() && !into; ++used)
            if (made[used]->canContain(wrapper))
                into = made[used];
        // Failing those, the parent itself (a TITLE in HTML gets a HEAD
        // although HTML implies a BODY inside).
        if (!into && !parent->canContain(wrapper))
            continue;
        Node* outer = wrapper;
        if (into) {
            // Implied elements below the one that holds the wrappers are
            // not needed.
            if (used < made.size()) {
                if (Node* extra = into->removeChild(made[used]))
                    extra->releaseRef();
            }
            into->appendChild(wrapper);
            if (!parent->insertBefore(made.front(), node))
                return nullptr;
            outer = made.front();
            made.clear();
        } else if (!parent->insertBefore(wrapper, node)) {
            wrapper->releaseRef();
            return nullptr;
        }
        if (!holdsInPlace(wrappers.front(), node, outer))
            return nullptr;
        moveInto(wrappers.front(), node);
        return wrappers.front();
    }
    if (!wrappers.empty())
        wrappers.back()->releaseRef();
    return nullptr;
}

Element* HTMLAdaptor::makeAdaptor(Document& document, int id)
{
    Element* adaptor = document.createDefElement(id);
    if (adaptor)
        NodeAccess::addUpdateBits(*adaptor, Node::UPDATE_ADAPTED);
    return adaptor;
}

} // namespace pagedom
