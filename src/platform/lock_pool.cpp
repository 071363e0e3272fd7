#include "platform/lock_pool.h"

#include "platform/slot_table.h"

namespace vexa {
namespace {

SlotTable<std::mutex, kLockPoolSize>& Pool() {
    static SlotTable<std::mutex, kLockPoolSize> pool;
    return pool;
}

}  // namespace

std::mutex* TakeLock() { return Pool().take(); }

void GiveBackLock(std::mutex* lock) { Pool().giveBack(lock); }

}  // namespace vexa
