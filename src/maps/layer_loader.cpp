#include "maps/layer_loader.h"

#include <gdal_priv.h>
#include <ogr_geometry.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <map>
#include <memory>

#include "maps/gdal_setup.h"
#include "platform/file_problem.h"

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

// The formats a map layer may be in: files read whole from the local disk. Left out are the
// formats that open other sources by name (a virtual layer file, a database or web service).
const char* const kLayerDrivers[] = {"GeoJSON", "GeoJSONSeq", "ESRI Shapefile", "MapInfo File", "GPKG",
                                     "OSM",     "FlatGeobuf", "KML",            "GPX",          nullptr};

// Why a layer path is no local file GDAL may read; empty when it is one. GDAL takes a path that
// begins with /vsi as one of its virtual file systems (the network among them), and waits on a
// named pipe or reads a device without end, so only a regular file on the disk is handed to it.
std::string WhyNotALocalFile(const std::string& path) {
    if (path.starts_with("/vsi")) return "not a local file (map layers are files on this computer)";
    int error = 0;
    return WhyNotARegularFile(path, error);
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
    // A relative path would be GDAL's to interpret, and "PG:..." or "WFS:..." are not files.
    std::error_code noCurrentFolder;
    const std::string name = std::filesystem::absolute(file, noCurrentFolder).string();
    if (const std::string problem = WhyNotALocalFile(name); !problem.empty()) {
        return "Cannot open map layer \"" + name + "\": " + problem;
    }
    PrepareGdal();
    QuietGdalErrors quiet;
    std::unique_ptr<GDALDataset, DatasetCloser> dataset(
        GDALDataset::Open(name.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, kLayerDrivers));
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
