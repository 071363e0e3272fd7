#include "cli/history_output.h"

namespace vexa {

std::string HistoryOutput::Finish() {
    Write();
    return files_.Finish();
}

void AddHistoryOutputs(const std::string& prefix, std::vector<NamedFile>& outputs) {
    if (prefix.empty()) return;
    outputs.push_back({"--history-csv", SatellitesCsvPath(prefix).string()});
    outputs.push_back({"--history-csv", EpochsCsvPath(prefix).string()});
}

}  // namespace vexa
