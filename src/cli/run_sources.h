#pragma once

#include <string>
#include <vector>

namespace vexa {

// A receiver of a live run: the port as given and the short name its lines and files carry.
struct RunSource {
    std::string port;
    std::string name;
};

// The ports named: a device by its base name ("ttyUSB0"), a network source by its host and port
// ("rover:4001", "base:2947/ttyS1"), a replay by its capture's base name; a name met before gets
// "-2", "-3" and so on, so that every name is the run's only one.
std::vector<RunSource> NameSources(const std::vector<std::string>& ports);

// The first port given twice (the same name, or the same device by another path), or empty.
std::string RepeatedPort(const std::vector<std::string>& ports);

// A name kept to the characters safe in a file name: letters, digits, ".", "-" and "_"; others become "_".
std::string FileNamePart(const std::string& name);

// An output file of one source among several: the source's name, kept to characters safe in a file
// name, before the extension ("track.gpx" -> "track-ttyUSB0.gpx"); with `several` false, the path
// as given.
std::string SourceFilePath(const std::string& path, const std::string& name, bool several);
// A file name prefix (--history-csv) of one source among several: "day1" -> "day1-ttyUSB0".
std::string SourceFilePrefix(const std::string& prefix, const std::string& name, bool several);

}  // namespace vexa
