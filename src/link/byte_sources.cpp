#include "link/byte_source.h"
#include "link/gpsd_source.h"
#include "link/network_source_name.h"
#include "link/replay_name.h"
#include "link/replay_source.h"
#include "link/serial_port.h"
#include "link/tcp_source.h"

namespace vexa {

std::unique_ptr<ByteSource> MakeByteSource(const std::string& name) {
    if (name.starts_with(kTcpScheme)) return std::make_unique<TcpSource>(name);
    if (name.starts_with(kGpsdScheme)) return std::make_unique<GpsdSource>(name);
    if (IsReplayName(name)) return std::make_unique<ReplaySource>(name);
    return std::make_unique<SerialPort>(name);
}

}  // namespace vexa
