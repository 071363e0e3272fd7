#pragma once

#include <filesystem>

namespace vexa {

// Notices serial devices coming and going while the program runs: the device folder gains a node
// when a receiver is plugged in and loses it when the receiver is pulled out. The owner waits on
// Descriptor() with its own event loop (readable when something changed) and then asks Changed();
// nothing polls.
class PortWatch {
public:
    explicit PortWatch(const std::filesystem::path& devRoot);
    ~PortWatch();
    PortWatch(const PortWatch&) = delete;
    PortWatch& operator=(const PortWatch&) = delete;

    // False when the folder cannot be watched; the port list then changes only when read again.
    bool Watching() const { return watch_ >= 0; }
    int Descriptor() const { return fd_; }
    // Takes the notices that arrived: true when a node was added, removed or renamed since the last call.
    bool Changed();

private:
    int fd_ = -1;
    int watch_ = -1;
};

}  // namespace vexa
