#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace vexa {

// The comma-separated fields of one sentence body (after the address, before the checksum), as
// views into the sentence. Fields past the capacity are not kept; a field that is absent reads as
// empty, which every reader below takes as "not reported".
class NmeaFields {
public:
    static constexpr std::size_t kCapacity = 48;

    explicit NmeaFields(std::string_view body);

    std::size_t size() const { return count_; }
    std::string_view text(std::size_t index) const {
        return index < count_ ? body_.substr(starts_[index], starts_[index + 1] - starts_[index] - 1) : std::string_view{};
    }
    bool empty(std::size_t index) const { return text(index).empty(); }

    // A number that fills the whole field; nothing for an empty field or one holding anything else.
    std::optional<double> number(std::size_t index) const;
    std::optional<int> integer(std::size_t index) const;
    // The field's single character; nothing when it is empty or longer.
    std::optional<char> letter(std::size_t index) const;

private:
    // Field i runs from starts_[i] to the comma before starts_[i + 1]. Only the first count_ + 1
    // entries are written: the array is filled per sentence, so it is left uninitialised.
    std::string_view body_;
    std::array<std::size_t, kCapacity + 1> starts_;
    std::size_t count_ = 0;
};

}  // namespace vexa
