// The formatting pass that lays a subtree out again under the formatting
// options.
#ifndef PAGEDOM_WRITING_SOURCEFORMATTER_H
#define PAGEDOM_WRITING_SOURCEFORMATTER_H

#include <string>

#include "node/SubtreeFormatter.h"

class Element;
class Text;

namespace pagedom {

// Lays a subtree out again under the formatting options.  Every node asks
// for its own source to be produced again; in documents other than the HTML
// document, element children are separated by texts that the layout fills
// with a line break and indentation; texts produced again in the HTML
// document are wrapped at the column limit.  Text inside plain elements
// (such as PRE) is never touched.
class SourceFormatter : public SubtreeFormatter {
public:
    // Produces the source of every descendant of root again and lays the
    // texts out.
    void formatDescendants(Node* root) override;

    // Spaces an element's children for layout (documents other than the
    // HTML document, elements without raw content): an empty text before
    // every child that follows no text, and one at the end.
    static void spaceChildren(Element* element);
    // Lays out one formatted text; returns the line breaks its source holds.
    static unsigned long layOut(Text* text);
    // Wraps source at spaces past the column limit, indenting each new line
    // with indent; returns the number of breaks made.
    static unsigned long wrap(std::string& source, unsigned long columnLimit, const std::string& indent);

private:
    // Fills a blank text between elements of a document other than the HTML
    // document with a line break and the indentation of its depth.
    static unsigned long layOutGap(Text* text);
    // Wraps a text of the HTML document whose source is to be produced again.
    static unsigned long layOutWrapped(Text* text);
};

} // namespace pagedom

#endif
