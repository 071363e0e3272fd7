#include "evaluation/report/report_writer.h"

#include <unistd.h>

#include <array>
#include <cerrno>
#include <memory>
#include <system_error>

#include "evaluation/report/report_csv.h"
#include "evaluation/report/report_html.h"
#include "evaluation/report/staged_file.h"
#include "evaluation/report/summary_json.h"
#include "platform/file_problem.h"

namespace vexa {

namespace {

constexpr std::size_t kWriteChunk = 1 << 16;

std::string Failed(const std::string& why) { return "report not written: " + why; }

// fixes.csv a chunk at a time: a long test is never held whole as text.
std::string WriteFixes(StagedFile& file, const AccuracyTracker& accuracy) {
    std::string chunk = FixesCsvHeader(accuracy);
    for (std::size_t i = 0; i < accuracy.Fixes().size(); ++i) {
        AppendFixesCsvRow(accuracy, i, chunk);
        if (chunk.size() >= kWriteChunk) {
            if (std::string why = file.Write(chunk); !why.empty()) return why;
            chunk.clear();
        }
    }
    return file.Write(chunk);
}

// Each file of the report and what goes in it; summary.json last, so that once it is in place the rest is too.
struct ReportFile {
    const char* name;
    std::string (*write)(StagedFile& file, const ReportContents& contents);
};

constexpr std::array<ReportFile, 4> kReportFiles = {{
    {kFixesCsvName, [](StagedFile& file, const ReportContents& contents) { return WriteFixes(file, contents.accuracy); }},
    {kRunsCsvName, [](StagedFile& file, const ReportContents& contents) { return file.Write(RunsCsv(contents.ttff)); }},
    {kReportHtmlName, [](StagedFile& file, const ReportContents& contents) { return file.Write(ReportHtml(contents)); }},
    {kSummaryJsonName, [](StagedFile& file, const ReportContents& contents) { return file.Write(SummaryJson(contents)); }},
}};

}  // namespace

std::string WhyReportCannotBeWritten(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) return Failed(FileErrorText(folder.string(), error.value()));
    if (::access(folder.c_str(), W_OK | X_OK) != 0) return Failed(FileErrorText(folder.string(), errno));
    return {};
}

std::string WriteReport(const std::filesystem::path& folder, const ReportContents& contents) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) return Failed(FileErrorText(folder.string(), error.value()));

    std::array<std::unique_ptr<StagedFile>, kReportFiles.size()> files;
    for (std::size_t i = 0; i < kReportFiles.size(); ++i) {
        files[i] = std::make_unique<StagedFile>(folder / kReportFiles[i].name);
        std::string why = files[i]->Open();
        if (why.empty()) why = kReportFiles[i].write(*files[i], contents);
        if (why.empty()) why = files[i]->Finish();
        if (!why.empty()) return Failed(why);
    }
    for (const std::unique_ptr<StagedFile>& file : files) {
        if (std::string why = file->PutInPlace(); !why.empty()) return Failed(why);
    }
    return {};
}

}  // namespace vexa
