#include "cli/run_sources.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>

#include <sys/stat.h>

#include "link/sources/network_source_name.h"
#include "link/sources/replay_name.h"

namespace vexa {
namespace {

std::string BaseName(const std::string& path) {
    const std::string name = std::filesystem::path(path).filename().string();
    return name.empty() ? path : name;
}

std::string ShortName(const std::string& port) {
    if (const std::optional<NetworkEndpoint> tcp = ParseTcpSourceName(port)) return tcp->Text();
    if (const std::optional<GpsdTarget> gpsd = ParseGpsdSourceName(port)) {
        return gpsd->device.empty() ? gpsd->endpoint.Text() : gpsd->endpoint.Text() + "/" + BaseName(gpsd->device);
    }
    if (IsReplayName(port)) {
        std::string problem;
        if (const std::optional<ReplayName> replay = ParseReplayName(port, problem)) return BaseName(replay->path);
    }
    return BaseName(port);
}

// Devices are the same when their files are; anything else when its names are.
bool SamePort(const std::string& a, const std::string& b) {
    if (a == b) return true;
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && !S_ISREG(first.st_mode) &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

}  // namespace

std::vector<RunSource> NameSources(const std::vector<std::string>& ports) {
    std::vector<RunSource> sources;
    const auto taken = [&sources](const std::string& name) {
        return std::any_of(sources.begin(), sources.end(), [&name](const RunSource& source) { return source.name == name; });
    };
    for (const std::string& port : ports) {
        const std::string base = ShortName(port);
        std::string name = base;
        for (int n = 2; taken(name); ++n) name = base + "-" + std::to_string(n);
        sources.push_back({port, name});
    }
    return sources;
}

std::string RepeatedPort(const std::vector<std::string>& ports) {
    for (std::size_t i = 1; i < ports.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (SamePort(ports[i], ports[j])) return ports[i];
        }
    }
    return {};
}

std::string FileNamePart(const std::string& name) {
    std::string safe = name;
    std::replace_if(
        safe.begin(), safe.end(),
        [](char c) { return !(std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_'); }, '_');
    return safe;
}

std::string SourceFilePath(const std::string& path, const std::string& name, bool several) {
    if (!several) return path;
    const std::filesystem::path file(path);
    const std::string extension = file.stem().empty() ? std::string() : file.extension().string();
    const std::string stem = path.substr(0, path.size() - extension.size());
    return stem + "-" + FileNamePart(name) + extension;
}

std::string SourceFilePrefix(const std::string& prefix, const std::string& name, bool several) {
    return several ? prefix + "-" + FileNamePart(name) : prefix;
}

}  // namespace vexa
