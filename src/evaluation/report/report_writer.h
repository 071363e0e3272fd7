#pragma once

#include <filesystem>
#include <string>

#include "evaluation/report/report_contents.h"

namespace vexa {

// The names of the report's files in its folder.
inline constexpr const char* kFixesCsvName = "fixes.csv";
inline constexpr const char* kRunsCsvName = "runs.csv";
inline constexpr const char* kSummaryJsonName = "summary.json";
inline constexpr const char* kReportHtmlName = "report.html";

// Writes the report into the folder `folder` (made, with the folders above it, when missing):
// fixes.csv, runs.csv, summary.json and report.html, replacing earlier ones. Every file is written
// in full beside its name first and only then are all four put in place, so a folder that cannot
// be written or a full disk leaves none of them new. Gives an empty text on success, otherwise
// "report not written: PATH: reason".
// Whether a report can be written into `folder`, asked before a long test rather than after it: the
// folder is made when missing and must be writable. Empty when it can, else WriteReport's message.
std::string WhyReportCannotBeWritten(const std::filesystem::path& folder);

std::string WriteReport(const std::filesystem::path& folder, const ReportContents& contents);

}  // namespace vexa
