#include "cli/comparison_report.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <functional>

#include "cli/run_sources.h"
#include "evaluation/figure_rows.h"
#include "evaluation/report/report_writer.h"
#include "platform/file_problem.h"

namespace vexa {
namespace {

std::string Cell(const std::optional<double>& value, int decimals = kMetreDecimals) {
    if (!value) return {};
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, *value);
    return text;
}

// The figures the report compares: accuracy when there is a reference, else precision.
std::optional<ErrorFigures> FiguresOf(ComparisonRecord& record) {
    const AccuracyFigures& figures = record.Tracker().Figures();
    return figures.accuracy ? figures.accuracy : figures.precision;
}

std::string SatelliteName(const ComparisonRecord::Satellite& satellite) {
    char text[16];
    std::snprintf(text, sizeof text, "%c%02d", ConstellationLetter(satellite.first), satellite.second);
    return text;
}

}  // namespace

void ComparisonRecord::SetReference(const ReferencePoint& reference) {
    const std::lock_guard lock(mutex_);
    tracker_.SetReference(reference);
}

void ComparisonRecord::onFix(const GnssFix& fix) {
    const std::optional<FixSample> sample = FixSampleOf(fix);
    if (!sample) return;
    const std::lock_guard lock(mutex_);
    tracker_.Add(*sample);
}

void ComparisonRecord::onSky(const GnssSky& sky) {
    const std::lock_guard lock(mutex_);
    for (const SkySatellite& satellite : sky.satellites) {
        if (!satellite.cn0) continue;
        Sum& sum = cn0_[{satellite.id.gnss, satellite.id.svid}];
        sum.total += *satellite.cn0;
        ++sum.count;
    }
}

std::map<ComparisonRecord::Satellite, double> ComparisonRecord::MeanCn0() const {
    const std::lock_guard lock(mutex_);
    std::map<Satellite, double> means;
    for (const auto& [satellite, sum] : cn0_) means[satellite] = sum.total / static_cast<double>(sum.count);
    return means;
}

std::string WriteComparisonReport(const std::filesystem::path& folder, const std::optional<GeodeticPoint>& reference,
                                  const std::vector<ComparedReceiver>& receivers) {
    const TtffTracker noRuns;
    for (const ComparedReceiver& receiver : receivers) {
        if (reference) receiver.record.Tracker().SetReference(ReferencePoint{*reference, ReferenceSource::Entered, std::nullopt});
        const std::string& title = receiver.title.empty() ? receiver.name : receiver.title;
        if (std::string why = WriteReport(folder / FileNamePart(receiver.name),
                                          {title, receiver.record.Tracker(), receiver.runs != nullptr ? *receiver.runs : noRuns});
            !why.empty()) {
            return why;
        }
    }

    std::vector<std::string> rows{"figure"};
    const auto addRow = [&rows](const std::string& name, const std::function<std::string(std::size_t)>& cell,
                                std::size_t columns) {
        std::string row = name;
        for (std::size_t column = 0; column < columns; ++column) row += "," + cell(column);
        rows.push_back(row);
    };
    for (const ComparedReceiver& receiver : receivers) rows.front() += "," + receiver.name;
    std::vector<std::optional<ErrorFigures>> figures;
    for (const ComparedReceiver& receiver : receivers) figures.push_back(FiguresOf(receiver.record));
    const auto figureRow = [&](const std::string& name, const std::function<std::optional<double>(const ErrorFigures&)>& value) {
        addRow(name, [&](std::size_t i) { return figures[i] ? Cell(value(*figures[i])) : std::string(); }, receivers.size());
    };
    addRow("fixes", [&](std::size_t i) { return std::to_string(receivers[i].record.Tracker().Fixes().size()); },
           receivers.size());
    figureRow("cep50_m", [](const ErrorFigures& f) { return f.cep50; });
    figureRow("cep95_m", [](const ErrorFigures& f) { return f.cep95; });
    figureRow("cep99_m", [](const ErrorFigures& f) { return f.cep99; });
    figureRow("drms_m", [](const ErrorFigures& f) { return f.drms; });
    figureRow("2drms_m", [](const ErrorFigures& f) { return f.twoDrms; });
    figureRow("vertical95_m", [](const ErrorFigures& f) { return f.vertical95; });

    std::vector<std::map<ComparisonRecord::Satellite, double>> cn0;
    for (const ComparedReceiver& receiver : receivers) cn0.push_back(receiver.record.MeanCn0());
    std::vector<double> differenceSums(receivers.size(), 0.0);
    std::size_t shared = 0;
    for (const auto& [satelliteOfFirst, cn0OfFirst] : cn0.empty() ? std::map<ComparisonRecord::Satellite, double>() : cn0.front()) {
        const ComparisonRecord::Satellite satellite = satelliteOfFirst;
        const double first = cn0OfFirst;
        if (!std::all_of(cn0.begin(), cn0.end(), [&](const auto& means) { return means.contains(satellite); })) continue;
        ++shared;
        addRow("cn0_difference_dbhz_" + SatelliteName(satellite), [&](std::size_t i) {
            const double difference = cn0[i].at(satellite) - first;
            differenceSums[i] += difference;
            return Cell(difference);
        }, receivers.size());
    }
    addRow("cn0_mean_difference_dbhz", [&](std::size_t i) {
        return shared == 0 ? std::string() : Cell(differenceSums[i] / static_cast<double>(shared));
    }, receivers.size());

    for (const ResetKind kind : kResetKinds) {
        const auto figuresOf = [&](std::size_t i) {
            return receivers[i].runs != nullptr ? receivers[i].runs->Figures(kind) : noRuns.Figures(kind);
        };
        bool run = false;
        for (std::size_t i = 0; i < receivers.size(); ++i) run = run || figuresOf(i).runs > 0;
        if (!run) continue;
        const std::string prefix = "ttff_" + std::string(ResetKindName(kind)) + "_";
        addRow(prefix + "runs", [&](std::size_t i) { return std::to_string(figuresOf(i).runs); }, receivers.size());
        addRow(prefix + "failures", [&](std::size_t i) { return std::to_string(figuresOf(i).failures); }, receivers.size());
        for (const TtffFigureColumn& column : kTtffTimeColumns) {
            addRow(prefix + column.key, [&](std::size_t i) { return Cell(column.value(figuresOf(i)), kSecondDecimals); },
                   receivers.size());
        }
    }

    const std::filesystem::path path = folder / kComparisonCsvName;
    std::ofstream file(path);
    for (const std::string& row : rows) file << row << '\n';
    file.close();
    if (!file) return "report not written: " + FileErrorText(path.string(), errno != 0 ? errno : EIO);
    return {};
}

}  // namespace vexa
