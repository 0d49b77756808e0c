// The element ids and element-flag words of every element the library
// knows by name.
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
// gives each declared element its id and word through these two lookups; a
// host compares Element::getElementID and ElementType::getElementID results
// with the ids below.
class ElementTable {
public:
    // Every element id, named after its element (':' and '.' become '_',
    // "useBean" becomes USE_BEAN).  0 is no element.
    enum ElementID : int {
        // The HTML 4.0 elements and XRV.
        ID_A = 1,
        ID_ABBR = 2,
        ID_ACRONYM = 3,
        ID_ADDRESS = 4,
        ID_APPLET = 5,
        ID_AREA = 6,
        ID_B = 7,
        ID_BASE = 8,
        ID_BASEFONT = 9,
        ID_BDO = 10,
        ID_BIG = 11,
        ID_BLINK = 12,
        ID_BLOCKQUOTE = 13,
        ID_BODY = 14,
        ID_BR = 15,
        ID_BUTTON = 16,
        ID_CAPTION = 17,
        ID_CENTER = 18,
        ID_CITE = 19,
        ID_CODE = 20,
        ID_COL = 21,
        ID_COLGROUP = 22,
        ID_XRV = 23,
        ID_DD = 24,
        ID_DEL = 25,
        ID_DFN = 26,
        ID_DIR = 27,
        ID_DIV = 28,
        ID_DL = 29,
        ID_DT = 30,
        ID_EM = 31,
        ID_EMBED = 32,
        ID_FIELDSET = 33,
        ID_FONT = 34,
        ID_FORM = 35,
        ID_FRAME = 36,
        ID_FRAMESET = 37,
        ID_H1 = 38,
        ID_H2 = 39,
        ID_H3 = 40,
        ID_H4 = 41,
        ID_H5 = 42,
        ID_H6 = 43,
        ID_HEAD = 44,
        ID_HR = 45,
        ID_HTML = 46,
        ID_I = 47,
        ID_IFRAME = 48,
        ID_IMG = 49,
        ID_INPUT = 50,
        ID_INS = 51,
        ID_ISINDEX = 52,
        ID_KBD = 53,
        ID_LABEL = 54,
        ID_LEGEND = 55,
        ID_LI = 56,
        ID_LINK = 57,
        ID_MAP = 58,
        ID_MENU = 59,
        ID_META = 60,
        ID_NOEMBED = 61,
        ID_NOFRAMES = 62,
        ID_NOSCRIPT = 63,
        ID_OBJECT = 64,
        ID_OL = 65,
        ID_OPTGROUP = 66,
        ID_OPTION = 67,
        ID_P = 68,
        ID_PARAM = 69,
        ID_PRE = 70,
        ID_Q = 71,
        ID_S = 72,
        ID_SAMP = 73,
        ID_SCRIPT = 74,
        ID_SELECT = 75,
        ID_SMALL = 76,
        ID_SPAN = 77,
        ID_STRIKE = 78,
        ID_STRONG = 79,
        ID_STYLE = 80,
        ID_SUB = 81,
        ID_SUP = 82,
        ID_TABLE = 83,
        ID_TBODY = 84,
        ID_TD = 85,
        ID_TEXTAREA = 86,
        ID_TFOOT = 87,
        ID_TH = 88,
        ID_THEAD = 89,
        ID_TITLE = 90,
        ID_TR = 91,
        ID_TT = 92,
        ID_U = 93,
        ID_UL = 94,
        ID_VAR = 95,
        // The middleware submit tag and MARQUEE.
        ID_SUBMIT = 97,
        ID_MARQUEE = 98,
        // The server-side include directives.
        ID_SSI_CONFIG = 100,
        ID_SSI_ECHO = 101,
        ID_SSI_EXEC = 102,
        ID_SSI_FSIZE = 103,
        ID_SSI_FLASTMOD = 104,
        ID_SSI_INCLUDE = 105,
        ID_SSI_PRINTENV = 106,
        ID_SSI_SET = 107,
        // The "jsp:" tags.
        ID_JSP_SCRIPTLET = 110,
        ID_JSP_EXPRESSION = 111,
        ID_JSP_DECLARATION = 112,
        ID_JSP_DIRECTIVE_PAGE = 113,
        ID_JSP_DIRECTIVE_INCLUDE = 114,
        ID_JSP_DIRECTIVE_TAGLIB = 115,
        ID_JSP_DIRECTIVE = 116,
        ID_JSP_USE_BEAN = 117,
        ID_JSP_SET_PROPERTY = 118,
        ID_JSP_GET_PROPERTY = 119,
        ID_JSP_INCLUDE = 120,
        ID_JSP_FORWARD = 121,
        ID_JSP_PLUGIN = 122,
        ID_JSP_PARAMS = 123,
        ID_JSP_FALLBACK = 124,
        ID_JSP_PARAM = 125,
        // The JSP 0.91 server tags.
        ID_SERVLET = 126,
        ID_BEAN = 127,
        ID_REPEAT = 128,
        ID_INSERT = 129,
        ID_DBCONNECT = 130,
        ID_DBQUERY = 131,
        ID_DBMODIFY = 132,
        // The "tsx:" tags of JSP 1.0.
        ID_TSX_DBCONNECT = 133,
        ID_TSX_DBQUERY = 134,
        ID_TSX_DBMODIFY = 135,
        ID_TSX_GET_PROPERTY = 136,
        ID_TSX_REPEAT = 137,
        // The "QRTX:" dynamic-element tags.
        ID_QRTX_TEXT = 140,
        ID_QRTX_LOOP = 141,
        ID_QRTX_PROPERTY = 142,
        ID_QRTX_ATV = 143,
        ID_QRTX_COMMENT = 144
    };

    // The highest element id in use.
    static constexpr int MAX_ELEMENT_ID = ID_QRTX_COMMENT;

    // The element id of a name, or 0 when the name is not a known element.
    // HTML names must be upper case; "SUBMIT", "MARQUEE", the JSP 0.91 server
    // tags and the "ssi:" and "QRTX:" families match ignoring case; the "jsp:"
    // and "tsx:" families match exactly.
    static int getElementID(const std::string& name);
    // The id of the JSP directive a "<%@" block names ("page", "include",
    // "taglib", ignoring case); ID_JSP_DIRECTIVE for any other name.
    static int getDirectiveID(const std::string& name);

    // The flag word of an element id (ElementType::GROUP_* bits); 0 for an
    // id that names no element.
    static unsigned long getElementFlags(int id);

private:
    ElementTable() = delete;
};

#endif
