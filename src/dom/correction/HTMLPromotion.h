// Moving a misplaced node of the HTML document up to an ancestor that may
// hold it.
#ifndef PAGEDOM_CORRECTION_HTMLPROMOTION_H
#define PAGEDOM_CORRECTION_HTMLPROMOTION_H

#include <vector>

class Node;

namespace pagedom {

class CorrectionState;

// The HTML promotion.  A node its parent may not hold climbs until an
// ancestor may hold it, or until an adaptor takes it (a stray TD gets its
// TR); each ancestor it leaves is split around it, so everything keeps its
// place in the page, and an ancestor left empty goes.  What the ancestor
// gave the node's content (a FONT around a TABLE) is pushed down into it
// (distribution), where the content may hold it.  Content a table holds is
// different: a node that may not stand in a table leaves it and goes before
// the TABLE, leaving behind what belongs to the table; and a table part
// that climbs through something other than table structure to its table (a
// TD inside a FONT inside a TR) climbs in table mode, without adaptors and
// distribution.
class HTMLPromotion {
public:
    explicit HTMLPromotion(CorrectionState& state) : _state(state) {}

    // Promotes node; the node that now holds it, or null when no ancestor
    // may (node then stays where the climb ended, with its error bits).
    Node* promote(Node* node);

private:
    // Pushes parent's formatting down into node's content, which left it:
    // runs of children parent may wrap go into shallow copies of it, deeper
    // where node may not hold it; the copies are added to made.  parent
    // when it wrapped anything, else null; nothing for a P, which is no
    // formatting, nor for server code, which must not be copied.
    static Node* distribute(Node* node, Node* parent, std::vector<Node*>& made);
    // Whether a table part climbs through something other than table
    // structure on its way to the TABLE or to an ancestor that holds it.
    static bool inTableMode(const Node* node);
    // Takes node out of the table that parent belongs to and puts it before
    // the TABLE; false when parent is in no TABLE.
    bool leaveTable(Node* node, Node* parent);
    // What inside node belongs to the table stays in it: table parts,
    // undeclared elements, white space and comments go after the element
    // that held them, level by level.
    static void keepTableContent(Node* node);
    // The climb of promote; the node that now holds node, or null.
    Node* climb(Node* node);
    // Puts node, which stands at the top of the page, into the BODY of an
    // HTML element the page implies (the one just before it, or a new one
    // in its place) and returns that BODY; null when it cannot.
    Node* impliedBodyFor(Node* node);
    // A BODY the page left implied, which node now starts and a HEAD
    // could hold, shows its tags (its end too before a HEAD after it).
    void showImpliedBody(Node* holder, Node* node);
    // Shows the end tag of node when it is a BODY showing its start tag
    // with a HEAD after it.
    void endBeforeHead(Node* node);
    // Whether the HEAD beside body (or, without one, a HEAD reading would
    // imply) may hold node.
    bool headCouldHold(Node* body, Node* node);
    // Takes node out of parent into grand, splitting parent around it.
    void leave(Node* node, Node* parent, Node* grand, bool tableMode);

    CorrectionState& _state;
    // The elements the node being promoted left (each held by a
    // reference), innermost first, to distribute when the climb ends.
    std::vector<Node*> _left;
};

} // namespace pagedom

#endif
