#include "cli/decode_command.h"

#include <cerrno>
#include <cstring>
#include <optional>
#include <variant>

#include "cli/campaign_lines.h"
#include "cli/capture_accuracy.h"
#include "cli/capture_input.h"
#include "cli/cli_options.h"
#include "cli/gpsd_json.h"
#include "cli/history_output.h"
#include "cli/output_buffer.h"
#include "cli/output_clash.h"
#include "receiver/product/product_table.h"
#include "evaluation/reference_point.h"
#include "evaluation/report/report_writer.h"
#include "link/gps_comm.h"
#include "link/link_log.h"
#include "link/recording/fix_track.h"
#include "link/recording/track_export.h"
#include "platform/file_problem.h"
#include "link/model/link_update.h"
#include "platform/result_codes.h"
#include "platform/visible_text.h"
#include "receiver/binary/renderer.h"

namespace vexa {
namespace {

constexpr const char* kUsage =
    "usage: vexademo-cli --decode FILE [--product kestrel|osprey|merlin] [--log FILE] [--json] [--unknown]\n"
    "                    [--gpx FILE] [--history-csv PREFIX]\n"
    "       vexademo-cli --decode FILE --accuracy [--product P] [--reference LAT,LON,H|mean] --report DIR";
constexpr std::size_t kChunkSize = 64 * 1024;

// Prints each delivered message as its rendered line; messages without a rendering print nothing.
// Lines are rendered in place at the end of the output.
class LinePrinter : public MessageSink {
public:
    explicit LinePrinter(OutputBuffer& output) : output_(output) {}

    void deliver(int id, const std::uint8_t* record, std::size_t length) override {
        char* line = output_.reserve(kRenderBufferSize + 1);
        if (RenderMessage(id, record, length, line) != kResultOk) return;
        const std::size_t size = std::strlen(line);
        if (NeedsVisibleEscapes(std::string_view(line, size))) {
            output_.append(VisibleText(std::string_view(line, size)) + '\n');
            return;
        }
        line[size] = '\n';
        output_.commit(size + 1);
    }

private:
    OutputBuffer& output_;
};

// Prints a line for each frame of an unknown id.
class UnknownFramePrinter : public DropListener {
public:
    // Beside the decoded lines, in their order; or on a stream of their own (beside JSON reports).
    explicit UnknownFramePrinter(OutputBuffer& lines) : lines_(&lines) {}
    explicit UnknownFramePrinter(std::FILE* stream) : stream_(stream) {}
    void onDropped(DropReason reason, std::span<const std::uint8_t> payload) override {
        if (reason != DropReason::UnknownId || payload.empty()) return;
        std::string line = UnknownFrameLine(payload);
        line += '\n';
        if (lines_ != nullptr) {
            lines_->append(line);
        } else {
            std::fwrite(line.data(), 1, line.size(), stream_);
        }
    }

private:
    OutputBuffer* lines_ = nullptr;
    std::FILE* stream_ = nullptr;
};

// Shows the texts meant for a message box on the error stream; the other updates need no one.
class MessageBoxPrinter : public UpdateSink {
public:
    explicit MessageBoxPrinter(std::FILE* errors) : errors_(errors) {}
    void post(LinkUpdate update) override {
        if (const auto* message = std::get_if<MessageToShow>(&update)) {
            std::fprintf(errors_, "vexademo-cli: %s\n", VisibleText(message->text).c_str());
            shown_ = true;
        }
    }
    // The link shows only the data log's write errors here.
    bool Shown() const { return shown_; }

private:
    std::FILE* errors_;
    bool shown_ = false;
};

std::vector<NamedFile> DecodeInputs(const DecodeOptions& options, std::FILE* input) {
    if (options.path != "-") return {{"--decode", options.path}};
    if (const int fd = ::fileno(input); fd >= 0) return {{"--decode", "/proc/self/fd/" + std::to_string(fd), "standard input"}};
    return {};
}

std::vector<NamedFile> DecodeOutputs(const DecodeOptions& options, std::FILE* output) {
    std::vector<NamedFile> outputs = RedirectedToFile(::fileno(output), "standard output");
    if (!options.logPath.empty()) outputs.push_back({"--log", options.logPath});
    if (!options.gpxPath.empty()) outputs.push_back({"--gpx", options.gpxPath});
    AddHistoryOutputs(options.historyPrefix, outputs);
    return outputs;
}

std::string RefusedDecodeArgument(const std::string& argument, bool hasValue) {
    const OptionRow<CliOption>* option = FindCliOption(argument, kDecodeMode);
    if (option != nullptr && option->In(kDecodeMode) && option->TakesValue()) {
        return argument + (hasValue ? " given twice" : " needs a value");
    }
    if (!argument.starts_with("-")) return "unexpected '" + argument + "'";
    return RefusedOptionText(argument, "with --decode");
}

}  // namespace

std::optional<DecodeOptions> ParseDecodeOptions(const std::vector<std::string>& arguments, std::string& error) {
    DecodeOptions options;
    bool havePath = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == "--decode" && hasValue && !havePath) {
            options.path = arguments[++i];
            havePath = true;
        } else if (argument == "--product" && hasValue) {
            const std::optional<int> product = ProductNamed(arguments[++i]);
            if (!product) {
                error = "unknown product '" + arguments[i] + "'\n" + kUsage;
                return std::nullopt;
            }
            options.product = *product;
        } else if (argument == "--log" && hasValue && options.logPath.empty()) {
            options.logPath = arguments[++i];
        } else if (argument == "--gpx" && hasValue && options.gpxPath.empty()) {
            options.gpxPath = arguments[++i];
        } else if (argument == "--history-csv" && hasValue && options.historyPrefix.empty() && !arguments[i + 1].empty()) {
            options.historyPrefix = arguments[++i];
        } else if (argument == "--json") {
            options.json = true;
        } else if (argument == "--unknown") {
            options.unknown = true;
        } else if (argument == "--accuracy") {
            options.accuracy = true;
        } else if (argument == "--reference" && hasValue && !options.reference && !options.referenceMean) {
            const std::string& value = arguments[++i];
            const ParsedReference reference = value == "mean" ? ParsedReference{} : ParseReferencePoint(value);
            if (value != "mean" && !reference.point) {
                error = reference.message;
                return std::nullopt;
            }
            options.reference = reference.point;
            options.referenceMean = value == "mean";
        } else if (argument == "--report" && hasValue && options.reportPath.empty()) {
            options.reportPath = arguments[++i];
        } else {
            error = RefusedDecodeArgument(argument, hasValue) + "\n" + kUsage;
            return std::nullopt;
        }
    }
    if (!havePath) {
        error = kUsage;
        return std::nullopt;
    }
    if (options.accuracy) {
        if (options.reportPath.empty()) error = "--accuracy needs --report DIR";
        if (options.json) error = "--json cannot be used with --accuracy";
    } else if (options.reference || options.referenceMean || !options.reportPath.empty()) {
        error = (options.reportPath.empty() ? "--reference" : "--report") + std::string(" needs --accuracy");
    }
    if (!error.empty()) {
        error += "\n" + std::string(kUsage);
        return std::nullopt;
    }
    return options;
}

bool DecodeCapture(std::FILE* input, const DecodeOptions& options, std::FILE* output, std::FILE* errors,
                   DecodeCounts& counts, std::string& error, const WakeEvent* stop) {
    ReceiverContext context;
    context.ProductSelection = options.product;
    MessageBoxPrinter messageBoxes(errors);
    OutputBuffer lines(output, OutputBuffer::kDefaultCapacity, stop);
    LinePrinter printer(lines);
    JsonReportPrinter reports(lines);
    UnknownFramePrinter unknownFrames = options.json ? UnknownFramePrinter(errors) : UnknownFramePrinter(lines);
    std::optional<HistoryOutput> history;  // outlives the link that tells it
    std::optional<FixTrack> track;  // so does the track
    const std::unique_ptr<GpsComm> comm = GpsComm::Create(context);
    if (!comm) {
        error = "no lock for the receiver link";
        return false;
    }
    comm->SetUpdateSink(&messageBoxes);
    if (!options.gpxPath.empty()) comm->Model().AddGnssListener(track.emplace());
    CaptureAccuracy accuracy;
    if (options.accuracy) {
        comm->Model().AddGnssListener(accuracy);
        if (const std::string why = WhyReportCannotBeWritten(options.reportPath); !why.empty()) {
            error = why;
            return false;
        }
    } else if (options.json) {
        comm->Model().AddGnssListener(reports);
    } else {
        comm->SetDeliveryListener(&printer);
    }
    if (options.unknown) comm->SetDropListener(&unknownFrames);
    if (!options.gpxPath.empty()) {
        // Said before a long capture is read, not after.
        if (const std::string why = WhyTrackCannotBeWritten(options.gpxPath); !why.empty()) {
            error = "cannot write the track " + why;
            return false;
        }
    }
    if (!options.historyPrefix.empty()) {
        if (const std::string why = history.emplace(options.historyPrefix).Open(); !why.empty()) {
            error = why;
            return false;
        }
        comm->Model().AddGnssListener(*history);
    }
    std::optional<LinkLog> log;
    if (!options.logPath.empty() && log.emplace(*comm).Open(options.logPath) != kResultOk) {
        error = "cannot create " + FileErrorText(options.logPath, errno);
        return false;
    }

    std::vector<std::uint8_t> chunk(kChunkSize);
    CaptureInput capture(input, stop);
    std::size_t read;
    while ((read = capture.Read(chunk)) > 0) comm->Receive(std::span(chunk.data(), read));
    comm->EndOfInput();
    const bool readAll = capture.Error() == 0;
    if (!readAll) error = "cannot read " + options.path + ": " + std::strerror(capture.Error());
    if (log) log->Close();
    const bool logWritten = !messageBoxes.Shown();
    if (!logWritten && readAll) error = "the data log " + options.logPath + " is incomplete";
    const bool written = lines.flush();
    if (!written && readAll && logWritten) {
        error = std::string("cannot write the output: ") + std::strerror(lines.writeError());
    }
    if (const std::uint64_t dropped = lines.droppedAfterStop(); dropped > 0) {
        std::fprintf(errors, "vexademo-cli: the output did not take the last %llu bytes after the stop\n",
                     static_cast<unsigned long long>(dropped));
    }

    const ReceiveStatistics& statistics = comm->ReceiveCounts();
    counts.bytes = statistics.bytes;
    counts.frames = statistics.frames;
    counts.sentences = statistics.sentences;
    counts.dropped = statistics.dropped() + comm->UndeliveredFrames();
    counts.drops = comm->Drops();
    if (!options.gpxPath.empty()) {
        if (const std::string why = ExportGpxTrack(options.gpxPath, track->Points()); !why.empty()) {
            if (readAll && written && logWritten) error = "cannot write the track " + why;
            return false;
        }
    }
    if (history) {
        comm->Model().RemoveGnssListener(*history);
        if (const std::string why = history->Finish(); !why.empty()) {
            if (readAll && written && logWritten) error = why;
            return false;
        }
    }
    if (options.accuracy) {
        if (accuracy.Tracker().Fixes().empty()) std::fprintf(errors, "vexademo-cli: no fix in %s\n", options.path.c_str());
        const std::string title = "Capture " + (options.path == "-" ? std::string("from standard input") : options.path);
        if (std::string why = accuracy.WriteReport(options.reportPath, title, options.reference, options.referenceMean);
            !why.empty()) {
            if (readAll && written && logWritten) error = std::move(why);
            return false;
        }
        lines.append(AccuracyLine(accuracy.Tracker().Figures()) + '\n');
        if (!lines.flush() && readAll && logWritten) {
            error = std::string("cannot write the output: ") + std::strerror(lines.writeError());
            return false;
        }
    }
    return readAll && written && logWritten;
}

std::string CountsLine(const DecodeCounts& counts) {
    return "bytes " + std::to_string(counts.bytes) + ", frames " + std::to_string(counts.frames) + ", sentences " +
           std::to_string(counts.sentences) + ", dropped " + std::to_string(counts.dropped) +
           DropBreakdown(counts.drops);
}

int RunDecodeCommand(const std::vector<std::string>& arguments, std::FILE* input, std::FILE* output,
                     std::FILE* errors, const WakeEvent* stop) {
    std::string error;
    const std::optional<DecodeOptions> options = ParseDecodeOptions(arguments, error);
    if (!options) {
        std::fprintf(errors, "vexademo-cli: %s\n", error.c_str());
        return 1;
    }
    if (const std::string clash = OutputClash(DecodeInputs(*options, input), DecodeOutputs(*options, output));
        !clash.empty()) {
        std::fprintf(errors, "vexademo-cli: %s; nothing was written\n", clash.c_str());
        return 1;
    }
    std::FILE* capture = input;
    if (options->path != "-") {
        capture = std::fopen(options->path.c_str(), "rb");
        if (capture == nullptr) {
            std::fprintf(errors, "vexademo-cli: cannot read %s: %s\n", options->path.c_str(), std::strerror(errno));
            return 1;
        }
    }
    DecodeCounts counts;
    const bool decoded = DecodeCapture(capture, *options, output, errors, counts, error, stop);
    if (capture != input) std::fclose(capture);
    if (!decoded) {
        std::fprintf(errors, "vexademo-cli: %s\n", error.c_str());
        return 1;
    }
    std::fprintf(errors, "%s\n", CountsLine(counts).c_str());
    return 0;
}

}  // namespace vexa
