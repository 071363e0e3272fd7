#include "app/ui_context.h"

#include <QDialog>

namespace vexa {

int UiContext::RunModal(QDialog& dialog) { return runModal ? runModal(dialog) : dialog.exec(); }

std::uint32_t UiContext::Ticks() const {
    if (ticks) return ticks();
    using namespace std::chrono;
    return static_cast<std::uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace vexa
