#pragma once

#include "sim/geodesy.h"

namespace vexa::sim {

// A pedestrian walking laps around the origin at about 1.5 m/s, on a gently wavering circle.
class Walk {
public:
    struct State {
        EastNorthUp offset;    // metres from the origin
        EastNorthUp velocity;  // metres per second
    };

    // `phase` in radians chooses where on the lap the walk starts.
    explicit Walk(double phase);

    State at(double seconds) const;

private:
    double phase_;
};

}  // namespace vexa::sim
