#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vexa {

// gpsd's raw watch request, and what its replies say about the receiver being watched.
class GpsdWatch {
public:
    // `server` names gpsd in problems ("gpsd at HOST:PORT"); `device` is the receiver's device on
    // gpsd's machine, empty for whichever gpsd has.
    GpsdWatch(std::string server, std::string device);

    // The request line that asks for the receiver's bytes unchanged (raw mode 2).
    std::string Request() const;

    // Takes one reply line (a JSON object from gpsd).
    void Take(std::string_view reply);
    // Why the watch cannot deliver, once a reply said so ("gpsd at gnss-box:2947 has no receiver");
    // empty while it can.
    const std::string& Problem() const { return problem_; }

private:
    void Forget(const std::string& path);
    bool Watched(const std::string& path) const { return device_.empty() || path == device_; }

    std::string server_;
    std::string device_;
    std::vector<std::string> present_;  // devices gpsd has that this watch takes bytes from
    bool listed_ = false;               // gpsd has sent its device list
    bool refused_ = false;              // gpsd answered the request with an error
    std::string problem_;
};

}  // namespace vexa
