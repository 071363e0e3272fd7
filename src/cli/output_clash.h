#pragma once

#include <string>
#include <vector>

namespace vexa {

// A file the program reads or writes, as the user named it: "--log" and its path.
struct NamedFile {
    std::string name;  // the option
    std::string path;
    std::string shown{};  // how a message names it, when not by the option and the path
};

// Why the outputs cannot be written as asked, looked at before anything is opened for writing: an
// output is the same file as an input (the same device and inode, whatever the names: a link, another
// path), or two outputs are one regular file, or two outputs that do not exist yet have the same
// resolved path. Devices (/dev/null) may take several outputs. Empty when nothing clashes.
std::string OutputClash(const std::vector<NamedFile>& inputs, const std::vector<NamedFile>& outputs);

// The standard stream `fd`, named `name` ("standard output"), as an output that may clash: only when
// it is a regular file (the shell's "> FILE"); nothing for a terminal, a pipe or a device.
std::vector<NamedFile> RedirectedToFile(int fd, const std::string& name);

}  // namespace vexa
