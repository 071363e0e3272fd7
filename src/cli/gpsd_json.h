#pragma once

#include <string>
#include <string_view>
#include <string_view>

#include "cli/output_buffer.h"
#include "receiver/fix/gnss_fix.h"
#include "receiver/fix/gnss_listener.h"

namespace vexa {

// One report of gpsd's JSON protocol, without the line end: a TPV object for a fix, a SKY object for
// a sky. Fields the receiver did not report are left out. Written with the C locale's digits.
// A `device` names the source, as gpsd names it, where several share one stream.
void AppendTpvReport(std::string& line, const GnssFix& fix, std::string_view device = {});
void AppendSkyReport(std::string& line, const GnssSky& sky, std::string_view device = {});

// Writes a TPV line for every fix with a position and a SKY line for every sky to `output`.
class JsonReportPrinter : public GnssListener {
public:
    explicit JsonReportPrinter(OutputBuffer& output) : output_(output) {}

    void onFix(const GnssFix& fix) override;
    void onSky(const GnssSky& sky) override;

private:
    void write();

    OutputBuffer& output_;
    std::string line_;
};

}  // namespace vexa
