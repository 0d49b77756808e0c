// Nodes come from per-thread free lists.  Pages read on other threads (one
// after the other: a tree is used by one thread at a time), nodes released
// on another thread than the one that made them, and threads that end while
// their nodes live on must all work, with every page intact.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "dom.h"

namespace {

std::string pageNumber(int n)
{
    std::string page = "<html><body>";
    for (int i = 0; i < 200; ++i)
        page += "<p class=c" + std::to_string(n) + ">text " + std::to_string(i) + " <b>bold</b></p>\n";
    return page + "</body></html>";
}

Document* read(const std::string& page)
{
    Document* doc = DOMImpl::createDocument("HTML", DOMImpl::JSP_NONE);
    doc->createNodes(page.data(), static_cast<unsigned long>(page.size()), nullptr);
    return doc;
}

TEST(NodeAllocator, NodesOutliveTheThreadThatMadeThem)
{
    const int threads = 4;
    std::vector<Node*> kept(threads, nullptr);
    std::vector<bool> intact(threads, false);
    for (int t = 0; t < threads; ++t) {
        std::thread worker([t, &kept, &intact]() {
            bool ok = true;
            for (int round = 0; round < 20; ++round) {
                std::string page = pageNumber(t * 100 + round);
                Document* doc = read(page);
                ok = ok && doc->getChildSource() == page;
                if (round == 19) {
                    // A node the main thread releases after this thread ends.
                    kept[t] = doc->getHTMLElement()->getLastChild();
                    kept[t]->addRef();
                }
                doc->releaseRef();
            }
            intact[t] = ok;
        });
        worker.join();
    }
    for (int t = 0; t < threads; ++t) {
        EXPECT_TRUE(intact[t]) << t;
        ASSERT_NE(nullptr, kept[t]);
        EXPECT_EQ("body", kept[t]->getNodeName());
        EXPECT_NE(std::string::npos, kept[t]->getSource().find("<b>bold</b>"));
        kept[t]->releaseRef();
    }
    // The memory of ended threads is used again.
    for (int round = 0; round < 10; ++round) {
        std::string page = pageNumber(round);
        Document* doc = read(page);
        EXPECT_EQ(page, doc->getChildSource());
        doc->releaseRef();
    }
}

} // namespace
