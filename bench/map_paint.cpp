// Load and paint times of a map layer of 100 000 line segments: 20 000 short winding streets
// spread over about 20 km x 20 km.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <filesystem>
#include <fstream>
#include <random>

#include "maps/layer_collection.h"
#include "maps/layer_loader.h"
#include "views/graphic/map_painter.h"

namespace vexa {
namespace {

constexpr int kStreets = 20000;
constexpr int kSegmentsPerStreet = 5;
constexpr double kOriginX = -121.972;
constexpr double kOriginY = 37.3875;
constexpr double kSpan = 0.2;

const std::filesystem::path& StreetsFile() {
    static const std::filesystem::path file = [] {
        auto path = std::filesystem::temp_directory_path() / "vexa_bench_streets.geojson";
        std::mt19937 random(7);
        std::uniform_real_distribution<double> anywhere(-kSpan / 2, kSpan / 2);
        std::uniform_real_distribution<double> step(-0.002, 0.002);
        std::ofstream out(path);
        out.precision(9);
        out << R"({"type":"FeatureCollection","features":[)";
        for (int street = 0; street < kStreets; ++street) {
            double x = kOriginX + anywhere(random);
            double y = kOriginY + anywhere(random);
            out << (street ? "," : "") << R"({"type":"Feature","properties":{},"geometry":{"type":"LineString","coordinates":[)";
            for (int vertex = 0; vertex <= kSegmentsPerStreet; ++vertex) {
                out << (vertex ? "," : "") << '[' << x << ',' << y << ']';
                x += step(random);
                y += step(random);
            }
            out << "]}}";
        }
        out << "]}\n";
        return path;
    }();
    return file;
}

VectorLayer LoadStreets() {
    auto loaded = LoadLayerFile(StreetsFile(), DefaultLayerStyle(0));
    return std::move(std::get<VectorLayer>(loaded));
}

void BM_LoadLayer(benchmark::State& state) {
    StreetsFile();
    for (auto _ : state) {
        VectorLayer layer = LoadStreets();
        benchmark::DoNotOptimize(layer.FeatureCount());
    }
}
BENCHMARK(BM_LoadLayer)->Unit(benchmark::kMillisecond);

// Arguments: image width and height in pixels, and the view's width in metres (0: the whole layer).
void BM_Paint(benchmark::State& state) {
    LayerCollection layers;
    std::vector<VectorLayer> loaded;
    loaded.push_back(LoadStreets());
    const GeoRect bounds = loaded.front().Bounds();
    layers.Reset(std::move(loaded));
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    MapViewport viewport(bounds.Center(), 1.0, width, height);
    viewport.SetZoomMetres(state.range(2) ? static_cast<double>(state.range(2)) : viewport.ZoomToFit(bounds));
    QImage image(width, height, QImage::Format_RGB32);
    MapPainter painter;
    for (auto _ : state) {
        QPainter onImage(&image);
        painter.Paint(onImage, viewport, layers);
    }
}
BENCHMARK(BM_Paint)
    ->ArgNames({"width", "height", "zoom_m"})
    ->Args({239, 210, 0})
    ->Args({956, 840, 0})
    ->Args({239, 210, 1000})
    ->Args({956, 840, 1000})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vexa
