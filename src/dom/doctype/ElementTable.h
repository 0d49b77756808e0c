#ifndef PAGEDOM_DOCTYPE_ELEMENTTABLE_H
#define PAGEDOM_DOCTYPE_ELEMENTTABLE_H

#include <string>

// The element-name and element-flag tables.  Every element the library
// knows by name has an element id:
//
//   1 to 95     the HTML 4.0 elements (upper case, matched exactly)
//   97, 98      SUBMIT, MARQUEE
//   100 to 107  the "ssi:" directives
//   110 to 125  the "jsp:" tags
//   126 to 132  the JSP 0.91 server tags (SERVLET, BEAN, ...)
//   133 to 137  the "tsx:" tags
//   140 to 144  the "QRTX:" dynamic-element tags
//
// and a 32-bit flag word from which ElementType derives its omit, content,
// format, layout and correction categories and its JSP flag.  The DTD reader
// gives each declared element its id and word through these two lookups.
class ElementTable {
public:
    // Highest id in use.
    static constexpr int MAX_ELEMENT_ID = 144;

    // The element id of a name, or 0 when the name is not a known element.
    // HTML names must be upper case; "SUBMIT", "MARQUEE", the JSP 0.91 server
    // tags and the "ssi:" and "QRTX:" families match ignoring case; the "jsp:"
    // and "tsx:" families match exactly.
    static int getElementID(const std::string& name);

    // The flag word of an element id; 0 for an id that names no element.
    static unsigned long getElementFlags(int id);
};

#endif
