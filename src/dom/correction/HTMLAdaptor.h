// Adapting misplaced nodes of the HTML document: the implied elements a
// page leaves out (a TR around a stray TD, a UL around a stray LI).
#ifndef PAGEDOM_CORRECTION_HTMLADAPTOR_H
#define PAGEDOM_CORRECTION_HTMLADAPTOR_H

#include <vector>

class Document;
class Element;
class Node;

namespace pagedom {

// Puts a node its parent may not hold into implied elements, the way HTML
// lets a page leave them out:
// 1. an adaptor made earlier right before the node (white space and
//    comments between), or an element that takes adapted content (DD, DT,
//    LI, EMBED), or its last child and so on down, that may hold the node
//    receives it — so a run of stray cells fills one row;
// 2. else the elements the parent implies inside it (TABLE → TBODY → TR,
//    HTML → BODY, FRAMESET → NOFRAMES) are made, nested, down to the first
//    that may hold the node, which is put there;
// 3. else, for an element, the elements it implies around it (TD → TR →
//    TBODY → TABLE, LI → UL, OPTION → SELECT ...) are made, outwards, up to
//    the first the parent (or the implied inner element) may hold.
// Adaptors are marked UPDATE_ADAPTED, so later adaptations reuse them.
// Every change goes through the node operations and is recorded.
class HTMLAdaptor {
public:
    // Adapts node, whose parent element may not hold it; the element that
    // now holds it, or null (node stays where it is).
    static Node* adapt(Document& document, Node* node);

    // The element id made inside an element of id parent to receive a child
    // it may not hold, or -1.
    static int childAdaptorOf(int parent);
    // The element id made around an element of id child its parent may not
    // hold, or -1.
    static int parentAdaptorOf(int child);

private:
    // Step 1: the adaptor before node that takes it, or null.
    static Element* earlierAdaptor(Node* node);
    // Step 2: node put into the elements implied inside holder (the
    // parent, or its nearest ancestor that is not a logical element); the
    // chain made is left in made when nothing fits.
    static Element* intoChildAdaptors(Document& document, Node* node, const Element* holder,
                                      std::vector<Element*>& made);
    // Step 3: node wrapped in the elements it implies around it, held by
    // inner (the innermost of made) or by the parent.
    static Element* intoParentAdaptors(Document& document, Element* node, const Element* holder,
                                       std::vector<Element*>& made);
    // A new implied element of id, marked as an adaptor.
    static Element* makeAdaptor(Document& document, int id);
    // Whether adaptor, now in the tree inside outer (what was inserted),
    // may hold node there; if not, outer is taken out and released.
    static bool holdsInPlace(Element* adaptor, Node* node, Node* outer);
};

} // namespace pagedom

#endif
