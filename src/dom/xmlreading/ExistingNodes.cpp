// The cursor over the existing nodes that follow a piece of text the XML
// reader is given: frames, pieces, and whether the reading is back in step.
#include "xmlreading/ExistingNodes.h"

#include <algorithm>

#include "node/Node.h"
#include "node/NodeAccess.h"
#include "tree/Element.h"

namespace pagedom {

namespace {

// Whether the writer writes node as start text, children and end text.
bool isSplit(const Node* node)
{
    return node->getNodeType() == Node::ELEMENT_NODE && NodeAccess::writesChildren(*node);
}

} // namespace

ExistingNodes::ExistingNodes(Node* parent, Node* next, bool consume) : _consume(consume)
{
    for (Node* n = parent; n; n = n->getParentNode())
        _chain.push_back(n);
    std::reverse(_chain.begin(), _chain.end());
    _frames.reserve(_chain.size());
    for (std::size_t i = 0; i < _chain.size(); ++i) {
        // Above the parent, the reading point lies inside the chain's next
        // container: what follows it there comes after.
        Node* after = i + 1 < _chain.size() ? _chain[i + 1]->getNextSibling() : next;
        _frames.push_back(Frame{_chain[i], after, true, false, false, std::string()});
    }
}

ExistingNodes::~ExistingNodes()
{
    for (Frame& frame : _frames)
        if (frame.owned)
            frame.container->releaseRef();
}

bool ExistingNodes::take(std::string& text)
{
    text.clear();
    if (!_consume)
        return false;
    Frame& frame = _frames.back();
    Node* node = frame.next;
    if (!node)
        return _takeEnd(text);
    frame.next = node->getNextSibling();
    if (node->getNodeType() == Node::DOCUMENT_TYPE_NODE)
        _tookDeclaration = true;
    bool owned = false;
    if (frame.inTree) {
        // The caller's reference comes back with the removal.
        if (!frame.container->removeChild(node))
            return true;
        owned = true;
    }
    if (!isSplit(node)) {
        text = node->getSource();
        if (owned)
            node->releaseRef();
        return true;
    }
    NodeAccess::writeStart(*node, text);
    _frames.push_back(Frame{node, node->getFirstChild(), false, owned, false, std::string()});
    return true;
}

bool ExistingNodes::_takeEnd(std::string& text)
{
    if (_frames.size() == 1)
        return false;
    Frame& frame = _frames.back();
    Node* container = frame.container;
    if (frame.endKept) {
        text = frame.endText;
    } else {
        NodeAccess::writeEnd(*container, text);
        // A container that stays gets its end tag again from the reading.
        if (frame.inTree && container->getNodeType() == Node::ELEMENT_NODE &&
            static_cast<Element*>(container)->hasEndTag())
            static_cast<Element*>(container)->setEndTag(std::string());
    }
    if (frame.owned)
        container->releaseRef();
    _frames.pop_back();
    return true;
}

bool ExistingNodes::isAt(const Node* container, const Node* next) const
{
    const Frame& frame = _frames.back();
    return frame.container == container && frame.next == next;
}

bool ExistingNodes::inStep(const Node* current) const
{
    const Frame& frame = _frames.back();
    if (frame.container != current || !frame.inTree)
        return false;
    if (frame.next)
        return _startsMarkup(frame.next);
    if (_frames.size() == 1)
        return true;
    return !frame.endKept && current->getNodeType() == Node::ELEMENT_NODE &&
           static_cast<const Element*>(current)->hasEndTag();
}

void ExistingNodes::closing(std::size_t frame)
{
    Frame& f = _frames[frame];
    if (f.endKept)
        return;
    f.endText.clear();
    NodeAccess::writeEnd(*f.container, f.endText);
    f.endKept = true;
}

bool ExistingNodes::_startsMarkup(const Node* node)
{
    switch (node->getNodeType()) {
    case Node::TEXT_NODE:
    case Node::ENTITY_REFERENCE_NODE:
        return false;
    case Node::ELEMENT_NODE: {
        std::string start;
        NodeAccess::writeStart(*node, start);
        return !start.empty() && start[0] == '<';
    }
    default:
        // Comments, CDATA sections, processing instructions and document
        // type declarations are written from '<' on.
        return true;
    }
}

} // namespace pagedom
