#include "link/gps_comm.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

#include "platform/lock_pool.h"
#include "platform/result_codes.h"
#include "platform/visible_text.h"
#include "receiver/commands/command_encoder.h"
#include "receiver/frames/frame_format.h"
#include "receiver/binary/message_ids.h"
#include "receiver/nmea/nmea_sentence.h"
#include "receiver/product/product_table.h"

namespace vexa {
namespace {

constexpr std::string_view kHeldFrameRefused =
    "GPS_COMM_TRK_Write OkToSend=FALSE, attempt to buffer VexaBinary message for later output failed.";

// Whether a frame of an unknown id becomes a text line for the Text page: the Osprey's page has a
// debug filter of its own; on the other products a chatty receiver would flood the page, so only
// while the receiver's debug output is on (its menu item checked).
bool UnknownFramesShown(const ReceiverContext& context) {
    const ProductTraits* product = SupportedProduct(context.ProductSelection.load());
    return (product != nullptr && product->textFilter) || context.DebugToggleCount.load() > kDebugToggleThreshold;
}

}  // namespace

std::unique_ptr<GpsComm> GpsComm::Create(ReceiverContext& context, const Clock& clock) {
    std::mutex* modelLock = TakeLock();
    if (modelLock == nullptr) return nullptr;
    return std::unique_ptr<GpsComm>(new GpsComm(context, modelLock, clock));
}

GpsComm::GpsComm(ReceiverContext& context, std::mutex* modelLock, const Clock& clock)
    : context_(context),
      model_(context, *modelLock, clock),
      dispatch_(context, *this, noLocationClient_),
      frameReceiver_(*this),
      reader_(*this),
      modelLock_(modelLock) {
    dispatch_.setDropListener(this);
    // A reader that could not start leaves a link whose every command fails with kResultCommFailure.
    (void)reader_.Start();
}

GpsComm::~GpsComm() {
    // At exit nobody is left to show the cleared records; the sink may already be gone.
    updates_ = nullptr;
    (void)Disconnect();  // at exit nobody is left to tell of a failed close
    (void)reader_.Stop();
    GiveBackLock(modelLock_);
}

void GpsComm::DeliverMessage(int id, const std::uint8_t* record, std::size_t length) {
    std::lock_guard guard(*modelLock_);
    if (LogLinesWanted() && RenderMessage(id, record, length, logLine_) == kResultOk) {
        // The log is read with cat and less: the receiver's texts must not steer the reader's terminal.
        const std::string_view line(logLine_);
        WriteLogLine(NeedsVisibleEscapes(line) ? VisibleText(line) : line);
    }
    const ReceiverModel::Stored stored = model_.Store(id, record, length);
    if (stored.sendAllowed) {
        sendAllowed_ = *stored.sendAllowed;
        if (sendAllowed_) ReleasePendingOutput();
    }
    if (deliveryListener_ != nullptr) deliveryListener_->deliver(id, record, length);
    Post(MessageDelivered{FromWire(static_cast<std::uint8_t>(id))});
    if (stored.textLine) Post(TextLinesWaiting{});
}

void GpsComm::onFix(const GnssFix& fix) {
    {
        std::lock_guard guard(*modelLock_);
        model_.StoreFix(fix);
    }
    Post(FixUpdated{});
}

void GpsComm::onSky(const GnssSky& sky) {
    {
        std::lock_guard guard(*modelLock_);
        model_.StoreSky(sky);
    }
    Post(SkyUpdated{});
}

void GpsComm::SetLocationClient(LocationClientLink* client) {
    reader_.BetweenChunks([&] { dispatch_.setLocationClient(client != nullptr ? *client : noLocationClient_); });
}

void GpsComm::ShowTextLine(std::string_view text) {
    {
        std::lock_guard guard(*modelLock_);
        model_.StoreTextLine(text);
    }
    Post(TextLinesWaiting{});
}

std::size_t GpsComm::PendingOutputCount() const {
    std::lock_guard guard(*modelLock_);
    return pendingCount_;
}

GpsComm::PausedCounts GpsComm::CountsAtLastPause() const {
    std::lock_guard guard(*modelLock_);
    return pausedCounts_;
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
        model_.RestartTtffClock();
        std::lock_guard guard(*modelLock_);
        model_.Connected();
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
        model_.ForgetReceiver();
        sendAllowed_ = true;
        pendingCount_ = 0;
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
        model_.ForgetFixAndSky();
        context_.LinkProtocol = kNotConnected;
    });
    return result;
}

std::optional<PlaybackState> GpsComm::Playback() const {
    std::shared_lock held(sourceSwap_);
    if (source_ == nullptr || source_->Playback() == nullptr) return std::nullopt;
    return source_->Playback()->State();
}

bool GpsComm::Paused() const {
    const std::optional<PlaybackState> playback = Playback();
    return playback && playback->paused;
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
        model_.StartAfresh();
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

void GpsComm::AddReadBytesListener(ReadBytesListener& listener) {
    reader_.BetweenChunks([&] { readBytesListeners_.push_back(&listener); });
}

void GpsComm::RemoveReadBytesListener(const ReadBytesListener& listener) {
    reader_.BetweenChunks([&] { std::erase(readBytesListeners_, &listener); });
}

void GpsComm::AddLogLineListener(LogLineListener& listener) {
    std::lock_guard guard(*modelLock_);
    logLineListeners_.push_back(&listener);
}

void GpsComm::RemoveLogLineListener(const LogLineListener& listener) {
    std::lock_guard guard(*modelLock_);
    std::erase(logLineListeners_, &listener);
}

bool GpsComm::LogLinesWanted() const {
    return std::ranges::any_of(logLineListeners_, [](const LogLineListener* listener) { return listener->wantsLines(); });
}

void GpsComm::WriteLogLine(std::string_view text) {
    for (LogLineListener* listener : logLineListeners_) {
        if (!listener->wantsLines()) continue;
        if (std::string problem = listener->onLogLine(text); !problem.empty()) Post(MessageToShow{std::move(problem)});
    }
}

void GpsComm::Post(LinkUpdate update) {
    if (UpdateSink* sink = updates_.load(); sink != nullptr) sink->post(std::move(update));
}

void GpsComm::onBytes(std::span<const std::uint8_t> bytes) {
    bytesReceived_ += bytes.size();
    for (ReadBytesListener* listener : readBytesListeners_) {
        if (std::string problem = listener->onBytesRead(bytes); !problem.empty()) Post(MessageToShow{std::move(problem)});
    }
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
            model_.StoreTextLine(line);
        }
        if (dropListener_ != nullptr) dropListener_->onDropped(reason, payload);
    }
    if (shownAsText) Post(TextLinesWaiting{});
}

void GpsComm::onIdle() {
    // Written lines and recorded bytes reach their files whenever the receiver pauses; a write
    // error shows then.
    for (ReadBytesListener* listener : readBytesListeners_) {
        if (std::string problem = listener->onReaderIdle(); !problem.empty()) Post(MessageToShow{std::move(problem)});
    }
    std::lock_guard guard(*modelLock_);
    pausedCounts_ = {frameReceiver_.statistics(), dispatch_.droppedFrames(), drops_};
    for (LogLineListener* listener : logLineListeners_) {
        if (std::string problem = listener->onReaderIdle(); !problem.empty()) Post(MessageToShow{std::move(problem)});
    }
}

void GpsComm::onEnded() {
    // What arrived before the end is kept: the NMEA epoch in progress is complete, as at the end
    // of a decoded capture.
    epochs_.finish();
    Post(LinkLost{});
}

}  // namespace vexa
