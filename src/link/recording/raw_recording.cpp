#include "link/recording/raw_recording.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

#include "platform/file_problem.h"

namespace vexa {

RawRecording::RawRecording() : buffer_(kBufferSize) {}

RawRecording::~RawRecording() { Stop(); }

int RawRecording::Start(const std::string& path) {
    Stop();
    std::lock_guard guard(mutex_);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return errno;
    fd_ = fd;
    path_ = path;
    filled_ = 0;
    active_ = true;
    return 0;
}

std::string RawRecording::Stop() {
    std::lock_guard guard(mutex_);
    if (fd_ < 0) return {};
    std::string problem = FlushLocked();
    if (fd_ >= 0) {
        if (::close(fd_) != 0 && problem.empty()) problem = "Recording stopped: " + FileErrorText(path_, errno);
        fd_ = -1;
        active_ = false;
    }
    return problem;
}

std::string RawRecording::Append(std::span<const std::uint8_t> bytes) {
    std::lock_guard guard(mutex_);
    if (fd_ < 0) return {};
    if (bytes.size() > kBufferSize - filled_) {
        if (std::string problem = FlushLocked(); !problem.empty()) return problem;
        if (bytes.size() >= kBufferSize) return WriteOut(bytes.data(), bytes.size());
    }
    std::memcpy(buffer_.data() + filled_, bytes.data(), bytes.size());
    filled_ += bytes.size();
    return {};
}

std::string RawRecording::Flush() {
    std::lock_guard guard(mutex_);
    return FlushLocked();
}

std::string RawRecording::FlushLocked() {
    if (fd_ < 0 || filled_ == 0) return {};
    std::string problem = WriteOut(buffer_.data(), filled_);
    filled_ = 0;
    return problem;
}

std::string RawRecording::WriteOut(const std::uint8_t* bytes, std::size_t length) {
    while (length > 0) {
        const ssize_t count = ::write(fd_, bytes, length);
        if (count < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            CloseFile();
            return "Recording stopped: " + FileErrorText(path_, error);
        }
        bytes += count;
        length -= static_cast<std::size_t>(count);
    }
    return {};
}

void RawRecording::CloseFile() {
    ::close(fd_);
    fd_ = -1;
    filled_ = 0;
    active_ = false;
}

}  // namespace vexa
