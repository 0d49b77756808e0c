// The formatting pass: produces a subtree's tags again where that is
// faithful and lays its texts' white space out with line breaks,
// indentation and wrapping.
#include "writing/SourceFormatter.h"

#include <vector>

#include "base/Lexer.h"
#include "base/Options.h"
#include "doctype/ElementType.h"
#include "tree/Document.h"
#include "tree/Element.h"
#include "tree/Text.h"

namespace pagedom {

namespace {

const char LINE_BREAK[] = "\r\n";

bool isTextLike(const Node* n)
{
    return n && (n->getNodeType() == Node::TEXT_NODE || n->getNodeType() == Node::CDATA_SECTION_NODE);
}

bool isLineEnd(char c)
{
    return c == '\n' || c == '\r';
}

// Whether element indents its content: an indent element whose start tag
// is written (an implied TBODY adds no level the page shows).
bool indents(const Element* element)
{
    return element->isIndentElement() && element->hasStartTag();
}

// Indentation stops growing at this depth: a page nested thousands of
// levels deep would otherwise write a line break's indentation longer with
// every level, its formatted size growing with the square of its depth.
const unsigned long MAX_INDENT_LEVELS = 32;

// The indentation of that many levels.
std::string indentation(unsigned long levels)
{
    if (levels > MAX_INDENT_LEVELS)
        levels = MAX_INDENT_LEVELS;
    return std::string(DOMOptions::getFormatOption()->getIndent() * levels, ' ');
}

} // namespace

void SourceFormatter::formatDescendants(Node* root)
{
    const Document* doc = root->getDocument();
    const bool html = !doc || doc->isHTMLDocument();
    if (isScriptBlock(root))
        return;
    for (const Node* n = root->getParentNode(); n; n = n->getParentNode())
        if (isScriptBlock(n))
            return;
    if (!html && root->getNodeType() == Node::ELEMENT_NODE)
        spaceChildren(static_cast<Element*>(root));

    // Each node formats its own content before its children are visited:
    // an element may add the texts its children are spaced with.
    std::vector<Level> stack;
    stack.push_back(rootLevel(root));
    while (!stack.empty()) {
        Level& top = stack.back();
        Node* n = top.next;
        if (!n) {
            stack.pop_back();
            continue;
        }
        top.next = n->getNextSibling();
        if (n->getNodeType() == Node::TEXT_NODE) {
            Text* text = static_cast<Text*>(n);
            if (html)
                layOutText(text, top);
            else
                layOutGap(text, top);
            continue;
        }
        if (isScriptBlock(n))
            continue;
        n->_formatOwn();
        if (!html && n->getNodeType() == Node::ELEMENT_NODE)
            spaceChildren(static_cast<Element*>(n));
        if (n->getFirstChild()) {
            const Level children = childLevel(top, n);
            stack.push_back(children);
        }
    }
}

SourceFormatter::Level SourceFormatter::rootLevel(Node* root)
{
    // Only the unbroken chain of elements above the texts counts (a
    // fragment or document ends it).
    Level level{root, root->getFirstChild(), 0, 0, 0, false};
    bool rootIndents = false;
    for (const Node* n = root; n && n->getNodeType() == Node::ELEMENT_NODE; n = n->getParentNode()) {
        const Element* e = static_cast<const Element*>(n);
        if (indents(e)) {
            ++level.indent;
            rootIndents = rootIndents || n == root;
        }
        level.plain = level.plain || e->isPlainElement();
        ++level.depth;
    }
    level.after = rootIndents ? level.indent - 1 : level.indent;
    return level;
}

SourceFormatter::Level SourceFormatter::childLevel(const Level& parent, Node* child)
{
    Level level{child, child->getFirstChild(), 0, 0, 0, false};
    if (child->getNodeType() != Node::ELEMENT_NODE)
        return level;
    const Element* e = static_cast<const Element*>(child);
    level.indent = parent.indent + (indents(e) ? 1 : 0);
    // After the last child comes the element's end tag, else whatever
    // follows the element itself.
    level.after = (e->hasEndTag() || e->getNextSibling()) ? parent.indent : parent.after;
    level.depth = parent.depth + 1;
    level.plain = parent.plain || e->isPlainElement();
    return level;
}

bool SourceFormatter::isScriptBlock(const Node* node)
{
    if (node->getNodeType() != Node::ELEMENT_NODE)
        return false;
    const ElementType* type = static_cast<const Element*>(node)->getElementType();
    return type && type->getFormatType() == ElementType::FORMAT_JSP_BLOCK;
}

void SourceFormatter::spaceChildren(Element* element)
{
    Document* doc = element->getOwnerDocument();
    const ElementType* type = element->getElementType();
    bool raw = type && (type->getContainerType() == ContentModel::CDATA_CONTENT ||
                        type->getFormatType() == ElementType::FORMAT_JSP_BLOCK);
    if (!doc || doc->isHTMLDocument() || !element->hasChildNodes() || raw)
        return;
    for (Node* c = element->getFirstChild(); c; c = c->getNextSibling()) {
        if (!isTextLike(c) && !isTextLike(c->getPreviousSibling()))
            element->insertBefore(doc->createTextNode(std::string()), c);
    }
    if (!isTextLike(element->getLastChild()))
        element->appendChild(doc->createTextNode(std::string()));
}

std::string SourceFormatter::layOutSpace(const std::string& source, const std::string& indent,
                                         const std::string& endIndent, unsigned long columnLimit)
{
    std::string out;
    out.reserve(source.size());
    unsigned long column = 0;
    const std::size_t n = source.size();
    for (std::size_t i = 0; i < n;) {
        if (!Lexer::isSpace(source[i])) {
            out += source[i++];
            ++column;
            continue;
        }
        bool lineEnd = false;
        while (i < n && Lexer::isSpace(source[i]))
            lineEnd = isLineEnd(source[i++]) || lineEnd;
        if (lineEnd || column >= columnLimit) {
            out += LINE_BREAK;
            out += i == n ? endIndent : indent;
            column = 0;
        } else {
            out += ' ';
            ++column;
        }
    }
    return out;
}

std::string SourceFormatter::laidOutSource(const Text* text, const Level& level)
{
    std::string source = text->getSource();
    return level.plain ? source : layOutSource(source, text, level);
}

std::string SourceFormatter::layOutSource(const std::string& source, const Text* text, const Level& level)
{
    const unsigned long endLevels = text->getNextSibling() ? level.indent : level.after;
    return layOutSpace(source, indentation(level.indent), indentation(endLevels),
                       DOMOptions::getFormatOption()->getColumnLimit());
}

void SourceFormatter::layOutText(Text* text, const Level& level)
{
    if (level.plain)
        return;
    const std::string source = text->getSource();
    std::string laidOut = layOutSource(source, text, level);
    if (laidOut == source)
        return;
    text->_sourceTouched();
    text->_setLaidOutSource(laidOut);
    text->_addUpdateBits(Node::UPDATE_CONTENT_MODIFIED);
}

std::string SourceFormatter::breakEdge(const Text* text, const Level& level, bool front)
{
    const std::string source = text->getSource();
    const std::size_t n = source.size();
    std::size_t begin = 0;
    std::size_t end = 0;
    if (front) {
        while (end < n && Lexer::isSpace(source[end]))
            ++end;
    } else {
        begin = end = n;
        while (begin > 0 && Lexer::isSpace(source[begin - 1]))
            --begin;
    }
    // The indentation of the run as layOutText lays it out: a run that ends
    // the text is indented for what follows it.
    const bool endsText = end == n;
    const unsigned long levels = endsText && !text->getNextSibling() ? level.after : level.indent;
    return source.substr(0, begin) + LINE_BREAK + indentation(levels) + source.substr(end);
}

void SourceFormatter::layOutGap(Text* text, const Level& level)
{
    if (level.plain || !text->isSpaceText())
        return;
    // Between elements: a line break and the nesting depth's indent, one
    // level less before the parent's end tag.
    unsigned long depth = level.depth;
    if (!text->getNextSibling() && depth)
        --depth;
    text->CharacterData::setData(LINE_BREAK + indentation(depth));
    text->formatSource();
}

} // namespace pagedom
