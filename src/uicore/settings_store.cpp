#include "uicore/settings_store.h"

#include <QFile>
#include <QStringList>
#include <charconv>
#include <optional>

#include "link/connection/baud_settings.h"
#include "link/ports/port_discovery.h"
#include "link/sources/source_names.h"
#include "platform/file_problem.h"
#include "platform/host_port.h"

namespace vexa {

namespace {

const QString kDisplaySection = QStringLiteral("Dezori Zuri");
const QString kPlotSection = QStringLiteral("Map View");
const QString kLoggingSection = QStringLiteral("Logging");
const QString kWindowWidthKey = QStringLiteral("Window/Width");
const QString kWindowHeightKey = QStringLiteral("Window/Height");
const QString kServeMetricsKey = QStringLiteral("Metrics/Serve");
const QString kMetricsAddressKey = QStringLiteral("Metrics/Address");

const AppSettings kDefaults;

bool InRange(int value, int low, int high) { return value >= low && value <= high; }

const QString kNetworkSourcesKey = QStringLiteral("GPS Network Sources");

bool UsableBaudSetting(int baud) { return ParseBaudSelection(BaudSettingText(baud)) == baud; }

// The leading number of a text, as "%lf" reads it; nothing when there is none.
std::optional<double> LeadingNumber(const QString& text) {
    const QByteArray bytes = text.trimmed().toLatin1();
    const char* first = bytes.constData();
    const char* last = first + bytes.size();
    if (first != last && *first == '+') ++first;
    double value = 0.0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end == first) return std::nullopt;
    return value;
}

}  // namespace

SettingsStore::SettingsStore(AppSettings& settings)
    : settings_(settings),
      store_(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Vexa"), QStringLiteral("VexaDemoPPC")) {}

int SettingsStore::ReadInt(const QString& key, int fallback) const {
    bool ok = false;
    const int value = store_.value(key).toInt(&ok);
    return ok ? value : fallback;
}

// A missing or unreadable angle reads as 0.0; whether it is a place is the caller's question.
double SettingsStore::ReadDegrees(const QString& key) const {
    return LeadingNumber(store_.value(key).toString()).value_or(0.0);
}

void SettingsStore::WriteOut() {
    store_.sync();
    if (store_.status() == QSettings::NoError || !reportWriteFailure_) return;
    // A file that could not be parsed when read leaves FormatError standing even after sync has
    // written it anew; then only a file that cannot be written is a failure to report.
    const std::string reason = WhyNotWritable(QFile::encodeName(FileName()).toStdString());
    if (store_.status() == QSettings::FormatError && reason.empty()) return;
    reportWriteFailure_(QStringLiteral("The settings could not be saved.\n") +
                        (reason.empty() ? FileName() + QStringLiteral(": it cannot be written")
                                        : QFile::decodeName(reason.c_str())));
}

void SettingsStore::LoadDisplaySettings() {
    store_.beginGroup(kDisplaySection);
    const int latLon = ReadInt(QStringLiteral("Lat Lon Format"), kDefaults.m_nLatLonFormat);
    const int altitude = ReadInt(QStringLiteral("Altitude Units"), kDefaults.m_nAltitudeUnits);
    const int velocity = ReadInt(QStringLiteral("Velocity Units"), kDefaults.m_nVelocityUnits);
    const int baud = ReadInt(QStringLiteral("GPS Baud Rate"), kDefaults.m_nBaudRate);
    settings_.m_nLatLonFormat = InRange(latLon, 0, 1) ? latLon : kDefaults.m_nLatLonFormat;
    settings_.m_nAltitudeUnits = InRange(altitude, 0, 1) ? altitude : kDefaults.m_nAltitudeUnits;
    settings_.m_nVelocityUnits = InRange(velocity, 0, 2) ? velocity : kDefaults.m_nVelocityUnits;
    settings_.m_strSerialPort = store_.value(QStringLiteral("GPS Serial Port"), QString::fromStdString(kDefaults.m_strSerialPort))
                                    .toString()
                                    .toStdString();
    settings_.m_nBaudRate = UsableBaudSetting(baud) ? baud : kDefaults.m_nBaudRate;
    std::vector<std::string> sources;
    for (const QString& name : store_.value(kNetworkSourcesKey).toStringList()) sources.push_back(name.toStdString());
    settings_.m_networkSources = UsableNetworkSources(sources, kMaxListedPorts);
    store_.endGroup();
}

void SettingsStore::SaveDisplaySettings() {
    store_.beginGroup(kDisplaySection);
    store_.setValue(QStringLiteral("Version"), QStringLiteral("1.0"));
    store_.setValue(QStringLiteral("Lat Lon Format"), settings_.m_nLatLonFormat);
    store_.setValue(QStringLiteral("Altitude Units"), settings_.m_nAltitudeUnits);
    store_.setValue(QStringLiteral("Velocity Units"), settings_.m_nVelocityUnits);
    store_.setValue(QStringLiteral("GPS Serial Port"), QString::fromStdString(settings_.m_strSerialPort));
    store_.setValue(QStringLiteral("GPS Baud Rate"), settings_.m_nBaudRate);
    QStringList sources;
    for (const std::string& name : settings_.m_networkSources) sources.append(QString::fromStdString(name));
    if (sources.isEmpty()) {
        store_.remove(kNetworkSourcesKey);
    } else {
        store_.setValue(kNetworkSourcesKey, sources);
    }
    store_.endGroup();
    WriteOut();
}

void SettingsStore::LoadPlotSettings() {
    store_.beginGroup(kPlotSection);
    const double latitude = ReadDegrees(QStringLiteral("Lat"));
    const double longitude = ReadDegrees(QStringLiteral("Lon"));
    // An origin that is no place (or the pole of a receiver without a fix) is no origin at all.
    const bool originSet = PlotOriginSet(latitude, longitude);
    settings_.m_dOriginLat = originSet ? latitude : 0.0;
    settings_.m_dOriginLon = originSet ? longitude : 0.0;
    const int ring1 = ReadInt(QStringLiteral("Ring 1"), kDefaults.m_nRing1);
    const int ring2 = ReadInt(QStringLiteral("Ring 2"), kDefaults.m_nRing2);
    const int ring3 = ReadInt(QStringLiteral("Ring 3"), kDefaults.m_nRing3);
    const bool acceptable = RingRadiiAcceptable(ring1, ring2, ring3);
    settings_.m_nRing1 = acceptable ? ring1 : kDefaults.m_nRing1;
    settings_.m_nRing2 = acceptable ? ring2 : kDefaults.m_nRing2;
    settings_.m_nRing3 = acceptable ? ring3 : kDefaults.m_nRing3;
    store_.endGroup();
}

void SettingsStore::SavePlotSettings() {
    store_.beginGroup(kPlotSection);
    store_.setValue(QStringLiteral("Lat"), QString::asprintf("%.6f", settings_.m_dOriginLat));
    store_.setValue(QStringLiteral("Lon"), QString::asprintf("%.6f", settings_.m_dOriginLon));
    store_.setValue(QStringLiteral("Ring 1"), settings_.m_nRing1);
    store_.setValue(QStringLiteral("Ring 2"), settings_.m_nRing2);
    store_.setValue(QStringLiteral("Ring 3"), settings_.m_nRing3);
    store_.endGroup();
    WriteOut();
}

void SettingsStore::LoadLogFileName() {
    settings_.m_strLogFileName =
        store_.value(kLoggingSection + QStringLiteral("/FileName"), QString::fromStdString(kDefaults.m_strLogFileName))
            .toString()
            .toStdString();
}

void SettingsStore::SaveLogFileName() {
    store_.setValue(kLoggingSection + QStringLiteral("/FileName"), QString::fromStdString(settings_.m_strLogFileName));
    WriteOut();
}

void SettingsStore::LoadWindowSize() {
    const int width = ReadInt(kWindowWidthKey, 0);
    const int height = ReadInt(kWindowHeightKey, 0);
    const bool usable = WindowSizeAcceptable(width, height);
    settings_.m_nWindowWidth = usable ? width : 0;
    settings_.m_nWindowHeight = usable ? height : 0;
}

void SettingsStore::SaveWindowSize() {
    store_.setValue(kWindowWidthKey, settings_.m_nWindowWidth);
    store_.setValue(kWindowHeightKey, settings_.m_nWindowHeight);
    WriteOut();
}

void SettingsStore::LoadMetricsSettings() {
    const std::string address = store_.value(kMetricsAddressKey).toString().toStdString();
    const bool usable = IsHostAndPort(address);
    settings_.m_strMetricsAddress = usable ? address : kDefaults.m_strMetricsAddress;
    // Only "true" turns serving on: an edited value never opens a port the user did not choose.
    settings_.m_bServeMetrics = usable && store_.value(kServeMetricsKey).toString() == QStringLiteral("true");
}

void SettingsStore::SaveMetricsSettings() {
    store_.setValue(kServeMetricsKey, settings_.m_bServeMetrics);
    store_.setValue(kMetricsAddressKey, QString::fromStdString(settings_.m_strMetricsAddress));
    WriteOut();
}

}  // namespace vexa
