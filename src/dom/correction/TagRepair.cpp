// Producing a repaired element's tags again and repairing its attributes.
#include "correction/TagRepair.h"

#include <vector>

#include "doctype/ElementTable.h"
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

} // namespace

void TagRepair::regenerateTags(Element* element)
{
    if (!element->getNodeName().empty())
        ElementAccess::regenerateTags(*element);
    NodeAccess::clearErrorState(*element, TAG_ERRORS);
    repairAttributes(element);
    if (element->isVirtualElement()) {
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
    if (!element->getNodeName().empty())
        ElementAccess::regenerateEndTag(*element);
    NodeAccess::clearErrorState(*element, END_TAG_ERRORS);
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
