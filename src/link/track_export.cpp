#include "link/track_export.h"

#include <cerrno>
#include <cstdio>

#include "platform/file_problem.h"

namespace vexa {

std::string ExportGpxTrack(const std::string& path, std::span<const TrackPoint> points) {
    const std::string document = GpxDocument(points);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return FileErrorText(path, errno);
    int error = 0;
    errno = 0;
    if (std::fwrite(document.data(), 1, document.size(), file) != document.size()) error = errno != 0 ? errno : EIO;
    if (std::fclose(file) != 0 && error == 0) error = errno;
    if (error == 0) return {};
    std::remove(path.c_str());
    return FileErrorText(path, error);
}

}  // namespace vexa
