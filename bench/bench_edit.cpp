// One typed character on a large page: a character inserted into a text node
// in the middle of the generated 1 MB page (Text::insert, as an editor types
// it) and the page written back (getSource), the cost an editor pays per
// keystroke when it saves or re-lays out the page.  Reported as the median
// of repeated runs beside the median parse time of the same page, so the two
// can be compared directly.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "BenchPages.h"

namespace {

const std::size_t PAGE_SIZE = 1u << 20;
const int REPETITIONS = 9;

const std::string& megabytePage()
{
    static const std::string page = benchpages::generatePage(PAGE_SIZE);
    return page;
}

// The text node in the middle of the document's texts that are more than
// white space, or null.
Text* middleText(Document* doc)
{
    std::vector<Text*> texts;
    for (Node* n = doc->getFirstChild(); n; n = n->getNextNode(doc)) {
        if (n->getNodeType() == Node::TEXT_NODE && !static_cast<Text*>(n)->isSpaceText())
            texts.push_back(static_cast<Text*>(n));
    }
    return texts.empty() ? nullptr : texts[texts.size() / 2];
}

void parse1MB(benchmark::State& state)
{
    const std::string& page = megabytePage();
    benchpages::warmUp();
    for (auto _ : state) {
        Document* doc = benchpages::parsePagedom(page);
        benchmark::DoNotOptimize(doc->getFirstChild());
        doc->releaseRef();
    }
    state.counters["bytes"] = static_cast<double>(page.size());
}

void typeOneCharacter1MB(benchmark::State& state)
{
    const std::string& page = megabytePage();
    benchpages::warmUp();
    Document* doc = benchpages::parsePagedom(page);
    Text* text = middleText(doc);
    if (!text) {
        state.SkipWithError("the page has no text");
        doc->releaseRef();
        return;
    }
    const unsigned long offset = text->getLength() / 2;
    std::size_t written = 0;
    for (auto _ : state) {
        text->insert(offset, "x", true, Text::SPACE_AUTO);
        std::string source = doc->getSource();
        written = source.size();
        benchmark::DoNotOptimize(source.data());
    }
    // Every typed character reached the written page.
    if (written != page.size() + static_cast<std::size_t>(state.iterations()))
        state.SkipWithError("the typed characters are not in the written page");
    doc->releaseRef();
    state.counters["bytes"] = static_cast<double>(page.size());
}

} // namespace

BENCHMARK(parse1MB)->Unit(benchmark::kMillisecond)->Repetitions(REPETITIONS)->ReportAggregatesOnly(true);
BENCHMARK(typeOneCharacter1MB)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(REPETITIONS)
    ->ReportAggregatesOnly(true);
