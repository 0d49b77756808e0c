// The errors the readers marked on a tree, with the source line of each.
#ifndef PAGEDOM_TREE_ERRORCOLLECTOR_H
#define PAGEDOM_TREE_ERRORCOLLECTOR_H

#include <string>

class Node;

// One node that carries errors (its error state says which), and the
// 1-based line of the page it stands on.
struct DOMError {
    Node* node;          // not owned
    unsigned long line;  // 0 with a null node: no more errors
};

// Walks a tree in document order and hands out the nodes whose error state
// passes a level, each with its source line.  Lines are counted over the
// page as the tree writes it (every tag and text, in order), a CR LF, a
// lone LF or a lone CR being one line break, so the line is the one a host
// shows for the node's first byte.  Copies walk on independently.
class ErrorCollector {
public:
    // A collector at root, on line 1.
    explicit ErrorCollector(Node* root);
    ErrorCollector(const ErrorCollector& other) = default;
    ErrorCollector& operator=(const ErrorCollector& other) = default;

    // The next node after the current one, in document order below the
    // root, whose error state (as a number) is greater than level, with its
    // line; a null node and line 0 at the end.
    DOMError nextError(unsigned long level);

private:
    // Moves to the next node in document order, counting the line breaks
    // of everything written before it; false at the end.
    bool _nextNode();
    // The line of the current node: for a text, the line of its first
    // character that is not white space.
    unsigned long _line() const;

    // Counts the line breaks of piece, written after what was counted.
    void _count(const std::string& piece);

    Node* _root;
    Node* _current;
    unsigned long _lineNumber;
    // Whether the last byte counted was a CR: an LF right after it is the
    // same line break, even in the next piece.
    bool _afterCR;
};

#endif
