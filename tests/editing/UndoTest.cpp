// Recording edits into steps and undoing and redoing them on pages read
// from text: what each step gives back, the step limit, suspension, the
// record position, cursor and selection, and deleting subtrees.
#include <gtest/gtest.h>

#include <strings.h>

#include <string>
#include <vector>

#include "dom.h"
#include "tree/DocumentAccess.h"

namespace {

struct Page {
    explicit Page(const std::string& text) : doc(DOMImpl::createDocument("HTML"))
    {
        doc->createNodes(text.data(), static_cast<unsigned long>(text.size()), nullptr);
        doc->enableRecord(true);
    }
    ~Page() { doc->releaseRef(); }

    // The first element named name (ignoring case) in document order.
    Element* element(const std::string& name) const
    {
        for (Node* n = doc; n; n = n->getNextNode(doc))
            if (n->getNodeType() == Node::ELEMENT_NODE && strcasecmp(n->getNodeName().c_str(), name.c_str()) == 0)
                return static_cast<Element*>(n);
        return nullptr;
    }
    Text* textOf(const std::string& name) const { return static_cast<Text*>(element(name)->getFirstChild()); }
    std::string source() const { return doc->getSource(); }

    Document* doc;
};

TEST(Undo, TypingIntoOneTextIsOneStep)
{
    const std::string text = "<html><body><p class=a>Hello</p></body></html>";
    Page page(text);
    Text* hello = page.textOf("p");
    for (const char* c : {"!", "!", "?"})
        hello->insertData(hello->getLength(), c);
    page.doc->endUpdate();
    EXPECT_EQ("<html><body><p class=a>Hello!!?</p></body></html>", page.source());
    EXPECT_EQ(1, page.doc->canUndo());
    EXPECT_EQ(0, page.doc->undo(0));
    EXPECT_EQ(text, page.source());
    EXPECT_EQ(1, page.doc->canRedo());
    EXPECT_EQ(0, page.doc->redo(0));
    EXPECT_EQ("<html><body><p class=a>Hello!!?</p></body></html>", page.source());
}

// An element whose attributes were kept as they were read comes back with
// the start tag the page wrote, byte for byte, and so does the whole page.
TEST(Undo, AnUndoneEditWritesThePageAsItWasRead)
{
    const std::string text = "<HTML><body BGCOLOR = white >\r\n<P  class='x'   ID=a>one &amp; two</p>"
                             "<TABLE border=1><tr><td>cell</td></tr></TABLE></body></HTML>";
    Page page(text);
    Element* p = page.element("p");
    p->setAttribute("class", "y");
    p->removeAttribute("ID");
    page.element("body")->setAttribute("bgcolor", "black");
    page.element("table")->getParentNode()->removeChild(page.element("table"))->releaseRef();
    page.doc->endUpdate();
    const std::string edited = page.source();
    EXPECT_NE(text, edited);
    page.doc->undo(0);
    EXPECT_EQ(text, page.source());
    EXPECT_EQ(text, page.doc->getChildSource());
    page.doc->redo(0);
    EXPECT_EQ(edited, page.source());
}

TEST(Undo, OnlyTheNewestThirtyStepsAreKept)
{
    Page page("<html><body><p>x</p></body></html>");
    Element* body = page.element("body");
    std::vector<std::string> pages{page.source()};
    for (int i = 0; i < 31; ++i) {
        body->appendChild(page.doc->createTextNode(std::to_string(i)));
        page.doc->endUpdate();
        pages.push_back(page.source());
    }
    EXPECT_EQ(30, page.doc->canUndo());
    EXPECT_EQ(31, page.doc->getRecordCount());
    for (int i = 30; i > 0; --i) {
        EXPECT_EQ(i - 1, page.doc->undo(0));
        EXPECT_EQ(pages[static_cast<std::size_t>(i)], page.source());
    }
    // The first step is gone: nothing more to undo, though the position
    // still goes down.
    EXPECT_EQ(0, page.doc->undo(0));
    EXPECT_EQ(pages[1], page.source());
    EXPECT_EQ(0, page.doc->getRecordCount());
    EXPECT_EQ(30, page.doc->canRedo());

    // A new change makes the undone steps unreachable.
    body->appendChild(page.doc->createTextNode("new"));
    EXPECT_EQ(0, page.doc->canRedo());
    EXPECT_EQ(1, page.doc->canUndo());
    EXPECT_EQ(0, page.doc->redo(0));

    page.doc->clearRecord();
    EXPECT_EQ(0, page.doc->canUndo());
    EXPECT_EQ(0, page.doc->undo(0));
    body->appendChild(page.doc->createTextNode("after"));
    page.doc->endUpdate();
    EXPECT_EQ(1, page.doc->canUndo());
}

TEST(Undo, SuspendedChangesFormOneStep)
{
    Page page("<html><body><p>a</p></body></html>");
    Element* body = page.element("body");
    std::vector<std::string> log;

    // Suspended, A, endUpdate, B, endUpdate: two steps, the first closed
    // when B is recorded.
    const std::string start = page.source();
    page.doc->suspendRecord(true);
    body->appendChild(page.doc->createTextNode("A"));
    page.doc->endUpdate();
    EXPECT_EQ(0, page.doc->getRecordCount());
    const std::string afterA = page.source();
    body->appendChild(page.doc->createTextNode("B"));
    EXPECT_EQ(1, page.doc->getRecordCount());
    page.doc->endUpdate();
    EXPECT_EQ(2, page.doc->canUndo());
    page.doc->undo(0);
    EXPECT_EQ(afterA, page.source());
    page.doc->undo(0);
    EXPECT_EQ(start, page.source());

    // Suspended, C, resumed, D, endUpdate: one step.
    page.doc->suspendRecord(true);
    body->appendChild(page.doc->createTextNode("C"));
    page.doc->suspendRecord(false);
    body->appendChild(page.doc->createTextNode("D"));
    page.doc->endUpdate();
    EXPECT_EQ(1, page.doc->canUndo());
    page.doc->undo(0);
    EXPECT_EQ(start, page.source());
}

// Undo puts the cursor and the selection back where they were when the
// step began, redo where they were when it ended; both are kept as places
// in the tree, so they find the copies undo puts in.
TEST(Undo, CursorAndSelectionComeBack)
{
    Page page("<html><body><p>first</p><p>second</p></body></html>");
    Document* doc = page.doc;
    Text* second = page.textOf("p");
    second = static_cast<Text*>(page.element("body")->getLastChild()->getFirstChild());
    doc->setLayoutCursor(second, 2);
    doc->select(second, 4, second, 1, false);
    ASSERT_NE(nullptr, doc->getSingleSelection());
    EXPECT_EQ(1u, doc->getSingleSelection()->startOffset);  // put in order

    second->insert(6, "!", true, Text::SPACE_NORMAL);
    doc->select(second, 0, second, 7, false);
    doc->endUpdate();
    EXPECT_EQ(second, pagedom::DocumentAccess::cursorNode(*doc));
    EXPECT_EQ(7, pagedom::DocumentAccess::layoutOffset(*doc));

    doc->undo(0);
    Node* restored = page.element("body")->getLastChild()->getFirstChild();
    EXPECT_EQ(restored, pagedom::DocumentAccess::cursorNode(*doc));
    EXPECT_EQ(2, pagedom::DocumentAccess::layoutOffset(*doc));
    ASSERT_NE(nullptr, doc->getSingleSelection());
    EXPECT_EQ(restored, doc->getSingleSelection()->startNode);
    EXPECT_EQ(1u, doc->getSingleSelection()->startOffset);
    EXPECT_EQ(4u, doc->getSingleSelection()->endOffset);

    doc->redo(0);
    restored = page.element("body")->getLastChild()->getFirstChild();
    EXPECT_EQ(restored, pagedom::DocumentAccess::cursorNode(*doc));
    EXPECT_EQ(7, pagedom::DocumentAccess::layoutOffset(*doc));
    EXPECT_EQ(7u, doc->getSingleSelection()->endOffset);

    // What is selected, and the selection as a range.
    EXPECT_TRUE(doc->isSelected(restored));
    EXPECT_FALSE(doc->isSelected(page.element("p")));
    dom::Range range = doc->getRange();
    EXPECT_EQ(restored, range.startContainer());
    EXPECT_EQ(7u, range.endOffset());

    // Two selections: neither is single.
    doc->select(restored, 0, restored, 1, true);
    EXPECT_EQ(nullptr, doc->getSingleSelection());
    EXPECT_EQ(2u, doc->getNumOfSelections());
    doc->eraseSelections();
    EXPECT_EQ(0u, doc->getNumOfSelections());
}

TEST(Undo, DeletingKeepsTheCursorAndSelectionInTheTree)
{
    Page page("<html><body><p>one</p><div><b>two</b></div><p>three</p></body></html>");
    Document* doc = page.doc;
    Element* body = page.element("body");
    Element* div = page.element("div");
    Text* two = page.textOf("b");
    Node* three = body->getLastChild();

    // The cursor inside the deleted element goes to its former place; an
    // offset into the parent past it moves down one.
    doc->setLayoutCursor(two, 1);
    doc->select(body, 2, three, 0, false);
    Node* b = page.element("b");
    b->addRef();
    doc->deleteNodes(div);
    EXPECT_EQ(body, pagedom::DocumentAccess::cursorNode(*doc));
    EXPECT_EQ(1, pagedom::DocumentAccess::layoutOffset(*doc));
    EXPECT_EQ(1u, doc->getSingleSelection()->startOffset);
    EXPECT_EQ(three, doc->getSingleSelection()->endNode);
    // The nodes below the deleted top are marked removed.
    EXPECT_TRUE(b->getUpdateState() & Node::UPDATE_REMOVED);
    b->releaseRef();
    doc->endUpdate();
    EXPECT_EQ("<html><body><p>one</p><p>three</p></body></html>", page.source());

    doc->undo(0);
    EXPECT_EQ("<html><body><p>one</p><div><b>two</b></div><p>three</p></body></html>", page.source());
    EXPECT_EQ("two", page.textOf("b")->getData());

    // Of several selections, the one starting in a deleted subtree goes.
    Element* first = page.element("p");
    doc->eraseSelections();
    doc->select(first->getFirstChild(), 0, first->getFirstChild(), 1, true);
    doc->select(body->getLastChild(), 0, body->getLastChild(), 1, true);
    doc->deleteNodes(first);
    EXPECT_EQ(1u, doc->getNumOfSelections());

    // Deleting the document's content clears cursor and selections.
    doc->deleteNodes(nullptr);
    EXPECT_EQ(nullptr, doc->getFirstChild());
    EXPECT_EQ(nullptr, pagedom::DocumentAccess::cursorNode(*doc));
    EXPECT_EQ(0u, doc->getNumOfSelections());
    // Both deletions were one step.
    doc->endUpdate();
    doc->undo(0);
    EXPECT_EQ("<html><body><p>one</p><div><b>two</b></div><p>three</p></body></html>", page.source());
}

TEST(Undo, ReadingAndFormattingAreUndoneLikeAnyEdit)
{
    const std::string text = "<html><body><p>a   b</p><table><tr><td>c</table></body></html>";
    Page page(text);
    page.doc->formatSource();
    page.doc->endUpdate();
    const std::string formatted = page.source();
    EXPECT_NE(text, formatted);
    const std::string other = "<p>another page</p>";
    page.doc->createNodes(other.data(), static_cast<unsigned long>(other.size()), nullptr);
    page.doc->endUpdate();
    const std::string read = page.source();
    const std::string fragment = "<b>bold</b></td><td>more";
    page.doc->createNodes(fragment.data(), static_cast<unsigned long>(fragment.size()), page.element("p"));
    page.doc->endUpdate();
    const std::string pasted = page.source();

    page.doc->undo(0);
    EXPECT_EQ(read, page.source());
    page.doc->undo(0);
    EXPECT_EQ(formatted, page.source());
    page.doc->undo(0);
    EXPECT_EQ(text, page.source());
    page.doc->redo(0);
    page.doc->redo(0);
    page.doc->redo(0);
    EXPECT_EQ(pasted, page.source());
}

// The marks of an editing command are reset at its end without changing
// what the page writes; the page read stays the page written.
TEST(Undo, AFormattedDoctypeIsUndone)
{
    const std::string text = "<!doctype   html><html><body>x</body></html>";
    Page page(text);
    page.doc->getFirstChild()->formatSource();
    page.doc->endUpdate();
    EXPECT_EQ("<!DOCTYPE html><html><body>x</body></html>", page.source());
    EXPECT_EQ(1, page.doc->canUndo());
    page.doc->undo(0);
    EXPECT_EQ(text, page.source());
}

TEST(Undo, EndUpdateResetsTheMarksOnly)
{
    const std::string text = "<html><body><p id=x>a</p></body></html>";
    Page page(text);
    Element* p = page.element("p");
    p->setAttribute("title", "t");
    EXPECT_NE(0u, p->getUpdateState());
    page.doc->endUpdate();
    EXPECT_EQ(0u, p->getUpdateState());
    EXPECT_EQ(0u, page.doc->getUpdateState());
    EXPECT_EQ(0u, p->getAttributeNode("id")->getUpdateState());
    page.doc->undo(0);
    EXPECT_EQ(text, page.source());
    EXPECT_EQ(0, page.doc->getRecordCount());
}

TEST(Undo, ObjectsAreActiveXAgainAfterReplay)
{
    Page page("<html><body><object id=o></object></body></html>");
    Element* object = page.element("object");
    object->setAttribute("classid", "clsid:1");
    page.doc->endUpdate();
    page.doc->undo(0);
    EXPECT_FALSE(page.element("object")->isActiveX());
    page.doc->redo(0);
    EXPECT_TRUE(page.element("object")->isActiveX());
}

// Steps that remove or move subtrees 100,000 levels deep are recorded,
// undone, redone and released without a walk on the call stack.
TEST(Undo, DeepSubtreesAreRecordedAndReplayed)
{
    const int DEPTH = 100000;
    std::string text = "<html><body><div id=top>";
    for (int i = 0; i < DEPTH; ++i)
        text += "<span>";
    text += "x";
    text += "</div><p id=target></p></body></html>";
    Page page(text);
    Element* top = page.element("div");
    Element* target = page.element("p");
    const std::string read = page.source();

    target->appendChild(top);  // moved: removed from the body, inserted into P
    page.doc->endUpdate();
    const std::string moved = page.source();
    page.doc->deleteNodes(target);
    page.doc->endUpdate();
    const std::string deleted = page.source();
    EXPECT_EQ("<html><body></body></html>", deleted);

    page.doc->undo(0);
    EXPECT_EQ(moved, page.source());
    page.doc->undo(0);
    EXPECT_EQ(read, page.source());
    page.doc->redo(0);
    page.doc->redo(0);
    EXPECT_EQ(deleted, page.source());
    page.doc->undo(0);
    EXPECT_EQ(moved, page.source());
}

} // namespace
