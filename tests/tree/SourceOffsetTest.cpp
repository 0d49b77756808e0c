// Layout and source offsets of text nodes read from real and generated
// pages: every character position converts to the source position of the
// same character and back, references counting as one character.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/PCDATA.h"
#include "writing/RandomEdits.h"

namespace {

using namespace randomedits;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Whether source at s writes the data character at i.
bool sameCharacter(const std::string& data, std::size_t i, const std::string& source, std::size_t s)
{
    if (s >= source.size())
        return false;
    if (isBlank(data[i]))
        return isBlank(source[s]);
    if (data[i] == PCDATA::ESC)
        return source[s] == '&' || source[s] == data[i + 1];
    if (data[i] == PCDATA::WIDE)
        return source[s] == '&';
    return source[s] == data[i];
}

// Checks every character position of text; false at the first fault.
bool checkText(const Text* text, const std::string& where)
{
    const std::string data = text->getData();
    const std::string source = text->getSource();
    std::size_t i = 0;
    while (true) {
        const int s = Document::convertOffsetLayout2Source(text, static_cast<int>(i));
        const int back = Document::convertOffsetSource2Layout(text, s);
        const bool atEnd = i >= data.size();
        if (back != static_cast<int>(i) || (!atEnd && !sameCharacter(data, i, source, static_cast<std::size_t>(s)))) {
            ADD_FAILURE() << where << ": layout " << i << " -> source " << s << " -> layout " << back
                          << "\ndata: " << data << "\nsource: " << source;
            return false;
        }
        if (atEnd)
            return true;
        const int step = PCDATA::pclen(data.c_str() + i);
        i += static_cast<std::size_t>(step > 0 ? step : 1);
    }
}

TEST(SourceOffsets, EveryCharacterConvertsBothWays)
{
    for (const Source& page : pages()) {
        Document* doc = DOMImpl::createDocument("HTML", page.jsp);
        doc->createNodes(page.text.data(), static_cast<unsigned long>(page.text.size()), nullptr);
        bool ok = true;
        for (Node* n = doc; ok && n; n = n->getNextNode(doc))
            if (n->getNodeType() == Node::TEXT_NODE)
                ok = checkText(static_cast<Text*>(n), page.name);
        doc->releaseRef();
        if (!ok)
            return;
    }
}

// Page-wide offsets: a selection's offsets found in the page source are
// taken back as the same selection, and a position in a text is at the
// same character of the whole page.
TEST(SourceOffsets, PageWideSelectionsComeBack)
{
    for (const Source& page : pages()) {
        Document* doc = DOMImpl::createDocument("HTML", page.jsp);
        doc->createNodes(page.text.data(), static_cast<unsigned long>(page.text.size()), nullptr);
        const std::string written = doc->getSource();
        std::vector<Node*> nodes;
        for (Node* n = doc->getFirstChild(); n; n = n->getNextNode(doc))
            nodes.push_back(n);
        Random random(page.text.size());
        for (int round = 0; round < 40 && !nodes.empty(); ++round) {
            Node* a = random.pick(nodes);
            Node* b = random.pick(nodes);
            auto offsetIn = [&](Node* n) -> unsigned long {
                if (n->getNodeType() == Node::TEXT_NODE)
                    return random.next(static_cast<unsigned>(static_cast<Text*>(n)->getLength()) + 1);
                return random.next(static_cast<unsigned>(n->getChildLength()) + 1);
            };
            doc->select(a, offsetIn(a), b, offsetIn(b), false);
            unsigned long start = 0;
            unsigned long end = 0;
            doc->getSourceSelection(start, end);
            ASSERT_LE(start, end) << page.name;
            ASSERT_LE(end, written.size()) << page.name;
            doc->setSourceSelection(start, end);
            unsigned long again = 0;
            unsigned long againEnd = 0;
            doc->getSourceSelection(again, againEnd);
            ASSERT_EQ(start, again) << page.name << " round " << round;
            ASSERT_EQ(end, againEnd) << page.name << " round " << round;
        }
        // A text position is the same character of the page.
        doc->eraseSelections();
        for (Node* n : nodes) {
            if (n->getNodeType() != Node::TEXT_NODE || static_cast<Text*>(n)->getLength() == 0)
                continue;
            doc->setLayoutCursor(n, 0);
            unsigned long at = 0;
            unsigned long same = 0;
            doc->getSourceSelection(at, same);
            const std::string source = n->getSource();
            const int into = Document::convertOffsetLayout2Source(n, 0);
            ASSERT_EQ(source.substr(static_cast<std::size_t>(into)),
                      written.substr(at, source.size() - static_cast<std::size_t>(into)))
                << page.name;
        }
        doc->releaseRef();
    }
}

TEST(SourceOffsets, WhatASelectionHolds)
{
    const std::string page = "<html><body><p>a</p><p>b<i>c</i></p><p>d</p></body></html>";
    Document* doc = DOMImpl::createDocument("HTML");
    doc->createNodes(page.data(), static_cast<unsigned long>(page.size()), nullptr);
    Element* body = doc->getBODYElement(nullptr);
    Node* first = body->getChildNode(0);
    Node* second = body->getChildNode(1);
    Node* third = body->getChildNode(2);
    // The body's children 1 up to 2: the second paragraph and all inside it.
    doc->select(body, 2, body, 1, false);
    EXPECT_EQ(1u, doc->getSingleSelection()->startOffset);
    EXPECT_FALSE(doc->isSelected(first));
    EXPECT_TRUE(doc->isSelected(second));
    EXPECT_TRUE(doc->isSelected(second->getLastChild()->getFirstChild()));
    EXPECT_FALSE(doc->isSelected(third));
    EXPECT_FALSE(doc->isSelected(third->getFirstChild()));
    // The selection's source is the second paragraph's.
    unsigned long start = 0;
    unsigned long end = 0;
    doc->getSourceSelection(start, end);
    EXPECT_EQ("<p>b<i>c</i></p>", page.substr(start, end - start));
    // Several selections: a node is selected when it starts one.
    doc->select(third, 0, third, 1, true);
    EXPECT_TRUE(doc->isSelected(third));
    EXPECT_FALSE(doc->isSelected(second));
    dom::Range range = doc->getRange();
    EXPECT_TRUE(range.isCollapsed());
    EXPECT_EQ(body, range.startContainer());
    doc->releaseRef();
}

TEST(SourceOffsets, ReferencesAndBlankRuns)
{
    const std::string page = "<html><body><p>fish &amp;  chips&#169;\r\n  x</p><pre>a  b</pre></body></html>";
    Document* doc = DOMImpl::createDocument("HTML");
    doc->createNodes(page.data(), static_cast<unsigned long>(page.size()), nullptr);
    Element* body = doc->getBODYElement(nullptr);
    Text* p = static_cast<Text*>(body->getFirstChild()->getFirstChild());
    Text* pre = static_cast<Text*>(body->getLastChild()->getFirstChild());
    // "fish " then the reference: just after its escape is just after ';'.
    const int afterAmp = Document::convertOffsetLayout2Source(p, 7);
    EXPECT_EQ("fish &amp;", p->getSource().substr(0, static_cast<std::size_t>(afterAmp)));
    // Two spaces in the source are one position of the layout.
    EXPECT_EQ(Document::convertOffsetSource2Layout(p, 11), Document::convertOffsetSource2Layout(p, 12));
    // Preformatted blanks count one by one.
    EXPECT_EQ(2, Document::convertOffsetLayout2Source(pre, 2));
    EXPECT_EQ(0, Document::convertOffsetLayout2Source(body, 3));
    EXPECT_EQ(0, Document::convertOffsetLayout2Source(p, -1));

    // The cursor answers in both forms.
    doc->setSourceCursor(p, afterAmp);
    Node* node = nullptr;
    int offset = -1;
    doc->getLayoutCursor(&node, &offset);
    EXPECT_EQ(p, node);
    EXPECT_EQ(7, offset);
    doc->setLayoutCursor(p, 7);
    doc->getSourceCursor(nullptr, &offset);
    EXPECT_EQ(afterAmp, offset);
    doc->releaseRef();
}

} // namespace
