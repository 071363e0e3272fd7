#pragma once

#include <mutex>

namespace vexa {

// The link's pool of 10 locks (the port's write lock, the model lock).
inline constexpr int kLockPoolSize = 10;

// A free lock of the pool, or nullptr when all are in use (the caller then fails with 8705).
std::mutex* TakeLock();
void GiveBackLock(std::mutex* lock);

}  // namespace vexa
