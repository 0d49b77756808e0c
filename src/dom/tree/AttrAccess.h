// Internal operations of attributes for the library's other layers, its
// tools and its tests.  An internal header: no public header includes it.
#ifndef PAGEDOM_TREE_ATTRACCESS_H
#define PAGEDOM_TREE_ATTRACCESS_H

#include "tree/Attr.h"

namespace pagedom {

struct AttrAccess {
    // Whether getValue gives the value in text form (attributes of documents
    // other than the HTML document).
    static bool isRawText(const Attr& attr) { return attr._rawText; }
};

} // namespace pagedom

#endif
