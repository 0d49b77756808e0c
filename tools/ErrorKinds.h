// The error bits of nodes, named for the pagedom tool's output.
#ifndef PAGEDOM_TOOLS_ERRORKINDS_H
#define PAGEDOM_TOOLS_ERRORKINDS_H

#include <string>

class Node;

namespace tool {

// The names of the error bits set in an error word, separated by spaces
// ("MISSING_END_TAG INVALID_CONTENT"); bits without a name are shown in hex.
std::string errorNames(unsigned long state);

// The same bits in words, separated by commas ("missing end tag, invalid
// content"), as the check command reports them.
std::string errorWords(unsigned long state);

// How the check command names a node: "element NAME", "text", "comment",
// "DOCTYPE NAME" and so on.
std::string nodeLabel(const Node* node);

} // namespace tool

#endif
