// Random steps of edits, every public mutating operation several to a step,
// on the example pages and on generated pages: undoing the steps one by one
// gives back, after each undo, exactly the page written before that step,
// and redoing them gives back exactly the pages written after them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "writing/RandomEdits.h"

namespace {

using namespace randomedits;

// How a run brackets its steps.
enum class Bracketing {
    END_UPDATE,  // every step ends with endUpdate
    SUSPENDED,   // some steps are made while recording is suspended
    RESUMED      // some steps are suspended and resumed half-way
};

class StepRun {
public:
    StepRun(Document* doc, std::uint64_t seed, Bracketing bracketing)
        : _doc(doc), _editor(doc, seed, Misuse::NONE), _random(seed + 1), _bracketing(bracketing), _seed(seed)
    {
        _pages.push_back(doc->getSource());
        _histories.push_back(std::string());
    }

    // Makes one step of one to four edits.  A step that recorded nothing
    // must have changed nothing.
    bool step()
    {
        const int before = _doc->canUndo();
        const bool suspended = _bracketing != Bracketing::END_UPDATE && _random.chance(30);
        if (suspended)
            _doc->suspendRecord(true);
        bool resumed = false;
        for (unsigned n = 1 + _random.next(4); n; --n) {
            _editor.edit();
            if (suspended && _bracketing == Bracketing::RESUMED && n == 2) {
                _doc->suspendRecord(false);
                resumed = true;
            }
        }
        _doc->endUpdate();
        if (!_marksAreReset())
            return false;
        const std::string page = _doc->getSource();
        // A suspended step stays open after endUpdate; when the next step is
        // suspended before it changes anything, the two are one step.
        const bool stillOpen = suspended && !resumed;
        if (_doc->canUndo() > before || (before == ChangeLimit && _doc->getRecordCount() != _position)) {
            _pages.push_back(page);
            _histories.push_back(_editor.history());
            _position = _doc->getRecordCount();
            _openSuspended = stillOpen;
            return true;
        }
        if (_openSuspended && suspended) {
            _pages.back() = page;
            _histories.back() += "; " + _editor.history();
            _openSuspended = stillOpen;
            return true;
        }
        if (page != _pages.back()) {
            ADD_FAILURE() << "seed " << _seed << ": the page changed but no step was recorded, after "
                          << _editor.history() << "\nbefore:\n" << _pages.back() << "\nafter:\n" << page;
            return false;
        }
        return true;
    }

    // Undoes every step that can be undone, then redoes them all, checking
    // each page against the one written when the step was made.
    bool undoAndRedoAll()
    {
        const int steps = _doc->canUndo();
        const std::size_t last = _pages.size() - 1;
        for (int i = 0; i < steps; ++i) {
            _doc->undo(0);
            if (!_expect(_pages[last - 1 - static_cast<std::size_t>(i)], "undo", i, _histories[last - 1 - static_cast<std::size_t>(i)]))
                return false;
        }
        EXPECT_EQ(0, _doc->canUndo());
        // Nothing more to undo: the page stays.
        _doc->undo(0);
        if (!_expect(_pages[last - static_cast<std::size_t>(steps)], "undo past the oldest step", steps, ""))
            return false;
        EXPECT_EQ(steps, _doc->canRedo());
        for (int i = 0; i < steps; ++i) {
            _doc->redo(0);
            const std::size_t made = last - static_cast<std::size_t>(steps) + 1 + static_cast<std::size_t>(i);
            if (!_expect(_pages[made], "redo", i, _histories[made - 1]))
                return false;
        }
        EXPECT_EQ(0, _doc->canRedo());
        EXPECT_EQ(steps, _doc->canUndo());
        return true;
    }

    static constexpr int ChangeLimit = 30;

private:
    // endUpdate leaves no node of the tree marked.
    bool _marksAreReset()
    {
        for (Node* n = _doc; n; n = n->getNextNode(_doc)) {
            if (n->getUpdateState() == 0)
                continue;
            ADD_FAILURE() << "seed " << _seed << ": " << n->getNodeName() << " still marked "
                          << n->getUpdateState() << " after " << _editor.history();
            return false;
        }
        return true;
    }

    bool _expect(const std::string& page, const char* what, int i, const std::string& step)
    {
        const std::string written = _doc->getSource();
        if (written == page)
            return true;
        std::size_t at = 0;
        while (at < written.size() && at < page.size() && written[at] == page[at])
            ++at;
        const std::size_t from = at > 80 ? at - 80 : 0;
        ADD_FAILURE() << "seed " << _seed << ": " << what << " " << i << " of the step made by " << step
                      << "\nwrote from byte " << from << ":\n"
                      << written.substr(from, 240) << "\ninstead of:\n"
                      << page.substr(from, 240);
        return false;
    }

    Document* _doc;
    Editor _editor;
    Random _random;
    Bracketing _bracketing;
    std::uint64_t _seed;
    std::vector<std::string> _pages;
    std::vector<std::string> _histories; // the calls of each recorded step
    int _position = 0;
    bool _openSuspended = false; // the newest step was suspended and is still open
};

void runSteps(unsigned steps, Bracketing bracketing)
{
    const unsigned SEQUENCES = 4;
    for (const Source& page : pages()) {
        for (unsigned s = 0; s < SEQUENCES; ++s) {
            SCOPED_TRACE(page.name);
            Document* doc = DOMImpl::createDocument("HTML", page.jsp);
            doc->createNodes(page.text.data(), static_cast<unsigned long>(page.text.size()), nullptr);
            doc->enableRecord(true);
            StepRun run(doc, s * 104729 + page.text.size(), bracketing);
            bool ok = true;
            for (unsigned i = 0; ok && i < steps; ++i)
                ok = run.step();
            ok = ok && run.undoAndRedoAll();
            doc->releaseRef();
            if (!ok)
                return;
        }
    }
}

TEST(UndoProperty, EveryStepUndoesAndRedoesToTheWrittenPages)
{
    runSteps(12, Bracketing::END_UPDATE);
}

TEST(UndoProperty, OnlyTheNewestThirtyStepsAreKeptAndUndoExactly)
{
    runSteps(40, Bracketing::END_UPDATE);
}

TEST(UndoProperty, SuspendedStepsUndoAsOne)
{
    runSteps(12, Bracketing::SUSPENDED);
    runSteps(12, Bracketing::RESUMED);
}

} // namespace
