// The interface through which Document::adjustNodes reaches the tidying
// walk of the editing layer.
#ifndef PAGEDOM_TREE_NODEADJUSTER_H
#define PAGEDOM_TREE_NODEADJUSTER_H

class Document;
class Node;

namespace pagedom {

// The walk that tidies a subtree of the HTML document after edits: emptied
// and redundant formatting elements go, duplicated table parts are merged,
// adjacent texts are joined and line breaks are placed around block
// elements.  The document keeps its own part of the pass (its flags, the
// pending node); the walk needs the text formatter of the writing layer,
// so the editing layer implements it and the library frame installs it.
// Without an installed adjuster adjusting changes nothing.
class NodeAdjuster {
public:
    virtual ~NodeAdjuster() {}

    // Tidies the descendants of root, a node of document; full visits every
    // node and lays every text out again, otherwise only the changed nodes
    // are visited.  True when the tree changed.
    virtual bool adjust(Document& document, Node* root, bool full) = 0;

    // The installed adjuster, or null.
    static NodeAdjuster* installed();
    // Installs adjuster (not owned; it must live as long as it is used).
    static void install(NodeAdjuster* adjuster);
};

} // namespace pagedom

#endif
