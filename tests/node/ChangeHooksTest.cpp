// Every change made through the node operations reaches the document's one
// change receiver, with the parent and index a recorder needs to undo it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dom.h"
#include "node/ChangeHooks.h"
#include "tree/DocumentAccess.h"
#include "tree/ElementAccess.h"

namespace {

class RecordingHooks : public pagedom::ChangeHooks {
public:
    explicit RecordingHooks(std::vector<std::string>* log) : _log(log) {}
    bool isActive() const override { return active; }
    void beginChange(Document*) override { _log->push_back("begin"); }
    void afterInsert(Node* parent, unsigned long index, unsigned long count) override
    {
        _log->push_back("insert " + parent->getNodeName() + " " + std::to_string(index) + " " +
                        std::to_string(count));
    }
    void beforeRemove(Node* parent, unsigned long index, unsigned long, Node* child) override
    {
        _log->push_back("remove " + parent->getNodeName() + " " + std::to_string(index) + " " +
                        child->getNodeName());
    }
    void beginModify(Node* node) override { _log->push_back("modify< " + node->getNodeName()); }
    void endModify(Node* node) override { _log->push_back("modify> " + node->getNodeName()); }

    bool active = true;

private:
    std::vector<std::string>* _log;
};

TEST(ChangeHooks, StructuralAndContentChangesAreAnnounced)
{
    std::vector<std::string> log;
    Document* doc = DOMImpl::createDocument("page");
    auto* hooks = new RecordingHooks(&log);
    pagedom::DocumentAccess::setChangeHooks(*doc, hooks);

    Element* page = doc->createElement("page");
    doc->appendChild(page);
    Text* text = doc->createTextNode("abc");
    page->appendChild(text);
    text->setData("xyz");
    page->setAttribute("id", "p1");
    page->removeChild(text);
    EXPECT_EQ(log, (std::vector<std::string>{
                       "begin", "insert #document 0 1", "begin", "insert page 0 1",
                       "modify< #text", "modify> #text", "modify< page", "modify> page",
                       "remove page 0 #text"}));
    text->releaseRef();

    // Nodes outside the document and an inactive receiver stay silent.
    log.clear();
    Element* loose = doc->createElement("loose");
    loose->appendChild(doc->createTextNode("t"));
    loose->setAttribute("a", "b");
    hooks->active = false;
    pagedom::DocumentAccess::refreshHookState(*doc);
    page->appendChild(loose);
    EXPECT_TRUE(log.empty());

    DOM::getDOM()->deleteDocument(doc);
}

TEST(ChangeHooks, ElementsInsideMetadataAnnounceTheirOwner)
{
    std::vector<std::string> log;
    Document* doc = DOMImpl::createDocument("page");
    pagedom::DocumentAccess::setChangeHooks(*doc, new RecordingHooks(&log));
    Element* owner = doc->createElement("owner");
    doc->appendChild(owner);
    MetaData* meta = pagedom::DocumentAccess::createMetaData(*doc);
    owner->setMetaData(meta);
    meta->releaseRef();
    Element* inner = doc->createElement("inner");
    owner->getMetaData()->appendChild(inner);

    // Attribute changes of an element held by metadata are announced for
    // the element the metadata belongs to.
    EXPECT_EQ(pagedom::ElementAccess::announcedNode(*inner), owner);
    DOM::getDOM()->deleteDocument(doc);
}

} // namespace
