// The range: its reference counting, the moves of its ends and the order rule
// that validate applies.
#include "tree/Range.h"

#include <utility>

#include "node/Node.h"
#include "tree/Element.h"

namespace dom {

namespace {

// The child of outer whose subtree holds inner; null when inner is outer or
// lies outside it.  Walks up from inner, so deep trees cost no recursion.
const Node* branchToward(const Node* outer, const Node* inner)
{
    for (const Node* child = inner; child;) {
        const Node* parent = child->getParentNode();
        if (parent == outer)
            return child;
        child = parent;
    }
    return nullptr;
}

// The position just before (or after) node: its parent and its index
// there (plus one); (null, 0) for a node without parent.
struct Place {
    Node* container;
    unsigned long offset;
};

Place placeBeside(Node* node, bool after)
{
    Node* parent = node ? node->getParentNode() : nullptr;
    if (!parent)
        return Place{nullptr, 0};
    return Place{parent, parent->getChildIndex(node) + (after ? 1 : 0)};
}

} // namespace

Range::Range() {}

Range::Range(bool sourceRange) : _sourceRange(sourceRange) {}

Range::Range(Node* container, unsigned long offset)
{
    setStart(container, offset);
    setEnd(container, offset);
}

Range::Range(Node* container, unsigned long offset, bool endTag) : _sourceRange(true)
{
    setStart(container, offset, endTag);
    setEnd(container, offset, endTag);
}

Range::Range(Node* startContainer, unsigned long startOffset, Node* endContainer, unsigned long endOffset)
{
    setStart(startContainer, startOffset);
    setEnd(endContainer, endOffset);
}

Range::Range(Node* startContainer, unsigned long startOffset, bool startIsEndTag, Node* endContainer,
             unsigned long endOffset, bool endIsEndTag)
    : _sourceRange(true)
{
    setStart(startContainer, startOffset, startIsEndTag);
    setEnd(endContainer, endOffset, endIsEndTag);
}

Range::Range(const Range& other)
    : _startOffset(other._startOffset),
      _endOffset(other._endOffset),
      _sourceRange(other._sourceRange),
      _startIsEndTag(other._startIsEndTag),
      _endIsEndTag(other._endIsEndTag),
      _valid(other._valid)
{
    _replace(_startContainer, other._startContainer);
    _replace(_endContainer, other._endContainer);
}

Range& Range::operator=(const Range& other)
{
    // _replace references the new container before it releases the old
    // one, so assigning a range to itself keeps its containers alive.
    _replace(_startContainer, other._startContainer);
    _replace(_endContainer, other._endContainer);
    _startOffset = other._startOffset;
    _endOffset = other._endOffset;
    _sourceRange = other._sourceRange;
    _startIsEndTag = other._startIsEndTag;
    _endIsEndTag = other._endIsEndTag;
    _valid = other._valid;
    return *this;
}

Range::~Range()
{
    detach();
}

void Range::_replace(Node*& field, Node* node)
{
    if (node)
        node->addRef();
    Node* old = field;
    field = node;
    if (old)
        old->releaseRef();
}

void Range::setStart(Node* container, unsigned long offset)
{
    setStart(container, offset, false);
}

void Range::setStart(Node* container, unsigned long offset, bool endTag)
{
    _replace(_startContainer, container);
    _startOffset = offset;
    _startIsEndTag = endTag;
    _valid = false;
}

void Range::setEnd(Node* container, unsigned long offset)
{
    setEnd(container, offset, false);
}

void Range::setEnd(Node* container, unsigned long offset, bool endTag)
{
    _replace(_endContainer, container);
    _endOffset = offset;
    _endIsEndTag = endTag;
    _valid = false;
}

void Range::setStartBefore(Node* node)
{
    Place at = placeBeside(node, false);
    setStart(at.container, at.offset);
}

void Range::setStartAfter(Node* node)
{
    Place at = placeBeside(node, true);
    setStart(at.container, at.offset);
}

void Range::setEndBefore(Node* node)
{
    Place at = placeBeside(node, false);
    setEnd(at.container, at.offset);
}

void Range::setEndAfter(Node* node)
{
    Place at = placeBeside(node, true);
    setEnd(at.container, at.offset);
}

void Range::selectNode(Node* node)
{
    setStartBefore(node);
    setEndAfter(node);
    _valid = node && node->getParentNode();
}

void Range::selectNodeContents(Node* node)
{
    setStart(node, 0);
    setEnd(node, node ? node->getChildLength() : 0);
    _valid = node != nullptr;
}

void Range::collapse(bool toStart)
{
    if (!isCollapsed()) {
        if (toStart)
            setEnd(_startContainer, _startOffset, _startIsEndTag);
        else
            setStart(_endContainer, _endOffset, _endIsEndTag);
    }
    _valid = _startContainer != nullptr;
}

bool Range::isCollapsed() const
{
    return _startContainer == _endContainer && _startOffset == _endOffset && _startIsEndTag == _endIsEndTag;
}

Node* Range::commonAncestorContainer() const
{
    if (!_startContainer || !_endContainer)
        return nullptr;
    if (_startContainer == _endContainer)
        return _startContainer;
    return _startContainer->getCommonAncestor(_endContainer);
}

Element* Range::_getParentNode(Node* node)
{
    for (Node* n = node; n; n = n->getParentNode())
        if (n->getNodeType() == Node::ELEMENT_NODE)
            return static_cast<Element*>(n);
    return nullptr;
}

Element* Range::getStartParent() const
{
    return _getParentNode(_startContainer);
}

Element* Range::getEndParent() const
{
    return _getParentNode(_endContainer);
}

Element* Range::getCommonParent() const
{
    Element* start = getStartParent();
    if (start == getEndParent() || isCollapsed())
        return start;
    return nullptr;
}

bool Range::_isReversed() const
{
    const Node* start = _startContainer;
    const Node* end = _endContainer;
    if (start == end) {
        // In a source range the end tag of the container follows every
        // place between its children.
        if (_sourceRange && _startIsEndTag != _endIsEndTag)
            return _startIsEndTag;
        return _startOffset > _endOffset;
    }
    if (const Node* branch = branchToward(start, end)) {
        // The end lies inside the start container: a start at the
        // container's end tag follows it; else the start precedes it when
        // its offset is at or before the child that holds the end.
        if (_sourceRange)
            return _startIsEndTag;
        return start->getChildIndex(branch) < _startOffset;
    }
    if (const Node* branch = branchToward(end, start)) {
        // The start lies inside the end container: only the end tag of the
        // container, or an end offset past the child holding the start,
        // follows it.
        if (_sourceRange)
            return !_endIsEndTag;
        return end->getChildIndex(branch) >= _endOffset;
    }
    return start->compareOrder(end) > 0;
}

void Range::validate()
{
    if (!_valid && _startContainer && _endContainer && !isCollapsed() && _isReversed()) {
        std::swap(_startContainer, _endContainer);
        std::swap(_startOffset, _endOffset);
        std::swap(_startIsEndTag, _endIsEndTag);
    }
    _valid = true;
}

Range Range::cloneRange() const
{
    return *this;
}

void Range::detach()
{
    // The fields are cleared before the releases, so the range is empty
    // whatever a node's destruction does.
    Node* start = _startContainer;
    Node* end = _endContainer;
    _startContainer = nullptr;
    _startOffset = 0;
    _endContainer = nullptr;
    _endOffset = 0;
    _sourceRange = false;
    _startIsEndTag = false;
    _endIsEndTag = false;
    _valid = false;
    if (start)
        start->releaseRef();
    if (end)
        end->releaseRef();
}

void Range::insertNode(Node* node)
{
    (void)node;
}

std::string Range::toString() const
{
    return std::string();
}

} // namespace dom
