// The tidying walk of adjustNodes.
#include "editing/TreeAdjuster.h"

#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "doctype/ContentModel.h"
#include "doctype/ElementType.h"
#include "editing/ElementMerge.h"
#include "node/ChangeHooks.h"
#include "tree/Document.h"
#include "tree/DocumentAccess.h"
#include "tree/Element.h"
#include "tree/ElementAccess.h"
#include "tree/Text.h"
#include "tree/TextAccess.h"
#include "writing/SourceFormatter.h"

namespace pagedom {

namespace {

using Level = SourceFormatter::Level;

constexpr unsigned long CHANGED_BITS = Node::UPDATE_CONTENT_MODIFIED | Node::UPDATE_CREATED | Node::UPDATE_ADDED;
constexpr unsigned long TOUCHED_BITS = CHANGED_BITS | Node::UPDATE_SIBLING_CHANGED;
// A text whose source the library produced rather than read.
constexpr unsigned long WRITTEN_BITS = Node::UPDATE_CONTENT_MODIFIED | Node::UPDATE_CREATED;

bool isChanged(const Node* n)
{
    return n->getUpdateState() & CHANGED_BITS;
}

bool isTouched(const Node* n)
{
    return n->getUpdateState() & TOUCHED_BITS;
}

bool isText(const Node* n)
{
    return n && n->getNodeType() == Node::TEXT_NODE;
}

ElementType::LayoutType layoutOf(const Node* n)
{
    if (!n || n->getNodeType() != Node::ELEMENT_NODE)
        return ElementType::LAYOUT_TYPE_INLINE;
    const ElementType* type = static_cast<const Element*>(n)->getElementType();
    return type ? type->getLayoutType() : ElementType::LAYOUT_TYPE_INLINE;
}

bool wantsBreakBefore(const Node* n)
{
    const ElementType::LayoutType layout = layoutOf(n);
    return layout == ElementType::LAYOUT_TYPE_BLOCK || layout == ElementType::LAYOUT_TYPE_HEAD;
}

bool wantsBreakAfter(const Node* n)
{
    const ElementType::LayoutType layout = layoutOf(n);
    return layout == ElementType::LAYOUT_TYPE_BLOCK || layout == ElementType::LAYOUT_TYPE_BREAK ||
           layout == ElementType::LAYOUT_TYPE_HEAD;
}

// Whether a tag the page wrote is closed: what follows a tag cut short
// by the end of the page would be read as part of it.
bool isClosed(const std::string& tag)
{
    return !tag.empty() && tag.back() == '>';
}

// Whether what follows n in the page is read as n's next sibling: n shows
// where it ends (a closed end tag, or a closed start tag of an element that
// can hold nothing).
bool endsVisibly(const Node* n)
{
    switch (n->getNodeType()) {
    case Node::ELEMENT_NODE:
        break;
    // Markup cut short by the end of the page would take what follows in.
    case Node::COMMENT_NODE:
    case Node::CDATA_SECTION_NODE:
    case Node::PROCESSING_INSTRUCTION_NODE:
    case Node::DOCUMENT_TYPE_NODE:
        return isClosed(n->getSource());
    default:
        return true;
    }
    const Element* e = static_cast<const Element*>(n);
    const ElementType* type = e->getElementType();
    if (e->hasEndTag())
        return isClosed(e->getEndTag());
    return (!type || type->getContainerType() == ContentModel::EMPTY_CONTENT) && isClosed(e->getStartTag());
}

// Whether n shows where it starts: what comes before it in the page is
// not read into it.
bool startsVisibly(const Node* n)
{
    return n->getNodeType() != Node::ELEMENT_NODE || static_cast<const Element*>(n)->hasStartTag();
}

// Whether a text put first into parent's content is read as its first
// child (the document's first place is left alone).
bool opensVisibly(const Node* parent)
{
    if (parent->getNodeType() != Node::ELEMENT_NODE)
        return parent->getNodeType() != Node::DOCUMENT_NODE;
    return isClosed(static_cast<const Element*>(parent)->getStartTag());
}

// Whether e's tags may be what ended elements before it when the page was
// read: a start tag after an element that does not show its end, or an end
// tag standing alone (its start left out), which the reader may have let
// close what was open.  Taking e's tags away would let what follows run
// into those elements.
bool closesWhatPrecedes(const Element* e)
{
    if (!e->hasStartTag())
        return e->hasEndTag();
    const Node* prev = e->getPreviousSibling();
    return prev && !endsVisibly(prev);
}

// Whether a text put last into parent's content is read as its last child
// and not run together with what follows parent.
bool closesVisibly(const Node* parent)
{
    return parent->getNodeType() != Node::ELEMENT_NODE || endsVisibly(parent);
}

// Whether the walk goes into n's children: not into server code or raw
// content, whose texts are not page text.
bool entersChildren(const Node* n)
{
    if (!n->getFirstChild() || SourceFormatter::isScriptBlock(n))
        return false;
    // A DOCTYPE's children are its declarations.
    if (n->getNodeType() != Node::ELEMENT_NODE)
        return n->getNodeType() == Node::DOCUMENT_NODE || n->getNodeType() == Node::DOCUMENT_FRAGMENT_NODE;
    const ElementType* type = static_cast<const Element*>(n)->getElementType();
    return !type || type->getContainerType() != ContentModel::CDATA_CONTENT;
}

// One pass over one subtree.
class AdjustPass {
public:
    AdjustPass(Document& document, Node* root, bool full) : _doc(document), _root(root), _full(full) {}

    // Runs the pass; true when the tree changed (always for a full pass,
    // which lays the whole subtree out again).
    bool run();

private:
    // --- the walk ------------------------------------------------------------
    // Visits the nodes below the root in document order.
    void walk();
    void enter(Node* node, Node* first, bool unwrap);
    void leave();
    Level& top() { return _stack.back().level; }

    void visitElement(Element* e);
    // Deletes e when it is empty (true: it is gone).
    bool deletes(Element* e);
    // Whether e adds nothing to what encloses it: a bare FONT, a bare phrase
    // element inside one of its kind.
    bool unwraps(const Element* e) const;
    void visitText(Text* t);
    void visitDocumentType(Node* n);

    // --- element rules ---------------------------------------------------------
    // Whether an empty e stays all the same.
    bool keepsWhenEmpty(const Element* e) const;
    // Whether e is a phrase element inside one of its kind.
    bool nestedInItsKind(const Element* e) const;
    // Puts e's children in its place and deletes it; texts meeting at
    // either end become one.
    void unwrapNow(Element* e);
    // Joins second with the text before it when both are texts in parent.
    void joinSeam(Node* parent, Node* second);
    // Places the line breaks around n, an element already visited, again:
    // what stood beside it went.
    void rebreak(Node* n);
    // Merges e with its nearest sibling of its id; true when the walk has
    // been set to go on elsewhere (e is gone or was already visited).
    bool mergeTwin(Element* e);
    // Whether merging first and second (siblings of one id, in this order)
    // leaves a page that reads back as the merged tree.
    static bool canMerge(const Element* first, const Element* second);
    // Whether e and its whole content are empty, nothing in it holding the
    // cursor or the selection.
    bool isEmpty(const Element* e);

    // --- line breaks -------------------------------------------------------------
    void breakAround(Element* e);
    // Inserts a line-break text into the current level's node before ref
    // (at the end when ref is null).
    void insertBreak(Node* ref);
    // Gives an existing text a line break at its front (or back).
    void breakEdge(Text* t, bool front);

    Document& _doc;
    Node* _root;
    bool _full;
    bool _changed = false;
    // A level of the walk, and whether its element is to be unwrapped once
    // its content has been walked: unwrapping from the inside out moves
    // each piece of content once, however deep such elements nest.
    struct Frame {
        Level level;
        bool unwrap;
    };
    std::vector<Frame> _stack;
    // How many elements of each id enclose the current level.
    std::unordered_map<int, unsigned long> _openIDs;
    // The nodes holding the cursor or an end of the single selection, and
    // the nodes known to be not empty.
    std::unordered_set<const Node*> _holders;
    std::unordered_set<const Node*> _solid;
};

bool AdjustPass::run()
{
    if (SourceFormatter::isScriptBlock(_root))
        return false;
    Node* cursor = DocumentAccess::cursorNode(_doc);
    const Document::Selection* single = _doc.getSingleSelection();
    for (Node* place : {cursor, single ? single->startNode : nullptr, single ? single->endNode : nullptr})
        for (const Node* n = place; n; n = n->getParentNode())
            if (!_holders.insert(n).second)
                break;
    for (const Node* n = _root; n; n = n->getParentNode())
        if (n->getNodeType() == Node::ELEMENT_NODE)
            ++_openIDs[static_cast<const Element*>(n)->getElementID()];
    if (!_full) {
        walk();
        return _changed;
    }
    // A full pass visits everything anyway: it is recorded as the subtree
    // replaced by its tidied self (one copy), not change by change, each of
    // which would cost its depth (nothing is announced when the caller
    // already records the whole subtree).
    ChangeHooks::SubtreeChange change(_root);
    walk();
    SourceFormatter().formatDescendants(_root);
    return true;
}

void AdjustPass::walk()
{
    if (entersChildren(_root))
        _stack.push_back(Frame{SourceFormatter::rootLevel(_root), false});
    while (!_stack.empty()) {
        Node* n = top().next;
        if (!n) {
            leave();
            continue;
        }
        top().next = n->getNextSibling();
        if (!_full && n->getUpdateState() == Node::UPDATE_NONE)
            continue;
        switch (n->getNodeType()) {
        case Node::ELEMENT_NODE:
            visitElement(static_cast<Element*>(n));
            break;
        case Node::TEXT_NODE:
            visitText(static_cast<Text*>(n));
            break;
        case Node::DOCUMENT_TYPE_NODE:
            visitDocumentType(n);
            break;
        default:
            break;
        }
    }
}

void AdjustPass::enter(Node* node, Node* first, bool unwrap)
{
    Level level = SourceFormatter::childLevel(top(), node);
    level.next = first;
    _stack.push_back(Frame{level, unwrap});
    if (node->getNodeType() == Node::ELEMENT_NODE)
        ++_openIDs[static_cast<const Element*>(node)->getElementID()];
}

void AdjustPass::leave()
{
    Node* node = _stack.back().level.node;
    const bool unwrap = _stack.back().unwrap;
    _stack.pop_back();
    // The root's own level was counted with its ancestors.
    if (!_stack.empty() && node->getNodeType() == Node::ELEMENT_NODE)
        --_openIDs[static_cast<const Element*>(node)->getElementID()];
    if (unwrap)
        unwrapNow(static_cast<Element*>(node));
}

void AdjustPass::visitElement(Element* e)
{
    if (deletes(e))
        return;
    if (unwraps(e)) {
        // Its content is walked first, at the level it is about to join.
        if (entersChildren(e))
            enter(e, e->getFirstChild(), true);
        else
            unwrapNow(e);
        return;
    }
    const unsigned long group = e->getElementGroup();
    if ((group & ElementType::GROUP_TABLE_STRUCTURE) && (group & ElementType::GROUP_UNIQUE)) {
        if (mergeTwin(e))
            return;
    } else if (e->getElementType() && e->followsXMLRules() && e->isEmptyTag() && e->hasChildNodes()) {
        e->setEmptyTag(false);
        _changed = true;
    }
    breakAround(e);
    if (entersChildren(e))
        enter(e, e->getFirstChild(), false);
}

bool AdjustPass::deletes(Element* e)
{
    const unsigned long group = e->getElementGroup();
    if (!(group & ElementType::GROUP_CONTAINER) || closesWhatPrecedes(e) || keepsWhenEmpty(e) || !isEmpty(e))
        return false;
    Node* before = e->getPreviousSibling();
    _doc.deleteNodes(e);
    _changed = true;
    rebreak(before);
    return true;
}

bool AdjustPass::unwraps(const Element* e) const
{
    // e's end tag also ends what its content left open: without it what
    // follows e would run into that.
    const Node* last = e->getLastChild();
    if (e->hasEndTag() && last && !isText(last) && !endsVisibly(last))
        return false;
    const unsigned long group = e->getElementGroup();
    if (closesWhatPrecedes(e) || e->hasAttributes() ||
        !((group & ElementType::GROUP_FONT) || ((group & ElementType::GROUP_PHRASE) && nestedInItsKind(e))))
        return false;
    // Content its new parent may not hold would be read elsewhere (a P in
    // an I in a P ends the outer P once the I is gone).
    const Node* parent = e->getParentNode();
    for (const Node* c = e->getFirstChild(); c; c = c->getNextSibling())
        if (!parent->canContain(c))
            return false;
    return true;
}

bool AdjustPass::keepsWhenEmpty(const Element* e) const
{
    // Formatting keeps an empty element that carries attributes (an anchor
    // with an id, a styled paragraph): it was written on purpose; one whose
    // start tag is cut short, which the author is still writing; and one
    // the reader marked with an error, which is for correction to repair.
    return _full && (e->hasAttributes() || e->getErrorState() != Node::NONE_ERROR ||
                     (e->hasStartTag() && !isClosed(e->getStartTag())));
}

bool AdjustPass::nestedInItsKind(const Element* e) const
{
    auto found = _openIDs.find(e->getElementID());
    return found != _openIDs.end() && found->second > 0;
}

void AdjustPass::unwrapNow(Element* e)
{
    // The walk is at the level of e's parent, and goes on after e.
    Node* parent = top().node;
    Node* before = e->getPreviousSibling();
    Node* after = e->getNextSibling();
    Node* first = e->getFirstChild();
    Node* last = e->getLastChild();
    // Held: joining texts may take any of them out of the tree.
    for (Node* n : {before, after, first, last})
        if (n)
            n->addRef();
    if (Node* children = e->removeChildNodes(nullptr, nullptr))
        parent->insertBefore(children, after);
    _doc.deleteNodes(e);
    _changed = true;
    joinSeam(parent, first);
    if (after && after->getParentNode() == parent) {
        Node* absorber = after->getPreviousSibling();
        joinSeam(parent, after);
        if (after->getParentNode() != parent)
            top().next = absorber->getNextSibling();
    }
    for (Node* n : {before, first, last})
        if (n && n->getParentNode() == parent)
            rebreak(n);
    for (Node* n : {before, after, first, last})
        if (n)
            n->releaseRef();
}

void AdjustPass::joinSeam(Node* parent, Node* second)
{
    if (!second || second->getParentNode() != parent)
        return;
    Node* first = second->getPreviousSibling();
    if (isText(first) && isText(second))
        DocumentAccess::joinTexts(_doc, static_cast<Text*>(first), static_cast<Text*>(second), top().plain);
}

void AdjustPass::rebreak(Node* n)
{
    if (n && n->getNodeType() == Node::ELEMENT_NODE)
        breakAround(static_cast<Element*>(n));
}

bool AdjustPass::mergeTwin(Element* e)
{
    const int id = e->getElementID();
    auto sameKind = [id](const Node* n) {
        return n->getNodeType() == Node::ELEMENT_NODE && static_cast<const Element*>(n)->getElementID() == id;
    };
    // Only a twin beside e (white space and comments between) is merged:
    // content never moves past other content.
    auto beside = [](Node* n, bool back) {
        while (n && (n->getNodeType() == Node::COMMENT_NODE || (isText(n) && static_cast<Text*>(n)->isSpaceText())))
            n = back ? n->getPreviousSibling() : n->getNextSibling();
        return n;
    };
    Node* twin = beside(e->getPreviousSibling(), true);
    bool twinFirst = true;
    if (!twin || !sameKind(twin)) {
        twin = beside(e->getNextSibling(), false);
        twinFirst = false;
    }
    if (twin && !sameKind(twin))
        twin = nullptr;
    if (!twin || !canMerge(twinFirst ? static_cast<Element*>(twin) : e, twinFirst ? e : static_cast<Element*>(twin)))
        return false;
    Element* other = static_cast<Element*>(twin);
    _changed = true;
    if (twinFirst) {
        // The earlier one was visited with its content; what e brings is
        // new to the walk.
        Node* ownLast = other->getLastChild();
        Element* survivor = ElementMerge::merge(_doc, other, e);
        if (survivor == e)
            return false;
        Node* first = !ownLast ? survivor->getFirstChild() : isText(ownLast) ? ownLast : ownLast->getNextSibling();
        if (first && entersChildren(survivor))
            enter(survivor, first, false);
        return true;
    }
    Element* survivor = ElementMerge::merge(_doc, e, other);
    if (survivor == e) {
        // The later one went; the walk goes on after e once e's content,
        // now with the other's, has been walked.
        top().next = e->getNextSibling();
        return false;
    }
    return true;
}

bool AdjustPass::canMerge(const Element* first, const Element* second)
{
    // The merge takes away the tags of the element that goes; the page must
    // read the same without them: the one that goes must not be what ends
    // the element before it, and the content that moves must not run into
    // an element left open at the end of the content it joins.
    const bool firstStays = !first->isOmittedElement() && !first->isVirtualElement();
    const Element* goes = firstStays ? second : first;
    // Either way the first one's content comes right before the second's.
    const Node* seam = first->getLastChild();
    return !closesWhatPrecedes(goes) && (!seam || isText(seam) || endsVisibly(seam));
}

bool AdjustPass::isEmpty(const Element* e)
{
    if (_holders.count(e) || _solid.count(e))
        return false;
    std::vector<const Node*> pending{e};
    const Node* found = nullptr;
    while (!pending.empty() && !found) {
        const Node* n = pending.back();
        pending.pop_back();
        if (_holders.count(n) || _solid.count(n)) {
            found = n;
        } else if (n->getNodeType() == Node::TEXT_NODE) {
            if (static_cast<const Text*>(n)->getLength() != 0)
                found = n;
        } else if (n->getNodeType() != Node::ELEMENT_NODE ||
                   !DocumentAccess::isEmptyShell(static_cast<const Element*>(n))) {
            found = n;
        } else {
            for (const Node* c = n->getFirstChild(); c; c = c->getNextSibling())
                pending.push_back(c);
        }
    }
    if (!found)
        return true;
    // Whatever holds a node that is not empty is not empty either: later
    // questions about the nodes on the way are answered at once.
    for (const Node* n = found; n; n = n->getParentNode()) {
        _solid.insert(n);
        if (n == e)
            break;
    }
    return false;
}

void AdjustPass::breakAround(Element* e)
{
    const Level& level = top();
    if (level.plain || (!_full && !isTouched(e)) || e->isOmittedElement())
        return;
    const bool before = wantsBreakBefore(e);
    const bool after = wantsBreakAfter(e);
    const bool changed = isChanged(e);
    Node* parent = level.node;
    Node* prev = e->getPreviousSibling();
    Node* next = e->getNextSibling();
    bool inserted = false;
    // A text inserted between two nodes is read back there only when the
    // page shows the end of the one before and the start of the one after.
    auto insertBefore = [&]() {
        if (startsVisibly(e) && (prev ? endsVisibly(prev) : opensVisibly(parent))) {
            insertBreak(e);
            inserted = true;
        }
    };
    auto insertAfter = [&]() {
        if (endsVisibly(e) && (next ? startsVisibly(next) : closesVisibly(parent))) {
            insertBreak(next);
            inserted = true;
        }
    };
    if (before) {
        if (isText(prev)) {
            if (!isTouched(prev) && changed)
                breakEdge(static_cast<Text*>(prev), false);
        } else {
            insertBefore();
        }
    }
    if (after) {
        if (!isText(next))
            insertAfter();
        else if (!isTouched(next) && changed)
            breakEdge(static_cast<Text*>(next), true);
    }
    if (!before && !after && changed) {
        if (prev && !isText(prev) && wantsBreakAfter(prev))
            insertBefore();
        if (next && !isText(next) && wantsBreakBefore(next))
            insertAfter();
    }
    if (inserted && e->getElementType())
        ElementAccess::reformatTags(*e);
}

void AdjustPass::insertBreak(Node* ref)
{
    Node* parent = top().node;
    Text* text = _doc.createTextNode(std::string());
    parent->insertBefore(text, ref);
    DocumentAccess::adjustForInsertion(_doc, parent, text);
    TextAccess::parse(*text, SourceFormatter::breakEdge(text, top(), true), top().plain);
    _changed = true;
}

void AdjustPass::breakEdge(Text* t, bool front)
{
    const std::string source = SourceFormatter::breakEdge(t, top(), front);
    if (source == t->getSource())
        return;
    TextAccess::parse(*t, source, top().plain);
    _changed = true;
}

void AdjustPass::visitText(Text* t)
{
    while (isText(t->getPreviousSibling()))
        t = static_cast<Text*>(t->getPreviousSibling());
    if (isText(t->getNextSibling())) {
        DocumentAccess::joinTextRun(_doc, t, top().plain);
        _changed = true;
    }
    top().next = t->getNextSibling();
    if (_full || !(t->getUpdateState() & WRITTEN_BITS))
        return;
    const std::string laidOut = SourceFormatter::laidOutSource(t, top());
    if (laidOut != t->getSource()) {
        t->setSource(laidOut);
        _changed = true;
    }
}

void AdjustPass::visitDocumentType(Node* n)
{
    if ((!_full && !isChanged(n)) || top().plain)
        return;
    Node* prev = n->getPreviousSibling();
    Node* next = n->getNextSibling();
    if (isText(prev))
        breakEdge(static_cast<Text*>(prev), false);
    else if (prev && endsVisibly(prev))
        insertBreak(n);
    if (isText(next))
        breakEdge(static_cast<Text*>(next), true);
    else if (endsVisibly(n) && (next ? startsVisibly(next) : closesVisibly(n->getParentNode())))
        insertBreak(next);
}

} // namespace

bool TreeAdjuster::adjust(Document& document, Node* root, bool full)
{
    return AdjustPass(document, root, full).run();
}

} // namespace pagedom
