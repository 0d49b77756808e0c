// What the fix command says about each repair it made.
#include "RepairReport.h"

#include <unordered_set>

#include "ErrorKinds.h"
#include "dom.h"

namespace tool {

namespace {

// Every node of the document's tree, walked without recursion.
std::unordered_set<const Node*> nodesOf(const Document* doc)
{
    std::unordered_set<const Node*> nodes;
    std::vector<const Node*> pending{doc};
    while (!pending.empty()) {
        const Node* n = pending.back();
        pending.pop_back();
        nodes.insert(n);
        for (const Node* child = n->getFirstChild(); child; child = child->getNextSibling())
            pending.push_back(child);
    }
    return nodes;
}

} // namespace

RepairReport::RepairReport(Document* doc) : _doc(doc)
{
    for (const DOMError& error : doc->getErrorList()) {
        error.node->addRef();
        _noted.push_back(Noted{error.node, error.node->getParentNode(), error.line, nodeLabel(error.node),
                               errorWords(error.node->getErrorState()), error.node->hasChildNodes()});
    }
}

RepairReport::~RepairReport()
{
    for (const Noted& noted : _noted)
        noted.node->releaseRef();
}

std::vector<std::string> RepairReport::lines() const
{
    const std::unordered_set<const Node*> inPage = nodesOf(_doc);
    std::vector<std::string> out;
    for (const Noted& noted : _noted) {
        const Node* n = noted.node;
        std::string done;
        if (!inPage.count(n) && n->getNodeType() == Node::TEXT_NODE)
            done = "joined with the text beside it";
        else if (!inPage.count(n))
            done = noted.hadChildren ? "removed, its content kept in its place" : "removed";
        else if (n->getErrorState() != Node::NONE_ERROR)
            done = "left as it is";
        else if (n->getParentNode() != noted.parent && n->getParentNode())
            done = "moved into " + nodeLabel(n->getParentNode());
        else
            done = "repaired";
        out.push_back(std::to_string(noted.line) + ": " + noted.label + ": " + noted.kinds + ": " + done);
    }
    return out;
}

} // namespace tool
