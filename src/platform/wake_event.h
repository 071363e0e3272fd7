#pragma once

#include <chrono>

namespace vexa {

// Lets one thread interrupt another's wait on a descriptor (an eventfd underneath).
class WakeEvent {
public:
    WakeEvent();
    ~WakeEvent();
    WakeEvent(const WakeEvent&) = delete;
    WakeEvent& operator=(const WakeEvent&) = delete;

    bool valid() const { return fd_ >= 0; }
    // Readable while signalled, for a caller that waits on it among other descriptors.
    int descriptor() const { return fd_; }
    void signal();
    void clear();
    bool signalled() const { return waitReadable(-1, std::chrono::milliseconds(0)) == Wait::Woken; }

    enum class Wait { Readable, Woken, TimedOut, Failed };
    // Waits until fd has bytes (or has hung up or failed, which a read then reports), the event is
    // signalled, or the time-out passes. A signalled event stays signalled until clear().
    Wait waitReadable(int fd, std::chrono::milliseconds timeout) const;
    // Sleeps for the time-out unless the event is signalled first; false when it was.
    bool sleep(std::chrono::milliseconds timeout) const;

private:
    int fd_ = -1;
};

}  // namespace vexa
