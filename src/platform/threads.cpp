#include "platform/threads.h"

#include <system_error>

#include "platform/result_codes.h"

namespace vexa {

LinkResult StartThread(std::thread& thread, std::function<void()> body) {
    try {
        thread = std::thread(std::move(body));
    } catch (const std::system_error&) {
        return kResultNoResource;
    }
    return kResultOk;
}

LinkResult EndThread(std::thread& thread) {
    if (!thread.joinable()) return kResultNoResource;
    try {
        thread.join();
    } catch (const std::system_error&) {
        thread.detach();
        return kResultNoResource;
    }
    return kResultOk;
}

}  // namespace vexa
