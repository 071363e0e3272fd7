#pragma once

#include <QImage>

namespace vexa {

enum class ToolPicture { kZoomIn, kZoomOut, kPan };
enum class PictureState { kNormal, kPressed, kFocused };

inline constexpr int kToolPictureWidth = 23;
inline constexpr int kToolPictureHeight = 22;

// The 23 x 22 pictures of the map tool buttons: a magnifier with plus, with minus, and a hand.
QImage DrawToolPicture(ToolPicture picture, PictureState state);

}  // namespace vexa
