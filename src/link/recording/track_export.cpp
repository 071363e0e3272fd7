#include "link/recording/track_export.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "platform/file_problem.h"

namespace vexa {

std::string WhyTrackCannotBeWritten(const std::string& path) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code ignored;
    if (!folder.empty() && !std::filesystem::exists(folder, ignored)) return FileErrorText(path, ENOENT);
    return WhyNotWritable(path);
}

std::string ExportGpxTrack(const std::string& path, std::span<const TrackPoint> points) {
    const std::string document = GpxDocument(points);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return FileErrorText(path, errno);
    int error = 0;
    errno = 0;
    if (std::fwrite(document.data(), 1, document.size(), file) != document.size()) error = errno != 0 ? errno : EIO;
    if (std::fclose(file) != 0 && error == 0) error = errno;
    if (error == 0) return {};
    // Only a file of our own making goes; a device such as /dev/full stays.
    std::error_code ignored;
    if (std::filesystem::is_regular_file(path, ignored)) std::filesystem::remove(path, ignored);
    return FileErrorText(path, error);
}

}  // namespace vexa
