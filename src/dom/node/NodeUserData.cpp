// The host's attachments to nodes, kept in one table beside the nodes.
#include "node/Node.h"

#include <mutex>
#include <unordered_map>

namespace {

// The attachments of all nodes, by node.  Few nodes carry one, so a node
// keeps only a mark that it has one.  Trees may live on different threads,
// so the table is locked.
struct UserDataTable {
    std::mutex lock;
    std::unordered_map<const Node*, Node::UserData*> entries;
};

UserDataTable& userDataTable()
{
    static UserDataTable* table = new UserDataTable; // outlives every node
    return *table;
}

} // namespace

Node::UserData* Node::_findUserData() const
{
    UserDataTable& table = userDataTable();
    std::lock_guard<std::mutex> guard(table.lock);
    auto it = table.entries.find(this);
    return it == table.entries.end() ? nullptr : it->second;
}

void Node::setUserData(UserData* data)
{
    UserData* old = nullptr;
    {
        UserDataTable& table = userDataTable();
        std::lock_guard<std::mutex> guard(table.lock);
        if (_hasUserData) {
            auto it = table.entries.find(this);
            old = it->second;
            if (data)
                it->second = data;
            else
                table.entries.erase(it);
        } else if (data) {
            table.entries.emplace(this, data);
        }
        _hasUserData = data != nullptr;
    }
    // Released outside the lock: a host's release may reach other nodes.
    if (old && old != data)
        old->release();
}
