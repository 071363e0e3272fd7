#pragma once

#include <QWidget>

#include "views/graphic/geodetic_fix.h"

class QPushButton;

namespace vexa {

class CMapView;
class DisplayPreferences;

// The "Plot" page: the plot of recent fixes with "Center" (the current fix becomes the origin)
// and "Properties..." (origin and ring radii).
class CViewSct : public QWidget {
    Q_OBJECT
public:
    static constexpr int kProperties = 1030;
    static constexpr int kCenter = 1032;

    CViewSct(DisplayPreferences& preferences, GeodeticFixReader readFix, QWidget* parent = nullptr);

    void OnInitialUpdate();
    void OnUpdate(const LinkUpdate& update);

    void OnCenter();
    void OnProperties();

    CMapView* Plot() const { return plot_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    DisplayPreferences& preferences_;
    GeodeticFixReader readFix_;
    QPushButton* properties_;
    QPushButton* center_;
    CMapView* plot_;
};

}  // namespace vexa
