// The generic repair of a tree that does not obey its document type.
#ifndef PAGEDOM_CORRECTION_ERRORCORRECTOR_H
#define PAGEDOM_CORRECTION_ERRORCORRECTOR_H

class Element;
class Node;

// Repairs the subtree of a root so that it obeys the document type, from
// the error bits the reader left on its nodes: a misplaced node is moved
// into an adaptor made for it before (a run of misplaced nodes fills one),
// into the elements its parent implies inside it, into the elements it
// implies around itself, or up to an ancestor that may hold it — splitting
// the elements in between around it and pushing their formatting down into
// what it holds.  Which elements a document type implies is what subclasses
// say, through the two adaptor factories; this class implies none.  Every
// change goes through the node operations, so it is recorded for undo when
// the document records.  Copies share the root.
class ErrorCorrector {
public:
    // A corrector of root's subtree (root not owned).
    explicit ErrorCorrector(Node* root) : _root(root) {}
    ErrorCorrector(const ErrorCorrector& other) = default;
    ErrorCorrector& operator=(const ErrorCorrector& other) = default;
    virtual ~ErrorCorrector() {}

    // Repairs every node below the root that carries errors, in document
    // order: misplaced nodes are promoted, other nodes formatted, childless
    // elements that only had an end tag or an unneeded one removed, content
    // of empty elements moved after them, and element tags produced again.
    void correctAll();
    // Moves node up until an ancestor may hold it, adapting it on the way
    // when an adaptor fits; the node that holds it then, or null when it
    // could not be placed (below the root).
    Node* promote(Node* node);
    // Puts node into an adaptor: one made earlier right before it, or new
    // ones its parent implies inside it or it implies around itself.  The
    // element that now holds node, or null.
    Node* adapt(Node* node);
    // Pushes parent's formatting down into node, which leaves parent:
    // node's content that parent may hold is wrapped in copies of parent
    // (without children), deeper where node's children may not hold it.
    // parent when it wrapped anything, else null.
    Node* distribute(Node* node, Node* parent);

protected:
    // The element made inside parent to receive a child it may not hold,
    // or null (the caller owns it).
    virtual Element* _createChildAdaptor(const Element* parent) const;
    // The element made around child when its parent may not hold it, or
    // null (the caller owns it).
    virtual Element* _createParentAdaptor(const Element* child) const;

    Node* _root;

private:
    // The repair correctAll makes of an element with errors (after
    // promoting it); false when the element was removed.
    bool _repairElement(Element* element);
};

#endif
