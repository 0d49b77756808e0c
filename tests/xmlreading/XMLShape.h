#ifndef PAGEDOM_TESTS_XMLSHAPE_H
#define PAGEDOM_TESTS_XMLSHAPE_H

// Reading XML text into documents, pictures of the trees, and the pieces
// of text a tree writes (the tests and the fuzz target use them).
#include <string>
#include <vector>

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

// Everything reading decides about a tree but the update marks (which tell
// how the tree came to be): kinds, names, error bits, tags, attributes,
// text data and the source each node writes.
inline std::string dump(const Document* doc)
{
    std::string out;
    for (const Node* n = doc; n; n = n->getNextNode(doc)) {
        int depth = 0;
        for (const Node* p = n->getParentNode(); p; p = p->getParentNode())
            ++depth;
        out += std::string(static_cast<std::size_t>(depth), ' ') + std::to_string(n->getNodeType()) + " " +
               n->getNodeName() + " e" + std::to_string(n->getErrorState());
        if (n->getNodeType() == Node::ELEMENT_NODE) {
            const Element* e = static_cast<const Element*>(n);
            out += " [" + e->getStartTag() + "][" + e->getEndTag() + "]" + (e->isEmptyTag() ? " empty" : "");
            dom::NodeList attrs = e->getAttrNodes();
            for (unsigned long i = 0; i < attrs.length(); ++i) {
                const Attr* a = static_cast<const Attr*>(attrs.item(i));
                out += " @" + a->getName() + "=" + a->getValue() + " e" + std::to_string(a->getErrorState());
            }
        } else if (n->getNodeType() == Node::TEXT_NODE) {
            out += " '" + static_cast<const Text*>(n)->getData() + "'";
        }
        out += " {" + n->getSource() + "}\n";
    }
    return out;
}

// One piece of the text a tree writes, and where a source-range position
// falls: the piece's index and the offset into it.
struct Piece {
    const Node* node;
    bool end;  // an element's end text rather than its start text or whole
    std::string text;
};

inline std::vector<Piece> piecesOf(const Document* doc)
{
    std::vector<Piece> pieces;
    const Node* n = doc->getFirstChild();
    while (n) {
        if (n->getNodeType() == Node::ELEMENT_NODE) {
            pieces.push_back(Piece{n, false, static_cast<const Element*>(n)->getStartTag()});
            if (n->getFirstChild()) {
                n = n->getFirstChild();
                continue;
            }
            pieces.push_back(Piece{n, true, static_cast<const Element*>(n)->getEndTag()});
        } else {
            pieces.push_back(Piece{n, false, n->getSource()});
        }
        while (n && !n->getNextSibling()) {
            n = n->getParentNode();
            if (n && n != doc)
                pieces.push_back(Piece{n, true, static_cast<const Element*>(n)->getEndTag()});
            else
                n = nullptr;
        }
        if (n)
            n = n->getNextSibling();
    }
    return pieces;
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
