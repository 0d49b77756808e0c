// Recording, undoing and redoing one editing command on a large page: a
// typed character (insertData of one character into a text in the middle of
// the page), an attribute change (setAttribute on an element in the middle)
// and the removal of a small subtree (an element in the middle with a few
// children, through deleteNodes).  Each case runs on the generated pages of
// 1 MB and 10 MB; an edit touches the same few nodes whatever the size of
// the page, so the time per command should be about the same on both.
//
// One iteration makes the edit with recording on, ends the command
// (endUpdate), undoes it and redoes it; only that is timed.  The edit is
// then undone again, untimed, so that every iteration starts from the page
// as read: the tree keeps its size, and the next edit forgets the undone
// step as an editor does.  The page is read once, outside the loop, and
// never written inside it.  One command is made and undone before the loop:
// the first endUpdate after reading clears the marks the reader left on
// every node, a cost paid once per page, not per command.  Counters give the average microseconds of the
// four parts: edit, end (endUpdate), undo and redo.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <vector>

#include "BenchPages.h"

namespace {

// The fewest and most children of the subtree that is removed.
const unsigned long SUBTREE_MIN_CHILDREN = 3;
const unsigned long SUBTREE_MAX_CHILDREN = 8;
const int REPETITIONS = 5;
const double MICROSECONDS_PER_SECOND = 1e6;

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

// The node in the middle of the document-order nodes that pass keep, or null.
template <class Keep>
Node* middleNode(Document* doc, Keep keep)
{
    std::vector<Node*> found;
    for (Node* n = doc->getFirstChild(); n; n = n->getNextNode(doc))
        if (keep(n))
            found.push_back(n);
    return found.empty() ? nullptr : found[found.size() / 2];
}

Text* middleText(Document* doc)
{
    return static_cast<Text*>(middleNode(doc, [](Node* n) {
        return n->getNodeType() == Node::TEXT_NODE && !static_cast<Text*>(n)->isSpaceText();
    }));
}

Element* middleElement(Document* doc)
{
    return static_cast<Element*>(middleNode(doc, [](Node* n) { return n->getNodeType() == Node::ELEMENT_NODE; }));
}

// An element in the middle of the page with a few children that are not
// all texts: a small subtree.
Element* middleSubtree(Document* doc)
{
    return static_cast<Element*>(middleNode(doc, [](Node* n) {
        if (n->getNodeType() != Node::ELEMENT_NODE)
            return false;
        const unsigned long children = n->getChildLength();
        return children >= SUBTREE_MIN_CHILDREN && children <= SUBTREE_MAX_CHILDREN &&
               static_cast<Element*>(n)->hasNonTextChild();
    }));
}

// The parts of a measured command and their running sums.
struct Timing {
    double edit = 0;
    double end = 0;
    double undo = 0;
    double redo = 0;

    void report(benchmark::State& state, std::size_t pageSize) const
    {
        const auto average = benchmark::Counter::kAvgIterations;
        state.counters["edit_us"] = benchmark::Counter(edit * MICROSECONDS_PER_SECOND, average);
        state.counters["end_us"] = benchmark::Counter(end * MICROSECONDS_PER_SECOND, average);
        state.counters["undo_us"] = benchmark::Counter(undo * MICROSECONDS_PER_SECOND, average);
        state.counters["redo_us"] = benchmark::Counter(redo * MICROSECONDS_PER_SECOND, average);
        state.counters["bytes"] = static_cast<double>(pageSize);
    }
};

// Runs the command edit (which finds its node afresh each time: undo puts
// copies in the place of the nodes it restores) on the page name, timing
// edit + endUpdate + undo + redo, and undoing once more untimed.
template <class Edit>
void measureCommand(benchmark::State& state, const std::string& name, Edit edit)
{
    const std::string& page = benchpages::namedPage(name);
    benchpages::warmUp();
    Document* doc = benchpages::parsePagedom(page);
    doc->enableRecord(true);
    bool edited = edit(doc);
    doc->endUpdate();
    doc->undo(0);
    Timing timing;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        edited = edit(doc) && edited;
        const Clock::time_point made = Clock::now();
        doc->endUpdate();
        const Clock::time_point ended = Clock::now();
        doc->undo(0);
        const Clock::time_point undone = Clock::now();
        doc->redo(0);
        const Clock::time_point redone = Clock::now();
        timing.edit += seconds(start, made);
        timing.end += seconds(made, ended);
        timing.undo += seconds(ended, undone);
        timing.redo += seconds(undone, redone);
        state.SetIterationTime(seconds(start, redone));
        doc->undo(0);
    }
    // Every command was made, and undone leaves the page as read.
    if (!edited)
        state.SkipWithError("the page has no node to edit");
    else if (doc->canRedo() != 1 || doc->getSource() != page)
        state.SkipWithError("undoing the command does not give back the page");
    doc->releaseRef();
    timing.report(state, page.size());
}

// The location of the nodes edited: path of child indices from the
// document, found once on the page as read (undo replaces nodes by copies,
// so nodes are found again by place every time).
std::vector<unsigned long> placeOf(const Node* node)
{
    std::vector<unsigned long> path;
    for (; node && node->getParentNode(); node = node->getParentNode())
        path.insert(path.begin(), node->getParentNode()->getChildIndex(node));
    return path;
}

Node* nodeAt(Document* doc, const std::vector<unsigned long>& path)
{
    Node* n = doc;
    for (unsigned long index : path) {
        if (!n)
            return nullptr;
        n = n->getChildNode(index);
    }
    return n;
}

// The place of the node chosen by find on the page name as read.
template <class Find>
std::vector<unsigned long> placeOnPage(const std::string& name, Find find)
{
    Document* doc = benchpages::parsePagedom(benchpages::namedPage(name));
    const std::vector<unsigned long> path = placeOf(find(doc));
    doc->releaseRef();
    return path;
}

void typeCharacter(benchmark::State& state, const std::string& name)
{
    const std::vector<unsigned long> path = placeOnPage(name, middleText);
    measureCommand(state, name, [&path](Document* doc) {
        Node* text = nodeAt(doc, path);
        if (!text || text->getNodeType() != Node::TEXT_NODE || path.empty())
            return false;
        Text* t = static_cast<Text*>(text);
        t->insertData(t->getLength() / 2, "x");
        return true;
    });
}

void changeAttribute(benchmark::State& state, const std::string& name)
{
    const std::vector<unsigned long> path = placeOnPage(name, middleElement);
    measureCommand(state, name, [&path](Document* doc) {
        Node* element = nodeAt(doc, path);
        if (!element || element->getNodeType() != Node::ELEMENT_NODE || path.empty())
            return false;
        static_cast<Element*>(element)->setAttribute("title", "changed");
        return true;
    });
}

void removeSubtree(benchmark::State& state, const std::string& name)
{
    const std::vector<unsigned long> path = placeOnPage(name, middleSubtree);
    measureCommand(state, name, [&path](Document* doc) {
        Node* element = nodeAt(doc, path);
        if (!element || element->getNodeType() != Node::ELEMENT_NODE || path.empty())
            return false;
        doc->deleteNodes(element);
        return true;
    });
}

struct Registration {
    Registration()
    {
        using Body = void (*)(benchmark::State&, const std::string&);
        struct Entry {
            const char* command;
            Body body;
        };
        const Entry entries[] = {{"type-character", typeCharacter},
                                 {"change-attribute", changeAttribute},
                                 {"remove-subtree", removeSubtree}};
        for (const Entry& entry : entries) {
            for (const char* page : {"generated-1MB", "generated-10MB"}) {
                const std::string title = std::string("undo/") + entry.command + "/" + page;
                const std::string name = page;
                Body body = entry.body;
                benchmark::RegisterBenchmark(title.c_str(),
                                             [body, name](benchmark::State& state) { body(state, name); })
                    ->UseManualTime()
                    ->Unit(benchmark::kMicrosecond)
                    ->Repetitions(REPETITIONS)
                    ->ReportAggregatesOnly(true);
            }
        }
    }
};

const Registration registration;

} // namespace
