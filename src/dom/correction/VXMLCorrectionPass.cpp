// The repair of a VoiceXML document's tree.
#include "correction/VXMLCorrectionPass.h"

#include "correction/TagRepair.h"
#include "doctype/ContentModel.h"
#include "doctype/ElementType.h"
#include "node/NodeAccess.h"
#include "tree/Document.h"
#include "tree/Element.h"
#include "tree/ElementAccess.h"
#include "tree/Text.h"

namespace pagedom {

namespace {

// Bits of an element's tags that producing the tags again takes away.
constexpr unsigned long TAG_BITS = Node::INVALID_FORMAT_ERROR | Node::INVALID_END_TAG_ERROR |
                                   Node::MISMATCHED_END_TAG_ERROR | Node::MISSING_END_TAG_ERROR |
                                   Node::UNNECESSARY_END_TAG_ERROR | Node::INVALID_ATTR_ERROR |
                                   Node::MISMATCHED_ERROR;
constexpr unsigned long ONLY_END_TAG_BITS = Node::MISSING_START_TAG_ERROR | Node::UNNECESSARY_END_TAG_ERROR;

bool isDeclaredEmpty(const Element* element)
{
    const ElementType* type = element->getElementType();
    return type && type->getContainerType() == ContentModel::EMPTY_CONTENT;
}

} // namespace

VXMLCorrectionPass::VXMLCorrectionPass(Document& document, Node* start)
    : _state(document), _corrector(start), _start(start)
{
}

VXMLCorrectionPass::~VXMLCorrectionPass()
{
    for (Node* node : _visits)
        node->releaseRef();
}

bool VXMLCorrectionPass::run()
{
    // A repair can misplace nodes it did not list (what an emptied element
    // held, what a promotion split off): they are listed and repaired in a
    // further round, a few rounds at most.
    constexpr int ROUNDS = 4;
    std::size_t done = 0;
    for (int round = 0; round < ROUNDS; ++round) {
        collect();
        if (done == _visits.size())
            break;
        for (std::size_t i = done; i < _visits.size(); ++i)
            closeMarkup(_visits[i]);
        for (; done < _visits.size(); ++done)
            correct(_visits[done]);
        _state.recheckMoved([this](Node* n) { _listed.erase(n); }, [](Node* n) { return n; });
    }
    if (_state.changed())
        closeOpenElements();
    return _state.changed();
}

void VXMLCorrectionPass::closeOpenElements()
{
    std::vector<Node*> pending{_start};
    while (!pending.empty()) {
        Node* n = pending.back();
        pending.pop_back();
        if (n->getNodeType() == Node::ELEMENT_NODE) {
            Element* e = static_cast<Element*>(n);
            // A copy a promotion split off carries the errors of what it
            // was copied from.
            repairTags(e);
            if (e->hasStartTag() && !e->hasEndTag() && !e->isEmptyTag() && !TagRepair::holdsRawContent(e)) {
                if (isDeclaredEmpty(e) && !e->hasChildNodes())
                    e->setEmptyTag(true);
                else
                    ElementAccess::writeMatchingEndTag(*e);
                _state.noteChange();
            }
        }
        for (Node* child = n->getLastChild(); child; child = child->getPreviousSibling())
            pending.push_back(child);
    }
}

void VXMLCorrectionPass::collect()
{
    std::vector<Node*> pending{_start};
    while (!pending.empty()) {
        Node* n = pending.back();
        pending.pop_back();
        if (n != &_state.document() && n->getErrorState() != Node::NONE_ERROR && _listed.insert(n).second) {
            n->addRef();
            _visits.push_back(n);
        }
        for (Node* child = n->getLastChild(); child; child = child->getPreviousSibling())
            pending.push_back(child);
    }
}

void VXMLCorrectionPass::closeMarkup(Node* n)
{
    if (_state.isGone(n))
        return;
    switch (n->getNodeType()) {
    case Node::TEXT_NODE:
        if (n->getErrorState() & Node::INVALID_CHAR_ERROR) {
            // The bare markup characters are written as references.
            static_cast<Text*>(n)->correctSource();
            _state.noteChange();
        }
        break;
    case Node::ELEMENT_NODE:
        if (n->getErrorState() & Node::INVALID_FORMAT_ERROR) {
            // A tag or block cut short: its tags are produced again.
            TagRepair::regenerateTags(static_cast<Element*>(n));
            _state.noteChange();
        }
        break;
    default:
        // A comment, CDATA section, instruction or declaration that ran to
        // the end of the page is written again from what it holds.
        if (n->getErrorState() & Node::INVALID_FORMAT_ERROR) {
            n->formatSource();
            clear(n, Node::INVALID_FORMAT_ERROR);
            _state.noteChange();
        }
        break;
    }
}

void VXMLCorrectionPass::correct(Node* n)
{
    if (_state.isGone(n))
        return;
    if (n->getNodeType() == Node::ELEMENT_NODE) {
        correctElement(static_cast<Element*>(n));
        return;
    }
    place(n);
}

void VXMLCorrectionPass::place(Node* n)
{
    if (!(n->getErrorState() & Node::INVALID_CONTENT_ERROR))
        return;
    Node* parent = n->getParentNode();
    if (parent && parent->canContain(n)) {
        clear(n, Node::INVALID_CONTENT_ERROR);
        return;
    }
    Node* before = n->getPreviousSibling();
    _corrector.promote(n);
    if (n->getParentNode() != parent || n->getPreviousSibling() != before) {
        _state.noteChange();
        _state.noteMoved(n);
    }
}

void VXMLCorrectionPass::correctElement(Element* e)
{
    // An element that only had an end tag, or an unneeded one, and holds
    // nothing goes.
    if ((e->getErrorState() & ONLY_END_TAG_BITS) && !e->hasChildNodes()) {
        _state.deleteNode(e);
        return;
    }
    // What an element declared empty holds goes after it, before the
    // element itself finds its place.
    if (isDeclaredEmpty(e) && e->hasChildNodes() && e->getParentNode()) {
        Node* next = e->getNextSibling();
        Node* children = e->removeChildNodes(nullptr, nullptr);
        if (children) {
            e->getParentNode()->insertAfter(children, e);
            _state.noteChange();
            for (Node* c = e->getNextSibling(); c && c != next; c = c->getNextSibling())
                _state.noteMoved(c);
        }
    }
    place(e);
    repairTags(e);
}

void VXMLCorrectionPass::repairTags(Element* e)
{
    if (e->getErrorState() & (TAG_BITS | ONLY_END_TAG_BITS)) {
        TagRepair::regenerateTags(e);
        TagRepair::regenerateEndTag(e);
        clear(e, TAG_BITS | ONLY_END_TAG_BITS);
        _state.noteChange();
    }
}

void VXMLCorrectionPass::clear(Node* node, unsigned long bits)
{
    if (node->getErrorState() & bits) {
        NodeAccess::clearErrorState(*node, bits);
        _state.noteChange();
    }
}

} // namespace pagedom
