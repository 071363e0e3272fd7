#pragma once

#include <functional>
#include <thread>

namespace vexa {

// Starts `body` on a new thread; kResultOk, or kResultNoResource when no thread can be had.
int StartThread(std::thread& thread, std::function<void()> body);

// Waits without limit for the thread to end; kResultNoResource when it cannot be joined.
int EndThread(std::thread& thread);

}  // namespace vexa
