// The interface through which Document::adaptNode reaches the error
// correction layer.
#ifndef PAGEDOM_TREE_NODECORRECTOR_H
#define PAGEDOM_TREE_NODECORRECTOR_H

class Document;
class Node;

namespace pagedom {

// The repairs of misplaced nodes.  The document offers them to the host;
// they build implied elements from the document type's rules, so the
// correction layer implements them and the library frame installs them.
// Without an installed corrector nothing is repaired.
class NodeCorrector {
public:
    virtual ~NodeCorrector() {}

    // The HTML adaptation of node, whose parent is an element of document
    // that may not hold it: node is moved into an adaptor standing before
    // it, or wrapped in new implied elements (marked UPDATE_ADAPTED).  The
    // element that now holds node, or null when nothing fits.
    virtual Node* adaptHTML(Document& document, Node* node) = 0;
    // The HTML correction of the subtree of start (a node of document, or
    // the document itself): misplaced nodes moved or adapted, what cannot
    // be kept removed, duplicated unique elements merged, tags of repaired
    // elements produced again, the error bits dealt with cleared.  Whether
    // anything changed.
    virtual bool correctHTML(Document& document, Node* start) = 0;
    // The VoiceXML correction of the subtree of start (a node of document,
    // or the document itself): misplaced nodes put into the adaptors
    // VoiceXML implies or moved up, stray end tags removed, tags of
    // repaired elements produced again, markup left open closed, the error
    // bits dealt with cleared.  Whether anything changed.
    virtual bool correctVXML(Document& document, Node* start) = 0;

    // The installed corrector, or null.
    static NodeCorrector* installed();
    // Installs corrector (not owned; it must live as long as it is used).
    static void install(NodeCorrector* corrector);
};

} // namespace pagedom

#endif
