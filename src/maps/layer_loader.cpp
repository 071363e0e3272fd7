#include "maps/layer_loader.h"

#include <gdal_priv.h>
#include <ogr_geometry.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <map>
#include <memory>
#include <mutex>

namespace vexa {

namespace {

struct DatasetCloser {
    void operator()(GDALDataset* dataset) const { GDALClose(dataset); }
};
struct TransformationDeleter {
    void operator()(OGRCoordinateTransformation* transformation) const {
        OGRCoordinateTransformation::DestroyCT(transformation);
    }
};
using Transformation = std::unique_ptr<OGRCoordinateTransformation, TransformationDeleter>;

// GDAL reports through a global handler; while a file is read its complaints are collected
// instead of printed, and the last one explains a failure.
class QuietGdalErrors {
public:
    QuietGdalErrors() {
        CPLPushErrorHandler(CPLQuietErrorHandler);
        CPLErrorReset();
    }
    ~QuietGdalErrors() { CPLPopErrorHandler(); }
    QuietGdalErrors(const QuietGdalErrors&) = delete;
    QuietGdalErrors& operator=(const QuietGdalErrors&) = delete;

    static std::string LastMessage() {
        const char* message = CPLGetLastErrorMsg();
        return message && *message ? message : "not a readable vector file";
    }
};

void RegisterDriversOnce() {
    static std::once_flag once;
    std::call_once(once, [] { GDALAllRegister(); });
}

// Splits any OGR geometry into up to three features, one per kind.
class FeatureSplitter {
public:
    void Add(const OGRGeometry& geometry) {
        if (geometry.IsEmpty()) return;
        if (geometry.hasCurveGeometry()) {
            std::unique_ptr<OGRGeometry> linear(geometry.getLinearGeometry());
            if (linear && !linear->hasCurveGeometry()) Add(*linear);
            return;
        }
        switch (wkbFlatten(geometry.getGeometryType())) {
        case wkbPoint: {
            const auto& point = *geometry.toPoint();
            points_.AddPart({{point.getX(), point.getY()}});
            break;
        }
        case wkbLineString:
        case wkbLinearRing:
            lines_.AddPart(Vertices(*geometry.toSimpleCurve()));
            break;
        case wkbPolygon:
            for (const OGRLinearRing* ring : *geometry.toPolygon()) polygons_.AddPart(Vertices(*ring));
            break;
        case wkbMultiPoint:
        case wkbMultiLineString:
        case wkbMultiPolygon:
        case wkbGeometryCollection:
            for (const OGRGeometry* member : *geometry.toGeometryCollection()) Add(*member);
            break;
        default:
            break;
        }
    }

    void MoveInto(VectorLayer& layer) {
        for (VectorFeature* feature : {&polygons_, &lines_, &points_}) {
            if (!feature->points.empty()) layer.AddFeature(std::move(*feature));
        }
    }

private:
    static std::vector<GeoPoint> Vertices(const OGRSimpleCurve& curve) {
        std::vector<GeoPoint> vertices(static_cast<std::size_t>(curve.getNumPoints()));
        for (int i = 0; i < curve.getNumPoints(); ++i) vertices[static_cast<std::size_t>(i)] = {curve.getX(i), curve.getY(i)};
        return vertices;
    }

    VectorFeature points_{GeometryKind::kPoint, {}, {}, {}, {}, {}};
    VectorFeature lines_{GeometryKind::kLine, {}, {}, {}, {}, {}};
    VectorFeature polygons_{GeometryKind::kPolygon, {}, {}, {}, {}, {}};
};

const OGRSpatialReference& Wgs84() {
    static const OGRSpatialReference wgs84 = [] {
        OGRSpatialReference reference;
        reference.SetWellKnownGeogCS("WGS84");
        reference.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
        return reference;
    }();
    return wgs84;
}

// No transformation for layers already in WGS-84 or without a stated system (taken as WGS-84).
std::variant<Transformation, std::string> TransformationFor(const OGRLayer& layer) {
    const OGRSpatialReference* source = const_cast<OGRLayer&>(layer).GetSpatialRef();
    if (!source) return Transformation();
    OGRSpatialReference traditional(*source);
    traditional.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    const char* const sameness[] = {"IGNORE_DATA_AXIS_TO_SRS_AXIS_MAPPING=NO", "CRITERION=EQUIVALENT_EXCEPT_AXIS_ORDER_GEOGCRS", nullptr};
    if (traditional.IsSame(&Wgs84(), sameness)) return Transformation();
    Transformation transformation(OGRCreateCoordinateTransformation(&traditional, &Wgs84()));
    if (!transformation) return "its coordinate system cannot be converted to WGS-84";
    return transformation;
}

}  // namespace

std::variant<VectorLayer, std::string> LoadLayerFile(const std::filesystem::path& file, const LayerStyle& style) {
    RegisterDriversOnce();
    QuietGdalErrors quiet;
    const std::string name = file.string();
    std::unique_ptr<GDALDataset, DatasetCloser> dataset(
        GDALDataset::Open(name.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
    if (!dataset) return "Cannot open map layer \"" + name + "\": " + QuietGdalErrors::LastMessage();

    VectorLayer layer(file.filename().string(), style);
    std::map<OGRLayer*, Transformation> transformations;
    // The dataset-wide reading order lets formats such as OSM read their layers interleaved.
    dataset->ResetReading();
    OGRLayer* source = nullptr;
    while (OGRFeature* raw = dataset->GetNextFeature(&source, nullptr, nullptr, nullptr)) {
        const std::unique_ptr<OGRFeature> feature(raw);
        OGRGeometry* geometry = feature->GetGeometryRef();
        if (!geometry || !source) continue;
        auto found = transformations.find(source);
        if (found == transformations.end()) {
            auto transformation = TransformationFor(*source);
            if (auto* problem = std::get_if<std::string>(&transformation)) {
                return "Cannot read map layer \"" + name + "\": " + *problem;
            }
            found = transformations.emplace(source, std::move(std::get<Transformation>(transformation))).first;
        }
        if (found->second && geometry->transform(found->second.get()) != OGRERR_NONE) continue;
        FeatureSplitter splitter;
        splitter.Add(*geometry);
        splitter.MoveInto(layer);
    }
    return layer;
}

}  // namespace vexa
