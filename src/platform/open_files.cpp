#include "platform/open_files.h"

#include <algorithm>
#include <fstream>

#include <sys/stat.h>

namespace vexa {

namespace {

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

bool HoldsFile(const std::filesystem::path& descriptorFolder, const struct stat& target) {
    std::error_code error;
    for (std::filesystem::directory_iterator it(descriptorFolder, error), end; !error && it != end; it.increment(error)) {
        struct stat opened {};
        // stat follows the descriptor's link to what it has open.
        if (::stat(it->path().c_str(), &opened) == 0 && SameFile(opened, target)) return true;
    }
    return false;
}

std::string ProgramName(const std::filesystem::path& processFolder) {
    std::ifstream comm(processFolder / "comm");
    std::string name;
    std::getline(comm, name);
    return name.empty() ? "an unnamed program" : name;
}

}  // namespace

std::vector<FileHolder> ProcessesHoldingFile(const std::string& path, const std::filesystem::path& procRoot) {
    std::vector<FileHolder> holders;
    struct stat target {};
    if (::stat(path.c_str(), &target) != 0) return holders;
    std::error_code error;
    for (std::filesystem::directory_iterator it(procRoot, error), end; !error && it != end; it.increment(error)) {
        const std::string entry = it->path().filename().string();
        const bool isProcess = !entry.empty() && entry.size() <= 9 &&
                               std::all_of(entry.begin(), entry.end(), [](char c) { return c >= '0' && c <= '9'; });
        if (isProcess && HoldsFile(it->path() / "fd", target)) {
            holders.push_back({static_cast<pid_t>(std::stol(entry)), ProgramName(it->path())});
        }
    }
    std::sort(holders.begin(), holders.end(), [](const FileHolder& a, const FileHolder& b) { return a.pid < b.pid; });
    return holders;
}

}  // namespace vexa
