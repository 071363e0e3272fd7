// The link's receive path: state machine, dispatch, decoder and DeliverMessage under the model
// lock, fed with the sample capture repeated to about 1 MB; without and with the data log open.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <fstream>
#include <iterator>
#include <vector>

#include "link/gps_comm.h"
#include "link/link_log.h"
#include "link/location_client_host.h"

namespace {

std::vector<std::uint8_t> Capture() {
    std::ifstream in(std::string(VEXA_SOURCE_DIR) + "/res/samples/demo.bin", std::ios::binary);
    const std::vector<std::uint8_t> sample((std::istreambuf_iterator<char>(in)), {});
    std::vector<std::uint8_t> capture;
    while (!sample.empty() && capture.size() < (1u << 20)) capture.insert(capture.end(), sample.begin(), sample.end());
    return capture;
}

void ReceivePath(benchmark::State& state, bool logging) {
    const std::vector<std::uint8_t> capture = Capture();
    if (capture.empty()) {
        state.SkipWithError("no sample capture");
        return;
    }
    vexa::ReceiverContext context;
    const auto comm = vexa::GpsComm::Create(context);
    vexa::LocationClientHost location(*comm);
    std::optional<vexa::LinkLog> dataLog;
    if (logging) dataLog.emplace(*comm);
    const std::filesystem::path log = std::filesystem::temp_directory_path() / "bench_link_receive.gps";
    for (auto _ : state) {
        // Each pass starts a new file, so the log does not grow with the number of passes.
        if (dataLog && dataLog->Open(log.string()) != vexa::kResultOk) {
            state.SkipWithError("cannot write the log");
            return;
        }
        comm->Receive(capture);
        if (dataLog) dataLog->Close();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * capture.size()));
    std::filesystem::remove(log);
}

void BM_ReceiveWithoutLog(benchmark::State& state) { ReceivePath(state, false); }
void BM_ReceiveWithLog(benchmark::State& state) { ReceivePath(state, true); }

}  // namespace

BENCHMARK(BM_ReceiveWithoutLog)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReceiveWithLog)->Unit(benchmark::kMillisecond);
