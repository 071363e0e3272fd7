#include "link/receiver_commands.h"

#include <array>
#include <thread>

#include "link/gps_comm.h"
#include "platform/result_codes.h"
#include "receiver/commands/command_encoder.h"
#include "receiver/frames/frame_format.h"
#include "receiver/product/product_table.h"

namespace vexa {
namespace {

// A command that does not go out shows by the receiver's missing answer; the front ends ask
// GpsComm::CommandsRefused() before offering to send at all.
void SendCommand(GpsComm& comm, const CommandMessage& message) {
    (void)comm.Send(message.id, message.block.data(), message.length);
}

void FinishSwitch(GpsComm& comm, const ProtocolSwitchHooks& hooks, int baud) {
    if (hooks.wait) hooks.wait(kProtocolSwitchSettle);
    else std::this_thread::sleep_for(kProtocolSwitchSettle);
    // A line that cannot take the new speed finds no receiver, which the status then shows.
    (void)comm.RestartLine(baud);
    if (hooks.saveBaud) hooks.saveBaud(baud);
}

}  // namespace

void SendReset(GpsComm& comm, ResetKind kind) {
    SendCommand(comm, ResetCommand(kind, comm.Context()));
    comm.Model().RestartTtffClock();
}

void ToggleDebugOutput(GpsComm& comm) { SendCommand(comm, DebugOutputToggle(comm.Context())); }

void ToggleNavLibOutput(GpsComm& comm) {
    for (const CommandMessage& message : NavLibOutputToggle(comm.Context())) SendCommand(comm, message);
}

void PollSoftwareVersion(GpsComm& comm) { SendCommand(comm, SoftwareVersionPoll()); }

void PollClockStatus(GpsComm& comm) { SendCommand(comm, ClockStatusPoll()); }

void SetElevationMask(GpsComm& comm, double trackingDegrees, double navigationDegrees) {
    if (const auto message = ElevationMaskCommand(trackingDegrees, navigationDegrees)) SendCommand(comm, *message);
}

void SetPowerManagement(GpsComm& comm, const PowerSettings& settings) {
    for (const CommandMessage& message : PowerManagementCommands(settings)) SendCommand(comm, message);
}

void SwitchProtocol(GpsComm& comm, const ProtocolSwitchHooks& hooks) {
    ReceiverContext& context = comm.Context();
    switch (context.LinkProtocol.load()) {
    case kBinaryProtocol: {
        const CommandMessage request = SwitchToNmeaCommand();
        std::array<std::uint8_t, kFrameBufferSize> frame;
        const EncodeResult encoded = EncodeMessage(request.id, request.block.data(), request.length, frame,
                                                   UsesChannelBytes(context.ProductSelection.load()));
        if (encoded.code == kResultOk) (void)comm.WriteDirect(frame.data(), encoded.frameLength);
        FinishSwitch(comm, hooks, kNmeaSwitchBaud);
        return;
    }
    case kNmeaProtocol: {
        const std::optional<std::string> sentence = SwitchToBinarySentence(context.ProductSelection.load());
        if (!sentence) return;
        (void)comm.WriteDirect(reinterpret_cast<const std::uint8_t*>(sentence->data()), sentence->size());
        FinishSwitch(comm, hooks, kBinarySwitchBaud);
        return;
    }
    default: return;
    }
}

}  // namespace vexa
