#include "doctype/ElementTable.h"

#include <cstring>

#include "base/StringUtil.h"

namespace {

struct ElementEntry {
    int id;
    const char* name;
    unsigned long word;
};

constexpr int HTML_ELEMENT_COUNT = 95;

// Every named element, in id order.  Ids 1 to 95 are the HTML elements; ids
// 0, 96, 99, 108, 109, 138 and 139 belong to no name.
constexpr ElementEntry ELEMENTS[] = {
    {1, "A", 0x28080},           {2, "ABBR", 0x280c0},        {3, "ACRONYM", 0x280c0},
    {4, "ADDRESS", 0x10081},     {5, "APPLET", 0x8028},       {6, "AREA", 0x1010},
    {7, "B", 0x280c0},           {8, "BASE", 0x10},           {9, "BASEFONT", 0x8008},
    {10, "BDO", 0x28080},        {11, "BIG", 0x28080},        {12, "BLINK", 0x280c0},
    {13, "BLOCKQUOTE", 0x50081}, {14, "BODY", 0x40301},       {15, "BR", 0x8004},
    {16, "BUTTON", 0x48001},     {17, "CAPTION", 0x25101},    {18, "CENTER", 0x50001},
    {19, "CITE", 0x280c0},       {20, "CODE", 0x280c0},       {21, "COL", 0x6001},
    {22, "COLGROUP", 0x7021},    {23, "XRV", 0x28000},        {24, "DD", 0x41481},
    {25, "DEL", 0x40000},        {26, "DFN", 0x280c0},        {27, "DIR", 0x100a1},
    {28, "DIV", 0x50001},        {29, "DL", 0x100a1},         {30, "DT", 0x21481},
    {31, "EM", 0x280c0},         {32, "EMBED", 0x8408},       {33, "FIELDSET", 0x10001},
    {34, "FONT", 0x28880},       {35, "FORM", 0x50001},       {36, "FRAME", 0x10},
    {37, "FRAMESET", 0x30},      {38, "H1", 0x30081},         {39, "H2", 0x30081},
    {40, "H3", 0x30081},         {41, "H4", 0x30081},         {42, "H5", 0x30081},
    {43, "H6", 0x30081},         {44, "HEAD", 0x310},         {45, "HR", 0x10001},
    {46, "HTML", 0x310},         {47, "I", 0x280c0},          {48, "IFRAME", 0x48008},
    {49, "IMG", 0x8008},         {50, "INPUT", 0x8008},       {51, "INS", 0x40000},
    {52, "ISINDEX", 0x10001},    {53, "KBD", 0x280c0},        {54, "LABEL", 0x28000},
    {55, "LEGEND", 0x21000},     {56, "LI", 0x41401},         {57, "LINK", 0x10},
    {58, "MAP", 0x8028},         {59, "MENU", 0x100a1},       {60, "META", 0x10},
    {61, "NOEMBED", 0x40000},    {62, "NOFRAMES", 0x10110},   {63, "NOSCRIPT", 0x50001},
    {64, "OBJECT", 0x8028},      {65, "OL", 0x100a1},         {66, "OPTGROUP", 0x1030},
    {67, "OPTION", 0x1010},      {68, "P", 0x30081},          {69, "PARAM", 0x1010},
    {70, "PRE", 0x30083},        {71, "Q", 0x280c0},          {72, "S", 0x280c0},
    {73, "SAMP", 0x280c0},       {74, "SCRIPT", 0x88008},     {75, "SELECT", 0x8028},
    {76, "SMALL", 0x28080},      {77, "SPAN", 0x28000},       {78, "STRIKE", 0x280c0},
    {79, "STRONG", 0x280c0},     {80, "STYLE", 0x10},         {81, "SUB", 0x28080},
    {82, "SUP", 0x28080},        {83, "TABLE", 0x120a1},      {84, "TBODY", 0x71a1},
    {85, "TD", 0x45001},         {86, "TEXTAREA", 0x800a},    {87, "TFOOT", 0x71a1},
    {88, "TH", 0x45001},         {89, "THEAD", 0x71a1},       {90, "TITLE", 0x110},
    {91, "TR", 0x7021},          {92, "TT", 0x280c0},         {93, "U", 0x280c0},
    {94, "UL", 0x100a1},         {95, "VAR", 0x280c0},

    {97, "SUBMIT", 0x8008},      {98, "MARQUEE", 0x48008},

    {100, "ssi:CONFIG", 0x100008},   {101, "ssi:ECHO", 0x100008},
    {102, "ssi:EXEC", 0x100008},     {103, "ssi:FSIZE", 0x100008},
    {104, "ssi:FLASTMOD", 0x100008}, {105, "ssi:INCLUDE", 0x100008},
    {106, "ssi:PRINTENV", 0x100008}, {107, "ssi:SET", 0x100008},

    {110, "jsp:scriptlet", 0x2ca80008},         {111, "jsp:expression", 0x2ca00008},
    {112, "jsp:declaration", 0x28a80018},       {113, "jsp:directive.page", 0x29680018},
    {114, "jsp:directive.include", 0x29680018}, {115, "jsp:directive.taglib", 0x11680018},
    {116, "jsp:directive", 0x11280018},         {117, "jsp:useBean", 0x20680018},
    {118, "jsp:setProperty", 0x20680018},       {119, "jsp:getProperty", 0x20680008},
    {120, "jsp:include", 0x20680008},           {121, "jsp:forward", 0x20680008},
    {122, "jsp:plugin", 0x20280008},            {123, "jsp:params", 0x20001030},
    {124, "jsp:fallback", 0x20001010},          {125, "jsp:param", 0x20401010},

    {126, "SERVLET", 0x4280028}, {127, "BEAN", 0x280028},     {128, "REPEAT", 0x2080000},
    {129, "INSERT", 0x4200008},  {130, "DBCONNECT", 0x280008}, {131, "DBQUERY", 0x280008},
    {132, "DBMODIFY", 0x280008},

    {133, "tsx:dbconnect", 0x20280008}, {134, "tsx:dbquery", 0x20280008},
    {135, "tsx:dbmodify", 0x20280008},  {136, "tsx:getProperty", 0x20680008},
    {137, "tsx:repeat", 0x2080000},

    {140, "QRTX:TEXT", 0x8000},       {141, "QRTX:LOOP", 0x2080000},
    {142, "QRTX:PROPERTY", 0x200008}, {143, "QRTX:ATV", 0x200000},
    {144, "QRTX:COMMENT", 0x200000}};

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
    // Ids ascend and stay in range; the first 95 are 1 to 95 and no longer
    // than the HTML lookup accepts.
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
    {"", false, 97, 98},        // SUBMIT, MARQUEE
    {"ssi:", false, 100, 107},  // server-side include directives
    {"jsp:", true, 110, 125},   // JSP tags
    {"", false, 126, 132},      // JSP 0.91 server tags
    {"tsx:", true, 133, 137},   // JSP 1.0 server tags
    {"QRTX:", false, 140, 144}  // dynamic-element tags
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
