// Nodes keyed by name: the attributes of an element and the declarations of
// a document type.
#ifndef PAGEDOM_NODE_NAMEDNODEMAP_H
#define PAGEDOM_NODE_NAMEDNODEMAP_H

#include <map>
#include <string>

class AttrTypeList;
class DocumentType;
class Node;

// Nodes keyed by name, iterated in byte-wise key order.  NamedNodeMap keys
// ignore ASCII case (the key is the lower-cased name); StrictNamedNodeMap keys
// are the exact names.  A map never holds references on its nodes.  Reading
// a map changes nothing in it, so the maps of a document type that trees on
// several threads share may be read from all of them at once.
class NamedNodeMap {
public:
    // An empty map belonging to owner (not owned).
    explicit NamedNodeMap(Node* owner = nullptr);
    // Copies the entries and the owner.
    NamedNodeMap(const NamedNodeMap& other);
    // Replaces the entries and the owner by other's.
    NamedNodeMap& operator=(const NamedNodeMap& other);
    // Destroys the map; the nodes stay.
    virtual ~NamedNodeMap();

    // The key a name is stored under: the name with ASCII A to Z lowered.
    virtual std::string key(const std::string& name) const;

    // The number of entries.
    unsigned long getLength() const { return static_cast<unsigned long>(_map.size()); }
    // The node at position index in key order, or null when out of range.
    Node* item(unsigned long index) const;
    // The node stored under name's key, or null (always for an empty name).
    Node* getNamedItem(const std::string& name) const;
    // Stores node under its name's key.  Returns the node it displaced, or
    // null when the key was free, held this very node, or node has no name.
    Node* setNamedItem(Node* node);
    // Removes the entry for name's key; returns its node, or null.
    Node* removeNamedItem(const std::string& name);

    // Stores node only when its key is free; returns node, or null.
    Node* addNamedItem(Node* node);
    // Removes the first entry (in key order) holding node; returns node, or
    // null when no entry holds it.
    Node* removeNode(const Node* node);
    // Removes the entry at position index in key order; returns its node, or
    // null when out of range.
    Node* removeAt(unsigned long index);

    // The node the map belongs to.
    Node* getOwnerNode() const { return _owner; }

private:
    using Map = std::map<std::string, Node*>;

    // getNamedItem through a small per-thread cache of recent answers, for
    // the declaration maps a reader asks about every tag and attribute it
    // reads (the same few names, over and over).  An answer is reused only
    // while the map is unchanged: every change gives the map a new,
    // process-wide unique generation.
    Node* _findCached(const std::string& name) const;
    // _findCached for a name from the table of shared names (see
    // NameTable), which the cache knows by its address: no hash of the
    // characters, no comparison of them.
    Node* _findCachedShared(const std::string& sharedName) const;

    // Gives the map a new generation: the answers and positions cached for
    // it (on any thread) are no longer used.
    void _touch() { _generation = _nextGeneration(); }
    static unsigned long _nextGeneration();

    Map _map;
    Node* _owner;
    // Unique over all maps ever made, and renewed by every change.
    unsigned long _generation = _nextGeneration();

    // Library internals used by the document types' lookups.
    friend class DocumentType;
    friend class AttrTypeList;
};

// Nodes keyed by their exact names (entity declarations).
class StrictNamedNodeMap : public NamedNodeMap {
public:
    // An empty map belonging to owner (not owned).
    explicit StrictNamedNodeMap(Node* owner = nullptr) : NamedNodeMap(owner) {}
    // The key a name is stored under: the name itself.
    std::string key(const std::string& name) const override;
};

#endif
