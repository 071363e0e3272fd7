#pragma once

#include <QImage>

namespace vexa {

enum class ToolPicture { kZoomIn, kZoomOut, kPan };
enum class PictureState { kNormal, kPressed, kFocused };

// The size of the map page's tool buttons, so that each bevel shows whole.
inline constexpr int kToolPictureWidth = 22;
inline constexpr int kToolPictureHeight = 21;

// The pictures of the map tool buttons: a magnifier with plus, with minus, and a hand.
QImage DrawToolPicture(ToolPicture picture, PictureState state);

}  // namespace vexa
