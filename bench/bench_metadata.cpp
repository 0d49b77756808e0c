// Pages laid out in the editor: reading pages of N and 10N METADATA spans
// (each a dynamic table with its run-time text, a design-time control or an
// author-time visual), writing them back node by node, and reading pages of
// N and 10N start comments whose end comments never come.  The time per
// span should stay flat: pairing a start comment with its end is a lookup,
// and each span's element is read once.
#include <benchmark/benchmark.h>

#include <string>

#include "BenchPages.h"

namespace {

const char* const SPANS[] = {
    "<%--METADATA type=\"DynamicData\" startspan\r\n"
    "  <TABLE dynamicelement outerloopproperty=\"orders.items[]\"><TR><TD>"
    "<QRTX:PROPERTY property=\"orders.items[].number\"></TD></TR></TABLE>\r\n"
    "--%><TABLE><% for (int i = 0; i < n; i++) { %><TR><TD><%= number(i) %></TD></TR><% } %></TABLE>"
    "<%--METADATA type=\"DynamicData\" endspan--%>\r\n",
    "<%--METADATA type=\"DesignerControl\" startspan\r\n"
    "<OBJECT dtc classid=\"clsid:1\"><PARAM name=\"a\" value=\"b\"></OBJECT>\r\n"
    "--%><APPLET code=\"Chat\"></APPLET><%--METADATA type=\"DesignerControl\" endspan--%>\r\n",
    "<%--METADATA type=\"AuthorTimeVisual\" startspan\r\n"
    "<QRTX:ATV fonttext=\"Name\"><%= user.getName() %></QRTX:ATV>\r\n"
    "--%><%= user.getName() %><%--METADATA type=\"AuthorTimeVisual\" endspan--%>\r\n"};

std::string spanPage(long spans)
{
    std::string page = "<HTML><BODY>\r\n";
    for (long i = 0; i < spans; ++i) {
        page += "<P>Item ";
        page += std::to_string(i);
        page += "</P>\r\n";
        page += SPANS[i % 3];
    }
    return page + "</BODY></HTML>\r\n";
}

std::string unpairedPage(long spans)
{
    std::string page = "<HTML><BODY>\r\n";
    for (long i = 0; i < spans; ++i)
        page += "<%--METADATA type=\"DynamicData\" startspan\r\n<TABLE dynamicelement></TABLE>\r\n--%><P>x</P>\r\n";
    return page + "</BODY></HTML>\r\n";
}

Document* readJSP(const std::string& page)
{
    Document* doc = DOMImpl::createDocument("HTML", DOMImpl::JSP_10);
    doc->createNodes(page.data(), static_cast<unsigned long>(page.size()), nullptr);
    return doc;
}

void report(benchmark::State& state, const std::string& page)
{
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void readSpans(benchmark::State& state)
{
    const std::string page = spanPage(state.range(0));
    benchpages::warmUp();
    for (auto _ : state) {
        Document* doc = readJSP(page);
        benchmark::DoNotOptimize(doc->getFirstChild());
        doc->releaseRef();
    }
    report(state, page);
}

void writeSpanTree(benchmark::State& state)
{
    const std::string page = spanPage(state.range(0));
    Document* doc = readJSP(page);
    if (doc->getChildSource() != page) {
        state.SkipWithError("the page does not write back identically");
        doc->releaseRef();
        return;
    }
    for (auto _ : state) {
        std::string source = doc->getChildSource();
        benchmark::DoNotOptimize(source.data());
    }
    doc->releaseRef();
    report(state, page);
}

void readUnpaired(benchmark::State& state)
{
    const std::string page = unpairedPage(state.range(0));
    for (auto _ : state) {
        Document* doc = readJSP(page);
        benchmark::DoNotOptimize(doc->getFirstChild());
        doc->releaseRef();
    }
    report(state, page);
}

} // namespace

BENCHMARK(readSpans)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(writeSpanTree)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(readUnpaired)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
