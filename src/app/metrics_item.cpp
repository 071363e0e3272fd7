#include "app/metrics_item.h"

#include <QString>
#include <cstdio>
#include <optional>

#include "link/gps_comm.h"
#include "metrics/link_figures.h"
#include "metrics/metrics_endpoint.h"
#include "metrics/receiver_metrics.h"
#include "platform/host_port.h"
#include "uicore/prompts.h"
#include "uicore/ui_context.h"

namespace vexa {

namespace {

constexpr int kFollowMs = 1000;
const QString kTitle = QStringLiteral("Serve metrics");
const QString kNotServed = QStringLiteral("The metrics are not served.\n");

}  // namespace

MetricsItem::MetricsItem(UiContext& ui, QWidget* owner) : ui_(ui), owner_(owner) {
    timer_.setInterval(kFollowMs);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { Follow(); });
}

MetricsItem::~MetricsItem() { Stop(); }

void MetricsItem::Toggle() {
    AppSettings& settings = ui_.Settings();
    if (Serving()) {
        Stop();
        settings.m_bServeMetrics = false;
        ui_.store.SaveMetricsSettings();
        return;
    }
    const QString offered = QString::fromStdString(settings.m_strMetricsAddress);
    const std::optional<QString> answer = ui_.prompts.GetText(
        owner_, kTitle,
        QStringLiteral("Serve the receiver's series for Prometheus at http://HOST:PORT/metrics.\n"
                       "HOST:PORT (empty for %1):")
            .arg(offered));
    if (!answer) return;
    const QString typed = answer->trimmed();
    const std::string address = (typed.isEmpty() ? offered : typed).toStdString();
    if (!IsHostAndPort(address)) {
        Tell("'" + address + "' is not HOST:PORT (a host, a colon and a port from 1 to 65535)");
        return;
    }
    if (const std::string problem = Serve(address); !problem.empty()) {
        Tell(problem);
        return;
    }
    settings.m_strMetricsAddress = address;
    settings.m_bServeMetrics = true;
    ui_.store.SaveMetricsSettings();
}

void MetricsItem::Start(const std::string& commandLineAddress) {
    if (!commandLineAddress.empty()) {
        if (const std::string problem = Serve(commandLineAddress); !problem.empty()) {
            std::fprintf(stderr, "vexademo: %s\n", problem.c_str());
        }
        return;
    }
    if (!ui_.Settings().m_bServeMetrics) return;
    if (const std::string problem = Serve(ui_.Settings().m_strMetricsAddress); !problem.empty()) Tell(problem);
}

std::string MetricsItem::Serve(const std::string& address) {
    std::string problem;
    endpoint_ = MetricsEndpoint::Open(address, problem);
    if (endpoint_ == nullptr) return problem;
    Follow();
    timer_.start();
    return {};
}

void MetricsItem::Stop() {
    timer_.stop();
    StopFollowing();
    endpoint_.reset();
}

// The series of the port in use, under its name, with the link's state and counts of now.
void MetricsItem::Follow() {
    if (ui_.comm == nullptr) return;
    const std::string& port = ui_.Settings().m_strSerialPort;
    if (receiver_ == nullptr || port != device_) {
        StopFollowing();
        if (port.empty()) return;  // no port chosen yet: nothing to name the series by
        device_ = port;
        receiver_ = std::make_unique<ReceiverMetrics>(endpoint_->Registry(), device_);
        ui_.comm->Model().AddGnssListener(*receiver_);
    }
    receiver_->UpdateLink(LinkFiguresOf(*ui_.comm));
}

void MetricsItem::StopFollowing() {
    if (receiver_ == nullptr) return;
    // Once removed, the comm reader no longer reaches it.
    if (ui_.comm != nullptr) ui_.comm->Model().RemoveGnssListener(*receiver_);
    receiver_.reset();
    device_.clear();
}

void MetricsItem::Tell(const std::string& problem) {
    ui_.prompts.ShowMessage(owner_, kNotServed + QString::fromStdString(problem));
}

}  // namespace vexa
