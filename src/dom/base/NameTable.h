// The shared copies of node names.
#ifndef PAGEDOM_BASE_NAMETABLE_H
#define PAGEDOM_BASE_NAMETABLE_H

#include <string>

namespace pagedom {

// The shared copies of node names.  A page repeats a few dozen tag and
// attribute names tens of thousands of times; every node holding the same
// name points to one copy instead of carrying its own.
//
// Shared names live as long as the process.  So that a stream of made-up
// names (a generator, a fuzzer) cannot grow the table without end, it stops
// taking new names at a fixed size; intern then returns null and the caller
// keeps a copy of its own.  Safe to use from several threads.
class NameTable {
public:
    // The shared copy of name, or null when the table is full.
    static const std::string* intern(const std::string& name);
    // The shared empty name.
    static const std::string* empty();

    // The most names the table takes.
    static constexpr unsigned long CAPACITY = 65536;
};

} // namespace pagedom

#endif
