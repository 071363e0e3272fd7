#pragma once

#include <QRect>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <string>

#include "link/model/link_update.h"

class QListWidget;
class QPushButton;
class QRadioButton;

namespace vexa {

class CFeedDoc;
struct UiContext;

// The "Text" page: the last 100 text lines of the receiver (NMEA sentences and the binary
// protocol's text messages). It follows the newest line unless the user has scrolled back, and
// repaints the list at most about once per 900 ms. For the Osprey on the binary protocol two
// radio buttons choose between its debug text and its NMEA sentences.
class CDebugDataView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaxLines = 100;
    static constexpr std::uint32_t kRedrawIntervalMs = 900;
    static constexpr int kHorizontalExtent = 1024;

    enum Filter : int { kDebugFilter = 0, kNmeaFilter = 1 };

    CDebugDataView(UiContext& ui, CFeedDoc& doc, QWidget* parent = nullptr);

    void OnInitialUpdate();
    // A document update: TextLinesWaiting brings the lines waiting in the model.
    void OnUpdate(const LinkUpdate& update);
    void AddLines(const QStringList& lines);
    // The frame's one-second timer: repaints a list left frozen by the last burst.
    void OnRedrawTimer();
    // Shows the lines added since the last repaint now.
    void Redraw();
    // "Clear" and the protocol switch.
    void ClearList();

    QListWidget* List() const { return list_; }
    QRadioButton* DebugButton() const { return debugButton_; }
    QRadioButton* NmeaButton() const { return nmeaButton_; }
    QPushButton* ClearButton() const { return clearButton_; }
    int TopIndex() const;
    int VisibleLineCount() const;
    int FilterChoice() const { return m_nFilter; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The line as the list shows it, or nothing when the filter leaves it out.
    std::optional<QString> TakeLine(std::string line);
    void ShowFilterButtons(bool shown);
    void FollowFilterRule();
    void OnFilterClicked();
    void SetTopIndex(int index);
    void RedrawIfDue();
    int ItemHeight() const;

    UiContext& ui_;
    QListWidget* list_;
    QPushButton* clearButton_;
    QRadioButton* debugButton_;
    QRadioButton* nmeaButton_;
    QRect m_rcList;
    int m_nFilter = kDebugFilter;
    std::uint32_t lastListRedrawTick_ = 0;
    std::uint64_t linesDroppedShown_ = 0;
    std::optional<int> shownTop_;  // where the list scrolls to at its next repaint, after lines added
    bool settingTop_ = false;
};

}  // namespace vexa
