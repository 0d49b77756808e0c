// Producing a repaired element's tags again and repairing its attributes.
#ifndef PAGEDOM_CORRECTION_TAGREPAIR_H
#define PAGEDOM_CORRECTION_TAGREPAIR_H

class Element;
class Node;

namespace pagedom {

// What a corrector does to an element it repaired: its tags are produced
// again from the element (so they say what the tree now says), the error
// bits of its tags are cleared, and its attributes are repaired.
class TagRepair {
public:
    // What closes a processing instruction the page left open: the ">" that
    // ends one written without "?>", after a space, since a "?>" would end
    // any instruction left open before it instead.
    static constexpr const char* INSTRUCTION_END = " >";

    // Both tags produced again; the tag errors, and INVALID_CONTENT_ERROR on
    // the children a virtual element may hold, cleared; attributes
    // repaired; a JSP scriptlet in script syntax whose code starts with "@"
    // stores its code again.  Marks the element UPDATE_CONTENT_MODIFIED.
    static void regenerateTags(Element* element);
    // The end tag alone produced again and its four error bits cleared.
    static void regenerateEndTag(Element* element);
    // Markup the page left open that would take in what is written after
    // it is closed: raw content without its end (server code or a SCRIPT
    // cut short) gets it; a start tag cut short (no ">"), or holding
    // attribute names that are no names ("<!--", "</TD"), is produced again
    // without those.  endsPage: the element is the page's last node (its
    // format error then tells a tag cut short).  Run before anything is
    // written after such markup.
    static void closeMarkup(Element* element, bool endsPage);
    // An end tag the end of the page cut short ("</table") is produced
    // again; false when it stays (server code, no name).
    static bool closeEndTag(Element* element);
    // Whether the page reads what element holds as raw text up to its end:
    // server code written "<% ... %>", or an element of CDATA content.
    static bool holdsRawContent(const Node* node);
    // Duplicated attributes go; every attribute error but that of an
    // undeclared name is cleared; the element keeps UNDEFINED_ATTR_ERROR
    // only while an undeclared attribute remains.
    static void repairAttributes(Element* element);
    // Shows the end tag of the element before node (white space and
    // comments between; before the implied elements node comes first in)
    // when it is left open, or of what an implied element there holds last,
    // so that the page does not read node back into it.  For a node a
    // repair put where it is.
    static void closeBefore(Node* node);
    // Shows the end tag of the element reading would take node into: the
    // first left open down the last children of the element before node
    // that may hold node, or whose end tag is never implied.
    static void closeIfReadInto(Node* node);
    // For an element a repair made (a copy, or one built around a node)
    // around content that was somewhere else: it shows its end tag, which
    // closes the open elements at the end of the content, unless that
    // content ends open.
    static void settleCopy(Node* copy);
    // Shows the end tag of every element among parent's children that is
    // left open while content follows it (after a merge brought content
    // together).
    static void closeOpenChildren(Node* parent);

private:
    // Whether element shows its start tag but not its end tag, and has one.
    static bool isLeftOpen(const Element* element);
    // Shows the end tags of the open elements at the end of element's
    // content, whose end tag now shows: else its end tag would be read
    // inside them.  Goes on below implied elements, stops at the first
    // element that shows its end.
    static void closeLastChildren(Element* element);
};

} // namespace pagedom

#endif
