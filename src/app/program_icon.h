#pragma once

#include <QIcon>

namespace vexa {

// The program's icon: a receiver's globe with a fix marker, drawn rather than loaded.
QIcon ProgramIcon();

}  // namespace vexa
