// Producing run-time text: an element's through its metadata and object,
// and the walk over ordinary nodes that dynamic elements generate around.
#include "tree/MetaData.h"

#include <vector>

#include "doctype/ElementType.h"
#include "tree/Document.h"
#include "tree/Element.h"

namespace {

// Closes a scriptlet before a tag.
const char SCRIPTLET_CLOSE_BEFORE_TAG[] = " %>";
// Closes a scriptlet, on a line of its own, before page text.
const char SCRIPTLET_CLOSE[] = "%>";
const char LINE_BREAK[] = "\r\n";
// Each level of generated code indents its lines by this many spaces.
constexpr std::int32_t INDENT_WIDTH = 2;

void appendIndentation(std::string& out, const RuntimeTextState& state)
{
    if (state.indent > 0)
        out.append(static_cast<std::size_t>(state.indent) * INDENT_WIDTH, ' ');
}

// A tag of the page: an open scriptlet is closed first; a block element's
// tags start a line.
void appendTag(std::string& out, RuntimeTextState& state, const Element* element, bool start)
{
    const std::string tag = start ? element->getStartTag() : element->getEndTag();
    if (tag.empty())
        return;
    if (state.scriptletOpen) {
        out += SCRIPTLET_CLOSE_BEFORE_TAG;
        state.scriptletOpen = false;
    }
    if (element->getElementGroup() & ElementType::GROUP_BLOCK) {
        out += LINE_BREAK;
        appendIndentation(out, state);
    }
    out += tag;
}

// Page text (a text, a comment, or the code server code holds): an open
// scriptlet is closed on a line of its own first.
void appendPageText(std::string& out, RuntimeTextState& state, const Node* node)
{
    if (state.scriptletOpen) {
        out += LINE_BREAK;
        appendIndentation(out, state);
        out += SCRIPTLET_CLOSE;
        state.scriptletOpen = false;
    }
    out += node->getSource();
}

// Whether the run-time walk writes element as its tags around its
// children's run-time text: it has no metadata, or it is an author-time
// visual (which shows at run time as it stands).
bool writesItsTags(const Element* element)
{
    const MetaData* meta = element->getMetaData();
    return !meta || meta->getType() == MetaData::AuthorTimeVisual;
}

// The run-time text of root's children, or with rootItself of root as an
// ordinary element.  Walked without recursion: the open elements whose end
// tags are still to be written are kept on a stack.
void appendRuntimeTextOf(const Node* root, bool rootItself, std::string& out, RuntimeTextState& state)
{
    std::vector<const Element*> open;
    const Node* node = rootItself ? root : root->getFirstChild();
    while (node) {
        bool entered = false;
        switch (node->getNodeType()) {
        case Node::ELEMENT_NODE: {
            const Element* element = static_cast<const Element*>(node);
            if (!writesItsTags(element) && node != root) {
                element->getMetaData()->appendRuntimeText(out, state, true);
                break;
            }
            appendTag(out, state, element, true);
            if (element->getFirstChild()) {
                open.push_back(element);
                node = element->getFirstChild();
                entered = true;
            } else {
                appendTag(out, state, element, false);
            }
            break;
        }
        case Node::TEXT_NODE:
        case Node::COMMENT_NODE:
        case Node::CDATA_SECTION_NODE:  // the code of server code
            appendPageText(out, state, node);
            break;
        default:
            break;
        }
        if (entered)
            continue;
        // On to the next node: after the last child, the end tags of the
        // elements it ends.
        const Node* next = node == root ? nullptr : node->getNextSibling();
        while (!next && !open.empty()) {
            const Element* done = open.back();
            open.pop_back();
            appendTag(out, state, done, false);
            next = done == root ? nullptr : done->getNextSibling();
        }
        node = next;
    }
}

} // namespace

void MetaData::appendChildrenRuntimeText(const Node* parent, std::string& out, RuntimeTextState& state)
{
    if (parent)
        appendRuntimeTextOf(parent, false, out, state);
}

bool MetaData::_runtimeReusable() const
{
    if (_runtimeRevised)
        return false;
    // A span read from the page is checked once against what its object
    // produces.
    return !(_runtimeVerify && _type == DynamicData && _dynamic && _ownerElement);
}

void MetaData::appendRuntimeText(std::string& out, RuntimeTextState& state, bool fromChildrenWalk)
{
    if (_type == AuthorTimeVisual && fromChildrenWalk) {
        if (_ownerElement)
            appendRuntimeTextOf(_ownerElement, true, out, state);
        return;
    }
    if (_runtimeReusable()) {
        out += _runtimeData;
        state.scriptletOpen = _scriptletLeftOpen;
        return;
    }
    if (_type == DynamicData && _dynamic && _ownerElement) {
        _produceRuntimeText(out, state);
        return;
    }
    if (_type == DesignerControl && _designer && _ownerElement) {
        _designer->update(this);
        if (state.scriptletOpen) {
            out += SCRIPTLET_CLOSE_BEFORE_TAG;
            state.scriptletOpen = false;
        }
    }
    out += _runtimeData;
}

void MetaData::_produceRuntimeText(std::string& out, RuntimeTextState& state)
{
    const std::size_t from = out.size();
    // The object may drop its last other reference while it works.
    ::DynamicData* dynamic = _dynamic;
    dynamic->addRef();
    dynamic->generateRuntimeText(this, out, state);
    if (dynamic->release() == 0)
        delete dynamic;
    std::string produced = out.substr(from);
    if (produced != _runtimeData) {
        _runtimeDiffers = true;
        if (Document* doc = getOwnerDocument())
            doc->_markRuntimeTextDifferent();
    }
    _runtimeData = std::move(produced);
    _scriptletLeftOpen = state.scriptletOpen;
    _runtimeRevised = false;
    _runtimeVerify = false;
}

void MetaData::_appendSavedRuntimeText(std::string& out) const
{
    // Writing the saved page produces what is out of date; what changes is
    // the stored run-time text, a cache of what the objects produce.
    RuntimeTextState state;
    const_cast<MetaData*>(this)->appendRuntimeText(out, state);
}
