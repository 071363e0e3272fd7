#include "evaluation/report/staged_file.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

#include "platform/file_problem.h"

namespace vexa {

StagedFile::StagedFile(std::filesystem::path finalPath)
    : finalPath_(std::move(finalPath)),
      stagedPath_(finalPath_.parent_path() / ("." + finalPath_.filename().string() + "." + std::to_string(::getpid()) + ".part")) {}

StagedFile::~StagedFile() {
    if (descriptor_ >= 0) ::close(descriptor_);
    if (staged_) ::unlink(stagedPath_.c_str());
}

std::string StagedFile::Fail(int error) {
    if (problem_.empty()) problem_ = FileErrorText(finalPath_.string(), error);
    return problem_;
}

std::string StagedFile::Open() {
    if (!problem_.empty()) return problem_;
    descriptor_ = ::open(stagedPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (descriptor_ < 0) return Fail(errno);
    staged_ = true;
    return {};
}

std::string StagedFile::Write(std::string_view bytes) {
    if (!problem_.empty()) return problem_;
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor_, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return Fail(errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
}

std::string StagedFile::Finish() {
    if (!problem_.empty()) return problem_;
    // A full disk can show first at the flush to the disk or at the close.
    const int synced = ::fsync(descriptor_);
    const int syncError = errno;
    const int closed = ::close(descriptor_);
    const int closeError = errno;
    descriptor_ = -1;
    if (synced != 0) return Fail(syncError);
    if (closed != 0) return Fail(closeError);
    return {};
}

std::string StagedFile::PutInPlace() {
    if (!problem_.empty()) return problem_;
    if (std::rename(stagedPath_.c_str(), finalPath_.c_str()) != 0) return Fail(errno);
    staged_ = false;
    return {};
}

}  // namespace vexa
