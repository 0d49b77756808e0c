// The formatting pass that lays a subtree out again under the formatting
// options.
#ifndef PAGEDOM_WRITING_SOURCEFORMATTER_H
#define PAGEDOM_WRITING_SOURCEFORMATTER_H

#include <string>

#include "node/SubtreeFormatter.h"

class Element;
class Text;

namespace pagedom {

// Lays a subtree out again under the formatting options, without changing
// what the page means or what its server code does.  Formatting produces
// again only what it can produce faithfully: element tags in the options'
// case where the new tags read back as the same element (Element decides),
// and the white space of texts.  Everything else keeps the page's bytes:
// the characters and references of texts, comments, CDATA sections,
// declarations, JSP blocks with all they hold, and the tags the reader
// could not make sense of.  Formatting its own output changes nothing.
//
// In the HTML document a text's white space runs become one space, or a
// line break and the indentation of the text's depth where the run held a
// line break or the line has reached the column limit (the depth counts
// the enclosing indent elements whose start tag is written, up to 32);
// text inside plain elements (PRE, TEXTAREA) keeps its white space.  This
// pass adds and removes no text, so the page reads back as the same tree;
// the line breaks around block elements are placed before it by the
// tidying walk (TreeAdjuster).  In other documents element children are
// separated by texts that hold a line break and the indentation of their
// depth.
//
// The walk keeps the depth and the plain state of the level it is in, so
// that formatting costs the same for every node however deep it lies.
class SourceFormatter : public SubtreeFormatter {
public:
    // Formats every descendant of root: element tags, and the texts' white
    // space.
    void formatDescendants(Node* root) override;

    // Spaces an element's children for layout (documents other than the
    // HTML document, elements without raw content): an empty text before
    // every child that follows no text, and one at the end.
    static void spaceChildren(Element* element);
    // The source of an HTML text with its white space laid out: each run
    // becomes one space, or "\r\n" and an indentation where it holds a line
    // break or where the line (counted in bytes from the text's start or
    // its last line break, the indentation not counted) has reached
    // columnLimit.  A run that ends the text is indented with endIndent,
    // any other with indent.
    static std::string layOutSpace(const std::string& source, const std::string& indent,
                                   const std::string& endIndent, unsigned long columnLimit);

    // What a walk knows about the node whose children it visits.
    struct Level {
        Node* node;            // the parent
        Node* next;            // its next child to visit
        unsigned long indent;  // written indent elements enclosing the children
        unsigned long after;   // indent levels of what follows the last child
        unsigned long depth;   // elements enclosing the children
        bool plain;            // the children's texts keep their white space
    };

    // The level of root's children, from root and its ancestors.
    static Level rootLevel(Node* root);
    // The level of the children of child, a node of level parent.
    static Level childLevel(const Level& parent, Node* child);
    // Whether node is an element of server code (a JSP scriptlet, expression or
    // declaration): it is kept whole, children and all.
    static bool isScriptBlock(const Node* node);

    // Lays out the white space of one text of the HTML document, a child
    // of level's node.
    static void layOutText(Text* text, const Level& level);
    // The source layOutText gives text (its source as it is inside plain
    // elements).
    static std::string laidOutSource(const Text* text, const Level& level);
    // The source of text, a child of level's node in the HTML document, with
    // the white space run at its front (or back) made a line break and the
    // indentation layOutText would give it; a text without white space
    // there gains the line break.  A text of white space alone is one run.
    static std::string breakEdge(const Text* text, const Level& level, bool front);

private:
    // source, the source of text, laid out as layOutText does.
    static std::string layOutSource(const std::string& source, const Text* text, const Level& level);
    // Fills a blank text between elements of a document other than the HTML
    // document with a line break and the indentation of its depth.
    static void layOutGap(Text* text, const Level& level);
};

} // namespace pagedom

#endif
