// What the fix command says about each repair it made.
#ifndef PAGEDOM_TOOLS_REPAIRREPORT_H
#define PAGEDOM_TOOLS_REPAIRREPORT_H

#include <string>
#include <vector>

class Document;
class Node;

namespace tool {

// Notes every node of a page that carries errors before the repair (its
// line, its name, its errors, where it stands) and tells afterwards what
// became of each: removed (an element's content stays in its place), joined
// with a neighbouring text, moved into another element, repaired, or left
// with errors the repair could not deal with.  Holds a reference to each
// noted node until it is destroyed.
class RepairReport {
public:
    explicit RepairReport(Document* doc);
    ~RepairReport();
    RepairReport(const RepairReport&) = delete;
    RepairReport& operator=(const RepairReport&) = delete;

    // One line per noted node, "LINE: NODE: KINDS: what was done", in page
    // order, for the document as it is now.
    std::vector<std::string> lines() const;

private:
    struct Noted {
        Node* node;
        Node* parent;
        unsigned long line;
        std::string label;
        std::string kinds;
        bool hadChildren;
    };
    Document* _doc;
    std::vector<Noted> _noted;
};

} // namespace tool

#endif
