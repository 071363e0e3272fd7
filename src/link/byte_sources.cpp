#include "link/byte_source.h"
#include "link/replay_name.h"
#include "link/replay_source.h"
#include "link/serial_port.h"

namespace vexa {

std::unique_ptr<ByteSource> MakeByteSource(const std::string& name) {
    if (IsReplayName(name)) return std::make_unique<ReplaySource>(name);
    return std::make_unique<SerialPort>(name);
}

}  // namespace vexa
