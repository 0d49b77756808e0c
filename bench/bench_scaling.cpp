// Pages and edits whose cost must grow linearly with their size, each at N
// and 10N: deep pages full of stray end tags or stray table parts, deep
// pages under many elements whose types declare SGML exceptions or under
// NOFRAMES, chains of logical elements built through the public calls, and
// child lists built, emptied and normalised from the front or the middle.  The
// time per item (the "per_item" counter) should stay about the same from N
// to 10N; a cost that grows tenfold is a quadratic slip.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "BenchPages.h"

namespace {

constexpr long N = 10000;
constexpr long TEN_N = 100000;

std::string repeat(const std::string& piece, long count)
{
    std::string out;
    out.reserve(piece.size() * static_cast<std::size_t>(count));
    for (long i = 0; i < count; ++i)
        out += piece;
    return out;
}

void setItems(benchmark::State& state, long items)
{
    state.counters["per_item"] = benchmark::Counter(static_cast<double>(items),
                                                    benchmark::Counter::kIsIterationInvariantRate |
                                                        benchmark::Counter::kInvert);
}

// --- deep pages ---------------------------------------------------------------------

// Parses prefix, then open and close each repeated n times, and releases
// the tree.
void parseDeep(benchmark::State& state, const std::string& open, const std::string& close,
               const std::string& prefix = std::string())
{
    const long n = state.range(0);
    const std::string text = prefix + repeat(open, n) + repeat(close, n);
    benchpages::warmUp();
    for (auto _ : state) {
        Document* doc = benchpages::parsePagedom(text);
        benchmark::DoNotOptimize(doc->getFirstChild());
        doc->releaseRef();
    }
    setItems(state, 2 * n);
}

void BM_DeepStrayEndTags(benchmark::State& state) { parseDeep(state, "<div>", "</zz>"); }
void BM_DeepStrayParagraphEnds(benchmark::State& state) { parseDeep(state, "<div>", "</p>"); }
void BM_DeepFontStraySpanEnds(benchmark::State& state) { parseDeep(state, "<font>", "</span>"); }
void BM_DeepStrayCells(benchmark::State& state) { parseDeep(state, "<div>", "<td>x"); }
void BM_DeepStrayRows(benchmark::State& state) { parseDeep(state, "<div>", "<tr>x"); }
void BM_DeepStrayHeaderCells(benchmark::State& state) { parseDeep(state, "<div>", "<th>x"); }
void BM_DeepStrayBodies(benchmark::State& state) { parseDeep(state, "<div>", "<tbody>x"); }
void BM_DeepStrayCaptions(benchmark::State& state) { parseDeep(state, "<div>", "<caption>x"); }
void BM_DeepBoldStrayCells(benchmark::State& state) { parseDeep(state, "<b>", "<td>x"); }
// The element each end tag names is open, but behind a table cell it may
// not cross.
void BM_DeepInCellBlockedEndTags(benchmark::State& state)
{
    parseDeep(state, "<div>", "</zz>", "<zz><table><tr><td>");
}

// Elements whose types declare SGML exceptions (FORM and A exclude
// themselves, PRE excludes IMG and others, HTML, HEAD and BODY include INS
// and DEL), n deep, then n elements inside them: every containment check
// asks about the exceptions of all of them.
void BM_DeepFormsThenBold(benchmark::State& state) { parseDeep(state, "<form>", "<b>"); }
void BM_DeepAnchorsThenBold(benchmark::State& state) { parseDeep(state, "<a>", "<b>"); }
void BM_DeepPreThenBold(benchmark::State& state) { parseDeep(state, "<pre>", "<b>"); }
void BM_DeepDivsThenBodies(benchmark::State& state) { parseDeep(state, "<div>", "<body>"); }
void BM_DeepDivsThenHtml(benchmark::State& state) { parseDeep(state, "<div>", "<html>"); }
void BM_DeepDivsThenHeads(benchmark::State& state) { parseDeep(state, "<div>", "<head>"); }
// A NOFRAMES answers containment as the outermost BODY around it unless a
// FRAMESET holds it: n of them under n DIVs, each asked about its text.
void BM_NoframesUnderDeepDivs(benchmark::State& state)
{
    parseDeep(state, "<div>", "<noframes>x</noframes>", "<body><noframes>");
}
void BM_DeepNoframes(benchmark::State& state) { parseDeep(state, "<noframes>", "x</noframes>", "<body>"); }

BENCHMARK(BM_DeepFormsThenBold)->Arg(N)->Arg(TEN_N)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeepAnchorsThenBold)->Arg(N)->Arg(TEN_N)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeepPreThenBold)->Arg(N)->Arg(TEN_N)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeepDivsThenBodies)->Arg(N)->Arg(TEN_N)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeepDivsThenHtml)->Arg(N)->Arg(TEN_N)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeepDivsThenHeads)->Arg(N)->Arg(TEN_N)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NoframesUnderDeepDivs)->Arg(N)->Arg(TEN_N)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeepNoframes)->Arg(N)->Arg(TEN_N)->Unit(benchmark::kMillisecond);

BENCHMARK(BM_DeepStrayEndTags)->Arg(N)->Arg(TEN_N)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeepStrayParagraphEnds)->Arg(N)->Arg(TEN_N)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeepFontStraySpanEnds)->Arg(N)->Arg(TEN_N)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeepStrayCells)->Arg(N)->Arg(TEN_N)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeepStrayRows)->Arg(N)->Arg(TEN_N)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeepStrayHeaderCells)->Arg(N)->Arg(TEN_N)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeepStrayBodies)->Arg(N)->Arg(TEN_N)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeepStrayCaptions)->Arg(N)->Arg(TEN_N)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeepBoldStrayCells)->Arg(N)->Arg(TEN_N)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeepInCellBlockedEndTags)->Arg(N)->Arg(TEN_N)->Unit(benchmark::kMillisecond);

// --- child lists --------------------------------------------------------------------

// A parent with n element children, appended in order.
Element* parentWith(Document* doc, long n)
{
    Element* parent = doc->createElement("ul");
    for (long i = 0; i < n; ++i)
        parent->appendChild(doc->createElement("li"));
    return parent;
}

// Times edit(doc, parent, n) on a fresh parent of n element children each
// round (building the parent is not timed); items is the count of edits
// one round makes.
template <typename Edit>
void editFilledParent(benchmark::State& state, long items, Edit edit)
{
    const long n = state.range(0);
    Document* doc = DOMImpl::createDocument("HTML");
    for (auto _ : state) {
        state.PauseTiming();
        Element* parent = parentWith(doc, n);
        state.ResumeTiming();
        edit(doc, parent, n);
        parent->releaseRef();
    }
    setItems(state, items);
    doc->releaseRef();
}

void BM_BuildFromFront(benchmark::State& state)
{
    const long n = state.range(0);
    Document* doc = DOMImpl::createDocument("HTML");
    for (auto _ : state) {
        Element* parent = doc->createElement("ul");
        for (long i = 0; i < n; ++i)
            parent->insertBefore(doc->createElement("li"), parent->getFirstChild());
        parent->releaseRef();
    }
    setItems(state, n);
    doc->releaseRef();
}

// insertAfter(x, null) puts x first.
void BM_BuildWithInsertAfterNull(benchmark::State& state)
{
    const long n = state.range(0);
    Document* doc = DOMImpl::createDocument("HTML");
    for (auto _ : state) {
        Element* parent = doc->createElement("ul");
        for (long i = 0; i < n; ++i)
            parent->insertAfter(doc->createElement("li"), nullptr);
        parent->releaseRef();
    }
    setItems(state, n);
    doc->releaseRef();
}

// Into a parent with n children, n more go before the same child in the
// middle.
void BM_BuildInMiddle(benchmark::State& state)
{
    editFilledParent(state, state.range(0), [](Document* doc, Element* parent, long n) {
        Node* ref = parent->getChildNode(static_cast<unsigned long>(n / 2));
        for (long i = 0; i < n; ++i)
            parent->insertBefore(doc->createElement("li"), ref);
    });
}

void BM_EmptyFromFront(benchmark::State& state)
{
    editFilledParent(state, state.range(0), [](Document*, Element* parent, long) {
        while (Node* child = parent->getFirstChild())
            parent->removeChild(child)->releaseRef();
    });
}

void BM_EmptyFromBack(benchmark::State& state)
{
    editFilledParent(state, state.range(0), [](Document*, Element* parent, long) {
        while (Node* child = parent->getLastChild())
            parent->removeChild(child)->releaseRef();
    });
}

// Removes the middle half of the children one by one, front to back.
void BM_RemoveMiddleRun(benchmark::State& state)
{
    editFilledParent(state, state.range(0) / 2, [](Document*, Element* parent, long n) {
        Node* child = parent->getChildNode(static_cast<unsigned long>(n / 4));
        for (long i = 0; i < n / 2; ++i) {
            Node* next = child->getNextSibling();
            parent->removeChild(child)->releaseRef();
            child = next;
        }
    });
}

void BM_RemoveChildNodesAll(benchmark::State& state)
{
    editFilledParent(state, state.range(0), [](Document*, Element* parent, long) {
        Node* removed = parent->removeChildNodes(nullptr, nullptr);
        while (removed) {
            Node* next = removed->getNextSibling();
            removed->releaseRef();
            removed = next;
        }
    });
}

// n adjacent text children merged into one.
void BM_NormalizeAdjacentTexts(benchmark::State& state)
{
    const long n = state.range(0);
    Document* doc = DOMImpl::createDocument("HTML");
    for (auto _ : state) {
        state.PauseTiming();
        Element* parent = doc->createElement("p");
        for (long i = 0; i < n; ++i)
            parent->appendChild(doc->createTextNode("x"));
        state.ResumeTiming();
        parent->normalize();
        benchmark::DoNotOptimize(parent->getChildLength());
        parent->releaseRef();
    }
    setItems(state, n);
    doc->releaseRef();
}

// Reading a page into a parent that holds n children: they go first.
void BM_CreateNodesOverChildren(benchmark::State& state)
{
    const long n = state.range(0);
    const std::string text = repeat("<li>x", n);
    Document* doc = DOMImpl::createDocument("HTML");
    Element* parent = doc->createElement("ul");
    doc->createNodes(text.data(), text.size(), parent);
    for (auto _ : state)
        benchmark::DoNotOptimize(doc->createNodes(text.data(), text.size(), parent));
    setItems(state, 2 * n);
    parent->releaseRef();
    doc->releaseRef();
}

// A logical element answers containment as its nearest ancestor that is not
// logical: a chain of n QRTX:LOOP elements, each appended to the last, then
// n texts appended to the innermost.
void BM_AppendToDeepLogicalChain(benchmark::State& state)
{
    const long n = state.range(0);
    Document* doc = DOMImpl::createDocument("HTML", DOMImpl::JSP_10);
    for (auto _ : state) {
        Element* top = doc->createElement("QRTX:LOOP");
        Element* innermost = top;
        for (long i = 0; i < n; ++i)
            innermost = static_cast<Element*>(innermost->appendChild(doc->createElement("QRTX:LOOP")));
        for (long i = 0; i < n; ++i)
            innermost->appendChild(doc->createTextNode("x"));
        top->releaseRef();
    }
    setItems(state, 2 * n);
    doc->releaseRef();
}

// The same chain under a DIV, each text checked against the DIV.
void BM_CheckInDeepLogicalChain(benchmark::State& state)
{
    const long n = state.range(0);
    Document* doc = DOMImpl::createDocument("HTML", DOMImpl::JSP_10);
    Element* top = doc->createElement("div");
    Element* innermost = top;
    for (long i = 0; i < n; ++i)
        innermost = static_cast<Element*>(innermost->appendChild(doc->createElement("QRTX:LOOP")));
    Node* text = doc->createTextNode("x");
    for (auto _ : state) {
        // Each round starts from caches a moved subtree has outdated.
        Node* moved = top->removeChild(top->getFirstChild());
        top->appendChild(moved);
        for (Node* e = innermost; e != top; e = e->getParentNode())
            benchmark::DoNotOptimize(e->canContain(text));
    }
    setItems(state, n);
    text->releaseRef();
    top->releaseRef();
    doc->releaseRef();
}

BENCHMARK(BM_BuildFromFront)->Arg(N)->Arg(TEN_N)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildWithInsertAfterNull)->Arg(N)->Arg(TEN_N)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildInMiddle)->Arg(N)->Arg(TEN_N)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EmptyFromFront)->Arg(N)->Arg(TEN_N)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EmptyFromBack)->Arg(N)->Arg(TEN_N)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RemoveMiddleRun)->Arg(N)->Arg(TEN_N)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RemoveChildNodesAll)->Arg(N)->Arg(TEN_N)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NormalizeAdjacentTexts)->Arg(N)->Arg(TEN_N)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CreateNodesOverChildren)->Arg(N)->Arg(TEN_N)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AppendToDeepLogicalChain)->Arg(N)->Arg(TEN_N)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckInDeepLogicalChain)->Arg(N)->Arg(TEN_N)->Unit(benchmark::kMillisecond);

} // namespace
