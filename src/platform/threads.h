#pragma once

#include <functional>
#include <thread>

#include "platform/result_codes.h"

namespace vexa {

// Starts `body` on a new thread; kResultOk, or kResultNoResource when no thread can be had.
LinkResult StartThread(std::thread& thread, std::function<void()> body);

// Waits without limit for the thread to end; kResultNoResource when it cannot be joined.
LinkResult EndThread(std::thread& thread);

}  // namespace vexa
