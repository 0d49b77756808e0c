// The tree view of the pagedom tool: one line per node.
#include "TreePrinter.h"

#include "ErrorKinds.h"

#include "Escape.h"
#include "dom.h"

namespace tool {

namespace {

// Characters of text data, and bytes of other content, shown per node.
const std::size_t EXCERPT_LENGTH = 40;
// Beyond this depth the indentation stops growing and the depth is written.
const unsigned long MAX_INDENT_DEPTH = 60;
// Bytes of a node or attribute name shown (a misread page can make any byte
// run a name).
const std::size_t NAME_LENGTH = 80;

const char* kindName(unsigned short type)
{
    switch (type) {
    case Node::ELEMENT_NODE: return "element";
    case Node::ATTRIBUTE_NODE: return "attribute";
    case Node::TEXT_NODE: return "text";
    case Node::CDATA_SECTION_NODE: return "cdata-section";
    case Node::ENTITY_REFERENCE_NODE: return "entity-reference";
    case Node::ENTITY_NODE: return "entity";
    case Node::PROCESSING_INSTRUCTION_NODE: return "processing-instruction";
    case Node::COMMENT_NODE: return "comment";
    case Node::DOCUMENT_NODE: return "document";
    case Node::DOCUMENT_TYPE_NODE: return "document-type";
    case Node::DOCUMENT_FRAGMENT_NODE: return "document-fragment";
    case Node::NOTATION_NODE: return "notation";
    case Node::ELEMENT_TYPE_NODE: return "element-type";
    case Node::ATTR_TYPE_NODE: return "attr-type";
    case Node::ATTR_TYPE_LIST_NODE: return "attr-type-list";
    case Node::META_DATA_NODE: return "metadata";
    default: return nullptr;
    }
}

// How a tag of an element read from a page stands: written as the page
// wrote it, or left out (the reader implied it).
const char* tagState(const std::string& tag)
{
    return tag.empty() ? "omitted" : "written";
}

std::string quoted(const std::string& shown)
{
    return "\"" + shown + "\"";
}

std::string shownName(const std::string& name)
{
    return rawExcerpt(name, NAME_LENGTH);
}

void describeElement(const Element* e, std::string& line)
{
    line += " start=";
    line += tagState(e->getStartTag());
    line += " end=";
    line += tagState(e->getEndTag());
    if (e->isEmptyTag())
        line += " empty-tag";
    if (!e->getElementType())
        line += " untyped";
    if (e->getMetaData())
        line += " metadata";
}

void describeAttr(const Attr* a, std::string& line)
{
    line += "@" + shownName(a->getName());
    if (a->isSpecified() || !a->getValue().empty())
        line += "=" + quoted(rawExcerpt(a->getValue(), EXCERPT_LENGTH));
    if (!a->getAttrType())
        line += " undeclared";
}

void appendErrors(const Node* node, std::string& line)
{
    std::string errors = errorNames(node->getErrorState());
    if (!errors.empty())
        line += " [" + errors + "]";
}

void writeLine(std::FILE* out, unsigned long depth, const std::string& text)
{
    std::string line;
    unsigned long shown = depth;
    if (depth > MAX_INDENT_DEPTH) {
        shown = MAX_INDENT_DEPTH;
        line.assign(shown * 2, ' ');
        line += "(depth " + std::to_string(depth) + ") ";
    } else {
        line.assign(shown * 2, ' ');
    }
    line += text;
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), out);
}

} // namespace


std::string describeNode(const Node* node)
{
    std::string line;
    unsigned short type = node->getNodeType();
    if (type == Node::ATTRIBUTE_NODE) {
        describeAttr(static_cast<const Attr*>(node), line);
        appendErrors(node, line);
        return line;
    }
    if (const char* kind = kindName(type))
        line = kind;
    else
        line = "node-type-" + std::to_string(type);

    switch (type) {
    case Node::ELEMENT_NODE:
        line += " " + shownName(node->getNodeName());
        describeElement(static_cast<const Element*>(node), line);
        break;
    case Node::TEXT_NODE: {
        const Text* text = static_cast<const Text*>(node);
        const std::string data = text->getData();
        bool cut = false;
        line += " " + quoted(dataExcerpt(data, EXCERPT_LENGTH, &cut));
        if (cut)
            line += " (" + std::to_string(data.size()) + " bytes)";
        // White space that the reader collapsed away leaves empty data; its
        // source still holds what is written back.
        if (data.empty()) {
            const std::string source = text->getSource();
            if (!source.empty())
                line += " source=" + quoted(rawExcerpt(source, EXCERPT_LENGTH));
        }
        break;
    }
    case Node::COMMENT_NODE: {
        const Comment* c = static_cast<const Comment*>(node);
        line += " " + quoted(rawExcerpt(c->getData(), EXCERPT_LENGTH));
        if (c->isJSPFormat())
            line += " jsp";
        break;
    }
    case Node::CDATA_SECTION_NODE:
        line += " " + quoted(rawExcerpt(static_cast<const CDATASection*>(node)->getData(),
                                        EXCERPT_LENGTH));
        break;
    case Node::PROCESSING_INSTRUCTION_NODE: {
        const ProcessingInstruction* pi = static_cast<const ProcessingInstruction*>(node);
        line += " " + shownName(pi->getTarget()) + " " + quoted(rawExcerpt(pi->getData(), EXCERPT_LENGTH));
        break;
    }
    case Node::DOCUMENT_TYPE_NODE: {
        const DocumentType* dt = static_cast<const DocumentType*>(node);
        line += " " + shownName(dt->getNodeName());
        if (!dt->getPublicID().empty())
            line += " public=" + quoted(rawExcerpt(dt->getPublicID(), NAME_LENGTH));
        if (!dt->getSystemID().empty())
            line += " system=" + quoted(rawExcerpt(dt->getSystemID(), NAME_LENGTH));
        break;
    }
    case Node::DOCUMENT_NODE: {
        const Document* doc = static_cast<const Document*>(node);
        line += " " + shownName(doc->getNodeName());
        if (const DocumentType* docType = doc->getDocumentType())
            line += " type=" + shownName(docType->getNodeName());
        else
            line += " untyped";
        break;
    }
    default:
        line += " " + shownName(node->getNodeName());
        break;
    }
    appendErrors(node, line);
    return line;
}

std::string describeMetaData(const MetaData* meta)
{
    std::string line = "% metadata ";
    const std::string& type = MetaData::typeName(meta->getType());
    line += type.empty() ? "(no type)" : type;
    bool cut = false;
    const std::string excerpt = dataExcerpt(meta->getRuntimeData(), EXCERPT_LENGTH, &cut);
    line += " run-time " + quoted(excerpt);
    if (cut)
        line += " (" + std::to_string(meta->getRuntimeData().size()) + " bytes)";
    if (const Element* atv = meta->getATVElement())
        line += " visual=" + shownName(atv->getNodeName());
    // An element inside another's span is written bare: it has no comments.
    if (!meta->hasAncestorMetaData() && meta->isRevised())
        line += " comments-to-write";
    return line;
}

void printTree(const Node* root, std::FILE* out)
{
    if (!root)
        return;
    const Node* node = root;
    unsigned long depth = 0;
    for (;;) {
        writeLine(out, depth, describeNode(node));
        if (node->getNodeType() == Node::ELEMENT_NODE) {
            dom::NodeList attrs = static_cast<const Element*>(node)->getAttrNodes();
            for (unsigned long i = 0, n = attrs.length(); i < n; ++i)
                writeLine(out, depth + 1, describeNode(attrs.item(i)));
            if (const MetaData* meta = static_cast<const Element*>(node)->getMetaData())
                writeLine(out, depth + 1, describeMetaData(meta));
        }
        if (const Node* child = node->getFirstChild()) {
            node = child;
            ++depth;
            continue;
        }
        while (node != root && !node->getNextSibling()) {
            node = node->getParentNode();
            --depth;
        }
        if (node == root)
            return;
        node = node->getNextSibling();
    }
}

} // namespace tool
