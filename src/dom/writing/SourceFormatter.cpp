// The formatting pass: produces the source of a subtree again and lays its
// texts out with line breaks, indentation and wrapping.
#include "writing/SourceFormatter.h"

#include <vector>

#include "base/Options.h"
#include "doctype/ElementType.h"
#include "tree/Document.h"
#include "tree/Element.h"
#include "tree/Text.h"

namespace pagedom {

namespace {

bool isTextLike(const Node* n)
{
    return n && (n->getNodeType() == Node::TEXT_NODE || n->getNodeType() == Node::CDATA_SECTION_NODE);
}

} // namespace

void SourceFormatter::formatDescendants(Node* root)
{
    // Every descendant formats its own content (an element may add empty
    // texts for line breaks, which the walk then reaches too); the texts
    // are laid out once the whole subtree is formatted.
    std::vector<Text*> texts;
    if (root->getNodeType() == Node::ELEMENT_NODE)
        spaceChildren(static_cast<Element*>(root));
    for (Node* n = root->getFirstChild(); n; n = n->getNextNode(root, false)) {
        n->_formatOwn();
        if (n->getNodeType() == Node::ELEMENT_NODE)
            spaceChildren(static_cast<Element*>(n));
        else if (n->getNodeType() == Node::TEXT_NODE)
            texts.push_back(static_cast<Text*>(n));
    }
    for (Text* text : texts)
        layOut(text);
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

unsigned long SourceFormatter::wrap(std::string& source, unsigned long columnLimit, const std::string& indent)
{
    std::string out;
    out.reserve(source.size() + 16);
    unsigned long column = 0;
    unsigned long breaks = 0;
    for (std::size_t i = 0; i < source.size();) {
        char c = source[i];
        if (c == ' ' && column >= columnLimit) {
            while (i < source.size() && source[i] == ' ')
                ++i;
            out += "\r\n";
            out += indent;
            column = 0;
            ++breaks;
            continue;
        }
        out += c;
        column = c == '\n' ? 0 : column + 1;
        ++i;
    }
    source.swap(out);
    return breaks;
}

unsigned long SourceFormatter::layOut(Text* text)
{
    text->_sourceTouched();
    if (text->isPlainText())
        return 0;
    const Document* doc = text->getOwnerDocument();
    if (doc && !doc->isHTMLDocument())
        return layOutGap(text);
    return layOutWrapped(text);
}

unsigned long SourceFormatter::layOutGap(Text* text)
{
    if (!text->isSpaceText())
        return 0;
    // Between elements: a line break and the nesting depth's indent, one
    // level less before the parent's end tag.
    unsigned long depth = 0;
    for (const Node* n = text->getParentNode(); n && n->getNodeType() == Node::ELEMENT_NODE; n = n->getParentNode())
        ++depth;
    if (!text->getNextSibling() && depth)
        --depth;
    const unsigned long indent = DOMOptions::getFormatOption()->getIndent();
    text->CharacterData::setData("\r\n" + std::string(indent * depth, ' '));
    text->formatSource();
    return 0;
}

unsigned long SourceFormatter::layOutWrapped(Text* text)
{
    if (!text->_isFormatPending())
        return 0;
    // The depth counts the enclosing indent elements.
    unsigned long depth = 0;
    for (const Node* n = text->getParentNode(); n && n->getNodeType() == Node::ELEMENT_NODE; n = n->getParentNode())
        if (static_cast<const Element*>(n)->isIndentElement())
            ++depth;
    const DOMOptions::FormatOption* options = DOMOptions::getFormatOption();
    std::string source = text->getSource();
    wrap(source, options->getColumnLimit(), std::string(options->getIndent() * depth, ' '));
    text->_setLaidOutSource(source);
    unsigned long breaks = 0;
    for (std::size_t i = 0; i + 1 < source.size(); ++i)
        if (source[i] == '\r' && source[i + 1] == '\n')
            ++breaks;
    return breaks;
}

} // namespace pagedom
