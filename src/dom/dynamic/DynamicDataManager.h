// The process-wide manager of the dynamic-element kinds, held by the
// registry.
#ifndef PAGEDOM_DYNAMIC_DYNAMICDATAMANAGER_H
#define PAGEDOM_DYNAMIC_DYNAMICDATAMANAGER_H

// The process-wide manager of the dynamic-element kinds.  It carries no data
// of its own; the registry creates it on first use (DOMImpl::
// getDynamicDataManager) and deletes it at exit.
class DynamicDataManager {
public:
    // An empty manager; the registry makes the one the process uses.
    DynamicDataManager() {}
    // Deleted by the registry at exit.
    virtual ~DynamicDataManager() {}

private:
    DynamicDataManager(const DynamicDataManager&) = delete;
    DynamicDataManager& operator=(const DynamicDataManager&) = delete;
};

#endif
