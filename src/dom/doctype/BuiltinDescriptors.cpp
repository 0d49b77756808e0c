// The tables of the built-in document types "xml", "vxml", "jsp091",
// "jsp10" and "qrtx".
#include "doctype/BuiltinDescriptors.h"

#include "doctype/ElementTable.h"

namespace pagedom {

namespace {

template <class T, std::size_t N>
constexpr std::size_t countOf(const T (&)[N])
{
    return N;
}

// Shorthands that keep the tables below readable as attribute declarations.
constexpr AttrType::ValueType CDATA = AttrType::CDATA_TYPE;
constexpr AttrType::ValueType ID = AttrType::ID_TYPE;
constexpr AttrType::ValueType IDREF = AttrType::IDREF_TYPE;
constexpr AttrType::ValueType NMTOKEN = AttrType::NMTOKEN_TYPE;
constexpr AttrType::ValueType NMTOKENS = AttrType::NMTOKENS_TYPE;
constexpr AttrType::ValueType NUMBER = AttrType::NUMBER_TYPE;
constexpr AttrType::ValueType URI = AttrType::URI_TYPE;
constexpr AttrType::ValueType COLOR = AttrType::COLOR_TYPE;
constexpr AttrType::DefaultType REQUIRED = AttrType::REQUIRED_DEFAULT;
constexpr AttrType::DefaultType IMPLIED = AttrType::IMPLIED_DEFAULT;

constexpr ElementType::OmitType OMIT_END = ElementType::OMIT_END_TAG;
constexpr ElementType::OmitType OMIT_NONE = ElementType::OMIT_NO_TAG;

using E = ElementTable;
constexpr unsigned long NO_ADDED_BITS = 0;
constexpr unsigned long JSP_TAG = ElementType::GROUP_JSP;
constexpr unsigned long XML_TAG = ElementType::GROUP_XML_TAG;

// name TYPE #IMPLIED or #REQUIRED
constexpr AttrRecord att(const char* name, AttrType::ValueType type, AttrType::DefaultType def = IMPLIED)
{
    return {name, type, nullptr, def, nullptr};
}

// name TYPE "value"
constexpr AttrRecord dflt(const char* name, AttrType::ValueType type, const char* value)
{
    return {name, type, nullptr, AttrType::VALUE_DEFAULT, value};
}

// name (a|b) #IMPLIED or #REQUIRED
constexpr AttrRecord grp(const char* name, const char* members, AttrType::DefaultType def = IMPLIED)
{
    return {name, AttrType::NAME_GROUP_TYPE, members, def, nullptr};
}

// name (a|b) "value"
constexpr AttrRecord grp(const char* name, const char* members, const char* value)
{
    return {name, AttrType::NAME_GROUP_TYPE, members, AttrType::VALUE_DEFAULT, value};
}

template <std::size_t N>
constexpr AttrListRecord list(const char* element, const AttrRecord (&attrs)[N])
{
    return {element, attrs, N};
}

// --- entities shared by "xml" and "vxml" ------------------------------------------

const EntityRecord XML_ENTITIES[] = {
    {"lt", "&#60;", 60, nullptr, nullptr, nullptr},
    {"gt", "&#62;", 62, nullptr, nullptr, nullptr},
    {"amp", "&#38;", 38, nullptr, nullptr, nullptr},
    {"apos", "&#39;", 39, nullptr, nullptr, nullptr},
    {"quot", "&#34;", 34, nullptr, nullptr, nullptr}};

// --- "vxml" ---------------------------------------------------------------------

const char* const VXML_ROOT = "(catch|help|noinput|nomatch|error|form|link|menu|meta|property|script|var)+";
const char* const VXML_FORM =
    "(dtmf|grammar|catch|help|noinput|nomatch|error|filled|initial|object|link|property|record|"
    "subdialog|transfer|block|field|var)*";
const char* const VXML_MENU =
    "(#PCDATA|audio|enumerate|value|choice|catch|help|noinput|nomatch|error|prompt|property)*";
const char* const VXML_CHOICE =
    "(#PCDATA|audio|enumerate|value|grammar|break|div|emp|pros|sayas|zorvoice)*";
const char* const VXML_SPEECH = "(#PCDATA|audio|enumerate|value|break|div|emp|pros|sayas|zorvoice)*";
const char* const VXML_FIELD =
    "(#PCDATA|audio|enumerate|value|catch|help|noinput|nomatch|error|filled|dtmf|grammar|link|"
    "option|prompt|property)*";
const char* const VXML_TEXT = "(#PCDATA)*";
const char* const VXML_INITIAL =
    "(#PCDATA|audio|enumerate|value|catch|help|noinput|nomatch|error|link|prompt|property)*";
const char* const VXML_EXECUTABLE =
    "(#PCDATA|audio|enumerate|value|assign|clear|disconnect|exit|goto|if|prompt|reprompt|return|"
    "script|submit|throw|var)*";
const char* const VXML_LINK = "(dtmf|grammar)*";
const char* const VXML_RECORD =
    "(#PCDATA|audio|enumerate|value|catch|help|noinput|nomatch|error|filled|grammar|prompt|property)*";
const char* const VXML_TRANSFER =
    "(#PCDATA|audio|enumerate|value|catch|help|noinput|nomatch|error|dtmf|filled|grammar|prompt|"
    "property)*";
const char* const VXML_IF =
    "(#PCDATA|audio|enumerate|value|assign|clear|disconnect|exit|goto|if|prompt|reprompt|return|"
    "script|submit|throw|var|elseif|else)*";
const char* const VXML_SUBDIALOG =
    "(#PCDATA|audio|enumerate|value|catch|help|noinput|nomatch|error|filled|param|prompt|property)*";

// VoiceXML elements have no element id and no flag word, so they keep the
// default categories of an element type; both tags are always written.
constexpr ElementRecord vx(const char* name, const char* model)
{
    return {name, NO_ELEMENT_ID, model, OMIT_NONE, NO_ADDED_BITS};
}

const ElementRecord VXML_ELEMENTS[] = {
    vx("vxml", VXML_ROOT),
    vx("meta", "EMPTY"), vx("reprompt", "EMPTY"), vx("var", "EMPTY"), vx("assign", "EMPTY"),
    vx("clear", "EMPTY"), vx("value", "EMPTY"), vx("throw", "EMPTY"), vx("break", "EMPTY"),
    vx("disconnect", "EMPTY"), vx("elseif", "EMPTY"), vx("else", "EMPTY"), vx("exit", "EMPTY"),
    vx("goto", "EMPTY"), vx("param", "EMPTY"), vx("return", "EMPTY"), vx("submit", "EMPTY"),
    vx("property", "EMPTY"),
    vx("form", VXML_FORM),
    vx("menu", VXML_MENU),
    vx("choice", VXML_CHOICE),
    vx("prompt", VXML_SPEECH), vx("enumerate", VXML_SPEECH), vx("audio", VXML_SPEECH),
    vx("div", VXML_SPEECH), vx("emp", VXML_SPEECH), vx("pros", VXML_SPEECH),
    vx("field", VXML_FIELD),
    vx("option", VXML_TEXT), vx("sayas", VXML_TEXT), vx("zorvoice", VXML_TEXT),
    vx("dtmf", VXML_TEXT), vx("grammar", VXML_TEXT), vx("script", VXML_TEXT),
    vx("initial", VXML_INITIAL),
    vx("block", VXML_EXECUTABLE), vx("catch", VXML_EXECUTABLE), vx("error", VXML_EXECUTABLE),
    vx("help", VXML_EXECUTABLE), vx("noinput", VXML_EXECUTABLE), vx("nomatch", VXML_EXECUTABLE),
    vx("filled", VXML_EXECUTABLE),
    vx("link", VXML_LINK),
    vx("record", VXML_RECORD),
    vx("transfer", VXML_TRANSFER),
    vx("if", VXML_IF),
    vx("subdialog", VXML_SUBDIALOG), vx("object", VXML_SUBDIALOG)};

const char* const CACHING = "safe|fast";
const char* const FETCHHINT = "prefetch|safe|stream";
const char* const TRUE_FALSE = "true|false";
const char* const URLENCODED = "application/x-www-form-urlencoded";

const AttrRecord VX_VXML[] = {att("application", URI), att("base", URI), att("lang", CDATA),
                              att("version", CDATA, REQUIRED)};
const AttrRecord VX_META[] = {att("name", NMTOKEN), att("content", CDATA, REQUIRED), att("http-equiv", NMTOKEN)};
const AttrRecord VX_FORM[] = {att("id", ID), grp("scope", "document|dialog", "dialog")};
const AttrRecord VX_MENU[] = {att("id", ID), grp("scope", "document|dialog", "dialog"),
                              grp("dtmf", TRUE_FALSE, "false")};
const AttrRecord VX_CHOICE[] = {grp("caching", CACHING), grp("fetchhint", FETCHHINT), att("fetchtimeout", CDATA),
                                att("dtmf", CDATA), att("event", NMTOKEN), att("fetchaudio", URI),
                                att("next", URI), att("expr", CDATA)};
const AttrRecord VX_PROMPT[] = {grp("bargein", TRUE_FALSE), att("cond", CDATA), att("count", CDATA),
                                att("timeout", CDATA)};
const AttrRecord VX_FIELD[] = {att("name", NMTOKEN), att("cond", CDATA), att("expr", CDATA), att("type", CDATA),
                               att("slot", NMTOKEN), grp("modal", TRUE_FALSE, "false")};
const AttrRecord VX_OPTION[] = {att("dtmf", CDATA), att("value", CDATA)};
const AttrRecord VX_VAR[] = {att("name", NMTOKEN, REQUIRED), att("expr", CDATA)};
const AttrRecord VX_FORM_ITEM[] = {att("name", NMTOKEN), att("cond", CDATA), att("expr", CDATA)};
const AttrRecord VX_ASSIGN[] = {att("name", NMTOKEN, REQUIRED), att("expr", CDATA, REQUIRED)};
const AttrRecord VX_CLEAR[] = {att("namelist", NMTOKENS)};
const AttrRecord VX_VALUE[] = {att("class", CDATA), att("expr", CDATA, REQUIRED), grp("mode", "tts|recorded", "tts"),
                               att("recsrc", URI)};
const AttrRecord VX_CATCH[] = {att("event", NMTOKENS, REQUIRED), att("count", CDATA), att("cond", CDATA)};
const AttrRecord VX_EVENT[] = {att("count", CDATA), att("cond", CDATA)};
const AttrRecord VX_LINK[] = {grp("caching", CACHING), grp("fetchhint", FETCHHINT), att("fetchtimeout", CDATA),
                              att("next", URI), att("expr", CDATA), att("fetchaudio", URI),
                              att("event", NMTOKEN)};
const AttrRecord VX_THROW[] = {att("event", NMTOKEN, REQUIRED)};
const AttrRecord VX_AUDIO[] = {att("src", URI), grp("caching", CACHING), grp("fetchhint", FETCHHINT),
                               att("fetchtimeout", CDATA)};
const AttrRecord VX_BREAK[] = {att("msecs", CDATA), grp("size", "none|small|medium|large")};
const AttrRecord VX_DIV[] = {att("type", CDATA)};
const AttrRecord VX_EMP[] = {grp("level", "strong|moderate|none|reduced", "moderate")};
const AttrRecord VX_PROS[] = {att("rate", CDATA), att("vol", CDATA), att("pitch", CDATA), att("range", CDATA)};
const AttrRecord VX_SAYAS[] = {att("sub", CDATA), att("class", CDATA), att("phon", CDATA)};
const AttrRecord VX_ZORVOICE[] = {grp("gender", "male|female"), grp("age", "child|middle_adult|old_adult")};
const AttrRecord VX_GRAMMAR[] = {grp("caching", CACHING), grp("fetchhint", FETCHHINT), att("fetchtimeout", CDATA),
                                 grp("scope", "document|dialog"), att("src", URI), att("type", CDATA)};
const AttrRecord VX_RECORD[] = {att("name", NMTOKEN), att("cond", CDATA), att("expr", CDATA),
                                att("type", CDATA), grp("beep", TRUE_FALSE, "false"), att("maxtime", CDATA),
                                grp("modal", TRUE_FALSE, "true"), att("finalsilence", CDATA),
                                grp("dtmfterm", TRUE_FALSE, "true")};
const AttrRecord VX_TRANSFER[] = {att("name", NMTOKEN), att("cond", CDATA), att("expr", CDATA),
                                  att("dest", URI), att("destexpr", CDATA), grp("bridge", TRUE_FALSE, "false"),
                                  att("connecttimeout", CDATA), att("maxtime", CDATA)};
const AttrRecord VX_COND[] = {att("cond", CDATA, REQUIRED)};
const AttrRecord VX_EXIT[] = {att("expr", CDATA), att("namelist", NMTOKENS)};
const AttrRecord VX_FILLED[] = {grp("mode", "any|all", "all"), att("namelist", NMTOKENS)};
const AttrRecord VX_GOTO[] = {grp("caching", CACHING), grp("fetchhint", FETCHHINT), att("fetchtimeout", CDATA),
                              att("next", URI), att("expr", CDATA), att("fetchaudio", URI),
                              att("expritem", CDATA), att("nextitem", NMTOKEN)};
const AttrRecord VX_PARAM[] = {att("name", NMTOKEN, REQUIRED), att("expr", CDATA), att("value", CDATA),
                               grp("valuetype", "data|ref", "data"), att("type", CDATA)};
const AttrRecord VX_RETURN[] = {att("namelist", NMTOKENS), att("event", NMTOKEN)};
const AttrRecord VX_SUBDIALOG[] = {att("name", NMTOKEN), att("cond", CDATA), att("expr", CDATA),
                                   att("src", URI, REQUIRED), grp("caching", CACHING),
                                   grp("fetchhint", FETCHHINT), att("fetchtimeout", CDATA),
                                   att("fetchaudio", URI), grp("method", "get|post", "get"),
                                   dflt("enctype", CDATA, URLENCODED), att("namelist", NMTOKENS)};
const AttrRecord VX_SUBMIT[] = {grp("caching", CACHING), grp("fetchhint", FETCHHINT), att("fetchtimeout", CDATA),
                                att("next", URI), att("expr", CDATA), att("fetchaudio", URI),
                                grp("method", "get|post", "get"), dflt("enctype", CDATA, URLENCODED),
                                att("namelist", NMTOKENS)};
const AttrRecord VX_OBJECT[] = {att("name", NMTOKEN), att("cond", CDATA), att("expr", CDATA),
                                grp("caching", CACHING), grp("fetchhint", FETCHHINT),
                                att("fetchtimeout", CDATA), att("classid", URI), att("codebase", URI),
                                att("data", URI), att("type", CDATA), att("codetype", CDATA),
                                att("archive", URI)};
const AttrRecord VX_PROPERTY[] = {att("name", NMTOKEN, REQUIRED), att("value", CDATA, REQUIRED)};
const AttrRecord VX_SCRIPT[] = {att("src", URI), att("charset", CDATA), grp("caching", CACHING),
                                grp("fetchhint", FETCHHINT), att("fetchtimeout", CDATA)};

const AttrListRecord VXML_LISTS[] = {
    list("vxml", VX_VXML),         list("meta", VX_META),         list("form", VX_FORM),
    list("menu", VX_MENU),         list("choice", VX_CHOICE),     list("prompt", VX_PROMPT),
    list("field", VX_FIELD),       list("option", VX_OPTION),     list("var", VX_VAR),
    list("initial", VX_FORM_ITEM), list("block", VX_FORM_ITEM),   list("assign", VX_ASSIGN),
    list("clear", VX_CLEAR),       list("value", VX_VALUE),       list("catch", VX_CATCH),
    list("error", VX_EVENT),       list("help", VX_EVENT),        list("link", VX_LINK),
    list("noinput", VX_EVENT),     list("nomatch", VX_EVENT),     list("throw", VX_THROW),
    list("audio", VX_AUDIO),       list("break", VX_BREAK),       list("div", VX_DIV),
    list("emp", VX_EMP),           list("pros", VX_PROS),         list("sayas", VX_SAYAS),
    list("zorvoice", VX_ZORVOICE), list("dtmf", VX_GRAMMAR),      list("grammar", VX_GRAMMAR),
    list("record", VX_RECORD),     list("transfer", VX_TRANSFER), list("if", VX_COND),
    list("elseif", VX_COND),       list("exit", VX_EXIT),         list("filled", VX_FILLED),
    list("goto", VX_GOTO),         list("param", VX_PARAM),       list("return", VX_RETURN),
    list("subdialog", VX_SUBDIALOG), list("submit", VX_SUBMIT),   list("object", VX_OBJECT),
    list("property", VX_PROPERTY), list("script", VX_SCRIPT)};

// --- "jsp091": JSP 0.91 tags; every flag word gains the JSP bit --------------------

const ElementRecord JSP091_ELEMENTS[] = {
    {"jsp:scriptlet", E::ID_JSP_SCRIPTLET, "(#PCDATA)", OMIT_NONE, JSP_TAG},
    {"jsp:expression", E::ID_JSP_EXPRESSION, "(#PCDATA)", OMIT_NONE, JSP_TAG},
    {"jsp:directive", E::ID_JSP_DIRECTIVE, "EMPTY", OMIT_END, JSP_TAG},
    {"SERVLET", E::ID_SERVLET, "(PARAM)*", OMIT_NONE, JSP_TAG},
    {"BEAN", E::ID_BEAN, "(PARAM)*", OMIT_NONE, JSP_TAG},
    {"PARAM", E::ID_PARAM, "EMPTY", OMIT_END, JSP_TAG},
    {"REPEAT", E::ID_REPEAT, "ANY", OMIT_NONE, JSP_TAG},
    {"INSERT", E::ID_INSERT, "CDATA", OMIT_NONE, JSP_TAG},
    {"DBCONNECT", E::ID_DBCONNECT, "CDATA", OMIT_NONE, JSP_TAG},
    {"DBQUERY", E::ID_DBQUERY, "CDATA", OMIT_NONE, JSP_TAG},
    {"DBMODIFY", E::ID_DBMODIFY, "CDATA", OMIT_NONE, JSP_TAG}};

const AttrRecord J91_DIRECTIVE[] = {att("language", CDATA), att("method", CDATA), att("import", CDATA),
                                    att("content_type", CDATA), att("extends", CDATA),
                                    att("implements", CDATA)};
const AttrRecord J91_SERVLET[] = {att("name", CDATA), att("code", CDATA), att("codebase", URI)};
const AttrRecord J91_BEAN[] = {att("name", CDATA), att("varname", CDATA), att("type", CDATA),
                               grp("introspect", "yes|no"), att("beanname", CDATA), grp("create", "yes|no"),
                               grp("scope", "request|session")};
const AttrRecord J91_PARAM[] = {att("id", ID), att("name", CDATA, REQUIRED), att("value", CDATA),
                                grp("valuetype", "data|ref|object", "data"), att("type", CDATA),
                                att("property", CDATA)};
const AttrRecord JSP_REPEAT[] = {att("index", CDATA), att("start", NUMBER), att("end", NUMBER)};
const AttrRecord J91_INSERT[] = {att("requestparm", CDATA), att("requestattr", CDATA), att("bean", CDATA),
                                 att("property", CDATA), att("default", CDATA)};
const AttrRecord J91_DBCONNECT[] = {att("id", CDATA), att("url", URI), att("driver", CDATA),
                                    att("userid", CDATA), att("passwd", CDATA), att("xmlref", CDATA)};
const AttrRecord JSP_DBQUERY[] = {att("id", CDATA), att("connection", CDATA), att("limit", NUMBER)};
const AttrRecord JSP_DBMODIFY[] = {att("connection", CDATA)};

const AttrListRecord JSP091_LISTS[] = {
    list("jsp:directive", J91_DIRECTIVE), list("SERVLET", J91_SERVLET),     list("BEAN", J91_BEAN),
    list("PARAM", J91_PARAM),             list("REPEAT", JSP_REPEAT),       list("INSERT", J91_INSERT),
    list("DBCONNECT", J91_DBCONNECT),     list("DBQUERY", JSP_DBQUERY),     list("DBMODIFY", JSP_DBMODIFY)};

// --- "jsp10": JSP 1.0 tags -----------------------------------------------------------

const ElementRecord JSP10_ELEMENTS[] = {
    {"jsp:scriptlet", E::ID_JSP_SCRIPTLET, "(#PCDATA)", OMIT_NONE, JSP_TAG},
    {"jsp:expression", E::ID_JSP_EXPRESSION, "(#PCDATA)", OMIT_NONE, JSP_TAG},
    {"jsp:declaration", E::ID_JSP_DECLARATION, "(#PCDATA)", OMIT_NONE, JSP_TAG},
    {"jsp:directive.page", E::ID_JSP_DIRECTIVE_PAGE, "EMPTY", OMIT_END, JSP_TAG},
    {"jsp:directive.include", E::ID_JSP_DIRECTIVE_INCLUDE, "EMPTY", OMIT_END, JSP_TAG},
    {"jsp:directive.taglib", E::ID_JSP_DIRECTIVE_TAGLIB, "EMPTY", OMIT_END, JSP_TAG},
    {"jsp:useBean", E::ID_JSP_USE_BEAN, "ANY", OMIT_NONE, JSP_TAG},
    {"jsp:setProperty", E::ID_JSP_SET_PROPERTY, "EMPTY", OMIT_END, JSP_TAG},
    {"jsp:getProperty", E::ID_JSP_GET_PROPERTY, "EMPTY", OMIT_END, JSP_TAG},
    {"jsp:include", E::ID_JSP_INCLUDE, "EMPTY", OMIT_END, JSP_TAG},
    {"jsp:forward", E::ID_JSP_FORWARD, "EMPTY", OMIT_END, JSP_TAG},
    {"jsp:plugin", E::ID_JSP_PLUGIN, "(jsp:params|jsp:fallback)?", OMIT_NONE, JSP_TAG},
    {"jsp:params", E::ID_JSP_PARAMS, "(jsp:param)+", OMIT_NONE, JSP_TAG},
    {"jsp:fallback", E::ID_JSP_FALLBACK, "CDATA", OMIT_NONE, JSP_TAG},
    {"jsp:param", E::ID_JSP_PARAM, "EMPTY", OMIT_END, JSP_TAG},
    {"tsx:dbconnect", E::ID_TSX_DBCONNECT, "CDATA", OMIT_NONE, JSP_TAG},
    {"tsx:dbquery", E::ID_TSX_DBQUERY, "CDATA", OMIT_NONE, JSP_TAG},
    {"tsx:dbmodify", E::ID_TSX_DBMODIFY, "CDATA", OMIT_NONE, JSP_TAG},
    {"tsx:getProperty", E::ID_TSX_GET_PROPERTY, "EMPTY", OMIT_END, JSP_TAG},
    {"tsx:repeat", E::ID_TSX_REPEAT, "ANY", OMIT_NONE, JSP_TAG | XML_TAG}};

const AttrRecord J10_PAGE[] = {dflt("language", CDATA, "java"), att("extends", CDATA),
                               dflt("contentType", CDATA, "text/html; ISO-8859-1"), att("import", CDATA),
                               grp("session", TRUE_FALSE), dflt("buffer", CDATA, "8kb"),
                               grp("autoFlush", TRUE_FALSE, "true"), grp("isThreadSafe", TRUE_FALSE, "true"),
                               att("info", CDATA), att("errorPage", URI),
                               grp("isErrorPage", TRUE_FALSE, "false")};
const AttrRecord J10_INCLUDE_DIRECTIVE[] = {att("file", URI)};
const AttrRecord J10_TAGLIB[] = {att("uri", URI, REQUIRED), att("prefix", CDATA, REQUIRED)};
const AttrRecord J10_USEBEAN[] = {att("id", ID, REQUIRED), grp("scope", "page|session|request|application", "page"),
                                  att("class", CDATA), att("beanName", CDATA), att("type", CDATA)};
const AttrRecord J10_SETPROPERTY[] = {att("name", IDREF, REQUIRED), att("property", CDATA, REQUIRED),
                                      att("value", CDATA), att("param", CDATA)};
const AttrRecord J10_GETPROPERTY[] = {att("name", IDREF, REQUIRED), att("property", CDATA, REQUIRED)};
const AttrRecord J10_PAGE_ACTION[] = {att("page", URI, REQUIRED)};
const AttrRecord J10_PLUGIN[] = {grp("type", "bean|applet", REQUIRED), att("code", CDATA, REQUIRED),
                                 att("codebase", URI, REQUIRED), grp("align", "top|middle|bottom|left|right"),
                                 att("archive", CDATA), att("height", CDATA), att("hspace", CDATA),
                                 dflt("jreversion", CDATA, "1.1"), att("name", CDATA), att("vspace", CDATA),
                                 att("width", CDATA), att("nspluginurl", URI), att("iepluginurl", URI)};
const AttrRecord J10_PARAM[] = {att("name", CDATA, REQUIRED), att("value", CDATA)};
const AttrRecord J10_DBCONNECT[] = {att("id", CDATA), att("url", URI), att("driver", CDATA),
                                    att("userid", CDATA), att("passwd", CDATA)};

const AttrListRecord JSP10_LISTS[] = {
    list("jsp:directive.page", J10_PAGE),
    list("jsp:directive.include", J10_INCLUDE_DIRECTIVE),
    list("jsp:directive.taglib", J10_TAGLIB),
    list("jsp:useBean", J10_USEBEAN),
    list("jsp:setProperty", J10_SETPROPERTY),
    list("jsp:getProperty", J10_GETPROPERTY),
    list("jsp:include", J10_PAGE_ACTION),
    list("jsp:forward", J10_PAGE_ACTION),
    list("jsp:plugin", J10_PLUGIN),
    list("jsp:param", J10_PARAM),
    list("tsx:dbconnect", J10_DBCONNECT),
    list("tsx:dbquery", JSP_DBQUERY),
    list("tsx:dbmodify", JSP_DBMODIFY),
    list("tsx:getProperty", J10_GETPROPERTY),
    list("tsx:repeat", JSP_REPEAT)};

// --- "qrtx": dynamic-element tags and the binding attributes of HTML elements ----------

const ElementRecord QRTX_ELEMENTS[] = {
    {"QRTX:TEXT", E::ID_QRTX_TEXT, "(#INLINE)", OMIT_NONE, NO_ADDED_BITS},
    {"QRTX:LOOP", E::ID_QRTX_LOOP, "ANY", OMIT_NONE, NO_ADDED_BITS},
    {"QRTX:PROPERTY", E::ID_QRTX_PROPERTY, "EMPTY", OMIT_END, NO_ADDED_BITS},
    {"QRTX:ATV", E::ID_QRTX_ATV, "ANY", OMIT_NONE, NO_ADDED_BITS},
    {"QRTX:COMMENT", E::ID_QRTX_COMMENT, "CDATA", OMIT_NONE, NO_ADDED_BITS}};

const char* const DYNAMIC = "dynamicelement";

const AttrRecord QX_TEXT[] = {att("loopproperty", CDATA), att("delimiter", CDATA), att("lastdelimiter", CDATA),
                              att("delimiterfortwo", CDATA), att("looprangestartvariable", CDATA),
                              att("looprangesize", NUMBER), att("loopsetsizevariable", CDATA),
                              att("loopsetcurrentsizevariable", CDATA), att("varprefix", CDATA)};
const AttrRecord QX_LOOP[] = {att("loopproperty", CDATA), att("looprangestartvariable", CDATA),
                              att("looprangesize", NUMBER), att("loopsetsizevariable", CDATA),
                              att("loopsetcurrentsizevariable", CDATA), att("varprefix", CDATA)};
const AttrRecord QX_PROPERTY[] = {att("property", CDATA), att("authortimetext", CDATA)};
const AttrRecord QX_ATV[] = {att("imgsrc", URI), att("imgwidth", CDATA), att("imgheight", CDATA),
                             att("fonttext", CDATA), att("fontcolor", COLOR)};
const AttrRecord QX_A[] = {grp("dynamicelement", DYNAMIC), att("hrefproperty", CDATA)};
const AttrRecord QX_IMG[] = {grp("dynamicelement", DYNAMIC), att("property", CDATA),
                             att("authortimeimagesrc", URI), att("authortimeimagewidth", CDATA),
                             att("authortimeimageheight", CDATA)};
const AttrRecord QX_OBJECT[] = {grp("dtc", "dtc")};
const AttrRecord QX_PARAM[] = {att("property", CDATA)};
const AttrRecord QX_APPLET[] = {grp("mayscript", "mayscript")};
const AttrRecord QX_LIST[] = {att("dynamicelement", CDATA), att("loopproperty", CDATA),
                              att("looprangestartvariable", CDATA), att("looprangesize", NUMBER),
                              att("loopsetsizevariable", CDATA), att("loopsetcurrentsizevariable", CDATA),
                              att("varprefix", CDATA), att("imgsrc", URI), att("imgwidth", CDATA),
                              att("imgheight", CDATA), att("fonttext", CDATA), att("fontcolor", COLOR)};
const AttrRecord QX_FORM[] = {grp("dynamicelement", DYNAMIC), att("actionproperty", CDATA)};
const AttrRecord QX_INPUT[] = {grp("dynamicelement", DYNAMIC), att("nameproperty", CDATA),
                               att("valueproperty", CDATA), att("defaultproperty", CDATA),
                               att("constdefaultproperty", CDATA), att("authortimetext", CDATA)};
const AttrRecord QX_SELECT[] = {grp("dynamicelement", DYNAMIC), att("nameproperty", CDATA),
                                att("loopproperty", CDATA), att("itemproperty", CDATA), att("constitem", CDATA),
                                att("valueproperty", CDATA), att("constvalue", CDATA), att("varprefix", CDATA),
                                att("defaultproperty", CDATA), att("constdefaultproperty", CDATA),
                                att("authortimetext", CDATA)};
const AttrRecord QX_TEXTAREA[] = {grp("dynamicelement", DYNAMIC), att("nameproperty", CDATA),
                                  att("valueproperty", CDATA)};
const AttrRecord QX_TABLE[] = {
    grp("dynamicelement", DYNAMIC), att("outerloopproperty", CDATA), grp("innerloopdirection", "horizontal|vertical"),
    att("innerloopstartindex", NUMBER), att("innerloopendindex", NUMBER), att("innerloopproperty", CDATA),
    att("dynamicbgcolor1", COLOR), att("dynamicbgcolor2", COLOR), att("outerlooprangestartvariable", CDATA),
    att("outerlooprangesize", NUMBER), att("outerloopsetsizevariable", CDATA),
    att("outerloopsetcurrentsizevariable", CDATA), att("innerlooprangestartvariable", CDATA),
    att("innerlooprangesize", NUMBER), att("innerloopsetsizevariable", CDATA),
    att("innerloopsetcurrentsizevariable", CDATA), att("varprefix", CDATA), att("imgsrc", URI),
    att("imgwidth", CDATA), att("imgheight", CDATA), att("fonttext", CDATA), att("fontcolor", COLOR)};
const AttrRecord QX_ROW[] = {att("pszclassifier", CDATA), att("pszclassification", CDATA),
                             grp("pszdisplay", "pszdisplay")};
const AttrRecord QX_SCRIPT[] = {grp("runat", "server")};

const AttrListRecord QRTX_LISTS[] = {
    list("QRTX:TEXT", QX_TEXT), list("QRTX:LOOP", QX_LOOP), list("QRTX:PROPERTY", QX_PROPERTY),
    list("QRTX:ATV", QX_ATV),   list("A", QX_A),            list("IMG", QX_IMG),
    list("OBJECT", QX_OBJECT),  list("PARAM", QX_PARAM),    list("APPLET", QX_APPLET),
    list("UL", QX_LIST),        list("OL", QX_LIST),        list("FORM", QX_FORM),
    list("INPUT", QX_INPUT),    list("SELECT", QX_SELECT),  list("TEXTAREA", QX_TEXTAREA),
    list("TABLE", QX_TABLE),    list("TR", QX_ROW),         list("TH", QX_ROW),
    list("SCRIPT", QX_SCRIPT)};

// --- descriptors ------------------------------------------------------------------------

struct NamedDescriptor {
    const char* factoryName;
    Descriptor descriptor;
};

const NamedDescriptor DESCRIPTORS[] = {
    {"xml", {"xml", nullptr, 0, nullptr, 0, XML_ENTITIES, countOf(XML_ENTITIES), nullptr, 0}},
    {"vxml",
     {"vxml", VXML_ELEMENTS, countOf(VXML_ELEMENTS), VXML_LISTS, countOf(VXML_LISTS), XML_ENTITIES,
      countOf(XML_ENTITIES), nullptr, 0}},
    {"jsp091",
     {"jsp", JSP091_ELEMENTS, countOf(JSP091_ELEMENTS), JSP091_LISTS, countOf(JSP091_LISTS), nullptr, 0, nullptr,
      0}},
    {"jsp10",
     {"jsp", JSP10_ELEMENTS, countOf(JSP10_ELEMENTS), JSP10_LISTS, countOf(JSP10_LISTS), nullptr, 0, nullptr, 0}},
    {"qrtx",
     {"qrtx", QRTX_ELEMENTS, countOf(QRTX_ELEMENTS), QRTX_LISTS, countOf(QRTX_LISTS), nullptr, 0, nullptr, 0}}};

} // namespace

const Descriptor* findDescriptor(const std::string& factoryName)
{
    for (const NamedDescriptor& entry : DESCRIPTORS) {
        if (factoryName == entry.factoryName)
            return &entry.descriptor;
    }
    return nullptr;
}

} // namespace pagedom
