#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "link/sources/capture_playback.h"
#include "platform/read_outcome.h"
#include "platform/result_codes.h"
#include "platform/wake_event.h"

namespace vexa {

// Where a receiver's bytes come from: a serial device, a TCP stream, a running gpsd, a capture
// played at its line rate. The comm reader reads through this and never knows which one it has,
// so detection, the log, recording, the model and every page work the same for all of them.
//
// Reads and waits come from the comm reader thread only; writes from any thread (a source makes
// its writes atomic with respect to each other). Open, Configure and Close come from the thread
// that owns the link, between two of the reader's chunks (CommReader::BetweenChunks).
class ByteSource {
public:
    virtual ~ByteSource() = default;

    // Opens the source. The baud rate applies only where BaudChangeable(); others ignore it.
    // kResultOk or kResultCommFailure; on failure OpenProblem() says why in one line.
    virtual LinkResult Open(int baud) = 0;
    // Why the last Open failed, as a user reads it ("Connection refused by 10.0.0.7:2947");
    // empty after an Open that succeeded.
    virtual std::string OpenProblem() const = 0;
    // The system's error number of the last Open that failed (0 when none or not a system error).
    virtual int OpenError() const = 0;

    // Why the source ended, as a user reads it ("Connection to 10.0.0.7:4001 lost"), once Read
    // reported kEnded (kept through Close until the next Open); empty before that, and where nothing
    // more than the end itself is known.
    // A source whose Open only starts a connection reports a connection that fails this way.
    virtual std::string EndReason() const { return {}; }

    // Reads up to `capacity` of the bytes waiting, never blocking. kNothing when nothing waits or
    // the source is closed; kEnded once it hung up, failed or reached its end.
    virtual ReadOutcome Read(std::uint8_t* buffer, std::size_t capacity, std::size_t& count) = 0;
    // Waits until a Read would find bytes or the end, `wake` is signalled, or `timeout` passes.
    // A closed source waits on `wake` alone.
    virtual WakeEvent::Wait WaitReadable(const WakeEvent& wake, std::chrono::milliseconds timeout) = 0;

    // Writes every byte or fails: kResultOk or kResultCommFailure. A source that takes no
    // commands fails every write.
    virtual LinkResult Write(const std::uint8_t* bytes, std::size_t length) = 0;
    // Changes the line speed and discards what was waiting; kResultOk where no speed applies.
    virtual LinkResult Configure(int baud) = 0;
    virtual LinkResult Close() = 0;

    virtual bool IsOpen() const = 0;
    // The name the source was made from ("/dev/ttyUSB0", "tcp://gnss-box:4001", ...).
    virtual const std::string& Name() const = 0;
    // Whether commands may be written to the receiver through this source; when not,
    // CommandsRefusedReason() says why in one line.
    virtual bool TakesCommands() const = 0;
    virtual std::string CommandsRefusedReason() const { return {}; }
    // Whether the line speed is the program's to choose (auto-baud applies only then).
    virtual bool BaudChangeable() const = 0;
    // The pause, pace and place of a source that plays a capture; nullptr for a receiver's own line.
    virtual CapturePlayback* Playback() { return nullptr; }
};

// The source a port name stands for: "tcp://HOST:PORT", "gpsd://HOST[:PORT][/DEVICE]", a replayed
// capture, or else a serial device path. Never nullptr; a name that cannot be used gives a source
// whose Open fails with the reason.
std::unique_ptr<ByteSource> MakeByteSource(const std::string& name);

}  // namespace vexa
