#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include <termios.h>

#include "platform/clock.h"
#include "platform/read_outcome.h"

namespace vexa {

// Raw POSIX serial device primitives. Every function works on a file descriptor and reports
// failure by its return value; none of them throws or blocks beyond the write time-out.

// The termios speed of a baud rate the program uses (4800 to 921600); nothing for any other rate.
std::optional<speed_t> TermiosSpeed(int baud);

// Opens an existing terminal device for reading and writing, non-blocking and exclusive.
// Gives the descriptor, or -1 (errno says why) when the path is not an openable terminal.
int OpenSerialDevice(const std::string& devicePath);

// Raw 8N1, no flow control, no modem control lines, reads that return at once; then the speed,
// then the input queue is discarded. False (errno says why) when the rate is unknown or the
// device refuses.
bool ConfigureSerialDevice(int fd, int baud);

// Reads up to `capacity` of the bytes waiting, without waiting; `count` is the number read. A device
// that was unplugged or whose other end closed reports kEnded (hang-up, EIO, ENXIO, ENODEV).
ReadOutcome ReadSerialDevice(int fd, std::uint8_t* buffer, std::size_t capacity, std::size_t& count);

// Write time-out of the receiver link: 10 ms per byte plus 1000 ms.
std::chrono::milliseconds SerialWriteTimeout(std::size_t length);

// Writes every byte, continuing partial writes until done or until the time-out, measured on `clock`, runs out.
bool WriteSerialDevice(int fd, const std::uint8_t* bytes, std::size_t length, std::chrono::milliseconds timeout,
                       const Clock& clock = SystemClock());

// Discards both queues and closes the descriptor.
bool CloseSerialDevice(int fd);

}  // namespace vexa
