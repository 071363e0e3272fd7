#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "receiver/binary/records.h"
#include "sim/receiver_snapshot.h"

namespace vexa::sim {

// The native records the receiver fills for one output second.
NavData NavigationRecord(const ReceiverSnapshot& snapshot);
TrackData TrackerRecord(const ReceiverSnapshot& snapshot);
GeoNavData GeodeticRecord(const ReceiverSnapshot& snapshot);
Throughput ThroughputRecord(const ReceiverSnapshot& snapshot);
VisibleList VisibleListRecord(const ReceiverSnapshot& snapshot);
ClockStatus ClockStatusRecord(const ReceiverSnapshot& snapshot);
TtffReport TtffRecord(double timeToFirstFixSeconds);
NavLibMeasurement MeasurementRecord(const ReceiverSnapshot& snapshot, int channel);
NavLibDgpsData NavLibDgpsRecord(const ReceiverSnapshot& snapshot);
NavLibSatelliteState NavLibSatelliteRecord(const ReceiverSnapshot& snapshot, int channel);
NavLibInitialisation NavLibInitialisationRecord(const ReceiverSnapshot& snapshot, int navigationMaskTenths);

// One complete frame around a payload.
std::vector<std::uint8_t> Frame(std::span<const std::uint8_t> payload);

}  // namespace vexa::sim
