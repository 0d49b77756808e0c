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

// The tag names a reader has met.  A page repeats a few dozen names
// thousands of times, and every start tag asks two questions of its name:
// its declaration in the document type, and the shared copy its element
// keeps (see NameTable).  Each costs a hash of the name and a search; the
// table answers both after one cheap hash, from a slot that remembers the
// last name that fell there.
//
// A table belongs to one reader and one document type, whose declarations
// do not change while the reader is at work.
class TagNames {
public:
    explicit TagNames(const DocumentType* documentType) : _documentType(documentType) {}

    struct Answer {
        // The shared copy of the name, or null when the table of shared
        // names is full (the element then keeps a copy of its own).
        const std::string* shared = nullptr;
        // The declaration of the name, or null.
        const ElementType* type = nullptr;
    };
    // The answers for name, valid until the next lookUp.
    const Answer& lookUp(const std::string& name);

private:
    struct Slot {
        std::string name;
        Answer answer;
        bool used = false;
    };
    static constexpr std::size_t SLOTS = 128;
    static std::size_t _slotOf(const std::string& name);

    const DocumentType* _documentType;
    std::array<Slot, SLOTS> _slots;
};

} // namespace pagedom

#endif
