#include "views/receiver_test/fix_inbox.h"

#include <iterator>

namespace vexa {

void FixInbox::onFix(const GnssFix& fix) {
    const auto arrived = std::chrono::steady_clock::now();
    std::lock_guard guard(mutex_);
    if (fixes_.size() >= capacity_) {
        ++dropped_;
        return;
    }
    fixes_.push_back({arrived, fix});
}

std::vector<ArrivedFix> FixInbox::Take() {
    std::lock_guard guard(mutex_);
    std::vector<ArrivedFix> taken(std::make_move_iterator(fixes_.begin()), std::make_move_iterator(fixes_.end()));
    fixes_.clear();
    return taken;
}

std::size_t FixInbox::Dropped() const {
    std::lock_guard guard(mutex_);
    return dropped_;
}

}  // namespace vexa
