// The document's error list, its severity, and the repairs it offers.
#include "tree/Document.h"

#include "tree/Element.h"
#include "tree/NodeCorrector.h"

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
