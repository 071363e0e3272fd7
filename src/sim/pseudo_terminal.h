#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace vexa::sim {

// The receiver's end of a pseudo-terminal. Programs open the slave path as they would a serial port.
// Master and slave share one set of terminal settings, so the master reads the baud rate that the
// program on the slave side chose.
class PseudoTerminal {
public:
    // Throws std::system_error when no pseudo-terminal can be had.
    explicit PseudoTerminal(int initialBaud);
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const std::string& slavePath() const { return slavePath_; }

    // The baud rate set on the slave side; 0 when it is none of the receiver's rates.
    int peerBaud() const;
    // False while no program has the slave open (after the first one closed it).
    bool peerPresent() const;
    // Waits up to `timeoutMs` for bytes from the program; true when some are waiting.
    bool waitReadable(int timeoutMs) const;
    // Reads what is waiting, without blocking; 0 when nothing is.
    std::size_t read(std::span<std::uint8_t> buffer);
    // Writes without blocking; what the pseudo-terminal cannot take now is dropped. Gives the count taken.
    std::size_t write(std::span<const std::uint8_t> bytes);

private:
    void LetThePeerReadWhatWasSent() const;

    int master_ = -1;
    std::string slavePath_;
};

}  // namespace vexa::sim
