// The page parser's tree building: placing each element, implying the
// containers HTML lets a page omit, and closing elements a new one ends.
#include "reading/HTMLParser.h"

#include <vector>

#include "doctype/DocumentType.h"
#include "doctype/ElementTable.h"
#include "doctype/ElementType.h"
#include "reading/HTMLLexer.h"
#include "tree/Document.h"
#include "tree/Element.h"

// --- placing elements -------------------------------------------------------------

bool HTMLParser::_accepts(const ElementType* type, const Node* node)
{
    return type && (type->allowsChild(node) || type->includesChild(node));
}

bool HTMLParser::_accepts(const Element* container, const Node* node) const
{
    return _accepts(container->getElementType(), node);
}

void HTMLParser::_append(Node* node)
{
    _append(node, _currentCanContain(node));
}

void HTMLParser::_append(Node* node, bool contained)
{
    // Every node appended here is fresh from the document's factory.
    static_cast<ContainerNode*>(_current)->_appendParsed(node, contained);
}

void HTMLParser::_enter(Element* element)
{
    const unsigned long group = element->getElementGroup();
    const int id = element->getElementID();
    _pushOpen(element, group, id);
    _current = element;
    if (element->getElementType()) {
        if (group & ElementType::GROUP_PLAIN)
            ++_plainDepth;
        if (group & ElementType::GROUP_JSP_BLOCK) {
            ++_cdataDepth;
            _htmlLexer->setCDATAEnabled(true);
        }
    }
    if (id == ElementTable::ID_TEXTAREA)
        _inTextArea = true;
}

void HTMLParser::_leave(Element* e)
{
    if (e->getElementType()) {
        unsigned long group = e->getElementGroup();
        if ((group & ElementType::GROUP_PLAIN) && _plainDepth > 0)
            --_plainDepth;
        if ((group & ElementType::GROUP_JSP_BLOCK) && _cdataDepth > 0 && --_cdataDepth == 0)
            _htmlLexer->setCDATAEnabled(false);
    }
    if (e->getElementID() == ElementTable::ID_TEXTAREA)
        _inTextArea = false;
}

// Elements are left from current upwards until ancestor, or until a node
// that is no element (the nodes beyond it are passed without being left).
// Without ancestor, every element up to the top of the tree is left and the
// top becomes current.
void HTMLParser::_leaveTo(Node* ancestor)
{
    bool leaving = true;
    while (_open.size() > 1 && _open.back().node != ancestor) {
        const OpenNode& entry = _open.back();
        leaving = leaving && entry.key != KEY_NONE;
        if (leaving)
            _leave(static_cast<Element*>(entry.node));
        _popOpen();
    }
    Node* top = _open.back().node;
    if (top != ancestor) {
        if (leaving && _open.back().key != KEY_NONE)
            _leave(static_cast<Element*>(top));
        if (ancestor) {
            // Not on the chain: start the record again from ancestor.
            _current = ancestor;
            _resetOpenNodes();
            return;
        }
    }
    _current = top;
}

Element* HTMLParser::_makeImplied(int id)
{
    Element* element = _document->createDefElement(id);
    if (element)
        element->omitTag();
    return element;
}

void HTMLParser::_place(Element* element)
{
    bool contained;
    while (!(contained = _currentCanContain(element))) {
        if (_implyContainer(element))
            break;
        if (!_closeCurrent(element)) {
            if (element->getElementID() == ElementTable::ID_PARAM)
                element->setElementType(nullptr);
            break;
        }
    }
    if (contained)
        _append(element, true);
    else
        _append(element);
    if (!element->isEmptyElement())
        _enter(element);
}

bool HTMLParser::_implyContainer(Node* node)
{
    for (;;) {
        // Step up from current over logical elements (the top of the tree
        // stops the step even when it is one).
        Node* c = _current;
        Element* outermostLogical = nullptr;
        const std::size_t top = _open.size() - 1;
        const std::uint32_t nonLogical = _open.back().nonLogical;
        if (nonLogical != top) {
            const std::size_t at = nonLogical == NONE ? 0 : nonLogical;
            c = _open[at].node;
            if (at < top)
                outermostLogical = static_cast<Element*>(_open[at + 1].node);
        }

        std::vector<Element*> made;  // outermost first
        bool htmlFound = false;
        Element* html = nullptr;
        Node* reuse = nullptr;
        int candidate = 0;

        if (c->getNodeType() == Node::DOCUMENT_NODE) {
            const ElementType* htmlType = _documentType->getDefElementType(ElementTable::ID_HTML);
            if (!htmlType)
                return false;
            Element* implied = _makeImplied(ElementTable::ID_HTML);
            if (!implied)
                return false;
            made.push_back(implied);
            if (!_accepts(htmlType, node)) {
                htmlFound = true;
                html = implied;
            }
        } else if (_idOf(c) == ElementTable::ID_HTML) {
            html = static_cast<Element*>(c);
            if (_idOf(node) == ElementTable::ID_HTML && html->isOmittedElement())
                return false;
            htmlFound = true;
        } else if (_idOf(c) == ElementTable::ID_TABLE) {
            const ElementType* tbody = _documentType->getDefElementType(ElementTable::ID_TBODY);
            if (_isTableCell(node)) {
                Element* tr = _makeImplied(ElementTable::ID_TR);
                if (!tr)
                    return false;
                if (!_accepts(tbody, tr)) {
                    tr->releaseRef();
                    return false;
                }
                Element* body = _makeImplied(ElementTable::ID_TBODY);
                if (!body) {
                    tr->releaseRef();
                    return false;
                }
                made.push_back(body);
                made.push_back(tr);
            } else if (_accepts(tbody, node)) {
                Element* body = _makeImplied(ElementTable::ID_TBODY);
                if (!body)
                    return false;
                made.push_back(body);
            } else {
                return false;
            }
        } else if (_idOf(c) == ElementTable::ID_TBODY) {
            if (!_isTableCell(node))
                return false;
            Element* tr = _makeImplied(ElementTable::ID_TR);
            if (!tr)
                return false;
            if (!_accepts(static_cast<Element*>(c), tr)) {
                tr->releaseRef();
                return false;
            }
            made.push_back(tr);
        } else if (_idOf(c) == ElementTable::ID_NOFRAMES) {
            const ElementType* body = _documentType->getDefElementType(ElementTable::ID_BODY);
            if (!_accepts(body, node))
                return false;
            candidate = ElementTable::ID_BODY;
        } else if (_idOf(c) == ElementTable::ID_TR && static_cast<Element*>(c)->isOmittedElement()) {
            if (!_isTableCell(node))
                return false;
            _returnTo(c);
            return true;
        } else if (_idOf(c) == ElementTable::ID_COLGROUP) {
            Node* parent = c->getParentNode();
            if (!parent || parent->canContain(node))
                return false;
            _leaveTo(parent);
            continue;
        } else {
            return false;
        }

        if (htmlFound) {
            const ElementType* head = _documentType->getDefElementType(ElementTable::ID_HEAD);
            if (_accepts(head, node))
                candidate = ElementTable::ID_HEAD;
            else
                candidate = ElementTable::ID_BODY;
            if (candidate == ElementTable::ID_BODY && html && !made.size()) {
                Node* last = html->getLastChild();
                if (_idOf(last) == ElementTable::ID_BODY && static_cast<Element*>(last)->isOmittedElement())
                    reuse = last;
            }
        }
        if (reuse) {
            _leaveTo(c);
            _enter(static_cast<Element*>(reuse));
            return true;
        }
        if (candidate) {
            Element* e = _makeImplied(candidate);
            if (!e) {
                for (Element* m : made)
                    m->releaseRef();
                return false;
            }
            made.push_back(e);
        }
        if (made.empty())
            return false;

        // Attach the chain: each made element inside the one before it.
        _leaveTo(c);
        if (outermostLogical) {
            c->removeChild(outermostLogical);
        }
        for (Element* e : made) {
            static_cast<ContainerNode*>(_current)->_appendQuietly(e);
            _enter(e);
        }
        if (outermostLogical)
            static_cast<ContainerNode*>(_current)->_appendQuietly(outermostLogical);
        return true;
    }
}

bool HTMLParser::_closeCurrent(Element* element)
{
    if (!element->getElementType() || !_isElement(_current))
        return false;
    Element* c = static_cast<Element*>(_current);
    int cid = c->getElementID();
    if ((cid == ElementTable::ID_BODY || cid == ElementTable::ID_HEAD) && c->isOmittedElement() &&
        !c->canContain(element) && c->getParentNode()) {
        _leaveTo(c->getParentNode());
        return true;
    }
    if (cid == ElementTable::ID_HTML && c->isOmittedElement() && element->getElementID() == ElementTable::ID_HTML &&
        c->getParentNode()) {
        _leaveTo(c->getParentNode());
        return true;
    }
    // Step over logical elements that hold nothing but trivial nodes.
    Element* found = c;
    Element* stepped = nullptr;
    std::size_t foundIndex = _open.size() - 1;
    while (found->isLogicalElement()) {
        bool trivial = true;
        for (Node* child = found->getFirstChild(); child && trivial; child = child->getNextSibling())
            trivial = child->isTrivialNode();
        Node* parent = found->getParentNode();
        if (!trivial || !_isElement(parent))
            break;
        stepped = found;
        found = static_cast<Element*>(parent);
        --foundIndex;
    }
    Node* parent = found->getParentNode();
    if (!parent)
        return false;
    int fid = found->getElementID();
    unsigned long group = element->getElementGroup();
    int eid = element->getElementID();
    bool close = false;
    if (fid == ElementTable::ID_P && (group & (ElementType::GROUP_BLOCK | ElementType::GROUP_FLOW))) {
        close = true;
    } else if (group & ElementType::GROUP_TABLE_PART) {
        close = _inTableParts(foundIndex);
    } else if ((element->canOmitEndTag() && eid != 0 && eid == fid) ||
               (eid == ElementTable::ID_DD && fid == ElementTable::ID_DT) ||
               (eid == ElementTable::ID_DT && fid == ElementTable::ID_DD)) {
        close = true;
    }
    if (fid == ElementTable::ID_EMBED)
        close = true;
    if (!close)
        return false;
    if (stepped) {
        // The stepped-over logical elements move out behind the closed one
        // and stay open: current remains inside them, and their entries are
        // made again without the closed one below them.
        _leave(found);
        _reopened.assign(_open.begin() + static_cast<std::ptrdiff_t>(foundIndex) + 1, _open.end());
        while (_open.size() > foundIndex)
            _popOpen();
        found->removeChild(stepped);
        parent->insertAfter(stepped, found);
        for (const OpenNode& entry : _reopened) {
            Element* e = static_cast<Element*>(entry.node);
            _pushOpen(e, e->getElementGroup(), entry.key);
        }
        _current = c;
        return true;
    }
    _leaveTo(parent);
    return true;
}
