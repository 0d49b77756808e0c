#include <gtest/gtest.h>

#include <clocale>
#include <stdexcept>
#include <string>

#include "node/NodeAccess.h"
#include "tree/CDATASection.h"
#include "tree/Comment.h"
#include "tree/EntityReference.h"
#include "tree/ProcessingInstruction.h"
#include "tree/DocumentAccess.h"
#include "tree/SmallHTMLType.h"

using smallhtml::Ref;

namespace {

const std::string NBSP = "\x1b\xa0";

class CharacterDataTest : public smallhtml::HTMLDocumentTest {
protected:
    void SetUp() override
    {
        HTMLDocumentTest::SetUp();
        p = add(doc, "P");
    }

    Element* p = nullptr;
};

} // namespace

TEST_F(CharacterDataTest, DataOperationsUseByteOffsetsAndAreEdits)
{
    Text* t = text(p, "hello");
    t->setUpdateState(0);
    EXPECT_EQ("llo", t->substringData(2, 100));
    EXPECT_EQ("", t->substringData(5, 1));
    EXPECT_THROW(t->substringData(6, 1), std::out_of_range);
    t->insertData(5, "!");
    t->replaceData(0, 1, "J");
    t->deleteData(4, 100);
    t->appendData("o");
    EXPECT_EQ("Jello", t->getData());
    // Each operation is an edit: marked, and written from the new data.
    EXPECT_NE(0u, t->getUpdateState() & Node::UPDATE_CONTENT_MODIFIED);
    EXPECT_EQ("Jello", t->getSource());
    t->setUpdateState(0);
    EXPECT_THROW(t->insertData(6, "x"), std::out_of_range);
    EXPECT_THROW(t->deleteData(6, 1), std::out_of_range);
    EXPECT_THROW(t->replaceData(9, 1, "x"), std::out_of_range);
    EXPECT_EQ("Jello", t->getData());
    EXPECT_EQ(0u, t->getUpdateState());  // a refused offset changes nothing

    // setData regenerates the source from the data form.
    t->setData("a\x1b<b" + NBSP);
    EXPECT_NE(0u, t->getUpdateState() & Node::UPDATE_CONTENT_MODIFIED);
    EXPECT_EQ("a&#60;b&nbsp;", t->getSource());
    EXPECT_EQ("a<b ", t->getText());
}

TEST_F(CharacterDataTest, SplitAndDelete)
{
    Text* t = text(p, "hello");
    Text* tail = t->splitText(2);
    EXPECT_EQ(1u, tail->getRefCount());
    EXPECT_EQ(nullptr, tail->getParentNode());
    EXPECT_EQ("llo", tail->getData());
    EXPECT_EQ("he", t->getSource());
    p->insertAfter(tail, t);
    EXPECT_EQ("hello", p->getChildSource());

    Ref<Text> all(tail->splitText(0));
    EXPECT_EQ("llo", all->getData());
    EXPECT_EQ("", tail->getData());
    Ref<Text> none(t->splitText(t->getLength()));
    EXPECT_EQ("", none->getData());
    EXPECT_EQ("he", t->getData());

    Text* five = text(p, "abcde");
    EXPECT_EQ(3u, five->Delete(2, 100, false));
    EXPECT_EQ("ab", five->getData());
    EXPECT_EQ(0u, five->Delete(2, 1, false));
    EXPECT_THROW(five->Delete(3, 1, false), std::out_of_range);

    // Removing a non-breaking space must not leave two collapsible blanks.
    Text* gap = text(p, "a " + NBSP + " b");
    EXPECT_EQ(2u, gap->Delete(2, 2, true));
    EXPECT_NE("a  b", gap->getData());
    EXPECT_NE(std::string::npos, gap->getData().find(NBSP));
    EXPECT_EQ(gap, pagedom::DocumentAccess::cursorNode(*doc));
}

TEST_F(CharacterDataTest, DeleteCharRemovesWholeUnits)
{
    Text* t = text(p, "a\x1b" "Ab\x1c\x1c\x01\x02" "c");
    EXPECT_EQ(0u, t->deleteChar(0, true));
    EXPECT_EQ(0u, t->deleteChar(t->getLength(), false));
    EXPECT_EQ(0u, t->deleteChar(Node::NOT_FOUND, false));
    EXPECT_EQ(1u, t->deleteChar(Node::NOT_FOUND, true));  // c
    EXPECT_EQ(4u, t->deleteChar(8, true));                // the wide escape
    EXPECT_EQ(2u, t->deleteChar(1, false));               // the ESC escape
    EXPECT_EQ("ab", t->getData());
    EXPECT_EQ(t, pagedom::DocumentAccess::cursorNode(*doc));
    EXPECT_EQ(1, pagedom::DocumentAccess::layoutOffset(*doc));
    EXPECT_EQ(1u, t->deleteChar(100, true));
    EXPECT_EQ("a", t->getData());
    // Backspace at the end of a text that has become empty removes nothing
    // (and returns).
    EXPECT_EQ(1u, t->deleteChar(Node::NOT_FOUND, true));
    EXPECT_EQ(0u, t->deleteChar(Node::NOT_FOUND, true));
    EXPECT_EQ(0u, t->deleteChar(5, true));
    EXPECT_EQ("", t->getData());
    // An offset inside a unit never splits it.
    Text* split = text(p, "a" + NBSP + "b" + NBSP);
    EXPECT_EQ(2u, split->deleteChar(2, true));
    EXPECT_EQ(2u, split->deleteChar(3, false));
    EXPECT_EQ("ab", split->getData());

    const char* previous = std::setlocale(LC_CTYPE, nullptr);
    std::string saved = previous ? previous : "C";
    if (std::setlocale(LC_CTYPE, "C.UTF-8") || std::setlocale(LC_CTYPE, "C.utf8")) {
        Text* wide = text(p, "x\xc3\xa9y");  // x, e acute, y
        EXPECT_EQ(2u, wide->deleteChar(3, true));
        EXPECT_EQ("xy", wide->getData());
    }
    std::setlocale(LC_CTYPE, saved.c_str());
}

TEST_F(CharacterDataTest, InsertWhiteSpaceModes)
{
    Text* t = text(p, "ab");
    ASSERT_TRUE(t->isFirstBlockText());
    // A blank typed at the start of a block would be lost.
    EXPECT_EQ(0u, t->insert(0, " ", false, Text::SPACE_NORMAL));
    EXPECT_EQ("ab", t->getData());
    EXPECT_EQ(1u, t->insert(0, " ", false, Text::SPACE_AUTO));
    EXPECT_EQ(NBSP + "ab", t->getData());
    EXPECT_EQ(1u, t->insert(3, " ", false, Text::SPACE_AUTO));  // inside a word: ordinary
    EXPECT_EQ(NBSP + "a b", t->getData());
    EXPECT_EQ(1u, t->insert(4, " ", false, Text::SPACE_AUTO));  // next to a blank
    EXPECT_EQ(NBSP + "a " + NBSP + "b", t->getData());
    EXPECT_EQ(1u, t->insert(Node::NOT_FOUND, " ", true, Text::SPACE_NBSP));
    EXPECT_EQ(NBSP + "a " + NBSP + "b" + NBSP, t->getData());
    EXPECT_EQ(static_cast<int>(t->getLength()), pagedom::DocumentAccess::layoutOffset(*doc));

    // Surplus blanks next to existing ones are dropped; markup is escaped.
    Text* u = text(p, "x y");
    EXPECT_EQ(3u, u->insert(2, "  <z  ", false, Text::SPACE_NORMAL));
    EXPECT_EQ("x \x1b<z y", u->getData());
    EXPECT_TRUE(u->isCompactText());

    // Plain text keeps blanks and expands tabs.
    Text* code = text(add(doc, "PRE"), "ab");
    ASSERT_TRUE(code->isPlainText());
    EXPECT_EQ(8u, code->insert(0, "\t", false, Text::SPACE_AUTO));
    EXPECT_EQ("        ab", code->getData());
    EXPECT_FALSE(code->isCompactText());
    EXPECT_EQ(2u, code->insert(2, "  ", false, Text::SPACE_NORMAL));
    EXPECT_EQ("          ab", code->getData());
}

TEST_F(CharacterDataTest, ClassificationParseAndCompact)
{
    Element* b = add(p, "B");
    Text* after = text(p, " \t\r\n");
    EXPECT_TRUE(after->isTrivialNode());
    EXPECT_FALSE(after->isFirstBlockText());  // follows an inline element
    EXPECT_TRUE(text(b, "x")->isFirstBlockText());
    EXPECT_FALSE(Ref<Text>(doc->createTextNode(NBSP))->isSpaceText());

    Text* parsed = text(p, "");
    parsed->parse("a \r\n  b&#65;");
    EXPECT_EQ("a b\x1b" "A", parsed->getData());
    EXPECT_EQ("a \r\n  b&#65;", parsed->getSource());
    EXPECT_TRUE(parsed->isCompactText());
    Text* code = text(add(doc, "PRE"), "");
    code->parse("a  b");
    EXPECT_EQ("a  b", code->getData());
    EXPECT_FALSE(code->isCompactText());

    Text* loud = text(p, "");
    loud->setSource("a<b");
    pagedom::NodeAccess::addErrorState(*loud, Node::INVALID_CHAR_ERROR);
    loud->correctSource();
    EXPECT_EQ("a&#60;b", loud->getSource());
    EXPECT_FALSE(smallhtml::has(loud, Node::INVALID_CHAR_ERROR));

    Text* spaced = text(add(doc, "P"), "  a \t b" + NBSP + " ");
    spaced->compact();
    EXPECT_EQ("a b" + NBSP + " ", spaced->getData());
    EXPECT_EQ("a b&nbsp; ", spaced->getSource());
}

TEST_F(CharacterDataTest, CommentsAndCDATA)
{
    Comment* c = doc->createComment("note");
    p->appendChild(c);
    c->setJSPFormat(true);
    EXPECT_EQ("<%--note--%>", c->getSource());
    c->setSource("<%-- kept --%>");
    c->setJSPFormat(true);  // unchanged: the source is not produced again
    EXPECT_EQ("<%-- kept --%>", c->getSource());
    c->setJSPFormat(false);
    EXPECT_EQ("<!--note-->", c->getSource());
    // Dashes in the data never close the comment early.
    auto body = [c] {
        std::string source = c->getSource();
        EXPECT_EQ(0u, source.find("<!--"));
        EXPECT_EQ(source.size() - 3, source.rfind("-->"));
        return source.substr(4, source.size() - 7);
    };
    for (const char* data : {"a--b-", "---->", "-"}) {
        c->setData(data);
        std::string written = body();
        EXPECT_EQ(std::string::npos, written.find("--")) << data;
        EXPECT_NE('-', written.back()) << data;
        EXPECT_EQ(data, c->getData());
    }

    CDATASection* cd = doc->createCDATASection("x<y");
    p->appendChild(cd);
    EXPECT_EQ("<![CDATA[x<y]]>", cd->getSource());
    CDATASection* raw = doc->createCDATASection("x<y");
    add(doc, "XMP")->appendChild(raw);
    EXPECT_EQ("x<y", raw->getSource());
    cd->setData("z");
    EXPECT_EQ("<![CDATA[z]]>", cd->getSource());
}

TEST_F(CharacterDataTest, ProcessingInstructionPseudoAttributes)
{
    ProcessingInstruction* decl = doc->createProcessingInstruction("xml", "version=\"1.0\"");
    doc->insertBefore(decl, doc->getFirstChild());
    EXPECT_EQ("<?xml version=\"1.0\"?>", decl->getSource());
    decl->setAttribute("version", "1.1");
    EXPECT_EQ("version=\"1.1\"", decl->getData());
    decl->setAttribute("encoding", "UTF-8");
    EXPECT_EQ("<?xml version=\"1.1\" encoding=\"UTF-8\"?>", decl->getSource());

    Ref<ProcessingInstruction> pi(doc->createProcessingInstruction("x", "a='version' xversion = 2"));
    pi->setAttribute("version", "3");
    EXPECT_EQ("a='version' xversion = 2 version=\"3\"", pi->getData());
    pi->setAttribute("xversion", "4");
    EXPECT_EQ("a='version' xversion=\"4\" version=\"3\"", pi->getData());
    Ref<ProcessingInstruction> empty(doc->createProcessingInstruction("xml", ""));
    empty->setAttribute("version", "1.0");
    EXPECT_EQ("version=\"1.0\"", empty->getData());
    // A pair inside a quoted value is not a pair; an unclosed quote runs to
    // the end of the data.
    Ref<ProcessingInstruction> quoted(doc->createProcessingInstruction("x", "a=\"x version=1\" version='2'"));
    quoted->setAttribute("version", "9");
    EXPECT_EQ("a=\"x version=1\" version=\"9\"", quoted->getData());
    Ref<ProcessingInstruction> open(doc->createProcessingInstruction("x", "a=\"open version=1"));
    open->setAttribute("version", "9");
    EXPECT_EQ("a=\"open version=1 version=\"9\"", open->getData());
}

TEST_F(CharacterDataTest, EntityReferencesAndWriting)
{
    EntityReference* known = doc->createEntityReference("nbsp");
    EntityReference* unknown = doc->createEntityReference("NBSP");
    EXPECT_EQ(0u, known->getErrorState());
    EXPECT_EQ("&#160;", known->getValue());
    EXPECT_TRUE(smallhtml::has(unknown, Node::UNDEFINED_NAME_ERROR));
    EXPECT_EQ("", unknown->getNodeValue());

    p->appendChild(doc->createTextNode("a"));
    p->appendChild(known);
    p->appendChild(unknown);
    p->appendChild(doc->createComment("c"));
    p->appendChild(doc->createCDATASection("d"));
    p->appendChild(doc->createProcessingInstruction("php", "echo 1;"));
    EXPECT_EQ("<P>a&nbsp;&NBSP;<!--c--><![CDATA[d]]><?php echo 1;?></P>", doc->getSource());

    // A reference keeps its entity alive after the document is gone.
    Ref<Node> copy(known->cloneNode(true));
    doc->releaseRef();
    doc = DOMImpl::createDocument("none");
    EXPECT_EQ("&#160;", static_cast<EntityReference*>(copy.get())->getValue());
    EXPECT_EQ("&nbsp;", copy->getSource());
}
