#pragma once

#include <string>
#include <vector>

#include "cli/output_clash.h"
#include "history/epoch_assembler.h"
#include "history/export/history_files.h"

namespace vexa {

// --history-csv PREFIX: every epoch of the run written to PREFIX-satellites.csv and
// PREFIX-epochs.csv as it forms. Told of fixes and skies on the comm reader thread; Finish only
// once the link is closed.
class HistoryOutput : public GnssListener {
public:
    explicit HistoryOutput(const std::string& prefix) : files_(prefix) {}

    // Empty, or why the files cannot be written.
    std::string Open() { return files_.Open(); }
    void onFix(const GnssFix& fix) override { epochs_.onFix(fix); }
    void onSky(const GnssSky& sky) override { epochs_.onSky(sky); }
    // Empty, or why the files were not written (none is left behind then).
    std::string Finish() { return files_.Finish(); }

private:
    HistoryCsvStream files_;
    EpochAssembler epochs_{files_};
};

// The two files of --history-csv PREFIX (none for an empty prefix), for the output clash check.
void AddHistoryOutputs(const std::string& prefix, std::vector<NamedFile>& outputs);

}  // namespace vexa
