// The generic repair of a tree that does not obey its document type.
#include "correction/ErrorCorrector.h"

#include <vector>

#include "correction/NodeMoves.h"
#include "correction/TagRepair.h"
#include "doctype/ContentModel.h"
#include "doctype/ElementType.h"
#include "node/NodeAccess.h"
#include "tree/Document.h"
#include "tree/DocumentAccess.h"
#include "tree/Element.h"
#include "tree/Text.h"

using pagedom::contentBefore;
using pagedom::isLayoutOnly;
using pagedom::moveInto;

namespace {

// Adaptor chains are a few levels deep; the bound guards against factories
// that would never stop.
constexpr std::size_t CHAIN_LIMIT = 16;

bool isElement(const Node* n)
{
    return n && n->getNodeType() == Node::ELEMENT_NODE;
}

bool isAdaptor(const Node* n)
{
    return isElement(n) && (n->getUpdateState() & Node::UPDATE_ADAPTED);
}

// Moves the siblings from first up to (not including) end out of their
// parent to before ref, in ref's parent, in order.
void moveRunBefore(Node* first, Node* end, Node* ref)
{
    for (Node* n = first; n && n != end;) {
        Node* next = n->getNextSibling();
        Node* moved = n->getParentNode()->removeChild(n);
        if (moved && !ref->getParentNode()->insertBefore(moved, ref))
            moved->releaseRef();
        n = next;
    }
}

// Whether an element is declared empty: its type's content is EMPTY, or it
// has no type in the HTML document.
bool isDeclaredEmpty(const Element* e)
{
    const ElementType* type = e->getElementType();
    if (type)
        return type->getContainerType() == ContentModel::EMPTY_CONTENT;
    const Document* doc = e->getOwnerDocument();
    return doc && doc->isHTMLDocument();
}

} // namespace

Element* ErrorCorrector::_createChildAdaptor(const Element*) const
{
    return nullptr;
}

Element* ErrorCorrector::_createParentAdaptor(const Element*) const
{
    return nullptr;
}

void ErrorCorrector::correctAll()
{
    if (!_root)
        return;
    // The walk keeps, for each level, the node to visit next; a node the
    // repair moves elsewhere is walked where it now is, and the level goes
    // on with what followed it.
    struct Level {
        Node* parent;
        Node* next;
    };
    std::vector<Level> stack{{_root, _root->getFirstChild()}};
    while (!stack.empty()) {
        Level& top = stack.back();
        Node* n = top.next;
        if (!n) {
            stack.pop_back();
            continue;
        }
        top.next = n->getNextSibling();
        const unsigned long state = n->getErrorState();
        if (state != Node::NONE_ERROR) {
            if (state & Node::INVALID_CONTENT_ERROR)
                promote(n);
            if (!isElement(n))
                n->formatSource();
            else if (!_repairElement(static_cast<Element*>(n)))
                continue;
        }
        Level& level = stack.back();
        // Nodes put right after n (an emptied element's content) come next.
        if (n->getParentNode() == level.parent)
            level.next = n->getNextSibling();
        if (n->getFirstChild() && n->getParentNode())
            stack.push_back(Level{n, n->getFirstChild()});
    }
}

bool ErrorCorrector::_repairElement(Element* e)
{
    // An element that only had an end tag, or an unneeded one, and holds
    // nothing goes.
    if ((e->getErrorState() & (Node::MISSING_START_TAG_ERROR | Node::UNNECESSARY_END_TAG_ERROR)) &&
        !e->hasChildNodes()) {
        if (Node* parent = e->getParentNode()) {
            if (Node* removed = parent->removeChild(e))
                removed->releaseRef();
        }
        return false;
    }
    // What an element declared empty holds goes after it.
    if (isDeclaredEmpty(e) && e->hasChildNodes()) {
        Node* children = e->removeChildNodes(nullptr, nullptr);
        if (children && e->getParentNode())
            e->getParentNode()->insertAfter(children, e);
    }
    pagedom::TagRepair::regenerateTags(e);
    pagedom::TagRepair::regenerateEndTag(e);
    return true;
}

Node* ErrorCorrector::promote(Node* node)
{
    Node* parent = node ? node->getParentNode() : nullptr;
    if (!parent)
        return nullptr;
    while (parent) {
        if (parent->canContain(node))
            return parent;
        if (Node* adaptor = adapt(node))
            return adaptor;
        Node* grand = parent->getParentNode();
        if (parent == _root || !grand)
            return nullptr;
        const bool wasFirst = parent->getFirstChild() == node;
        Node* before = node->getPreviousSibling();
        Node* after = node->getNextSibling();
        Node* moved = parent->removeChild(node);
        if (!moved)
            return nullptr;
        distribute(moved, parent);
        // Where node goes among grand's children: before parent when only
        // layout stood before it, else after parent, with what followed it
        // moved out too.
        Node* contentBefore = before;
        while (contentBefore && isLayoutOnly(contentBefore))
            contentBefore = contentBefore->getPreviousSibling();
        if (wasFirst) {
            grand->insertBefore(moved, parent);
        } else if (!contentBefore) {
            moveRunBefore(parent->getFirstChild(), after, parent);
            grand->insertBefore(moved, parent);
        } else {
            if (after) {
                bool layoutOnly = true;
                for (Node* n = after; n && layoutOnly; n = n->getNextSibling())
                    layoutOnly = isLayoutOnly(n);
                Node* rest = parent->removeChildNodes(after, nullptr);
                if (layoutOnly) {
                    grand->insertAfter(rest, parent);
                } else {
                    Node* clone = parent->cloneNode(false);
                    clone->appendChild(rest);
                    grand->insertAfter(clone, parent);
                }
            }
            grand->insertAfter(moved, parent);
        }
        parent = grand;
    }
    return nullptr;
}

Node* ErrorCorrector::adapt(Node* node)
{
    Node* parent = node ? node->getParentNode() : nullptr;
    if (!parent)
        return nullptr;
    // 1. An adaptor made earlier, right before node, or down its last
    // children.
    Node* sibling = contentBefore(node);
    Element* remembered = nullptr;
    for (Node* n = sibling; isAdaptor(n); n = n->getLastChild()) {
        Element* adaptor = static_cast<Element*>(n);
        if (adaptor->canContain(node)) {
            moveInto(adaptor, node);
            return adaptor;
        }
        remembered = adaptor;
    }
    // 2. and 3. The adaptors the nearest ancestor that is not a logical
    // element implies inside it, nested, down to one that may hold node.
    Node* holder = parent;
    while (isElement(holder) && static_cast<Element*>(holder)->isLogicalElement())
        holder = holder->getParentNode();
    std::vector<Element*> inner;  // outermost first; inner.front() owns the rest
    Element* next = nullptr;
    if (isElement(holder)) {
        next = _createChildAdaptor(static_cast<Element*>(holder));
    } else if (holder && holder->getNodeType() == Node::DOCUMENT_NODE) {
        Document* doc = static_cast<Document*>(holder);
        next = doc->createElement(pagedom::DocumentAccess::name(*doc));
    }
    while (next && inner.size() < CHAIN_LIMIT) {
        pagedom::NodeAccess::addUpdateBits(*next, Node::UPDATE_ADAPTED);
        if (!inner.empty() && !inner.back()->appendChild(next)) {
            next->releaseRef();
            break;
        }
        inner.push_back(next);
        if (next->canContain(node)) {
            if (!parent->insertBefore(inner.front(), node)) {
                inner.front()->releaseRef();
                return nullptr;
            }
            moveInto(next, node);
            return next;
        }
        next = _createChildAdaptor(next);
    }
    auto releaseInner = [&inner]() {
        if (!inner.empty())
            inner.front()->releaseRef();
        inner.clear();
    };
    // 4. The adaptors an element implies around itself, outwards, up to one
    // that fits.
    if (!isElement(node)) {
        releaseInner();
        return nullptr;
    }
    std::vector<Element*> outer;  // innermost first; outer.back() owns the rest
    for (Element* wrapper = _createParentAdaptor(static_cast<Element*>(node)); wrapper && outer.size() < CHAIN_LIMIT;
         wrapper = _createParentAdaptor(outer.back())) {
        pagedom::NodeAccess::addUpdateBits(*wrapper, Node::UPDATE_ADAPTED);
        if (!outer.empty() && !wrapper->appendChild(outer.back())) {
            wrapper->releaseRef();
            break;
        }
        outer.push_back(wrapper);
        Node* into = nullptr;
        Node* before = nullptr;
        if (remembered && remembered->canContain(wrapper)) {
            into = remembered;
        } else if (parent->canContain(wrapper)) {
            into = parent;
            before = node;
        } else if (!inner.empty() && inner.back()->canContain(wrapper)) {
            inner.back()->appendChild(wrapper);
            if (!parent->insertBefore(inner.front(), node)) {
                inner.front()->releaseRef();
                return nullptr;
            }
            inner.clear();
            moveInto(outer.front(), node);
            return outer.front();
        }
        if (!into)
            continue;
        releaseInner();
        if (!into->insertBefore(wrapper, before)) {
            wrapper->releaseRef();
            return nullptr;
        }
        moveInto(outer.front(), node);
        return outer.front();
    }
    if (!outer.empty())
        outer.back()->releaseRef();
    releaseInner();
    return nullptr;
}

Node* ErrorCorrector::distribute(Node* node, Node* parent)
{
    if (!node || !parent)
        return nullptr;
    const auto never = [](const Node*) { return false; };
    const auto always = [](const Node*) { return true; };
    return pagedom::distributeOver(node, parent, isLayoutOnly, never, always, [](Node*) {});
}
