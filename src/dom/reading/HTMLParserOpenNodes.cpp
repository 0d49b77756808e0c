// The page parser's record of its open nodes: the chain from the top of the
// tree down to current, indexed so that end tags, table parts and logical
// elements find what they look for without climbing the chain.
#include "reading/HTMLParser.h"

#include "doctype/ElementType.h"
#include "tree/Element.h"
#include "base/StringUtil.h"

void HTMLParser::_resetOpenNodes()
{
    while (!_open.empty())
        _popOpen();
    std::vector<Node*> chain;
    for (Node* n = _current; n; n = n->getParentNode())
        chain.push_back(n);
    // The nodes above the page's parent are the host's: they are found by
    // name, whatever their element types.
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (_isElement(*it))
            _pushOpen(static_cast<Element*>(*it), static_cast<Element*>(*it)->getElementGroup(), KEY_BY_NAME);
        else
            _pushOpenNode(*it);
    }
}

void HTMLParser::_pushOpen(Element* element, unsigned long group, int key)
{
    const std::uint32_t index = static_cast<std::uint32_t>(_open.size());
    OpenNode entry;
    if (_open.empty()) {
        entry.nonElement = entry.structure = entry.fixedStructure = entry.tableStructureOrPart = NONE;
        entry.nonLogical = NONE;
    } else {
        entry = _open.back();
    }
    entry.node = element;
    entry.key = key;
    if (group & ElementType::GROUP_TABLE_STRUCTURE) {
        entry.structure = index;
        if (!element->canOmitEndTag())
            entry.fixedStructure = index;
    }
    if (group & (ElementType::GROUP_TABLE_STRUCTURE | ElementType::GROUP_TABLE_PART))
        entry.tableStructureOrPart = index;
    if (!(group & ElementType::GROUP_LOGICAL))
        entry.nonLogical = index;
    if (key > 0 && key <= ElementTable::MAX_ELEMENT_ID) {
        entry.sameKey = _topById[key];
        _topById[key] = index;
    } else {
        entry.key = KEY_BY_NAME;
        entry.sameKey = NONE;
        auto slot = _topByName.try_emplace(pagedom::str::lower(element->getTagName()), index);
        if (!slot.second) {
            entry.sameKey = slot.first->second;
            slot.first->second = index;
        }
    }
    _open.push_back(entry);
}

void HTMLParser::_pushOpenNode(Node* node)
{
    const std::uint32_t index = static_cast<std::uint32_t>(_open.size());
    OpenNode entry;
    if (_open.empty()) {
        entry.structure = entry.fixedStructure = entry.tableStructureOrPart = NONE;
    } else {
        entry = _open.back();
    }
    entry.node = node;
    entry.key = KEY_NONE;
    entry.sameKey = NONE;
    entry.nonElement = index;
    entry.nonLogical = index;
    _open.push_back(entry);
}

void HTMLParser::_popOpen()
{
    const OpenNode& entry = _open.back();
    if (entry.key > 0) {
        _topById[entry.key] = entry.sameKey;
    } else if (entry.key == KEY_BY_NAME) {
        auto slot = _topByName.find(pagedom::str::lower(static_cast<const Element*>(entry.node)->getTagName()));
        if (entry.sameKey == NONE)
            _topByName.erase(slot);
        else
            slot->second = entry.sameKey;
    }
    _open.pop_back();
}

void HTMLParser::_returnTo(Node* ancestor)
{
    while (_open.size() > 1 && _open.back().node != ancestor)
        _popOpen();
    _current = ancestor;
    if (_open.back().node != ancestor)
        _resetOpenNodes();
}

std::uint32_t HTMLParser::_nearestNamed(const std::string& name, const ElementType* endType) const
{
    std::uint32_t nearest = NONE;
    auto consider = [&nearest](std::uint32_t index) {
        if (index != NONE && (nearest == NONE || index > nearest))
            nearest = index;
    };
    // An element of the name is keyed by the id of its type, which is the
    // type of the name or its case twin, or by the name itself.
    for (const ElementType* type : {endType, endType ? endType->getCaseTwin() : nullptr}) {
        const int id = type ? type->getElementID() : 0;
        if (id > 0 && id <= ElementTable::MAX_ELEMENT_ID)
            consider(_topById[id]);
    }
    if (!_topByName.empty()) {
        auto slot = _topByName.find(pagedom::str::lower(name));
        if (slot != _topByName.end())
            consider(slot->second);
    }
    return nearest;
}

Element* HTMLParser::_openElementBelowNamed(const std::string& name, const ElementType* endType, bool crosses,
                                            bool omissible)
{
    if (name.empty())
        return nullptr;
    const OpenNode& top = _open.back();
    const std::uint32_t nearest = _nearestNamed(name, endType);
    if (nearest == NONE)
        return nullptr;
    const Node* node = _open[nearest].node;
    if (!pagedom::str::equalsIgnoreCase(static_cast<const Element*>(node)->getTagName(), name))
        return _climbToElementNamed(name, crosses, omissible);
    // The search passes no node that is no element, and stops at the
    // barrier, which it still checks by name.
    if (top.nonElement != NONE && nearest <= top.nonElement)
        return nullptr;
    const std::uint32_t barrier = !crosses ? top.structure : omissible ? top.fixedStructure : NONE;
    if (barrier != NONE && nearest < barrier)
        return nullptr;
    return static_cast<Element*>(_open[nearest].node);
}

Element* HTMLParser::_climbToElementNamed(const std::string& name, bool crosses, bool omissible) const
{
    for (Node* n = _current; _isElement(n); n = n->getParentNode()) {
        Element* e = static_cast<Element*>(n);
        if (pagedom::str::equalsIgnoreCase(e->getTagName(), name))
            return e;
        if (e->getElementGroup() & ElementType::GROUP_TABLE_STRUCTURE) {
            if (!crosses)
                return nullptr;
            if (omissible && !e->canOmitEndTag())
                return nullptr;
        }
    }
    return nullptr;
}

bool HTMLParser::_inTableParts(std::size_t index) const
{
    const OpenNode& entry = _open[index];
    return entry.tableStructureOrPart != NONE &&
           (entry.nonElement == NONE || entry.tableStructureOrPart > entry.nonElement);
}

