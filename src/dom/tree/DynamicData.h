// The object that produces a dynamic element's run-time text, and the state
// threaded through run-time text production.
#ifndef PAGEDOM_TREE_DYNAMICDATA_H
#define PAGEDOM_TREE_DYNAMICDATA_H

#include <cstdint>
#include <string>

class MetaData;

// Where the run-time text being produced stands: how deep the generated
// Java code is nested (each level indents a line by two spaces) and whether
// a "<%" scriptlet is open.  A fresh state is at level 0 with no scriptlet
// open.
struct RuntimeTextState {
    // The nesting level of generated code; a negative level counts as 0.
    std::int32_t indent = 0;
    // Whether a "<%" has been written and not yet closed.
    bool scriptletOpen = false;
};

// The object behind a dynamic element (an element bound to JavaBeans data):
// it turns the element into the JSP text the page runs on the server.  The
// element's DynamicData metadata holds it, and writing the saved page asks
// it for the element's run-time text whenever the stored text is out of
// date.  Counted by reference: every metadata that holds it owns one
// reference, and the last release deletes it.
class DynamicData {
public:
    // Deleted when its last reference is released.
    virtual ~DynamicData() {}
    // Appends the run-time text of metaData's element to out, from and
    // updating state.
    virtual void generateRuntimeText(MetaData* metaData, std::string& out, RuntimeTextState& state) = 0;
    // Takes a reference; the new count.
    virtual int addRef() = 0;
    // Gives a reference back; the new count (the holder deletes the object
    // at 0).
    virtual int release() = 0;
};

#endif
