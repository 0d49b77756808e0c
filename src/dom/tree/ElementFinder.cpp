// The element detectors and the child and family finders.
#include "tree/ElementFinder.h"

#include <algorithm>

#include "tree/Element.h"
#include "base/StringUtil.h"

namespace _Element {

bool NameDetector::accepts(const Element* element) const
{
    return pagedom::str::equalsIgnoreCase(element->getNodeName(), _name);
}

bool MultiNameDetector::accepts(const Element* element) const
{
    const std::string name = element->getNodeName();
    for (const std::string& n : _names)
        if (pagedom::str::equalsIgnoreCase(name, n))
            return true;
    return false;
}

bool IDDetector::accepts(const Element* element) const
{
    return element->getElementID() == _id;
}

bool MultiIDDetector::accepts(const Element* element) const
{
    return std::find(_ids.begin(), _ids.end(), element->getElementID()) != _ids.end();
}

bool ContentNameDetector::accepts(const Element* element) const
{
    if (!element->getElementType())
        return false;
    // Names compare as the name detectors compare them: ignoring ASCII case.
    for (const std::string& name : element->getContentNames())
        if (pagedom::str::equalsIgnoreCase(name, _name))
            return true;
    return false;
}

dom::NodeList ChildFinder::find(const Node* root) const
{
    dom::OwnerNodeList result;
    for (Node* c = root->getFirstChild(); c; c = c->getNextSibling())
        if (c->getNodeType() == Node::ELEMENT_NODE && _detector.accepts(static_cast<Element*>(c)))
            result.append(c);
    return result;
}

dom::NodeList FamilyFinder::find(const Node* root) const
{
    dom::OwnerNodeList result;
    Node* n = root->getFirstChild();
    while (n) {
        bool skip = false;
        if (n->getNodeType() == Node::ELEMENT_NODE) {
            const Element* e = static_cast<const Element*>(n);
            if (_detector.accepts(e)) {
                result.append(n);
                skip = true;
            } else if (_boundary.accepts(e)) {
                skip = true;
            }
        }
        n = n->getNextNode(root, skip);
    }
    return result;
}

} // namespace _Element
