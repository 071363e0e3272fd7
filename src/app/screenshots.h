#pragma once

#include <QString>

namespace vexa {

class CMainFrame;

// Saves the whole window as window.png, each page as position.png, signal.png, sky.png,
// plot.png, map.png and text.png, and the History window as history.png into `folder` (created
// when missing), a replayed capture paused first. False when any file could not be written.
bool SaveScreenshots(CMainFrame& frame, const QString& folder);

}  // namespace vexa
