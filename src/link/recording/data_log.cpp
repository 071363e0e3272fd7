#include "link/recording/data_log.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

#include "platform/local_time.h"
#include "platform/result_codes.h"

namespace vexa {
namespace {

constexpr std::size_t kBufferSize = 64 * 1024;
constexpr const char* kProgramName = "VexaDemoPPC";

}  // namespace

DataLog::DataLog() : buffer_(kBufferSize) {}

DataLog::~DataLog() {
    if (IsOpen()) ::close(fd_);
}

LinkResult DataLog::Open(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return kResultNoResource;
    fd_ = fd;
    filled_ = 0;
    const std::string banner = std::string(kProgramName) + " Version 1.02 log file opened " + LocalDateText() + " " +
                               LocalTimeText() + "\r\n\r\n";
    Write(banner);
    return kResultOk;
}

int DataLog::Write(std::string_view text) {
    if (!IsOpen()) return 0;
    if (text.size() > kBufferSize - filled_) {
        if (const int cause = Flush(); cause != 0) return cause;
        if (text.size() >= kBufferSize) return WriteOut(text.data(), text.size());
    }
    std::memcpy(buffer_.data() + filled_, text.data(), text.size());
    filled_ += text.size();
    return 0;
}

int DataLog::Flush() {
    if (!IsOpen() || filled_ == 0) return 0;
    const int cause = WriteOut(buffer_.data(), filled_);
    filled_ = 0;
    return cause;
}

int DataLog::Close() {
    if (!IsOpen()) return 0;
    const std::string closing = "\r\nLog file closed " + LocalDateText() + " " + LocalTimeText() + "\r\n";
    if (const int cause = Write(closing); cause != 0) return cause;
    if (const int cause = Flush(); cause != 0) return cause;
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0 ? 0 : FileErrorCause(errno);
}

int DataLog::WriteOut(const char* bytes, std::size_t length) {
    while (length > 0) {
        const ssize_t count = ::write(fd_, bytes, length);
        if (count < 0) {
            if (errno == EINTR) continue;
            return Fail(errno);
        }
        bytes += count;
        length -= static_cast<std::size_t>(count);
    }
    return 0;
}

int DataLog::Fail(int errnoValue) {
    ::close(fd_);
    fd_ = -1;
    filled_ = 0;
    return FileErrorCause(errnoValue);
}

int FileErrorCause(int errnoValue) {
    switch (errnoValue) {
    case ENOENT: return 2;
    case ENOTDIR:
    case ENAMETOOLONG: return 3;
    case EMFILE:
    case ENFILE: return 4;
    case EACCES:
    case EPERM:
    case EROFS: return 5;
    case EBADF: return 6;
    case ESPIPE: return 9;
    case EIO: return 10;
    case EBUSY:
    case ETXTBSY: return 11;
    case ENOLCK: return 12;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return kDiskFullCause;
    default: return 1;
    }
}

std::string LogErrorText(int cause) {
    if (cause == kDiskFullCause) return "Disk is full. Log file will be closed.";
    char text[64];
    std::snprintf(text, sizeof text, "CFileException = %d. Log file will be closed.", cause);
    return text;
}

}  // namespace vexa
