#include "platform/file_problem.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

namespace vexa {

namespace {

std::filesystem::path FolderOf(const std::string& path) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
}

// The nearest folder above the file that exists, or the first thing on the way that is no folder.
std::filesystem::path NearestExisting(std::filesystem::path folder) {
    struct stat info {};
    while (::stat(folder.c_str(), &info) != 0) {
        const std::filesystem::path above = folder.parent_path();
        if (above.empty()) return ".";
        if (above == folder) break;
        folder = above;
    }
    return folder;
}

bool IsFolder(const std::filesystem::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::string FileErrorText(const std::string& path, int error) {
    if (error == ENOENT || error == ENOTDIR) {
        const std::filesystem::path folder = FolderOf(path);
        const std::filesystem::path existing = NearestExisting(folder);
        if (!IsFolder(existing)) return path + ": " + existing.string() + " is not a folder";
        if (existing != folder) return path + ": the folder " + folder.string() + " does not exist";
    }
    return path + ": " + std::strerror(error);
}

std::string WhyNotWritable(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) return FileErrorText(path, EISDIR);
        if (::access(path.c_str(), W_OK) != 0) return FileErrorText(path, errno);
    }
    const std::filesystem::path existing = NearestExisting(FolderOf(path));
    if (!IsFolder(existing)) return path + ": " + existing.string() + " is not a folder";
    if (::access(existing.c_str(), W_OK | X_OK) != 0) {
        return path + ": the folder " + existing.string() + " cannot be written (" + std::strerror(errno) + ")";
    }
    return {};
}

std::string WhyNotARegularFile(const std::string& path, int& error) {
    error = 0;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) error = errno;
    else if (S_ISDIR(info.st_mode)) error = EISDIR;
    if (error != 0) return std::strerror(error);
    if (S_ISREG(info.st_mode)) return {};
    const char* kind = S_ISFIFO(info.st_mode)  ? "a named pipe"
                       : S_ISSOCK(info.st_mode) ? "a socket"
                       : S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode) ? "a device"
                                                                         : "a special file";
    return std::string(kind) + ", not a regular file";
}

}  // namespace vexa
