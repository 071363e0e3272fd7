#pragma once

#include <QWidget>

#include "views/graphic/cartex_view.h"

namespace vexa {

class PictureButton;

// The "Map" page: the map view above three picture buttons that choose the map's mouse tool.
class CViewMap : public QWidget {
    Q_OBJECT
public:
    static constexpr int kZoomInButton = 1030;
    static constexpr int kPanButton = 1031;
    static constexpr int kZoomOutButton = 1032;

    CViewMap(Prompts& prompts, GeodeticFixReader readFix, QWidget* parent = nullptr,
             const MapControlFactory& createControl = {});

    CCartexView* CartexView() const { return cartexView_; }
    PictureButton* Button(int id) const;

    void OnInitialUpdate();
    // A document update, passed on to the map view first.
    void OnUpdate(const LinkUpdate& update);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void ChooseTool(int tool);

    PictureButton* zoomIn_;
    PictureButton* zoomOut_;
    PictureButton* pan_;
    CCartexView* cartexView_;
};

}  // namespace vexa
