// The element detectors and finders behind the child and family searches of
// Element.  An internal header: no public header includes it.
#ifndef PAGEDOM_TREE_ELEMENTFINDER_H
#define PAGEDOM_TREE_ELEMENTFINDER_H

#include <string>
#include <vector>

#include "node/NodeList.h"

class Element;
class Node;

// Element detectors decide whether they accept an element; finders collect
// the accepted elements under a root.
namespace _Element {

class Detector {
public:
    virtual ~Detector() {}
    virtual bool accepts(const Element* element) const = 0;
};

class NameDetector : public Detector {
public:
    explicit NameDetector(const std::string& name) : _name(name) {}
    bool accepts(const Element* element) const override;

private:
    std::string _name;
};

class MultiNameDetector : public Detector {
public:
    explicit MultiNameDetector(const std::vector<std::string>& names) : _names(names) {}
    bool accepts(const Element* element) const override;

private:
    std::vector<std::string> _names;
};

class IDDetector : public Detector {
public:
    explicit IDDetector(int id) : _id(id) {}
    bool accepts(const Element* element) const override;

private:
    int _id;
};

class MultiIDDetector : public Detector {
public:
    explicit MultiIDDetector(const std::vector<int>& ids) : _ids(ids) {}
    bool accepts(const Element* element) const override;

private:
    std::vector<int> _ids;
};

// Accepts an element whose type lists the name among its content names.
class ContentNameDetector : public Detector {
public:
    explicit ContentNameDetector(const std::string& name) : _name(name) {}
    bool accepts(const Element* element) const override;

private:
    std::string _name;
};

class Finder {
public:
    virtual ~Finder() {}
    virtual dom::NodeList find(const Node* root) const = 0;
};

// The accepted child elements of the root, in order.
class ChildFinder : public Finder {
public:
    explicit ChildFinder(const Detector& detector) : _detector(detector) {}
    dom::NodeList find(const Node* root) const override;

private:
    const Detector& _detector;
};

// Walks the root's descendants in document order: an accepted element is
// collected and its subtree skipped; an element the boundary accepts is
// skipped with its subtree; any other element is descended into.
class FamilyFinder : public Finder {
public:
    FamilyFinder(const Detector& detector, const Detector& boundary)
        : _detector(detector), _boundary(boundary)
    {
    }
    dom::NodeList find(const Node* root) const override;

private:
    const Detector& _detector;
    const Detector& _boundary;
};

} // namespace _Element

#endif
