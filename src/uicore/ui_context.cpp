#include "uicore/ui_context.h"

#include <QDialog>

#include "uicore/prompts.h"

namespace vexa {

UiContext::UiContext(ReceiverContext& receiverContext, SettingsStore& settingsStore, Prompts& userPrompts)
    : receiver(receiverContext),
      store(settingsStore),
      prompts(userPrompts),
      displayPreferences(settingsStore.Settings(), settingsStore, userPrompts) {
    store.SetWriteFailureReport([this](const QString& text) { prompts.ShowMessage(nullptr, text); });
}

UiContext::~UiContext() { store.SetWriteFailureReport({}); }

int UiContext::RunModal(QDialog& dialog) { return runModal ? runModal(dialog) : dialog.exec(); }

std::uint32_t UiContext::Ticks() const {
    if (ticks) return ticks();
    using namespace std::chrono;
    return static_cast<std::uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace vexa
