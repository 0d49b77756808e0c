#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "doctype/DocumentType.h"
#include "doctype/Entity.h"
#include "frame/DOMImpl.h"
#include "base/Scanner.h"
#include "tree/Document.h"
#include "convert/PCDATAConverter.h"
#include "doctype/DeclarationBuilder.h"

using pagedom::DeclarationBuilder;

namespace {

const char ESC = 0x1B;

std::string esc(char c)
{
    return std::string(1, ESC) + c;
}

std::string bytes(std::initializer_list<int> list)
{
    std::string s;
    for (int b : list)
        s += static_cast<char>(b);
    return s;
}

// Sets the library's code page for one test and restores it afterwards.
class CodePage {
public:
    explicit CodePage(int codePage) : _saved(DOMImpl::getCodePage()) { DOMImpl::setCodePage(codePage); }
    ~CodePage() { DOMImpl::setCodePage(_saved); }

private:
    int _saved;
};

void addEntity(DocumentType* type, const char* name, unsigned long value)
{
    Entity* entity = DeclarationBuilder::createEntity(*type, name);
    entity->setNodeValue("&#" + std::to_string(value) + ";");
    DeclarationBuilder::setCharValue(*entity, value);
    DeclarationBuilder::addEntity(*type, entity);
}

// A small HTML-like document type with the entities the tests use.
class HTMLTypeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        _html = DOMImpl::createDocumentType("html");
        const std::pair<const char*, unsigned long> entities[] = {
            {"quot", 34},   {"amp", 38},    {"lt", 60},   {"gt", 62},     {"nbsp", 160},
            {"copy", 169},  {"Agrave", 192}, {"agrave", 224}, {"euro", 8364}, {"dagger", 8224}};
        for (const auto& e : entities)
            addEntity(_html, e.first, e.second);
        // A text entity without a character value, and two that refer to
        // entities: one directly, one to itself.
        Entity* text = DeclarationBuilder::createEntity(*_html, "hello");
        text->setNodeValue("Hi &lt;there&gt;");
        DeclarationBuilder::addEntity(*_html, text);
        Entity* loop = DeclarationBuilder::createEntity(*_html, "loop");
        loop->setNodeValue("a&loop;");
        DeclarationBuilder::addEntity(*_html, loop);
    }

    void TearDown() override { _html->releaseRef(); }

    DocumentType* _html = nullptr;
};

} // namespace

TEST(PCDATAConverter, CharValueEscapesDecodeBackToTheSameValue)
{
    EXPECT_EQ("", PCDATAConverter::convertCharValueToData(0, false));
    EXPECT_EQ(esc('<'), PCDATAConverter::convertCharValueToData(60, true));
    EXPECT_EQ(bytes({0x1B, 0xFF}), PCDATAConverter::convertCharValueToData(255, false));
    EXPECT_EQ(bytes({0x1C, 0x1D, 0x20, 0xAC}), PCDATAConverter::convertCharValueToData(8364, true));
    EXPECT_EQ(bytes({0x1C, 0x1C, 0x20, 0xAC}), PCDATAConverter::convertCharValueToData(8364, false));
    EXPECT_EQ(bytes({0x1C, 0x1B, 0x20, 0x1D}), PCDATAConverter::convertCharValueToData(0x2000, true));
    EXPECT_EQ(bytes({0x1C, 0x1B, 0x01, 0x1C}), PCDATAConverter::convertCharValueToData(256, false));
    // Beyond what four bytes can carry.
    EXPECT_EQ("", PCDATAConverter::convertCharValueToData(0x10000, true));

    // Every value that fits survives the trip through the scanner, with
    // its numeric mark from 256 on.
    for (unsigned long value = 1; value <= 0xFFFF; ++value) {
        for (bool numeric : {false, true}) {
            const std::string data = PCDATAConverter::convertCharValueToData(value, numeric);
            PCDATAScanner scanner(data + "z", 0);
            unsigned long decoded = 0;
            bool decodedNumeric = !numeric;
            ASSERT_EQ(data.length(), scanner.scanCharValue(decoded, decodedNumeric)) << value;
            ASSERT_EQ(value, decoded);
            ASSERT_EQ(value >= 256 && numeric, decodedNumeric) << value;
            ASSERT_EQ(static_cast<int>(data.length()), PCDATA::pclen(data.c_str())) << value;
        }
    }
}

TEST(PCDATAConverter, DigitsAndValues)
{
    EXPECT_EQ("", PCDATAConverter::convertCharValueToDigit(0));
    EXPECT_EQ("8364", PCDATAConverter::convertCharValueToDigit(8364));

    EXPECT_EQ(0u, PCDATAConverter::convertDigitToCharValue(""));
    EXPECT_EQ(65u, PCDATAConverter::convertDigitToCharValue("65"));
    EXPECT_EQ(65u, PCDATAConverter::convertDigitToCharValue("0065"));
    EXPECT_EQ(0x41u, PCDATAConverter::convertDigitToCharValue("x41"));
    EXPECT_EQ(0x20ACu, PCDATAConverter::convertDigitToCharValue("x20aC"));
    EXPECT_EQ(0x10FFFFu, PCDATAConverter::convertDigitToCharValue("1114111"));
    const char* invalid[] = {"x", "X41", "6a", " 65", "65 ", "-1", "+1", "x4g", "1114112",
                             "x110000", "99999999999999999999999999", "xffffffffffffffffff"};
    for (const char* digits : invalid)
        EXPECT_EQ(0u, PCDATAConverter::convertDigitToCharValue(digits)) << digits;
}

TEST_F(HTMLTypeTest, SourceToDataAndBack)
{
    PCDATAConverter conv(_html);

    const std::string lt = conv.convertSourceToData("a &lt; b");
    EXPECT_EQ("a " + esc('<') + " b", lt);
    EXPECT_EQ("a &lt; b", conv.convertDataToSource(lt));

    // Numeric references below 256 lose their numeric mark.
    const std::string copy = conv.convertSourceToData("&#169;");
    EXPECT_EQ(bytes({0x1B, 169}), copy);
    EXPECT_EQ("&copy;", conv.convertDataToSource(copy));

    // Above 255 the mark decides between the number and the name.
    const std::string euro = conv.convertSourceToData("&#8364;");
    EXPECT_EQ(bytes({0x1C, 0x1D, 0x20, 0xAC}), euro);
    EXPECT_EQ("&#8364;", conv.convertDataToSource(euro));
    EXPECT_EQ("&euro;", conv.convertDataToSource(conv.convertSourceToData("&euro;")));

    EXPECT_EQ(esc('A'), conv.convertSourceToData("&#x41;"));
    EXPECT_EQ(esc('&') + "#65B", conv.convertSourceToData("&#65B"));
    EXPECT_EQ(esc('"') + esc('<') + "p" + esc('>'), conv.convertSourceToData("\"<p>"));

    // Names are exact; a reference ends at ';', space, '<', '&' or a line
    // break, and only a ';' is swallowed.
    EXPECT_EQ(bytes({0x1B, 192, 0x1B, 224}), conv.convertSourceToData("&Agrave;&agrave;"));
    EXPECT_EQ(bytes({0x1B, 160, ' ', 'x'}), conv.convertSourceToData("&nbsp x"));
    EXPECT_EQ(bytes({0x1B, 160}) + esc('<'), conv.convertSourceToData("&nbsp<"));
    EXPECT_EQ(bytes({0x1B, 160}), conv.convertSourceToData("&nbsp"));
    EXPECT_EQ(bytes({0x1B, 160, '\r', '\n'}), conv.convertSourceToData("&nbsp\r\n"));

    // What is no reference stays text with the '&' escaped.
    EXPECT_EQ(esc('&') + "foo;", conv.convertSourceToData("&foo;"));
    EXPECT_EQ("&amp;foo;", conv.convertDataToSource(esc('&') + "foo;"));
    EXPECT_EQ(esc('&') + "NBSP;", conv.convertSourceToData("&NBSP;"));
    EXPECT_EQ(esc('&') + " " + esc('&') + esc('<'), conv.convertSourceToData("& &&lt;"));
    EXPECT_EQ(esc('&') + "#0;" + esc('&') + "#;" + esc('&') + "#xZZ;",
              conv.convertSourceToData("&#0;&#;&#xZZ;"));
    EXPECT_EQ(esc('&') + "#128512;", conv.convertSourceToData("&#128512;"));
    EXPECT_EQ(esc('&') + "hello;", conv.convertSourceToData("&hello;"));
    EXPECT_EQ(esc('&'), conv.convertSourceToData("&"));

    // Stray escape bytes in source cannot be mistaken for escapes.
    const std::string stray = conv.convertSourceToData(bytes({0x1B, 'a', 0x1C}));
    EXPECT_EQ(bytes({0x1B, 0x1B, 'a', 0x1B, 0x1C}), stray);
    EXPECT_EQ("&#27;a&#28;", conv.convertDataToSource(stray));

    // Broken escapes in data are copied.
    EXPECT_EQ(bytes({'x', 0x1C, 'y', 0x1B}), conv.convertDataToSource(bytes({'x', 0x1C, 'y', 0x1B})));

    // A page-sized round trip keeps every byte.
    std::string page, expected;
    for (int i = 0; i < 2000; ++i) {
        page += "<b class=\"c\">Fish &amp; chips &#8364;5&nbsp;&mdash; &#x2020;</b>\r\n";
        expected += "&lt;b class=&quot;c&quot;&gt;Fish &amp; chips &#8364;5&nbsp;&amp;mdash; &#8224;&lt;/b&gt;\r\n";
    }
    EXPECT_EQ(expected, conv.convertDataToSource(conv.convertSourceToData(page)));
}

TEST_F(HTMLTypeTest, TextForms)
{
    PCDATAConverter conv(_html);
    const std::string data = conv.convertSourceToData("&lt;&#169;&nbsp;&#8364;&dagger;x");
    // A value without a character in the code page becomes '?' in text (a
    // 0 from the single-value conversion).
    EXPECT_EQ(0, PCDATAConverter::convertCharValueToChar(0x10000));
    {
        CodePage cp(1252);
        EXPECT_EQ(0, PCDATAConverter::convertCharValueToChar(8224));
        EXPECT_EQ(bytes({'<', 169, ' ', 0x80, '?', 'x'}), PCDATAConverter::convertDataToText(data));
        EXPECT_EQ(bytes({0x1C, 0x1D, 0x20, 0xAC}), PCDATAConverter::convertTextToData(bytes({0x80})));
        EXPECT_EQ("&#8364;" + bytes({169}), conv.convertTextToSource(bytes({0x80, 169})));
        EXPECT_EQ(bytes({'<', 169, ' ', 0x80, '?', 'x', '<', 't'}),
                  conv.convertSourceToText("&lt;&#169;&nbsp;&#8364;&dagger;x&lt;t"));
    }
    {
        CodePage cp(0);
        EXPECT_EQ(bytes({'<', '?', ' ', '?', '?', 'x'}), PCDATAConverter::convertDataToText(data));
        EXPECT_EQ(bytes({0x80}), PCDATAConverter::convertTextToData(bytes({0x80})));
        EXPECT_EQ(bytes({0x80, 169}), conv.convertTextToSource(bytes({0x80, 169})));
    }

    EXPECT_EQ(esc('"') + "a" + esc('&') + "b" + esc('<') + esc('>'),
              PCDATAConverter::convertTextToData("\"a&b<>"));
    EXPECT_EQ("&lt;a href=&quot;x&quot;&gt; &amp; y", conv.convertTextToSource("<a href=\"x\"> & y"));

    // Every byte survives text -> data -> text under both code pages.
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    for (int page : {0, 1252}) {
        CodePage cp(page);
        EXPECT_EQ(all, PCDATAConverter::convertDataToText(PCDATAConverter::convertTextToData(all)))
            << page;
    }

    // Entity values are expanded as text, recursively but not forever;
    // unknown and malformed references stay as written.
    EXPECT_EQ("Hi <there>!", conv.convertSourceToText("&hello;!"));
    EXPECT_EQ("&foo; & &#xZZ; &#0;", conv.convertSourceToText("&foo; & &#xZZ; &#0;"));
    const std::string looped = conv.convertSourceToText("&loop;");
    EXPECT_EQ(0u, looped.find("aaaa"));
    EXPECT_LT(looped.length(), 30u);
}

TEST_F(HTMLTypeTest, CharValueOfSourceNormalizesReferences)
{
    PCDATAConverter conv(_html);
    const std::string source =
        "a<b \"c\" &amp; &#60; &lt; &copy; &#169; &foo; AT&T &#xyz; & &#x3E;&gt &NBSP;";
    EXPECT_EQ("a&lt;b &quot;c&quot; &amp; &lt; &lt; &copy; &copy; &foo; AT&amp;T &amp;#xyz; "
              "&amp; &gt;&gt; &NBSP;",
              conv.convertCharValueOfSource(source, false));
    EXPECT_EQ("a&#60;b &#34;c&#34; &#38; &#60; &#60; &copy; &#169; &foo; AT&#38;T &#38;#xyz; "
              "&#38; &#62;&#62; &NBSP;",
              conv.convertCharValueOfSource(source, true));
    EXPECT_EQ("", conv.convertCharValueOfSource("", true));
    EXPECT_EQ("plain text", conv.convertCharValueOfSource("plain text", true));
    // A closed run that is no name is no reference.
    EXPECT_EQ("&#38;x&#34;&#62;; &#38;9;", conv.convertCharValueOfSource("&x\">; &9;", true));
}

TEST_F(HTMLTypeTest, DocumentDeclarationsComeFirstOutsideHTML)
{
    // The document's own DOCTYPE redefines nbsp as a plain space and adds
    // an entity of its own.
    for (const char* name : {"page", "HTML"}) {
        Document* doc = DOMImpl::createDocument(name, _html);
        ASSERT_NE(nullptr, doc);
        DocumentType* own = doc->createDocType("page");
        addEntity(own, "nbsp", 32);
        addEntity(own, "mine", 9731);
        doc->appendChild(own);
        ASSERT_EQ(own, doc->getDocType());

        PCDATAConverter conv(doc);
        const bool html = std::string(name) == "HTML";
        EXPECT_EQ(html ? bytes({0x1B, 160}) : esc(' '), conv.convertSourceToData("&nbsp;")) << name;
        EXPECT_EQ(html ? esc('&') + "mine;" : bytes({0x1C, 0x1C, 0x26, 0x03}),
                  conv.convertSourceToData("&mine;")) << name;
        // Writing names comes from the registered type only.
        EXPECT_EQ("&nbsp;", conv.convertDataToSource(bytes({0x1B, 160})));
        doc->releaseRef();
    }
}

TEST(PCDATAConverter, WithoutEntityNamesOnlyNumbersAreUsed)
{
    DocumentType* bare = DOMImpl::createDocumentType("bare");
    PCDATAConverter conv(bare);
    EXPECT_EQ("&#60;", conv.convertCharValueToSource(60, false));
    EXPECT_EQ("", conv.convertCharValueToSource(0, false));
    EXPECT_EQ(esc('&') + "lt;", conv.convertSourceToData("&lt;"));
    EXPECT_EQ("&#60;a &#38; b&#62;", conv.convertTextToSource("<a & b>"));
    EXPECT_EQ("&#34;&lt;", conv.convertCharValueOfSource("\"&lt;", true));
    bare->releaseRef();

    // The default converter uses the XML document type when there is one;
    // numeric references work either way.
    PCDATAConverter xml;
    const PCDATAConverter copy(xml);
    EXPECT_EQ(esc('A') + esc('<'), copy.convertSourceToData("&#65;&#60;"));
    const DocumentType* xmlType = DOMImpl::getXMLDocumentType();
    const bool named = xmlType && xmlType->getEntity("lt");
    EXPECT_EQ(named ? "&lt;" : "&#60;", xml.convertDataToSource(esc('<')));
    EXPECT_EQ(named ? esc('<') : esc('&') + "lt;", xml.convertSourceToData("&lt;"));
    PCDATAConverter fromNull(static_cast<const DocumentType*>(nullptr));
    EXPECT_EQ(xml.convertDataToSource(esc('<')), fromNull.convertDataToSource(esc('<')));
    PCDATAConverter noDoc(static_cast<const Document*>(nullptr));
    EXPECT_EQ(esc('A'), noDoc.convertSourceToData("&#65;"));
}

TEST(PCDATAConverter, WhitespaceInsideEscapesIsNotWhitespace)
{
    const std::string escapedSpace = "a" + esc(' ');
    EXPECT_FALSE(PCDATAConverter::isSpace(escapedSpace, 2));
    EXPECT_TRUE(PCDATAConverter::isSpace("a b", 1));
    EXPECT_FALSE(PCDATAConverter::isSpace("a b", 0));
    EXPECT_FALSE(PCDATAConverter::isSpace("a b", 3));
    EXPECT_FALSE(PCDATAConverter::isSpace("a b", 0xFFFFFFFFul));
    // The value 27 followed by a real space.
    EXPECT_TRUE(PCDATAConverter::isSpace(bytes({0x1B, 0x1B, ' '}), 2));
    // U+2020 and U+2009 carry whitespace bytes inside their escapes.
    const std::string dagger = bytes({'x', 0x1C, 0x1C, 0x20, 0x20});
    EXPECT_FALSE(PCDATAConverter::isSpace(dagger, 3));
    EXPECT_FALSE(PCDATAConverter::isSpace(dagger, 4));
    EXPECT_FALSE(PCDATAConverter::isSpace(bytes({0x1C, 0x1B, 0x20, 0x1C}), 2));

    std::string s = " \t\r\n a b " + esc(' ') + " \r\n";
    EXPECT_EQ(8u, PCDATAConverter::trim(s, true, true));
    EXPECT_EQ("a b " + esc(' '), s);

    std::string d = dagger + "  ";
    EXPECT_EQ(2u, PCDATAConverter::trim(d, false, true));
    EXPECT_EQ(dagger, d);
    std::string thin = bytes({0x1C, 0x1C, 0x20, 0x09});
    EXPECT_EQ(0u, PCDATAConverter::trim(thin, true, true));
    EXPECT_EQ(4u, thin.length());

    std::string onlyLeft = "  x  ";
    EXPECT_EQ(2u, PCDATAConverter::trim(onlyLeft, true, false));
    EXPECT_EQ("x  ", onlyLeft);

    // Long runs of whitespace trim in one pass.
    std::string longRun = "x" + std::string(200000, ' ');
    EXPECT_EQ(200000u, PCDATAConverter::trim(longRun, true, true));
}

TEST(PCDATAConverter, PclenStepsOverWholeCharacters)
{
    EXPECT_EQ(0, PCDATA::pclen(""));
    EXPECT_EQ(0, PCDATA::pclen(nullptr));
    EXPECT_EQ(1, PCDATA::pclen("a"));
    EXPECT_EQ(2, PCDATA::pclen("\r\nx"));
    EXPECT_EQ(1, PCDATA::pclen("\rx"));
    EXPECT_EQ(1, PCDATA::pclen("\x1B")); // whole escapes: see the round trip above
    EXPECT_EQ(2, PCDATA::pclen("\x1C\x1C"));
    EXPECT_EQ(1, PCDATA::pclen("\xC3"));

    // Multi-byte characters count as one where the locale has them.
    const char* saved = std::setlocale(LC_CTYPE, nullptr);
    const std::string savedName = saved ? saved : "C";
    if (std::setlocale(LC_CTYPE, "C.UTF-8")) {
        EXPECT_EQ(2, PCDATA::pclen("\xC3\xA9x"));
        EXPECT_EQ(3, PCDATA::pclen("\xE2\x82\xAC"));
        EXPECT_EQ(1, PCDATA::pclen("\xC3"));
        std::setlocale(LC_CTYPE, savedName.c_str());
    }
}
