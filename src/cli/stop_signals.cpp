#include "cli/stop_signals.h"

#include <pthread.h>

#include <utility>

namespace vexa {

StopSignals::StopSignals() {
    sigemptyset(&signals_);
    sigaddset(&signals_, SIGINT);
    sigaddset(&signals_, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals_, nullptr);
}

StopSignals::~StopSignals() { StopWatching(); }

void StopSignals::StopWatching() {
    if (!watcher_.joinable()) return;
    ending_ = true;
    pthread_kill(watcher_.native_handle(), SIGTERM);
    watcher_.join();
}

void StopSignals::Watch(std::function<void(int signal)> onSignal) {
    onSignal_ = std::move(onSignal);
    watcher_ = std::thread([this] {
        int signal = 0;
        while (sigwait(&signals_, &signal) == 0 && !ending_) onSignal_(signal);
    });
}

}  // namespace vexa
