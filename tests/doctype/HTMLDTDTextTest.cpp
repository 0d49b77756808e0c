#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "doctype/HTMLDTDText.h"

namespace {

std::string lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::vector<std::string> lines()
{
    std::vector<std::string> out;
    const std::string text(HTML_DTD_TEXT);
    std::string::size_type start = 0;
    while (start < text.size()) {
        std::string::size_type end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        out.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

// Reads the text the way the DTD reader does, one declaration per line:
// parameter entities are expanded when a line is read, the first declaration
// of a parameter entity wins, IGNORE sections are passed over.
struct Reading {
    std::map<std::string, std::string> parameters;      // lower-cased name -> value
    std::vector<std::string> parameterOrder;            // names as declared
    std::map<std::string, std::string> entities;        // general entities
    std::vector<std::string> elements;                  // element names in order
    std::map<std::string, std::string> declarations;    // element -> "omission model"
    std::map<std::string, std::string> attributes;      // element -> expanded attribute text
    std::vector<std::string> problems;

    Reading()
    {
        const std::vector<std::string> all = lines();
        for (std::size_t i = 0; i < all.size(); ++i) {
            std::string line = expand(all[i]);
            if (line.compare(0, 4, "<![ ") == 0) {
                const std::string keyword = line.substr(4, line.size() - 6);
                if (keyword == "IGNORE") {
                    int depth = 1;
                    while (depth > 0 && ++i < all.size())
                        depth += all[i].compare(0, 3, "<![") == 0 ? 1 : all[i] == "]]>" ? -1 : 0;
                } else if (keyword != "INCLUDE") {
                    problems.push_back("marked section " + line);
                }
            } else if (line != "]]>") {
                declaration(line);
            }
        }
    }

    std::string expand(const std::string& line)
    {
        std::string out;
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (line[i] != '%' || i + 1 == line.size() || line[i + 1] == ' ') {
                out += line[i];
                continue;
            }
            std::size_t end = line.find_first_of("; >", i + 1);
            if (end == std::string::npos)
                end = line.size();
            const std::string name = line.substr(i + 1, end - i - 1);
            auto found = parameters.find(lower(name));
            if (found == parameters.end())
                problems.push_back("undefined %" + name + " in " + line);
            else
                out += found->second;
            i = end < line.size() && line[end] == ';' ? end : end - 1;
        }
        return out;
    }

    // The names of "<!ELEMENT name ..." or "<!ATTLIST (a|b) ...", and the rest.
    static std::vector<std::string> names(const std::string& line, std::size_t at, std::string& rest)
    {
        std::vector<std::string> out;
        std::size_t end;
        if (line[at] == '(') {
            end = line.find(')', at) + 1;
            std::string group = line.substr(at + 1, end - at - 2);
            for (std::size_t bar; (bar = group.find('|')) != std::string::npos; group.erase(0, bar + 1))
                out.push_back(group.substr(0, bar));
            out.push_back(group);
        } else {
            end = line.find_first_of(" >", at);
            out.push_back(line.substr(at, end - at));
        }
        for (std::string& name : out)
            name.erase(0, name.find_first_not_of(' ')), name.erase(name.find_last_not_of(' ') + 1);
        rest = line.substr(end + 1, line.size() - end - 2);
        return out;
    }

    void declaration(const std::string& line)
    {
        if (line.empty() || line.back() != '>') {
            problems.push_back("not one declaration: " + line);
            return;
        }
        std::string rest;
        if (line.compare(0, 11, "<!ENTITY % ") == 0) {
            const std::size_t space = line.find(' ', 11);
            const std::string name = line.substr(11, space - 11);
            parameterOrder.push_back(name);
            // Values are written between double quotes; the first declaration wins.
            parameters.emplace(lower(name), line.substr(space + 2, line.size() - space - 4));
        } else if (line.compare(0, 9, "<!ENTITY ") == 0) {
            const std::size_t space = line.find(' ', 9);
            const std::string name = line.substr(9, space - 9);
            if (line.compare(space, 8, " CDATA \"") != 0 || !entities.emplace(name, line.substr(space + 8, line.size() - space - 10)).second)
                problems.push_back("entity " + line);
        } else if (line.compare(0, 10, "<!ELEMENT ") == 0) {
            for (const std::string& name : names(line, 10, rest)) {
                elements.push_back(name);
                declarations[name] = rest;
            }
        } else if (line.compare(0, 10, "<!ATTLIST ") == 0) {
            for (const std::string& name : names(line, 10, rest)) {
                if (!declarations.count(name))
                    problems.push_back("attributes before the element: " + line);
                attributes[name] = rest;
            }
        } else {
            problems.push_back("unexpected " + line);
        }
    }
};

const Reading& reading()
{
    static const Reading instance;
    return instance;
}

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

} // namespace

TEST(HTMLDTDText, SizeAndForm)
{
    ASSERT_EQ(std::strlen(HTML_DTD_TEXT), HTML_DTD_TEXT_LENGTH);
    EXPECT_GT(HTML_DTD_TEXT_LENGTH, 24000u);
    EXPECT_LT(HTML_DTD_TEXT_LENGTH, 26500u);
    const std::string text(HTML_DTD_TEXT);
    // No SGML comments are left, neither as declarations nor inside them.
    EXPECT_FALSE(contains(text, "--"));
    EXPECT_FALSE(contains(text, "<!--"));
    EXPECT_EQ('\n', text.back());
    for (char c : text)
        ASSERT_TRUE(c == '\n' || (c >= ' ' && c <= '~')) << int(c);
    std::string problems;
    for (const std::string& problem : reading().problems)
        problems += problem + "\n";
    EXPECT_EQ("", problems);
}

TEST(HTMLDTDText, LibraryParameterEntitiesWin)
{
    const std::vector<std::string> first = {
        "HTML.Version", "html.content", "special.w3c", "pre.exclusion.w3c", "special", "pre.exclusion",
        "HTML.Version", "HTML.Version", "HTML.Frameset"};
    const std::vector<std::string>& order = reading().parameterOrder;
    ASSERT_GT(order.size(), first.size());
    EXPECT_EQ(first, std::vector<std::string>(order.begin(), order.begin() + first.size()));

    const std::map<std::string, std::string>& p = reading().parameters;
    EXPECT_EQ("-//ZEB//DTD ZEB Version 4.0//EN", p.at("html.version"));
    EXPECT_EQ("HEAD, (FRAMESET|BODY)", p.at("html.content"));
    EXPECT_EQ("A | IMG | APPLET | OBJECT | FONT | BASEFONT | BR | SCRIPT | MAP | Q | SUB | SUP | SPAN | BDO | "
              "IFRAME | EMBED | MARQUEE | XRV | SUBMIT | QRTX:TEXT", p.at("special"));
    EXPECT_EQ("IMG|OBJECT|APPLET|BIG|SMALL|SUB|SUP|FONT|BASEFONT | EMBED", p.at("pre.exclusion"));
    EXPECT_EQ("INCLUDE", p.at("html.frameset"));
    EXPECT_EQ("URI", p.at("uri"));
    EXPECT_EQ("EVENT", p.at("script"));
    EXPECT_EQ("COLOR", p.at("color"));
    EXPECT_EQ("NAME", p.at("languagecode"));
    EXPECT_EQ("CDATA", p.at("stylesheet"));
    EXPECT_EQ("#INLINE", p.at("inline"));
    EXPECT_EQ("#FLOW", p.at("flow"));
    EXPECT_EQ("TT | I | B | U | S | STRIKE | BIG | SMALL | BLINK", p.at("fontstyle"));
    EXPECT_EQ("IGNORE", p.at("html.reserved"));
    EXPECT_EQ("", p.at("reserved"));
    EXPECT_EQ("(BODY) -(NOFRAMES)", p.at("noframes.content"));
}

TEST(HTMLDTDText, CharacterEntities)
{
    const std::map<std::string, std::string>& entities = reading().entities;
    EXPECT_EQ(252u, entities.size());
    for (const auto& entity : entities) {
        const std::string& value = entity.second;
        EXPECT_TRUE(value.size() > 3 && value.compare(0, 2, "&#") == 0 && value.back() == ';' &&
                    value.find_first_not_of("0123456789", 2) == value.size() - 1)
            << entity.first << " " << value;
    }
    const std::map<std::string, std::string> samples = {
        {"nbsp", "&#160;"}, {"yuml", "&#255;"}, {"euro", "&#8364;"}, {"lt", "&#60;"}, {"amp", "&#38;"},
        {"quot", "&#34;"}, {"gt", "&#62;"}, {"OElig", "&#338;"}, {"Omega", "&#937;"}, {"omega", "&#969;"},
        {"thetasym", "&#977;"}, {"diams", "&#9830;"}, {"rlm", "&#8207;"}, {"copy", "&#169;"}};
    for (const auto& sample : samples) {
        ASSERT_TRUE(entities.count(sample.first)) << sample.first;
        EXPECT_EQ(sample.second, entities.at(sample.first)) << sample.first;
    }
    EXPECT_FALSE(entities.count("apos"));
}

TEST(HTMLDTDText, DeclaresEveryKnownElement)
{
    const char* const known[] = {
        "A", "ABBR", "ACRONYM", "ADDRESS", "APPLET", "AREA", "B", "BASE", "BASEFONT", "BDO", "BIG", "BLINK",
        "BLOCKQUOTE", "BODY", "BR", "BUTTON", "CAPTION", "CENTER", "CITE", "CODE", "COL", "COLGROUP", "XRV", "DD",
        "DEL", "DFN", "DIR", "DIV", "DL", "DT", "EM", "EMBED", "FIELDSET", "FONT", "FORM", "FRAME", "FRAMESET",
        "H1", "H2", "H3", "H4", "H5", "H6", "HEAD", "HR", "HTML", "I", "IFRAME", "IMG", "INPUT", "INS", "ISINDEX",
        "KBD", "LABEL", "LEGEND", "LI", "LINK", "MAP", "MENU", "META", "NOEMBED", "NOFRAMES", "NOSCRIPT", "OBJECT",
        "OL", "OPTGROUP", "OPTION", "P", "PARAM", "PRE", "Q", "S", "SAMP", "SCRIPT", "SELECT", "SMALL", "SPAN",
        "STRIKE", "STRONG", "STYLE", "SUB", "SUP", "TABLE", "TBODY", "TD", "TEXTAREA", "TFOOT", "TH", "THEAD",
        "TITLE", "TR", "TT", "U", "UL", "VAR", "SUBMIT", "MARQUEE", "ssi:config", "ssi:echo", "ssi:exec",
        "ssi:fsize", "ssi:flastmod", "ssi:include", "ssi:printenv", "ssi:set"};
    const std::vector<std::string>& elements = reading().elements;
    EXPECT_EQ(std::set<std::string>(std::begin(known), std::end(known)),
              std::set<std::string>(elements.begin(), elements.end()));
    EXPECT_EQ(sizeof known / sizeof known[0], elements.size()); // each declared once

    // The library's elements follow the last standard declaration, HTML.
    const std::vector<std::string> appended = {
        "HTML", "EMBED", "NOEMBED", "XRV", "SUBMIT", "MARQUEE", "ssi:config", "ssi:echo", "ssi:exec",
        "ssi:fsize", "ssi:flastmod", "ssi:include", "ssi:printenv", "ssi:set"};
    ASSERT_GE(elements.size(), appended.size());
    EXPECT_EQ(appended, std::vector<std::string>(elements.end() - appended.size(), elements.end()));
}

TEST(HTMLDTDText, ContentModels)
{
    const std::map<std::string, std::string>& d = reading().declarations;
    const std::map<std::string, std::string> expected = {
        {"P", "- O (#INLINE)*"},
        {"B", "- - (#INLINE)*"},
        {"BLINK", "- - (#INLINE)*"},
        {"ADDRESS", "- - ((#INLINE)|P)*"},
        {"BODY", "O O (#FLOW)* +(INS|DEL)"},
        {"OBJECT", "- - (PARAM | #FLOW)*"},
        {"PRE", "- - (#INLINE)* -(IMG|OBJECT|APPLET|BIG|SMALL|SUB|SUP|FONT|BASEFONT | EMBED)"},
        {"SCRIPT", "- - CDATA"},
        {"STYLE", "- - CDATA"},
        {"TEXTAREA", "- - (#PCDATA)"},
        {"HTML", "O O (HEAD, (FRAMESET|BODY))"},
        {"NOFRAMES", "- - (BODY) -(NOFRAMES)"},
        {"FRAMESET", "- - ((FRAMESET|FRAME)+ & NOFRAMES?)"},
        {"FRAME", "- O EMPTY"},
        {"EMBED", "- O (NOEMBED)"},
        {"NOEMBED", "- - (#FLOW)*"},
        {"XRV", "- - (#INLINE)*"},
        {"SUBMIT", "- O EMPTY"},
        {"MARQUEE", "- - (#FLOW)*"},
        {"ssi:include", "- O EMPTY"},
        {"ssi:printenv", "- O EMPTY"}};
    for (const auto& element : expected) {
        ASSERT_TRUE(d.count(element.first)) << element.first;
        EXPECT_EQ(element.second, d.at(element.first)) << element.first;
    }
}

TEST(HTMLDTDText, Attributes)
{
    const std::map<std::string, std::string>& a = reading().attributes;
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"A", "onclick EVENT #IMPLIED"},
        {"A", "href URI #IMPLIED"},
        {"A", "directkey CDATA #IMPLIED telbook CDATA #IMPLIED kana CDATA #IMPLIED email CDATA #IMPLIED "
              "ijam CDATA #IMPLIED utn (utn) #IMPLIED"},
        {"IMG", "mapfile URI #IMPLIED"},
        {"APPLET", "mayscript (mayscript) #IMPLIED"},
        {"FORM", "utn (utn) #IMPLIED"},
        {"INPUT", "istyle CDATA #IMPLIED"},
        {"TEXTAREA", "istyle CDATA #IMPLIED"},
        {"TABLE", "height CDATA #IMPLIED background URI #IMPLIED"},
        {"TABLE", "bgcolor COLOR #IMPLIED"},
        {"TR", "background URI #IMPLIED"},
        {"TH", "background URI #IMPLIED"},
        {"TD", "background URI #IMPLIED"},
        {"BODY", "onload EVENT #IMPLIED"},
        {"BODY", "text COLOR #IMPLIED"},
        {"SCRIPT", "src URI #IMPLIED"},
        {"HTML", "lang NAME #IMPLIED"},
        {"HTML", "version CDATA #FIXED '-//ZEB//DTD ZEB Version 4.0//EN'"},
        {"EMBED", "src URI #REQUIRED"},
        {"EMBED", "controller (true|false) true"},
        {"EMBED", "type CDATA #IMPLIED"},
        {"NOEMBED", "id ID #IMPLIED"},
        {"MARQUEE", "behavior (scroll|slide|alternate) scroll bgcolor COLOR #IMPLIED"},
        {"MARQUEE", "truespeed (truespeed) #IMPLIED"},
        {"SUBMIT", "img URI #IMPLIED onclick CDATA #IMPLIED"},
        {"ssi:exec", "cgi URI #IMPLIED cmd CDATA #IMPLIED"},
        {"ssi:set", "var CDATA #IMPLIED value CDATA #IMPLIED"}};
    for (const auto& attribute : expected) {
        ASSERT_TRUE(a.count(attribute.first)) << attribute.first;
        EXPECT_TRUE(contains(a.at(attribute.first), attribute.second)) << attribute.first << ": " << attribute.second;
    }
    // The reserved data-binding attributes are left out.
    EXPECT_FALSE(contains(a.at("SPAN"), "datasrc"));
    EXPECT_FALSE(a.count("ssi:printenv"));
}
