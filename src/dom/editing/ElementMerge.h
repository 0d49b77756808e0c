// Merging two sibling elements of one kind into one.
#ifndef PAGEDOM_EDITING_ELEMENTMERGE_H
#define PAGEDOM_EDITING_ELEMENTMERGE_H

class Document;
class Element;

namespace pagedom {

// Two elements of one kind among the same parent's children, where the
// page may have only one (a second TBODY, a second BODY), become one.  The
// earlier survives, unless the page never wrote it (both tags left out) or
// it is a virtual element: then the later one, whose tags the page shows,
// survives.  The survivor takes the other's attributes it lacks and its
// children, in page order (before its own when the other came first), so
// no content moves past other content; texts meeting at the seam become
// one, byte for byte.  Every change goes through the node operations, so it
// is recorded for undo.
class ElementMerge {
public:
    // Merges first and second, siblings in this order of one element id,
    // and returns the survivor; the other is deleted.
    static Element* merge(Document& document, Element* first, Element* second);

private:
    // Gives survivor each attribute of other whose name it does not have.
    static void takeAttributes(Element* survivor, const Element* other);
    // Moves other's children into survivor, before its own children when
    // atFront, else after them, joining the texts at the seam.
    static void takeChildren(Document& document, Element* survivor, Element* other, bool atFront);
};

} // namespace pagedom

#endif
