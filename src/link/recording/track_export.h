#pragma once

#include <span>
#include <string>

#include "receiver/fix/gpx_track.h"

namespace vexa {

// Writes the points to `path` as a GPX 1.1 track, replacing the file. Gives an empty text on
// success, otherwise why it failed ("PATH: reason"); a file that could not be written whole is removed.
std::string ExportGpxTrack(const std::string& path, std::span<const TrackPoint> points);

// Why a track could not be written to `path` (its folder missing, or not writable), as ExportGpxTrack
// would say it; empty when nothing stands in the way. For asking before a long run, not after it.
std::string WhyTrackCannotBeWritten(const std::string& path);

}  // namespace vexa
