// The README's example of undo, redo and change events, built the way a
// host builds it.  host_example.cmake checks that the README shows this
// very program and the lines it prints.
#include <pagedom/dom.h>
#include <cstdio>
#include <cstring>

// The host's view of the document: told of every change as it happens.
class Watcher : public dom::EventListener {
public:
    void handleEvent(const dom::Event* event) override
    {
        std::printf("  %s\n", event->type().c_str());
    }
};

int main()
{
    const char* text = "<html><body><p>Hello</p></body></html>";
    Document* doc = DOMImpl::createDocument("HTML");
    doc->createNodes(text, std::strlen(text), nullptr);

    Watcher watcher;
    for (const char* type : {"BEGIN_MODIFY", "END_RECORD", "END_UNDO", "END_REDO"})
        doc->addEventListener(type, &watcher, false);
    doc->enableRecord(true);                // off until the page is read

    // One editing command: two changes, closed into one step by endUpdate.
    Text* hello = static_cast<Text*>(doc->getBODYElement(nullptr)->getFirstChild()->getFirstChild());
    hello->appendData(", world");
    static_cast<Element*>(hello->getParentNode())->setAttribute("class", "greeting");
    doc->endUpdate();
    std::printf("edited: %s\n", doc->getSource().c_str());

    doc->undo(0);                           // the page as read, byte for byte
    std::printf("undone: %s (%d to redo)\n", doc->getSource().c_str(), doc->canRedo());
    doc->redo(0);
    std::printf("redone: %s\n", doc->getSource().c_str());

    DOM::getDOM()->deleteDocument(doc);
}
