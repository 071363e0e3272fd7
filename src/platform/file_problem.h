#pragma once

#include <string>

namespace vexa {

// "PATH: reason" for a file that could not be opened with the system error `error`; when the
// cause is a folder on the way that is missing or is no folder, the reason names that folder.
std::string FileErrorText(const std::string& path, int error);

// Why a file cannot be written (created or replaced, its missing folders made), found by looking
// at the file and the folders above it, as FileErrorText gives it; empty when nothing stands in the way.
std::string WhyNotWritable(const std::string& path);

// Why a path cannot be read as a regular file, found without opening it (symbolic links followed)
// so that a named pipe or a device never holds the caller up: "a named pipe, not a regular file",
// "a device, ...", "a socket, ...", or the system's reason ("Is a directory", "No such file or
// directory"); empty for a regular file. `error` receives the system error behind the reason, 0
// for a file of another kind.
std::string WhyNotARegularFile(const std::string& path, int& error);

}  // namespace vexa
