// Registration of listeners and synchronous delivery of events.
#include "tree/EventTarget.h"

#include <algorithm>

namespace dom {

EventTarget::~EventTarget()
{
    delete _listeners;
}

void EventTarget::addEventListener(const std::string& type, EventListener* listener, bool)
{
    if (type.empty() || !listener)
        return;
    if (!_listeners)
        _listeners = new ListenerTable;
    for (const Registration& r : _listeners->registrations)
        if (r.listener == listener && r.type == type)
            return;
    _listeners->registrations.push_back(Registration{type, listener});
}

void EventTarget::removeEventListener(const std::string& type, EventListener* listener, bool)
{
    if (!_listeners || !listener)
        return;
    std::vector<Registration>& regs = _listeners->registrations;
    for (std::size_t i = 0; i < regs.size(); ++i) {
        if (regs[i].listener != listener || regs[i].type != type)
            continue;
        // While an event is being delivered the place stays, emptied, so
        // the delivery walk does not skip or repeat anyone.
        if (_listeners->deliveries) {
            regs[i].listener = nullptr;
            _listeners->removedDuring = true;
        } else {
            regs.erase(regs.begin() + static_cast<std::ptrdiff_t>(i));
        }
        return;
    }
}

bool EventTarget::dispatchEvent(const Event* event) const
{
    if (!_listeners || !event || event->target() != this)
        return true;
    const std::string type = event->type();
    if (type.empty())
        return true;
    ListenerTable* table = _listeners;
    // Registrations added by a listener during this delivery hear the next
    // event: the walk stops at the count taken here.
    const std::size_t count = table->registrations.size();
    ++table->deliveries;
    for (std::size_t i = 0; i < count; ++i) {
        // Index, not iterator: a listener may append to the table.
        EventListener* listener = table->registrations[i].listener;
        if (listener && table->registrations[i].type == type)
            listener->handleEvent(event);
    }
    --table->deliveries;
    _compactAfterDelivery();
    return true;
}

void EventTarget::_compactAfterDelivery() const
{
    ListenerTable* table = _listeners;
    if (table->deliveries || !table->removedDuring)
        return;
    std::vector<Registration>& regs = table->registrations;
    regs.erase(std::remove_if(regs.begin(), regs.end(),
                              [](const Registration& r) { return r.listener == nullptr; }),
               regs.end());
    table->removedDuring = false;
}

} // namespace dom
