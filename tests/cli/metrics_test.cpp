// vexademo-cli's Prometheus endpoint as a lab uses it: a real Prometheus server scrapes it while the
// program reads a simulated receiver on a pseudo-terminal, and the series are read back through
// Prometheus's own query API.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

#include "sim/receiver_simulator.h"
#include "support/http_get.h"
#include "support/log_file_text.h"
#include "support/program_run.h"

namespace vexa {
namespace {

using namespace std::chrono_literals;
using test::FreePort;
using test::HttpGet;
using test::ProgramRun;
using test::ReadFile;
using test::ScratchFolder;

std::string PrometheusProgram() {
    for (const char* path : {"/usr/bin/prometheus", "/usr/local/bin/prometheus"}) {
        if (::access(path, X_OK) == 0) return path;
    }
    return {};
}

std::string Encoded(const std::string& text) {
    std::string encoded;
    for (const unsigned char c : text) {
        if (std::isalnum(c) || c == '_') {
            encoded += static_cast<char>(c);
        } else {
            char escape[4];
            std::snprintf(escape, sizeof escape, "%%%02X", c);
            encoded += escape;
        }
    }
    return encoded;
}

// Prometheus's answer to an instant query, as JSON text.
std::string Query(std::uint16_t port, const std::string& query) {
    return HttpGet(port, "/api/v1/query?query=" + Encoded(query));
}

// The first result's value of a query answer ("3" of "value":[1700000000.1,"3"]); empty when none.
std::string FirstValue(const std::string& answer) {
    const std::size_t value = answer.find("\"value\":[");
    if (value == std::string::npos) return {};
    const std::size_t open = answer.find('"', answer.find(',', value));
    const std::size_t close = answer.find('"', open + 1);
    return answer.substr(open + 1, close - open - 1);
}

TEST(CliMetrics, PrometheusScrapesTheReceiversSeriesAndABusyMetricsPortIsRefusedByName) {
    const std::string prometheus = PrometheusProgram();
    if (prometheus.empty()) GTEST_SKIP() << "no prometheus program (Debian package prometheus; scripts/bootstrap installs it)";
    ScratchFolder folder;
    sim::SimulatorOptions options;
    options.receiver.protocol = sim::Protocol::Nmea;
    options.receiver.baud = 115200;
    options.receiver.constellations = {sim::Constellation::Gps, sim::Constellation::Glonass};
    options.receiver.timesToFirstFix = {1, 2, 3, 4};
    sim::ReceiverSimulator simulator(options);
    simulator.start();
    // A second receiver of the same run has series of its own.
    sim::ReceiverSimulator other(options);
    other.start();

    const std::string metrics = "127.0.0.1:" + std::to_string(FreePort());
    ProgramRun cli(VEXADEMO_CLI,
                   {"--port", simulator.slavePath(), "--port", other.slavePath(), "--baud", "115200", "--metrics", metrics,
                    "--seconds", "120", "--reference", "37.3875,-121.9720,25"},
                   {.output = folder / "out", .errors = folder / "err"});
    ASSERT_TRUE(cli.Started());
    const std::uint16_t metricsPort = static_cast<std::uint16_t>(std::stoi(metrics.substr(metrics.rfind(':') + 1)));
    const auto served = std::chrono::steady_clock::now() + 20s;
    while (HttpGet(metricsPort, "/metrics").empty() && std::chrono::steady_clock::now() < served) {
        std::this_thread::sleep_for(50ms);
    }

    ProgramRun second(VEXADEMO_CLI, {"--port", simulator.slavePath(), "--metrics", metrics, "--seconds", "30"},
                      {.output = folder / "out2", .errors = folder / "err2"});
    EXPECT_EQ(second.Wait(20s), 1);
    EXPECT_NE(ReadFile(folder / "err2").find("cannot serve metrics on " + metrics + ": "), std::string::npos)
        << ReadFile(folder / "err2");

    const std::uint16_t queryPort = FreePort();
    std::ofstream(folder / "prometheus.yml") << "global:\n  scrape_interval: 1s\nscrape_configs:\n"
                                                "  - job_name: vexademo\n    static_configs:\n"
                                                "      - targets: ['" << metrics << "']\n";
    ProgramRun server(prometheus,
                      {"--config.file=" + folder / "prometheus.yml", "--storage.tsdb.path=" + folder / "data",
                       "--web.listen-address=127.0.0.1:" + std::to_string(queryPort)},
                      {.output = folder / "prometheus.out", .errors = folder / "prometheus.log"});
    ASSERT_TRUE(server.Started());

    const std::string device = "\"device\":\"" + simulator.slavePath() + "\"";
    std::string connected, bothConnected, fixMode, glonassUsed, sentences, horizontalError;
    const auto deadline = std::chrono::steady_clock::now() + 90s;
    while (std::chrono::steady_clock::now() < deadline) {
        connected = Query(queryPort, "vexa_receiver_connected");
        bothConnected = Query(queryPort, "count(vexa_receiver_connected == 1)");
        fixMode = Query(queryPort, "vexa_fix_mode");
        glonassUsed = Query(queryPort, "vexa_satellites_used{gnssid=\"6\"} > 0");
        sentences = Query(queryPort, "vexa_received_sentences_total > 20");
        horizontalError = Query(queryPort, "vexa_position_error_metres{direction=\"horizontal\"} < 1000");
        if (FirstValue(bothConnected) == "2" && FirstValue(fixMode) == "3" && !FirstValue(glonassUsed).empty() &&
            !FirstValue(sentences).empty() && !FirstValue(horizontalError).empty()) {
            break;
        }
        std::this_thread::sleep_for(500ms);
    }
    EXPECT_NE(connected.find(device), std::string::npos) << connected << ReadFile(folder / "prometheus.log");
    EXPECT_NE(connected.find("\"device\":\"" + other.slavePath() + "\""), std::string::npos) << connected;
    EXPECT_EQ(FirstValue(bothConnected), "2") << connected;
    EXPECT_EQ(FirstValue(fixMode), "3") << fixMode;
    EXPECT_FALSE(FirstValue(glonassUsed).empty()) << glonassUsed;
    EXPECT_FALSE(FirstValue(sentences).empty()) << sentences;
    EXPECT_FALSE(FirstValue(horizontalError).empty()) << "the fixes lie near the reference: " << horizontalError;
    const std::string cn0 = Query(queryPort, "vexa_satellite_cn0_dbhz{gnssid=\"0\"}");
    EXPECT_NE(cn0.find("\"svid\":"), std::string::npos) << cn0;

    server.Signal(SIGTERM);
    EXPECT_TRUE(server.Wait(30s));
    cli.Signal(SIGTERM);
    EXPECT_EQ(cli.Wait(10s), 0) << ReadFile(folder / "err");
}

}  // namespace
}  // namespace vexa
