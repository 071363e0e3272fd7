#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <chrono>

#include "history/history_recorder.h"
#include "page_test_support.h"
#include "views/history/history_strips.h"

namespace vexa {
namespace {

using testing_support::Render;

constexpr int kEpochsPerRefresh = 5;  // 20 epochs a second, four refreshes a second

// One epoch at 20 Hz told as a link tells it: a fix, then a sky whose C/N0 and use vary.
void RecordEpoch(HistoryRecorder& recorder, int epoch, int satellites) {
    const UtcTime start = std::chrono::sys_days{std::chrono::year{2026} / 4 / 9} + std::chrono::hours(7);
    GnssFix fix;
    fix.mode = FixMode::ThreeD;
    fix.quality = FixQuality::Standard;
    fix.time = start + std::chrono::milliseconds(epoch * 50LL);
    fix.latitude = 12.5 + 1e-6 * (epoch % 23);
    fix.longitude = 3.25;
    fix.altitudeHae = 120.0 + 0.1 * (epoch % 19);
    fix.hdop = 0.8 + 0.05 * (epoch % 17);
    fix.vdop = 1.2 + 0.05 * (epoch % 11);
    fix.pdop = 1.6 + 0.05 * (epoch % 13);
    GnssSky sky;
    sky.time = fix.time;
    for (int i = 0; i < satellites; ++i) {
        sky.satellites.push_back({.id = {i % 2 == 0 ? GnssId::Gps : GnssId::Galileo, static_cast<std::uint16_t>(1 + i / 2)},
                                  .azimuth = 7.0 * i,
                                  .elevation = 10.0 + i,
                                  .cn0 = 20.0 + (epoch * 7 + i * 11) % 28,
                                  .used = (epoch / 10 + i) % 3 != 0});
    }
    recorder.onFix(fix);
    recorder.onSky(sky);
}

// A window following a receiver, refreshed four times a second and painted every so many
// refreshes, shows after each paint what a window opened afresh on the same history shows:
// nothing it kept from earlier reads and paints is stale, nor once it is dragged back in time.
TEST(HistoryStripsTest, AFollowingWindowShowsWhatAWindowOpenedAfreshShows) {
    struct Case {
        const char* name;
        QSize size;
        int satellites;
        int satellitesLater;  // from the middle of the refreshes on
        int refreshesPerPaint;
        bool referenceLater;
        // At the middle of the refreshes: the receiver's time jumps by so many epochs (back: a break)
        // or it restarts, or the history is cleared.
        int epochsJumped = 0;
        bool restart = false;
        bool clear = false;
        // Fewer recent epochs than the window spans: its left part comes from the per-second
        // summaries, and the epochs leave the recent ones for them at every refresh.
        std::size_t recentEpochs = HistoryStore::Limits{}.recentEpochs;
        int wheelNotches = 0;  // zoomed in with the wheel: the epochs lie pixels apart
        int dragLast = 0;      // at the end, the view dragged so many pixels to the right
    };
    const Case cases[] = {
        {"every refresh painted", {700, 480}, 8, 8, 1, false},
        {"three refreshes between paints", {700, 480}, 8, 8, 3, false},
        {"a satellite rises: a row more", {700, 480}, 8, 9, 1, false},
        {"rows thinner than a pixel", {400, 260}, 60, 60, 1, false},
        {"a reference set: the error strip appears", {700, 480}, 8, 8, 2, true},
        {"epochs leave the recent ones for the second summaries", {700, 480}, 8, 8, 1, false, 0, false, false, 1500},
        {"a gap of a minute", {700, 480}, 8, 8, 3, false, 1200},
        {"time goes back: a break", {700, 480}, 8, 8, 3, false, -300},
        {"the receiver restarts", {700, 480}, 8, 8, 3, false, 0, true},
        {"the history is cleared", {700, 480}, 8, 8, 3, false, 0, false, true},
        {"zoomed in to seconds: lines join epochs pixels apart", {700, 480}, 8, 8, 1, true, 0, false, false, 6000, 20},
        {"zoomed in, three refreshes between paints", {700, 480}, 8, 9, 3, false, 0, false, false, 6000, 20},
        {"zoomed in, then dragged back in time", {700, 480}, 8, 8, 1, false, 0, false, false, 6000, 20, 90},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HistoryRecorder recorder(HistoryStore::Limits{.recentEpochs = c.recentEpochs});
        int epoch = 0;
        for (; epoch < 2000; ++epoch) RecordEpoch(recorder, epoch, c.satellites);
        auto open = [&](CHistoryStrips& strips) {
            strips.resize(c.size);
            if (c.wheelNotches != 0) {
                QWheelEvent wheel(QPointF(400, 100), QPointF(400, 100), {}, QPoint(0, 120 * c.wheelNotches), Qt::NoButton, Qt::NoModifier,
                                  Qt::NoScrollPhase, false);
                QCoreApplication::sendEvent(&strips, &wheel);
            }
            strips.Refresh();
        };
        CHistoryStrips live(recorder);
        open(live);
        Render(live);
        for (int refresh = 1; refresh <= 24; ++refresh) {
            if (refresh == 12) {
                if (c.referenceLater) recorder.SetReference(GeodeticPoint{12.5, 3.25, 120.0});
                epoch += c.epochsJumped;
                if (c.restart) recorder.onRestart();
                if (c.clear) recorder.Clear();
            }
            for (int i = 0; i < kEpochsPerRefresh; ++i, ++epoch) RecordEpoch(recorder, epoch, refresh < 12 ? c.satellites : c.satellitesLater);
            live.Refresh();
            if (refresh % c.refreshesPerPaint != 0) continue;
            CHistoryStrips fresh(recorder);
            open(fresh);
            ASSERT_EQ(Render(live), Render(fresh)) << "after refresh " << refresh;
        }
        if (c.dragLast == 0) continue;
        CHistoryStrips fresh(recorder);
        open(fresh);
        for (CHistoryStrips* strips : {&live, &fresh}) {
            const QPointF from(300, 100);
            const QPointF to = from + QPointF(c.dragLast, 0);
            QMouseEvent press(QEvent::MouseButtonPress, from, from, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QMouseEvent move(QEvent::MouseMove, to, to, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QMouseEvent release(QEvent::MouseButtonRelease, to, to, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
            for (QMouseEvent* event : {&press, &move, &release}) QCoreApplication::sendEvent(strips, event);
        }
        ASSERT_EQ(Render(live), Render(fresh)) << "dragged";
    }
}

}  // namespace
}  // namespace vexa
