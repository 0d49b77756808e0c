#ifndef PAGEDOM_TESTS_FORMATPROPERTIES_H
#define PAGEDOM_TESTS_FORMATPROPERTIES_H

// What formatting a page must keep, checked on any page (the writing tests
// and the fuzz target use it): formatting its own output changes nothing;
// the shown text keeps every character but white space; server code,
// comments, CDATA sections, declarations and the tags of custom elements
// keep their bytes, in order; and the formatted page reads back as the tree
// formatting made.
#include <cstddef>
#include <string>
#include <vector>

#include "dom.h"

namespace formatcheck {

// One failed property: what, and the two texts that differ.
struct Failure {
    std::string what;
    std::string expected;
    std::string actual;
    explicit operator bool() const { return !what.empty(); }
};

inline Document* read(const std::string& page, DOMImpl::JSPVersion version)
{
    Document* doc = DOMImpl::createDocument("HTML", version);
    doc->createNodes(page.data(), static_cast<unsigned long>(page.size()), nullptr);
    return doc;
}

// Visits a tree in document order without recursion: enter(node, depth)
// before a node's children, leave(node) after them.  enter returns whether
// to visit the children.
template <class Enter, class Leave>
void walk(const Node* root, Enter enter, Leave leave)
{
    struct Frame {
        const Node* node;
        const Node* next;
    };
    std::vector<Frame> stack{{root, root->getFirstChild()}};
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (!top.next) {
            if (top.node != root)
                leave(top.node);
            stack.pop_back();
            continue;
        }
        const Node* n = top.next;
        top.next = n->getNextSibling();
        if (enter(n, stack.size()) && n->getFirstChild())
            stack.push_back(Frame{n, n->getFirstChild()});
        else
            leave(n);
    }
}

inline std::string lower(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + ('a' - 'A'));
    return s;
}

inline bool isWhiteValue(unsigned long v)
{
    return v == ' ' || (v >= '\t' && v <= '\r');
}

// The character values of data-form text (references decoded).
inline void appendValues(const std::string& data, std::vector<unsigned long>& out)
{
    const std::size_t n = data.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned char c = static_cast<unsigned char>(data[i]);
        if (c == static_cast<unsigned char>(PCDATA::ESC) && i + 1 < n) {
            out.push_back(static_cast<unsigned char>(data[i + 1]));
            i += 2;
        } else if (c == static_cast<unsigned char>(PCDATA::WIDE) && i + 3 < n) {
            const unsigned long high = static_cast<unsigned char>(data[i + 2]);
            const bool lowZero = data[i + 1] == PCDATA::ESC;
            out.push_back(lowZero ? high << 8 : (high << 8) | static_cast<unsigned char>(data[i + 3]));
            i += 4;
        } else {
            out.push_back(c);
            ++i;
        }
    }
}

// The non-white characters the page's texts show, in order.
inline std::vector<unsigned long> shownCharacters(const Document* doc)
{
    std::vector<unsigned long> values;
    walk(
        doc,
        [&values](const Node* n, std::size_t) {
            if (n->getNodeType() == Node::TEXT_NODE)
                appendValues(static_cast<const Text*>(n)->getData(), values);
            return true;
        },
        [](const Node*) {});
    std::vector<unsigned long> shown;
    for (unsigned long v : values)
        if (!isWhiteValue(v))
            shown.push_back(v);
    return shown;
}

inline bool isScriptCode(const Element* e)
{
    const ElementType* type = e->getElementType();
    return (type && type->getFormatType() == ElementType::FORMAT_JSP_BLOCK) || e->getStartTag().rfind("<%", 0) == 0;
}

// Whether formatting keeps the element's tags as the page wrote them: tags
// of custom and unknown elements, declarations and marked sections, JSP
// actions, server-side includes.
inline bool keepsTags(const Element* e)
{
    const ElementType* type = e->getElementType();
    return !type || e->isJSPElement() || type->getFormatType() == ElementType::FORMAT_SSI_DIRECTIVE;
}

// What formatting keeps byte for byte, in document order: JSP blocks and
// directives whole, the tags of the elements above, comments, CDATA
// sections, processing instructions, references and declarations.
inline std::vector<std::string> keptPieces(const Document* doc)
{
    std::vector<std::string> pieces;
    walk(
        doc,
        [&pieces](const Node* n, std::size_t) {
            switch (n->getNodeType()) {
            case Node::ELEMENT_NODE: {
                const Element* e = static_cast<const Element*>(n);
                if (isScriptCode(e)) {
                    pieces.push_back(e->getSource());
                    return false;
                }
                if (keepsTags(e))
                    pieces.push_back(e->getStartTag());
                return true;
            }
            case Node::TEXT_NODE:
                return false;
            default:
                pieces.push_back(n->getSource());
                return false;
            }
        },
        [&pieces](const Node* n) {
            if (n->getNodeType() == Node::ELEMENT_NODE) {
                const Element* e = static_cast<const Element*>(n);
                if (!isScriptCode(e) && keepsTags(e))
                    pieces.push_back(e->getEndTag());
            }
        });
    return pieces;
}

inline std::string joined(const std::vector<std::string>& pieces)
{
    std::string out;
    for (const std::string& piece : pieces)
        out += "[" + piece + "]\n";
    return out;
}

inline std::string joined(const std::vector<unsigned long>& values)
{
    std::string out;
    for (unsigned long v : values)
        out += (v >= 0x20 && v < 0x7f) ? std::string(1, static_cast<char>(v)) : "{" + std::to_string(v) + "}";
    return out;
}

// The tree a page reads as: kinds, names (ignoring case), tags, attributes
// (names ignoring case, enumerated values ignoring case) and the source of
// every other node.  Error and update states are left out.
inline std::string treePicture(const Document* doc)
{
    std::string out;
    walk(
        doc,
        [&out](const Node* n, std::size_t depth) {
            out += std::to_string(depth) + " " + std::to_string(n->getNodeType()) + " " + lower(n->getNodeName());
            if (n->getNodeType() == Node::ELEMENT_NODE) {
                const Element* e = static_cast<const Element*>(n);
                out += " #" + std::to_string(e->getElementID()) + " [" + e->getStartTag() + "][" + e->getEndTag() +
                       "]" + (e->isEmptyTag() ? " empty" : "");
                dom::NodeList attrs = e->getAttrNodes();
                for (unsigned long i = 0; i < attrs.length(); ++i) {
                    const Attr* a = static_cast<const Attr*>(attrs.item(i));
                    const AttrType* type = a->getAttrType();
                    const bool enumerated = type && type->getValueType() == AttrType::NAME_GROUP_TYPE;
                    out += " @" + lower(a->getName()) + "=" + (enumerated ? lower(a->getValue()) : a->getValue());
                }
            } else {
                out += " {" + n->getSource() + "}";
            }
            out += "\n";
            return true;
        },
        [](const Node*) {});
    return out;
}

// Formats page (read with version under the current formatting options)
// and checks every property; formatted receives the formatted page.
inline Failure check(const std::string& page, DOMImpl::JSPVersion version, std::string* formatted = nullptr)
{
    Failure failure;
    Document* doc = read(page, version);
    const std::vector<unsigned long> shown = shownCharacters(doc);
    const std::vector<std::string> kept = keptPieces(doc);
    doc->formatSource();
    const std::string once = doc->getSource();
    if (formatted)
        *formatted = once;
    Document* again = read(once, version);
    again->formatSource();
    const std::string twice = again->getSource();
    DOM::getDOM()->deleteDocument(again);
    Document* reread = read(once, version);

    if (doc->getChildSource() != once)
        failure = {"the formatted tree writes other bytes than its document", once, doc->getChildSource()};
    else if (twice != once)
        failure = {"formatting the formatted page changes it", once, twice};
    else if (shownCharacters(reread) != shown)
        failure = {"the formatted page shows other characters", joined(shown), joined(shownCharacters(reread))};
    else if (keptPieces(reread) != kept)
        failure = {"server code, comments or kept tags changed", joined(kept), joined(keptPieces(reread))};
    // A page of nothing but empty elements and white space formats to white
    // space, which reads back without even the implied HTML and BODY.
    else if (once.find_first_not_of(" \t\r\n") != std::string::npos && treePicture(reread) != treePicture(doc))
        failure = {"the formatted page reads back as another tree", treePicture(doc), treePicture(reread)};
    DOM::getDOM()->deleteDocument(reread);
    DOM::getDOM()->deleteDocument(doc);
    return failure;
}

} // namespace formatcheck

#endif
