// Walking a tree for the nodes that carry errors, counting source lines.
#include "tree/ErrorCollector.h"

#include "node/Node.h"
#include "node/NodeAccess.h"

namespace {

bool isLineEnd(char c)
{
    return c == '\n' || c == '\r';
}

bool isWhite(char c)
{
    return c == ' ' || c == '\t' || isLineEnd(c);
}

} // namespace

ErrorCollector::ErrorCollector(Node* root) : _root(root), _current(root), _lineNumber(1), _afterCR(false) {}

DOMError ErrorCollector::nextError(unsigned long level)
{
    while (_nextNode()) {
        if (_current->getErrorState() > level)
            return DOMError{_current, _line()};
    }
    return DOMError{nullptr, 0};
}

void ErrorCollector::_count(const std::string& piece)
{
    for (char c : piece) {
        if (c == '\n') {
            if (!_afterCR)
                ++_lineNumber;
            _afterCR = false;
        } else if (c == '\r') {
            ++_lineNumber;
            _afterCR = true;
        } else {
            _afterCR = false;
        }
    }
}

bool ErrorCollector::_nextNode()
{
    Node* n = _current;
    if (!n)
        return false;
    // What the current node writes before its children (an element's start
    // tag, a leaf's whole source) comes before the next node.
    std::string piece;
    pagedom::NodeAccess::writeStart(*n, piece);
    _count(piece);
    if (pagedom::NodeAccess::writesChildren(*n) && n->getFirstChild()) {
        _current = n->getFirstChild();
        return true;
    }
    // Leaving n and every ancestor it ends: their end tags come first.
    while (n && n != _root) {
        piece.clear();
        pagedom::NodeAccess::writeEnd(*n, piece);
        _count(piece);
        if (Node* next = n->getNextSibling()) {
            _current = next;
            return true;
        }
        n = n->getParentNode();
    }
    _current = nullptr;
    return false;
}

unsigned long ErrorCollector::_line() const
{
    if (_current->getNodeType() != Node::TEXT_NODE)
        return _lineNumber;
    // A text's error shows at its first character that is not white space.
    std::string source;
    pagedom::NodeAccess::writeStart(*_current, source);
    unsigned long line = _lineNumber;
    bool afterCR = _afterCR;
    for (char c : source) {
        if (!isWhite(c))
            break;
        if (c == '\n' && !afterCR)
            ++line;
        else if (c == '\r')
            ++line;
        afterCR = c == '\r';
    }
    return line;
}
