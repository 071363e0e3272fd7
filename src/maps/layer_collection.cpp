#include "maps/layer_collection.h"

namespace vexa {

LayerCollection::Handle LayerCollection::Add(const std::string& name, int position) {
    auto layer = std::make_shared<VectorLayer>(name, DefaultLayerStyle(layers_.size()));
    const bool inRange = position >= 1 && static_cast<std::size_t>(position) <= layers_.size() + 1;
    const auto where = inRange ? layers_.begin() + (position - 1) : layers_.end();
    layers_.insert(where, layer);
    return layer;
}

void LayerCollection::Remove(Handle layer) {
    std::erase(layers_, layer);
    if (animation_ == layer) animation_.reset();
}

void LayerCollection::Reset(std::vector<VectorLayer> bottomFirst) {
    layers_.clear();
    animation_.reset();
    for (auto layer = bottomFirst.rbegin(); layer != bottomFirst.rend(); ++layer) {
        layers_.push_back(std::make_shared<VectorLayer>(std::move(*layer)));
    }
}

}  // namespace vexa
