// The interface through which Node::formatSource reaches the writing layer.
#ifndef PAGEDOM_NODE_SUBTREEFORMATTER_H
#define PAGEDOM_NODE_SUBTREEFORMATTER_H

class Node;

namespace pagedom {

// The formatting of a subtree.  Node::formatSource hands its descendants to
// the formatter installed here; the writing layer implements it and the
// library frame installs it, so that the node core need not know how texts
// are laid out.  Without an installed formatter formatting does nothing.
class SubtreeFormatter {
public:
    virtual ~SubtreeFormatter() {}

    // Formats every descendant of root: each produces its own source again
    // and the texts between them are laid out under the formatting options.
    virtual void formatDescendants(Node* root) = 0;

    // The installed formatter, or null.
    static SubtreeFormatter* installed();
    // Installs formatter (not owned; it must live as long as it is used).
    static void install(SubtreeFormatter* formatter);
};

} // namespace pagedom

#endif
