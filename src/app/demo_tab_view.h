#pragma once

#include "views/tab_view.h"

class QPainter;

namespace vexa {

class CDebugDataView;
class CFeedDoc;
class CViewMap;
struct UiContext;

// The program's six pages under tabs painted in the fix status colour. The Map page cannot be
// opened before a map is loaded; every page shows either protocol's data, so NMEA limits none.
class CDemoTabView : public CTabView {
    Q_OBJECT
public:
    enum PageIndex : int { kPosition = 0, kSignal = 1, kSky = 2, kPlot = 3, kMap = 4, kText = 5 };

    CDemoTabView(UiContext& ui, CFeedDoc& doc, QWidget* parent = nullptr);

    CDebugDataView* TextView() const;
    CViewMap* MapPage() const;

    void DrawItem(QPainter& painter, int index, const QRect& itemRect, bool pressed) const;

protected:
    void OnSelChange(int index) override;

private:
    UiContext& ui_;
};

}  // namespace vexa
