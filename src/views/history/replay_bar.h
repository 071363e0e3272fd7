#pragma once

#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QWidget>

#include <cstdint>

namespace vexa {

class GpsComm;

// The controls of a replayed capture: Pause/Resume, the speed (0.1x to 50x) and a seek bar over
// the file, with the place shown as a fraction of the file and as the receiver's time there.
// Shown only while the link's source is a capture; it reads the link again four times a second.
class CReplayBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSeekSteps = 1000;
    static constexpr int kRefreshMs = 250;

    explicit CReplayBar(GpsComm& link, QWidget* parent = nullptr);

    // Reads the link's playback again: shows or hides the bar and follows the capture's place.
    void Refresh();

    QPushButton* PauseButton() const { return pause_; }
    QDoubleSpinBox* SpeedBox() const { return speed_; }
    QSlider* SeekBar() const { return seek_; }
    QLabel* PlaceLabel() const { return place_; }

private:
    void TogglePause();
    void ChooseSpeed(double speed);
    void SeekToBar();

    GpsComm& link_;
    QPushButton* pause_;
    QDoubleSpinBox* speed_;
    QSlider* seek_;
    QLabel* place_;
    QTimer refresh_;
    std::uint64_t size_ = 0;
};

}  // namespace vexa
