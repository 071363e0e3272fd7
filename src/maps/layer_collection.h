#pragma once

#include <memory>
#include <string>
#include <vector>

#include "maps/vector_layer.h"

namespace vexa {

// The layers of a map, topmost first (position 1 is the top). Layers are shared with the clients
// that created them, so a client's handle stays valid, if undrawn, after the map is replaced.
class LayerCollection {
public:
    using Handle = std::shared_ptr<VectorLayer>;

    // Creates an empty layer at a position from 1 (top) to Count() + 1 (bottom); positions out of
    // that range put it at the bottom.
    Handle Add(const std::string& name, int position);
    // Takes a layer out, if it is there (by value: the handle may be one of the collection's own).
    void Remove(Handle layer);
    // Replaces every layer with those of a new map, given in drawing order (bottom first).
    void Reset(std::vector<VectorLayer> bottomFirst);

    // The animation layer is drawn above all others.
    void SetAnimationLayer(Handle layer) { animation_ = std::move(layer); }
    const Handle& AnimationLayer() const { return animation_; }

    std::size_t Count() const { return layers_.size(); }
    const Handle& Item(std::size_t topFirstIndex) const { return layers_.at(topFirstIndex); }

    template <typename Visit>
    void ForEachBottomUp(Visit&& visit) const {
        for (auto layer = layers_.rbegin(); layer != layers_.rend(); ++layer) {
            if (*layer != animation_) visit(**layer);
        }
        if (animation_) visit(*animation_);
    }

private:
    std::vector<Handle> layers_;
    Handle animation_;
};

}  // namespace vexa
