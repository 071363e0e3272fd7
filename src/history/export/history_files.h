#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "evaluation/report/staged_file.h"
#include "history/epoch_assembler.h"
#include "history/history_store.h"

namespace vexa {

// PREFIX-satellites.csv and PREFIX-epochs.csv.
std::filesystem::path SatellitesCsvPath(const std::string& prefix);
std::filesystem::path EpochsCsvPath(const std::string& prefix);

// The two history files written as the epochs come (a decoded or live session): each epoch once
// it is whole, that is when the next begins or at Finish. Both files appear only when both are
// whole; on a failure neither is left behind and the text says why.
class HistoryCsvStream : public EpochSink {
public:
    explicit HistoryCsvStream(const std::string& prefix);
    ~HistoryCsvStream() override;

    // Empty, or why the files cannot be written.
    std::string Open();
    void Add(const HistoryEpoch& epoch) override;
    void ReplaceLatest(const HistoryEpoch& epoch) override { pending_ = epoch; }
    // A summarised stretch, written as one row for it and one per satellite in it.
    void AddSummary(const HistoryColumn& column, const std::vector<SatelliteId>& rows);
    // Writes what is pending and puts both files in place; empty, or why they were not written.
    std::string Finish();

private:
    void WritePending();
    void Flush(bool always);

    StagedFile satellites_;
    StagedFile epochs_;
    std::optional<HistoryEpoch> pending_;
    std::string satelliteText_;
    std::string epochText_;
    std::string problem_;
};

// Writes what a store holds: the summaries (a row per second) before its recent epochs, then
// those epoch by epoch. Empty, or why the files were not written (none is then left behind).
std::string ExportHistory(const std::string& prefix, const HistoryStore& store);

}  // namespace vexa
