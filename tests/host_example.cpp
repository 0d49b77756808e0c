// The host example of the README, built the way a host builds it: only
// the umbrella header and the library.  host_example.cmake checks that the
// README shows this very program and the lines it prints.
#include <pagedom/dom.h>
#include <cstdio>

int main()
{
    // A document and its nodes; every factory result carries one reference.
    Document* doc = DOMImpl::createDocument("page");
    Element* page = doc->createElement("page");
    doc->appendChild(page);                 // the document now owns it

    Element* item = doc->createElement("item");
    item->setAttribute("id", "first");
    item->appendChild(doc->createTextNode("Hello"));
    page->appendChild(item);

    // Query the tree.
    dom::NodeList items = page->getElementsByTagName("ITEM");
    std::printf("%lu item(s); id=%s\n", items.length(),
                page->getElementByID("first")->getAttribute("id").c_str());
    std::printf("%s\n", doc->getSource().c_str());

    // Release: the document releases its whole tree.
    DOM::getDOM()->deleteDocument(doc);
}
