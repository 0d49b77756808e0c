// Documents on several threads at once.  Each thread makes HTML documents
// from the registry, reads pages into them, edits them with recording on,
// undoes and redoes the edit, writes, copies and releases them, lists the
// errors of a page and repairs it, round after round, while the others do
// the same with the same shared document type.
// Every result must equal the one the same work gives on one thread alone.
// CI runs these tests under ThreadSanitizer (PAGEDOM_TSAN), which turns any
// unsynchronised access into a failure.

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "../../bench/BenchPages.h"

namespace {

constexpr unsigned THREADS = 4;
constexpr unsigned ROUNDS = 24;

// Generated pages of different sizes (tables, forms, lists, JSP, entities),
// and short ones with the mistakes real pages are full of.
std::vector<std::string> pages()
{
    std::vector<std::string> out;
    for (std::size_t size : {6000u, 11000u, 17000u, 26000u})
        out.push_back(benchpages::generatePage(size));
    out.push_back("<html><body><p>one<p>two &amp; &nbsp;three<table><tr><td>cell<td>cell"
                  "</table><ul><li>a<li>b</ul><form><input name=q><select><option>x"
                  "<option selected>y</select></form><p>&unknown; &#169; &lt;b&gt;</body>");
    out.push_back("<table><td>stray</td><td>cells</table><li>item</span><p><font><table><tr><td>x</table></font>"
                  "<title>late</title><body class=two>second body");
    out.push_back("<%@ page import=\"java.util.*\" %><HTML><HEAD><TITLE>t</TITLE></HEAD>"
                  "<BODY><% int n = 3; %><P ALIGN=center>n is <%= n %></P><!-- note -->"
                  "<B><I>crossed</B></I><DIV><P>open</DIV></BODY></HTML>");
    return out;
}

// Edits a document the way an editor does: attributes set, elements and
// texts added, elements removed, text data replaced, entity references
// inserted and subtrees formatted.  Deterministic, so that every thread's
// result can be compared with one made alone.
void edit(Document* doc)
{
    unsigned i = 0;
    Node* n = doc->getFirstChild();
    while (n) {
        ++i;
        Node* next = n->getNextNode(doc);
        if (n->getNodeType() == Node::ELEMENT_NODE) {
            Element* e = static_cast<Element*>(n);
            Node* parent = e->getParentNode();
            if (i % 13 == 0 && parent && parent != doc) {
                next = e->getNextNode(doc, true);
                parent->removeChild(e)->releaseRef();
                n = next;
                continue;
            }
            if (i % 3 == 0)
                e->setAttribute("title", "edit \"" + std::to_string(i) + "\" & more");
            if (i % 11 == 0) {
                Element* added = doc->createElement("SPAN");
                added->appendChild(doc->createTextNode("added " + std::to_string(i)));
                e->insertBefore(added, e->getFirstChild());
                next = e->getNextNode(doc);
            }
            if (i % 17 == 0)
                e->appendChild(doc->createEntityReference("amp"));
            if (i % 19 == 0)
                e->formatSource();
        } else if (n->getNodeType() == Node::TEXT_NODE && i % 5 == 0) {
            static_cast<Text*>(n)->setData("text " + std::to_string(i) + " <&>");
        }
        n = next;
    }
}

// What one page gives: the page written back as read, after the edits
// (recorded as one step), after undoing and redoing that step, the deep
// copy of the edited document written, and the page as read repaired, with
// how many errors it listed.
struct Outcome {
    std::string read;
    std::string edited;
    std::string undone;
    std::string redone;
    std::string copied;
    std::string repaired;
    std::size_t errors = 0;

    bool operator==(const Outcome& other) const
    {
        return read == other.read && edited == other.edited && undone == other.undone &&
               redone == other.redone && copied == other.copied && repaired == other.repaired &&
               errors == other.errors;
    }
};

Outcome work(const std::string& page)
{
    Outcome out;
    Document* doc = DOMImpl::createDocument("HTML");
    doc->createNodes(page.data(), static_cast<unsigned long>(page.size()), nullptr);
    out.read = doc->getSource();
    doc->enableRecord(true);
    edit(doc);
    doc->endUpdate();
    out.edited = doc->getSource();
    doc->undo(0);
    out.undone = doc->getSource();
    doc->redo(0);
    out.redone = doc->getSource();
    Node* copy = doc->cloneNode(true);
    out.copied = copy->getSource();
    DOM::getDOM()->deleteDocument(doc);
    copy->releaseRef();

    Document* broken = DOMImpl::createDocument("HTML");
    broken->createNodes(page.data(), static_cast<unsigned long>(page.size()), nullptr);
    out.errors = broken->getErrorList().size();
    broken->correctError(nullptr);
    out.repaired = broken->getSource();
    DOM::getDOM()->deleteDocument(broken);
    return out;
}

} // namespace

TEST(DocumentThreads, IndependentDocumentsShareTheirTypeSafely)
{
    const std::vector<std::string> texts = pages();
    std::vector<Outcome> expected;
    for (const std::string& text : texts)
        expected.push_back(work(text));
    for (std::size_t p = 0; p < texts.size(); ++p) {
        EXPECT_EQ(texts[p], expected[p].read);
        EXPECT_NE(expected[p].read, expected[p].edited);
        EXPECT_EQ(expected[p].edited, expected[p].copied);
        EXPECT_EQ(expected[p].read, expected[p].undone);
        EXPECT_EQ(expected[p].edited, expected[p].redone);
    }

    const DocumentType* type = DOMImpl::getDocumentType("HTML");
    ASSERT_NE(nullptr, type);
    const unsigned long holders = type->getRefCount();

    std::atomic<unsigned> differing{0};
    std::atomic<unsigned> done{0};
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < THREADS; ++t) {
        threads.emplace_back([&, t] {
            for (unsigned round = 0; round < ROUNDS; ++round) {
                const std::size_t p = (t + round) % texts.size();
                if (!(work(texts[p]) == expected[p]))
                    ++differing;
                ++done;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();

    EXPECT_EQ(THREADS * ROUNDS, done.load());
    EXPECT_EQ(0u, differing.load());
    // Every document took and gave back its reference on the shared type.
    EXPECT_EQ(holders, type->getRefCount());
}

// A document may move between threads when the host hands it over: one
// thread reads it, the next edits it, a third copies and releases it.
TEST(DocumentThreads, ADocumentHandedOverKeepsWorking)
{
    const std::string page = pages().back();
    const Outcome expected = work(page);

    Document* doc = DOMImpl::createDocument("HTML");
    std::thread reader([&] { doc->createNodes(page.data(), static_cast<unsigned long>(page.size()), nullptr); });
    reader.join();
    std::thread editor([&] { edit(doc); });
    editor.join();
    std::string copied;
    std::thread finisher([&] {
        Node* copy = doc->cloneNode(true);
        copied = copy->getSource();
        copy->releaseRef();
        DOM::getDOM()->deleteDocument(doc);
    });
    finisher.join();
    EXPECT_EQ(expected.copied, copied);
}

// The first documents of a document type may be made on several threads at
// once: whatever the type works out on first use must be worked out once.
TEST(DocumentThreads, AFreshTypeFirstUsedOnSeveralThreads)
{
    const std::vector<std::string> texts = pages();
    const DocumentType* html = DOMImpl::getDocumentType("HTML");
    ASSERT_NE(nullptr, html);
    // What a copy of the type gives on one thread.
    std::vector<std::string> expected;
    DocumentType* alone = static_cast<DocumentType*>(html->cloneNode(true));
    for (const std::string& text : texts) {
        Document* doc = DOMImpl::createDocument("HTML", alone);
        doc->createNodes(text.data(), static_cast<unsigned long>(text.size()), nullptr);
        edit(doc);
        expected.push_back(doc->getSource());
        doc->releaseRef();
    }
    alone->releaseRef();

    for (unsigned attempt = 0; attempt < 3; ++attempt) {
        DocumentType* fresh = static_cast<DocumentType*>(html->cloneNode(true));
        std::atomic<unsigned> differing{0};
        std::vector<std::thread> threads;
        for (unsigned t = 0; t < THREADS; ++t) {
            threads.emplace_back([&, t] {
                const std::size_t p = (t + attempt) % texts.size();
                Document* doc = DOMImpl::createDocument("HTML", fresh);
                doc->createNodes(texts[p].data(), static_cast<unsigned long>(texts[p].size()), nullptr);
                edit(doc);
                if (doc->getSource() != expected[p])
                    ++differing;
                doc->releaseRef();
            });
        }
        for (std::thread& thread : threads)
            thread.join();
        EXPECT_EQ(0u, differing.load());
        EXPECT_EQ(1u, fresh->getRefCount());
        fresh->releaseRef();
    }
}

// A host may read a shared document type from several threads at once: its
// lookups, its declaration lists and maps, and what its element types say.
TEST(DocumentThreads, ASharedTypeIsReadFromSeveralThreads)
{
    const DocumentType* html = DOMImpl::getDocumentType("HTML");
    ASSERT_NE(nullptr, html);
    auto survey = [html] {
        std::string out;
        const NamedNodeMap* types = html->getElementTypes();
        for (unsigned long i = 0; i < types->getLength(); ++i)
            out += types->item(i)->getNodeName() + ' ';
        dom::NodeList decls = html->getDeclNodes();
        for (unsigned long i = 0; i < decls.length(); ++i)
            out += std::to_string(decls.item(i)->getNodeType());
        dom::NodeList entities = html->getEntityNodes();
        out += std::to_string(entities.length());
        for (const char* name : {"P", "TABLE", "UL", "BODY"}) {
            const ElementType* type = html->getElementType(name);
            for (const std::string& child : type->getContentNames())
                out += child;
        }
        out += html->getEntity("amp")->getNodeName();
        out += html->getCharEntity(160)->getNodeName();
        return out;
    };
    const std::string expected = survey();

    std::atomic<unsigned> differing{0};
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < THREADS; ++t)
        threads.emplace_back([&] {
            for (unsigned round = 0; round < ROUNDS; ++round)
                if (survey() != expected)
                    ++differing;
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(0u, differing.load());
}

// A deep copy may leave for another thread while the original stays: the
// two trees share no counted text, whatever their nodes were read from
// (texts, comments, script and JSP code, tags), so each can be edited and
// released on its own thread at the same time.
TEST(DocumentThreads, ACopyLeavesForAnotherThreadWhileTheOriginalStays)
{
    const std::string page = "<%@ page language=\"java\" %>\n<HTML><HEAD><SCRIPT>var plain = 1;</SCRIPT></HEAD>\n"
                             "<BODY><!-- a comment long enough --><P CLASS=\"x\">plain words as read, no entity "
                             "in them</P>\n<% int n = 0; %><P>more &amp; words</P><![CDATA[ raw ]]></BODY></HTML>\n";
    for (unsigned round = 0; round < ROUNDS; ++round) {
        Document* doc = DOMImpl::createDocument("HTML", DOMImpl::JSP_10);
        doc->createNodes(page.data(), static_cast<unsigned long>(page.size()), nullptr);
        Node* copy = doc->cloneNode(true);
        std::string copied;
        std::thread away([&] {
            copied = copy->getSource();
            copy->releaseRef();
        });
        const std::string read = doc->getSource();
        DOM::getDOM()->deleteDocument(doc);
        away.join();
        EXPECT_EQ(page, read);
        EXPECT_EQ(page, copied);
    }
}
