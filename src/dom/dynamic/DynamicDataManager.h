#ifndef PAGEDOM_DYNAMIC_DYNAMICDATAMANAGER_H
#define PAGEDOM_DYNAMIC_DYNAMICDATAMANAGER_H

// The process-wide manager of the dynamic-element kinds.  It carries no data
// of its own; the registry creates it on first use and deletes it at exit.
class DynamicDataManager {
public:
    DynamicDataManager() {}
    virtual ~DynamicDataManager() {}

private:
    DynamicDataManager(const DynamicDataManager&) = delete;
    DynamicDataManager& operator=(const DynamicDataManager&) = delete;
};

#endif
