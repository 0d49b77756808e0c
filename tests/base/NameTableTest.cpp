// Node names are shared copies from a table of limited size; past that size
// a node keeps a copy of its own.  Either way a node's name is its own to
// the host: copies keep it after the original is gone.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dom.h"
#include "base/NameTable.h"

namespace {

TEST(NameTable, NamesOutlastTheTableFillingUp)
{
    Document* doc = DOMImpl::createDocument("HTML", DOMImpl::JSP_NONE);
    EXPECT_EQ(pagedom::NameTable::intern("td"), pagedom::NameTable::intern("td"));
    EXPECT_NE(pagedom::NameTable::intern("td"), pagedom::NameTable::intern("TD"));

    // More distinct names than the table takes.
    std::vector<Element*> made;
    for (unsigned long i = 0; i < pagedom::NameTable::CAPACITY + 100; ++i)
        made.push_back(doc->createElement("x-" + std::to_string(i)));
    EXPECT_EQ(nullptr, pagedom::NameTable::intern("never-seen-before-" + std::to_string(pagedom::NameTable::CAPACITY)));

    Element* last = made.back();
    Node* copy = last->cloneNode(true);
    const std::string name = last->getNodeName();
    for (Element* e : made)
        e->releaseRef();
    EXPECT_EQ(name, copy->getNodeName());
    EXPECT_EQ("x-" + std::to_string(pagedom::NameTable::CAPACITY + 99), copy->getNodeName());
    copy->releaseRef();

    // Shared names still serve once the table is full.
    Element* td = doc->createElement("td");
    EXPECT_EQ("td", td->getNodeName());
    td->releaseRef();
    doc->releaseRef();
}

} // namespace
