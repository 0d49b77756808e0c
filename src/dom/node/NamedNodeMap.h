#ifndef PAGEDOM_NODE_NAMEDNODEMAP_H
#define PAGEDOM_NODE_NAMEDNODEMAP_H

#include <map>
#include <string>

class Node;

// Nodes keyed by name, iterated in byte-wise key order.  NamedNodeMap keys
// ignore ASCII case (the key is the lower-cased name); StrictNamedNodeMap keys
// are the exact names.  A map never holds references on its nodes.
class NamedNodeMap {
public:
    explicit NamedNodeMap(Node* owner = nullptr);
    // Copies the entries and the owner; the position cache is never shared,
    // as it points into the map it was made for.
    NamedNodeMap(const NamedNodeMap& other);
    NamedNodeMap& operator=(const NamedNodeMap& other);
    virtual ~NamedNodeMap();

    // The key a name is stored under.
    virtual std::string key(const std::string& name) const;

    unsigned long getLength() const { return static_cast<unsigned long>(_map.size()); }
    Node* item(unsigned long index) const;
    Node* getNamedItem(const std::string& name) const;
    // Stores node under its name's key.  Returns the node it displaced, or
    // null when the key was free, held this very node, or node has no name.
    Node* setNamedItem(Node* node);
    Node* removeNamedItem(const std::string& name);

    // Stores node only when its key is free; returns node, or null.
    Node* addNamedItem(Node* node);
    // Removes the first entry (in key order) holding node.
    Node* removeNode(const Node* node);
    Node* removeAt(unsigned long index);

    Node* getOwnerNode() const { return _owner; }

    // getNamedItem through a small per-thread cache of recent answers, for
    // the declaration maps a reader asks about every tag and attribute it
    // reads (the same few names, over and over).  An answer is reused only
    // while the map is unchanged: every change gives the map a new,
    // process-wide unique generation.
    Node* findCached(const std::string& name) const;

private:
    using Map = std::map<std::string, Node*>;
    void _touch()
    {
        _cacheValid = false;
        _generation = _nextGeneration();
    }
    static unsigned long _nextGeneration();

    Map _map;
    Node* _owner;
    // Position cache so that a walk by increasing index is linear overall.
    mutable Map::const_iterator _cacheIt;
    mutable unsigned long _cacheIndex = 0;
    mutable bool _cacheValid = false;
    unsigned long _generation = _nextGeneration();
};

class StrictNamedNodeMap : public NamedNodeMap {
public:
    explicit StrictNamedNodeMap(Node* owner = nullptr) : NamedNodeMap(owner) {}
    std::string key(const std::string& name) const override;
};

#endif
