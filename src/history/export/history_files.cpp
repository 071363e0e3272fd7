#include "history/export/history_files.h"

#include "history/history_csv.h"

namespace vexa {

namespace {

constexpr std::size_t kWriteChunk = 1 << 16;

std::string Failed(const std::string& why) { return "history not written: " + why; }

}  // namespace

std::filesystem::path SatellitesCsvPath(const std::string& prefix) { return prefix + "-satellites.csv"; }
std::filesystem::path EpochsCsvPath(const std::string& prefix) { return prefix + "-epochs.csv"; }

HistoryCsvStream::HistoryCsvStream(const std::string& prefix)
    : satellites_(SatellitesCsvPath(prefix)), epochs_(EpochsCsvPath(prefix)) {}

HistoryCsvStream::~HistoryCsvStream() = default;

std::string HistoryCsvStream::Open() {
    problem_ = satellites_.Open();
    if (problem_.empty()) problem_ = epochs_.Open();
    satelliteText_ = kSatellitesCsvHeader;
    epochText_ = kEpochsCsvHeader;
    return problem_.empty() ? std::string() : Failed(problem_);
}

void HistoryCsvStream::Add(const HistoryEpoch& epoch) {
    WritePending();
    pending_ = epoch;
}

void HistoryCsvStream::AddSummary(const HistoryColumn& column, const std::vector<SatelliteId>& rows) {
    WritePending();
    AppendSatelliteRows(column, rows, satelliteText_);
    AppendEpochRow(column, epochText_);
    Flush(false);
}

void HistoryCsvStream::WritePending() {
    if (!pending_) return;
    AppendSatelliteRows(*pending_, satelliteText_);
    AppendEpochRow(*pending_, epochText_);
    pending_.reset();
    Flush(false);
}

void HistoryCsvStream::Flush(bool always) {
    if (!problem_.empty()) {
        satelliteText_.clear();
        epochText_.clear();
        return;
    }
    if (always || satelliteText_.size() >= kWriteChunk) {
        problem_ = satellites_.Write(satelliteText_);
        satelliteText_.clear();
    }
    if (problem_.empty() && (always || epochText_.size() >= kWriteChunk)) {
        problem_ = epochs_.Write(epochText_);
        epochText_.clear();
    }
}

std::string HistoryCsvStream::Finish() {
    WritePending();
    Flush(true);
    for (StagedFile* file : {&satellites_, &epochs_}) {
        if (problem_.empty()) problem_ = file->Finish();
    }
    for (StagedFile* file : {&satellites_, &epochs_}) {
        if (problem_.empty()) problem_ = file->PutInPlace();
    }
    return problem_.empty() ? std::string() : Failed(problem_);
}

std::string ExportHistory(const std::string& prefix, const HistoryStore& store) {
    HistoryCsvStream stream(prefix);
    if (std::string why = stream.Open(); !why.empty()) return why;
    const std::deque<KeptEpoch>& recent = store.Recent();
    // The summaries reach as far as the recent epochs begin; the seconds still open there are left
    // to the epochs themselves.
    const AxisMs recentStart = recent.empty() ? 0 : recent.front().axis;
    for (const HistoryColumn& column : store.Seconds().columns) {
        if (!recent.empty() && column.last >= recentStart) break;
        stream.AddSummary(column, store.Rows());
    }
    for (const KeptEpoch& kept : recent) stream.Add(kept.epoch);
    return stream.Finish();
}

}  // namespace vexa
