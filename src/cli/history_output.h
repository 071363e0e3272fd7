#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/output_clash.h"
#include "history/epoch_assembler.h"
#include "history/epoch_queue.h"
#include "history/export/history_files.h"

namespace vexa {

// --history-csv PREFIX: every epoch of the run written to PREFIX-satellites.csv and
// PREFIX-epochs.csv. Told of fixes and skies on the comm reader thread, where the epochs only join
// a queue; Write and Finish, on the program's own thread, write them (Finish once the link is closed).
class HistoryOutput : public GnssListener {
public:
    // Ten minutes of epochs at five a second: a writer held up that long loses the newest.
    static constexpr std::size_t kWaitingEpochs = 3000;

    explicit HistoryOutput(const std::string& prefix) : files_(prefix) {}

    // Empty, or why the files cannot be written.
    std::string Open() { return files_.Open(); }
    void onFix(const GnssFix& fix) override { epochs_.onFix(fix); }
    void onSky(const GnssSky& sky) override { epochs_.onSky(sky); }
    void Write() { queue_.MoveTo(files_); }
    // Empty, or why the files were not written (none is left behind then).
    std::string Finish();
    // The epochs left out because the writer fell behind.
    std::uint64_t Dropped() const { return queue_.Dropped(); }

private:
    HistoryCsvStream files_;
    EpochQueue queue_{kWaitingEpochs};
    EpochAssembler epochs_{queue_};
};

// The two files of --history-csv PREFIX (none for an empty prefix), for the output clash check.
void AddHistoryOutputs(const std::string& prefix, std::vector<NamedFile>& outputs);

}  // namespace vexa
