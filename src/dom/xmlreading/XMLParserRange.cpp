// Re-reading a source range: the edited text is put together from the
// pieces around the range and read again in place with what follows.
#include "xmlreading/XMLParser.h"

#include <algorithm>

#include "doctype/ContentModel.h"
#include "doctype/ElementType.h"
#include "tree/Element.h"
#include "tree/ElementAccess.h"
#include "tree/Range.h"
#include "xmlreading/ExistingNodes.h"

namespace {

// A position of a source range as a place in the run of pieces the tree
// writes: before the piece of next in container (with next null, before
// container's end text), and, inside that piece, offset bytes in.
struct Position {
    Node* container;
    Node* next;
    unsigned long offset;
};

bool isContainer(const Node* node)
{
    const unsigned short type = node->getNodeType();
    return type == Node::ELEMENT_NODE || type == Node::DOCUMENT_NODE || type == Node::DOCUMENT_FRAGMENT_NODE;
}

// The position of one end of a source range: in character data and other
// leaves a byte offset into the node's source; in an element at its end
// tag a byte offset into the end tag; elsewhere a child index.  False for
// an end that names no place in the tree.
bool positionOf(Node* node, unsigned long offset, bool endTag, Position& position)
{
    if (!node)
        return false;
    if (!isContainer(node)) {
        position = Position{node->getParentNode(), node, offset};
        return position.container != nullptr;
    }
    if (endTag && node->getNodeType() == Node::ELEMENT_NODE) {
        position = Position{node, nullptr, offset};
        return true;
    }
    position = Position{node, offset < node->getChildLength() ? node->getChildNode(offset) : nullptr, 0};
    return true;
}

// Whether the piece at (aContainer, aNext) comes before the one at
// (bContainer, bNext), for two different places of one tree.  A piece
// before next stands at next's start; one with next null at the end of its
// container.
bool pieceBefore(const Node* aContainer, const Node* aNext, const Node* bContainer, const Node* bNext)
{
    const Node* a = aNext ? aNext : aContainer;
    const Node* b = bNext ? bNext : bContainer;
    const bool aStart = aNext != nullptr;
    const bool bStart = bNext != nullptr;
    if (a == b)
        return aStart && !bStart;
    if (b->isOffspringOf(a))   // b lies inside a
        return aStart;
    if (a->isOffspringOf(b))   // a lies inside b
        return !bStart;
    return a->compareOrder(b) < 0;
}

// Whether position a comes at or before position b.
bool inOrder(const Position& a, const Position& b)
{
    if (a.container == b.container && a.next == b.next)
        return a.offset <= b.offset;
    return pieceBefore(a.container, a.next, b.container, b.next);
}

// Whether a position inside node is no place a reading stands in with node
// open: node's content is read raw (declared CDATA, a JSP block, a block
// read in script syntax), node was closed by its own start tag (the
// empty-tag mark), it has no start tag (an end tag that closed nothing),
// or its start tag is cut short.
bool closedToReading(const Node* node)
{
    if (node->getNodeType() != Node::ELEMENT_NODE)
        return false;
    const Element* element = static_cast<const Element*>(node);
    const ElementType* type = element->getElementType();
    if (type && (type->getContainerType() == ContentModel::CDATA_CONTENT ||
                 type->getFormatType() == ElementType::FORMAT_JSP_BLOCK))
        return true;
    return pagedom::ElementAccess::hasScriptSyntax(*element) || element->isEmptyTag() || !element->hasStartTag() ||
           (element->getErrorState() & Node::INVALID_FORMAT_ERROR);
}

// Whether the reading stood somewhere else than between two constructs
// right after node: after text (which what follows may continue), inside
// markup the end of the text cut short (a tag without its '>' is marked),
// or with node still open (an
// element closed without its end tag: by an end tag of an ancestor, or by
// the end of the text).
bool leavesReadingOpen(const Node* node)
{
    switch (node->getNodeType()) {
    case Node::TEXT_NODE:
        return true;
    case Node::ELEMENT_NODE: {
        const Element* element = static_cast<const Element*>(node);
        if (element->getErrorState() & (Node::INVALID_FORMAT_ERROR | Node::INVALID_END_TAG_ERROR))
            return true;
        return !element->hasEndTag() && !element->isEmptyTag() &&
               !pagedom::ElementAccess::hasScriptSyntax(*element);
    }
    default:
        return (node->getErrorState() & Node::INVALID_FORMAT_ERROR) != 0;
    }
}

} // namespace

// The reading starts where a whole reading would be in the same state:
// between two constructs, with the same elements open; so the start moves
// back over what left the reading elsewhere (text, markup cut short, an
// element closed without its end tag, an element whose content is raw or
// that its own start tag closed), whose text then comes first.  Everything from there to the end of the
// range is taken out of the tree (the part before the range kept as text),
// the end's piece gives what follows the range in it, and the reading goes
// on into the nodes after the range until it is back in step.
bool XMLParser::reread(Node* root, const std::string& source, const dom::Range& range)
{
    Position start;
    Position end;
    if (!root || !positionOf(range.startContainer(), range.startOffset(), range.startIsEndTag(), start) ||
        !positionOf(range.endContainer(), range.endOffset(), range.endIsEndTag(), end))
        return false;
    if (!start.container->isOffspringOf(root) || !end.container->isOffspringOf(root) || !inOrder(start, end))
        return false;
    Node* container = start.container;
    Node* next = start.next;
    for (;;) {
        Node* before = next ? next->getPreviousSibling() : container->getLastChild();
        if (container != root && closedToReading(container) && container->getParentNode()) {
            next = container;
            container = container->getParentNode();
        } else if (before && leavesReadingOpen(before)) {
            next = before;
        } else {
            break;
        }
    }
    XMLParser parser;
    if (!parser._begin(container, next, Mode::FOLLOWED))
        return false;
    pagedom::ExistingNodes& nodes = *parser._existing;
    std::string text;
    std::string piece;
    while (!nodes.isAt(start.container, start.next) && nodes.take(piece))
        text += piece;
    const bool samePiece = start.container == end.container && start.next == end.next;
    const bool startInside = start.offset > 0 || (samePiece && end.offset > 0);
    if (startInside) {
        nodes.take(piece);
        text.append(piece, 0, std::min<std::size_t>(start.offset, piece.size()));
        text += source;
        if (samePiece) {
            text.append(piece, std::min<std::size_t>(end.offset, piece.size()), std::string::npos);
            parser._readTaken(text);
            return true;
        }
    } else {
        text += source;
    }
    while (!nodes.isAt(end.container, end.next) && nodes.take(piece)) {
    }
    if (end.offset > 0 && nodes.take(piece))
        text.append(piece, std::min<std::size_t>(end.offset, piece.size()), std::string::npos);
    parser._readTaken(text);
    return true;
}

void XMLParser::_readTaken(const std::string& text)
{
    _appendBuffer(text);
    _run();
    _finish();
}
