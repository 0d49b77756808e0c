// The document's tree-editing helpers: unwrapping an element, telling an
// empty node, walking in document order, the nearest common ancestor, and
// turning texts back from their source.
#include "tree/Document.h"
#include "tree/DocumentAccess.h"

#include <unordered_map>
#include <vector>

#include "convert/PCDATAConverter.h"
#include "doctype/DOMStringType.h"
#include "doctype/ElementTable.h"
#include "doctype/ElementType.h"
#include "tree/Element.h"
#include "tree/ElementAccess.h"
#include "tree/Text.h"

namespace {

bool isElementWithID(const Node* node, int id)
{
    return node && node->getNodeType() == Node::ELEMENT_NODE &&
           static_cast<const Element*>(node)->getElementID() == id;
}

// The nearest sibling before (or after) node that is not trivial for layout.
const Node* nearestSolidSibling(const Node* node, bool before)
{
    const Node* n = before ? node->getPreviousSibling() : node->getNextSibling();
    while (n && n->isTrivialNode())
        n = before ? n->getPreviousSibling() : n->getNextSibling();
    return n;
}

// Whether ancestor is node or one of its ancestors.
bool holds(const Node* ancestor, const Node* node)
{
    for (const Node* n = node; n; n = n->getParentNode())
        if (n == ancestor)
            return true;
    return false;
}

// Whether reading text's source again gives its data.
bool readsBack(const Text* text, bool plain)
{
    const Document* doc = text->getOwnerDocument();
    std::string data = PCDATAConverter(doc).convertSourceToData(text->getSource());
    if (!plain && doc && doc->isHTMLDocument())
        DOMStringType::compact(data);
    return data == text->getData();
}

// Whether source, a text's source, ends in a markup opener ("<" or "&")
// that nothing after it in source has ended: bytes written after it could
// make a tag or a reference of it.
bool endsOpen(const std::string& source)
{
    const std::size_t at = source.find_last_of("<&");
    if (at == std::string::npos)
        return false;
    const char* ends = source[at] == '<' ? "> \t\r\n" : "; \t\r\n";
    return source.find_first_of(ends, at + 1) == std::string::npos;
}

// Joins the text after first into it when both are texts.
void joinWithNext(Document& doc, Node* first)
{
    Node* next = first ? first->getNextSibling() : nullptr;
    if (!next || first->getNodeType() != Node::TEXT_NODE || next->getNodeType() != Node::TEXT_NODE)
        return;
    Text* text = static_cast<Text*>(first);
    pagedom::DocumentAccess::joinTexts(doc, text, static_cast<Text*>(next), text->isPlainText());
}

} // namespace

Element* Document::removeElement(Element* element, bool joinTexts)
{
    Node* parent = element ? element->getParentNode() : nullptr;
    if (!parent)
        return element;
    Node* before = element->getPreviousSibling();
    Node* after = element->getNextSibling();
    if (Node* children = element->removeChildNodes(nullptr, nullptr))
        parent->insertBefore(children, after);
    deleteNodes(element);
    if (joinTexts) {
        // Joining at the front may take the node after away: it is held
        // until the back has been looked at.
        if (after)
            after->addRef();
        joinWithNext(*this, before);
        if (after && after->getParentNode() == parent)
            joinWithNext(*this, after->getPreviousSibling());
        if (after)
            after->releaseRef();
    }
    return nullptr;
}

void Document::_joinTexts(Text* first, Text* second, bool plain)
{
    if (first->getNextSibling() != second)
        return;
    _joinTexts(std::vector<Text*>{first, second}, plain);
}

void Document::_joinTextRun(Text* first, bool plain)
{
    std::vector<Text*> run{first};
    for (Node* n = first->getNextSibling(); n && n->getNodeType() == TEXT_NODE; n = n->getNextSibling())
        run.push_back(static_cast<Text*>(n));
    if (run.size() > 1)
        _joinTexts(run, plain);
}

void Document::_joinTexts(const std::vector<Text*>& run, bool plain)
{
    // Joined by source, so that every byte stays as the page had it,
    // unless a text but the last ends in markup left open (a lone "<" or
    // "&"): the next one's bytes could close it into a tag or a reference.
    // Nor when a source, read again, would not give its text's data (the
    // page reader takes "&#160" before a quote as a reference, reading a
    // source alone does not).  Then the data are joined and the source
    // produced from them.
    bool bySource = true;
    std::string sources;
    std::string data;
    for (std::size_t i = 0; i < run.size(); ++i) {
        const std::string source = run[i]->getSource();
        if ((i + 1 < run.size() && endsOpen(source)) || !readsBack(run[i], plain))
            bySource = false;
        sources += source;
        data += run[i]->getData();
    }
    Text* first = run.front();
    if (bySource) {
        first->_parse(sources, plain);
    } else {
        first->setData(data);
        // Joined, white space may double or open a block's text.
        if (!plain)
            first->compact();
    }
    for (std::size_t i = 1; i < run.size(); ++i)
        deleteNodes(run[i]);
}

bool Document::_isEmptyShell(const Element* e)
{
    if (!(e->getElementGroup() & ElementType::GROUP_CONTAINER) || (e->getErrorState() & MISSING_START_TAG_ERROR))
        return false;
    if (e->getElementID() == ElementTable::ID_A && pagedom::ElementAccess::hasAttribute(*e, "name"))
        return false;
    // A dynamic element or a design-time control shows what its metadata
    // produces, children or none.
    if (e->getMetaData())
        return false;
    // A paragraph beside a table keeps the table apart from what follows.
    return !(e->getElementID() == ElementTable::ID_P &&
             (isElementWithID(nearestSolidSibling(e, true), ElementTable::ID_TABLE) ||
              isElementWithID(nearestSolidSibling(e, false), ElementTable::ID_TABLE)));
}

bool Document::isEmptyNode(const Node* node, bool ignoreCursor) const
{
    if (!node)
        return false;
    // A node holding the cursor or an end of the single selection is not
    // empty; with ignoreCursor, only the node itself may hold them.
    auto keeps = [&](const Node* place) { return place && holds(node, place) && (!ignoreCursor || place != node); };
    const Selection* single = getSingleSelection();
    if (keeps(_cursorNode) || (single && (keeps(single->startNode) || keeps(single->endNode))))
        return false;
    // An element is empty when its whole subtree is: walk it, answering
    // no at the first node that is not empty by itself.
    std::vector<const Node*> pending{node};
    while (!pending.empty()) {
        const Node* n = pending.back();
        pending.pop_back();
        if (n->getNodeType() == TEXT_NODE) {
            if (static_cast<const Text*>(n)->getLength() != 0)
                return false;
            continue;
        }
        if (n->getNodeType() != ELEMENT_NODE)
            return false;
        const Element* e = static_cast<const Element*>(n);
        if (!_isEmptyShell(e))
            return false;
        for (const Node* child = e->getFirstChild(); child; child = child->getNextSibling())
            pending.push_back(child);
    }
    return true;
}

Node* Document::findNextNode(const Node* node, const Node* root, bool changedOnly, bool skipChildren) const
{
    if (!node)
        return nullptr;
    auto passes = [changedOnly](const Node* n) { return !changedOnly || n->getUpdateState() != 0; };
    if (!skipChildren) {
        for (Node* child = node->getFirstChild(); child; child = child->getNextSibling())
            if (passes(child))
                return child;
    }
    for (const Node* n = node; n && n != root; n = n->getParentNode()) {
        for (Node* next = n->getNextSibling(); next; next = next->getNextSibling())
            if (passes(next))
                return next;
        if (n->getParentNode() == root)
            break;
    }
    return nullptr;
}

Node* Document::getCommonAncestor(const Node* a, const Node* b, Node** aSide, Node** bSide) const
{
    if (aSide)
        *aSide = nullptr;
    if (bSide)
        *bSide = nullptr;
    if (!a || !b)
        return nullptr;
    // b's chain, each node with the node of the chain just below it: one
    // pass over each chain, whatever their depth.
    std::unordered_map<const Node*, const Node*> belowInB;
    const Node* below = b;
    for (const Node* n = b; n; below = n, n = n->getParentNode())
        belowInB.emplace(n, below);
    const Node* belowInA = a;
    for (const Node* x = a; x; belowInA = x, x = x->getParentNode()) {
        auto found = belowInB.find(x);
        if (found == belowInB.end())
            continue;
        if (aSide)
            *aSide = const_cast<Node*>(belowInA);
        if (bSide)
            *bSide = const_cast<Node*>(found->second);
        return const_cast<Node*>(x);
    }
    return nullptr;
}

bool Document::restorePlainTexts(Node* node)
{
    if (!node)
        return false;
    Element* probe = createDefElement(ElementTable::ID_PRE);
    if (!probe)
        return false;
    PCDATAConverter converter(this);
    Node* n = node->getFirstChild() ? node->getFirstChild() : node;
    while (n) {
        bool skip = false;
        if (n->getNodeType() == TEXT_NODE) {
            Text* text = static_cast<Text*>(n);
            text->setData(converter.convertSourceToData(text->getSource()));
        } else {
            // What a preformatted block may not hold keeps its texts.
            skip = !probe->canContain(n);
        }
        n = n == node ? nullptr : findNextNode(n, node, false, skip);
    }
    probe->releaseRef();
    return true;
}
