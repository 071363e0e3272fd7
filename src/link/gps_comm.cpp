#include "link/gps_comm.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

#include "platform/lock_pool.h"
#include "platform/result_codes.h"
#include "platform/visible_text.h"
#include "receiver/binary/binary_fix.h"
#include "receiver/commands/command_encoder.h"
#include "receiver/frames/frame_format.h"
#include "receiver/binary/message_ids.h"
#include "receiver/binary/message_table.h"
#include "receiver/nmea/nmea_sentence.h"
#include "receiver/product/product_table.h"

namespace vexa {
namespace {

// A fix a second for twelve days; beyond that the oldest fixes make room.
constexpr std::size_t kLongestTrack = 1 << 20;

constexpr std::string_view kHeldFrameRefused =
    "GPS_COMM_TRK_Write OkToSend=FALSE, attempt to buffer VexaBinary message for later output failed.";

// Whether a frame of an unknown id becomes a text line for the Text page: the Osprey's page has a
// debug filter of its own; on the other products a chatty receiver would flood the page, so only
// while the receiver's debug output is on (its menu item checked).
bool UnknownFramesShown(const ReceiverContext& context) {
    const ProductTraits* product = SupportedProduct(context.ProductSelection.load());
    return (product != nullptr && product->textFilter) || context.DebugToggleCount.load() > kDebugToggleThreshold;
}

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

std::unique_ptr<GpsComm> GpsComm::Create(ReceiverContext& context, const ClientProfile& locationProfile,
                                         ClientServices locationServices) {
    std::mutex* modelLock = TakeLock();
    if (modelLock == nullptr) return nullptr;
    return std::unique_ptr<GpsComm>(new GpsComm(context, modelLock, locationProfile, std::move(locationServices)));
}

GpsComm::GpsComm(ReceiverContext& context, std::mutex* modelLock, const ClientProfile& locationProfile,
                 ClientServices locationServices)
    : context_(context),
      locationClient_(std::make_unique<LocationClientHost>(std::move(locationServices))),
      dispatch_(context, *this, *locationClient_),
      frameReceiver_(*this),
      reader_(*this),
      modelLock_(modelLock) {
    dispatch_.setDropListener(this);
    // The location client learns of frames that did not go out from the missing answers, as
    // over the air; it has no use for the write's result.
    locationClient_->create(
        locationProfile, [this](const std::uint8_t* bytes, std::size_t length) { (void)WriteRaw(bytes, length); },
        [this](std::string_view text) { StoreLocationText(text); });
    // A reader that could not start leaves a link whose every command fails with kResultCommFailure.
    (void)reader_.Start();
}

GpsComm::~GpsComm() {
    // At exit nobody is left to show the cleared records; the sink may already be gone.
    updates_ = nullptr;
    // Closed before the port: its thread writes through it. The object stays for the comm reader's calls.
    locationClient_->client().close();
    (void)Disconnect();  // at exit nobody is left to tell of a failed close
    CloseLog();
    (void)reader_.Stop();
    GiveBackLock(modelLock_);
}

void GpsComm::DeliverMessage(int id, const std::uint8_t* record, std::size_t length) {
    std::lock_guard guard(*modelLock_);
    bool lineStored = false;
    if (log_.IsOpen() && RenderMessage(id, record, length, logLine_) == kResultOk) {
        // The log is read with cat and less: the receiver's texts must not steer the reader's terminal.
        const std::string_view line(logLine_);
        WriteLogLine(NeedsVisibleEscapes(line) ? VisibleText(line) : line);
    }
    const ModelUse use = ModelUseOf(id);
    if (IsKept(use)) kKeepers[static_cast<std::size_t>(id)](kept_, record, length);
    switch (use) {
    case ModelUse::Fix: {
        FillFixFromNav(Kept<NavData>(), fix_ ? *fix_ : fix_.emplace());
        AddToTrack(*fix_);
        // The count stops here and holds; the binary receiver's own report gives the value, and a
        // navigation message still on the line from before a reset must not stand in for it.
        if (fix_->hasPosition()) context_.TtffCounter.fixed(std::chrono::steady_clock::now());
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
            StoreTextLine(line, std::strlen(line));
            lineStored = true;
        }
        break;
    }
    case ModelUse::Text:
        StoreTextLine(reinterpret_cast<const char*>(record), length);
        lineStored = true;
        break;
    case ModelUse::SendPermission:
        okToSend_ = length > 0 ? record[0] : 0;
        sendAllowed_ = okToSend_ != 0;
        if (sendAllowed_) ReleasePendingOutput();
        break;
    case ModelUse::Kept:
    case ModelUse::LogOnly: break;
    }
    if (deliveryListener_ != nullptr) deliveryListener_->deliver(id, record, length);
    Post(MessageDelivered{FromWire(static_cast<std::uint8_t>(id))});
    if (lineStored) Post(TextLinesWaiting{});
}

void GpsComm::AddGnssListener(GnssListener& listener) {
    std::lock_guard guard(*modelLock_);
    gnssListeners_.push_back(&listener);
}

void GpsComm::RemoveGnssListener(const GnssListener& listener) {
    std::lock_guard guard(*modelLock_);
    std::erase(gnssListeners_, &listener);
}

void GpsComm::onFix(const GnssFix& fix) {
    {
        std::lock_guard guard(*modelLock_);
        fix_ = fix;
        AddToTrack(fix);
        MeasureTtff(fix);
        for (GnssListener* listener : gnssListeners_) listener->onFix(fix);
    }
    Post(FixUpdated{});
}

void GpsComm::onSky(const GnssSky& sky) {
    {
        std::lock_guard guard(*modelLock_);
        sky_ = sky;
        for (GnssListener* listener : gnssListeners_) listener->onSky(sky);
    }
    Post(SkyUpdated{});
}

void GpsComm::RestartTtffClock() { context_.TtffCounter.start(std::chrono::steady_clock::now()); }

void GpsComm::MeasureTtff(const GnssFix& fix) {
    if (!fix.hasPosition()) return;
    if (const auto measured = context_.TtffCounter.fixed(std::chrono::steady_clock::now())) {
        context_.Ttff.set(*measured, TtffSource::Program);
    }
}

void GpsComm::StoreTextLine(const char* text, std::size_t length) {
    const std::size_t kept = std::min(length, TextLineRing::kSlotSize - 1);
    char* slot = textLines_.WriteSlot();
    std::memcpy(slot, text, kept);
    slot[kept] = '\0';
    textLines_.Commit();
}

void GpsComm::StoreLocationText(std::string_view text) {
    {
        std::lock_guard guard(*modelLock_);
        StoreTextLine(text.data(), text.size());
    }
    Post(TextLinesWaiting{});
}

ModelSnapshot GpsComm::Snapshot() const {
    std::lock_guard guard(*modelLock_);
    ModelSnapshot snapshot{std::nullopt, std::nullopt, fix_, sky_};
    if (context_.LinkProtocol.load() == kBinaryProtocol) {
        snapshot.nav = Kept<NavData>();
        snapshot.track = Kept<TrackData>();
    }
    return snapshot;
}

std::optional<std::string> GpsComm::NextTextLine() {
    std::lock_guard guard(*modelLock_);
    if (context_.LinkProtocol.load() == kNotConnected) return std::nullopt;
    const char* line = textLines_.Next();
    if (line == nullptr) return std::nullopt;
    return std::string(line, strnlen(line, TextLineRing::kSlotSize));
}

std::uint64_t GpsComm::TextLinesDropped() const {
    std::lock_guard guard(*modelLock_);
    return textLines_.Dropped();
}

SwVersion GpsComm::SoftwareVersion() const {
    std::lock_guard guard(*modelLock_);
    return Kept<SwVersion>();
}

ClockStatus GpsComm::ClockStatusReport() const {
    std::lock_guard guard(*modelLock_);
    return Kept<ClockStatus>();
}

std::uint8_t GpsComm::OkToSend() const {
    std::lock_guard guard(*modelLock_);
    return okToSend_;
}

std::size_t GpsComm::PendingOutputCount() const {
    std::lock_guard guard(*modelLock_);
    return pendingCount_;
}

GpsComm::PausedCounts GpsComm::CountsAtLastPause() const {
    std::lock_guard guard(*modelLock_);
    return pausedCounts_;
}

std::optional<GnssFix> GpsComm::LatestFix() const {
    std::lock_guard guard(*modelLock_);
    return fix_;
}

std::optional<GnssSky> GpsComm::LatestSky() const {
    std::lock_guard guard(*modelLock_);
    return sky_;
}

std::vector<TrackPoint> GpsComm::Track() const {
    std::lock_guard guard(*modelLock_);
    return {track_.begin(), track_.end()};
}

void GpsComm::AddToTrack(const GnssFix& fix) {
    if (!keepTrack_) return;
    std::optional<TrackPoint> point = TrackPointOf(fix);
    if (!point) return;
    point->startsSegment = std::exchange(trackSegmentPending_, false);
    if (track_.size() == kLongestTrack) track_.pop_front();
    track_.push_back(*point);
}

LinkResult GpsComm::Connect(const std::string& portName, int baud) {
    // Only the thread that owns the link replaces the source, so it may look at it unlocked.
    const bool sameSource = source_ != nullptr && source_->Name() == portName;
    return OpenSource(sameSource ? nullptr : MakeByteSource(portName), baud);
}

LinkResult GpsComm::ConnectSource(std::unique_ptr<ByteSource> source, int baud) {
    if (source == nullptr) return kResultCommFailure;
    return OpenSource(std::move(source), baud);
}

LinkResult GpsComm::OpenSource(std::unique_ptr<ByteSource> replacement, int baud) {
    if (!reader_.Running()) return kResultCommFailure;
    LinkResult result = kResultCommFailure;
    reader_.BetweenChunks([&] {
        if (replacement != nullptr) ReplaceSource(std::move(replacement));
        result = source_->Open(baud);
    });
    if (result == kResultOk) {
        RestartTtffClock();
        std::lock_guard guard(*modelLock_);
        trackSegmentPending_ = true;
    }
    return result;
}

void GpsComm::ReplaceSource(std::unique_ptr<ByteSource> source) {
    std::unique_lock swap(sourceSwap_);
    if (source_ != nullptr) (void)source_->Close();  // a source being let go has nothing left to report
    source_ = std::move(source);
    reader_.UseSource(source_.get());
}

int GpsComm::ConnectError() const {
    std::shared_lock held(sourceSwap_);
    return source_ == nullptr ? 0 : source_->OpenError();
}

std::string GpsComm::ConnectProblem() const {
    std::shared_lock held(sourceSwap_);
    return source_ == nullptr ? std::string() : source_->OpenProblem();
}

bool GpsComm::BaudChangeable() const {
    std::shared_lock held(sourceSwap_);
    return source_ == nullptr || source_->BaudChangeable();
}

std::string GpsComm::EndReason() const {
    std::shared_lock held(sourceSwap_);
    return source_ == nullptr ? std::string() : source_->EndReason();
}

std::optional<std::string> GpsComm::CommandsRefused() const {
    std::shared_lock held(sourceSwap_);
    if (source_ == nullptr || source_->TakesCommands()) return std::nullopt;
    return source_->CommandsRefusedReason();
}

LinkResult GpsComm::Disconnect() {
    reader_.BetweenChunks([this] {
        std::lock_guard guard(*modelLock_);
        // Closing a source that is not open is no failure here: it is closed either way.
        if (source_ != nullptr) (void)source_->Close();
        frameReceiver_.restart();
        Kept<NavData>() = NavData{};
        Kept<TrackData>() = TrackData{};
        okToSend_ = 0;
        sendAllowed_ = true;
        pendingCount_ = 0;
        fix_.reset();
        sky_.reset();
        context_.TtffCounter.stop();
        epochs_.reset();
        // The reader is paused here, so its counts are whole even while a flood leaves it no idle moment.
        pausedCounts_ = {frameReceiver_.statistics(), dispatch_.droppedFrames(), drops_};
    });
    Post(MessageDelivered{MessageId::NavData});
    Post(MessageDelivered{MessageId::TrackData});
    return kResultOk;
}

bool GpsComm::PortOpen() const {
    std::shared_lock held(sourceSwap_);
    return source_ != nullptr && source_->IsOpen();
}

LinkResult GpsComm::ChangeBaud(int baud) {
    std::shared_lock held(sourceSwap_);
    return source_ == nullptr ? kResultCommFailure : source_->Configure(baud);
}

LinkResult GpsComm::RestartLine(int baud) {
    LinkResult result = kResultCommFailure;
    reader_.BetweenChunks([&] {
        result = ChangeBaud(baud);
        frameReceiver_.restart();
        epochs_.reset();
        std::lock_guard guard(*modelLock_);
        fix_.reset();
        sky_.reset();
        context_.LinkProtocol = kNotConnected;
    });
    return result;
}

std::optional<PlaybackState> GpsComm::Playback() const {
    std::shared_lock held(sourceSwap_);
    if (source_ == nullptr || source_->Playback() == nullptr) return std::nullopt;
    return source_->Playback()->State();
}

bool GpsComm::ControlPlayback(const std::function<void(CapturePlayback&)>& control) {
    bool controlled = false;
    reader_.BetweenChunks([&] {
        if (source_ == nullptr || source_->Playback() == nullptr) return;
        control(*source_->Playback());
        controlled = true;
    });
    return controlled;
}

LinkResult GpsComm::PausePlayback(bool paused) {
    return ControlPlayback([paused](CapturePlayback& playback) { playback.SetPaused(paused); }) ? kResultOk
                                                                                                : kResultCommFailure;
}

LinkResult GpsComm::SetPlaybackSpeed(double speed) {
    return ControlPlayback([speed](CapturePlayback& playback) { playback.SetSpeed(speed); }) ? kResultOk
                                                                                             : kResultCommFailure;
}

LinkResult GpsComm::SeekPlayback(std::uint64_t byte) {
    const bool moved = ControlPlayback([&](CapturePlayback& playback) {
        if (!source_->IsOpen()) return;
        playback.Seek(byte);
        frameReceiver_.restart();
        epochs_.reset();
        std::lock_guard guard(*modelLock_);
        Kept<NavData>() = NavData{};
        Kept<TrackData>() = TrackData{};
        fix_.reset();
        sky_.reset();
        trackSegmentPending_ = true;
        for (GnssListener* listener : gnssListeners_) listener->onRestart();
    });
    if (!moved || !PortOpen()) return kResultCommFailure;
    Post(MessageDelivered{MessageId::NavData});
    Post(MessageDelivered{MessageId::TrackData});
    return kResultOk;
}

LinkResult GpsComm::Send(int id, const void* block, std::size_t length) {
    if (!reader_.Running()) return kResultCommFailure;
    std::array<std::uint8_t, kFrameBufferSize> frame;
    const EncodeResult encoded =
        EncodeMessage(id, block, length, frame, UsesChannelBytes(context_.ProductSelection.load()));
    if (encoded.code != kResultOk) return encoded.code;
    if (CommandsRefused()) return kResultCommandsRefused;
    {
        std::lock_guard guard(*modelLock_);
        if (!sendAllowed_) {
            if (pendingCount_ + encoded.frameLength + kFrameOverhead >= kPendingOutputSize - 1) {
                WriteLogLine(kHeldFrameRefused);
            } else {
                std::memcpy(pendingOutput_.data() + pendingCount_, frame.data(), encoded.frameLength);
                pendingCount_ += encoded.frameLength;
            }
            return kResultOk;
        }
    }
    return WriteToSource(frame.data(), encoded.frameLength);
}

void GpsComm::ReleasePendingOutput() {
    if (pendingCount_ == 0) return;
    // Held frames are commands like any other: one that does not go out shows by its missing answer.
    if (reader_.Running()) (void)WriteToSource(pendingOutput_.data(), pendingCount_);
    pendingCount_ = 0;
}

LinkResult GpsComm::WriteRaw(const std::uint8_t* bytes, std::size_t length) {
    if (CommandsRefused()) return kResultCommandsRefused;
    if (!sendAllowed_) return kResultOk;
    return WriteToSource(bytes, length);
}

LinkResult GpsComm::WriteDirect(const std::uint8_t* bytes, std::size_t length) {
    if (CommandsRefused()) return kResultCommandsRefused;
    return WriteToSource(bytes, length);
}

LinkResult GpsComm::WriteToSource(const std::uint8_t* bytes, std::size_t length) {
    std::shared_lock held(sourceSwap_);
    return source_ == nullptr ? kResultCommFailure : source_->Write(bytes, length);
}

LinkResult GpsComm::OpenLog(const std::string& path) {
    std::lock_guard guard(*modelLock_);
    if (const int cause = log_.Close(); cause != 0) ReportLogError(cause);
    return log_.Open(path);
}

void GpsComm::CloseLog() {
    std::lock_guard guard(*modelLock_);
    if (const int cause = log_.Close(); cause != 0) ReportLogError(cause);
}

void GpsComm::FlushLog() {
    std::lock_guard guard(*modelLock_);
    if (const int cause = log_.Flush(); cause != 0) ReportLogError(cause);
}

void GpsComm::WriteLogLine(std::string_view text) {
    WriteLogText(text);
    WriteLogText("\r\n");
}

void GpsComm::WriteLogText(std::string_view text) {
    if (!log_.IsOpen()) return;
    if (const int cause = log_.Write(text); cause != 0) ReportLogError(cause);
}

void GpsComm::ReportLogError(int cause) { Post(MessageToShow{LogErrorText(cause)}); }

void GpsComm::Post(LinkUpdate update) {
    if (UpdateSink* sink = updates_.load(); sink != nullptr) sink->post(std::move(update));
}

void GpsComm::StopRecording() {
    if (const std::string problem = recording_.Stop(); !problem.empty()) Post(MessageToShow{problem});
}

void GpsComm::onBytes(std::span<const std::uint8_t> bytes) {
    bytesReceived_ += bytes.size();
    if (const std::string problem = recording_.Append(bytes); !problem.empty()) Post(MessageToShow{problem});
    frameReceiver_.feed(bytes);
}

void GpsComm::onFrame(std::span<std::uint8_t> payload) {
    // A frame completed after the reader was told to stop is not dispatched.
    if (reader_.Running()) dispatch_.onFrame(payload);
}

void GpsComm::onSentence(std::span<const std::uint8_t> text) {
    dispatch_.onSentence(text);
    const NmeaParseResult parsed =
        ParseNmeaSentence(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
    if (parsed.status == NmeaParseStatus::Parsed) epochs_.add(parsed.sentence);
}

void GpsComm::onRefused(FrameFault fault) { onDropped(DropReasonOf(fault), {}); }

void GpsComm::onBadSentence(SentenceFault fault) { onDropped(DropReasonOf(fault), {}); }

void GpsComm::onDropped(DropReason reason, std::span<const std::uint8_t> payload) {
    const bool unknownId = reason == DropReason::UnknownId && !payload.empty();
    drops_.add(reason, unknownId ? payload[0] : 0);
    const bool shownAsText = unknownId && UnknownFramesShown(context_);
    if (!shownAsText && dropListener_ == nullptr) return;
    {
        std::lock_guard guard(*modelLock_);
        if (shownAsText) {
            const std::string line = UnknownFrameLine(payload);
            StoreTextLine(line.data(), line.size());
        }
        if (dropListener_ != nullptr) dropListener_->onDropped(reason, payload);
    }
    if (shownAsText) Post(TextLinesWaiting{});
}

void GpsComm::onIdle() {
    // Written lines and recorded bytes reach their files whenever the receiver pauses; a write
    // error shows then.
    if (const std::string problem = recording_.Flush(); !problem.empty()) Post(MessageToShow{problem});
    std::lock_guard guard(*modelLock_);
    pausedCounts_ = {frameReceiver_.statistics(), dispatch_.droppedFrames(), drops_};
    if (const int cause = log_.Flush(); cause != 0) ReportLogError(cause);
}

void GpsComm::onEnded() {
    // What arrived before the end is kept: the NMEA epoch in progress is complete, as at the end
    // of a decoded capture.
    epochs_.finish();
    Post(LinkLost{});
}

}  // namespace vexa
