// The adaptors of the VoiceXML corrector.
#include "correction/VXMLErrorCorrector.h"

#include <map>
#include <string>

#include "doctype/ElementType.h"
#include "node/NodeAccess.h"
#include "tree/Document.h"
#include "tree/Element.h"

namespace {

// The element a VoiceXML parent makes inside itself for a stray child.
struct ChildAdaptor {
    const char* parent;
    const char* adaptor;
};
const ChildAdaptor CHILD_ADAPTORS[] = {{"vxml", "form"}, {"form", "block"}};

// The parent a stray VoiceXML element is wrapped in, for each group of
// children.
struct ParentAdaptor {
    const char* parent;
    const char* children[11];
};
const ParentAdaptor PARENT_ADAPTORS[] = {
    {"menu", {"choice"}},
    {"form",
     {"field", "initial", "block", "dtmf", "grammar", "record", "transfer", "filled", "subdialog", "object",
      "property"}},
    {"field", {"option"}},
    {"prompt", {"break", "div", "emp", "pros", "sayas"}},
    {"if", {"elseif", "else"}},
    {"object", {"param"}}};

// Child name to parent name, built on first use and kept until the library
// is unloaded.
const std::map<std::string, std::string>& parentAdaptors()
{
    static const std::map<std::string, std::string> table = [] {
        std::map<std::string, std::string> built;
        for (const ParentAdaptor& group : PARENT_ADAPTORS)
            for (const char* child : group.children)
                if (child)
                    built.emplace(child, group.parent);
        return built;
    }();
    return table;
}

// A new element named name made by document, marked as an adaptor.
Element* makeAdaptor(Document* document, const std::string& name)
{
    Element* adaptor = document->createElement(name);
    if (adaptor)
        pagedom::NodeAccess::addUpdateBits(*adaptor, Node::UPDATE_ADAPTED);
    return adaptor;
}

} // namespace

Element* VXMLErrorCorrector::_createChildAdaptor(const Element* parent) const
{
    if (!parent || !parent->getElementType() || !parent->getOwnerDocument())
        return nullptr;
    const std::string& name = parent->getElementType()->getName();
    for (const ChildAdaptor& rule : CHILD_ADAPTORS)
        if (name == rule.parent)
            return makeAdaptor(parent->getOwnerDocument(), rule.adaptor);
    return nullptr;
}

Element* VXMLErrorCorrector::_createParentAdaptor(const Element* child) const
{
    if (!child || !child->getElementType() || !child->getOwnerDocument())
        return nullptr;
    const std::map<std::string, std::string>& table = parentAdaptors();
    auto found = table.find(child->getElementType()->getName());
    if (found == table.end())
        return nullptr;
    return makeAdaptor(child->getOwnerDocument(), found->second);
}
