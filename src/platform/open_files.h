#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <sys/types.h>

namespace vexa {

struct FileHolder {
    pid_t pid = 0;
    std::string name;  // the program's name as the kernel keeps it
};

// The processes that have a file open, found through <procRoot>/PID/fd. Only processes whose
// descriptors the caller may read are seen (all of them for root, one's own otherwise).
std::vector<FileHolder> ProcessesHoldingFile(const std::string& path,
                                             const std::filesystem::path& procRoot = "/proc");

}  // namespace vexa
