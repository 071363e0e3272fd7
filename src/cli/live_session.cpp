#include "cli/live_session.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "cli/gpsd_json.h"
#include "link/model/poll_answer_text.h"
#include "link/receiver_commands.h"
#include "link/recording/track_export.h"
#include "platform/result_codes.h"
#include "receiver/binary/message_ids.h"
#include "receiver/binary/renderer.h"

namespace vexa {
namespace {

// Lines to print wake the caller's loop at once; otherwise it waits its whole time-out.
constexpr std::chrono::milliseconds kOutputRetry{20};

std::string_view WithoutLeadingBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

}  // namespace

void LiveSession::LinePoster::deliver(int id, const std::uint8_t* record, std::size_t length) {
    if (RenderMessage(id, record, length, line_) == kResultOk) lines_.Write(line_);
}

void LiveSession::UnknownFramePoster::onDropped(DropReason reason, std::span<const std::uint8_t> payload) {
    if (reason == DropReason::UnknownId && !payload.empty()) {
        lines_.Write(UnknownFrameLine(payload));
    }
}

void LiveSession::ReportPoster::onFix(const GnssFix& fix) {
    if (!fix.hasPosition()) return;
    std::string line;
    AppendTpvReport(line, fix, device_);
    lines_.Write(line);
}

void LiveSession::ReportPoster::onSky(const GnssSky& sky) {
    std::string line;
    AppendSkyReport(line, sky, device_);
    lines_.Write(line);
}

namespace {

std::unique_ptr<GpsComm> StartComm(ReceiverContext& context, int product, const Clock& clock) {
    context.ProductSelection = product;
    std::unique_ptr<GpsComm> comm = GpsComm::Create(context, clock);
    return comm != nullptr && comm->ReaderRunning() ? std::move(comm) : nullptr;
}

}  // namespace

std::unique_ptr<LiveSession> LiveSession::Create(int product, std::FILE* output, std::FILE* errors, Wait wait,
                                                 bool json, bool unknown, const Clock& clock) {
    auto context = std::make_unique<ReceiverContext>();
    std::unique_ptr<GpsComm> comm = StartComm(*context, product, clock);
    if (comm == nullptr) return nullptr;
    return std::unique_ptr<LiveSession>(new LiveSession(std::move(context), std::move(comm), output, errors, nullptr,
                                                        std::move(wait), json, unknown, clock));
}

std::unique_ptr<LiveSession> LiveSession::Create(int product, const SharedStreams& streams, Wait wait, bool json,
                                                 bool unknown, const Clock& clock) {
    auto context = std::make_unique<ReceiverContext>();
    std::unique_ptr<GpsComm> comm = StartComm(*context, product, clock);
    if (comm == nullptr) return nullptr;
    return std::unique_ptr<LiveSession>(new LiveSession(std::move(context), std::move(comm), nullptr, nullptr, &streams,
                                                        std::move(wait), json, unknown, clock));
}

LiveSession::LiveSession(std::unique_ptr<ReceiverContext> context, std::unique_ptr<GpsComm> comm, std::FILE* output,
                         std::FILE* errors, const SharedStreams* shared, Wait wait, bool json, bool unknown,
                         const Clock& clock)
    : json_(json),
      wait_(std::move(wait)),
      clock_(clock),
      context_(std::move(context)),
      ownOutput_(shared != nullptr ? nullptr
                                   : std::make_unique<LineOutput>(output, [this] { updates_.Wake(); },
                                                                  LineOutput::kCapacity, clock)),
      ownErrors_(shared != nullptr ? nullptr
                                   : std::make_unique<LineOutput>(errors, [this] { updates_.Wake(); },
                                                                  LineOutput::kCapacity, clock)),
      output_(shared != nullptr ? shared->output : *ownOutput_, shared != nullptr ? shared->name : std::string()),
      errors_(shared != nullptr ? shared->errors : *ownErrors_, shared != nullptr ? shared->name : std::string()),
      linePoster_(output_),
      reportPoster_(output_, shared != nullptr ? shared->device : std::string()),
      unknownFramePoster_(json ? errors_ : output_),
      comm_(std::move(comm)),
      controller_(*comm_, *context_,
                  // A reason the status line shows is not shown twice.
                  ConnectionCallbacks{.showMessage =
                                          [this](std::string_view text) {
                                              if (controller_.Problem().empty()) ShowMessage(text);
                                          },
                                      .saveSettings = {},
                                      .showSettings = {},
                                      .repaint = [this] { UpdateStatus(); },
                                      .connected = [this](const std::string& portPath, int chosenBaudSetting) {
                                          recovery_.Remember(portPath, chosenBaudSetting);
                                      }}),
      recovery_(*comm_, *context_, [this] { UpdateStatus(); }) {
    comm_->SetUpdateSink(&updates_);
    location_ = std::make_unique<LocationClientHost>(*comm_);
    comm_->Model().AddGnssListener(track_);
    if (json) {
        comm_->Model().AddGnssListener(reportPoster_);
    } else {
        comm_->SetDeliveryListener(&linePoster_);
    }
    if (unknown) comm_->SetDropListener(&unknownFramePoster_);
}

LiveSession::~LiveSession() {
    // They listen to the link and so go first; the comm reader posts into this session's queue
    // until it has stopped.
    log_.reset();
    recording_.reset();
    location_.reset();
    comm_.reset();
}

bool LiveSession::OpenLog(const std::string& path) {
    if (!log_) log_ = std::make_unique<LinkLog>(*comm_);
    return log_->Open(path) == kResultOk;
}

int LiveSession::StartRecording(const std::string& path) {
    if (!recording_) recording_ = std::make_unique<LinkRecording>(*comm_);
    return recording_->Start(path);
}

void LiveSession::Connect(const std::string& portPath, const std::string& baudSelection) {
    attempted_ = true;
    recovery_.Stop();
    controller_.Connect(portPath, baudSelection);
    UpdateStatus();
    PumpOutput();
}

void LiveSession::Queue(ReceiverRequest request) {
    requests_.push_back(std::move(request));
    SendWhileConnected();
    PumpOutput();
}

void LiveSession::Tick() {
    controller_.Tick();
    recovery_.Tick();
    if (BetweenAttempts()) {
        recovery_.Search(controller_.PortPath(), controller_.BaudSetting(), controller_.Problem());
    }
    UpdateStatus();
    SendWhileConnected();
    PumpOutput();
}

void LiveSession::HandleNotifications(std::chrono::milliseconds timeout) {
    if (output_.Pending() || errors_.Pending()) timeout = std::min(timeout, kOutputRetry);
    const std::vector<LinkUpdate> updates = updates_.TakeAll(timeout);
    if (!updates.empty()) {
        for (const LinkUpdate& update : updates) Handle(update);
        UpdateStatus();
        SendWhileConnected();
    }
    PumpOutput();
}

void LiveSession::PumpOutput() {
    output_.Pump();
    errors_.Pump();
}

void LiveSession::RequestStop() {
    stopRequested_ = true;
    updates_.Wake();
}

bool LiveSession::BetweenAttempts() const {
    return attempted_ && !controller_.Testing() && !recovery_.Recovering() && context_->LinkProtocol == kNotConnected;
}

DecodeCounts LiveSession::Counts() {
    const GpsComm::PausedCounts counts = comm_->CountsAtLastPause();
    return DecodeCounts{counts.received.bytes, counts.received.frames, counts.received.sentences,
                        counts.received.dropped() + counts.undelivered, counts.drops};
}

void LiveSession::Finish() {
    // Nothing more is read, so the log's last line and the counts are the last of the run.
    (void)comm_->Disconnect();  // closing cannot fail in a way left to report at the end
    if (log_) log_->Close();
    if (recording_) recording_->Stop();
    HandleNotifications(std::chrono::milliseconds(0));
    errors_.Write(CountsLine(Counts()));
    PumpOutput();
}

void LiveSession::Report(std::string_view text) {
    errors_.Write(text);
    errors_.Pump();
}

void LiveSession::QuietMessages() {
    comm_->SetDeliveryListener(nullptr);
    if (json_) comm_->Model().RemoveGnssListener(reportPoster_);
}

void LiveSession::Print(std::string_view text) {
    output_.Write(text);
    output_.Pump();
}

void LiveSession::DrainOutput(SteadyTime deadline) {
    output_.Drain(deadline);
    if (const std::uint64_t lost = output_.DroppedLines(); lost > 0) {
        errors_.Write("vexademo-cli: " + std::to_string(lost) +
                      (lost == 1 ? " line" : " lines") + " not printed: standard output did not take them in time");
    }
    errors_.Drain(deadline);
}

void LiveSession::KeepTrack(bool keep) {
    if (keep == trackKept_) return;
    trackKept_ = keep;
    if (keep) {
        comm_->Model().AddGnssListener(track_);
    } else {
        comm_->Model().RemoveGnssListener(track_);
    }
}

std::string LiveSession::ExportTrack(const std::string& path) const { return ExportGpxTrack(path, track_.Points()); }

void LiveSession::Handle(const LinkUpdate& update) {
    if (const auto* delivered = std::get_if<MessageDelivered>(&update)) {
        ShowPollAnswer(ToWire(delivered->id));
    } else if (const auto* message = std::get_if<MessageToShow>(&update)) {
        // The link shows only the write errors of the data log and of the recording.
        fileWriteFailed_ = true;
        ShowMessage(message->text);
    } else if (std::holds_alternative<LinkLost>(update)) {
        // An open port is a newer connection than the one that was lost.
        if (!comm_->PortOpen()) recovery_.LinkLost();
    }
}

// Only an answer that was asked for is shown; the line of every answer is printed anyway.
void LiveSession::ShowPollAnswer(int id) {
    std::string text;
    if (id == ToWire(MessageId::SwVersion) && versionPending_) {
        versionPending_ = false;
        text = SwVersionText(comm_->Model().SoftwareVersion());
    } else if (id == ToWire(MessageId::ClockStatus) && clockPending_) {
        clockPending_ = false;
        text = ClockStatusText(comm_->Model().ClockStatusReport());
    } else {
        return;
    }
    // The output of --json holds nothing but JSON lines.
    (json_ ? errors_ : output_).Write(text);
}

// The menus offer the receiver commands only while the link is up, and all but the protocol
// switch only in the binary protocol; a protocol switch holds back the rest until the
// receiver has been found again at its new rate.
void LiveSession::SendWhileConnected() {
    while (!requests_.empty() && !controller_.Testing() && context_->LinkProtocol != kNotConnected) {
        const ReceiverRequest request = std::move(requests_.front());
        requests_.pop_front();
        if (const std::optional<std::string> reason = comm_->CommandsRefused()) {
            errors_.Write("vexademo-cli: " + request.text + " not sent: " + *reason);
            continue;
        }
        if (NeedsBinaryProtocol(request.kind) && context_->LinkProtocol != kBinaryProtocol) {
            errors_.Write("vexademo-cli: " + request.text + " not sent: the receiver talks NMEA");
            continue;
        }
        Send(request);
        UpdateStatus();
    }
}

void LiveSession::Send(const ReceiverRequest& request) {
    GpsComm& comm = *comm_;
    switch (request.kind) {
    case RequestKind::HotStart: SendReset(comm, ResetKind::Hot); break;
    case RequestKind::WarmStart: SendReset(comm, ResetKind::Warm); break;
    case RequestKind::ColdStart: SendReset(comm, ResetKind::Cold); break;
    case RequestKind::FactoryReset: SendReset(comm, ResetKind::Factory); break;
    case RequestKind::DebugOutput: ToggleDebugOutput(comm); break;
    case RequestKind::NavLibOutput: ToggleNavLibOutput(comm); break;
    case RequestKind::PollVersion:
        PollSoftwareVersion(comm);
        versionPending_ = true;
        break;
    case RequestKind::PollClock:
        PollClockStatus(comm);
        clockPending_ = true;
        break;
    case RequestKind::SwitchProtocol:
        SwitchProtocol(comm, ProtocolSwitchHooks{
                                 .saveBaud =
                                     [this](int baud) {
                                         controller_.LoadSettings(controller_.PortPath(), baud);
                                         recovery_.BaudChanged(baud);
                                     },
                                 .wait = wait_});
        break;
    case RequestKind::ElevationMask:
        SetElevationMask(comm, kTrackingMaskDegrees, request.navigationMaskDegrees);
        break;
    case RequestKind::Power: SetPowerManagement(comm, request.power); break;
    }
}

void LiveSession::UpdateStatus() {
    if (!controller_.Testing() && context_->LinkProtocol != kNotConnected) receiverFound_ = true;
    const StatusLine status = recovery_.Recovering() ? recovery_.Status() : controller_.Status();
    const std::string_view text = WithoutLeadingBlanks(status.text);
    if (text.empty() || text == shownStatus_) return;
    shownStatus_ = text;
    errors_.Write(text);
}

void LiveSession::ShowMessage(std::string_view text) {
    errors_.Write(text);
    errors_.Pump();
}

}  // namespace vexa
