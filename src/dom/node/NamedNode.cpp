// Names of their own for the nodes that have one.
#include "node/NamedNode.h"

#include "base/NameTable.h"

NamedNode::NamedNode(Document* ownerDocument, const std::string& name) : Node(ownerDocument), _nodeName(nullptr)
{
    _takeName(name);
}

NamedNode::NamedNode(const NamedNode& other) : Node(other), _nodeName(other._nodeName)
{
    if (other._ownsName)
        _takeName(*other._nodeName);
}

NamedNode::~NamedNode()
{
    // Most names are shared copies, which stay.
    if (_ownsName)
        _dropName();
}

void NamedNode::_takeName(const std::string& name)
{
    // The copy is made before the old name goes: name may be that name.
    const std::string* shared = pagedom::NameTable::intern(name);
    const std::string* own = shared ? nullptr : new std::string(name);
    _dropName();
    _nodeName = shared ? shared : own;
    _ownsName = own != nullptr ? 1 : 0;
}

void NamedNode::_dropName()
{
    if (_ownsName)
        delete _nodeName;
    _nodeName = nullptr;
    _ownsName = 0;
}
