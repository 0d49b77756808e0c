// The metadata pass over freshly read nodes.
#include "tree/MetaDataPass.h"

#include "base/SourceText.h"
#include "doctype/ElementTable.h"
#include "tree/CharacterData.h"
#include "tree/Comment.h"
#include "tree/Document.h"
#include "tree/DocumentFragment.h"
#include "tree/Element.h"
#include "tree/MetaDataComment.h"

namespace pagedom {

namespace {

// The comment text the reader keeps runs from after "<!" or "<%" to before
// the closing's '>' or "%>"; its data leaves out at most two opening dashes
// and every closing one.
const std::size_t OPENING_MARK_LENGTH = 2;
const std::size_t HTML_CLOSING_MARK_LENGTH = 1;  // '>'
const std::size_t JSP_CLOSING_MARK_LENGTH = 2;   // "%>"
const std::size_t OPENING_DASHES = 2;
const char DASH = '-';

bool isElement(const Node* node)
{
    return node && node->getNodeType() == Node::ELEMENT_NODE;
}

// The one child of an author-time visual's element, when it is an element
// that can carry the visual; null otherwise.
Element* soleVisualTarget(const Element* atv)
{
    Node* child = atv->getFirstChild();
    if (!isElement(child) || child->getNextSibling() || !static_cast<Element*>(child)->canHaveATV())
        return nullptr;
    return static_cast<Element*>(child);
}

// Whether element is what a span of type holds.
bool fits(const Element* element, MetaData::Type type)
{
    switch (type) {
    case MetaData::DesignerControl:
        return element->getElementID() == ElementTable::ID_OBJECT;
    case MetaData::DynamicData:
        return element->isDynamicElement();
    case MetaData::AuthorTimeVisual:
        return element->getElementID() == ElementTable::ID_QRTX_ATV && soleVisualTarget(element);
    default:
        return false;
    }
}

// The node after node in document order below root, without recursion.
Node* following(Node* node, const Node* root, bool descend)
{
    if (descend) {
        if (Node* child = node->getFirstChild())
            return child;
    }
    for (; node && node != root; node = node->getParentNode()) {
        if (Node* next = node->getNextSibling())
            return next;
    }
    return nullptr;
}

} // namespace

MetaDataPass::MetaDataPass(Document& document) : _document(document) {}

MetaDataPass::~MetaDataPass()
{
    for (Node* node : _rewrittenNodes)
        node->releaseRef();
}

std::vector<Node*> MetaDataPass::takeRewritten()
{
    std::vector<Node*> nodes;
    nodes.swap(_rewrittenNodes);
    return nodes;
}

void MetaDataPass::run(Node* root)
{
    _metaPath.clear();
    Element* outer = isElement(root) && static_cast<Element*>(root)->getMetaData() ? static_cast<Element*>(root)
                                                                                   : root->getAncestorMetaElement();
    Node* node = root->getFirstChild();
    while (node) {
        const bool inside = outer || !_metaPath.empty();
        const Resume at = _visit(node, inside);
        if (!at.visited) {
            node = at.node;
            continue;
        }
        node = at.node;
        // Descending into an element with metadata, and climbing out of one.
        if (node->getFirstChild()) {
            if (isElement(node) && static_cast<Element*>(node)->getMetaData())
                _metaPath.push_back(static_cast<Element*>(node));
            node = node->getFirstChild();
            continue;
        }
        for (;;) {
            if (node == root) {
                node = nullptr;
                break;
            }
            if (Node* next = node->getNextSibling()) {
                node = next;
                break;
            }
            node = node->getParentNode();
            if (!_metaPath.empty() && _metaPath.back() == node)
                _metaPath.pop_back();
        }
    }
    _metaPath.clear();
    // Nested conversions mark the enclosing element's comments for building
    // only through _metaPath; one above the root is marked here.
    if (outer && !_rewrittenNodes.empty())
        outer->getMetaData()->_markRevised(false);
}

MetaDataPass::Resume MetaDataPass::_visit(Node* node, bool insideMeta)
{
    switch (node->getNodeType()) {
    case Node::META_DATA_NODE:
        return _takeSpan(static_cast<MetaData*>(node));
    case Node::ELEMENT_NODE:
        return _visitElement(static_cast<Element*>(node), insideMeta);
    default:
        return Resume{node, true};
    }
}

MetaDataPass::Resume MetaDataPass::_visitElement(Element* element, bool insideMeta)
{
    switch (element->getElementID()) {
    case ElementTable::ID_QRTX_COMMENT:
        return _convertComment(element, insideMeta);
    case ElementTable::ID_QRTX_ATV:
        return _convertVisual(element, insideMeta);
    default:
        break;
    }
    if (MetaData* meta = element->getMetaData()) {
        // Metadata the reader attached for a "dynamicelement" attribute
        // (no comments read for it): the element stays written as the page
        // wrote it.
        if (meta->getType() != MetaData::AuthorTimeVisual && meta->getMetaStart().empty() &&
            meta->_metaEnd.empty())
            meta->_bare = true;
    } else {
        if (element->isDynamicElement())
            _attachNew(element, MetaData::DynamicData);
        else if (element->isDTC())
            _attachNew(element, MetaData::DesignerControl);
    }
    return Resume{element, true};
}

// --- spans --------------------------------------------------------------------------

MetaDataPass::Resume MetaDataPass::_takeSpan(MetaData* meta)
{
    // The run-time text read with the span is checked when text is produced
    // for it again; a span without any has run-time text still to produce.
    meta->_runtimeVerify = true;
    if (meta->getType() != MetaData::AuthorTimeVisual && meta->getRuntimeData().empty())
        _document._markRuntimeTextDifferent();

    const std::string& start = meta->getMetaStart();
    const std::size_t from = MetaDataComment::firstLineLength(start);
    const std::size_t closing = MetaDataComment::closingLength(start);
    if (closing == 0 || from + closing > start.size())
        return _restoreSpan(meta);
    const std::string region = start.substr(from, start.size() - closing - from);
    DocumentFragment* fragment = _read(region);
    _dropReadMetaData(fragment);
    std::size_t offset = 0;
    std::size_t length = 0;
    Element* element = _fittingElement(fragment, meta->getType(), region, offset, length);
    fragment->releaseRef();
    if (!element)
        return _restoreSpan(meta);

    // An author-time visual's element holds the element that carries it.
    Element* atv = nullptr;
    if (meta->getType() == MetaData::AuthorTimeVisual) {
        atv = element;
        element = soleVisualTarget(atv);
        atv->removeChild(element);
    }
    Node* parent = meta->getParentNode();
    parent->insertBefore(element, meta);
    parent->removeChild(meta);
    element->_attachReadMetaData(meta);
    if (atv) {
        meta->_setATVElement(atv);
        atv->releaseRef();
    }
    meta->_setElementSpan(static_cast<std::uint32_t>(from + offset), static_cast<std::uint32_t>(length));
    meta->_markCurrent();
    meta->releaseRef();
    return Resume{element, true};
}

Element* MetaDataPass::_fittingElement(DocumentFragment* fragment, MetaData::Type type, const std::string& region,
                                       std::size_t& offset, std::size_t& length)
{
    Node* node = fragment->getFirstChild();
    while (node && !(isElement(node) && fits(static_cast<Element*>(node), type)))
        node = following(node, fragment, true);
    if (!node)
        return nullptr;
    Element* element = static_cast<Element*>(node);
    // A start tag the end of the comment cut short is no element the editor
    // wrote: the span stays comments (a repair that closes a comment left
    // open may have made the span).
    const std::string startTag = element->getStartTag();
    if (!startTag.empty() && startTag.back() != '>')
        return nullptr;
    Node* top = element;
    while (top->getParentNode() != fragment)
        top = top->getParentNode();
    offset = 0;
    for (Node* before = fragment->getFirstChild(); before != top; before = before->getNextSibling())
        offset += before->getSource().size();
    const std::string source = element->getSource();
    // An element below the top level lies somewhere inside its top-level
    // ancestor's source.
    if (top != element)
        offset = region.find(source, offset);
    if (offset == std::string::npos || region.compare(offset, source.size(), source) != 0)
        return nullptr;
    length = source.size();
    return static_cast<Element*>(element->getParentNode()->removeChild(element));
}

MetaDataPass::Resume MetaDataPass::_restoreSpan(MetaData* meta)
{
    Node* parent = meta->getParentNode();
    Comment* start = _commentFor(meta->getMetaStart());
    parent->insertBefore(start, meta);
    if (!meta->getRuntimeData().empty()) {
        DocumentFragment* runtime = _read(meta->getRuntimeData());
        while (Node* child = runtime->getFirstChild())
            parent->insertBefore(runtime->removeChild(child), meta);
        runtime->releaseRef();
    }
    parent->insertBefore(_commentFor(meta->getMetaEnd()), meta);
    parent->removeChild(meta)->releaseRef();
    // The nodes of the run-time text come next, as read.
    return Resume{start, true};
}

// --- the editor's elements ---------------------------------------------------------

MetaDataPass::Resume MetaDataPass::_convertComment(Element* element, bool insideMeta)
{
    std::string data;
    const Node* first = element->getFirstChild();
    if (first && (first->getNodeType() == Node::TEXT_NODE || first->getNodeType() == Node::CDATA_SECTION_NODE))
        data = first->getSource();
    Comment* comment = _document.createComment(data);
    Node* parent = element->getParentNode();
    parent->insertBefore(comment, element);
    parent->removeChild(element)->releaseRef();
    _rewritten(comment, insideMeta);
    return Resume{comment, true};
}

MetaDataPass::Resume MetaDataPass::_convertVisual(Element* element, bool insideMeta)
{
    Element* target = nullptr;
    for (Node* child = element->getFirstChild(); child && !target; child = child->getNextSibling())
        if (isElement(child) && static_cast<Element*>(child)->canHaveATV())
            target = static_cast<Element*>(child);
    // Nothing can carry the visual: the element stays as the page wrote it.
    if (!target)
        return Resume{element, true};
    Node* parent = element->getParentNode();
    Node* after = element->getNextSibling();
    Node* first = element->getFirstChild();
    while (Node* child = element->getFirstChild())
        parent->insertBefore(element->removeChild(child), after);
    parent->removeChild(element);
    MetaData* meta = _document._createMetaData();
    meta->setType(MetaData::AuthorTimeVisual);
    target->_attachReadMetaData(meta);
    meta->_setATVElement(element);
    meta->releaseRef();
    element->releaseRef();
    _rewritten(target, insideMeta);
    return Resume{first, false};
}

void MetaDataPass::_attachNew(Element* element, MetaData::Type type)
{
    MetaData* meta = _document._createMetaData();
    meta->setType(type);
    // The page wrote the element without comments: it stays written so.
    meta->_bare = true;
    element->_attachReadMetaData(meta);
    meta->releaseRef();
}

void MetaDataPass::_dropReadMetaData(Node* root)
{
    for (Node* node = root->getFirstChild(); node; node = following(node, root, true))
        if (isElement(node))
            static_cast<Element*>(node)->_detachReadMetaData();
}

// --- helpers --------------------------------------------------------------------------

DocumentFragment* MetaDataPass::_read(const std::string& text)
{
    DocumentFragment* fragment = _document.createDocumentFragment();
    _document._readPage(SourceText::Block::make(text), fragment);
    return fragment;
}

Comment* MetaDataPass::_commentFor(const std::string& source)
{
    const bool jsp = source.compare(0, Comment::JSP_OPEN_TAG.size(), Comment::JSP_OPEN_TAG) == 0;
    const std::size_t closing = jsp ? JSP_CLOSING_MARK_LENGTH : HTML_CLOSING_MARK_LENGTH;
    std::size_t begin = std::min(source.size(), OPENING_MARK_LENGTH);
    std::size_t end = source.size() >= begin + closing ? source.size() - closing : begin;
    for (std::size_t dashes = 0; dashes < OPENING_DASHES && begin < end && source[begin] == DASH; ++dashes)
        ++begin;
    while (end > begin && source[end - 1] == DASH)
        --end;
    Comment* comment = _document.createComment(source.substr(begin, end - begin));
    if (jsp)
        comment->setJSPFormat(true);
    comment->setSource(source);
    return comment;
}

void MetaDataPass::_rewritten(Node* node, bool insideMeta)
{
    node->addRef();
    _rewrittenNodes.push_back(node);
    _document._metaDataRevised = true;
    if (insideMeta && !_metaPath.empty())
        _metaPath.back()->getMetaData()->_markRevised(false);
}

} // namespace pagedom
