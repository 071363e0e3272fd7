#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <vector>

namespace vexa {

// Every byte read from the receiver, unchanged, in a file that the simulator can replay and the
// decoder can read. Bytes gather in memory and go to the file when the buffer fills or the
// receiver pauses, so that the reader thread seldom waits on the disk. A write error ends the
// recording at once: what reached the file stays there, and the error is told once.
//
// Start and Stop come from the thread that owns the link, Append and Flush from the reader thread.
class RawRecording {
public:
    static constexpr std::size_t kBufferSize = 64 * 1024;

    RawRecording();
    ~RawRecording();
    RawRecording(const RawRecording&) = delete;
    RawRecording& operator=(const RawRecording&) = delete;

    // Creates (or replaces) the file, ending a recording in progress first; 0, or the system's error
    // number. The text of a write error that ended the earlier recording is dropped: Stop it first.
    int Start(const std::string& path);
    // Writes out what has gathered and closes the file. Empty, or why the last write failed.
    std::string Stop();
    bool Active() const { return active_.load(); }
    const std::string& Path() const { return path_; }

    // Each gives an empty text, or why the recording has just ended.
    std::string Append(std::span<const std::uint8_t> bytes);
    std::string Flush();

private:
    std::string FlushLocked();
    std::string WriteOut(const std::uint8_t* bytes, std::size_t length);
    void CloseFile();

    std::mutex mutex_;
    std::atomic<bool> active_{false};
    int fd_ = -1;
    std::string path_;
    std::vector<std::uint8_t> buffer_;
    std::size_t filled_ = 0;
};

}  // namespace vexa
