#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "doctype/DocumentType.h"
#include "doctype/Entity.h"
#include "frame/DOMImpl.h"
#include "reading/AttributeScanner.h"
#include "reading/HTMLLexer.h"
#include "base/Parser.h"
#include "doctype/DeclarationBuilder.h"

using pagedom::DeclarationBuilder;

namespace {

using Token = Lexer::Token;

// One token in the compact notation of these tests: punctuation as itself,
// other kinds as kind(text), a character reference with its value, an
// entity reference with the name of its entity.  An unterminated token runs
// to the end of the source and lacks the closing parenthesis.
std::string show(const std::string& source, const Token* token)
{
    static const std::map<unsigned long, char> punctuation = {
        {Lexer::TOKEN_LT, '<'}, {Lexer::TOKEN_GT, '>'}, {Lexer::TOKEN_PERCENT, '%'}, {Lexer::TOKEN_LBRACKET, '['},
        {Lexer::TOKEN_RBRACKET, ']'}, {Lexer::TOKEN_STAR, '*'}, {Lexer::TOKEN_QUESTION, '?'}, {Lexer::TOKEN_AMP, '&'},
        {Lexer::TOKEN_BANG, '!'}, {Lexer::TOKEN_BAR, '|'}, {Lexer::TOKEN_COMMA, ','}, {Lexer::TOKEN_SLASH, '/'},
        {Lexer::TOKEN_EQUALS, '='}, {Lexer::TOKEN_PLUS, '+'}, {Lexer::TOKEN_MINUS, '-'}, {Lexer::TOKEN_LPAREN, '('},
        {Lexer::TOKEN_RPAREN, ')'}, {Lexer::TOKEN_APOS, '\''}, {Lexer::TOKEN_QUOTE, '"'}};
    static const std::map<unsigned long, std::string> named = {
        {Lexer::TOKEN_NAME, "name"}, {Lexer::TOKEN_SPACE, "sp"}, {Lexer::TOKEN_COMMENT, "comment"},
        {Lexer::TOKEN_DOCTYPE, "doctype"}, {Lexer::TOKEN_CDATA, "cdata"}, {Lexer::TOKEN_PI, "pi"},
        {Lexer::TOKEN_JSP, "jsp"}, {Lexer::TOKEN_JSP_COMMENT, "jspcomment"}, {Lexer::TOKEN_MW_SUBMIT, "submit"},
        {Lexer::TOKEN_CHAR_REF, "char"}, {Lexer::TOKEN_ENTITY_REF, "&"}};
    const bool open = token->end == Lexer::NOT_FOUND;
    const std::string text = token->start >= source.length() ? std::string()
                             : source.substr(token->start, open ? std::string::npos : token->end - token->start);
    auto p = punctuation.find(token->kind);
    if (p != punctuation.end() && !open && text == std::string(1, p->second))
        return text;
    auto n = named.find(token->kind);
    std::string kind = n != named.end() ? n->second : "kind" + std::to_string(token->kind);
    if (token->kind == Lexer::TOKEN_CHAR_REF)
        kind += std::to_string(token->value);
    if (token->kind == Lexer::TOKEN_ENTITY_REF)
        kind += token->getEntity() ? token->getEntity()->getNodeName() : "?";
    return kind + "(" + text + (open ? "" : ")");
}

// The remaining tokens of lexer up to the end of the input, and their lines.
std::string drain(HTMLLexer& lexer, std::vector<unsigned long>* lines = nullptr)
{
    std::string out;
    for (;;) {
        Token* token = lexer.nextToken();
        const bool eof = token->kind == Lexer::TOKEN_EOF;
        if (!eof) {
            out += (out.empty() ? "" : " ") + show(lexer.getSource(), token);
            if (lines)
                lines->push_back(token->line);
        }
        lexer.deleteToken(token);
        if (eof)
            return out;
    }
}

std::string lex(const std::string& text, const DocumentType* type = nullptr, bool cdata = false)
{
    HTMLLexer lexer(text.data(), static_cast<unsigned long>(text.length()), type);
    lexer.setCDATAEnabled(cdata);
    return drain(lexer);
}

struct Release {
    void operator()(Node* node) const { node->releaseRef(); }
};
using TypePtr = std::unique_ptr<DocumentType, Release>;

// A document type that declares the entities amp and nbsp.
TypePtr entityType()
{
    TypePtr type(new DocumentType(nullptr, "html"));
    type->addRef();
    for (auto e : {std::make_pair("amp", 38ul), std::make_pair("nbsp", 160ul)}) {
        Entity* entity = DeclarationBuilder::createEntity(*type, e.first);
        entity->setNodeValue("&#" + std::to_string(e.second) + ";");
        DeclarationBuilder::setCharValue(*entity, e.second);
        DeclarationBuilder::addEntity(*type, entity);
    }
    return type;
}

constexpr unsigned long LT = Lexer::TOKEN_LT, GT = Lexer::TOKEN_GT, NAME = Lexer::TOKEN_NAME,
                        COMMENT = Lexer::TOKEN_COMMENT;

// Texts and their tokens.
using Cases = std::vector<std::pair<std::string, std::string>>;

void expectTokens(const Cases& cases, const DocumentType* type = nullptr, bool cdata = false)
{
    for (const auto& c : cases)
        EXPECT_EQ(c.second, lex(c.first, type, cdata)) << c.first;
}

TEST(HTMLLexerTest, TagsNamesAndPunctuation)
{
    expectTokens({
        {"", ""},
        {"<a href=\"x.html\">Go\ton;</a>",
         "< name(a) sp( ) name(href) = \" name(x.html) \" > name(Go) sp(\t) name(on;) < / name(a) >"},
        // Names run to a delimiter, so br/ and jsp:include are single names
        // and a name may carry ! % , - / ; : [ ] after its first byte.
        {"<br/><jsp:include a!%,-/;:[]'x", "< name(br/) > < name(jsp:include) sp( ) name(a!%,-/;:[]) ' name(x)"},
        {"!\"%'()*+,-/=>?[]|", "! \" % ' ( ) * + , - / = > ? [ ] |"},
        // High bytes and control bytes start names; a name stops at the end.
        {"\xe9t\xe9 \x01;#", "name(\xe9t\xe9) sp( ) name(\x01;#)"},
    });
}

TEST(HTMLLexerTest, EndOfInputRepeatsAndLinesCountInWhitespace)
{
    std::string text = "a\r\n \n<b\n>\"x\ny\"";
    HTMLLexer lexer(text.data(), static_cast<unsigned long>(text.length()), nullptr);
    std::vector<unsigned long> lines;
    drain(lexer, &lines);
    // a | ws(2 LF) | < | b | ws(LF) | > | " | x | ws(LF) | y | "
    EXPECT_EQ((std::vector<unsigned long>{1, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5}), lines);
    EXPECT_EQ(5u, lexer.getLine());
    for (int i = 0; i < 2; ++i) {
        Token* eof = lexer.nextToken();
        EXPECT_EQ(Lexer::TOKEN_EOF, eof->kind);
        EXPECT_EQ(5u, eof->line);
        EXPECT_TRUE(eof->start == Lexer::NOT_FOUND && eof->end == Lexer::NOT_FOUND && eof->length == 0);
        lexer.deleteToken(eof);
    }

    // Line feeds inside a comment are not counted.
    std::string comment = "<!--\n\n-->\nx";
    HTMLLexer lexer2(comment.data(), static_cast<unsigned long>(comment.length()), nullptr);
    lines.clear();
    drain(lexer2, &lines);
    EXPECT_EQ(2u, lines.back());
}

TEST(HTMLLexerTest, Comments)
{
    expectTokens({
        {"<!-- a -- b -->x", "< comment(-- a -- b --) > name(x)"},
        {"<!---->", "< comment(----) >"},
        {"<!--->", "< comment(---) >"}, // "-->" is searched two bytes after the opening dashes
        {"<!-- a > b", "< comment(-- a ) > sp( ) name(b)"}, // no "-->": up to the next '>'
        {"<!-- a", "< comment(-- a"}, // neither: to the end, with no '>' token
        // Server-side includes are ordinary comments; a lone "<!" is a bang.
        {"<!--#include file=\"a\" -->", "< comment(--#include file=\"a\" --) >"},
        {"<!-x", "< ! - name(x)"},
    });
}

TEST(HTMLLexerTest, DoctypeCDATAAndSubmitKeywords)
{
    expectTokens({
        {"<!doctype html>", "< doctype(!doctype) sp( ) name(html) >"},
        {"<!DocTypex", "< doctype(!DocType) name(x)"},
        {"<!DOCTYP", "< ! name(DOCTYP)"}, // too short to be the keyword
        {"<![CDATA[a]]>", "< ! [ name(CDATA[a]]) >"}, // CDATA sections only when enabled
    });
    expectTokens({
        {"<![CDATA[a<b>]]]]>x", "< cdata(a<b>]]) > name(x)"},
        {"<![cdata[a>", "< cdata(a) >"},
        {"<![CDATA[a b", "< cdata(a b"},
        {"<![CDATA[", "< cdata("},
    }, nullptr, true);

    // "<!%SUBMIT" only under the middleware version.
    DOMImpl::MWVersion saved = DOMImpl::getMWVersion();
    DOMImpl::setMWVersion(DOMImpl::MW_NONE);
    EXPECT_EQ("< ! % name(SUBMIT) >", lex("<!%SUBMIT>"));
    DOMImpl::setMWVersion(DOMImpl::MW_100);
    EXPECT_EQ("< submit(!%submit) sp( ) name(img) >", lex("<!%submit img>"));
    DOMImpl::setMWVersion(saved);
}

TEST(HTMLLexerTest, ProcessingInstructionsAndJSP)
{
    expectTokens({
        {"<?xml version=\"1.0\"?>", "< pi(?xml version=\"1.0\"?) >"},
        {"<?a>b?>", "< pi(?a>b?) >"},
        {"<?>", "< pi(?) >"},
        {"<?a b", "< pi(?a b"},
        {"<%= a > b ? 1 : 2 %>", "< jsp(%= a > b ? 1 : 2 %) >"},
        {"<% x >", "< jsp(% x ) >"},
        {"<% x", "< jsp(% x"},
    });

    // A JSP comment only when the document type has JSP 1.0 merged in.
    TypePtr jsp(new DocumentType(nullptr, "html"));
    jsp->addRef();
    EXPECT_EQ("< jsp(%--x--%) >", lex("<%--x--%>", jsp.get()));
    DeclarationBuilder::setJSPVersion(*jsp, DOMImpl::JSP_091);
    EXPECT_EQ("< jsp(%--x--%) >", lex("<%--x--%>", jsp.get()));
    DeclarationBuilder::setJSPVersion(*jsp, DOMImpl::JSP_10);
    expectTokens({
        {"<%--x--%>", "< jspcomment(--x--) >"},
        {"<%-- <%= a %>b", "< jspcomment(-- <%= a %) > name(b)"},
        {"<%-- x", "< jspcomment(-- x"},
    }, jsp.get());
}

TEST(HTMLLexerTest, CharacterAndEntityReferences)
{
    TypePtr type = entityType();
    expectTokens({
        {"&#65;&#1&#65534;&#00042x", "char65(&#65;) char1(&#1) char65534(&#65534;) char42(&#00042) name(x)"},
        // Out of range, too long, no digits, hexadecimal: a lone '&' and the rest.
        {"&#0;", "& name(#0;)"},
        {"&#65535;", "& name(#65535;)"},
        {"&#000065;", "& name(#000065;)"},
        {"&#x41;", "& name(#x41;)"},
        {"&#", "& name(#)"},
        {"&amp;", "& name(amp) name(;)"}, // no document type
    });
    // Entity names are case-sensitive; empty and unknown names give a lone
    // '&' and a name, which may be empty.
    expectTokens({
        {"a &amp b&nbsp;c", "name(a) sp( ) &amp(&amp) sp( ) name(b) &nbsp(&nbsp;) name(c)"},
        {"&AMP;", "& name(AMP) name(;)"},
        {"& b", "& name() sp( ) name(b)"},
        {"&;", "& name() name(;)"},
        {"&ampx=", "& name(ampx) ="},
        {"&amp&", "&amp(&amp) & name()"},
    }, type.get());
}

TEST(HTMLLexerTest, QueuePeekPushBackAndTokenSlots)
{
    // Many tokens with at most two alive at a time never allocate; tokens
    // beyond two live on the heap and are freed by the lexer if left queued
    // (the leak checker watches this test).
    std::string text = "<!-- x --> a b c d e";
    HTMLLexer lexer(text.data(), static_cast<unsigned long>(text.length()), nullptr);
    Token* lt = lexer.peekToken(0);
    EXPECT_EQ(LT, lt->kind);
    // Scanning "<!--" queued LT, the comment and GT at once.
    Token* gt = lexer.peekToken(2);
    EXPECT_EQ(GT, gt->kind);
    EXPECT_EQ(Lexer::TOKEN_SPACE, lexer.peekToken(3)->kind);
    Token* first = lexer.nextToken();
    EXPECT_EQ(lt, first);
    lexer.pushBack(first);
    EXPECT_EQ(first, lexer.nextToken());
    Token* second = lexer.nextToken();
    EXPECT_EQ(COMMENT, second->kind);
    EXPECT_EQ(" x ", text.substr(second->start + 2, second->length - 4));
    lexer.deleteToken(first);
    lexer.deleteToken(second);
    // A freed embedded slot is used again before any allocation.
    Token* made = lexer.createToken(NAME, 0, 3);
    EXPECT_TRUE(made == first || made == second);
    EXPECT_EQ(3u, made->length);
    lexer.deleteToken(made);
    // Leave the rest queued: the lexer deletes it.
    lexer.peekToken(6);
}

TEST(HTMLLexerTest, RestartAfterRawText)
{
    // A reader takes a script body itself and lets the lexer go on after it.
    std::string text = "<script>if (a<b) {\n x = '<!--';\n}</script>\ny";
    HTMLLexer lexer(text.data(), static_cast<unsigned long>(text.length()), nullptr);
    for (int i = 0; i < 3; ++i)
        lexer.deleteToken(lexer.nextToken());
    // Tokens scanned ahead and one handed back are dropped.
    lexer.peekToken(5);
    lexer.pushBack(lexer.nextToken());
    unsigned long end = static_cast<unsigned long>(text.find("</script>"));
    lexer.restartAt(end);
    std::vector<unsigned long> lines;
    EXPECT_EQ("< / name(script) > sp(\n) name(y)", drain(lexer, &lines));
    EXPECT_EQ((std::vector<unsigned long>{3, 3, 3, 3, 4, 4}), lines);
    EXPECT_FALSE(lexer.isInTag());

    // Back to the start, and past the end.
    lexer.restartAt(0);
    Token* first = lexer.nextToken();
    EXPECT_EQ(0u, first->start);
    EXPECT_EQ(1u, first->line);
    lexer.deleteToken(first);
    lexer.restartAt(10000);
    Token* eof = lexer.nextToken();
    EXPECT_EQ(Lexer::TOKEN_EOF, eof->kind);
    lexer.deleteToken(eof);
}

// What reading the start tag at the beginning of text gives, straight from
// the text or token by token: its end and marks, its attributes, and the
// tokens and lines the lexer goes on with.
struct TagReading {
    std::vector<unsigned long> end;
    std::vector<std::vector<unsigned long>> attributes;
    std::string rest;
    std::vector<unsigned long> lines;
};

TagReading readStartTag(const std::string& text, bool direct)
{
    TagReading reading;
    HTMLLexer lexer(text, nullptr);
    pagedom::AttributeScanner scanner(text, lexer);
    lexer.deleteToken(lexer.nextToken());
    Token* name = lexer.nextToken();
    EXPECT_EQ(NAME, name->kind);
    const pagedom::AttributeScanner::TagEnd end = scanner.scanStartTag(*name, direct);
    lexer.deleteToken(name);
    reading.end = {end.end, end.unterminated, end.formatError, end.emptyMark};
    for (const auto& a : scanner.attributes())
        reading.attributes.push_back({a.nameStart, a.nameEnd, a.valueStart, a.valueEnd});
    reading.rest = drain(lexer, &reading.lines);
    return reading;
}

// A start tag read straight from the text leaves the lexer after the tag
// with the lines it would have counted reading the tag token by token: line
// feeds between attributes and inside quoted values count, and a 0 inside
// the tag is an ordinary byte.
TEST(HTMLLexerTest, StartTagReadDirectlyKeepsLinesAndBytes)
{
    const char raw[] = "<p a\nb=\"x\ny\" c='\n\0'\n d\0=e\nf>\nz";
    const std::string text(raw, sizeof raw - 1);
    const TagReading direct = readStartTag(text, true);
    const TagReading tokens = readStartTag(text, false);
    EXPECT_EQ(text.find('>') + 1, direct.end[0]);
    EXPECT_EQ(tokens.end, direct.end);
    EXPECT_EQ(5u, direct.attributes.size());
    EXPECT_EQ(tokens.attributes, direct.attributes);
    EXPECT_EQ("sp(\n) name(z)", direct.rest);
    EXPECT_EQ(tokens.rest, direct.rest);
    EXPECT_EQ((std::vector<unsigned long>{7, 7}), direct.lines);
    EXPECT_EQ(tokens.lines, direct.lines);
}

// JSP code inside a quoted value is stepped over whole by the direct
// reading, quotes and line feeds in it included, and so is the "/>" that
// closes a tag; code left open, any other '<' and any other slash leave
// the tag to the token reading.  Either way both readings give the same
// attributes, the same end, marks and lines.
TEST(HTMLLexerTest, JSPCodeAndEmptyTagsReadAlikeBothWays)
{
    const char* texts[] = {"<a href=\"<%= u(\"q\")\n %>/x\" t='<%=\"'\"%>'\nw=1>\nz",
                           "<a v=\"<%-- c\n --%>\" b=\"<%>%>\">\nz", "<a v=\"x<%=a%><%=b%>y\">\nz",
                           "<a v=\"<%= open\n >\nz", "<a v=\"x<b\" c>\nz", "<a v=\"<%= a %>\n<br>\">\nz",
                           "<a v=\"<%= a %>\"/>\nz", "<a v=1 />z", "<a v=1/>z", "<a b/>z", "<a / b>z", "<a b //>z"};
    for (const char* raw : texts) {
        const TagReading direct = readStartTag(raw, true);
        const TagReading tokens = readStartTag(raw, false);
        EXPECT_EQ(tokens.end, direct.end) << raw;
        EXPECT_EQ(tokens.attributes, direct.attributes) << raw;
        EXPECT_EQ(tokens.rest, direct.rest) << raw;
        EXPECT_EQ(tokens.lines, direct.lines) << raw;
    }
}

// The smallest reader on the base class, to check its bookkeeping.
class TokenReader : public Parser {
public:
    explicit TokenReader(const std::string& text)
        : Parser(new HTMLLexer(text.data(), static_cast<unsigned long>(text.length()), nullptr))
    {
    }

    std::string run()
    {
        std::string out;
        EXPECT_EQ(LT, peekKind());
        EXPECT_EQ(NAME, peekKind(1));
        EXPECT_FALSE(accept(NAME));
        EXPECT_TRUE(accept(LT));
        EXPECT_EQ(LT, getKind());
        EXPECT_EQ(NAME, nextToken());
        out += tokenText();
        pushBack();
        EXPECT_EQ(nullptr, getToken());
        EXPECT_EQ(Lexer::TOKEN_NONE, getKind());
        EXPECT_EQ(NAME, nextToken());
        out += "|" + tokenText();
        while (nextToken() != Lexer::TOKEN_EOF)
            out += "|" + tokenText();
        EXPECT_EQ("", tokenText());
        EXPECT_EQ("ABC", toUpper("aBc"));
        EXPECT_TRUE(isSpaceAt(_source, 2));
        EXPECT_FALSE(isSpaceAt(_source, 1));
        EXPECT_FALSE(isSpaceAt(_source, 100));
        // Leave a token current and one pushed back: the destructor frees both.
        pushBack();
        nextToken();
        return out;
    }
};

TEST(HTMLLexerTest, ParserBase)
{
    TokenReader reader("<p a='1'>");
    EXPECT_EQ("p|p| |a|=|'|1|'|>", reader.run());

    std::string mixed = "a-b";
    EXPECT_EQ("A-B", Lexer::toUpper(mixed));
    EXPECT_EQ("a-b", mixed); // the argument is left alone
    EXPECT_TRUE(Lexer::isSpace('\v'));
    EXPECT_FALSE(Lexer::isSpace('\0'));
}

TEST(HTMLLexerTest, RandomMarkupKeepsTokensInOrderAndInBounds)
{
    // Tokens never overlap, never go backwards and never leave the text; an
    // unterminated construct is the last token before the end.
    TypePtr type = entityType();
    DeclarationBuilder::setJSPVersion(*type, DOMImpl::JSP_10);
    const char alphabet[] = "<>!-%?&#;[]CDATA x1\n\"'=/";
    unsigned long seed = 12345;
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        int length = static_cast<int>(seed % 40);
        for (int i = 0; i < length; ++i) {
            seed = seed * 1103515245ul + 12345ul;
            text += alphabet[(seed >> 16) % (sizeof(alphabet) - 1)];
        }
        if (round % 3 == 0)
            text = "&amp" + text + "&nbsp;";
        HTMLLexer lexer(text.data(), static_cast<unsigned long>(text.length()), type.get());
        lexer.setCDATAEnabled(round % 2 == 0);
        unsigned long last = 0;
        for (;;) {
            Token* token = lexer.nextToken();
            unsigned long kind = token->kind, start = token->start, end = token->end;
            lexer.deleteToken(token);
            if (kind == Lexer::TOKEN_EOF)
                break;
            ASSERT_LE(last, start) << text;
            ASSERT_LE(start, text.length()) << text;
            if (end == Lexer::NOT_FOUND) {
                last = static_cast<unsigned long>(text.length());
                continue;
            }
            ASSERT_LE(start, end) << text;
            ASSERT_LE(end, text.length()) << text;
            last = end;
        }
    }
}

unsigned long countTokens(const std::string& text, bool cdata)
{
    HTMLLexer lexer(text.data(), static_cast<unsigned long>(text.length()), nullptr);
    lexer.setCDATAEnabled(cdata);
    std::vector<unsigned long> lines;
    drain(lexer, &lines);
    return static_cast<unsigned long>(lines.size());
}

TEST(HTMLLexerTest, LargeInputIsLinear)
{
    // 50,000 tags, references and comments.
    std::string text;
    for (int i = 0; i < 50000; ++i)
        text += "<p class=x>t&#65;<!--c--> ";
    EXPECT_EQ(50000u * 13, countTokens(text, false));

    // 200,000 constructs that lack their terminators and end at the next
    // '>': searching the rest of the text for the terminator once per
    // construct would take some 10^11 steps.
    text.clear();
    for (int i = 0; i < 50000; ++i)
        text += "<!-- a ><? b ><% c ><![CDATA[ d >";
    EXPECT_EQ(50000u * 12, countTokens(text, true));
}

} // namespace
