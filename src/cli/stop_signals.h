#pragma once

#include <signal.h>

#include <atomic>
#include <functional>
#include <thread>

namespace vexa {

// Turns SIGINT and SIGTERM into a call on a watcher thread, so that the program can shut down
// cleanly. Construct it before any other thread starts: the signals stay blocked in this thread
// and in every thread started after it, for the rest of the process, and a signal that arrives
// before Watch() waits for it.
class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // `onSignal` is told which signal arrived.
    void Watch(std::function<void(int signal)> onSignal);
    // Ends the watcher; after this `onSignal` is not called any more.
    void StopWatching();

private:
    sigset_t signals_;
    std::function<void(int signal)> onSignal_;
    std::atomic<bool> ending_{false};
    std::thread watcher_;
};

}  // namespace vexa
