// The library frame: registry defaults, the document-type tables with their
// one-request-per-name cache, the JSP merge, and DOM.
//
// The registry lives for the whole process, so every test restores what it
// changes and uses document-type names of its own.  Only the JSP merge test
// looks anything up under JSP_10, so that "html", "jsp10" and "qrtx" in that
// table are built by the test's factory.

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <string>
#include <thread>

#include "dom.h"
#include "doctype/DeclarationBuilder.h"
#include "frame/RegistryAccess.h"

using pagedom::DeclarationBuilder;

namespace {

std::map<std::string, int> g_calls;
pagedom::DocumentTypeFactory g_previous = nullptr;

// The requests the factory has had, as "name=count ...".
std::string calls()
{
    std::string out;
    for (const auto& c : g_calls)
        out += (out.empty() ? "" : " ") + c.first + "=" + std::to_string(c.second);
    return out;
}

// The names of a document type's declarations, in order.
std::string decls(const DocumentType* type)
{
    std::string out;
    dom::NodeList list = type->getDeclNodes();
    for (unsigned long i = 0; i < list.length(); ++i)
        out += (i ? " " : "") + list.item(i)->getNodeName();
    return out;
}

DocumentType* makeType(const std::string& name, const char* element, bool entity = false)
{
    DocumentType* type = DOMImpl::createDocumentType(name);
    DeclarationBuilder::addElementType(*type, DeclarationBuilder::createElementType(*type, element));
    if (entity)
        DeclarationBuilder::addEntity(*type, DeclarationBuilder::createEntity(*type, "jspent"));
    return type;
}

// Builds small document types for the names these tests own and counts
// every request; other names go to the factory it replaced.
DocumentType* countingFactory(const std::string& lowerName)
{
    ++g_calls[lowerName];
    if (lowerName.rfind("known-", 0) == 0)
        return makeType(lowerName, "root");
    if (lowerName == "jsp10" || lowerName == "jsp091")
        return makeType(lowerName, "jsp:include", true);
    if (lowerName == "qrtx")
        return makeType(lowerName, "QRTX:TEXT");
    if (lowerName != "html" && lowerName != "plainjsp")
        return g_previous ? g_previous(lowerName) : nullptr;
    DocumentType* type = makeType(lowerName, "own");
    DeclarationBuilder::setReceivesQRTX(*type, lowerName == "html");
    return type;
}

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_previous = pagedom::RegistryAccess::setDocumentTypeFactory(&countingFactory);
        g_calls.clear();
    }
    void TearDown() override
    {
        EXPECT_EQ(pagedom::RegistryAccess::setDocumentTypeFactory(g_previous), &countingFactory);
        DOMImpl::setJSPVersion(DOMImpl::JSP_NONE);
    }
};

} // namespace

TEST(Registry, Defaults)
{
    // The defaults the writer's output depends on; the rest are off.
    DOMImpl::FormatOption* options = DOMImpl::getFormatOption();
    ASSERT_NE(options, nullptr);
    EXPECT_TRUE(options->getIndent() == 2u && options->getColumnLimit() == 70u);
    const auto asIs = DOMImpl::FormatOption::CASE_AS_IS;
    EXPECT_TRUE(options->getTagNameCaseType() == asIs && options->getAttrNameCaseType() == asIs &&
                options->getAttrValueCaseType() == asIs);
    EXPECT_TRUE(DOMImpl::getCodePage() == 0 && DOMImpl::getJSPVersion() == DOMImpl::JSP_NONE &&
                DOMImpl::getMWVersion() == DOMImpl::MW_NONE && !DOMImpl::getJavaTypeLookupIF());
    EXPECT_NE(DOMImpl::getDynamicDataManager(), nullptr);
    EXPECT_EQ(DOMImpl::getDynamicDataManager(), DOMImpl::getDynamicDataManager());
}

TEST_F(RegistryTest, FactoryIsAskedOncePerNameAndVersion)
{
    EXPECT_EQ(DOMImpl::getDocumentType(""), nullptr);
    const DocumentType* known = DOMImpl::getDocumentType("Known-Case");
    ASSERT_NE(known, nullptr);
    EXPECT_EQ(known->getNodeName(), "known-case"); // built from the lowered name
    EXPECT_EQ(DOMImpl::getDocumentType("KNOWN-CASE"), known);
    EXPECT_EQ(known->getRefCount(), 1u); // the table's reference
    EXPECT_EQ(DOMImpl::getDocumentType("unknown-case"), nullptr);
    EXPECT_EQ(DOMImpl::getDocumentType("Unknown-Case"), nullptr); // remembered as unknown
    EXPECT_EQ(calls(), "known-case=1 unknown-case=1");

    // Another version has a table of its own (what it merges in: below).
    DOMImpl::setJSPVersion(DOMImpl::JSP_091);
    const DocumentType* known091 = DOMImpl::getDocumentType("known-case");
    ASSERT_NE(known091, nullptr);
    EXPECT_NE(known091, known);
    EXPECT_EQ(DOMImpl::getDocumentType("known-case"), known091);
    EXPECT_EQ(DOMImpl::getDocumentType("unknown-case"), nullptr);
    EXPECT_LE(g_calls["jsp091"], 1);
    g_calls.erase("jsp091"); // another test may have built it already
    DOMImpl::setJSPVersion(DOMImpl::JSP_NONE);
    EXPECT_EQ(DOMImpl::getDocumentType("known-case"), known);
    EXPECT_EQ(calls(), "known-case=2 unknown-case=2");
}

TEST_F(RegistryTest, DocumentsTakeTheirTypeAndRestoreTheVersion)
{
    const DocumentType* known = DOMImpl::getDocumentType("known-doc");
    DocumentType* own = DOMImpl::createDocumentType("known-doc");
    EXPECT_EQ(own->getRefCount(), 1u);
    EXPECT_NE(DOMImpl::getDocumentType("known-doc"), own); // entered in no table
    Document* byName = DOMImpl::createDocument("KNOWN-DOC");
    Document* byType = DOMImpl::createDocument("known-doc", own);
    Document* fallback = DOMImpl::createDocument("known-doc", static_cast<DocumentType*>(nullptr));
    EXPECT_EQ(byName->getRefCount(), 1u);
    EXPECT_EQ(byName->getDocumentType(), known);
    EXPECT_EQ(fallback->getDocumentType(), known);
    EXPECT_EQ(byType->getDocumentType(), own);
    EXPECT_EQ(known->getRefCount(), 3u);
    EXPECT_EQ(own->getRefCount(), 2u);
    for (Document* doc : {byName, byType, fallback})
        DOM::getDOM()->deleteDocument(doc);
    EXPECT_EQ(known->getRefCount(), 1u);
    EXPECT_EQ(own->releaseRef(), 0u);

    // A document made under another version leaves the version as it was.
    Document* other = DOMImpl::createDocument("known-doc", DOMImpl::JSP_091);
    EXPECT_EQ(DOMImpl::getJSPVersion(), DOMImpl::JSP_NONE);
    EXPECT_NE(other->getDocumentType(), known);
    EXPECT_EQ(other->getJSPVersion(), DOMImpl::JSP_091);
    DOM::getDOM()->deleteDocument(other);
    DOMImpl::setJSPVersion(DOMImpl::JSP_091);
    other = DOMImpl::createDocument("unknown-doc", DOMImpl::JSP_NONE);
    EXPECT_EQ(DOMImpl::getJSPVersion(), DOMImpl::JSP_091);
    EXPECT_EQ(other->getDocumentType(), nullptr);
    DOM::getDOM()->deleteDocument(other);
}

TEST_F(RegistryTest, JSPDeclarationsAreMergedOnceIntoAVersionCopy)
{
    const DocumentType* none = DOMImpl::getDocumentType("html");
    ASSERT_NE(none, nullptr);
    g_calls.clear();

    DOMImpl::setJSPVersion(DOMImpl::JSP_10);
    const DocumentType* plain = DOMImpl::getDocumentType("plainjsp");
    const DocumentType* html = DOMImpl::getDocumentType("HTML");
    ASSERT_TRUE(html && plain);
    EXPECT_NE(html, none);
    EXPECT_EQ(html->getJSPVersion(), DOMImpl::JSP_10);
    EXPECT_EQ(decls(html), "own jsp:include jspent QRTX:TEXT");
    EXPECT_EQ(decls(plain), "own jsp:include jspent"); // it does not ask for QRTX
    EXPECT_NE(DOMImpl::getDocumentType("jsp10")->getEntity("jspent"), html->getEntity("jspent"));

    // Later lookups and documents find it complete and merge nothing again.
    EXPECT_EQ(DOMImpl::getDocumentType("html"), html);
    Document* doc = DOMImpl::createDocument("HTML");
    EXPECT_EQ(doc->getDocumentType(), html);
    EXPECT_TRUE(doc->supportXMLFormat());
    DOM::getDOM()->deleteDocument(doc);
    EXPECT_EQ(decls(html), "own jsp:include jspent QRTX:TEXT");
    EXPECT_EQ(calls(), "html=1 jsp10=1 plainjsp=1 qrtx=1");

    DOMImpl::setJSPVersion(DOMImpl::JSP_NONE);
    EXPECT_EQ(DOMImpl::getDocumentType("html"), none);
    EXPECT_EQ(none->getJSPVersion(), DOMImpl::JSP_NONE);
    EXPECT_EQ(decls(none), "own");
    doc = DOMImpl::createDocument("html", DOMImpl::JSP_10);
    EXPECT_EQ(doc->getDocumentType(), html);
    EXPECT_EQ(DOMImpl::getJSPVersion(), DOMImpl::JSP_NONE);
    DOM::getDOM()->deleteDocument(doc);
    EXPECT_EQ(decls(html), "own jsp:include jspent QRTX:TEXT");
}

TEST_F(RegistryTest, ADocumentUnderAnotherVersionHidesTheSwitchFromOtherThreads)
{
    // One thread makes documents under JSP 0.91 while another makes them
    // under the current version; the second must never get a 0.91 type.
    const DocumentType* current = DOMImpl::getDocumentType("known-threads");
    ASSERT_NE(current, nullptr);
    const int rounds = 20000;
    std::atomic<bool> done{false};
    std::atomic<bool> started{false};
    std::thread other([&done, &started] {
        while (!done.load()) {
            DOM::getDOM()->deleteDocument(DOMImpl::createDocument("known-threads", DOMImpl::JSP_091));
            started.store(true);
        }
    });
    while (!started.load())
        std::this_thread::yield();
    int wrong = 0;
    for (int i = 0; i < rounds; ++i) {
        Document* doc = DOMImpl::createDocument("known-threads");
        wrong += doc->getDocumentType() != current;
        DOM::getDOM()->deleteDocument(doc);
    }
    done.store(true);
    other.join();
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(DOMImpl::getJSPVersion(), DOMImpl::JSP_NONE);
}

TEST(HostView, ElementIDsCompareWithTheTableNames)
{
    // What a host sees through the umbrella header alone: the elements of a
    // page carry the ids ElementTable names, implied ones included.
    Document* doc = DOMImpl::createDocument("HTML");
    const std::string page = "<table><tr><td>x</table><p>y<!--#include file=\"f\"-->";
    doc->createNodes(page.data(), static_cast<unsigned long>(page.size()), nullptr);
    std::string ids;
    for (Node* n = doc->getFirstChild(); n; n = n->getNextNode(doc, false)) {
        if (n->getNodeType() != Node::ELEMENT_NODE)
            continue;
        const int id = static_cast<Element*>(n)->getElementID();
        ids += id == ElementTable::ID_HTML ? "HTML "
               : id == ElementTable::ID_BODY ? "BODY "
               : id == ElementTable::ID_TABLE ? "TABLE "
               : id == ElementTable::ID_TBODY ? "TBODY "
               : id == ElementTable::ID_TR ? "TR "
               : id == ElementTable::ID_TD ? "TD "
               : id == ElementTable::ID_P ? "P "
               : id == ElementTable::ID_SSI_INCLUDE ? "ssi:include "
               : n->getNodeName() + "? ";
    }
    EXPECT_EQ(ids, "HTML BODY TABLE TBODY TR TD P ssi:include ");
    DOM::getDOM()->deleteDocument(doc);
}

TEST(DOMSingleton, DeleteDocumentGivesUpOneReference)
{
    DOM* dom = DOM::getDOM();
    ASSERT_NE(dom, nullptr);
    EXPECT_EQ(DOM::getDOM(), dom);
    dom->deleteDocument(nullptr);
    Document* doc = DOMImpl::createDocument("dom-test");
    doc->appendChild(doc->createElement("e"));
    doc->addRef();
    dom->deleteDocument(doc);
    EXPECT_EQ(doc->getRefCount(), 1u);
    dom->deleteDocument(doc); // the leak checker sees that this one frees it
}
