#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "evaluation/local_frame.h"
#include "receiver/fix/gnss_listener.h"

namespace vexa {

// What --compare shows of one receiver, kept from its latest fix and sky on its comm reader thread
// and read once a second from another.
class CompareProbe : public GnssListener {
public:
    struct Figures {
        bool connected = false;
        FixMode mode = FixMode::NoFix;
        std::optional<int> used;
        std::optional<double> horizontalError;  // metres from the reference
        std::optional<double> meanCn0;          // dB-Hz, over the satellites used
    };

    // Without a reference, no error is measured.
    explicit CompareProbe(const std::optional<GeodeticPoint>& reference);

    void onFix(const GnssFix& fix) override;
    void onSky(const GnssSky& sky) override;
    // A receiver that is not connected shows nothing of its last link.
    void SetConnected(bool connected);
    Figures Latest() const;

private:
    const std::optional<LocalFrame> frame_;
    mutable std::mutex mutex_;
    Figures figures_;
    // The count the fix gives when it gives one, else the sky's.
    std::optional<int> fixUsed_;
    std::optional<int> skyUsed_;
};

struct NamedFigures {
    std::string name;
    CompareProbe::Figures figures;
};

// One line for all receivers:
// "gps-a: 3D, 9 used, 1.8 m, 41.2 dB-Hz | gps-b: no fix, 0 used, - m, - dB-Hz | gps-c: not connected".
std::string CompareLine(const std::vector<NamedFigures>& receivers);

}  // namespace vexa
