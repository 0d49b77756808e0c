// Tidying the tree (adjustNodes), in bytes of page per second, on the
// bundled example pages and on generated pages of about 1 MB and 10 MB:
// - "adjust/read": the pass createNodes runs when asked to adjust, over
//   every node of a page just read (throughput should be about the same at
//   1 MB and 10 MB: the pass is linear);
// - "adjust/keystroke": a character typed into a text deep in the page,
//   then the pass over what changed, endUpdate and undo, as an editor does
//   on every keystroke (the time should not grow with the page).
// Reading and releasing the pages are not timed.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "BenchRegistration.h"

namespace {

void setBytes(benchmark::State& state, const std::string& text)
{
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
    state.counters["bytes"] = static_cast<double>(text.size());
}

// Every node of a page just read counts as changed: the pass runs over
// each child of the document (the document itself waits for an endUpdate
// after reading).
void adjustRead(benchmark::State& state, const std::string& name)
{
    const std::string& text = benchpages::namedPage(name);
    benchpages::warmUp();
    for (auto _ : state) {
        state.PauseTiming();
        Document* doc = benchpages::parsePagedom(text);
        state.ResumeTiming();
        for (Node* child = doc->getFirstChild(); child; child = child->getNextSibling())
            benchmark::DoNotOptimize(doc->adjustNodes(child, false));
        state.PauseTiming();
        doc->releaseRef();
        state.ResumeTiming();
    }
    setBytes(state, text);
}

// The last text of the page with at least one character.
Text* lastText(Document* doc)
{
    Text* last = nullptr;
    for (Node* n = doc; n; n = n->getNextNode(doc))
        if (n->getNodeType() == Node::TEXT_NODE && static_cast<Text*>(n)->getLength() > 0)
            last = static_cast<Text*>(n);
    return last;
}

void adjustKeystroke(benchmark::State& state, const std::string& name)
{
    const std::string& text = benchpages::namedPage(name);
    benchpages::warmUp();
    Document* doc = benchpages::parsePagedom(text);
    doc->endUpdate();
    doc->enableRecord(true);
    Text* target = lastText(doc);
    for (auto _ : state) {
        target->insertData(0, "k");
        benchmark::DoNotOptimize(doc->adjustNodes(nullptr, false));
        doc->endUpdate();
        doc->undo(0);
        doc->endUpdate();
        // Undo puts a copy of the text in its place.
        state.PauseTiming();
        target = lastText(doc);
        state.ResumeTiming();
    }
    doc->releaseRef();
}

struct Registration {
    Registration()
    {
        benchpages::registerPerPage("adjust/read/", adjustRead);
        benchpages::registerPerPage("adjust/keystroke/", adjustKeystroke);
    }
};

const Registration registration;

} // namespace
