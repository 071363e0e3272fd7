#pragma once

#include <QTimer>
#include <QWidget>
#include <array>
#include <chrono>
#include <memory>
#include <optional>

#include "evaluation/accuracy_tracker.h"
#include "evaluation/campaign.h"
#include "evaluation/reference_point.h"
#include "evaluation/ttff_tracker.h"
#include "views/receiver_test/fix_inbox.h"

class QLabel;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace vexa {

class CampaignBox;
class ChartWidget;
class LinkResetSender;
class ReferenceBox;
struct UiContext;

// The "Receiver Test" window: the accuracy of the link's fixes about a reference point and their
// precision, a time-to-first-fix campaign run through the link, their figures and the report's
// charts, live, and "Write Report..." for the report's folder. Not modal; its own top-level window
// beside the main frame. Fixes come from the link through a FixInbox, taken on the window's timer,
// which also drives the campaign (its time-outs, settle times and the link's loss and return);
// figures and charts are worked out again at most once a second, and only when something changed.
class ReceiverTestWindow : public QWidget {
    Q_OBJECT
public:
    explicit ReceiverTestWindow(UiContext& ui, QWidget* parent = nullptr);
    ~ReceiverTestWindow() override;

    ReferenceBox* Reference() const { return reference_; }
    CampaignBox* CampaignControls() const { return campaignBox_; }
    const AccuracyTracker& Accuracy() const { return accuracy_; }
    const TtffTracker& Ttff() const { return ttff_; }

    // How often the inbox is emptied, and the longest the figures wait behind the fixes.
    static constexpr int kTakeFixesMs = 200;
    static constexpr int kShowFiguresMs = 1000;
    // Ten minutes of fixes at 20 a second wait at most; more are dropped and counted.
    static constexpr std::size_t kInboxCapacity = 12000;

private:
    void TakeFixes();
    void TakeReceiverTtff(UtcTime now);
    void ShowFigures();
    void OnReferenceChanged(const std::optional<ReferencePoint>& reference);
    void OnClear();
    void OnStart();
    void OnStop();
    // The campaign's clock: the time of day at the window's opening, moved on by a clock that never goes back.
    UtcTime UtcAt(std::chrono::steady_clock::time_point at) const;
    // The times handed to the campaign, never going back.
    UtcTime CampaignTime(UtcTime at);
    UtcTime CampaignNow();
    // The receiver is connected and not being looked for after a loss.
    bool LinkUp() const;
    void ShowCampaign(UtcTime now);
    void OnWriteReport();

    UiContext& ui_;
    FixInbox inbox_{kInboxCapacity};
    std::uint64_t receiverTtffSeen_ = 0;  // the serial of the receiver's last report taken
    AccuracyTracker accuracy_;
    TtffTracker ttff_;
    bool changed_ = true;
    const std::chrono::steady_clock::time_point openedSteady_ = std::chrono::steady_clock::now();
    const UtcTime openedUtc_ = std::chrono::time_point_cast<std::chrono::milliseconds>(std::chrono::system_clock::now());
    std::unique_ptr<LinkResetSender> sender_;
    std::unique_ptr<Campaign> campaign_;
    bool linkUp_ = true;
    UtcTime campaignClock_{};

    ReferenceBox* reference_;
    CampaignBox* campaignBox_;
    QPushButton* clear_;
    QPushButton* writeReport_;
    QLabel* counts_;
    QLabel* reportState_;
    QTabWidget* views_;
    QTableWidget* errorTable_;
    QTableWidget* ttffTable_;
    ChartWidget* scatter_;
    ChartWidget* cdf_;
    ChartWidget* overTime_;
    ChartWidget* perRun_;
    std::array<ChartWidget*, 4> histograms_{};
    QTimer takeTimer_;
    QTimer showTimer_;
};

}  // namespace vexa
