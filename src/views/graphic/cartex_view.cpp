#include "views/graphic/cartex_view.h"

#include <QCoreApplication>
#include <QDir>
#include <QResizeEvent>

#include "uicore/prompts.h"

namespace vexa {

namespace {

const QString kControlMissing = QStringLiteral("Map control cannot be created.");
const QString kGeosetFailed = QStringLiteral("Could not open Geoset file.\r\nMap won't be available");
const QString kMapsFolderName = QStringLiteral("VexaDemoPPC_Maps");

constexpr std::uint32_t kMarkerFill = 65280;    // RGB(0, 255, 0)
constexpr std::uint32_t kMarkerBorder = 33023;  // RGB(255, 128, 0)
constexpr double kFirstMarkerDistance = 0.005;
constexpr int kPositionLayerPosition = 1;
// The map moves when the fix leaves the central nine tenths of the view, by nine tenths of it.
constexpr double kStepFraction = 0.05;
constexpr double kInnerSteps = 9.0;
constexpr double kShiftSteps = 18.0;

// Closes the wait notice however the load ends.
class WaitNotice {
public:
    WaitNotice(Prompts& prompts, QWidget* owner) : prompts_(prompts) { prompts_.ShowWaitNotice(owner); }
    ~WaitNotice() { prompts_.CloseWaitNotice(); }
    WaitNotice(const WaitNotice&) = delete;
    WaitNotice& operator=(const WaitNotice&) = delete;

private:
    Prompts& prompts_;
};

}  // namespace

CCartexView::CCartexView(Prompts& prompts, GeodeticFixReader readFix, QWidget* parent,
                         const MapControlFactory& createControl)
    : QFrame(parent), prompts_(prompts), readFix_(std::move(readFix)) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setFocusPolicy(Qt::StrongFocus);
    control_ = createControl ? createControl(this) : new CCartex(this);
    if (!control_) {
        prompts_.ShowMessage(this, kControlMissing);
        return;
    }
    control_->setGeometry(QRect(contentsRect().topLeft(), QSize(239, 210)));
    control_->SetTitleVisible(false);
    control_->SetCurrentTool(CCartex::kToolZoomIn);
    control_->SetAutoRedraw(true);
    connect(control_, &CCartex::ViewChanged, this, &CCartexView::OnMapViewChanged);
}

QString CCartexView::MapsFolder() {
    // Beside the program or above it: a source checkout has it under res/maps, an installed
    // program (bin/vexademo) under share/vexademo/maps.
    const QStringList candidates = {kMapsFolderName, QStringLiteral("res/maps/") + kMapsFolderName,
                                    QStringLiteral("share/vexademo/maps/") + kMapsFolderName};
    for (const QString& start : {QDir::currentPath(), QCoreApplication::applicationDirPath()}) {
        QDir dir(start);
        for (int level = 0; level < 5; ++level) {
            for (const QString& candidate : candidates) {
                if (dir.exists(candidate)) return dir.absoluteFilePath(candidate);
            }
            if (!dir.cdUp()) break;
        }
    }
    return kMapsFolderName;
}

void CCartexView::LoadMap() {
    // Without a control there is nothing to load into; say so again rather than ask for a file.
    if (!control_) {
        prompts_.ShowMessage(this, kControlMissing);
        return;
    }
    FileRequest request;
    request.title = QStringLiteral("Select Geoset");
    request.filterName = QStringLiteral("Geoset Files");
    request.pattern = QStringLiteral("*.gst");
    request.initialFolder = MapsFolder();
    request.defaultExtension = QStringLiteral("gst");
    const auto path = prompts_.GetOpenFileName(window(), request);
    if (path) LoadMapFile(*path);
}

void CCartexView::LoadMapFile(const QString& path) {
    if (!control_) {
        prompts_.ShowMessage(this, kControlMissing);
        return;
    }
    const WaitNotice notice(prompts_, this);
    LoadGeoset(path);
    CreatePositionLayer();
}

void CCartexView::LoadGeoset(const QString& path) {
    try {
        control_->SetGeoSet(path);
        m_bMapLoaded = true;
        lastPosition_ = {control_->CenterY(), control_->CenterX(), 0.0};
        control_->SetTitleVisible(false);
    } catch (const MapControlError& error) {
        prompts_.ShowMessage(this, error.Message());
        prompts_.ShowMessage(this, kGeosetFailed);
        return;
    }
    const QString problems = control_->LoadProblems();
    if (!problems.isEmpty()) prompts_.ShowMessage(this, problems);
}

void CCartexView::CreatePositionLayer() {
    try {
        // A load that kept the map shown before must not leave that map's marker behind.
        control_->Layers().Remove(positionLayer_);
        positionLayer_ = control_->Layers().Add("GPS", kPositionLayerPosition);
        control_->Layers().SetAnimationLayer(positionLayer_);
        positionLayer_->SetVisible(true);
        markerPoint_.Set(0.0, 0.0);
        markerStyle_ = RegionStyle{};
        markerStyle_.SetRegionColor(kMarkerFill);
        markerStyle_.SetRegionBorderColor(kMarkerBorder);
        markerDistance_ = kFirstMarkerDistance;
        markerFeature_ = positionLayer_->AddFeature(
            control_->CreateCircularRegion(0, markerPoint_, markerDistance_, markerStyle_));
        zoomLimit_ = control_->Zoom();
    } catch (const MapControlError& error) {
        prompts_.ShowMessage(this, error.Message());
    }
}

void CCartexView::OnUpdate(const LinkUpdate& update) {
    if (!IsPositionUpdate(update) || !m_bMapLoaded || !readFix_) return;
    const std::optional<GeodeticFix> fix = readFix_();
    if (!fix) return;
    lastPosition_ = *fix;
    PlaceMarker();
    this->update();
    control_->update();
}

void CCartexView::OnMapViewChanged() {
    // The marker's own follow step moves the view too; that change is already accounted for.
    if (!m_bMapLoaded || placingMarker_) return;
    PlaceMarker();
    if (parentWidget()) parentWidget()->update();
}

void CCartexView::PlaceMarker() {
    placingMarker_ = true;
    try {
        markerPoint_.Set(lastPosition_.longitude, lastPosition_.latitude);
        const GeoRect view = control_->Bounds();
        markerDistance_ = view.Width();
        const VectorFeature region = control_->CreateCircularRegion(0, markerPoint_, markerDistance_, markerStyle_);
        if (positionLayer_) positionLayer_->UpdateFeature(markerFeature_.key, region);
        Follow(view);
    } catch (const MapControlError& error) {
        prompts_.ShowMessage(this, error.Message());
    }
    placingMarker_ = false;
}

void CCartexView::Follow(GeoRect view) {
    const double s = view.Width() * kStepFraction;
    const double t = view.Height() * kStepFraction;
    const double centerX = control_->CenterX();
    const double centerY = control_->CenterY();
    const double longitude = lastPosition_.longitude;
    const double latitude = lastPosition_.latitude;
    bool shifted = false;
    if (longitude < centerX - s * kInnerSteps) {
        view.Offset(-s * kShiftSteps, 0.0);
        shifted = true;
    }
    if (longitude > centerX + s * kInnerSteps) {
        view.Offset(s * kShiftSteps, 0.0);
        shifted = true;
    }
    if (latitude < centerY - t * kInnerSteps) {
        view.Offset(0.0, -t * kShiftSteps);
        shifted = true;
    }
    if (latitude > centerY + t * kInnerSteps) {
        view.Offset(0.0, t * kShiftSteps);
        shifted = true;
    }
    if (shifted) control_->SetBounds(view);
}

void CCartexView::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (m_bMapLoaded && control_->Zoom() > zoomLimit_) control_->SetZoom(zoomLimit_ - 1.0);
}

void CCartexView::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    const QRect client = contentsRect();
    if (m_bMapLoaded && client.width() > 0 && client.height() > 0) control_->setGeometry(client);
}

void CCartexView::focusInEvent(QFocusEvent* event) {
    QFrame::focusInEvent(event);
    if (m_bMapLoaded) control_->setFocus();
}

}  // namespace vexa
