#include "link/byte_source.h"
#include "link/serial_port.h"

namespace vexa {

std::unique_ptr<ByteSource> MakeByteSource(const std::string& name) {
    return std::make_unique<SerialPort>(name);
}

}  // namespace vexa
