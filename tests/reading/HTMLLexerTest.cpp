#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "doctype/DocumentType.h"
#include "doctype/Entity.h"
#include "frame/DOMImpl.h"
#include "reading/HTMLLexer.h"
#include "reading/Parser.h"

namespace {

using Token = Lexer::Token;

// One token as the tests compare it: kind and text (the text of an
// unterminated token runs to the end of the source).
struct Tok {
    unsigned long kind;
    std::string text;

    bool operator==(const Tok& other) const { return kind == other.kind && text == other.text; }
};

std::ostream& operator<<(std::ostream& out, const Tok& tok)
{
    return out << "{" << tok.kind << ", \"" << tok.text << "\"}";
}

std::string spanText(const std::string& source, const Token* token)
{
    if (token->start >= source.length())
        return std::string();
    return source.substr(token->start, token->end - token->start);
}

// Every token up to and excluding the end-of-input token.
std::vector<Tok> lex(const std::string& text, const DocumentType* type = nullptr,
                     bool cdata = false)
{
    HTMLLexer lexer(text.data(), static_cast<unsigned long>(text.length()), type);
    lexer.setCDATAEnabled(cdata);
    std::vector<Tok> out;
    for (;;) {
        Token* token = lexer.nextToken();
        unsigned long kind = token->kind;
        if (kind != Lexer::TOKEN_EOF)
            out.push_back({kind, spanText(lexer.getSource(), token)});
        lexer.deleteToken(token);
        if (kind == Lexer::TOKEN_EOF)
            break;
    }
    return out;
}

// A document type that declares the entities amp and nbsp.
class EntityType {
public:
    EntityType() : _type(new DocumentType(nullptr, "html"))
    {
        _type->addRef();
        Entity* amp = _type->createEntity("amp");
        amp->setNodeValue("&#38;");
        amp->setCharValue(38);
        _type->addEntity(amp);
        Entity* nbsp = _type->createEntity("nbsp");
        nbsp->setNodeValue("&#160;");
        nbsp->setCharValue(160);
        _type->addEntity(nbsp);
    }
    ~EntityType() { _type->releaseRef(); }

    DocumentType* get() const { return _type; }

private:
    DocumentType* _type;
};

constexpr unsigned long LT = Lexer::TOKEN_LT, GT = Lexer::TOKEN_GT, NAME = Lexer::TOKEN_NAME,
                        SP = Lexer::TOKEN_SPACE, EQ = Lexer::TOKEN_EQUALS,
                        QUOTE = Lexer::TOKEN_QUOTE, AMP = Lexer::TOKEN_AMP,
                        COMMENT = Lexer::TOKEN_COMMENT;

TEST(HTMLLexerTest, TagsNamesAndPunctuation)
{
    EXPECT_TRUE(lex("").empty());

    std::vector<Tok> expected = {{LT, "<"}, {NAME, "a"}, {SP, " "}, {NAME, "href"}, {EQ, "="},
                                 {QUOTE, "\""}, {NAME, "x.html"}, {QUOTE, "\""}, {GT, ">"},
                                 {NAME, "Go"}, {SP, "\t"}, {NAME, "on;"}, {LT, "<"},
                                 {Lexer::TOKEN_SLASH, "/"}, {NAME, "a"}, {GT, ">"}};
    EXPECT_EQ(expected, lex("<a href=\"x.html\">Go\ton;</a>"));

    // Names run to a delimiter, so br/ and jsp:include are single names and
    // a name may carry ! % , - / ; : [ ] after its first byte.
    expected = {{LT, "<"}, {NAME, "br/"}, {GT, ">"}, {LT, "<"}, {NAME, "jsp:include"},
                {SP, " "}, {NAME, "a!%,-/;:[]"}, {Lexer::TOKEN_APOS, "'"}, {NAME, "x"}};
    EXPECT_EQ(expected, lex("<br/><jsp:include a!%,-/;:[]'x"));

    // Every single-character kind.
    expected = {{Lexer::TOKEN_BANG, "!"},     {QUOTE, "\""},
                {Lexer::TOKEN_PERCENT, "%"},  {Lexer::TOKEN_APOS, "'"},
                {Lexer::TOKEN_LPAREN, "("},   {Lexer::TOKEN_RPAREN, ")"},
                {Lexer::TOKEN_STAR, "*"},     {Lexer::TOKEN_PLUS, "+"},
                {Lexer::TOKEN_COMMA, ","},    {Lexer::TOKEN_MINUS, "-"},
                {Lexer::TOKEN_SLASH, "/"},    {EQ, "="},
                {GT, ">"},                    {Lexer::TOKEN_QUESTION, "?"},
                {Lexer::TOKEN_LBRACKET, "["}, {Lexer::TOKEN_RBRACKET, "]"},
                {Lexer::TOKEN_BAR, "|"}};
    EXPECT_EQ(expected, lex("!\"%'()*+,-/=>?[]|"));

    // High bytes and control bytes start names; a name stops at the end.
    expected = {{NAME, "\xe9t\xe9"}, {SP, " "}, {NAME, std::string("\x01;#", 3)}};
    EXPECT_EQ(expected, lex("\xe9t\xe9 \x01;#"));
}

TEST(HTMLLexerTest, EndOfInputRepeatsAndLinesCountInWhitespace)
{
    std::string text = "a\r\n \n<b\n>\"x\ny\"";
    HTMLLexer lexer(text.data(), static_cast<unsigned long>(text.length()), nullptr);
    std::vector<unsigned long> lines;
    for (;;) {
        Token* token = lexer.nextToken();
        unsigned long kind = token->kind;
        lines.push_back(token->line);
        if (kind == Lexer::TOKEN_EOF) {
            EXPECT_EQ(Lexer::NOT_FOUND, token->start);
            EXPECT_EQ(Lexer::NOT_FOUND, token->end);
            EXPECT_EQ(0u, token->length);
        }
        lexer.deleteToken(token);
        if (kind == Lexer::TOKEN_EOF)
            break;
    }
    // a | ws(2 LF) | < | b | ws(LF) | > | " | x | ws(LF) | y | " | EOF
    std::vector<unsigned long> expected = {1, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5};
    EXPECT_EQ(expected, lines);
    EXPECT_EQ(5u, lexer.getLine());

    // Line feeds inside a comment are not counted.
    std::string comment = "<!--\n\n-->\nx";
    HTMLLexer lexer2(comment.data(), static_cast<unsigned long>(comment.length()), nullptr);
    for (int i = 0; i < 4; ++i)
        lexer2.deleteToken(lexer2.nextToken());
    Token* x = lexer2.nextToken();
    EXPECT_EQ(NAME, x->kind);
    EXPECT_EQ(2u, x->line);
    lexer2.deleteToken(x);
    for (int i = 0; i < 3; ++i) {
        Token* eof = lexer2.nextToken();
        EXPECT_EQ(Lexer::TOKEN_EOF, eof->kind);
        lexer2.deleteToken(eof);
    }
}

TEST(HTMLLexerTest, Comments)
{
    std::vector<Tok> expected = {{LT, "<"}, {COMMENT, "-- a -- b --"}, {GT, ">"}, {NAME, "x"}};
    EXPECT_EQ(expected, lex("<!-- a -- b -->x"));

    expected = {{LT, "<"}, {COMMENT, "----"}, {GT, ">"}};
    EXPECT_EQ(expected, lex("<!---->"));

    // "-->" is searched two bytes after the opening dashes.
    expected = {{LT, "<"}, {COMMENT, "---"}, {GT, ">"}};
    EXPECT_EQ(expected, lex("<!--->"));

    // No "-->": the comment ends before the next '>'.
    expected = {{LT, "<"}, {COMMENT, "-- a "}, {GT, ">"}, {SP, " "}, {NAME, "b"}};
    EXPECT_EQ(expected, lex("<!-- a > b"));

    // Neither: the comment runs to the end, with no '>' token.
    std::string text = "<!-- a";
    HTMLLexer lexer(text.data(), static_cast<unsigned long>(text.length()), nullptr);
    lexer.deleteToken(lexer.nextToken());
    Token* token = lexer.nextToken();
    EXPECT_EQ(COMMENT, token->kind);
    EXPECT_EQ(2u, token->start);
    EXPECT_EQ(Lexer::NOT_FOUND, token->end);
    lexer.deleteToken(token);
    token = lexer.nextToken();
    EXPECT_EQ(Lexer::TOKEN_EOF, token->kind);
    lexer.deleteToken(token);

    // Server-side includes are ordinary comments; a lone "<!" is a bang.
    expected = {{LT, "<"}, {COMMENT, "--#include file=\"a\" --"}, {GT, ">"}};
    EXPECT_EQ(expected, lex("<!--#include file=\"a\" -->"));
    expected = {{LT, "<"}, {Lexer::TOKEN_BANG, "!"}, {Lexer::TOKEN_MINUS, "-"}, {NAME, "x"}};
    EXPECT_EQ(expected, lex("<!-x"));
}

TEST(HTMLLexerTest, DoctypeCDATAAndSubmitKeywords)
{
    std::vector<Tok> expected = {{LT, "<"}, {Lexer::TOKEN_DOCTYPE, "!doctype"}, {SP, " "},
                                 {NAME, "html"}, {GT, ">"}};
    EXPECT_EQ(expected, lex("<!doctype html>"));
    expected = {{LT, "<"}, {Lexer::TOKEN_DOCTYPE, "!DocType"}, {NAME, "x"}};
    EXPECT_EQ(expected, lex("<!DocTypex"));
    // Too short to be the keyword.
    expected = {{LT, "<"}, {Lexer::TOKEN_BANG, "!"}, {NAME, "DOCTYP"}};
    EXPECT_EQ(expected, lex("<!DOCTYP"));

    // CDATA sections only when enabled; content without the brackets.
    expected = {{LT, "<"}, {Lexer::TOKEN_CDATA, "a<b>]]"}, {GT, ">"}, {NAME, "x"}};
    EXPECT_EQ(expected, lex("<![CDATA[a<b>]]]]>x", nullptr, true));
    expected = {{LT, "<"}, {Lexer::TOKEN_CDATA, "a"}, {GT, ">"}};
    EXPECT_EQ(expected, lex("<![cdata[a>", nullptr, true));
    expected = {{LT, "<"}, {Lexer::TOKEN_CDATA, "a b"}};
    EXPECT_EQ(expected, lex("<![CDATA[a b", nullptr, true));
    expected = {{LT, "<"}, {Lexer::TOKEN_CDATA, ""}};
    EXPECT_EQ(expected, lex("<![CDATA[", nullptr, true));
    expected = {{LT, "<"}, {Lexer::TOKEN_BANG, "!"}, {Lexer::TOKEN_LBRACKET, "["},
                {NAME, "CDATA[a]]"}, {GT, ">"}};
    EXPECT_EQ(expected, lex("<![CDATA[a]]>"));

    // "<!%SUBMIT" only under the middleware version.
    DOMImpl::MWVersion saved = DOMImpl::getMWVersion();
    DOMImpl::setMWVersion(DOMImpl::MW_NONE);
    expected = {{LT, "<"}, {Lexer::TOKEN_BANG, "!"}, {Lexer::TOKEN_PERCENT, "%"},
                {NAME, "SUBMIT"}, {GT, ">"}};
    EXPECT_EQ(expected, lex("<!%SUBMIT>"));
    DOMImpl::setMWVersion(DOMImpl::MW_100);
    expected = {{LT, "<"}, {Lexer::TOKEN_MW_SUBMIT, "!%submit"}, {SP, " "}, {NAME, "img"},
                {GT, ">"}};
    EXPECT_EQ(expected, lex("<!%submit img>"));
    DOMImpl::setMWVersion(saved);
}

TEST(HTMLLexerTest, ProcessingInstructionsAndJSP)
{
    std::vector<Tok> expected = {{LT, "<"}, {Lexer::TOKEN_PI, "?xml version=\"1.0\"?"},
                                 {GT, ">"}};
    EXPECT_EQ(expected, lex("<?xml version=\"1.0\"?>"));
    expected = {{LT, "<"}, {Lexer::TOKEN_PI, "?a>b?"}, {GT, ">"}};
    EXPECT_EQ(expected, lex("<?a>b?>"));
    expected = {{LT, "<"}, {Lexer::TOKEN_PI, "?"}, {GT, ">"}};
    EXPECT_EQ(expected, lex("<?>"));
    expected = {{LT, "<"}, {Lexer::TOKEN_PI, "?a b"}};
    EXPECT_EQ(expected, lex("<?a b"));

    expected = {{LT, "<"}, {Lexer::TOKEN_JSP, "%= a > b ? 1 : 2 %"}, {GT, ">"}};
    EXPECT_EQ(expected, lex("<%= a > b ? 1 : 2 %>"));
    expected = {{LT, "<"}, {Lexer::TOKEN_JSP, "% x "}, {GT, ">"}};
    EXPECT_EQ(expected, lex("<% x >"));
    expected = {{LT, "<"}, {Lexer::TOKEN_JSP, "% x"}};
    EXPECT_EQ(expected, lex("<% x"));

    // A JSP comment only when the document type has JSP 1.0 merged in.
    DocumentType* jsp = new DocumentType(nullptr, "html");
    jsp->addRef();
    expected = {{LT, "<"}, {Lexer::TOKEN_JSP, "%--x--%"}, {GT, ">"}};
    EXPECT_EQ(expected, lex("<%--x--%>", jsp));
    jsp->setJSPVersion(DOMImpl::JSP_091);
    EXPECT_EQ(expected, lex("<%--x--%>", jsp));
    jsp->setJSPVersion(DOMImpl::JSP_10);
    expected = {{LT, "<"}, {Lexer::TOKEN_JSP_COMMENT, "--x--"}, {GT, ">"}};
    EXPECT_EQ(expected, lex("<%--x--%>", jsp));
    expected = {{LT, "<"}, {Lexer::TOKEN_JSP_COMMENT, "-- <%= a %"}, {GT, ">"}, {NAME, "b"}};
    EXPECT_EQ(expected, lex("<%-- <%= a %>b", jsp));
    expected = {{LT, "<"}, {Lexer::TOKEN_JSP_COMMENT, "-- x"}};
    EXPECT_EQ(expected, lex("<%-- x", jsp));
    jsp->releaseRef();
}

TEST(HTMLLexerTest, CharacterReferences)
{
    std::string text = "&#65;&#1&#65534;&#00042x";
    HTMLLexer lexer(text.data(), static_cast<unsigned long>(text.length()), nullptr);
    unsigned long values[] = {65, 1, 65534, 42};
    const char* spans[] = {"&#65;", "&#1", "&#65534;", "&#00042"};
    for (int i = 0; i < 4; ++i) {
        Token* token = lexer.nextToken();
        EXPECT_EQ(Lexer::TOKEN_CHAR_REF, token->kind);
        EXPECT_EQ(values[i], token->value);
        EXPECT_EQ(spans[i], spanText(text, token));
        lexer.deleteToken(token);
    }
    Token* token = lexer.nextToken();
    EXPECT_EQ(NAME, token->kind);
    lexer.deleteToken(token);

    // Out of range, too long, no digits, hexadecimal: a lone '&' and the rest.
    std::vector<Tok> expected = {{AMP, "&"}, {NAME, "#0;"}};
    EXPECT_EQ(expected, lex("&#0;"));
    expected = {{AMP, "&"}, {NAME, "#65535;"}};
    EXPECT_EQ(expected, lex("&#65535;"));
    expected = {{AMP, "&"}, {NAME, "#000065;"}};
    EXPECT_EQ(expected, lex("&#000065;"));
    expected = {{AMP, "&"}, {NAME, "#x41;"}};
    EXPECT_EQ(expected, lex("&#x41;"));
    expected = {{AMP, "&"}, {NAME, "#"}};
    EXPECT_EQ(expected, lex("&#"));
}

TEST(HTMLLexerTest, EntityReferences)
{
    EntityType type;
    const Entity* amp = type.get()->getEntity("amp");
    ASSERT_NE(nullptr, amp);

    std::string text = "a &amp b&nbsp;c";
    HTMLLexer lexer(text.data(), static_cast<unsigned long>(text.length()), type.get());
    std::vector<Tok> seen;
    std::vector<const Entity*> entities;
    for (;;) {
        Token* token = lexer.nextToken();
        unsigned long kind = token->kind;
        if (kind == Lexer::TOKEN_ENTITY_REF)
            entities.push_back(token->getEntity());
        if (kind != Lexer::TOKEN_EOF)
            seen.push_back({kind, spanText(text, token)});
        lexer.deleteToken(token);
        if (kind == Lexer::TOKEN_EOF)
            break;
    }
    std::vector<Tok> expected = {{NAME, "a"}, {SP, " "}, {Lexer::TOKEN_ENTITY_REF, "&amp"},
                                 {SP, " "}, {NAME, "b"}, {Lexer::TOKEN_ENTITY_REF, "&nbsp;"},
                                 {NAME, "c"}};
    EXPECT_EQ(expected, seen);
    ASSERT_EQ(2u, entities.size());
    EXPECT_EQ(amp, entities[0]);
    EXPECT_EQ(type.get()->getEntity("nbsp"), entities[1]);

    // Unknown names (entities are case-sensitive), empty names and no
    // document type give a lone '&' and a name, which may be empty.
    expected = {{AMP, "&"}, {NAME, "AMP"}, {NAME, ";"}};
    EXPECT_EQ(expected, lex("&AMP;", type.get()));
    expected = {{AMP, "&"}, {NAME, ""}, {SP, " "}, {NAME, "b"}};
    EXPECT_EQ(expected, lex("& b", type.get()));
    expected = {{AMP, "&"}, {NAME, ""}, {NAME, ";"}};
    EXPECT_EQ(expected, lex("&;", type.get()));
    expected = {{AMP, "&"}, {NAME, "amp"}, {NAME, ";"}};
    EXPECT_EQ(expected, lex("&amp;"));
    expected = {{AMP, "&"}, {NAME, "ampx"}, {EQ, "="}};
    EXPECT_EQ(expected, lex("&ampx=", type.get()));
    expected = {{Lexer::TOKEN_ENTITY_REF, "&amp"}, {AMP, "&"}, {NAME, ""}};
    EXPECT_EQ(expected, lex("&amp&", type.get()));
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
    std::vector<Tok> seen;
    std::vector<unsigned long> lines;
    for (;;) {
        Token* token = lexer.nextToken();
        unsigned long kind = token->kind;
        if (kind != Lexer::TOKEN_EOF) {
            seen.push_back({kind, spanText(text, token)});
            lines.push_back(token->line);
        }
        lexer.deleteToken(token);
        if (kind == Lexer::TOKEN_EOF)
            break;
    }
    std::vector<Tok> expected = {{LT, "<"}, {Lexer::TOKEN_SLASH, "/"}, {NAME, "script"},
                                 {GT, ">"}, {SP, "\n"}, {NAME, "y"}};
    EXPECT_EQ(expected, seen);
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

    std::string word = "ABC";
    EXPECT_EQ(&word, &Lexer::toUpper(word));
    std::string mixed = "a-b";
    const std::string& upper = Lexer::toUpper(mixed);
    EXPECT_EQ("A-B", upper);
    EXPECT_EQ("a-b", mixed);
    EXPECT_TRUE(Lexer::isSpace('\v'));
    EXPECT_FALSE(Lexer::isSpace('\0'));
    EXPECT_TRUE(HTMLLexer::isNameDelimiter('&'));
    EXPECT_FALSE(HTMLLexer::isNameDelimiter(';'));
    EXPECT_TRUE(HTMLLexer::isEntityNameDelimiter(';'));
}

TEST(HTMLLexerTest, RandomMarkupKeepsTokensInOrderAndInBounds)
{
    // Tokens never overlap, never go backwards and never leave the text; an
    // unterminated construct is the last token before the end.
    EntityType type;
    type.get()->setJSPVersion(DOMImpl::JSP_10);
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
    unsigned long count = 0;
    for (;;) {
        Token* token = lexer.nextToken();
        unsigned long kind = token->kind;
        lexer.deleteToken(token);
        if (kind == Lexer::TOKEN_EOF)
            return count;
        ++count;
    }
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
