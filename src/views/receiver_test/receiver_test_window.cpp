#include "views/receiver_test/receiver_test_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <string>
#include <vector>

#include "evaluation/evaluation_charts.h"
#include "evaluation/report/report_writer.h"
#include "link/connection/link_recovery.h"
#include "link/gps_comm.h"
#include "uicore/prompts.h"
#include "uicore/ui_context.h"
#include "views/receiver_test/campaign_box.h"
#include "views/receiver_test/chart_widget.h"
#include "views/receiver_test/figure_tables.h"
#include "views/receiver_test/link_reset_sender.h"
#include "views/receiver_test/reference_box.h"

namespace vexa {

namespace {

const QString kNoFixes = QStringLiteral("No fixes yet.");
const QString kNoRuns = QStringLiteral("No runs yet.");

QWidget* Column(QWidget* parent, const std::vector<QWidget*>& widgets) {
    auto* column = new QWidget(parent);
    auto* layout = new QVBoxLayout(column);
    for (QWidget* widget : widgets) layout->addWidget(widget);
    return column;
}

}  // namespace

ReceiverTestWindow::ReceiverTestWindow(UiContext& ui, QWidget* parent)
    : QWidget(parent, Qt::Window),
      ui_(ui),
      reference_(new ReferenceBox(this)),
      campaignBox_(new CampaignBox(this)),
      clear_(new QPushButton(QStringLiteral("Clear"), this)),
      writeReport_(new QPushButton(QStringLiteral("Write Report..."), this)),
      counts_(new QLabel(this)),
      reportState_(new QLabel(this)),
      views_(new QTabWidget(this)),
      errorTable_(MakeErrorTable(this)),
      ttffTable_(MakeTtffTable(this)),
      scatter_(new ChartWidget(kNoFixes, this)),
      cdf_(new ChartWidget(kNoFixes, this)),
      overTime_(new ChartWidget(kNoFixes, this)),
      perRun_(new ChartWidget(kNoRuns, this)) {
    setWindowTitle(QStringLiteral("Receiver Test"));
    clear_->setToolTip(QStringLiteral("Forget the fixes and the finished runs"));
    reportState_->setWordWrap(true);
    reportState_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* histogramColumn = new QWidget;
    auto* histogramLayout = new QVBoxLayout(histogramColumn);
    for (ChartWidget*& histogram : histograms_) {
        histogram = new ChartWidget(kNoRuns, histogramColumn);
        histogramLayout->addWidget(histogram);
    }
    auto* histograms = new QScrollArea(this);
    histograms->setWidget(histogramColumn);
    histograms->setWidgetResizable(true);

    views_->addTab(Column(views_, {errorTable_, ttffTable_}), QStringLiteral("Figures"));
    views_->addTab(scatter_, QStringLiteral("Scatter"));
    views_->addTab(cdf_, QStringLiteral("Error CDF"));
    views_->addTab(overTime_, QStringLiteral("Error over Time"));
    views_->addTab(perRun_, QStringLiteral("TTFF per Run"));
    views_->addTab(histograms, QStringLiteral("TTFF Histograms"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(clear_);
    buttons->addStretch(1);
    buttons->addWidget(writeReport_);
    auto* settings = new QVBoxLayout;
    settings->addWidget(reference_);
    settings->addWidget(campaignBox_);
    settings->addStretch(1);
    settings->addLayout(buttons);
    settings->addWidget(reportState_);
    auto* shown = new QVBoxLayout;
    shown->addWidget(counts_);
    shown->addWidget(views_, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(settings);
    layout->addLayout(shown, 1);

    connect(reference_, &ReferenceBox::ReferenceChanged, this, &ReceiverTestWindow::OnReferenceChanged);
    connect(campaignBox_, &CampaignBox::StartClicked, this, &ReceiverTestWindow::OnStart);
    connect(campaignBox_, &CampaignBox::StopClicked, this, &ReceiverTestWindow::OnStop);
    connect(clear_, &QPushButton::clicked, this, &ReceiverTestWindow::OnClear);
    connect(writeReport_, &QPushButton::clicked, this, &ReceiverTestWindow::OnWriteReport);
    takeTimer_.setInterval(kTakeFixesMs);
    connect(&takeTimer_, &QTimer::timeout, this, &ReceiverTestWindow::TakeFixes);
    showTimer_.setInterval(kShowFiguresMs);
    connect(&showTimer_, &QTimer::timeout, this, &ReceiverTestWindow::ShowFigures);
    if (ui_.comm) ui_.comm->Model().AddGnssListener(inbox_);
    takeTimer_.start();
    showTimer_.start();
    ShowFigures();
}

ReceiverTestWindow::~ReceiverTestWindow() {
    if (ui_.comm) ui_.comm->Model().RemoveGnssListener(inbox_);
}

// A receiver that came back is taken as back before the fixes that came with it, one that went away
// as gone after the fixes it sent before.
void ReceiverTestWindow::TakeFixes() {
    const bool running = campaign_ && !campaign_->Ended();
    const bool up = LinkUp();
    if (running && up && !linkUp_) campaign_->OnLinkReturned(CampaignNow());
    for (const ArrivedFix& arrived : inbox_.Take()) {
        if (running) campaign_->OnFix(arrived.fix, CampaignTime(UtcAt(arrived.arrived)));
        const std::optional<FixSample> sample = FixSampleOf(arrived.fix);
        if (!sample) continue;
        reference_->OfferFix(*sample);
        changed_ = accuracy_.Add(*sample) || changed_;
    }
    if (running) TakeReceiverTtff(CampaignNow());
    if (running && !up && linkUp_) campaign_->OnLinkLost(CampaignNow());
    linkUp_ = up;
    if (!running) return;
    const UtcTime now = CampaignNow();
    campaign_->OnTick(now);
    ShowCampaign(now);
}

// The receiver's own time to first fix, once per report, joins the run its fix ended.
void ReceiverTestWindow::TakeReceiverTtff(UtcTime now) {
    const std::optional<TtffSeconds> ttff = ui_.receiver.Ttff.seconds();
    if (!ttff || ttff->source != TtffSource::Receiver || ttff->serial == receiverTtffSeen_) return;
    receiverTtffSeen_ = ttff->serial;
    campaign_->OnReceiverTtff(ttff->seconds, now);
}

void ReceiverTestWindow::ShowFigures() {
    if (!changed_) return;
    changed_ = false;
    QString counts = FixCountsText(accuracy_.Figures().counts);
    if (const std::size_t dropped = inbox_.Dropped()) counts += QStringLiteral(" (%1 dropped while the window was busy)").arg(dropped);
    counts_->setText(counts);
    ShowErrorFigures(*errorTable_, accuracy_.Figures());
    ShowTtffFigures(*ttffTable_, ttff_);
    scatter_->SetChart(HorizontalScatterChart(accuracy_));
    cdf_->SetChart(ErrorCdfChart(accuracy_));
    overTime_->SetChart(ErrorOverTimeChart(accuracy_));
    perRun_->SetChart(TtffPerRunChart(ttff_));
    std::vector<Chart> histograms = TtffHistogramCharts(ttff_);
    for (std::size_t i = 0; i < histograms_.size(); ++i) {
        histograms_[i]->setVisible(i == 0 || i < histograms.size());
        histograms_[i]->SetChart(i < histograms.size() ? std::optional(std::move(histograms[i])) : std::nullopt);
    }
}

void ReceiverTestWindow::OnReferenceChanged(const std::optional<ReferencePoint>& reference) {
    accuracy_.SetReference(reference);
    if (campaign_) campaign_->SetReference(reference ? std::optional(reference->position) : std::nullopt);
    changed_ = true;
    ShowFigures();
}

void ReceiverTestWindow::OnClear() {
    accuracy_.Clear();
    ttff_.Clear();
    changed_ = true;
    ShowFigures();
}

UtcTime ReceiverTestWindow::UtcAt(std::chrono::steady_clock::time_point at) const {
    return openedUtc_ + std::chrono::duration_cast<std::chrono::milliseconds>(at - openedSteady_);
}

// A fix that arrived just before an event already handed on (the link's return seen late) counts
// as at that event, so that no time to first fix comes out below zero.
UtcTime ReceiverTestWindow::CampaignTime(UtcTime at) {
    campaignClock_ = std::max(campaignClock_, at);
    return campaignClock_;
}

UtcTime ReceiverTestWindow::CampaignNow() { return CampaignTime(UtcAt(std::chrono::steady_clock::now())); }

bool ReceiverTestWindow::LinkUp() const {
    const bool recovering = ui_.linkRecovery != nullptr && ui_.linkRecovery->Recovering();
    return ui_.receiver.LinkProtocol != kNotConnected && !recovering;
}

// Each run that ends joins the figures; a new campaign adds its runs to those before it.
void ReceiverTestWindow::OnStart() {
    if (campaign_ && !campaign_->Ended()) return;
    // The fixes that arrived before the first reset are taken first, so that none counts in its run.
    TakeFixes();
    if (!ui_.comm) {
        campaignBox_->ShowProblem(QStringLiteral("Not started: there is no receiver link."));
        return;
    }
    const std::optional<vexa::CampaignSettings> settings = campaignBox_->Settings();
    if (!settings) return;
    const std::optional<ResetTexts> texts = campaignBox_->Texts();
    if (!texts) return;
    if (const std::optional<std::string> refused = ui_.comm->CommandsRefused(); refused && !settings->powerCycle) {
        campaignBox_->ShowProblem(QStringLiteral("Not started: ") + QString::fromStdString(*refused));
        return;
    }
    campaign_.reset();
    // A report from before the campaign belongs to none of its runs.
    if (const std::optional<TtffSeconds> ttff = ui_.receiver.Ttff.seconds()) receiverTtffSeen_ = ttff->serial;
    sender_ = std::make_unique<LinkResetSender>(*ui_.comm, *texts);
    campaign_ = std::make_unique<Campaign>(*settings, *sender_, [this](const TtffRun& run) {
        changed_ = ttff_.Add(run) || changed_;
    });
    if (const std::optional<ReferencePoint>& reference = accuracy_.Reference()) campaign_->SetReference(reference->position);
    const UtcTime now = CampaignNow();
    linkUp_ = LinkUp();
    if (!linkUp_) campaign_->OnLinkLost(now);
    campaign_->Start(now);
    campaignBox_->ShowRunning(true);
    ShowCampaign(now);
}

void ReceiverTestWindow::OnStop() {
    if (!campaign_) return;
    const UtcTime now = CampaignNow();
    campaign_->Stop(now);
    ShowCampaign(now);
}

void ReceiverTestWindow::ShowCampaign(UtcTime now) {
    campaignBox_->ShowProgress(campaign_->Progress(now));
    if (campaign_->Ended()) campaignBox_->ShowRunning(false);
}

// The report goes into a folder the user names (made when missing); a report that cannot be
// written says why and leaves no file of it looking whole.
void ReceiverTestWindow::OnWriteReport() {
    FileRequest request;
    request.title = QStringLiteral("Write the Report into a Folder");
    request.nameFilters = {QStringLiteral("Report folders (*)")};
    request.initialName = QStringLiteral("receiver-test");
    const std::optional<QString> folder = ui_.prompts.GetSaveFileName(this, request);
    if (!folder) return;
    const std::string port = ui_.Settings().m_strSerialPort;
    const std::string title = port.empty() ? std::string() : "receiver on " + port;
    const std::string problem = WriteReport(folder->toStdString(), ReportContents{title, accuracy_, ttff_});
    if (!problem.empty()) {
        reportState_->clear();
        ui_.prompts.ShowMessage(this, QStringLiteral("The report could not be written.\n") + QString::fromStdString(problem));
        return;
    }
    reportState_->setText(QStringLiteral("Report written to ") + *folder);
}

}  // namespace vexa
