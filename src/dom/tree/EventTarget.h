// The receiver side of document events.
#ifndef PAGEDOM_TREE_EVENTTARGET_H
#define PAGEDOM_TREE_EVENTTARGET_H

namespace dom {

// Receiver side of document events.  A document is an event target; the
// listener registry and dispatch are added with the event classes.
class EventTarget {
public:
    // An event target without listeners.
    EventTarget() {}
    // Lets the listeners go.
    virtual ~EventTarget() {}

protected:
    EventTarget(const EventTarget&) {}
    EventTarget& operator=(const EventTarget&) { return *this; }
};

} // namespace dom

#endif
