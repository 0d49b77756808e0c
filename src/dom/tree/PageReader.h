// The interface through which a document hands its page to the reader the
// library frame installed.
#ifndef PAGEDOM_TREE_PAGEREADER_H
#define PAGEDOM_TREE_PAGEREADER_H

#include "base/SourceText.h"

class Node;

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

    // The reader installed for kind, or null.
    static PageReader* installed(Kind kind);
    // Installs reader for kind (not owned; it must live as long as it is
    // used).
    static void install(Kind kind, PageReader* reader);
};

} // namespace pagedom

#endif
