#include "history/history_recorder.h"

namespace vexa {

void HistoryRecorder::onFix(const GnssFix& fix) {
    std::lock_guard guard(lock_);
    assembler_.onFix(fix);
}

void HistoryRecorder::onSky(const GnssSky& sky) {
    std::lock_guard guard(lock_);
    assembler_.onSky(sky);
}

void HistoryRecorder::onRestart() {
    std::lock_guard guard(lock_);
    assembler_.Forget();
    store_.BreakHere();
}

void HistoryRecorder::SetReference(const std::optional<GeodeticPoint>& reference) {
    std::lock_guard guard(lock_);
    assembler_.SetReference(reference);
}

void HistoryRecorder::Clear() {
    std::lock_guard guard(lock_);
    store_.Clear();
    assembler_.Forget();
}

}  // namespace vexa
