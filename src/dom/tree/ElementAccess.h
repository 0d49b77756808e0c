// Internal operations of elements for the library's other layers, its tools
// and its tests.  An internal header: no public header includes it.
#ifndef PAGEDOM_TREE_ELEMENTACCESS_H
#define PAGEDOM_TREE_ELEMENTACCESS_H

#include <algorithm>

#include "tree/Element.h"

namespace pagedom {

struct ElementAccess {
    // Adds attr the way a reader does: a same-named attribute is kept, and
    // a declared newcomer is marked DUPLICATE_ERROR.
    static void addAttributeNode(Element& element, Attr* attr) { element._addAttributeNode(attr); }
    // The node the element's attribute changes are announced for.
    static Node* announcedNode(Element& element) { return element._announcedNode(); }
    // Whether the start tag will be produced from the element when next asked for.
    static bool isStartTagGenerated(const Element& element) { return element._startGenerated; }
    // Whether the element has an attribute named name, answered from its
    // attribute records without making nodes of them.
    static bool hasAttribute(const Element& element, const std::string& name) { return element._hasAttribute(name); }
    // Whether the end tag will be produced from the element when next asked for.
    static bool isEndTagGenerated(const Element& element) { return element._endGenerated; }
    // Whether a JSP block or directive was read in its script syntax.
    static bool hasScriptSyntax(const Element& element) { return element._scriptSyntax; }
    // Has both tags produced from the element when next written (an element
    // whose tags are both left out stays so), as one announced edit.
    static void regenerateTags(Element& element)
    {
        const bool edit = element._beginOwnEdit();
        element._regenerateTags();
        if (edit)
            element._endOwnEdit();
    }
    // Has the start tag produced from the element when next written, as one
    // announced edit.
    static void regenerateStartTag(Element& element)
    {
        const bool edit = element._beginOwnEdit();
        element._sourceTouched();
        element._startGenerated = true;
        if (edit)
            element._endOwnEdit();
    }
    // Has the end tag produced from the element when next written, as one
    // announced edit.
    static void regenerateEndTag(Element& element)
    {
        const bool edit = element._beginOwnEdit();
        element._sourceTouched();
        element._endGenerated = true;
        if (edit)
            element._endOwnEdit();
    }
    // Writes the end tag that matches the start tag as written ("</name>",
    // or the element's name where the start tag shows none that reads as
    // one), as one announced edit.
    static void writeMatchingEndTag(Element& element)
    {
        const bool edit = element._beginOwnEdit();
        std::string name(element._writtenName());
        const auto nameByte = [](char c) {
            return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
                   c == ':' || c == '.';
        };
        if (name.empty() || !std::all_of(name.begin(), name.end(), nameByte))
            name = element._tagName();
        element._setEndTagText(SourceText("</" + name + ">"));
        if (edit)
            element._endOwnEdit();
    }
    // Produces the element's written tags again in the options' form where
    // they read back as the same element (as formatting does), as one
    // announced edit; tags the page left out stay left out.
    static void reformatTags(Element& element)
    {
        const bool edit = element._beginOwnEdit();
        element._formatOwn();
        if (edit)
            element._endOwnEdit();
    }
};

} // namespace pagedom

#endif
