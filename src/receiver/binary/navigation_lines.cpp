#include "receiver/binary/line_writer.h"
#include "receiver/binary/message_lines.h"

namespace vexa {

LinkResult RenderNavData(const NavData& nav, char* out) {
    LineWriter line(out);
    line.character('2');
    line.nextInteger(nav.X);
    line.nextInteger(nav.Y);
    line.nextInteger(nav.Z);
    // Scale factors in single precision, printed as doubles.
    for (const std::int16_t velocity : {nav.VX, nav.VY, nav.VZ}) {
        line.character(',');
        line.fixed(velocity * 0.125f, 3);
    }
    line.nextInteger(nav.Mode1);
    line.character(',');
    line.fixed(nav.Hdop * 0.2f, 1);
    line.nextInteger(nav.Mode2);
    line.nextInteger(nav.Week);
    line.nextInteger(nav.Tow);
    line.nextInteger(nav.SvCount);
    for (std::uint8_t prn : nav.SvPrn) line.nextInteger(prn);
    return kResultOk;
}

LinkResult RenderTrackData(const TrackData& track, char* out) {
    LineWriter line(out);
    line.character('4');
    line.nextInteger(track.Week);
    line.nextInteger(track.Tow);
    line.nextInteger(track.ChannelCount);
    for (const TrackChannel& channel : track.Channels) {
        line.nextInteger(channel.Prn);
        line.nextInteger(static_cast<int>(channel.Azimuth * 1.5f));
        line.nextInteger(static_cast<int>(channel.Elevation * 0.5f));
        line.nextInteger(channel.State);
        for (std::uint8_t cn0 : channel.Cn0) line.nextInteger(cn0);
    }
    return kResultOk;
}

LinkResult RenderRawTrackData(const RawTrackData& raw, char* out) {
    LineWriter line(out);
    line.character('5');
    line.nextInteger(raw.Channel);
    line.nextInteger(raw.SvId);
    line.character(',');
    line.hex(raw.State, 2);
    line.nextInteger(raw.BitCount);
    line.nextInteger(raw.MsCount);
    line.nextInteger(raw.ChipCount);
    line.nextInteger(raw.CodePhase);
    line.nextInteger(raw.CarrierDoppler);
    line.nextInteger(raw.TimeTag);
    line.nextInteger(raw.DeltaCarrierPhase);
    line.nextInteger(raw.SearchCount);
    for (std::uint8_t cn0 : raw.Cn0) line.nextInteger(cn0);
    line.nextInteger(raw.PowerBadCount);
    line.nextInteger(raw.PhaseBadCount);
    line.nextInteger(raw.DeltaCarrierInterval);
    line.nextInteger(raw.CorrelationInterval);
    return kResultOk;
}

LinkResult RenderNavLibSatelliteState(const NavLibSatelliteState& state, char* out) {
    LineWriter line(out);
    line.text("30");
    line.nextInteger(state.SvId);
    // The time alone is printed with eleven decimals.
    line.character(',');
    line.scientific(state.GpsTime, 11);
    const auto next = [&line](double value) {
        line.character(',');
        line.scientific(value, 10);
    };
    for (double value : state.Position) next(value);
    for (double value : state.Velocity) next(value);
    next(state.ClockBias);
    next(state.ClockDrift);
    line.nextInteger(state.EphemerisFlag);
    for (float value : state.Reserved) next(value);
    next(state.IonosphericDelay);
    return kResultOk;
}

LinkResult RenderTtffReport(const TtffReport& report, char* out) {
    if (report.SubId != kTtffSubId) return kResultBadLength;
    LineWriter line(out);
    line.text("225,6");
    line.nextInteger(report.TimeToFirstFix);
    line.nextInteger(report.NavigationMode);
    line.nextInteger(report.PositionMode);
    // An unsigned format over a signed value: its 32-bit unsigned pattern.
    line.nextInteger(static_cast<std::uint32_t>(std::int32_t{report.Status}));
    return kResultOk;
}

}  // namespace vexa
