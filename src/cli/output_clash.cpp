#include "cli/output_clash.h"

#include <filesystem>
#include <optional>

#include <sys/stat.h>

namespace vexa {
namespace {

struct Identity {
    std::optional<struct stat> existing;
    std::filesystem::path resolved;  // for a file that does not exist yet
};

Identity IdentityOf(const std::string& path) {
    Identity identity;
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0) {
        identity.existing = status;
    } else {
        std::error_code ignored;
        identity.resolved = std::filesystem::weakly_canonical(std::filesystem::absolute(path, ignored), ignored);
    }
    return identity;
}

bool SameExisting(const Identity& a, const Identity& b) {
    return a.existing && b.existing && a.existing->st_dev == b.existing->st_dev && a.existing->st_ino == b.existing->st_ino;
}

bool SameOutput(const Identity& a, const Identity& b) {
    if (SameExisting(a, b)) return S_ISREG(a.existing->st_mode);
    return !a.existing && !b.existing && a.resolved == b.resolved;
}

std::string Shown(const NamedFile& file) { return file.shown.empty() ? file.name + " " + file.path : file.shown; }

std::string Clash(const NamedFile& output, const NamedFile& other) {
    return Shown(output) + " is the same file as " + Shown(other);
}

}  // namespace

std::string OutputClash(const std::vector<NamedFile>& inputs, const std::vector<NamedFile>& outputs) {
    std::vector<Identity> outputIdentities;
    for (const NamedFile& output : outputs) outputIdentities.push_back(IdentityOf(output.path));
    for (const NamedFile& input : inputs) {
        const Identity inputIdentity = IdentityOf(input.path);
        for (std::size_t i = 0; i < outputs.size(); ++i) {
            if (SameExisting(outputIdentities[i], inputIdentity)) return Clash(outputs[i], input);
        }
    }
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        for (std::size_t j = i + 1; j < outputs.size(); ++j) {
            if (SameOutput(outputIdentities[i], outputIdentities[j])) return Clash(outputs[j], outputs[i]);
        }
    }
    return {};
}

std::vector<NamedFile> RedirectedToFile(int fd, const std::string& name) {
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) return {};
    return {NamedFile{name, "/proc/self/fd/" + std::to_string(fd), name}};
}

}  // namespace vexa
