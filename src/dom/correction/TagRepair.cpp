// Producing a repaired element's tags again and repairing its attributes.
#include "correction/TagRepair.h"

#include "correction/NodeMoves.h"

#include <vector>

#include "doctype/ContentModel.h"
#include "doctype/ElementTable.h"
#include "doctype/ElementType.h"
#include "node/NamedNodeMap.h"
#include "node/NodeAccess.h"
#include "tree/Attr.h"
#include "tree/Element.h"
#include "tree/ElementAccess.h"

namespace pagedom {

namespace {

constexpr unsigned long END_TAG_ERRORS = Node::MISMATCHED_END_TAG_ERROR | Node::MISSING_END_TAG_ERROR |
                                         Node::UNNECESSARY_END_TAG_ERROR | Node::INVALID_END_TAG_ERROR;
constexpr unsigned long TAG_ERRORS = END_TAG_ERRORS | Node::MISMATCHED_ERROR | Node::MISSING_START_TAG_ERROR |
                                     Node::INVALID_FORMAT_ERROR | Node::INVALID_DIRECTIVE_ERROR;

// Whether the element, whose tags are produced again, must show its end
// tag although the produced one is left out (HTML lets a page leave out the
// end tag of a P, an LI, a TD, and a page does not show what an undeclared
// element holds without one): without it, what follows the element would
// be read into it.
bool needsWrittenEnd(Element* element, bool endWasShown)
{
    if (!element->getEndTag().empty() || element->getStartTag().empty())
        return false;
    const ElementType* type = element->getElementType();
    if (!type)
        return endWasShown || element->hasChildNodes();
    return type->getFormatType() == ElementType::FORMAT_HTML_TAG &&
           type->getContainerType() != ContentModel::EMPTY_CONTENT;
}

// Whether what element holds ends in markup the page left open (a comment
// or declaration cut short by the end of the page, a lone "<" or "&"): an
// end tag written after it would be read as part of it.  A start tag cut
// short is no such markup: the "<" of what follows ends it.  Looks down the last
// children to the first element that shows its end tag, a few dozen levels
// at most (so that repairing each element of a deep chain costs no more).
bool contentEndsOpen(const Element* element)
{
    constexpr unsigned LOOK_DOWN = 64;
    const Node* last = element->getLastChild();
    for (unsigned depth = 0; last && last->getNodeType() == Node::ELEMENT_NODE && last->getLastChild() &&
                             !static_cast<const Element*>(last)->hasEndTag();
         ++depth) {
        if (depth == LOOK_DOWN)
            return false;
        last = last->getLastChild();
    }
    if (!last)
        return false;
    if (last->getNodeType() == Node::ELEMENT_NODE)
        return false;
    const std::string source = last->getSource();
    if (source.empty())
        return false;
    if (last->getNodeType() == Node::TEXT_NODE)
        return source.back() == '<' || source.back() == '&';
    return source.back() != '>';
}

// Takes back an end tag produced after content left open.
void keepEndUnshown(Element* element)
{
    if (element->hasEndTag() && contentEndsOpen(element))
        element->setEndTag(std::string());
}

// After element's end tag was produced again: the matching end tag is
// written where the produced one would be left out, and none is shown after
// content left open.
void settleEndTag(Element* element, bool endWasShown)
{
    if (needsWrittenEnd(element, endWasShown))
        ElementAccess::writeMatchingEndTag(*element);
    keepEndUnshown(element);
}

} // namespace

void TagRepair::regenerateTags(Element* element)
{
    // A row the page did not write holds nothing but layout until its tags
    // show; repairing it makes them show.
    const bool isVirtual = element->isVirtualElement();
    if (isVirtual)
        element->specifyTag();
    if (!element->getNodeName().empty()) {
        const bool endWasShown = element->hasEndTag();
        ElementAccess::regenerateTags(*element);
        settleEndTag(element, endWasShown);
        if (element->hasEndTag())
            closeLastChildren(element);
    }
    NodeAccess::clearErrorState(*element, TAG_ERRORS);
    repairAttributes(element);
    if (isVirtual) {
        for (Node* child = element->getFirstChild(); child; child = child->getNextSibling())
            if (element->canContain(child))
                NodeAccess::clearErrorState(*child, Node::INVALID_CONTENT_ERROR);
    }
    // Code read as "<%@ ..." in a scriptlet is stored again, so that it is
    // written as the scriptlet's code, not taken for a directive.
    if (element->getElementID() == ElementTable::ID_JSP_SCRIPTLET && ElementAccess::hasScriptSyntax(*element)) {
        const std::string code = element->getJSPScriptData();
        if (!code.empty() && code[0] == '@')
            element->setJSPScriptData(code);
    }
    NodeAccess::addUpdateBits(*element, Node::UPDATE_CONTENT_MODIFIED);
}

void TagRepair::regenerateEndTag(Element* element)
{
    if (!element->getNodeName().empty()) {
        const bool endWasShown = element->hasEndTag();
        ElementAccess::regenerateEndTag(*element);
        settleEndTag(element, endWasShown);
        if (element->hasEndTag())
            closeLastChildren(element);
    }
    NodeAccess::clearErrorState(*element, END_TAG_ERRORS);
}

bool TagRepair::isLeftOpen(const Element* element)
{
    if (!element->hasStartTag() || element->hasEndTag() || element->isEmptyElement())
        return false;
    const ElementType* type = element->getElementType();
    return !type || (type->getFormatType() == ElementType::FORMAT_HTML_TAG &&
                     type->getContainerType() != ContentModel::EMPTY_CONTENT);
}

void TagRepair::closeLastChildren(Element* element)
{
    for (Node* last = element->getLastChild(); last;) {
        while (last && isLayoutOnly(last))
            last = last->getPreviousSibling();
        if (!last || last->getNodeType() != Node::ELEMENT_NODE)
            return;
        Element* open = static_cast<Element*>(last);
        // An element the page implied (a TBODY) shows no tags: what it
        // holds last may still be left open.
        const bool implied = !open->hasStartTag() && !open->hasEndTag();
        if (!implied && !isLeftOpen(open))
            return;
        if (!implied) {
            if (contentEndsOpen(open))
                return;
            if (!open->getNodeName().empty()) {
                ElementAccess::regenerateEndTag(*open);
                settleEndTag(open, false);
            }
            NodeAccess::clearErrorState(*open, END_TAG_ERRORS);
        }
        last = open->getLastChild();
    }
}

void TagRepair::closeBefore(Node* node)
{
    Node* before = node ? node->getPreviousSibling() : nullptr;
    while (before && isLayoutOnly(before))
        before = before->getPreviousSibling();
    if (before && before->getNodeType() == Node::ELEMENT_NODE && isLeftOpen(static_cast<Element*>(before)))
        regenerateEndTag(static_cast<Element*>(before));
}

void TagRepair::closeOpenChildren(Node* parent)
{
    for (Node* child = parent->getFirstChild(); child; child = child->getNextSibling())
        if (child->getPreviousSibling() && !isLayoutOnly(child))
            closeBefore(child);
}

void TagRepair::repairAttributes(Element* element)
{
    const unsigned long attrErrors = Node::INVALID_ATTR_ERROR | Node::UNDEFINED_ATTR_ERROR;
    if (!element->hasAttributes()) {
        NodeAccess::clearErrorState(*element, attrErrors);
        return;
    }
    if (!(element->getErrorState() & attrErrors))
        return;
    const NamedNodeMap* attrs = element->getAttributes();
    std::vector<Attr*> duplicates;
    bool undefinedRemains = false;
    for (unsigned long i = 0; attrs && i < attrs->getLength(); ++i) {
        Attr* attr = static_cast<Attr*>(attrs->item(i));
        if (attr->getErrorState() & Node::DUPLICATE_ERROR)
            duplicates.push_back(attr);
        else if (attr->getErrorState() & Node::UNDEFINED_NAME_ERROR)
            undefinedRemains = true;
        else
            NodeAccess::clearErrorState(*attr, attr->getErrorState());
    }
    for (Attr* attr : duplicates)
        if (Attr* removed = element->removeAttributeNode(attr))
            removed->releaseRef();
    NodeAccess::clearErrorState(*element, undefinedRemains ? Node::INVALID_ATTR_ERROR : attrErrors);
}

} // namespace pagedom
