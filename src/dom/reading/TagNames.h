// The tag names a reader has met, with their shared copies and their
// declarations.
#ifndef PAGEDOM_READING_TAGNAMES_H
#define PAGEDOM_READING_TAGNAMES_H

#include <array>
#include <cstddef>
#include <string>

class DocumentType;
class ElementType;

namespace pagedom {

// The tag names the readers of a thread have met.  A page repeats a few
// dozen names thousands of times, and every start tag asks two questions of
// its name: its declaration in the document type, and the shared copy its
// element keeps (see NameTable).  Each costs a hash of the name and a
// search; the table answers both after one cheap hash, from a slot that
// remembers the last name that fell there.
//
// The slots belong to the thread and outlive the reader, so that a small
// page, read on every keystroke, finds its names already there.  A slot
// remembers the declaration stored under its name together with the
// generation of the declarations it was found in; it answers only a reader
// whose document type has that generation.  Generations are unique over
// all document types and renewed by every change of their declarations, so
// the generation alone tells the type too (0, for a reader without
// declarations, finds none).  Shared copies live as long as the process, so
// they hold for every reader.
//
// A reader's document type does not change its declarations while the
// reader is at work.
class TagNames {
public:
    explicit TagNames(const DocumentType* documentType);

    struct Answer {
        // The shared copy of the name, or null when the table of shared
        // names is full (the element then keeps a copy of its own).
        const std::string* shared = nullptr;
        // The declaration of the name, or null.
        const ElementType* type = nullptr;
    };
    // The answers for name, valid until the next lookUp on this thread.
    const Answer& lookUp(const std::string& name);

private:
    struct Slot {
        std::string name;
        Answer answer;
        // The declaration stored under the name, before the choice between
        // it and its case twin, and the generation of the declarations it
        // was looked up in (when typed).
        const ElementType* stored = nullptr;
        unsigned long generation = 0;
        bool used = false;
        bool typed = false;
    };
    static constexpr std::size_t SLOTS = 128;
    static std::size_t _slotOf(const std::string& name);
    static std::array<Slot, SLOTS>& _threadSlots();

    const DocumentType* _documentType;
    unsigned long _generation;
    std::array<Slot, SLOTS>& _slots;
};

} // namespace pagedom

#endif
