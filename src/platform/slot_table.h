#pragma once

#include <array>
#include <cstddef>
#include <mutex>
#include <optional>

namespace vexa {

// A fixed table of N objects handed out lowest free slot first. Used in the usual way (the last
// one taken is the first one given back) this is the in-order, reverse-return discipline of the
// link's tables; a slot given back out of order is still only reused once it is free.
template <typename T, std::size_t N>
class SlotTable {
public:
    // The object of the first free slot, or nullptr when all N are taken.
    T* take() {
        std::lock_guard guard(mutex_);
        for (std::size_t i = 0; i < N; ++i) {
            if (!taken_[i]) {
                taken_[i] = true;
                return &objects_[i];
            }
        }
        return nullptr;
    }

    // Gives back an object of this table; anything else is ignored.
    void giveBack(T* object) {
        std::lock_guard guard(mutex_);
        if (object < objects_.data() || object >= objects_.data() + N) return;
        taken_[static_cast<std::size_t>(object - objects_.data())] = false;
    }

    std::size_t takenCount() const {
        std::lock_guard guard(mutex_);
        std::size_t count = 0;
        for (bool taken : taken_) count += taken ? 1 : 0;
        return count;
    }

private:
    mutable std::mutex mutex_;
    std::array<T, N> objects_{};
    std::array<bool, N> taken_{};
};

}  // namespace vexa
