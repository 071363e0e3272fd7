#pragma once

#include <QPointer>

#include "history/history_recorder.h"

class QWidget;

namespace vexa {

class CHistoryWindow;
class CReplayBar;
struct UiContext;

// The history of the link and its two menu items: "History..." shows its window, "Export
// History..." writes its CSV files. Recorded from start to end of the program, whatever it connects.
class HistoryItems {
public:
    HistoryItems(UiContext& ui, QWidget* owner);
    ~HistoryItems();
    HistoryItems(const HistoryItems&) = delete;
    HistoryItems& operator=(const HistoryItems&) = delete;

    void ShowWindow();
    void Export();
    CHistoryWindow* Window() const;
    // Pauses a replayed capture and shows it so, for pictures of one moment (the screenshots).
    void HoldReplay();

private:
    UiContext& ui_;
    QWidget* owner_;
    HistoryRecorder recorder_;
    QPointer<CHistoryWindow> window_;
    QPointer<CReplayBar> replayBar_;
};

}  // namespace vexa
