// Reading XML documents, in bytes per second, on generated documents of
// about 1 MB and 10 MB (their throughput should be about the same: reading
// is linear); built with PAGEDOM_BENCH_LIBXML2, libxml2's XML parser reads
// the same documents beside it (xmlReadMemory in recover mode, without
// errors, warnings or network).  Timings include releasing the tree.
//
// Re-reading a source range: a text typed into one item, and one item
// written anew, in the middle of the 1 MB and the 10 MB document.  The time
// per re-read follows the range, not the document, so the two sizes should
// cost about the same.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "BenchPages.h"

#ifdef PAGEDOM_BENCH_LIBXML2
#include <libxml/parser.h>
#include <libxml/tree.h>
#endif

namespace {

const std::size_t MB = 1 << 20;

// A stock list of the wanted size: items with attributes, texts with
// references, comments, empty elements and a CDATA section now and then,
// built from a fixed seed.
std::string generateDocument(std::size_t target)
{
    static const char* const names[] = {"Garden trowel", "Watering can", "Terracotta pot", "Hedge trimmer",
                                        "Compost bin", "Seed tray", "Rake", "Spade", "Hose reel", "Gloves"};
    benchpages::Random random(0x0c0ffeeULL);
    std::string out = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<!-- generated stock list -->\n<stock>\n";
    for (unsigned i = 0; out.size() + 32 < target; ++i) {
        out += "  <item code=\"T-" + std::to_string(i) + "\" season=\"" + (random.chance(50) ? "spring" : "all") +
               "\">\n";
        out += "    <name>" + std::string(names[random.next(10)]) + " &amp; " + names[random.next(10)] + "</name>\n";
        out += "    <price currency=\"GBP\">" + std::to_string(random.next(100)) + "." +
               std::to_string(10 + random.next(90)) + "</price>\n";
        out += "    <count value=\"" + std::to_string(random.next(500)) + "\"/>\n";
        if (random.chance(30))
            out += "    <note>Keep above 5&#176;C; <![CDATA[<b>dry</b> & cool]]> <!-- checked --></note>\n";
        out += "  </item>\n";
    }
    out += "</stock>\n";
    return out;
}

const std::string& document(std::size_t megabytes)
{
    static const std::string one = generateDocument(MB);
    static const std::string ten = generateDocument(10 * MB);
    return megabytes == 1 ? one : ten;
}

Document* readXML(const std::string& text)
{
    Document* doc = DOMImpl::createDocument("XML");
    doc->createNodes(text.data(), static_cast<unsigned long>(text.size()), nullptr);
    return doc;
}

void setBytes(benchmark::State& state, const std::string& text)
{
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
    state.counters["bytes"] = static_cast<double>(text.size());
}

void pagedomParse(benchmark::State& state)
{
    const std::string& text = document(static_cast<std::size_t>(state.range(0)));
    readXML("<x/>")->releaseRef();
    for (auto _ : state) {
        Document* doc = readXML(text);
        benchmark::DoNotOptimize(doc->getFirstChild());
        doc->releaseRef();
    }
    setBytes(state, text);
}

#ifdef PAGEDOM_BENCH_LIBXML2
void libxml2Parse(benchmark::State& state)
{
    const std::string& text = document(static_cast<std::size_t>(state.range(0)));
    xmlInitParser();
    for (auto _ : state) {
        xmlDocPtr doc = xmlReadMemory(text.data(), static_cast<int>(text.size()), "stock.xml", nullptr,
                                      XML_PARSE_RECOVER | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_NONET);
        benchmark::DoNotOptimize(doc);
        xmlFreeDoc(doc);
    }
    setBytes(state, text);
}
#endif

// The item in the middle of the stock list.
Element* middleItem(Document* doc)
{
    Node* stock = doc->getDocumentElement();
    for (Node* n = doc->getFirstChild(); n && !stock; n = n->getNextSibling())
        if (n->getNodeType() == Node::ELEMENT_NODE)
            stock = n;
    Node* item = stock->getChildNode(stock->getChildLength() / 2);
    if (item->getNodeType() != Node::ELEMENT_NODE)
        item = item->getNextSibling();
    return static_cast<Element*>(item);
}

// The name of an item: its first child element.
Element* nameOf(Element* item)
{
    Node* n = item->getFirstChild();
    while (n && n->getNodeType() != Node::ELEMENT_NODE)
        n = n->getNextSibling();
    return static_cast<Element*>(n);
}

// A text typed into the middle item's name: the name's text is replaced by
// one of two texts in turn.
void pagedomRereadText(benchmark::State& state)
{
    Document* doc = readXML(document(static_cast<std::size_t>(state.range(0))));
    Element* name = nameOf(middleItem(doc));
    const std::string texts[] = {"Garden trowel &amp; fork", "Garden shovel &amp; rake"};
    unsigned turn = 0;
    for (auto _ : state) {
        Node* text = name->getFirstChild();
        const unsigned long length = static_cast<unsigned long>(text->getSource().size());
        dom::Range range(text, 0, false, text, length, false);
        if (!doc->parse(texts[turn++ % 2], range)) {
            state.SkipWithError("the range was not read again");
            break;
        }
    }
    doc->releaseRef();
}

// The middle item written anew: it is replaced, start tag to end tag, by an
// item of the same shape.
void pagedomRereadItem(benchmark::State& state)
{
    Document* doc = readXML(document(static_cast<std::size_t>(state.range(0))));
    Element* item = middleItem(doc);
    Node* stock = item->getParentNode();
    const unsigned long index = stock->getChildIndex(item);
    const std::string items[] = {
        "<item code=\"N-1\" season=\"all\">\n    <name>Bulb planter</name>\n    <price currency=\"GBP\">3.50</price>\n"
        "    <count value=\"12\"/>\n  </item>",
        "<item code=\"N-2\" season=\"spring\">\n    <name>Plant labels</name>\n    <price currency=\"GBP\">0.99</price>\n"
        "    <count value=\"400\"/>\n  </item>"};
    unsigned turn = 0;
    for (auto _ : state) {
        dom::Range range(stock, index, false, stock, index + 1, false);
        if (!doc->parse(items[turn++ % 2], range)) {
            state.SkipWithError("the range was not read again");
            break;
        }
    }
    doc->releaseRef();
}

} // namespace

BENCHMARK(pagedomParse)->Name("xml/parse/pagedom")->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
#ifdef PAGEDOM_BENCH_LIBXML2
BENCHMARK(libxml2Parse)->Name("xml/parse/libxml2")->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
#endif
BENCHMARK(pagedomRereadText)->Name("xml/reread-text/pagedom")->Arg(1)->Arg(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(pagedomRereadItem)->Name("xml/reread-item/pagedom")->Arg(1)->Arg(10)->Unit(benchmark::kMicrosecond);
