#include "link/model/receiver_model.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/result_codes.h"
#include "receiver/binary/binary_fix.h"
#include "receiver/binary/renderer.h"

namespace vexa {
namespace {

// Copies a delivered record into its kept form; a shorter record leaves the rest zero.
template <class Record>
void KeepRecord(KeptRecords& kept, const std::uint8_t* record, std::size_t length) {
    Record& stored = std::get<Record>(kept);
    stored = Record{};
    std::memcpy(&stored, record, std::min(length, sizeof(Record)));
}

using Keeper = void (*)(KeptRecords&, const std::uint8_t*, std::size_t);

constexpr auto kKeepers = PerMessageId<Keeper>([]<class Row>() -> Keeper {
    if constexpr (IsKept(Row::model)) {
        return &KeepRecord<typename Row::Record>;
    } else {
        return nullptr;
    }
});

}  // namespace

ReceiverModel::Stored ReceiverModel::Store(int id, const std::uint8_t* record, std::size_t length) {
    Stored stored;
    const ModelUse use = ModelUseOf(id);
    if (IsKept(use)) kKeepers[static_cast<std::size_t>(id)](kept_, record, length);
    switch (use) {
    case ModelUse::Fix: {
        FillFixFromNav(Kept<NavData>(), fix_ ? *fix_ : fix_.emplace());
        // The count stops here and holds; the binary receiver's own report gives the value, and a
        // navigation message still on the line from before a reset must not stand in for it.
        if (fix_->hasPosition()) context_.TtffCounter.fixed(clock_.SteadyNow());
        for (GnssListener* listener : gnssListeners_) listener->onFix(*fix_);
        break;
    }
    case ModelUse::Sky:
        FillSkyFromTrack(Kept<TrackData>(), Kept<NavData>(), sky_ ? *sky_ : sky_.emplace());
        for (GnssListener* listener : gnssListeners_) listener->onSky(*sky_);
        break;
    case ModelUse::TextLine: {
        // Rendered in full first: a ring slot holds only 255 characters.
        char line[kRenderBufferSize];
        if (RenderMessage(id, record, std::min<std::size_t>(length, TextLineRing::kSlotSize - 1), line) == kResultOk) {
            StoreTextLine(line);
            stored.textLine = true;
        }
        break;
    }
    case ModelUse::Text:
        StoreTextLine(std::string_view(reinterpret_cast<const char*>(record), length));
        stored.textLine = true;
        break;
    case ModelUse::SendPermission:
        okToSend_ = length > 0 ? record[0] : 0;
        stored.sendAllowed = okToSend_ != 0;
        break;
    case ModelUse::Kept:
    case ModelUse::LogOnly: break;
    }
    return stored;
}

void ReceiverModel::StoreFix(const GnssFix& fix) {
    fix_ = fix;
    MeasureTtff(fix);
    for (GnssListener* listener : gnssListeners_) listener->onFix(fix);
}

void ReceiverModel::StoreSky(const GnssSky& sky) {
    sky_ = sky;
    for (GnssListener* listener : gnssListeners_) listener->onSky(sky);
}

void ReceiverModel::StoreTextLine(std::string_view text) {
    const std::size_t kept = std::min(text.size(), TextLineRing::kSlotSize - 1);
    char* slot = textLines_.WriteSlot();
    std::memcpy(slot, text.data(), kept);
    slot[kept] = '\0';
    textLines_.Commit();
}

void ReceiverModel::ForgetReceiver() {
    Kept<NavData>() = NavData{};
    Kept<TrackData>() = TrackData{};
    okToSend_ = 0;
    fix_.reset();
    sky_.reset();
    context_.TtffCounter.stop();
}

void ReceiverModel::ForgetFixAndSky() {
    fix_.reset();
    sky_.reset();
}

void ReceiverModel::StartAfresh() {
    Kept<NavData>() = NavData{};
    Kept<TrackData>() = TrackData{};
    ForgetFixAndSky();
    for (GnssListener* listener : gnssListeners_) listener->onRestart();
}

void ReceiverModel::Connected() {
    for (GnssListener* listener : gnssListeners_) listener->onConnected();
}

void ReceiverModel::AddGnssListener(GnssListener& listener) {
    std::lock_guard guard(lock_);
    gnssListeners_.push_back(&listener);
}

void ReceiverModel::RemoveGnssListener(const GnssListener& listener) {
    std::lock_guard guard(lock_);
    std::erase(gnssListeners_, &listener);
}

void ReceiverModel::RestartTtffClock() { context_.TtffCounter.start(clock_.SteadyNow()); }

void ReceiverModel::MeasureTtff(const GnssFix& fix) {
    if (!fix.hasPosition()) return;
    if (const auto measured = context_.TtffCounter.fixed(clock_.SteadyNow())) {
        context_.Ttff.set(*measured, TtffSource::Program);
    }
}

ModelSnapshot ReceiverModel::Snapshot() const {
    std::lock_guard guard(lock_);
    ModelSnapshot snapshot{std::nullopt, std::nullopt, fix_, sky_};
    if (context_.LinkProtocol.load() == kBinaryProtocol) {
        snapshot.nav = Kept<NavData>();
        snapshot.track = Kept<TrackData>();
    }
    return snapshot;
}

std::optional<std::string> ReceiverModel::NextTextLine() {
    std::lock_guard guard(lock_);
    if (context_.LinkProtocol.load() == kNotConnected) return std::nullopt;
    const char* line = textLines_.Next();
    if (line == nullptr) return std::nullopt;
    return std::string(line, strnlen(line, TextLineRing::kSlotSize));
}

std::uint64_t ReceiverModel::TextLinesDropped() const {
    std::lock_guard guard(lock_);
    return textLines_.Dropped();
}

SwVersion ReceiverModel::SoftwareVersion() const {
    std::lock_guard guard(lock_);
    return Kept<SwVersion>();
}

ClockStatus ReceiverModel::ClockStatusReport() const {
    std::lock_guard guard(lock_);
    return Kept<ClockStatus>();
}

std::uint8_t ReceiverModel::OkToSend() const {
    std::lock_guard guard(lock_);
    return okToSend_;
}

std::optional<GnssFix> ReceiverModel::LatestFix() const {
    std::lock_guard guard(lock_);
    return fix_;
}

std::optional<GnssSky> ReceiverModel::LatestSky() const {
    std::lock_guard guard(lock_);
    return sky_;
}


}  // namespace vexa
