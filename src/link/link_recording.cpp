#include "link/link_recording.h"

namespace vexa {

LinkRecording::LinkRecording(GpsComm& comm) : comm_(comm) { comm_.AddReadBytesListener(*this); }

LinkRecording::~LinkRecording() { comm_.RemoveReadBytesListener(*this); }

void LinkRecording::Stop() {
    if (std::string problem = recording_.Stop(); !problem.empty()) comm_.ShowMessage(std::move(problem));
}

}  // namespace vexa
