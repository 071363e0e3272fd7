#include "link/sources/byte_source.h"
#include "link/sources/gpsd_source.h"
#include "link/sources/network_source_name.h"
#include "link/sources/replay_name.h"
#include "link/sources/replay_source.h"
#include "link/sources/serial_port.h"
#include "link/sources/tcp_source.h"

namespace vexa {

std::unique_ptr<ByteSource> MakeByteSource(const std::string& name) {
    if (name.starts_with(kTcpScheme)) return std::make_unique<TcpSource>(name);
    if (name.starts_with(kGpsdScheme)) return std::make_unique<GpsdSource>(name);
    if (IsReplayName(name)) return std::make_unique<ReplaySource>(name);
    return std::make_unique<SerialPort>(name);
}

}  // namespace vexa
