// Random sequences of every public mutating operation, the misuses a host
// may commit among them, on the example pages and on generated pages: the
// library must not crash, leak or read freed memory, and the page written
// after any call must be the page a deep copy of the document writes.
#include <gtest/gtest.h>

#include "writing/RandomEdits.h"

namespace {

using namespace randomedits;

void runEdits(Misuse misuse)
{
    const unsigned SEQUENCES = 4;
    const unsigned CALLS = 40;
    for (const Source& page : pages()) {
        ASSERT_FALSE(page.text.empty()) << page.name;
        for (unsigned s = 0; s < SEQUENCES; ++s) {
            SCOPED_TRACE(page.name);
            Document* doc = DOMImpl::createDocument("HTML", page.jsp);
            doc->createNodes(page.text.data(), static_cast<unsigned long>(page.text.size()), nullptr);
            ASSERT_EQ(page.text, doc->getSource());
            Editor editor(doc, s * 7919 + page.text.size(), misuse);
            const bool agreed = editor.run(CALLS);
            DOM::getDOM()->deleteDocument(doc);
            if (!agreed)
                return;
        }
    }
}

TEST(EditProperty, RandomEditsWriteWhatADeepCopyWrites)
{
    runEdits(Misuse::NONE);
}

// The misuses a host may commit, each mixed among the edits in a test of
// its own: they must be refused or survived, never crash.
TEST(EditProperty, NullArgumentsAmongEdits)
{
    runEdits(Misuse::NULL_ARGUMENTS);
}

TEST(EditProperty, PagesReadIntoATextNodeAmongEdits)
{
    runEdits(Misuse::PAGE_INTO_A_LEAF);
}

TEST(EditProperty, ElementsFromAReleasedDocumentAmongEdits)
{
    runEdits(Misuse::FOREIGN_NODES);
}

TEST(EditProperty, OtherMisusesAmongEdits)
{
    runEdits(Misuse::OTHER_MISUSES);
}

TEST(EditProperty, AuthorTimeVisualCyclesAmongEdits)
{
    runEdits(Misuse::VISUAL_CYCLES);
}

} // namespace
