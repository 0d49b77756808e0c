// Layout and source offsets of text nodes read from real and generated
// pages: every character position converts to the source position of the
// same character and back, references counting as one character.
#include <gtest/gtest.h>

#include <string>

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
