// The searches of an element: by tag name, id and attribute over its
// descendants, and the child and family finders.
#include "tree/Element.h"

#include "doctype/DocumentType.h"
#include "doctype/ElementTable.h"
#include "doctype/ElementType.h"
#include "base/StringUtil.h"
#include "tree/Attr.h"
#include "tree/Document.h"
#include "tree/ElementFinder.h"

dom::NodeList Element::getElementsByTagName(const std::string& name) const
{
    dom::OwnerNodeList result;
    if (name.empty())
        return result;
    for (Node* n = getFirstChild(); n; n = n->getNextNode(this))
        if (n->getNodeType() == ELEMENT_NODE && pagedom::str::equalsIgnoreCase(n->getNodeName(), name))
            result.append(n);
    return result;
}

Element* Element::getElementByID(const std::string& id) const
{
    if (id.empty())
        return nullptr;
    for (Node* n = getFirstChild(); n; n = n->getNextNode(this)) {
        if (n->getNodeType() != ELEMENT_NODE)
            continue;
        const Element* e = static_cast<Element*>(n);
        if (e->_hasAttribute("id") && e->getAttribute("id") == id)
            return static_cast<Element*>(n);
    }
    return nullptr;
}

dom::NodeList Element::getElementsByAttr(const std::string& name, const std::string& value) const
{
    dom::OwnerNodeList result;
    for (Node* n = getFirstChild(); n; n = n->getNextNode(this)) {
        if (n->getNodeType() != ELEMENT_NODE)
            continue;
        const Element* e = static_cast<Element*>(n);
        if (!e->_hasAttribute(name))
            continue;
        if (value.empty() || e->getAttributeNode(name)->matchValue(value))
            result.append(n);
    }
    return result;
}

dom::NodeList Element::getChildElementsByName(const std::string& name) const
{
    return _Element::ChildFinder(_Element::NameDetector(name)).find(this);
}

dom::NodeList Element::getChildElementsByID(int id) const
{
    return _Element::ChildFinder(_Element::IDDetector(id)).find(this);
}

dom::NodeList Element::getFamilyElementsByName(const std::string& name) const
{
    _Element::NameDetector detector(name);
    if (getElementID() == ElementTable::ID_FORM)
        return _Element::FamilyFinder(detector, _Element::IDDetector(ElementTable::ID_FORM)).find(this);
    return _Element::FamilyFinder(detector, _Element::ContentNameDetector(name)).find(this);
}

dom::NodeList Element::getFamilyElementsByNames(const std::vector<std::string>& names) const
{
    return _Element::FamilyFinder(_Element::MultiNameDetector(names), _Element::IDDetector(getElementID()))
        .find(this);
}

dom::NodeList Element::getFamilyElementsByID(int id) const
{
    _Element::IDDetector detector(id);
    if (getElementID() == ElementTable::ID_FORM)
        return _Element::FamilyFinder(detector, _Element::IDDetector(ElementTable::ID_FORM)).find(this);
    std::string name;
    const Document* doc = getOwnerDocument();
    const DocumentType* docType = doc ? doc->getDocumentType() : nullptr;
    if (docType) {
        if (const ElementType* type = docType->getDefElementType(id))
            name = type->getName();
    }
    return _Element::FamilyFinder(detector, _Element::ContentNameDetector(name)).find(this);
}

dom::NodeList Element::getFamilyElementsByIDs(const std::vector<int>& ids) const
{
    return _Element::FamilyFinder(_Element::MultiIDDetector(ids), _Element::IDDetector(getElementID()))
        .find(this);
}

