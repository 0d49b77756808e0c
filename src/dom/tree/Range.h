// A span of a page between two positions, each a container and an offset in it.
#ifndef PAGEDOM_TREE_RANGE_H
#define PAGEDOM_TREE_RANGE_H

#include <string>

class Element;
class Node;

namespace dom {

// Two positions of a tree, start and end, each a container node and an
// offset in it: a child index in an element or document, a character offset
// in character data.  A range holds one reference on each container it has,
// so a container outlives its removal from the tree while a range names it.
//
// A source range is one built with end-tag flags: a position whose flag is
// set denotes the end tag of its container rather than a place between
// children.  A range is valid once its ends are known to be in document
// order: validate() and the select operations make it so, and changing
// either end makes it invalid again.
class Range {
public:
    // An empty range, not a source range.
    Range();
    // An empty range; a source range when sourceRange.
    explicit Range(bool sourceRange);
    // A range collapsed at (container, offset), not a source range.
    Range(Node* container, unsigned long offset);
    // A source range collapsed at (container, offset), both ends at the end
    // tag when endTag.
    Range(Node* container, unsigned long offset, bool endTag);
    // A range from (startContainer, startOffset) to (endContainer,
    // endOffset), not a source range.
    Range(Node* startContainer, unsigned long startOffset, Node* endContainer, unsigned long endOffset);
    // A source range from the start to the end position, each with its
    // end-tag flag.
    Range(Node* startContainer, unsigned long startOffset, bool startIsEndTag, Node* endContainer,
          unsigned long endOffset, bool endIsEndTag);
    // A copy with its own references on the containers.
    Range(const Range& other);
    // Takes the other range's ends and flags (referencing its containers)
    // and lets go of this one's containers; safe on itself.
    Range& operator=(const Range& other);
    // Releases the containers (see detach).
    ~Range();

    // The start container, or null.
    Node* startContainer() const { return _startContainer; }
    // The offset of the start in its container.
    unsigned long startOffset() const { return _startOffset; }
    // The end container, or null.
    Node* endContainer() const { return _endContainer; }
    // The offset of the end in its container.
    unsigned long endOffset() const { return _endOffset; }
    // Whether the range was built with end-tag flags.
    bool isSourceRange() const { return _sourceRange; }
    // Whether the start denotes the end tag of its container.
    bool startIsEndTag() const { return _startIsEndTag; }
    // Whether the end denotes the end tag of its container.
    bool endIsEndTag() const { return _endIsEndTag; }
    // Whether the ends are known to be in document order (see validate).
    bool isValid() const { return _valid; }

    // Moves the start to (container, offset), off the end tag; the range
    // becomes invalid.
    void setStart(Node* container, unsigned long offset);
    // Moves the start to (container, offset) with the end-tag flag endTag;
    // the range becomes invalid.
    void setStart(Node* container, unsigned long offset, bool endTag);
    // Moves the end to (container, offset), off the end tag; the range
    // becomes invalid.
    void setEnd(Node* container, unsigned long offset);
    // Moves the end to (container, offset) with the end-tag flag endTag;
    // the range becomes invalid.
    void setEnd(Node* container, unsigned long offset, bool endTag);
    // Moves the start just before node: its parent and its index there;
    // (null, 0) when node has no parent.
    void setStartBefore(Node* node);
    // Moves the start just after node: its parent and its index plus one;
    // (null, 0) when node has no parent.
    void setStartAfter(Node* node);
    // Moves the end just before node, as setStartBefore does the start.
    void setEndBefore(Node* node);
    // Moves the end just after node, as setStartAfter does the start.
    void setEndAfter(Node* node);
    // Spans node from just before to just after it; valid when node has a
    // parent.
    void selectNode(Node* node);
    // Spans the children of node, (node, 0) to (node, child count); valid
    // when node is not null.
    void selectNodeContents(Node* node);
    // Moves the end onto the start (toStart) or the start onto the end,
    // with its end-tag flag; valid when the start container is not null.
    void collapse(bool toStart);

    // Whether both ends have the same container, offset and end-tag flag.
    bool isCollapsed() const;
    // The container of both ends when it is the same, else the nearest
    // node containing both; null when either end has no container.
    Node* commonAncestorContainer() const;
    // The element holding the start: its container when that is an
    // element, else the nearest element ancestor; null when none.
    Element* getStartParent() const;
    // The element holding the end, as getStartParent for the start.
    Element* getEndParent() const;
    // The element holding both ends when it is the same one (or the range
    // is collapsed); null otherwise.
    Element* getCommonParent() const;

    // Swaps the ends when they are out of document order (unless the range
    // is valid already), then marks the range valid.
    void validate();
    // A copy of the range.
    Range cloneRange() const;
    // Releases both containers and clears every field.
    void detach();
    // Does nothing: a range never changes the tree.
    void insertNode(Node* node);
    // The empty string: a range has no text of its own.
    std::string toString() const;

private:
    // The element holding a position in node: node when it is an element,
    // else its nearest element ancestor; null when none.
    static Element* _getParentNode(Node* node);
    // Whether the start comes after the end in document order (both
    // containers set).
    bool _isReversed() const;
    // Points field at node: takes a reference on node first (so a node
    // that field already names survives), then releases what field held.
    static void _replace(Node*& field, Node* node);

    Node* _startContainer = nullptr;
    unsigned long _startOffset = 0;
    Node* _endContainer = nullptr;
    unsigned long _endOffset = 0;
    bool _sourceRange = false;
    bool _startIsEndTag = false;
    bool _endIsEndTag = false;
    bool _valid = false;
};

} // namespace dom

#endif
