// Moving a misplaced node of the HTML document up to an ancestor that may
// hold it.
#include "correction/HTMLPromotion.h"

#include <vector>

#include "correction/CorrectionState.h"
#include "correction/HTMLAdaptor.h"
#include "correction/NodeMoves.h"
#include "correction/TagRepair.h"
#include "doctype/ElementTable.h"
#include "doctype/ElementType.h"
#include "node/NodeAccess.h"
#include "tree/Document.h"
#include "tree/Element.h"
#include "tree/ElementAccess.h"
#include "tree/Text.h"

namespace pagedom {

namespace {

using T = ElementTable;

const Element* asElement(const Node* n)
{
    return n && n->getNodeType() == Node::ELEMENT_NODE ? static_cast<const Element*>(n) : nullptr;
}

bool hasGroup(const Node* n, unsigned long group)
{
    const Element* e = asElement(n);
    return e && (e->getElementGroup() & group);
}

bool isElementOf(const Node* n, int id)
{
    const Element* e = asElement(n);
    return e && e->getElementID() == id;
}

// Layout for the HTML distribution: comments, white space, and elements the
// document type does not declare (nothing is known of what they format).
bool isHTMLLayout(const Node* n)
{
    const Element* e = asElement(n);
    return e ? !e->getElementType() : isLayoutOnly(n);
}

// Whether n, which content just left, is empty now.  Only an element left
// with nothing but white space is asked about further: looking below
// element children would cost the depth of the page at every level of a
// climb.
bool isEmptied(Document& document, const Node* n)
{
    for (const Node* child = n->getFirstChild(); child; child = child->getNextSibling()) {
        if (child->getNodeType() != Node::TEXT_NODE || !static_cast<const Text*>(child)->isSpaceText())
            return false;
    }
    // An emptied P goes too when a TABLE now stands beside it (an editor
    // keeps such a P to type in; a repair has no use for it); so does an
    // element the page implied, whose end tag alone would read as a stray
    // one.
    const Element* element = asElement(n);
    const bool implied = element && !element->hasStartTag() && !n->hasChildNodes();
    return implied || document.isEmptyNode(n, false) || (isElementOf(n, T::ID_P) && !n->hasChildNodes());
}

// Server code: JSP in any form, server-side includes.  A repair never
// copies it, since a copy would run twice.
bool isServerCode(const Node* n)
{
    return hasGroup(n, ElementType::GROUP_JSP | ElementType::GROUP_JSP_BLOCK | ElementType::GROUP_JSP_DIRECTIVE |
                           ElementType::GROUP_SSI);
}

// What stays in a table when content leaves it.
bool belongsToTable(const Node* n)
{
    return hasGroup(n, ElementType::GROUP_TABLE_PART) || (asElement(n) && !asElement(n)->getElementType()) ||
           isLayoutOnly(n);
}

// The page must read node back where a repair put it: the element before
// it, and node itself when something follows, show their end tags if they
// were left open.
void closeAround(Node* node)
{
    TagRepair::closeBefore(node);
    if (Node* next = node->getNextSibling())
        TagRepair::closeBefore(next);
}

} // namespace

Node* HTMLPromotion::promote(Node* node)
{
    Node* holder = climb(node);
    showImpliedBody(holder, node);
    // The formatting of the elements left is pushed down once the node
    // stands where it goes: while it climbs, its subtree stays as small as
    // it came.  Outermost first, each into the content of the copies the
    // one before made (or, until one made any, into the node), so the copies
    // nest as the elements did and only the content moves each time, never
    // the growing nest of copies.
    std::vector<Node*> frontier{node};
    for (auto left = _left.rbegin(); left != _left.rend(); ++left) {
        std::vector<Node*> made;
        for (Node* over : frontier)
            distribute(over, *left, made);
        if (!made.empty())
            frontier.swap(made);
        (*left)->releaseRef();
    }
    _left.clear();
    _state.noteMoved(node);
    return holder;
}

void HTMLPromotion::showImpliedBody(Node* holder, Node* node)
{
    // Content moved to the start of a BODY the page left implied would,
    // read again, go into a HEAD when a HEAD may hold it (a SCRIPT, a STYLE,
    // an OBJECT): the BODY's start tag shows where the BODY starts.
    if (!isElementOf(holder, T::ID_BODY))
        return;
    Element* body = static_cast<Element*>(holder);
    if (body->hasStartTag())
        return;
    Node* first = body->getFirstChild();
    while (first && isLayoutOnly(first))
        first = first->getNextSibling();
    if (first != node || !headCouldHold(body, node))
        return;
    body->specifyTag();
    TagRepair::closeBefore(body);
    endBeforeHead(body);
    _state.noteChange();
}

void HTMLPromotion::endBeforeHead(Node* node)
{
    // A HEAD the page has after a BODY that shows its start tag is read
    // there only after the BODY's end.
    if (!isElementOf(node, T::ID_BODY) || !static_cast<Element*>(node)->hasStartTag())
        return;
    for (Node* after = node->getNextSibling(); after; after = after->getNextSibling()) {
        if (isElementOf(after, T::ID_HEAD)) {
            ElementAccess::writeMatchingEndTag(*static_cast<Element*>(node));
            return;
        }
    }
}

bool HTMLPromotion::headCouldHold(Node* body, Node* node)
{
    // The page's HEAD beside the BODY, before or after it; without one, a
    // HEAD as reading would imply it.
    for (Node* n = body->getPreviousSibling(); n; n = n->getPreviousSibling())
        if (isElementOf(n, T::ID_HEAD))
            return n->canContain(node);
    for (Node* n = body->getNextSibling(); n; n = n->getNextSibling())
        if (isElementOf(n, T::ID_HEAD))
            return n->canContain(node);
    Element* head = _state.document().createDefElement(T::ID_HEAD);
    if (!head)
        return false;
    const bool holds = head->canContain(node);
    head->releaseRef();
    return holds;
}

Node* HTMLPromotion::climb(Node* node)
{
    Document& document = _state.document();
    // Content the page's top may not hold is put into an implied BODY once:
    // one that climbs out of that too has no place.
    bool wrappedAtTop = false;
    // Leaving a table starts the climb again from the node's new place,
    // which lies outside one more table each time.
    for (;;) {
        Node* parent = node->getParentNode();
        if (!parent)
            return nullptr;
        const bool tableMode = inTableMode(node);
        bool leftTable = false;
        while (parent && !leftTable) {
            if (parent->canContain(node))
                return parent;
            if (!tableMode) {
                if (Node* adaptor = HTMLAdaptor::adapt(document, node)) {
                    _state.noteChange();
                    // What now stands in parent where node stood (the
                    // outermost element built around it) is read back there
                    // only when what comes before it is closed.
                    // The elements built around it show their end tags
                    // only where its content does not end open.
                    Node* outer = node;
                    while (outer->getParentNode() && outer->getParentNode() != parent) {
                        outer = outer->getParentNode();
                        TagRepair::settleCopy(outer);
                    }
                    closeAround(outer);
                    showImpliedBody(parent, outer);
                    endBeforeHead(outer);
                    return adaptor;
                }
            }
            if (hasGroup(parent, ElementType::GROUP_TABLE_STRUCTURE) &&
                !hasGroup(node, ElementType::GROUP_TABLE_STRUCTURE) && leaveTable(node, parent)) {
                leftTable = true;
                continue;
            }
            Node* grand = parent->getParentNode();
            if (!grand) {
                // At the top of the page, content goes where reading puts
                // it: into the BODY of an HTML element the page implies.
                const bool atTop = parent->getNodeType() == Node::DOCUMENT_NODE && !wrappedAtTop;
                Node* body = atTop ? impliedBodyFor(node) : nullptr;
                if (!body)
                    return nullptr;
                wrappedAtTop = true;
                parent = body;
                continue;
            }
            leave(node, parent, grand, tableMode);
            parent = grand;
        }
        if (!leftTable)
            return nullptr;
    }
}

Node* HTMLPromotion::distribute(Node* node, Node* parent, std::vector<Node*>& made)
{
    if (!node || !parent || isElementOf(parent, T::ID_P) || isServerCode(parent))
        return nullptr;
    // A copy of an element the page implied (a BODY) would be implied where
    // reading implies no such element.
    if (parent->getNodeType() == Node::ELEMENT_NODE && !static_cast<Element*>(parent)->hasStartTag())
        return nullptr;
    // Content that is itself misplaced is not entered: it moves on its own
    // and gets its formatting then (so a chain of misplaced elements is
    // walked once, not once per level).  A copy of parent ends where its
    // run of content does: what follows must not be read into it.
    const auto settled = [](const Node* n) { return !(n->getErrorState() & Node::INVALID_CONTENT_ERROR); };
    const auto never = [](const Node*) { return false; };
    return distributeOver(node, parent, isHTMLLayout, never, settled, [&made](Node* copy) {
        made.push_back(copy);
        TagRepair::settleCopy(copy);
        if (Node* next = copy->getNextSibling())
            TagRepair::closeBefore(next);
    });
}

Node* HTMLPromotion::impliedBodyFor(Node* node)
{
    Document& document = _state.document();
    Node* top = node->getParentNode();
    // What the page implied just before takes node in: the BODY ending an
    // HTML element whose end tag is left out.
    Node* before = node->getPreviousSibling();
    while (before && isLayoutOnly(before))
        before = before->getPreviousSibling();
    if (isElementOf(before, T::ID_HTML) && !static_cast<Element*>(before)->hasEndTag()) {
        Node* last = before->getLastChild();
        if (isElementOf(last, T::ID_BODY) && !static_cast<Element*>(last)->hasEndTag()) {
            Node* moved = top->removeChild(node);
            if (!moved)
                return nullptr;
            NodeAccess::insertFromOutside(*last, moved, nullptr);
            _state.noteChange();
            return last;
        }
    }
    Element* html = document.createDefElement(T::ID_HTML);
    Element* body = document.createDefElement(T::ID_BODY);
    if (!html || !body) {
        if (html)
            html->releaseRef();
        if (body)
            body->releaseRef();
        return nullptr;
    }
    html->omitTag();
    body->omitTag();
    if (!html->appendChild(body)) {
        body->releaseRef();
        html->releaseRef();
        return nullptr;
    }
    Node* moved = top->replaceChild(html, node);
    if (!moved) {
        html->releaseRef();
        return nullptr;
    }
    NodeAccess::insertFromOutside(*body, moved, nullptr);
    _state.noteChange();
    return body;
}

bool HTMLPromotion::inTableMode(const Node* node)
{
    if (!hasGroup(node, ElementType::GROUP_TABLE_PART))
        return false;
    // Only inside a table: a cell with no table above it gets one made
    // around it.
    bool through = false;
    for (const Node* a = node->getParentNode(); a; a = a->getParentNode()) {
        // A JSP action or an include may hold anything: it says nothing of
        // where a cell belongs; nor does the page's top level.
        if (a->getNodeType() != Node::ELEMENT_NODE)
            break;
        if (isServerCode(a))
            continue;
        if (isElementOf(a, T::ID_TABLE) || a->canContain(node))
            return through;
        if (!hasGroup(a, ElementType::GROUP_TABLE_STRUCTURE) && !isElementOf(a, T::ID_CAPTION))
            through = true;
    }
    return false;
}

bool HTMLPromotion::leaveTable(Node* node, Node* parent)
{
    Node* table = parent;
    while (table && !isElementOf(table, T::ID_TABLE))
        table = table->getParentNode();
    if (!table || !table->getParentNode())
        return false;
    keepTableContent(node);
    Node* moved = parent->removeChild(node);
    if (!moved)
        return false;
    if (!table->getParentNode()->insertBefore(moved, table)) {
        // Back where it was: nothing may be lost.
        parent->appendChild(moved);
        return false;
    }
    closeAround(moved);
    _state.noteChange();
    return true;
}

void HTMLPromotion::keepTableContent(Node* node)
{
    // What server code holds is its code, white space included.
    if (!asElement(node) || isServerCode(node))
        return;
    std::vector<Node*> pending{node};
    while (!pending.empty()) {
        Node* holder = pending.back();
        pending.pop_back();
        Node* place = holder;  // each kept child goes after the one before
        for (Node* child = holder->getFirstChild(); child;) {
            Node* next = child->getNextSibling();
            if (belongsToTable(child)) {
                if (Node* moved = holder->removeChild(child)) {
                    if (place->getParentNode()->insertAfter(moved, place))
                        place = moved;
                    else
                        holder->insertBefore(moved, next);
                }
            } else if (asElement(child) && !isElementOf(child, T::ID_TABLE) && !isServerCode(child)) {
                // A table inside keeps its own parts.
                pending.push_back(child);
            }
            child = next;
        }
    }
}

void HTMLPromotion::leave(Node* node, Node* parent, Node* grand, bool tableMode)
{
    // Everything inserted into grand here comes from below it, so none of
    // it can hold grand: the insertions skip the climb that would prove it
    // (a climb through a deep page at every level).
    Document& document = _state.document();
    const bool wasFirst = parent->getFirstChild() == node;
    Node* after = node->getNextSibling();
    Node* moved = parent->removeChild(node);
    if (!moved)
        return;
    _state.noteChange();
    if (!tableMode) {
        // Held: an emptied parent goes below, but its copies still format.
        parent->addRef();
        _left.push_back(parent);
    }
    if (wasFirst) {
        NodeAccess::insertFromOutside(*grand, moved, parent);
        closeAround(moved);
    } else {
        // What followed node goes on in a copy of parent after it; white
        // space and comments alone go on without one.  What followed in
        // server code stays there: it is code, and a copy of server code
        // would be new code.
        if (after && !isServerCode(parent)) {
            bool layoutOnly = true;
            for (Node* n = after; n && layoutOnly; n = n->getNextSibling())
                layoutOnly = isLayoutOnly(n);
            Node* rest = parent->removeChildNodes(after, nullptr);
            if (layoutOnly) {
                NodeAccess::insertFromOutside(*grand, rest, parent->getNextSibling());
            } else {
                // The rest was put in the copy before the copy stands in
                // the tree: what it may hold there is checked again later.
                Node* copy = parent->cloneNode(false);
                copy->appendChild(rest);
                if (isEmptied(document, copy)) {
                    _state.deleteNode(copy);
                } else {
                    NodeAccess::insertFromOutside(*grand, copy, parent->getNextSibling());
                    TagRepair::settleCopy(copy);
                    _state.noteMoved(copy);
                }
            }
        }
        // Parent now ends before node: its end must show there.
        NodeAccess::insertFromOutside(*grand, moved, parent->getNextSibling());
        closeAround(moved);
    }
    if (isEmptied(document, parent))
        _state.deleteNode(parent);
}

} // namespace pagedom
