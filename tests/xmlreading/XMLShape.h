#ifndef PAGEDOM_TESTS_XMLSHAPE_H
#define PAGEDOM_TESTS_XMLSHAPE_H

// Reading XML text into documents, and compact pictures of the trees.
#include <string>

#include "dom.h"

namespace xmlshape {

// A compact picture of the tree below node: elements by name with their
// children in brackets, texts as 'data' (escapes shown as a backslash, and
// CR LF as "crlf" when asked), comments as !c, CDATA sections as [], processing
// instructions as ?target, entity references and DOCTYPEs by name.
inline std::string shape(const Node* node, bool crlf = false)
{
    std::string out;
    const Node* n = node->getFirstChild();
    while (n) {
        if (!out.empty() && out.back() != '(')
            out += ' ';
        switch (n->getNodeType()) {
        case Node::TEXT_NODE: {
            const std::string data = static_cast<const Text*>(n)->getData();
            out += '\'';
            for (std::size_t i = 0; i < data.size(); ++i) {
                if (crlf && data.compare(i, 2, "\r\n") == 0) {
                    out += "crlf";
                    ++i;
                } else {
                    out += data[i] == '\x1b' ? '\\' : data[i];
                }
            }
            out += '\'';
            break;
        }
        case Node::COMMENT_NODE:
            out += "!c";
            break;
        case Node::CDATA_SECTION_NODE:
            out += "[]";
            break;
        case Node::PROCESSING_INSTRUCTION_NODE:
            out += "?" + n->getNodeName();
            break;
        default:
            out += n->getNodeName();
            break;
        }
        if (n->getNodeType() == Node::ELEMENT_NODE && n->getFirstChild()) {
            out += '(';
            n = n->getFirstChild();
            continue;
        }
        while (n != node && !n->getNextSibling()) {
            n = n->getParentNode();
            if (n != node)
                out += ')';
        }
        n = n == node ? nullptr : n->getNextSibling();
    }
    return out;
}

// A document of a kind read from text, released at the end.
struct Doc {
    Doc(const char* kind, const std::string& page, DOMImpl::JSPVersion version = DOMImpl::JSP_NONE,
        Document::DocumentFormatType format = Document::HTML_FORMAT)
        : text(page), doc(DOMImpl::createDocument(kind, version))
    {
        doc->FormatType(format);
        doc->createNodes(page.data(), static_cast<unsigned long>(page.size()), nullptr);
    }
    ~Doc() { DOM::getDOM()->deleteDocument(doc); }
    Doc(const Doc&) = delete;
    Doc& operator=(const Doc&) = delete;

    // Whether the document writes back the text it read, as a whole and node
    // by node.
    bool roundTrips() const { return doc->getSource() == text && doc->getChildSource() == text; }

    std::string text;
    Document* doc;
};

} // namespace xmlshape

#endif
