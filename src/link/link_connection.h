#pragma once

#include <string>

namespace vexa {

// What the connection controller needs of the receiver link: GpsComm implements it,
// tests may give their own.
class LinkConnection {
public:
    virtual ~LinkConnection() = default;
    // Opens the serial device at the given baud rate; kResultOk or kResultCommFailure.
    virtual int Connect(const std::string& devicePath, int baud) = 0;
    // Why the last Connect failed, as a system error number; 0 when it is not known.
    virtual int ConnectError() const { return 0; }
    // Closes the port and blanks the receiver records.
    virtual int Disconnect() = 0;
};

}  // namespace vexa
