#include "link/connection/link_recovery.h"

#include <utility>

#include "link/connection/baud_settings.h"
#include "link/sources/replay_name.h"

namespace vexa {

LinkRecovery::LinkRecovery(LinkConnection& link, ReceiverContext& context, std::function<void()> statusChanged)
    : link_(link), context_(context), statusChanged_(std::move(statusChanged)) {}

void LinkRecovery::Remember(const std::string& portPath, int chosenBaudSetting) {
    portPath_ = portPath;
    chosenBaudSetting_ = chosenBaudSetting;
}

void LinkRecovery::BaudChanged(int baud) {
    if (chosenBaudSetting_ && *chosenBaudSetting_ != kAutoBaud) chosenBaudSetting_ = baud;
}

void LinkRecovery::Stop() {
    const bool wasRecovering = recovering_;
    recovering_ = false;
    problem_.clear();
    attempt_.reset();
    chosenBaudSetting_.reset();
    if (wasRecovering && statusChanged_) statusChanged_();
}

void LinkRecovery::Search(const std::string& portPath, int baudSetting, std::string problem) {
    Remember(portPath, baudSetting);
    attempt_.emplace(link_, context_);
    recovering_ = true;
    problem_ = std::move(problem);
    if (statusChanged_) statusChanged_();
}

void LinkRecovery::LinkLost() {
    if (recovering_ || context_.LinkProtocol == kNotConnected) return;
    problem_ = link_.EndReason();
    attempt_.emplace(link_, context_);
    attempt_->Disconnect();
    // A capture that played to its end is over: playing it again from its start is --loop's to ask.
    recovering_ = chosenBaudSetting_.has_value() && !IsReplayName(portPath_);
    if (statusChanged_) statusChanged_();
}

StatusLine LinkRecovery::Status() const {
    return StatusLineFor({false, 0, 0, kNotConnected, context_.ProductSelection, false, problem_});
}

void LinkRecovery::Tick() {
    if (!recovering_) return;
    if (attempt_->Testing()) {
        attempt_->Tick();
        if (attempt_->Testing()) return;
        if (context_.LinkProtocol == kNotConnected) {
            TakeProblem();
            return;
        }
        recovering_ = false;
        problem_.clear();
        attempt_.reset();
        if (statusChanged_) statusChanged_();
        return;
    }
    // Without a device behind the path the port does not open, and the next tick tries again.
    attempt_->Connect(portPath_, BaudSettingText(*chosenBaudSetting_));
    if (!attempt_->Testing()) TakeProblem();
}

void LinkRecovery::TakeProblem() {
    const std::string& problem = attempt_->Problem();
    if (problem.empty() || problem == problem_) return;
    problem_ = problem;
    if (statusChanged_) statusChanged_();
}

}  // namespace vexa
