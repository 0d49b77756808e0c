// Document events: the event classes, the listener a host implements, and
// the target that keeps the listeners and delivers events to them.
#ifndef PAGEDOM_TREE_EVENTTARGET_H
#define PAGEDOM_TREE_EVENTTARGET_H

#include <cstdint>
#include <string>
#include <vector>

class Node;

namespace dom {

class EventTarget;

// A notification: a type string and the target that sends it.  Events are
// flat and synchronous: no capture, no bubbling, no cancellation.
class Event {
public:
    // An event of type sent by target.
    Event(const EventTarget* target, const std::string& type) : _target(target), _type(type) {}

    // The target that sends the event (not owned).
    const EventTarget* target() const { return _target; }
    // The event's type, e.g. "END_UNDO".
    std::string type() const { return _type; }

private:
    const EventTarget* _target;
    std::string _type;
};

// An event about a change of the tree: the node concerned and the range of
// its children involved.
class RecordEvent : public Event {
public:
    // A record event of type about childCount children of recordNode from
    // childIndex.
    RecordEvent(const EventTarget* target, const std::string& type, const Node* recordNode,
                std::uint32_t childIndex, std::uint32_t childCount)
        : Event(target, type), _recordNode(recordNode), _childIndex(childIndex), _childCount(childCount)
    {
    }

    // The parent of an insertion or removal, the node of a modification.
    const Node* recordNode() const { return _recordNode; }
    // The index of the child inserted or about to be removed (0 for a
    // modification).
    std::uint32_t childIndex() const { return _childIndex; }
    // How many children the change concerns: 1, or every child of the
    // document when a page is read or the whole document is formatted.
    std::uint32_t childCount() const { return _childCount; }

private:
    const Node* _recordNode;
    std::uint32_t _childIndex;
    std::uint32_t _childCount;
};

// What a host implements to hear of a document's changes.  The library
// never deletes a listener.
class EventListener {
public:
    // A listener; nothing to set up.
    EventListener() {}
    // Copying a listener copies nothing of its registrations.
    EventListener(const EventListener&) {}
    // The host's listener goes; the targets it was registered on must no
    // longer deliver to it (remove it first).
    virtual ~EventListener() {}

    // Called for each event of a type the listener was registered for, on
    // the thread that changed the document, inside the changing operation.
    // A record event arrives as its base; the type tells the kinds apart.
    virtual void handleEvent(const Event* event) = 0;
};

// The sender of events: keeps listeners per type in registration order and
// delivers each event to the listeners of its type.
//
// Listeners may add and remove registrations (their own included) while an
// event is being delivered: a registration removed during delivery is not
// called again, one added during delivery hears the next event, not the
// current one.  The table only shrinks once the outermost delivery is over,
// so the walk's places stay valid.
class EventTarget {
public:
    // A target without listeners.
    EventTarget() {}
    // Lets the registrations go (never the listeners).
    virtual ~EventTarget() = 0;

    // Registers listener for type; ignored for an empty type, a null
    // listener, or a listener already registered for that type.
    // useCapture is accepted and not used.
    void addEventListener(const std::string& type, EventListener* listener, bool useCapture);
    // Removes the registration of listener for type, if there is one.
    // useCapture is not used.
    void removeEventListener(const std::string& type, EventListener* listener, bool useCapture);
    // Calls, in registration order, every listener registered for the
    // event's type, when the event names this target; always true.
    bool dispatchEvent(const Event* event) const;

protected:
    // A copy of a target has no listeners.
    EventTarget(const EventTarget&) {}
    EventTarget& operator=(const EventTarget&) { return *this; }

private:
    struct Registration {
        std::string type;
        EventListener* listener; // null once removed during a delivery
    };
    struct ListenerTable {
        std::vector<Registration> registrations;
        unsigned deliveries = 0; // deliveries in progress
        bool removedDuring = false;
    };

    void _compactAfterDelivery() const;

    ListenerTable* _listeners = nullptr;
};

} // namespace dom

#endif
