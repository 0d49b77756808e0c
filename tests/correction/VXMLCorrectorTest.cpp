// The VoiceXML corrector: its adaptors, and Document::correctError on
// VoiceXML pages read from text and generated broken.
#include <gtest/gtest.h>

#include <string>

#include "correction/CorrectProperties.h"
#include "dom.h"
#include "writing/RandomEdits.h"
#include "xmlreading/VXMLPages.h"

namespace {

// The adaptor factories, reached as a subclass reaches them.
class Factories : public VXMLErrorCorrector {
public:
    explicit Factories(Node* root) : VXMLErrorCorrector(root) {}
    Element* childAdaptor(const Element* parent) const { return _createChildAdaptor(parent); }
    Element* parentAdaptor(const Element* child) const { return _createParentAdaptor(child); }
};

// The page of a VoiceXML document read from page and repaired, and whether
// the repair reported changes.
std::string repaired(const std::string& page, bool* changed = nullptr)
{
    Document* doc = correctcheck::readAs("VXML", page, DOMImpl::JSP_NONE);
    const bool did = doc->correctError(nullptr);
    if (changed)
        *changed = did;
    const std::string out = doc->getSource();
    DOM::getDOM()->deleteDocument(doc);
    return out;
}

} // namespace

TEST(VXMLErrorCorrector, AdaptorsFollowTheVoiceXMLTables)
{
    Document* doc = DOMImpl::createDocument("VXML");
    Factories factories(doc);
    Element* vxml = doc->createElement("vxml");
    Element* menu = doc->createElement("menu");
    Element* form = doc->createElement("form");
    Element* form2 = factories.childAdaptor(vxml);
    ASSERT_NE(nullptr, form2);
    EXPECT_EQ("form", form2->getNodeName());
    EXPECT_TRUE(form2->getUpdateState() & Node::UPDATE_ADAPTED);
    Element* block = factories.childAdaptor(form);
    ASSERT_NE(nullptr, block);
    EXPECT_EQ("block", block->getNodeName());
    EXPECT_EQ(nullptr, factories.childAdaptor(menu));
    EXPECT_EQ(nullptr, factories.childAdaptor(nullptr));

    const char* const pairs[][2] = {{"choice", "menu"},  {"field", "form"}, {"property", "form"}, {"option", "field"},
                                    {"sayas", "prompt"}, {"else", "if"},    {"elseif", "if"},     {"param", "object"}};
    for (const auto& pair : pairs) {
        Element* child = doc->createElement(pair[0]);
        Element* parent = factories.parentAdaptor(child);
        ASSERT_NE(nullptr, parent) << pair[0];
        EXPECT_EQ(pair[1], parent->getNodeName()) << pair[0];
        EXPECT_TRUE(parent->getUpdateState() & Node::UPDATE_ADAPTED);
        parent->releaseRef();
        child->releaseRef();
    }
    // No adaptor for an audio, for an element without type, or for a type
    // spelled otherwise.
    Element* audio = doc->createElement("audio");
    EXPECT_EQ(nullptr, factories.parentAdaptor(audio));
    Element* unknown = doc->createElement("mystery");
    EXPECT_EQ(nullptr, factories.parentAdaptor(unknown));
    EXPECT_EQ(nullptr, factories.childAdaptor(unknown));
    EXPECT_EQ(nullptr, factories.parentAdaptor(nullptr));
    for (Element* e : {vxml, menu, form, form2, block, audio, unknown})
        e->releaseRef();
    DOM::getDOM()->deleteDocument(doc);

    DocumentType* capitals = DOMImpl::createDocumentType("caps");
    capitals->parse("<!ELEMENT Field - - (#PCDATA)> <!ELEMENT vxml - - ANY>");
    Document* capital = DOMImpl::createDocument("VXML", capitals);
    Element* field = capital->createElement("Field");
    ASSERT_NE(nullptr, field->getElementType());
    EXPECT_EQ(nullptr, Factories(capital).parentAdaptor(field));
    field->releaseRef();
    DOM::getDOM()->deleteDocument(capital);
    capitals->releaseRef();
}

TEST(VXMLErrorCorrector, StrayElementsGoIntoTheirAdaptors)
{
    struct Case {
        const char* page;
        const char* expected;
    };
    const Case cases[] = {
        // A field under vxml: a new form around it.
        {"<vxml version=\"1.0\"><field name=\"a\"/></vxml>", "<vxml version=\"1.0\"><form><field name=\"a\"/></form></vxml>"},
        // A choice outside a menu (which a block may not hold: up, out of
        // the form), an else outside an if.
        {"<vxml><form><block><choice>x</choice></block></form></vxml>",
         "<vxml><menu><choice>x</choice></menu><form><block></block></form></vxml>"},
        {"<vxml><form><block><else/></block></form></vxml>",
         "<vxml><form><block><if><else/></if></block></form></vxml>"},
        // Text in a form goes into a block, which a form makes itself.
        {"<vxml><form>Hello</form></vxml>", "<vxml><form><block>Hello</block></form></vxml>"},
        // A stray end tag goes; an element left open gets its end tag.
        {"<vxml><form><block>x</prompt></block></form></vxml>", "<vxml><form><block>x</block></form></vxml>"},
        {"<vxml><form><block>x</form></vxml>", "<vxml><form><block>x</block></form></vxml>"},
        // Bare markup characters are written as references.
        {"<vxml><form><block>a > b</block></form></vxml>", "<vxml><form><block>a &gt; b</block></form></vxml>"},
        // What an empty element holds goes after it; a break goes into a
        // prompt.
        {"<vxml><form><block><break>x</block></form></vxml>",
         "<vxml><form><block><prompt><break /></prompt>x</block></form></vxml>"},
    };
    for (const Case& c : cases) {
        bool changed = false;
        EXPECT_EQ(c.expected, repaired(c.page, &changed)) << c.page;
        EXPECT_TRUE(changed) << c.page;
        // The repaired page has nothing left to repair.
        bool again = true;
        EXPECT_EQ(c.expected, repaired(c.expected, &again)) << c.page;
        EXPECT_FALSE(again) << c.page;
    }
    // A well-formed dialog needs no repair; an XML document gets none.
    const std::string dialog = randomedits::readExample("dialog.vxml");
    bool changed = true;
    EXPECT_EQ(dialog, repaired(dialog, &changed));
    EXPECT_FALSE(changed);
    Document* xml = correctcheck::readAs("XML", "<a><b>x</a>", DOMImpl::JSP_NONE);
    EXPECT_FALSE(xml->correctError(nullptr));
    DOM::getDOM()->deleteDocument(xml);
}

// Content stays, a second repair does nothing, one undo step gives the page
// back, and the repaired page reads back as repaired: on the example dialog,
// on its pieces cut anywhere, and on generated broken pages.
TEST(VXMLErrorCorrector, RepairsKeepContentAndSettle)
{
    const std::string dialog = randomedits::readExample("dialog.vxml");
    EXPECT_FALSE(correctcheck::check(dialog, DOMImpl::JSP_NONE, true, "VXML")) << "dialog.vxml";
    for (std::size_t cut = 0; cut < dialog.size(); cut += 37) {
        const std::string piece = dialog.substr(cut, 300);
        const correctcheck::Failure failure = correctcheck::check(piece, DOMImpl::JSP_NONE, true, "VXML");
        EXPECT_FALSE(failure) << failure.what << "\n" << piece << "\n--- expected\n" << failure.expected
                              << "\n--- actual\n" << failure.actual;
    }
    randomedits::Random random(6022);
    vxmlpages::PageMaker maker(random);
    for (int round = 0; round < 400; ++round) {
        const std::string page = maker.make(1 + random.next(8));
        const DOMImpl::JSPVersion version = round % 3 ? DOMImpl::JSP_NONE : DOMImpl::JSP_10;
        const correctcheck::Failure failure = correctcheck::check(page, version, true, "VXML");
        ASSERT_FALSE(failure) << failure.what << "\n" << page << "\n--- expected\n" << failure.expected
                              << "\n--- actual\n" << failure.actual;
    }
}
