// Content models: reading model text into groups, copying and writing them
// back, all without recursion.
#include "doctype/ContentModel.h"

#include <utility>

namespace {

// Characters that end a name in model text.
const char* const NAME_DELIMITERS = " (),|&?+*-\r\n\t";

const char* const PCDATA_KEY = "#PCDATA";
const char* const INLINE_KEY = "#INLINE";
const char* const FLOW_KEY = "#FLOW";

} // namespace

// ---------------------------------------------------------------------------
// _Node

ContentModel::_Node::~_Node() = default;

const char* ContentModel::_Node::occurrenceSuffix(unsigned long occurrence)
{
    switch (occurrence) {
    case OCCURS_OPTIONAL:
        return "?";
    case OCCURS_ONE_OR_MORE:
        return "+";
    case OCCURS_ANY:
        return "*";
    default:
        return "";
    }
}

// ---------------------------------------------------------------------------
// _Element

const ContentModel::_Element* ContentModel::_Element::find(const std::string& name) const
{
    return _name == name ? this : nullptr;
}

void ContentModel::_Element::collectNames(std::vector<std::string>& list) const
{
    list.push_back(_name);
}

void ContentModel::_Element::toString(std::string& text) const
{
    text += _name;
    text += occurrenceSuffix(getOccurrence());
}

// ---------------------------------------------------------------------------
// _Group
//
// The walks below handle nested groups themselves with an explicit stack
// instead of calling the members' virtual operations, so that the depth of a
// model costs heap, not call stack.

ContentModel::_Group::~_Group()
{
    // Flatten the subtree: take the members of every group before deleting
    // it, so that each destructor on the way finds an empty member list.
    std::vector<_Node*> pending;
    pending.swap(_members);
    while (!pending.empty()) {
        _Node* node = pending.back();
        pending.pop_back();
        if (node->getKind() == GROUP_KIND) {
            _Group* group = static_cast<_Group*>(node);
            pending.insert(pending.end(), group->_members.begin(), group->_members.end());
            group->_members.clear();
        }
        delete node;
    }
}

char ContentModel::_Group::connectorChar(unsigned long connector)
{
    switch (connector) {
    case SEQUENCE_CONNECTOR:
        return ',';
    case CHOICE_CONNECTOR:
        return '|';
    case ALL_CONNECTOR:
        return '&';
    default:
        return ' ';
    }
}

ContentModel::_Node* ContentModel::_Group::clone() const
{
    struct Frame {
        const _Group* source;
        _Group* copy;
        std::size_t next;
    };
    _Group* top = new _Group(*this);
    std::vector<Frame> stack;
    stack.push_back(Frame{this, top, 0});
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next == frame.source->_members.size()) {
            stack.pop_back();
            continue;
        }
        const _Node* member = frame.source->_members[frame.next++];
        if (member->getKind() == GROUP_KIND) {
            const _Group* group = static_cast<const _Group*>(member);
            _Group* copy = new _Group(*group);
            frame.copy->_members.push_back(copy);
            stack.push_back(Frame{group, copy, 0});
        } else {
            frame.copy->_members.push_back(member->clone());
        }
    }
    return top;
}

const ContentModel::_Element* ContentModel::_Group::find(const std::string& name) const
{
    // Asked for every child the tree builder places, so a flat group is
    // searched without allocating: only nested groups push a frame.
    struct Frame {
        const _Group* group;
        std::size_t next;
    };
    std::vector<Frame> outer;
    const _Group* group = this;
    std::size_t next = 0;
    for (;;) {
        if (next == group->_members.size()) {
            if (outer.empty())
                return nullptr;
            group = outer.back().group;
            next = outer.back().next;
            outer.pop_back();
            continue;
        }
        const _Node* member = group->_members[next++];
        if (member->getKind() == GROUP_KIND) {
            outer.push_back(Frame{group, next});
            group = static_cast<const _Group*>(member);
            next = 0;
        } else if (static_cast<const _Element*>(member)->getName() == name) {
            return static_cast<const _Element*>(member);
        }
    }
}

void ContentModel::_Group::collectNames(std::vector<std::string>& list) const
{
    struct Frame {
        const _Group* group;
        std::size_t next;
    };
    std::vector<Frame> stack;
    stack.push_back(Frame{this, 0});
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next == frame.group->_members.size()) {
            stack.pop_back();
            continue;
        }
        const _Node* member = frame.group->_members[frame.next++];
        if (member->getKind() == GROUP_KIND)
            stack.push_back(Frame{static_cast<const _Group*>(member), 0});
        else
            member->collectNames(list);
    }
}

void ContentModel::_Group::toString(std::string& text) const
{
    struct Frame {
        const _Group* group;
        std::size_t next;
    };
    std::vector<Frame> stack;
    text += '(';
    stack.push_back(Frame{this, 0});
    while (!stack.empty()) {
        Frame& frame = stack.back();
        const _Group* group = frame.group;
        if (frame.next == group->_members.size()) {
            text += ')';
            text += occurrenceSuffix(group->getOccurrence());
            stack.pop_back();
            continue;
        }
        if (frame.next != 0)
            text += connectorChar(group->_connector);
        const _Node* member = group->_members[frame.next++];
        if (member->getKind() == GROUP_KIND) {
            text += '(';
            stack.push_back(Frame{static_cast<const _Group*>(member), 0});
        } else {
            member->toString(text);
        }
    }
}

// ---------------------------------------------------------------------------
// ContentModel

ContentModel::ContentModel()
    : _type(ANY_CONTENT), _root(nullptr), _inclusions(nullptr), _exclusions(nullptr)
{
}

ContentModel::ContentModel(const std::string& text) : ContentModel()
{
    parse(text);
}

ContentModel::ContentModel(const ContentModel& other)
    : _type(other._type), _root(other._root ? other._root->clone() : nullptr),
      _inclusions(other._inclusions ? other._inclusions->clone() : nullptr),
      _exclusions(other._exclusions ? other._exclusions->clone() : nullptr)
{
}

ContentModel::ContentModel(ContentModel&& other) noexcept : ContentModel()
{
    _swap(other);
}

ContentModel& ContentModel::operator=(const ContentModel& other)
{
    if (this != &other) {
        ContentModel copy(other);
        _swap(copy);
    }
    return *this;
}

ContentModel& ContentModel::operator=(ContentModel&& other) noexcept
{
    if (this != &other) {
        clear();
        _swap(other);
    }
    return *this;
}

ContentModel::~ContentModel()
{
    clear();
}

void ContentModel::_swap(ContentModel& other) noexcept
{
    std::swap(_type, other._type);
    std::swap(_root, other._root);
    std::swap(_inclusions, other._inclusions);
    std::swap(_exclusions, other._exclusions);
}

void ContentModel::clear()
{
    delete _root;
    delete _inclusions;
    delete _exclusions;
    _root = nullptr;
    _inclusions = nullptr;
    _exclusions = nullptr;
    _type = ANY_CONTENT;
}

// Reads model text one character at a time.  Groups open with "(" and close
// with ")"; the first top-level group goes into the current slot, which is
// the root until a "+" or "-" outside any group selects the inclusions or
// the exclusions.  An occurrence indicator applies to the node just read (an
// element name or a closed group); white space forgets that node, so "A *"
// leaves A alone.  The keywords change the category; element names are
// kept only inside a group and only when the category admits names.
void ContentModel::parse(const std::string& text)
{
    clear();

    std::vector<_Group*> open;  // groups not yet closed, innermost last
    _Node** slot = &_root;      // where the next top-level group goes
    _Node* last = nullptr;      // the node an indicator would apply to

    const std::size_t length = text.size();
    std::size_t i = 0;
    while (i < length) {
        const char c = text[i];
        switch (c) {
        case ' ':
        case '\t':
        case '\r':
        case '\n':
            last = nullptr;
            ++i;
            continue;

        case '(':
            if (!open.empty()) {
                _Group* group = new _Group;
                open.back()->appendMember(group);
                open.push_back(group);
            } else if (!*slot) {
                _Group* group = new _Group;
                *slot = group;
                open.push_back(group);
            }
            // A second top-level group in the same slot is ignored.
            ++i;
            continue;

        case ')':
            // Unbalanced closing parentheses are ignored.
            if (!open.empty()) {
                last = open.back();
                open.pop_back();
            }
            ++i;
            continue;

        case '?':
        case '+':
        case '*':
            if (last) {
                last->setOccurrence(c == '?' ? _Node::OCCURS_OPTIONAL
                                    : c == '+' ? _Node::OCCURS_ONE_OR_MORE
                                               : _Node::OCCURS_ANY);
            } else if (c == '+' && open.empty()) {
                slot = &_inclusions;
            }
            ++i;
            continue;

        case '-':
            if (!last && open.empty())
                slot = &_exclusions;
            ++i;
            continue;

        case ',':
        case '|':
        case '&':
            // The first connector of a group decides; later ones are ignored.
            if (!open.empty() && open.back()->getConnector() == _Group::NO_CONNECTOR) {
                open.back()->setConnector(c == ',' ? _Group::SEQUENCE_CONNECTOR
                                          : c == '|' ? _Group::CHOICE_CONNECTOR
                                                     : _Group::ALL_CONNECTOR);
            }
            ++i;
            continue;

        default:
            break;
        }

        // A name: everything up to the next delimiter.
        std::size_t end = text.find_first_of(NAME_DELIMITERS, i);
        if (end == std::string::npos)
            end = length;
        const std::string name = text.substr(i, end - i);
        i = end;

        if (name == "EMPTY") {
            if (_type == ANY_CONTENT)
                _type = EMPTY_CONTENT;
        } else if (name == PCDATA_KEY) {
            if (_type == ELEMENT_CONTENT)
                _type = MIXED_CONTENT;
            else if (_type == ANY_CONTENT)
                _type = PCDATA_CONTENT;
        } else if (name == "CDATA") {
            if (_type == ANY_CONTENT)
                _type = CDATA_CONTENT;
        } else if (name == INLINE_KEY) {
            if (_type == ELEMENT_CONTENT || _type == MIXED_CONTENT || _type == PCDATA_CONTENT ||
                _type == ANY_CONTENT)
                _type = INLINE_CONTENT;
        } else if (name == FLOW_KEY) {
            if (_type == ELEMENT_CONTENT || _type == MIXED_CONTENT || _type == PCDATA_CONTENT ||
                _type == INLINE_CONTENT || _type == ANY_CONTENT)
                _type = FLOW_CONTENT;
        } else if (name == "ANY") {
            // Leaves the category as it is.
        } else if (!open.empty()) {
            if (_type == ANY_CONTENT)
                _type = ELEMENT_CONTENT;
            else if (_type == PCDATA_CONTENT)
                _type = MIXED_CONTENT;
            // Names in an EMPTY or CDATA model are dropped.
            if (_type != EMPTY_CONTENT && _type != CDATA_CONTENT) {
                _Element* element = new _Element(name);
                open.back()->appendMember(element);
                last = element;
            }
        }
    }

    // A root that names nothing (as in "(#PCDATA)" or "(#FLOW)*") is dropped.
    if (_root && _root->isEmpty()) {
        delete _root;
        _root = nullptr;
    }
}

void ContentModel::collectNames(std::vector<std::string>& list) const
{
    if (_root)
        _root->collectNames(list);
}

std::string ContentModel::toString() const
{
    std::string text;
    toString(text);
    return text;
}

void ContentModel::toString(std::string& text) const
{
    const char* keyword = nullptr;
    switch (_type) {
    case EMPTY_CONTENT:
        text += "EMPTY";
        return;
    case CDATA_CONTENT:
        text += "CDATA";
        return;
    case ANY_CONTENT:
        text += "ANY";
        return;
    case PCDATA_CONTENT:
        text += "(#PCDATA)";
        return;
    case MIXED_CONTENT:
        keyword = PCDATA_KEY;
        break;
    case INLINE_CONTENT:
        keyword = INLINE_KEY;
        break;
    case FLOW_CONTENT:
        keyword = FLOW_KEY;
        break;
    default:
        break;
    }

    std::string body;
    if (_root)
        _root->toString(body);
    if (_inclusions) {
        if (!body.empty())
            body += ' ';
        body += '+';
        _inclusions->toString(body);
    }
    if (_exclusions) {
        if (!body.empty())
            body += ' ';
        body += '-';
        _exclusions->toString(body);
    }

    if (keyword) {
        if (!_root) {
            std::string head = std::string("(") + keyword + ")";
            if (!body.empty())
                head += ' ';
            body.insert(0, head);
        } else if (_root->getKind() == _Node::GROUP_KIND && !body.empty() && body[0] == '(') {
            // The keyword leads the root group: "(#PCDATA|A|B)*".
            std::string lead = keyword;
            lead += _Group::connectorChar(static_cast<const _Group*>(_root)->getConnector());
            body.insert(1, lead);
        }
    }
    text += body;
}
