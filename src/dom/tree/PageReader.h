// The interface through which a document hands its page to the reader the
// library frame installed.
#ifndef PAGEDOM_TREE_PAGEREADER_H
#define PAGEDOM_TREE_PAGEREADER_H

#include <string>

#include "base/SourceText.h"

class Node;
namespace dom {
class Range;
}

namespace pagedom {

// A reader of page text.  Document::createNodes hands the page to the
// reader installed for its kind of document; the reading layer implements
// the readers and the library frame installs them.  A document whose kind
// has no installed reader reads nothing.
class PageReader {
public:
    enum Kind : unsigned int {
        HTML_PAGE = 0,  // the HTML document: HTML, JSP, server-side includes
        XML_PAGE = 1    // every other document
    };

    virtual ~PageReader() {}

    // Reads page into parent, which has no children and belongs to a
    // document of this reader's kind.  Every byte of page ends up in the
    // stored source of exactly one node.
    virtual void readPage(SourceText::Block* page, Node* parent) = 0;
    // Reads source into parent after the children it has
    // (DocumentFragment::parse).  A reader of whole pages only leaves it to
    // this base, which reads nothing.
    virtual void readFragment(const std::string& source, Node* parent)
    {
        (void)source;
        (void)parent;
    }
    // Replaces the source between the two ends of range, a source range in
    // root's subtree, by source and reads the result again in place; false,
    // with nothing changed, when the ends are not in root or not in order.
    // A reader of whole pages only leaves it to this base, which reads
    // nothing and returns false.
    virtual bool rereadRange(Node* root, const std::string& source, const dom::Range& range)
    {
        (void)root;
        (void)source;
        (void)range;
        return false;
    }

    // The reader installed for kind, or null.
    static PageReader* installed(Kind kind);
    // Installs reader for kind (not owned; it must live as long as it is
    // used).
    static void install(Kind kind, PageReader* reader);
};

} // namespace pagedom

#endif
