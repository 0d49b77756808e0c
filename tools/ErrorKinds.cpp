// The error bits of nodes, named for the pagedom tool's output.
#include "ErrorKinds.h"

#include <cstdio>

#include "dom.h"

namespace tool {

namespace {

struct ErrorBit {
    unsigned long bit;
    const char* name;   // as the tree view shows it
    const char* words;  // as the check command reports it
};

const ErrorBit ERROR_BITS[] = {
    {Node::UNDEFINED_NAME_ERROR, "UNDEFINED_NAME", "undefined name"},
    {Node::UNDEFINED_VALUE_ERROR, "UNDEFINED_VALUE", "undefined value"},
    {Node::UNDEFINED_ATTR_ERROR, "UNDEFINED_ATTR", "undefined attribute"},
    {Node::INVALID_NAME_ERROR, "INVALID_NAME", "invalid name"},
    {Node::INVALID_CHAR_ERROR, "INVALID_CHAR", "invalid character"},
    {Node::MISMATCHED_ERROR, "MISMATCHED", "mismatched"},
    {Node::MISMATCHED_END_TAG_ERROR, "MISMATCHED_END_TAG", "mismatched end tag"},
    {Node::MISSING_START_TAG_ERROR, "MISSING_START_TAG", "missing start tag"},
    {Node::MISSING_END_TAG_ERROR, "MISSING_END_TAG", "missing end tag"},
    {Node::UNNECESSARY_END_TAG_ERROR, "UNNECESSARY_END_TAG", "unnecessary end tag"},
    {Node::INVALID_FORMAT_ERROR, "INVALID_FORMAT", "invalid format"},
    {Node::INVALID_END_TAG_ERROR, "INVALID_END_TAG", "invalid end tag"},
    {Node::INVALID_ATTR_ERROR, "INVALID_ATTR", "invalid attribute"},
    {Node::INVALID_DIRECTIVE_ERROR, "INVALID_DIRECTIVE", "invalid directive"},
    {Node::INVALID_CONTENT_ERROR, "INVALID_CONTENT", "invalid content"},
    {Node::DUPLICATE_ERROR, "DUPLICATE", "duplicate"},
    {Node::COEXISTENCE_ERROR, "COEXISTENCE", "coexistence"},
    {Node::ADOPTING_ERROR, "ADOPTING", "adopting"},
    {Node::DESERTED_ERROR, "DESERTED", "deserted"},
};

// The bits of state, each as field gives it, joined by separator; bits
// without a name in hex.
std::string describeBits(unsigned long state, const char* ErrorBit::*field, const char* separator)
{
    std::string out;
    unsigned long rest = state;
    for (const ErrorBit& e : ERROR_BITS) {
        if (!(state & e.bit))
            continue;
        if (!out.empty())
            out += separator;
        out += e.*field;
        rest &= ~e.bit;
    }
    if (rest) {
        char hex[32];
        std::snprintf(hex, sizeof hex, "0x%lX", rest);
        if (!out.empty())
            out += separator;
        out += hex;
    }
    return out;
}

} // namespace

std::string errorNames(unsigned long state)
{
    return describeBits(state, &ErrorBit::name, " ");
}

std::string errorWords(unsigned long state)
{
    return describeBits(state, &ErrorBit::words, ", ");
}

std::string nodeLabel(const Node* node)
{
    switch (node->getNodeType()) {
    case Node::ELEMENT_NODE:
        return "element " + node->getNodeName();
    case Node::TEXT_NODE:
        return "text";
    case Node::COMMENT_NODE:
        return "comment";
    case Node::CDATA_SECTION_NODE:
        return "CDATA section";
    case Node::DOCUMENT_TYPE_NODE:
        return "DOCTYPE " + node->getNodeName();
    case Node::PROCESSING_INSTRUCTION_NODE:
        return "processing instruction " + node->getNodeName();
    case Node::ENTITY_REFERENCE_NODE:
        return "reference &" + node->getNodeName() + ";";
    default:
        return node->getNodeName();
    }
}

} // namespace tool
