// Internal operations of texts for the library's other layers and its
// tests.  An internal header: no public header includes it.
#ifndef PAGEDOM_TREE_TEXTACCESS_H
#define PAGEDOM_TREE_TEXTACCESS_H

#include "tree/Text.h"

namespace pagedom {

struct TextAccess {
    // Text::parse for a caller that knows whether text lies inside a plain
    // element, which parse would find out by climbing the ancestors.
    static void parse(Text& text, const std::string& source, bool plain) { text._parse(source, plain); }
};

} // namespace pagedom

#endif
