#pragma once

#include <mutex>

namespace Kavo
{

// One table of a module for the whole process, made by its first user and deleted by its last.
template <typename Table>
class SharedLibraryTable
{
public:
    // The table, made with make() when there is none.
    template <typename Make>
    Table* Acquire(Make make)
    {
        std::lock_guard<std::mutex> lock(mLock);
        if (!mTable) mTable = make();
        ++mUsers;
        return mTable;
    }
    void Release()
    {
        std::lock_guard<std::mutex> lock(mLock);
        if (--mUsers > 0) return;
        mUsers = 0;
        delete mTable;
        mTable = nullptr;
    }

private:
    std::mutex mLock;
    int mUsers = 0;
    Table* mTable = nullptr;
};

} // namespace Kavo
