// The tidying walk of adjustNodes: what goes, what is unwrapped or merged,
// and where line breaks go around block elements.
#ifndef PAGEDOM_EDITING_TREEADJUSTER_H
#define PAGEDOM_EDITING_TREEADJUSTER_H

#include "tree/NodeAdjuster.h"

namespace pagedom {

// Tidies a subtree of the HTML document after edits, in one walk in
// document order that keeps the level of the node it is in (indentation,
// plain content, the element kinds above it), so that every node costs the
// same however deep it lies:
// - an element removable when empty (B, P, TABLE ...) whose content is all
//   empty goes, unless it holds the cursor or an end of the selection;
// - a FONT without attributes, and a phrase element (B, EM ...) without
//   attributes inside one of its kind, is unwrapped: its content takes its
//   place, and texts meeting at either end become one;
// - a THEAD, TBODY or TFOOT standing beside another of its kind (only white
//   space and comments between) is merged with it (ElementMerge), so no
//   content moves past other content;
// - an XML-rule element written as an empty tag that has children is
//   written with a start and an end tag;
// - adjacent texts become one, byte for byte;
// - around block elements (a line break before BLOCK and HEAD layouts, after
//   BLOCK, BREAK and HEAD layouts) a line break is placed: a text that is
//   there gets a line break at that end, else a new text holding a line
//   break and the indentation is inserted.
// Line breaks are placed only where reading the page back puts the new
// text where it was inserted: never inside plain or raw content, never
// around an element whose tags the page does not show, never after an
// element whose end tag is not written (its content would take the text),
// and never before the first child of an element whose start tag is not
// written.  Every change goes through the node operations and is recorded.
//
// A full pass visits every node and then lays the whole subtree out again
// (SourceFormatter); otherwise only changed nodes are visited, and only
// texts the library wrote are laid out again.
class TreeAdjuster : public NodeAdjuster {
public:
    bool adjust(Document& document, Node* root, bool full) override;
};

} // namespace pagedom

#endif
