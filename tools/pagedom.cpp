// pagedom: command-line front end of the library.
#include <cstdio>
#include <cstring>
#include <string>

#include "dom.h"

namespace {

const char* const VERSION = "0.1.0";

void usage(FILE* out)
{
    std::fprintf(out,
                 "usage: pagedom COMMAND [OPTIONS]\n"
                 "\n"
                 "commands:\n"
                 "  tree      build a small sample page tree through the API and print it\n"
                 "\n"
                 "options:\n"
                 "  --help     show this text\n"
                 "  --version  show the version\n");
}

std::string errorNames(unsigned long state)
{
    static const struct {
        unsigned long bit;
        const char* name;
    } names[] = {
        {Node::UNDEFINED_NAME_ERROR, "UNDEFINED_NAME"},
        {Node::UNDEFINED_VALUE_ERROR, "UNDEFINED_VALUE"},
        {Node::UNDEFINED_ATTR_ERROR, "UNDEFINED_ATTR"},
        {Node::INVALID_NAME_ERROR, "INVALID_NAME"},
        {Node::INVALID_CHAR_ERROR, "INVALID_CHAR"},
        {Node::MISMATCHED_ERROR, "MISMATCHED"},
        {Node::MISMATCHED_END_TAG_ERROR, "MISMATCHED_END_TAG"},
        {Node::MISSING_START_TAG_ERROR, "MISSING_START_TAG"},
        {Node::MISSING_END_TAG_ERROR, "MISSING_END_TAG"},
        {Node::UNNECESSARY_END_TAG_ERROR, "UNNECESSARY_END_TAG"},
        {Node::INVALID_FORMAT_ERROR, "INVALID_FORMAT"},
        {Node::INVALID_END_TAG_ERROR, "INVALID_END_TAG"},
        {Node::INVALID_ATTR_ERROR, "INVALID_ATTR"},
        {Node::INVALID_DIRECTIVE_ERROR, "INVALID_DIRECTIVE"},
        {Node::INVALID_CONTENT_ERROR, "INVALID_CONTENT"},
        {Node::DUPLICATE_ERROR, "DUPLICATE"},
        {Node::COEXISTENCE_ERROR, "COEXISTENCE"},
        {Node::ADOPTING_ERROR, "ADOPTING"},
        {Node::DESERTED_ERROR, "DESERTED"},
    };
    std::string out;
    for (const auto& n : names) {
        if (state & n.bit) {
            out += out.empty() ? " [" : " ";
            out += n.name;
        }
    }
    if (!out.empty())
        out += "]";
    return out;
}

void printTree(const Node* root)
{
    // Depth is counted from the parent links, so the walk needs no recursion.
    for (const Node* n = root; n; n = n->getNextNode(root)) {
        int depth = 0;
        for (const Node* p = n->getParentNode(); p && n != root; p = p->getParentNode()) {
            ++depth;
            if (p == root)
                break;
        }
        std::string line(static_cast<std::size_t>(depth) * 2, ' ');
        line += std::to_string(n->getNodeType()) + " " + n->getNodeName();
        if (n->getNodeType() == Node::TEXT_NODE)
            line += " \"" + static_cast<const Text*>(n)->getData() + "\"";
        line += errorNames(n->getErrorState());
        std::printf("%s\n", line.c_str());
    }
}

int sampleTree()
{
    Document* doc = DOMImpl::createDocument("page");
    Element* root = doc->createElement("page");
    doc->appendChild(root);
    Element* title = doc->createElement("title");
    title->appendChild(doc->createTextNode("A sample"));
    root->appendChild(title);
    Element* list = doc->createElement("list");
    for (int i = 1; i <= 3; ++i) {
        Element* item = doc->createElement("item");
        item->setAttribute("n", std::to_string(i));
        item->appendChild(doc->createTextNode("entry " + std::to_string(i)));
        list->appendChild(item);
    }
    root->appendChild(list);
    root->appendChild(doc->createComment(" end of list "));
    printTree(doc);
    std::printf("\n%s\n", doc->getSource().c_str());
    DOM::getDOM()->deleteDocument(doc);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        usage(stderr);
        return 2;
    }
    std::string command = argv[1];
    if (command == "--help" || command == "-h") {
        usage(stdout);
        return 0;
    }
    if (command == "--version") {
        std::printf("pagedom %s\n", VERSION);
        return 0;
    }
    if (command == "tree")
        return sampleTree();
    std::fprintf(stderr, "pagedom: unknown command '%s' (see pagedom --help)\n", command.c_str());
    return 2;
}
