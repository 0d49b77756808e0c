// Producing a repaired element's tags again and repairing its attributes.
#include "correction/TagRepair.h"

#include "correction/NodeMoves.h"

#include <cstring>
#include <utility>
#include <vector>

#include "base/StringUtil.h"
#include "doctype/ContentModel.h"
#include "doctype/ElementTable.h"
#include "doctype/ElementType.h"
#include "node/NodeAccess.h"
#include "tree/Attr.h"
#include "tree/Comment.h"
#include "tree/Document.h"
#include "tree/Element.h"
#include "tree/ProcessingInstruction.h"
#include "tree/ElementAccess.h"

namespace pagedom {

namespace {

constexpr unsigned long END_TAG_ERRORS = Node::MISMATCHED_END_TAG_ERROR | Node::MISSING_END_TAG_ERROR |
                                         Node::UNNECESSARY_END_TAG_ERROR | Node::INVALID_END_TAG_ERROR;
constexpr unsigned long TAG_ERRORS = END_TAG_ERRORS | Node::MISMATCHED_ERROR | Node::MISSING_START_TAG_ERROR |
                                     Node::INVALID_FORMAT_ERROR | Node::INVALID_DIRECTIVE_ERROR;
// How a tag that is no comment, CDATA section or DOCTYPE but other "<!"
// markup opens.
const std::string DECLARATION_OPEN = "<!";

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

// Whether the element's start tag, as the page wrote it, lacks its end: the
// ">" of a tag, the "-->" of a server-side include.
bool isCutShort(const Element* element)
{
    if (ElementAccess::hasScriptSyntax(*element) || ElementAccess::isStartTagGenerated(*element))
        return false;
    const std::string start = element->getStartTag();
    if (start.empty())
        return false;
    const ElementType* type = element->getElementType();
    if (type && type->getFormatType() == ElementType::FORMAT_SSI_DIRECTIVE)
        return !str::endsWith(start, Element::SSI_CLOSE_TAG);
    return start.back() != '>';
}

// Whether a produced tag reads back with this name: no byte of it ends a
// name, it does not begin with a byte that "<" turns into other markup or
// text ("<!", "</", "<%", "<-" ...), and it does not end in "/" (read as the
// slash of an empty tag).
bool readsAsName(const std::string& name)
{
    constexpr const char* NOT_FIRST = "!\"%'()*+,-/=?[]|&";
    auto isIn = [](const char* set, char c) { return c != '\0' && std::strchr(set, c) != nullptr; };
    if (name.empty() || isIn(NOT_FIRST, name.front()) || name.back() == '/')
        return false;
    for (char c : name) {
        if (isIn(str::NAME_DELIMITERS, c))
            return false;
    }
    return true;
}

// A "<!x" tag (read to the first ">" outside quotes) as the repair writes
// it: a "<" inside written "&lt;", since markup there is read by its own
// rules (a comment that ended at the tag's ">" for want of its "-->" would
// run on to one written after it), and, cut short, the quote it left open
// and its ">".  One that markup inside carried past a ">" outside quotes
// ("<!<!-- > -->") stays as it is: written so, it would end there.
std::string closedDeclarationTag(const std::string& start)
{
    std::string closed = start.substr(0, DECLARATION_OPEN.size());
    char quote = '\0';
    bool ended = false;
    for (std::size_t i = DECLARATION_OPEN.size(); i < start.size(); ++i) {
        if (ended)
            return start;
        const char c = start[i];
        if (c == '<')
            closed += "&lt;";
        else
            closed += c;
        if (quote ? c == quote : c == '"' || c == '\'')
            quote = quote ? '\0' : c;
        else if (!quote && c == '>')
            ended = true;
    }
    if (!ended) {
        if (quote)
            closed += quote;
        closed += '>';
    }
    return closed;
}

bool isDeclarationTag(const std::string& start)
{
    return start.compare(0, DECLARATION_OPEN.size(), DECLARATION_OPEN) == 0;
}

// The start tag of a tag whose name does not read back, as the repair
// writes it: a "<!x" tag as closedDeclarationTag gives it; any other, cut
// short, with the ">" it lacks.  Empty when nothing written after it is
// sure to end it: a quote left open in a tag read by attributes.
std::string writableStartTag(const Element* element)
{
    const std::string start = element->getStartTag();
    if (isDeclarationTag(start))
        return closedDeclarationTag(start);
    if (start.find_first_of("\"'") != std::string::npos)
        return std::string();
    return isCutShort(element) ? start + '>' : start;
}

// Whether a "<!x" tag holds markup reading takes by its own rules.
bool holdsMarkup(const Element* element)
{
    if (readsAsName(element->getNodeName()))
        return false;
    const std::string start = element->getStartTag();
    return isDeclarationTag(start) && start.find('<', DECLARATION_OPEN.size()) != std::string::npos;
}

// Whether closeMarkup can close a start tag cut short: produce it again
// from a name that reads back as one, or write any other as
// writableStartTag gives it.
bool canBeClosed(const Element* element)
{
    return readsAsName(element->getNodeName()) || !writableStartTag(element).empty();
}

// Whether raw content is closed as written: its end shows, or (a JSP
// directive) its start tag ends the code.
bool rawContentEnds(const Element* element)
{
    if (element->hasEndTag())
        return true;
    if (!ElementAccess::hasScriptSyntax(*element))
        return false;
    const std::string start = element->getStartTag();
    return start.size() > Element::JSP_CLOSE_TAG.size() && str::endsWith(start, Element::JSP_CLOSE_TAG);
}

// Whether what element holds ends in markup the page left open (a comment
// or declaration cut short by the end of the page, a lone "<" or "&", raw
// content without its end): an end tag written after it would be read as
// part of it.  Looks down the last children to the first element that
// shows its end tag, a few dozen levels at most (so that repairing each
// element of a deep chain costs no more).
bool contentEndsOpen(const Element* element)
{
    constexpr unsigned LOOK_DOWN = 64;
    // Raw content (server code, a SCRIPT) is closed by its own end: what it
    // holds is never markup left open, but raw content whose end is not
    // shown runs on into whatever is written after it.
    if (TagRepair::holdsRawContent(element))
        return false;
    const Node* last = element->getLastChild();
    for (unsigned depth = 0; last && last->getNodeType() == Node::ELEMENT_NODE; ++depth) {
        const Element* open = static_cast<const Element*>(last);
        // Raw content runs on unless its end shows (the repair gives what
        // it can an end first: closeMarkup).
        if (TagRepair::holdsRawContent(open))
            return !rawContentEnds(open);
        if (open->hasEndTag() || depth == LOOK_DOWN)
            return false;
        // A start tag cut short is no markup left open: the repair closes
        // it first (closeMarkup), where it can.
        if (!open->getLastChild())
            return isCutShort(open) && !canBeClosed(open);
        last = open->getLastChild();
    }
    if (!last)
        return false;
    const std::string source = last->getSource();
    if (source.empty())
        return false;
    if (last->getNodeType() == Node::TEXT_NODE)
        return source.back() == '<' || source.back() == '&';
    return source.back() != '>';
}

// Server code written where an attribute goes ("<%= checked %>").
bool isServerCodeName(const std::string& name)
{
    return name.compare(0, Element::JSP_OPEN_TAG.size(), Element::JSP_OPEN_TAG) == 0;
}

// Whether reading ends open, an element left open, where next follows it
// (the ends the reader implies): a P before a block, what stands in a
// table before a row or cell the table does not take in, an element
// before its twin whose end tag may be left out, a DT before a DD and
// back, an EMBED before anything.  Any other element left open takes next
// in, even where it cannot hold it.
bool readingEnds(const Element* open, const Node* next)
{
    if (next->getNodeType() != Node::ELEMENT_NODE)
        return false;
    const Element* element = static_cast<const Element*>(next);
    const int id = open->getElementID();
    const int nextID = element->getElementID();
    const unsigned long group = element->getElementGroup();
    if (id == ElementTable::ID_P && (group & (ElementType::GROUP_BLOCK | ElementType::GROUP_FLOW)))
        return true;
    if (group & ElementType::GROUP_TABLE_PART) {
        // A TABLE takes any part in (reading implies the body and row that
        // hold it), a TBODY any cell.
        const bool cell = nextID == ElementTable::ID_TD || nextID == ElementTable::ID_TH;
        if (id == ElementTable::ID_TABLE || (id == ElementTable::ID_TBODY && cell))
            return false;
        constexpr unsigned LOOK_UP = 64;
        const Node* a = open;
        for (unsigned height = 0; a && a->getNodeType() == Node::ELEMENT_NODE && height < LOOK_UP; ++height) {
            if (static_cast<const Element*>(a)->getElementGroup() &
                (ElementType::GROUP_TABLE_STRUCTURE | ElementType::GROUP_TABLE_PART))
                return true;
            a = a->getParentNode();
        }
        return false;
    }
    if (element->canOmitEndTag() && nextID != 0 && nextID == id)
        return true;
    if ((nextID == ElementTable::ID_DD && id == ElementTable::ID_DT) ||
        (nextID == ElementTable::ID_DT && id == ElementTable::ID_DD))
        return true;
    return id == ElementTable::ID_EMBED;
}

// Whether text opens markup it does not end (a value the end of the page
// cut short: "<%", "<!--").  Read from the front, as reading does: each
// opening ends at the first end after it ("<%<%>" is closed).
bool leavesOpen(const std::string& text, const std::string& open, const std::string& close)
{
    for (std::size_t at = text.find(open); at != std::string::npos;) {
        const std::size_t end = text.find(close, at + open.size());
        if (end == std::string::npos)
            return true;
        at = text.find(open, end + close.size());
    }
    return false;
}

// A JSP comment runs to its own end, taking in quotes and "%>" alike.
bool leavesJSPCommentOpen(const std::string& text)
{
    return leavesOpen(text, Comment::JSP_OPEN_TAG, Comment::JSP_CLOSE_TAG);
}

bool leavesInstructionOpen(const std::string& text);

// A comment (HTML or JSP) opened in an attribute name, or an instruction
// left open before any code: no code, and no way to write it back that
// reads the same (left open it runs on to an end written after it; closed,
// the ">" of its end would end the tag).
bool isOpenMarkupName(const std::string& name)
{
    if (leavesJSPCommentOpen(name) || name.find(Comment::OPEN_TAG) != std::string::npos)
        return true;
    return leavesInstructionOpen(name) &&
           name.find(ProcessingInstruction::OPEN_TAG) < name.find(Element::JSP_OPEN_TAG);
}

// JSP in any form and server-side includes: what their tags hold is code,
// whatever it looks like.
bool isServerCodeElement(const Element* element)
{
    return (element->getElementGroup() & (ElementType::GROUP_JSP | ElementType::GROUP_JSP_BLOCK |
                                          ElementType::GROUP_JSP_DIRECTIVE | ElementType::GROUP_SSI)) != 0;
}

bool leavesServerCodeOpen(const std::string& text)
{
    return leavesOpen(text, Element::JSP_OPEN_TAG, Element::JSP_CLOSE_TAG);
}

// Server code read as (part of) an attribute name, as it is written back:
// code left open gets the "%>" the end of the page or the tag cut off; a
// name that is code ends with its last "%>" (what a tag left open put
// after it goes).
std::string closedServerCode(const std::string& name)
{
    if (leavesServerCodeOpen(name))
        return name + Element::JSP_CLOSE_TAG;
    if (!isServerCodeName(name))
        return name;
    return name.substr(0, name.rfind(Element::JSP_CLOSE_TAG) + Element::JSP_CLOSE_TAG.size());
}

// What a produced tag does with an attribute name.
enum class NameRepair { KEEP, CLOSE_CODE, REMOVE };

// A name that opens markup it cannot close goes (isOpenMarkupName); code
// left open is closed where it is code (a name that starts as code, or
// anything in the tag of a server code element, whose tag holds code);
// other names that are no names go.
NameRepair nameRepair(const std::string& name, bool holdsCode)
{
    if (isOpenMarkupName(name))
        return NameRepair::REMOVE;
    const bool isCode = isServerCodeName(name) || holdsCode;
    if (isCode && closedServerCode(name) != name)
        return NameRepair::CLOSE_CODE;
    if (!isCode && !Attr::validateName(name))
        return NameRepair::REMOVE;
    return NameRepair::KEEP;
}

bool leavesCommentOpen(const std::string& text)
{
    return leavesOpen(text, Comment::OPEN_TAG, Comment::CLOSE_TAG);
}

// An instruction opened in a value ends at the first ">" when no "?>"
// follows anywhere (TagRepair::INSTRUCTION_END closes it).
bool leavesInstructionOpen(const std::string& text)
{
    return leavesOpen(text, ProcessingInstruction::OPEN_TAG, Element::CLOSE_TAG);
}

// A value with server code in it ends the code of a directive that holds
// it; one with a comment's end ends a server-side include.
bool endsItsTag(const Element* element, const std::string& value)
{
    if (ElementAccess::hasScriptSyntax(*element))
        return value.find(Element::JSP_OPEN_TAG) != std::string::npos ||
               value.find(Element::JSP_CLOSE_TAG) != std::string::npos;
    if (element->getElementGroup() & ElementType::GROUP_SSI)
        return value.find(Comment::CLOSE_TAG) != std::string::npos;
    return false;
}

// The value with one piece of markup it leaves open closed: code, a
// comment or an instruction the end of the page cut short gets its end.  A
// JSP comment ends with its own end, which also ends code read as a
// scriptlet.  In a server-side include none needs one: the include is a
// comment, read to its own end whatever its values hold.
std::string closeInnermost(const Element* element, const std::string& value)
{
    if (element->getElementGroup() & ElementType::GROUP_SSI)
        return value;
    if (leavesJSPCommentOpen(value))
        return value + Comment::JSP_CLOSE_TAG;
    if (leavesServerCodeOpen(value))
        return value + Element::JSP_CLOSE_TAG;
    if (leavesCommentOpen(value))
        return value + Comment::CLOSE_TAG;
    if (leavesInstructionOpen(value))
        return value + TagRepair::INSTRUCTION_END;
    return value;
}

// A value as a produced tag writes it: every piece of markup it leaves
// open closed, innermost first ("<!--<%" gets "%>", then "-->"); a few
// pieces at most, each end closing one.
std::string closedValue(const Element* element, const std::string& value)
{
    constexpr int PIECES = 4;
    std::string closed = value;
    for (int i = 0; i < PIECES; ++i) {
        std::string next = closeInnermost(element, closed);
        if (next == closed)
            break;
        closed = std::move(next);
    }
    return closed;
}

// Whether an attribute name is neither a name nor server code written back
// as it was read (in a server code element's tag only code left open
// counts: what else it holds is code).
bool hasUnwritableAttribute(const Element* element)
{
    if (!element->hasAttributes())
        return false;
    const bool holdsCode = isServerCodeElement(element);
    const dom::NodeList attrs = element->getAttrNodes();
    for (unsigned long i = 0, n = attrs.length(); i < n; ++i) {
        if (nameRepair(static_cast<Attr*>(attrs.item(i))->getName(), holdsCode) != NameRepair::KEEP)
            return true;
        const std::string value = static_cast<Attr*>(attrs.item(i))->getValue();
        if (endsItsTag(element, value) || closedValue(element, value) != value)
            return true;
    }
    return false;
}

// Before a start tag is produced again: an attribute whose name cannot be
// written as one (the rest of a tag cut short, "</TD" read as a name) goes,
// since written there it would open markup that takes in what follows (not
// from server code, whose tag holds code).  Server code in the tag stays;
// code, a comment or an instruction the end of the page cut short (in a
// name or a value) gets its end.  A directive loses values with server
// code in them: written there, they would end it.
void prepareAttributesForTag(Element* element)
{
    if (!element->hasAttributes())
        return;
    const bool holdsCode = isServerCodeElement(element);
    const dom::NodeList attrs = element->getAttrNodes();
    std::vector<Attr*> unwritable;
    std::vector<Attr*> codeLeftOpen;
    for (unsigned long i = 0, n = attrs.length(); i < n; ++i) {
        Attr* attr = static_cast<Attr*>(attrs.item(i));
        const std::string value = attr->getValue();
        if (endsItsTag(element, value)) {
            unwritable.push_back(attr);
            continue;
        }
        const std::string closed = closedValue(element, value);
        if (closed != value)
            attr->setValue(closed);
        switch (nameRepair(attr->getName(), holdsCode)) {
        case NameRepair::REMOVE: unwritable.push_back(attr); break;
        case NameRepair::CLOSE_CODE: codeLeftOpen.push_back(attr); break;
        case NameRepair::KEEP: break;
        }
    }
    for (Attr* attr : unwritable)
        if (Attr* removed = element->removeAttributeNode(attr))
            removed->releaseRef();
    Document* doc = element->getOwnerDocument();
    for (Attr* attr : codeLeftOpen) {
        const std::string closed = closedServerCode(attr->getName());
        if (Attr* removed = element->removeAttributeNode(attr))
            removed->releaseRef();
        if (doc)
            if (Attr* replaced = element->setAttributeNode(doc->createAttribute(closed)))
                replaced->releaseRef();
    }
}

// Produces the element's end tag again.  JSP code in XML syntax
// ("<jsp:scriptlet>") ends with its own end tag, never the "%>" of the
// script syntax a produced tag would have.
void produceEndTag(Element* element)
{
    const ElementType* type = element->getElementType();
    if (type && type->getFormatType() == ElementType::FORMAT_JSP_BLOCK && !ElementAccess::hasScriptSyntax(*element))
        ElementAccess::writeMatchingEndTag(*element);
    else
        ElementAccess::regenerateEndTag(*element);
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
    if (isVirtual) {
        element->specifyTag();
        // Its start tag now shows: what comes before must not take it in.
        closeBefore(element);
    }
    if (!element->getNodeName().empty()) {
        const bool endWasShown = element->hasEndTag();
        prepareAttributesForTag(element);
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
        produceEndTag(element);
        settleEndTag(element, endWasShown);
        if (element->hasEndTag())
            closeLastChildren(element);
    }
    NodeAccess::clearErrorState(*element, END_TAG_ERRORS);
}

bool TagRepair::isLeftOpen(const Element* element)
{
    if (!element->hasStartTag() || element->hasEndTag() || element->isEmptyElement() || element->isEmptyTag())
        return false;
    // Tags that open content: HTML tags and XML ones (JSP actions, JSP code
    // in XML syntax).
    const ElementType* type = element->getElementType();
    if (!type)
        return true;
    const unsigned int format = type->getFormatType();
    const bool xmlCode = format == ElementType::FORMAT_JSP_BLOCK && !ElementAccess::hasScriptSyntax(*element);
    return (format == ElementType::FORMAT_HTML_TAG || format == ElementType::FORMAT_XML_TAG || xmlCode) &&
           type->getContainerType() != ContentModel::EMPTY_CONTENT;
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
                produceEndTag(open);
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
    // First in an element the page implied (a BODY), node follows what
    // comes before that element: a few levels up at most.
    constexpr unsigned LOOK_UP = 8;
    for (unsigned up = 0; !before && node && up < LOOK_UP; ++up) {
        Node* parent = node->getParentNode();
        if (!parent || parent->getNodeType() != Node::ELEMENT_NODE ||
            !static_cast<Element*>(parent)->isOmittedElement())
            break;
        node = parent;
        before = node->getPreviousSibling();
        while (before && isLayoutOnly(before))
            before = before->getPreviousSibling();
    }
    if (!before || before->getNodeType() != Node::ELEMENT_NODE)
        return;
    Element* element = static_cast<Element*>(before);
    if (isLeftOpen(element))
        regenerateEndTag(element);
    else if (element->isOmittedElement())
        // An element the page implied (a HEAD) ends where what it holds last
        // ends.
        closeLastChildren(element);
}

void TagRepair::closeIfReadInto(Node* node)
{
    if (isLayoutOnly(node))
        return;
    // Node first in its parent is read where its parent is: what matters is
    // what stands before the outermost element it opens (a TITLE left open
    // in the HEAD before the BODY a moved cell opens).
    constexpr unsigned LOOK_UP = 64;
    // Reading meets the outermost of them whose start tag is written.
    Node* before = nullptr;
    Node* at = node;
    Node* meets = node;
    for (unsigned height = 0; height < LOOK_UP; ++height) {
        before = at->getPreviousSibling();
        while (before && isLayoutOnly(before))
            before = before->getPreviousSibling();
        Node* parent = at->getParentNode();
        if (before || !parent || parent->getNodeType() != Node::ELEMENT_NODE)
            break;
        at = parent;
        if (static_cast<Element*>(at)->hasStartTag())
            meets = at;
    }
    // Reading takes it into the first element left open down the last
    // children (the element before it, a TABLE left open in a cell before
    // it ...) that may hold it or whose end is never implied: that one
    // shows its end tag, which closes what it holds left open.  A few dozen
    // levels at most, so that each moved node costs no more.
    constexpr unsigned LOOK_DOWN = 64;
    for (unsigned depth = 0; before && before->getNodeType() == Node::ELEMENT_NODE && depth < LOOK_DOWN; ++depth) {
        Element* open = static_cast<Element*>(before);
        const bool implied = !open->hasStartTag() && !open->hasEndTag();
        if (!implied && !isLeftOpen(open))
            return;
        if (!implied && (open->canContain(meets) || !readingEnds(open, meets))) {
            regenerateEndTag(open);
            return;
        }
        before = open->getLastChild();
        while (before && isLayoutOnly(before))
            before = before->getPreviousSibling();
    }
}

void TagRepair::settleCopy(Node* copy)
{
    if (copy->getNodeType() != Node::ELEMENT_NODE)
        return;
    Element* element = static_cast<Element*>(copy);
    // What follows it, here or after the elements it ends, must not be read
    // into it.
    if (isLeftOpen(element))
        produceEndTag(element);
    keepEndUnshown(element);
    if (element->hasEndTag())
        closeLastChildren(element);
}

void TagRepair::closeOpenChildren(Node* parent)
{
    for (Node* child = parent->getFirstChild(); child; child = child->getNextSibling())
        if (child->getPreviousSibling() && !isLayoutOnly(child))
            closeBefore(child);
}

bool TagRepair::closeEndTag(Element* element)
{
    if (element->getNodeName().empty() || isServerCodeElement(element))
        return false;
    produceEndTag(element);
    return true;
}

bool TagRepair::holdsRawContent(const Node* node)
{
    if (node->getNodeType() != Node::ELEMENT_NODE)
        return false;
    const Element* element = static_cast<const Element*>(node);
    if (ElementAccess::hasScriptSyntax(*element))
        return true;
    const ElementType* type = element->getElementType();
    return type && type->getContainerType() == ContentModel::CDATA_CONTENT;
}

void TagRepair::closeMarkup(Element* element, bool endsPage)
{
    if (holdsRawContent(element) && !rawContentEnds(element)) {
        // A declared element's end is produced (a directive's is part of
        // its start tag); an undeclared one keeps the page's tags, but code
        // in script syntax ends as all such code does.
        const ElementType* type = element->getElementType();
        if (type && !element->getNodeName().empty() && type->getFormatType() == ElementType::FORMAT_JSP_DIRECTIVE) {
            prepareAttributesForTag(element);
            ElementAccess::regenerateStartTag(*element);
        } else if (type && !element->getNodeName().empty())
            produceEndTag(element);
        else if (ElementAccess::hasScriptSyntax(*element))
            element->setEndTag(Element::JSP_CLOSE_TAG);
        return;
    }
    // A start tag the end of the page cut short may end in a ">" that a
    // quote left open took in: a format error on the page's last node says
    // so.
    // Server code in script syntax has no attributes to repair: what looks
    // like them is its code.
    if (ElementAccess::hasScriptSyntax(*element))
        return;
    const bool cutShort = isCutShort(element) || (endsPage && (element->getErrorState() & Node::INVALID_FORMAT_ERROR) &&
                                                  !element->hasChildNodes());
    if (!cutShort && !hasUnwritableAttribute(element) && !holdsMarkup(element))
        return;
    // A tag without a name that reads back ("<!x" read as an element)
    // cannot be produced again: it is written as writableStartTag gives it.
    if (!canBeClosed(element))
        return;
    if (!readsAsName(element->getNodeName())) {
        const std::string start = writableStartTag(element);
        if (start != element->getStartTag())
            element->setStartTag(start);
    } else {
        prepareAttributesForTag(element);
        ElementAccess::regenerateStartTag(*element);
    }
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
    // Every attribute node, the duplicates too (a map by name would show
    // the first of a name only).
    const dom::NodeList attrs = element->getAttrNodes();
    std::vector<Attr*> duplicates;
    bool undefinedRemains = false;
    for (unsigned long i = 0, n = attrs.length(); i < n; ++i) {
        Attr* attr = static_cast<Attr*>(attrs.item(i));
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
