// A fitted label's frame is drawn as the style draws it, at scale 1 and under a scaled painter, and
// the fonts fitted for one label never leak to another of a different room.
#include <gtest/gtest.h>

#include <QFrame>
#include <QImage>
#include <QPainter>

#include "views/fitted_text.h"
#include "views/page_palette.h"

namespace vexa {
namespace {

QImage RenderScaled(QWidget& widget, double scale, double offset) {
    QImage image(160, 80, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    painter.translate(offset, offset);
    painter.scale(scale, scale);
    widget.render(&painter);
    return image;
}

TEST(FittedLabel, FramesAreDrawnAsTheStyleDrawsThem) {
    const struct {
        int style;
        int lineWidth;
        bool enabled;
    } frames[] = {
        {QFrame::Box | QFrame::Plain, 1, true},     {QFrame::Panel | QFrame::Sunken, 1, true},
        {QFrame::Panel | QFrame::Sunken, 2, true},  {QFrame::Panel | QFrame::Sunken, 1, false},
        {QFrame::StyledPanel | QFrame::Raised, 1, true},
    };
    for (const auto& frame : frames) {
        FittedLabel label;
        QFrame styled;
        for (QFrame* each : {static_cast<QFrame*>(&label), &styled}) {
            each->setGeometry(0, 0, 68, 20);
            each->setFrameStyle(frame.style);
            each->setLineWidth(frame.lineWidth);
            each->setEnabled(frame.enabled);
        }
        for (const double scale : {1.0, 1.37, 2.0, 3.3})
            for (const double offset : {0.0, 0.4})
                EXPECT_EQ(RenderScaled(label, scale, offset), RenderScaled(styled, scale, offset))
                    << "style " << frame.style << " width " << frame.lineWidth << " enabled " << frame.enabled << " at "
                    << scale << " + " << offset;
    }
}

TEST(FittedLabel, ATextFittedInANarrowBoxKeepsItsFontInAWideOne) {
    FittedLabel narrow, wide;
    for (FittedLabel* label : {&narrow, &wide}) {
        label->setFont(ArialPixels(13));
        label->setText(QStringLiteral("Lat: 37.38750\u00b0"));
    }
    narrow.resize(40, 20);
    wide.resize(400, 20);
    EXPECT_LT(narrow.DrawnFont().pixelSize(), 13);
    EXPECT_EQ(wide.DrawnFont().pixelSize(), 13);
    EXPECT_LT(narrow.DrawnFont().pixelSize(), 13);
}

}  // namespace
}  // namespace vexa
