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
    // The ids the library's own code refers to by name.
    enum ElementID : int {
        ID_A = 1,
        ID_BODY = 14,
        ID_COLGROUP = 22,
        ID_DD = 24,
        ID_DT = 30,
        ID_EMBED = 32,
        ID_FORM = 35,
        ID_FRAMESET = 37,
        ID_HEAD = 44,
        ID_HTML = 46,
        ID_IMG = 49,
        ID_INPUT = 50,
        ID_NOFRAMES = 62,
        ID_OBJECT = 64,
        ID_P = 68,
        ID_PARAM = 69,
        ID_TABLE = 83,
        ID_TBODY = 84,
        ID_TD = 85,
        ID_TEXTAREA = 86,
        ID_TH = 88,
        ID_TR = 91,
        ID_SUBMIT = 97,
        ID_JSP_SCRIPTLET = 110,
        ID_JSP_EXPRESSION = 111,
        ID_JSP_DECLARATION = 112,
        ID_JSP_DIRECTIVE_PAGE = 113,
        ID_JSP_DIRECTIVE_INCLUDE = 114,
        ID_JSP_DIRECTIVE_TAGLIB = 115,
        ID_JSP_DIRECTIVE = 116,
        ID_SERVLET = 126,
        ID_QRTX_TEXT = 140,
        ID_QRTX_LOOP = 141,
        ID_QRTX_PROPERTY = 142,
        ID_QRTX_ATV = 143
    };

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
