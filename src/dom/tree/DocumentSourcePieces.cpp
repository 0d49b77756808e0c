// The selection as byte offsets into the whole page source, and back.  The
// page is cut into the pieces the writer produces, in document order: an
// element's start text when it is entered and its end text when it is
// left, every other node's whole source.
#include "tree/Document.h"

#include <functional>
#include <string>

#include "node/NodeAccess.h"
#include "tree/Element.h"
#include "tree/Text.h"

namespace {

enum class PieceKind { START, END, WHOLE };

struct Piece {
    Node* node;
    PieceKind kind;
    std::size_t begin;
    std::size_t length;
};

// Whether the writer writes node as a start text, its children and an end
// text (an element that writes its children) rather than as one whole.
bool isSplit(const Node* node)
{
    return node->getNodeType() == Node::ELEMENT_NODE && pagedom::NodeAccess::writesChildren(*node);
}

// Calls visit for every piece of doc in order until it returns false; the
// total length of the pieces when all were visited.  No recursion: the
// walk climbs back through the parents.
std::size_t forEachPiece(const Document& doc, const std::function<bool(const Piece&)>& visit)
{
    std::size_t at = 0;
    std::string text;
    auto emit = [&](Node* node, PieceKind kind) {
        text.clear();
        if (kind == PieceKind::START)
            pagedom::NodeAccess::writeStart(*node, text);
        else if (kind == PieceKind::END)
            pagedom::NodeAccess::writeEnd(*node, text);
        else
            text = node->getSource();
        const Piece piece{node, kind, at, text.size()};
        at += text.size();
        return visit(piece);
    };
    Node* node = doc.getFirstChild();
    while (node) {
        if (!isSplit(node)) {
            if (!emit(node, PieceKind::WHOLE))
                return at;
        } else {
            if (!emit(node, PieceKind::START))
                return at;
            if (node->getFirstChild()) {
                node = node->getFirstChild();
                continue;
            }
            if (!emit(node, PieceKind::END))
                return at;
        }
        while (!node->getNextSibling()) {
            node = node->getParentNode();
            if (!node || node == &doc)
                return at;
            if (!emit(node, PieceKind::END))
                return at;
        }
        node = node->getNextSibling();
    }
    return at;
}

// The piece a tree position lies at the start of (or inside, for a text),
// and how far into it.
struct Target {
    Node* node = nullptr; // null: the end of the page
    PieceKind kind = PieceKind::WHOLE;
    std::size_t into = 0;
};

Target targetOf(const Document& doc, Node* node, long offset)
{
    Target target;
    if (!node || offset < 0)
        return target;
    if (node->getNodeType() == Node::TEXT_NODE) {
        target.node = node;
        target.into = static_cast<std::size_t>(Document::convertOffsetLayout2Source(node, static_cast<int>(offset)));
        return target;
    }
    const bool container = node == &doc || isSplit(node);
    if (!container) {
        target.node = node;
        return target;
    }
    const unsigned long index = static_cast<unsigned long>(offset);
    if (Node* child = index < node->getChildLength() ? node->getChildNode(index) : nullptr) {
        target.node = child;
        target.kind = isSplit(child) ? PieceKind::START : PieceKind::WHOLE;
        return target;
    }
    if (node == &doc)
        return target;
    target.node = node;
    // In a childless element that takes no content, the position is before
    // its tag; otherwise it is where its end text begins.
    const bool empty = !node->getFirstChild() && static_cast<Element*>(node)->isEmptyElement();
    target.kind = empty ? PieceKind::START : PieceKind::END;
    return target;
}

std::size_t absoluteOffset(const Document& doc, Node* node, long offset)
{
    const Target target = targetOf(doc, node, offset);
    std::size_t found = 0;
    bool met = false;
    const std::size_t total = forEachPiece(doc, [&](const Piece& piece) {
        if (piece.node != target.node || piece.kind != target.kind)
            return true;
        found = piece.begin + (target.into < piece.length ? target.into : piece.length);
        met = true;
        return false;
    });
    return met ? found : total;
}

// The tree position of byte offset wanted of the page: inside a text, a
// layout offset; elsewhere a child index of the parent of the piece (before
// the piece when the offset is at its start or inside it, after it when at
// its end), or of the element whose end text begins there.
struct Position {
    Node* node;
    unsigned long offset;
};

Position positionOf(Document& doc, std::size_t wanted)
{
    Position position{&doc, doc.getChildLength()};
    forEachPiece(doc, [&](const Piece& piece) {
        // An empty piece holds no byte: the offset belongs to what follows.
        if (piece.length == 0 || wanted >= piece.begin + piece.length)
            return true;
        const std::size_t into = wanted - piece.begin;
        Node* parent = piece.node->getParentNode();
        const unsigned long index = parent ? parent->getChildIndex(piece.node) : 0;
        if (piece.kind == PieceKind::WHOLE && piece.node->getNodeType() == Node::TEXT_NODE) {
            position = Position{piece.node, static_cast<unsigned long>(Document::convertOffsetSource2Layout(
                                                piece.node, static_cast<int>(into)))};
        } else if (piece.kind == PieceKind::END) {
            position = Position{piece.node, piece.node->getChildLength()};
        } else {
            position = Position{parent, index};
        }
        return false;
    });
    return position;
}

} // namespace

void Document::getSourceSelection(unsigned long& start, unsigned long& end) const
{
    if (const Selection* s = getSingleSelection()) {
        start = absoluteOffset(*this, s->startNode, static_cast<long>(s->startOffset));
        end = absoluteOffset(*this, s->endNode, static_cast<long>(s->endOffset));
        return;
    }
    Node* node = nullptr;
    int offset = 0;
    getLayoutCursor(&node, &offset);
    start = end = node ? absoluteOffset(*this, node, offset) : 0;
}

void Document::setSourceSelection(unsigned long start, unsigned long end)
{
    if (start > end)
        std::swap(start, end);
    const Position from = positionOf(*this, start);
    if (from.node && from.node->getNodeType() == TEXT_NODE)
        setSourceCursor(from.node, convertOffsetLayout2Source(from.node, static_cast<int>(from.offset)));
    else
        setLayoutCursor(from.node, static_cast<int>(from.offset));
    eraseSelections();
    if (end != start) {
        const Position to = positionOf(*this, end);
        select(from.node, from.offset, to.node, to.offset, false);
    }
}
