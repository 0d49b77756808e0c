// The parsed content model of an element declaration: its category and its
// model, inclusion and exclusion groups.
#ifndef PAGEDOM_DOCTYPE_CONTENTMODEL_H
#define PAGEDOM_DOCTYPE_CONTENTMODEL_H

#include <string>
#include <vector>

// The parsed content model of an <!ELEMENT declaration.
//
// A model has a category (Type), an optional model group (the root) and the
// two optional SGML exception groups: inclusions after "+" and exclusions
// after "-".  The groups are small trees of _Node objects owned by the model;
// copying a model copies its trees.
//
// Model text is never rejected: the parser reads it character by character
// and keeps whatever it can make sense of.  Every walk over a tree keeps its
// own stack, so arbitrarily deep nesting cannot exhaust the call stack.
class ContentModel {
public:
    // Category of a model, and of an element's own content.
    enum Type {
        EMPTY_CONTENT = 0,    // "EMPTY": no children at all
        ELEMENT_CONTENT = 1,  // element names only
        MIXED_CONTENT = 2,    // "#PCDATA" with element names
        PCDATA_CONTENT = 3,   // "#PCDATA" alone
        CDATA_CONTENT = 4,    // "CDATA": CDATA sections only
        INLINE_CONTENT = 5,   // "#INLINE": text, inline elements and the names
        FLOW_CONTENT = 6,     // "#FLOW": text, inline and block elements and the names
        ANY_CONTENT = 7       // "ANY" or nothing recognised
    };

    class _Element;

    // A node of a model tree: a group or an element reference.
    class _Node {
    public:
        // The kind of a group (_Group).
        static constexpr unsigned long GROUP_KIND = 0;
        // The kind of an element reference (_Element).
        static constexpr unsigned long ELEMENT_KIND = 1;

        // Occurrence "?": at most once.
        static constexpr unsigned long OCCURS_OPTIONAL = 0;
        // Occurrence "+": at least once.
        static constexpr unsigned long OCCURS_ONE_OR_MORE = 1;
        // Occurrence "*": any number of times.
        static constexpr unsigned long OCCURS_ANY = 2;
        // No indicator: exactly once.
        static constexpr unsigned long OCCURS_ONCE = 3;

        // Releases the node; a group releases its members.
        virtual ~_Node();
        // GROUP_KIND or ELEMENT_KIND.
        virtual unsigned long getKind() const = 0;
        // An element reference without a name, or a group without members.
        virtual bool isEmpty() const = 0;
        // Deep copy.
        virtual _Node* clone() const = 0;
        // The element reference with exactly this name (case-sensitive),
        // depth-first in member order; null if none.
        virtual const _Element* find(const std::string& name) const = 0;
        // Appends every element name of the subtree in member order,
        // duplicates kept.
        virtual void collectNames(std::vector<std::string>& list) const = 0;
        // Appends the text form of the subtree.
        virtual void toString(std::string& text) const = 0;

        // The occurrence indicator (OCCURS_*).
        unsigned long getOccurrence() const { return _occurrence; }
        // Sets the occurrence indicator.
        void setOccurrence(unsigned long occurrence) { _occurrence = occurrence; }

        // The indicator written after a node: "?", "+", "*" or nothing.
        static const char* occurrenceSuffix(unsigned long occurrence);

    protected:
        _Node() : _occurrence(OCCURS_ONCE) {}
        _Node(const _Node&) = default;
        _Node& operator=(const _Node&) = delete;

    private:
        unsigned long _occurrence;
    };

    // A reference to an element by name.
    class _Element : public _Node {
    public:
        // A reference to the element named name, occurring once.
        explicit _Element(const std::string& name) : _name(name) {}

        // ELEMENT_KIND.
        unsigned long getKind() const override { return ELEMENT_KIND; }
        // Whether the name is empty.
        bool isEmpty() const override { return _name.empty(); }
        // A copy.
        _Node* clone() const override { return new _Element(*this); }
        // This reference when its name is name (case-sensitive), else null.
        const _Element* find(const std::string& name) const override;
        // Appends the name.
        void collectNames(std::vector<std::string>& list) const override;
        // Appends the name and the occurrence indicator.
        void toString(std::string& text) const override;

        // The element name, as written in the model.
        const std::string& getName() const { return _name; }

    private:
        _Element(const _Element&) = default;

        std::string _name;
    };

    // A parenthesised group of members joined by one connector.
    class _Group : public _Node {
    public:
        // Connector ",": the members in sequence.
        static constexpr unsigned long SEQUENCE_CONNECTOR = 0;
        // Connector "|": one of the members.
        static constexpr unsigned long CHOICE_CONNECTOR = 1;
        // Connector "&": all members in any order.
        static constexpr unsigned long ALL_CONNECTOR = 2;
        // No connector read yet.
        static constexpr unsigned long NO_CONNECTOR = 3;

        // An empty group without connector, occurring once.
        _Group() : _connector(NO_CONNECTOR) {}
        // Releases the members (without recursion).
        ~_Group() override;

        // GROUP_KIND.
        unsigned long getKind() const override { return GROUP_KIND; }
        // Whether the group has no members.
        bool isEmpty() const override { return _members.empty(); }
        // A deep copy (without recursion).
        _Node* clone() const override;
        // The first element reference named name, depth-first in member order.
        const _Element* find(const std::string& name) const override;
        // Appends every element name of the group in member order.
        void collectNames(std::vector<std::string>& list) const override;
        // Appends "(", the members joined by the connector, ")" and the indicator.
        void toString(std::string& text) const override;

        // The connector (*_CONNECTOR).
        unsigned long getConnector() const { return _connector; }
        // Sets the connector.
        void setConnector(unsigned long connector) { _connector = connector; }
        // The character written between members; a blank when unset.
        static char connectorChar(unsigned long connector);

        // The number of members.
        unsigned long getLength() const { return static_cast<unsigned long>(_members.size()); }
        // The member at index, or null past the end.
        const _Node* getMember(unsigned long index) const
        {
            return index < _members.size() ? _members[index] : nullptr;
        }
        // Appends member and takes ownership of it; null is ignored.
        void appendMember(_Node* member)
        {
            if (member)
                _members.push_back(member);
        }

    private:
        // Copies occurrence and connector, not the members.
        _Group(const _Group& other) : _Node(other), _connector(other._connector) {}

        unsigned long _connector;
        std::vector<_Node*> _members;
    };

    // A model of type ANY_CONTENT without groups.
    ContentModel();
    // Same as parse(text) on a new model.
    explicit ContentModel(const std::string& text);
    // A deep copy of other.
    ContentModel(const ContentModel& other);
    // Takes other's groups; other is left empty.
    ContentModel(ContentModel&& other) noexcept;
    // Replaces this model by a deep copy of other.
    ContentModel& operator=(const ContentModel& other);
    // Replaces this model by other's groups; other is left empty.
    ContentModel& operator=(ContentModel&& other) noexcept;
    // Releases the groups.
    ~ContentModel();

    // Replaces the model by the one read from model text such as
    // "(#PCDATA|A|B)*" or "(#FLOW)* -(FORM)".
    void parse(const std::string& text);
    // Back to the initial state: type ANY_CONTENT, no groups.
    void clear();

    // The category of the model.
    Type getType() const { return _type; }
    // The model group, or null when the model names no element.
    const _Node* getRoot() const { return _root; }
    // The inclusion group (after "+"), or null.
    const _Node* getInclusions() const { return _inclusions; }
    // The exclusion group (after "-"), or null.
    const _Node* getExclusions() const { return _exclusions; }

    // The element reference of the model group named name (case-sensitive), or null.
    const _Element* find(const std::string& name) const { return _root ? _root->find(name) : nullptr; }
    // Whether the inclusion group names name.
    bool includes(const std::string& name) const { return _inclusions && _inclusions->find(name); }
    // Whether the exclusion group names name.
    bool excludes(const std::string& name) const { return _exclusions && _exclusions->find(name); }
    // The element names of the root in member order, duplicates kept.
    void collectNames(std::vector<std::string>& list) const;

    // The model text written in a declaration: "EMPTY", "CDATA", "ANY",
    // "(#PCDATA)" or the groups with their keyword and exceptions.
    std::string toString() const;
    // Appends the model text to text.
    void toString(std::string& text) const;

private:
    void _swap(ContentModel& other) noexcept;

    Type _type;
    _Node* _root;
    _Node* _inclusions;
    _Node* _exclusions;
};

#endif
