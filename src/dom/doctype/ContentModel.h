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
        // Kinds.
        static constexpr unsigned long GROUP_KIND = 0;
        static constexpr unsigned long ELEMENT_KIND = 1;

        // Occurrence indicators.
        static constexpr unsigned long OCCURS_OPTIONAL = 0;     // "?"
        static constexpr unsigned long OCCURS_ONE_OR_MORE = 1;  // "+"
        static constexpr unsigned long OCCURS_ANY = 2;          // "*"
        static constexpr unsigned long OCCURS_ONCE = 3;         // no indicator

        virtual ~_Node();
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

        unsigned long getOccurrence() const { return _occurrence; }
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
        explicit _Element(const std::string& name) : _name(name) {}

        unsigned long getKind() const override { return ELEMENT_KIND; }
        bool isEmpty() const override { return _name.empty(); }
        _Node* clone() const override { return new _Element(*this); }
        const _Element* find(const std::string& name) const override;
        void collectNames(std::vector<std::string>& list) const override;
        void toString(std::string& text) const override;

        const std::string& getName() const { return _name; }

    private:
        _Element(const _Element&) = default;

        std::string _name;
    };

    // A parenthesised group of members joined by one connector.
    class _Group : public _Node {
    public:
        // Connectors.
        static constexpr unsigned long SEQUENCE_CONNECTOR = 0;  // ","
        static constexpr unsigned long CHOICE_CONNECTOR = 1;    // "|"
        static constexpr unsigned long ALL_CONNECTOR = 2;       // "&"
        static constexpr unsigned long NO_CONNECTOR = 3;        // not set yet

        _Group() : _connector(NO_CONNECTOR) {}
        ~_Group() override;

        unsigned long getKind() const override { return GROUP_KIND; }
        bool isEmpty() const override { return _members.empty(); }
        _Node* clone() const override;
        const _Element* find(const std::string& name) const override;
        void collectNames(std::vector<std::string>& list) const override;
        void toString(std::string& text) const override;

        unsigned long getConnector() const { return _connector; }
        void setConnector(unsigned long connector) { _connector = connector; }
        // The character written between members; a blank when unset.
        static char connectorChar(unsigned long connector);

        unsigned long getLength() const { return static_cast<unsigned long>(_members.size()); }
        const _Node* getMember(unsigned long index) const
        {
            return index < _members.size() ? _members[index] : nullptr;
        }
        // Takes ownership of member.
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

    ContentModel();
    // Same as parse(text) on a new model.
    explicit ContentModel(const std::string& text);
    ContentModel(const ContentModel& other);
    ContentModel(ContentModel&& other) noexcept;
    ContentModel& operator=(const ContentModel& other);
    ContentModel& operator=(ContentModel&& other) noexcept;
    ~ContentModel();

    // Replaces the model by the one read from model text such as
    // "(#PCDATA|A|B)*" or "(#FLOW)* -(FORM)".
    void parse(const std::string& text);
    // Back to the initial state: type ANY_CONTENT, no groups.
    void clear();

    Type getType() const { return _type; }
    const _Node* getRoot() const { return _root; }
    const _Node* getInclusions() const { return _inclusions; }
    const _Node* getExclusions() const { return _exclusions; }

    // Lookups in the root, the inclusions and the exclusions; false or
    // null when the group is absent.
    const _Element* find(const std::string& name) const { return _root ? _root->find(name) : nullptr; }
    bool includes(const std::string& name) const { return _inclusions && _inclusions->find(name); }
    bool excludes(const std::string& name) const { return _exclusions && _exclusions->find(name); }
    // The element names of the root in member order, duplicates kept.
    void collectNames(std::vector<std::string>& list) const;

    // The model text written in a declaration: "EMPTY", "CDATA", "ANY",
    // "(#PCDATA)" or the groups with their keyword and exceptions.
    std::string toString() const;
    void toString(std::string& text) const;

private:
    void _swap(ContentModel& other) noexcept;

    Type _type;
    _Node* _root;
    _Node* _inclusions;
    _Node* _exclusions;
};

#endif
