#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "link/model/model_snapshot.h"
#include "link/model/text_line_ring.h"
#include "platform/clock.h"
#include "receiver/binary/message_table.h"
#include "receiver/binary/records.h"
#include "receiver/fix/gnss_fix.h"
#include "receiver/fix/gnss_listener.h"
#include "receiver/product/receiver_context.h"

namespace vexa {

// The model of one receiver's latest output: the kept records, the latest fix and sky, the text
// lines waiting to be shown, the time to first fix and whether the receiver lets commands
// be sent. Its link writes it on the comm reader thread with the model lock held; every other
// thread reads it through the calls below, which take the lock themselves and return copies. The
// time to first fix is measured on `clock`.
class ReceiverModel {
public:
    ReceiverModel(ReceiverContext& context, std::mutex& lock, const Clock& clock)
        : context_(context), lock_(lock), clock_(clock) {}
    ReceiverModel(const ReceiverModel&) = delete;
    ReceiverModel& operator=(const ReceiverModel&) = delete;

    // The records the pages show: the binary records only while the link speaks binary (they are
    // kept meanwhile).
    ModelSnapshot Snapshot() const;
    // The oldest text line not yet taken; nothing when none is left or no receiver is connected.
    std::optional<std::string> NextTextLine();
    // The text lines dropped unread because newer ones filled the ring.
    std::uint64_t TextLinesDropped() const;
    SwVersion SoftwareVersion() const;
    ClockStatus ClockStatusReport() const;
    std::uint8_t OkToSend() const;

    // The latest fix and the latest completed sky of either protocol. Nothing before the first one
    // since the connection, or after a disconnection. A new one is announced as MessageDelivered
    // NavData or FixUpdated (fix), TrackData or SkyUpdated (sky).
    std::optional<GnssFix> LatestFix() const;
    std::optional<GnssSky> LatestSky() const;
    // Each listener is told of every new fix and completed sky, under the lock, after it is stored,
    // in the order they were added. A listener is removed before it goes away.
    void AddGnssListener(GnssListener& listener);
    void RemoveGnssListener(const GnssListener& listener);
    // The time to first fix counts from here: the connection or a reset command, until the first fix
    // of either protocol or the receiver's own report. An NMEA receiver's first fix gives the measured
    // value; a binary receiver reports its own.
    void RestartTtffClock();

    // The link's writes below; the caller holds the model lock.

    // What storing one decoded message changed.
    struct Stored {
        bool textLine = false;
        // The receiver's word on sending, when the message gave one.
        std::optional<bool> sendAllowed;
    };
    Stored Store(int id, const std::uint8_t* record, std::size_t length);
    // A fix or a completed sky of an NMEA epoch.
    void StoreFix(const GnssFix& fix);
    void StoreSky(const GnssSky& sky);
    // A line for the Text page; longer ones are cut to a ring slot.
    void StoreTextLine(std::string_view text);
    // The link closed: the position records, the fix, the sky, the receiver's word on sending and
    // the count to the first fix are forgotten.
    void ForgetReceiver();
    // The protocol changes: the fix and sky of the old one are dropped.
    void ForgetFixAndSky();
    // The input moved to another place (a capture was sought): the position records, the fix and
    // the sky are forgotten and every listener is told (onRestart).
    void StartAfresh();
    // A source was connected: every listener is told (onConnected).
    void Connected();

private:
    template <class Record>
    Record& Kept() {
        return std::get<Record>(kept_);
    }
    template <class Record>
    const Record& Kept() const {
        return std::get<Record>(kept_);
    }

    void MeasureTtff(const GnssFix& fix);

    ReceiverContext& context_;
    std::mutex& lock_;
    const Clock& clock_;
    std::vector<GnssListener*> gnssListeners_;
    // The latest record of each kept message (SwVersion and ClockStatus are never cleared).
    KeptRecords kept_{};
    std::optional<GnssFix> fix_;
    std::optional<GnssSky> sky_;
    TextLineRing textLines_;
    std::uint8_t okToSend_ = 0;
};

}  // namespace vexa
