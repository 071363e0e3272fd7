#pragma once

#include <optional>
#include <string>
#include <vector>

#include "link/connection/link_connection.h"
#include "platform/result_codes.h"
#include "receiver/product/receiver_context.h"

namespace vexa::test {

// A link that records what it is asked and lets a scripted receiver answer: opening the
// port at the receiver's rate makes the comm reader recognise its protocol.
class ScriptedLink : public LinkConnection {
public:
    explicit ScriptedLink(ReceiverContext& context) : context_(context) {}

    LinkResult Connect(const std::string& devicePath, int baud) override {
        calls.push_back("connect " + devicePath + " " + std::to_string(baud));
        if (baud == unopenableRate || unopenableRate == kAnyRate) return kResultCommFailure;
        if (receiverRate == baud) context_.LinkProtocol = receiverProtocol;
        return kResultOk;
    }
    LinkResult Disconnect() override {
        calls.push_back("disconnect");
        if (frameArrivesWhileClosing) context_.LinkProtocol = kBinaryProtocol;
        return kResultOk;
    }

    int ConnectError() const override { return connectError; }
    std::string ConnectProblem() const override { return connectProblem; }
    bool BaudChangeable() const override { return baudChangeable; }
    std::string EndReason() const override { return endReason; }
    std::optional<std::uint64_t> BytesReceived() const override { return bytesReceived; }
    bool Paused() const override { return paused; }

    static constexpr int kAnyRate = -1;
    int connectError = 0;
    std::string connectProblem;
    // False: a source without a line speed of its own, such as a network stream.
    bool baudChangeable = true;
    std::string endReason;
    std::optional<std::uint64_t> bytesReceived;
    bool paused = false;  // a replay paused by the user
    std::optional<int> receiverRate;
    int receiverProtocol = kNmeaProtocol;
    int unopenableRate = 0;
    bool frameArrivesWhileClosing = false;
    std::vector<std::string> calls;

private:
    ReceiverContext& context_;
};

}  // namespace vexa::test
