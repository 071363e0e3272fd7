#pragma once

#include <QTimer>
#include <memory>
#include <string>

class QWidget;

namespace vexa {

class MetricsEndpoint;
class ReceiverMetrics;
struct UiContext;

// The Setup menu's "Serve metrics": while it is checked, the receiver's series (those of
// vexademo-cli --metrics, labelled with the name of the port in use) are served for Prometheus at
// http://HOST:PORT/metrics. The model's listeners feed them; once a second they take the link's
// state and counts, and move to the port's name when the user connects another port.
class MetricsItem {
public:
    MetricsItem(UiContext& ui, QWidget* owner);
    ~MetricsItem();
    MetricsItem(const MetricsItem&) = delete;
    MetricsItem& operator=(const MetricsItem&) = delete;

    bool Serving() const { return endpoint_ != nullptr; }
    // Stops serving, or asks for HOST:PORT and serves there; what worked is stored for the next start.
    void Toggle();
    // At start: serves at the command line's address for this run (a refusal goes to stderr), or
    // else where the settings say when they ask for it (a refusal in a message box).
    void Start(const std::string& commandLineAddress);

private:
    // Empty when served; otherwise why not, naming the address.
    std::string Serve(const std::string& address);
    void Stop();
    void Follow();
    void StopFollowing();
    void Tell(const std::string& problem);

    UiContext& ui_;
    QWidget* owner_;
    QTimer timer_;
    std::unique_ptr<MetricsEndpoint> endpoint_;
    std::unique_ptr<ReceiverMetrics> receiver_;  // listening to the model while it exists
    std::string device_;                         // the port name its series carry
};

}  // namespace vexa
