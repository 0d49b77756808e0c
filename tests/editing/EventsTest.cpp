// Listeners on a document: registration, delivery order, the events every
// tree change sends with their fields, and listeners that change the
// registrations or the tree while they are being told of a change.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "dom.h"

namespace {

// Logs every event it hears as "TYPE" or "TYPE node index count", and runs
// an optional reaction after logging.
class Log : public dom::EventListener {
public:
    explicit Log(std::vector<std::string>* out, std::string name = "") : _out(out), _name(std::move(name)) {}

    void handleEvent(const dom::Event* event) override
    {
        std::string line = _name + event->type();
        const std::string type = event->type();
        if (type == "END_INSERT" || type == "BEGIN_REMOVE" || type == "BEGIN_MODIFY" || type == "END_MODIFY") {
            const auto* record = static_cast<const dom::RecordEvent*>(event);
            line += " " + record->recordNode()->getNodeName() + " " + std::to_string(record->childIndex()) + " " +
                    std::to_string(record->childCount());
        }
        _out->push_back(line);
        if (react)
            react(event);
    }

    std::function<void(const dom::Event*)> react;

private:
    std::vector<std::string>* _out;
    std::string _name;
};

const char* const ALL_TYPES[] = {"END_INSERT", "BEGIN_REMOVE", "BEGIN_MODIFY", "END_MODIFY", "END_RECORD",
                                 "BEGIN_UNDO", "END_UNDO", "BEGIN_REDO", "END_REDO", "END_UPDATE",
                                 "BEGIN_COPY", "BEGIN_CUT", "BEGIN_PASTE"};

void listenToAll(Document* doc, dom::EventListener* listener)
{
    for (const char* type : ALL_TYPES)
        doc->addEventListener(type, listener, false);
}

TEST(Events, RegistrationAndDeliveryOrder)
{
    std::vector<std::string> log;
    Document* doc = DOMImpl::createDocument("page");
    Log first(&log, "1:");
    Log second(&log, "2:");
    doc->addEventListener("BEGIN_COPY", &first, false);
    doc->addEventListener("BEGIN_COPY", &second, true);
    doc->addEventListener("BEGIN_COPY", &first, false); // twice: still heard once
    doc->addEventListener("BEGIN_CUT", &first, false);
    doc->addEventListener("", &first, false);           // ignored
    doc->addEventListener("BEGIN_PASTE", nullptr, false); // ignored
    doc->beginCopy();
    doc->beginCut();
    doc->beginPaste();
    EXPECT_EQ(log, (std::vector<std::string>{"1:BEGIN_COPY", "2:BEGIN_COPY", "1:BEGIN_CUT"}));

    // An event naming another target is not delivered; a null event and an
    // empty type reach nobody.
    log.clear();
    Document* other = DOMImpl::createDocument("page");
    dom::Event foreign(other, "BEGIN_COPY");
    EXPECT_TRUE(doc->dispatchEvent(&foreign));
    EXPECT_TRUE(doc->dispatchEvent(nullptr));
    dom::Event untyped(doc, "");
    EXPECT_TRUE(doc->dispatchEvent(&untyped));
    EXPECT_TRUE(log.empty());

    // Removing what is not registered changes nothing; removing moves the
    // later registrations up.
    doc->removeEventListener("BEGIN_PASTE", &first, false);
    doc->removeEventListener("BEGIN_COPY", &first, false);
    doc->beginCopy();
    EXPECT_EQ(log, (std::vector<std::string>{"2:BEGIN_COPY"}));

    other->releaseRef();
    doc->releaseRef();
}

TEST(Events, ListenersMayChangeTheRegistrationsWhileAnEventIsDelivered)
{
    std::vector<std::string> log;
    Document* doc = DOMImpl::createDocument("page");
    Log a(&log, "a:");
    Log b(&log, "b:");
    Log c(&log, "c:");
    Log late(&log, "late:");
    // a removes itself and b, and registers late: b is not called any more,
    // c still is, late hears only the next event.
    a.react = [&](const dom::Event*) {
        doc->removeEventListener("BEGIN_CUT", &a, false);
        doc->removeEventListener("BEGIN_CUT", &b, false);
        doc->addEventListener("BEGIN_CUT", &late, false);
        // A nested event is delivered to everyone registered and live.
        doc->beginCopy();
    };
    doc->addEventListener("BEGIN_CUT", &a, false);
    doc->addEventListener("BEGIN_CUT", &b, false);
    doc->addEventListener("BEGIN_CUT", &c, false);
    doc->addEventListener("BEGIN_COPY", &c, false);
    doc->beginCut();
    EXPECT_EQ(log, (std::vector<std::string>{"a:BEGIN_CUT", "c:BEGIN_COPY", "c:BEGIN_CUT"}));
    log.clear();
    doc->beginCut();
    EXPECT_EQ(log, (std::vector<std::string>{"c:BEGIN_CUT", "late:BEGIN_CUT"}));
    // A listener removed and registered again during delivery is not called
    // twice for one event.
    log.clear();
    bool again = true;
    c.react = [&](const dom::Event*) {
        if (!again)
            return;
        again = false;
        doc->removeEventListener("BEGIN_CUT", &c, false);
        doc->addEventListener("BEGIN_CUT", &c, false);
    };
    doc->beginCut();
    EXPECT_EQ(log, (std::vector<std::string>{"c:BEGIN_CUT", "late:BEGIN_CUT"}));
    log.clear();
    doc->beginCut();
    EXPECT_EQ(log, (std::vector<std::string>{"late:BEGIN_CUT", "c:BEGIN_CUT"}));
    doc->releaseRef();
}

TEST(Events, EveryChangeIsAnnouncedWithItsNodeAndPlace)
{
    std::vector<std::string> log;
    Document* doc = DOMImpl::createDocument("page");
    Log listener(&log);
    listenToAll(doc, &listener);

    // Recording off: the tree changes silently; the markers still go out.
    Element* page = doc->createElement("page");
    doc->appendChild(page);
    doc->endUpdate();
    EXPECT_EQ(log, (std::vector<std::string>{"END_UPDATE"}));
    EXPECT_EQ(0, doc->canUndo());

    log.clear();
    doc->enableRecord(true);
    Text* text = doc->createTextNode("abc");
    page->appendChild(text);
    text->setData("xyz");
    page->setAttribute("id", "p1");
    page->removeChild(text)->releaseRef();
    doc->endUpdate();
    EXPECT_EQ(log, (std::vector<std::string>{"END_INSERT page 0 1", "BEGIN_MODIFY #text 0 1", "END_MODIFY #text 0 1",
                                             "BEGIN_MODIFY page 0 1", "END_MODIFY page 0 1",
                                             "BEGIN_REMOVE page 0 1", "END_RECORD", "END_UPDATE"}));

    // Nodes outside the document are not announced.
    log.clear();
    Element* loose = doc->createElement("loose");
    loose->appendChild(doc->createTextNode("t"));
    loose->setAttribute("a", "b");
    EXPECT_TRUE(log.empty());
    page->appendChild(loose);
    EXPECT_EQ(log, (std::vector<std::string>{"END_INSERT page 0 1"}));

    // Elements kept by metadata announce changes as their owner's.
    log.clear();
    MetaData* meta = new MetaData(doc);
    loose->setMetaData(meta);
    Element* inner = doc->createElement("inner");
    loose->getMetaData()->appendChild(inner);
    log.clear();
    inner->setAttribute("x", "1");
    EXPECT_EQ(log, (std::vector<std::string>{"BEGIN_MODIFY loose 0 1", "END_MODIFY loose 0 1"}));

    log.clear();
    doc->undo(0);
    doc->redo(0);
    EXPECT_EQ(log.front(), "END_RECORD");
    EXPECT_EQ(log[1], "BEGIN_UNDO");
    EXPECT_EQ(log.back(), "END_REDO");
    doc->releaseRef();
}

// Reading a page and formatting one are announced as the children they
// replace, removed and then inserted together.
TEST(Events, ReadingAndFormattingReplaceWholeSubtrees)
{
    std::vector<std::string> log;
    Document* doc = DOMImpl::createDocument("HTML");
    doc->enableRecord(true);
    Log listener(&log);
    listenToAll(doc, &listener);
    const std::string page = "<!-- a --><html><body><p>x   y</p></body></html>";
    doc->createNodes(page.data(), static_cast<unsigned long>(page.size()), nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"END_INSERT #document 0 2"}));
    doc->createNodes(page.data(), static_cast<unsigned long>(page.size()), nullptr);
    EXPECT_EQ(log.back(), "END_INSERT #document 0 2");
    EXPECT_EQ(log[1], "BEGIN_REMOVE #document 0 2");
    log.clear();
    Node* p = doc->getBODYElement(nullptr)->getFirstChild();
    p->formatSource();
    EXPECT_EQ(log, (std::vector<std::string>{"BEGIN_REMOVE body 0 1", "END_INSERT body 0 1"}));
    doc->releaseRef();
}

// A host listening to changes may itself change the tree, or ask for undo,
// while it is told of a change: what it changes is recorded after the change
// it heard of, and undo gives back the page as it was.
TEST(Events, ListenersEditingTheTreeKeepTheRecordWhole)
{
    const std::string page = "<html><body><p id=a>one</p><p id=b>two</p></body></html>";
    Document* doc = DOMImpl::createDocument("HTML");
    doc->createNodes(page.data(), static_cast<unsigned long>(page.size()), nullptr);
    doc->enableRecord(true);
    Element* body = doc->getBODYElement(nullptr);
    std::vector<std::string> log;
    Log listener(&log);
    int reactions = 0;
    bool deletedSibling = false;
    listener.react = [&](const dom::Event* event) {
        // After the first insertion the listener adds a marker text, and
        // before a removal it takes the node's next sibling away first.
        if (event->type() == "END_INSERT" && reactions++ == 0)
            body->appendChild(doc->createTextNode("!"));
        if (event->type() == "BEGIN_REMOVE") {
            const auto* record = static_cast<const dom::RecordEvent*>(event);
            Node* parent = const_cast<Node*>(record->recordNode());
            Node* doomed = parent->getChildNode(record->childIndex());
            if (Node* next = doomed ? doomed->getNextSibling() : nullptr; next && !deletedSibling) {
                deletedSibling = true;
                doc->deleteNodes(next);
            }
        }
    };
    doc->addEventListener("END_INSERT", &listener, false);
    doc->addEventListener("BEGIN_REMOVE", &listener, false);

    Element* added = doc->createElement("div");
    body->insertBefore(added, body->getFirstChild());
    doc->endUpdate();
    const std::string afterInsert = doc->getSource();
    EXPECT_EQ("<html><body><DIV></DIV><p id=a>one</p><p id=b>two</p>!</body></html>", afterInsert);

    body->removeChild(body->getFirstChild())->releaseRef();
    doc->endUpdate();
    EXPECT_EQ("<html><body><p id=b>two</p>!</body></html>", doc->getSource());

    listener.react = nullptr;
    doc->undo(0);
    EXPECT_EQ(afterInsert, doc->getSource());
    doc->undo(0);
    EXPECT_EQ(page, doc->getSource());
    doc->redo(0);
    doc->redo(0);
    EXPECT_EQ("<html><body><p id=b>two</p>!</body></html>", doc->getSource());

    // Undo asked for while a step is replayed, and clearing the record
    // then, are refused: the replay finishes.
    listener.react = [&](const dom::Event*) {
        doc->undo(0);
        doc->clearRecord();
    };
    doc->undo(0);
    EXPECT_EQ(afterInsert, doc->getSource());
    listener.react = nullptr;
    doc->releaseRef();
}

} // namespace
