// The element-name and element-flag tables and their lookups.
#include "doctype/ElementTable.h"

#include <cstring>

#include "base/StringUtil.h"

namespace {

using E = ElementTable;

struct ElementEntry {
    int id;
    const char* name;
    unsigned long word;
};

// The HTML elements are the first entries, ids 1 to ID_VAR.
constexpr int HTML_ELEMENT_COUNT = E::ID_VAR;

// Every named element, in id order, with its flag word (the bits are named
// ElementType::GROUP_*; a word also carries bits no rule of the library
// reads, kept for the group's other users).  Ids 0, 96, 99, 108, 109, 138
// and 139 belong to no name.
constexpr ElementEntry ELEMENTS[] = {
    {E::ID_A, "A", 0x28080},                   {E::ID_ABBR, "ABBR", 0x280c0},
    {E::ID_ACRONYM, "ACRONYM", 0x280c0},       {E::ID_ADDRESS, "ADDRESS", 0x10081},
    {E::ID_APPLET, "APPLET", 0x8028},          {E::ID_AREA, "AREA", 0x1010},
    {E::ID_B, "B", 0x280c0},                   {E::ID_BASE, "BASE", 0x10},
    {E::ID_BASEFONT, "BASEFONT", 0x8008},      {E::ID_BDO, "BDO", 0x28080},
    {E::ID_BIG, "BIG", 0x28080},               {E::ID_BLINK, "BLINK", 0x280c0},
    {E::ID_BLOCKQUOTE, "BLOCKQUOTE", 0x50081}, {E::ID_BODY, "BODY", 0x40301},
    {E::ID_BR, "BR", 0x8004},                  {E::ID_BUTTON, "BUTTON", 0x48001},
    {E::ID_CAPTION, "CAPTION", 0x25101},       {E::ID_CENTER, "CENTER", 0x50001},
    {E::ID_CITE, "CITE", 0x280c0},             {E::ID_CODE, "CODE", 0x280c0},
    {E::ID_COL, "COL", 0x6001},                {E::ID_COLGROUP, "COLGROUP", 0x7021},
    {E::ID_XRV, "XRV", 0x28000},               {E::ID_DD, "DD", 0x41481},
    {E::ID_DEL, "DEL", 0x40000},               {E::ID_DFN, "DFN", 0x280c0},
    {E::ID_DIR, "DIR", 0x100a1},               {E::ID_DIV, "DIV", 0x50001},
    {E::ID_DL, "DL", 0x100a1},                 {E::ID_DT, "DT", 0x21481},
    {E::ID_EM, "EM", 0x280c0},                 {E::ID_EMBED, "EMBED", 0x8408},
    {E::ID_FIELDSET, "FIELDSET", 0x10001},     {E::ID_FONT, "FONT", 0x28880},
    {E::ID_FORM, "FORM", 0x50001},             {E::ID_FRAME, "FRAME", 0x10},
    {E::ID_FRAMESET, "FRAMESET", 0x30},        {E::ID_H1, "H1", 0x30081},
    {E::ID_H2, "H2", 0x30081},                 {E::ID_H3, "H3", 0x30081},
    {E::ID_H4, "H4", 0x30081},                 {E::ID_H5, "H5", 0x30081},
    {E::ID_H6, "H6", 0x30081},                 {E::ID_HEAD, "HEAD", 0x310},
    {E::ID_HR, "HR", 0x10001},                 {E::ID_HTML, "HTML", 0x310},
    {E::ID_I, "I", 0x280c0},                   {E::ID_IFRAME, "IFRAME", 0x48008},
    {E::ID_IMG, "IMG", 0x8008},                {E::ID_INPUT, "INPUT", 0x8008},
    {E::ID_INS, "INS", 0x40000},               {E::ID_ISINDEX, "ISINDEX", 0x10001},
    {E::ID_KBD, "KBD", 0x280c0},               {E::ID_LABEL, "LABEL", 0x28000},
    {E::ID_LEGEND, "LEGEND", 0x21000},         {E::ID_LI, "LI", 0x41401},
    {E::ID_LINK, "LINK", 0x10},                {E::ID_MAP, "MAP", 0x8028},
    {E::ID_MENU, "MENU", 0x100a1},             {E::ID_META, "META", 0x10},
    {E::ID_NOEMBED, "NOEMBED", 0x40000},       {E::ID_NOFRAMES, "NOFRAMES", 0x10110},
    {E::ID_NOSCRIPT, "NOSCRIPT", 0x50001},     {E::ID_OBJECT, "OBJECT", 0x8028},
    {E::ID_OL, "OL", 0x100a1},                 {E::ID_OPTGROUP, "OPTGROUP", 0x1030},
    {E::ID_OPTION, "OPTION", 0x1010},          {E::ID_P, "P", 0x30081},
    {E::ID_PARAM, "PARAM", 0x1010},            {E::ID_PRE, "PRE", 0x30083},
    {E::ID_Q, "Q", 0x280c0},                   {E::ID_S, "S", 0x280c0},
    {E::ID_SAMP, "SAMP", 0x280c0},             {E::ID_SCRIPT, "SCRIPT", 0x88008},
    {E::ID_SELECT, "SELECT", 0x8028},          {E::ID_SMALL, "SMALL", 0x28080},
    {E::ID_SPAN, "SPAN", 0x28000},             {E::ID_STRIKE, "STRIKE", 0x280c0},
    {E::ID_STRONG, "STRONG", 0x280c0},         {E::ID_STYLE, "STYLE", 0x10},
    {E::ID_SUB, "SUB", 0x28080},               {E::ID_SUP, "SUP", 0x28080},
    {E::ID_TABLE, "TABLE", 0x120a1},           {E::ID_TBODY, "TBODY", 0x71a1},
    {E::ID_TD, "TD", 0x45001},                 {E::ID_TEXTAREA, "TEXTAREA", 0x800a},
    {E::ID_TFOOT, "TFOOT", 0x71a1},            {E::ID_TH, "TH", 0x45001},
    {E::ID_THEAD, "THEAD", 0x71a1},            {E::ID_TITLE, "TITLE", 0x110},
    {E::ID_TR, "TR", 0x7021},                  {E::ID_TT, "TT", 0x280c0},
    {E::ID_U, "U", 0x280c0},                   {E::ID_UL, "UL", 0x100a1},
    {E::ID_VAR, "VAR", 0x280c0},

    {E::ID_SUBMIT, "SUBMIT", 0x8008},    {E::ID_MARQUEE, "MARQUEE", 0x48008},

    {E::ID_SSI_CONFIG, "ssi:CONFIG", 0x100008},     {E::ID_SSI_ECHO, "ssi:ECHO", 0x100008},
    {E::ID_SSI_EXEC, "ssi:EXEC", 0x100008},         {E::ID_SSI_FSIZE, "ssi:FSIZE", 0x100008},
    {E::ID_SSI_FLASTMOD, "ssi:FLASTMOD", 0x100008}, {E::ID_SSI_INCLUDE, "ssi:INCLUDE", 0x100008},
    {E::ID_SSI_PRINTENV, "ssi:PRINTENV", 0x100008}, {E::ID_SSI_SET, "ssi:SET", 0x100008},

    {E::ID_JSP_SCRIPTLET, "jsp:scriptlet", 0x2ca80008},
    {E::ID_JSP_EXPRESSION, "jsp:expression", 0x2ca00008},
    {E::ID_JSP_DECLARATION, "jsp:declaration", 0x28a80018},
    {E::ID_JSP_DIRECTIVE_PAGE, "jsp:directive.page", 0x29680018},
    {E::ID_JSP_DIRECTIVE_INCLUDE, "jsp:directive.include", 0x29680018},
    {E::ID_JSP_DIRECTIVE_TAGLIB, "jsp:directive.taglib", 0x11680018},
    {E::ID_JSP_DIRECTIVE, "jsp:directive", 0x11280018},
    {E::ID_JSP_USE_BEAN, "jsp:useBean", 0x20680018},
    {E::ID_JSP_SET_PROPERTY, "jsp:setProperty", 0x20680018},
    {E::ID_JSP_GET_PROPERTY, "jsp:getProperty", 0x20680008},
    {E::ID_JSP_INCLUDE, "jsp:include", 0x20680008},
    {E::ID_JSP_FORWARD, "jsp:forward", 0x20680008},
    {E::ID_JSP_PLUGIN, "jsp:plugin", 0x20280008},
    {E::ID_JSP_PARAMS, "jsp:params", 0x20001030},
    {E::ID_JSP_FALLBACK, "jsp:fallback", 0x20001010},
    {E::ID_JSP_PARAM, "jsp:param", 0x20401010},

    {E::ID_SERVLET, "SERVLET", 0x4280028},    {E::ID_BEAN, "BEAN", 0x280028},
    {E::ID_REPEAT, "REPEAT", 0x2080000},      {E::ID_INSERT, "INSERT", 0x4200008},
    {E::ID_DBCONNECT, "DBCONNECT", 0x280008}, {E::ID_DBQUERY, "DBQUERY", 0x280008},
    {E::ID_DBMODIFY, "DBMODIFY", 0x280008},

    {E::ID_TSX_DBCONNECT, "tsx:dbconnect", 0x20280008},
    {E::ID_TSX_DBQUERY, "tsx:dbquery", 0x20280008},
    {E::ID_TSX_DBMODIFY, "tsx:dbmodify", 0x20280008},
    {E::ID_TSX_GET_PROPERTY, "tsx:getProperty", 0x20680008},
    {E::ID_TSX_REPEAT, "tsx:repeat", 0x2080000},

    {E::ID_QRTX_TEXT, "QRTX:TEXT", 0x8000},           {E::ID_QRTX_LOOP, "QRTX:LOOP", 0x2080000},
    {E::ID_QRTX_PROPERTY, "QRTX:PROPERTY", 0x200008}, {E::ID_QRTX_ATV, "QRTX:ATV", 0x200000},
    {E::ID_QRTX_COMMENT, "QRTX:COMMENT", 0x200000}};

constexpr int ELEMENT_COUNT = static_cast<int>(sizeof(ELEMENTS) / sizeof(ELEMENTS[0]));

constexpr int compareNames(const char* a, const char* b)
{
    while (*a && *a == *b) {
        ++a;
        ++b;
    }
    return static_cast<unsigned char>(*a) - static_cast<unsigned char>(*b);
}

// The tables the lookups use, derived from ELEMENTS at compile time: name and
// word by id, and the HTML names sorted for a binary search (XRV sits among
// the C's by id but sorts last).
struct Index {
    const char* names[ElementTable::MAX_ELEMENT_ID + 1];
    unsigned long words[ElementTable::MAX_ELEMENT_ID + 1];
    int htmlByName[HTML_ELEMENT_COUNT];
};

constexpr Index makeIndex()
{
    Index index{};
    for (const ElementEntry& entry : ELEMENTS) {
        index.names[entry.id] = entry.name;
        index.words[entry.id] = entry.word;
    }
    for (int i = 0; i < HTML_ELEMENT_COUNT; ++i) {
        int id = ELEMENTS[i].id;
        int j = i;
        for (; j > 0 && compareNames(index.names[index.htmlByName[j - 1]], ELEMENTS[i].name) > 0; --j)
            index.htmlByName[j] = index.htmlByName[j - 1];
        index.htmlByName[j] = id;
    }
    return index;
}

constexpr Index INDEX = makeIndex();

// The longest HTML name, BLOCKQUOTE, has 10 characters.
constexpr std::size_t MAX_HTML_NAME_LENGTH = 10;

constexpr std::size_t nameLength(const char* name)
{
    std::size_t n = 0;
    while (name[n])
        ++n;
    return n;
}

constexpr bool checkIndex()
{
    // Ids ascend and stay in range; the HTML entries come first, numbered
    // from 1, and are no longer than the HTML lookup accepts.
    for (int i = 0; i < ELEMENT_COUNT; ++i) {
        if (ELEMENTS[i].id > ElementTable::MAX_ELEMENT_ID || (i > 0 && ELEMENTS[i].id <= ELEMENTS[i - 1].id))
            return false;
        if (i < HTML_ELEMENT_COUNT
            && (ELEMENTS[i].id != i + 1 || nameLength(ELEMENTS[i].name) > MAX_HTML_NAME_LENGTH))
            return false;
    }
    return true;
}
static_assert(checkIndex(), "element table out of order");

int findHTMLName(const std::string& name)
{
    if (name.size() > MAX_HTML_NAME_LENGTH)
        return 0;
    const char* key = name.c_str();
    int low = 0;
    int high = HTML_ELEMENT_COUNT;
    while (low < high) {
        int middle = (low + high) / 2;
        int id = INDEX.htmlByName[middle];
        int order = std::strcmp(INDEX.names[id], key);
        if (order == 0)
            return name.size() == std::strlen(INDEX.names[id]) ? id : 0;
        if (order < 0)
            low = middle + 1;
        else
            high = middle;
    }
    return 0;
}

// A family of names beyond HTML: the ids first to last, matched exactly or
// ignoring case.  A family with a prefix decides every name that carries the
// prefix (a rest it does not know gives 0); one without a prefix only claims
// the names it finds.
struct Family {
    const char* prefix;
    bool exact;
    int first;
    int last;
};

const Family FAMILIES[] = {
    {"", false, E::ID_SUBMIT, E::ID_MARQUEE},               // SUBMIT, MARQUEE
    {"ssi:", false, E::ID_SSI_CONFIG, E::ID_SSI_SET},        // server-side include directives
    {"jsp:", true, E::ID_JSP_SCRIPTLET, E::ID_JSP_PARAM},    // JSP tags
    {"", false, E::ID_SERVLET, E::ID_DBMODIFY},              // JSP 0.91 server tags
    {"tsx:", true, E::ID_TSX_DBCONNECT, E::ID_TSX_REPEAT},   // JSP 1.0 server tags
    {"QRTX:", false, E::ID_QRTX_TEXT, E::ID_QRTX_COMMENT}    // dynamic-element tags
};

bool sameName(const std::string& a, const char* b, bool exact)
{
    return exact ? a == b : pagedom::str::equalsIgnoreCase(a, b);
}

bool hasPrefix(const std::string& name, const char* prefix, bool exact)
{
    for (std::size_t i = 0; prefix[i]; ++i) {
        if (i >= name.size())
            return false;
        char c = name[i];
        if (exact ? c != prefix[i] : pagedom::str::lowerChar(c) != pagedom::str::lowerChar(prefix[i]))
            return false;
    }
    return true;
}

} // namespace

int ElementTable::getDirectiveID(const std::string& name)
{
    if (pagedom::str::equalsIgnoreCase(name, "page"))
        return ID_JSP_DIRECTIVE_PAGE;
    if (pagedom::str::equalsIgnoreCase(name, "include"))
        return ID_JSP_DIRECTIVE_INCLUDE;
    if (pagedom::str::equalsIgnoreCase(name, "taglib"))
        return ID_JSP_DIRECTIVE_TAGLIB;
    return ID_JSP_DIRECTIVE;
}

int ElementTable::getElementID(const std::string& name)
{
    if (name.empty())
        return 0;
    int id = findHTMLName(name);
    if (id)
        return id;
    for (const Family& family : FAMILIES) {
        bool prefixed = *family.prefix != '\0';
        if (prefixed && !hasPrefix(name, family.prefix, family.exact))
            continue;
        for (int i = family.first; i <= family.last; ++i) {
            if (INDEX.names[i] && sameName(name, INDEX.names[i], family.exact))
                return i;
        }
        if (prefixed)
            return 0;
    }
    return 0;
}

unsigned long ElementTable::getElementFlags(int id)
{
    if (id < 0 || id > MAX_ELEMENT_ID)
        return 0;
    return INDEX.words[id];
}
