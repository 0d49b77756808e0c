// The document's error list, its severity, and the repairs it offers.
#include "tree/Document.h"

#include <vector>

#include "tree/Element.h"
#include "tree/NodeCorrector.h"

namespace {

// The name of the VoiceXML document, the other document that is repaired.
const char* const VXML_NAME = "VXML";

} // namespace

const std::vector<DOMError>& Document::getErrorList() const
{
    // One list per thread: documents on other threads fill their own.
    thread_local std::vector<DOMError> list;
    list.clear();
    ErrorCollector collector(const_cast<Document*>(this));
    for (DOMError error = collector.nextError(NONE_ERROR); error.node; error = collector.nextError(NONE_ERROR)) {
        // An element that adopted content it may not hold reports it on the
        // adopted nodes.
        if (error.node->getNodeType() == ELEMENT_NODE && (error.node->getErrorState() & ADOPTING_ERROR))
            continue;
        list.push_back(error);
    }
    return list;
}

bool Document::hasSevereError() const
{
    unsigned long state = getErrorState();
    // Under XML rules an end tag that closes other elements is how the
    // document is written, not an error of note.
    if (_formatType != HTML_FORMAT)
        state &= ~(MISMATCHED_ERROR | MISMATCHED_END_TAG_ERROR);
    return state > FORMAT_ERROR_LEVEL;
}

Node* Document::adaptNode(Node* node)
{
    pagedom::NodeCorrector* corrector = pagedom::NodeCorrector::installed();
    if (!corrector || !_isHTML || !node || node->getOwnerDocument() != this)
        return nullptr;
    return corrector->adaptHTML(*this, node);
}

bool Document::correctError(Node* node)
{
    pagedom::NodeCorrector* corrector = pagedom::NodeCorrector::installed();
    Node* start = node ? node : this;
    const bool voiceXML = _name() == VXML_NAME;
    if (!corrector || !(_isHTML || voiceXML) || start->getDocument() != this)
        return false;
    // A page just read has every node marked created, which would make the
    // tidying afterwards go over the whole page: the marks are cleared so
    // that it sees only what the repair changed, and put back after.
    const bool asRead = start == this && _adjustNeeded;
    if (asRead) {
        Node::_beginReading();
        Node::_beginMarkReset();
        _resetMarksBelow(this, true);
        Node::_endMarkReset();
        Node::_endReading();
        _forgetTouched();
        _marksUntracked = (_recordState & RECORD_DISABLED) != 0;
        _adjustNeeded = false;
    }
    const bool changed = _isHTML ? corrector->correctHTML(*this, start) : corrector->correctVXML(*this, start);
    clearErrorState(getErrorState());
    adjustNodes(node, false);
    if (asRead) {
        _markEveryNodeCreated();
        _adjustNeeded = true;
    }
    return changed;
}

void Document::_markEveryNodeCreated()
{
    std::vector<Node*> pending{this};
    while (!pending.empty()) {
        Node* n = pending.back();
        pending.pop_back();
        n->_updateState = UPDATE_CREATED;
        for (Node* child = n->getLastChild(); child; child = child->getPreviousSibling())
            pending.push_back(child);
    }
    _marksUntracked = true;
}
