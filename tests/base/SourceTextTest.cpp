#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "base/SourceText.h"

// Stored texts are kept three ways: short ones inside the object, pieces of
// a page as spans of the page's block, longer ones in a block of their own.
// Whatever the way, a text reads back the bytes it was given.
TEST(SourceText, EveryWayOfKeepingReadsBackTheSameBytes)
{
    pagedom::SourceText::Block* page = pagedom::SourceText::Block::make("<p>twelve bytes and a longer run of text</p>\0x" + std::string(1, '\0'));
    const std::string& whole = page->text();
    for (std::size_t length : {std::size_t(0), std::size_t(1), std::size_t(11), std::size_t(12), std::size_t(13), std::size_t(30)}) {
        for (std::size_t offset : {std::size_t(0), std::size_t(3), whole.size() - length}) {
            pagedom::SourceText span(page, offset, length);
            EXPECT_EQ(whole.substr(offset, length), span.str()) << offset << "+" << length;
            EXPECT_EQ(length, span.size());
            EXPECT_EQ(length == 0, span.empty());
            pagedom::SourceText copy(span);
            pagedom::SourceText moved(std::move(copy));
            EXPECT_EQ(span.str(), moved.str());
            EXPECT_TRUE(copy.empty());
            pagedom::SourceText detached = span.detached();
            EXPECT_EQ(span.str(), detached.str());
        }
    }
    // Texts outlive the page block they share.
    pagedom::SourceText kept(page, 3, 30);
    page->release();
    EXPECT_EQ("twelve bytes and a longer run", kept.str().substr(0, 29));

    for (const std::string& text : {std::string(), std::string("a"), std::string(12, 'b'),
                                    std::string(13, 'c'), std::string("nul\0inside", 10), std::string(100, 'd')}) {
        pagedom::SourceText own(text);
        EXPECT_EQ(text, own.str());
        pagedom::SourceText assigned;
        assigned = text;
        EXPECT_EQ(text, assigned.str());
        // Assigning a text its own bytes (inside or in its block) keeps them.
        assigned = assigned.str();
        EXPECT_EQ(text, assigned.str());
        assigned = assigned;
        EXPECT_EQ(text, assigned.str());
        assigned.clear();
        EXPECT_TRUE(assigned.empty());
        EXPECT_EQ("", assigned.str());
    }

    // Replacing a long text by a short one and back again.
    pagedom::SourceText changing(std::string(40, 'x'));
    changing = std::string("short");
    EXPECT_EQ("short", changing.str());
    changing = std::string(40, 'y');
    EXPECT_EQ(std::string(40, 'y'), changing.str());
    changing = pagedom::SourceText(std::string("z"));
    EXPECT_EQ("z", changing.str());
}
