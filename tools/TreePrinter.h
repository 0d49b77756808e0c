// The tree view of the pagedom tool: one line per node.
#ifndef PAGEDOM_TOOLS_TREEPRINTER_H
#define PAGEDOM_TOOLS_TREEPRINTER_H

#include <cstdio>
#include <string>

class MetaData;
class Node;

namespace tool {

// One line describing a node (without indentation or line break): its kind,
// its name and what matters for that kind of node, then its error bits.
std::string describeNode(const Node* node);
// The line shown under an element that carries metadata: "% metadata", the
// type, an excerpt of the run-time text, the visual's element and whether
// the comments are still to be written.
std::string describeMetaData(const MetaData* meta);

// Prints the subtree of root, one node per line, each indented two spaces
// per level below root, an element's attributes on lines of their own
// directly below it.  The walk follows sibling and parent links, so any
// depth of nesting is fine; lines deeper than a fixed indentation limit
// carry their depth as a number instead of more spaces.
void printTree(const Node* root, std::FILE* out);

} // namespace tool

#endif
