#include "link/sources/gpsd_watch.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "platform/json_string.h"

namespace vexa {

namespace {

// gpsd writes its objects compactly ("key":value, no blanks); a string member's value, unescaped
// as far as device paths and messages need it.
std::optional<std::string> StringMember(std::string_view object, std::string_view key) {
    const std::string quotedKey = '"' + std::string(key) + "\":\"";
    const std::size_t at = object.find(quotedKey);
    if (at == std::string_view::npos) return std::nullopt;
    std::string value;
    for (std::size_t i = at + quotedKey.size(); i < object.size(); ++i) {
        const char c = object[i];
        if (c == '"') return value;
        if (c == '\\' && i + 1 < object.size()) {
            value += object[++i];
            continue;
        }
        value += c;
    }
    return std::nullopt;
}

// The members of each object in an array member ("devices":[{...},{...}]), as text.
std::vector<std::string_view> ArrayObjects(std::string_view object, std::string_view key) {
    std::vector<std::string_view> objects;
    const std::string quotedKey = '"' + std::string(key) + "\":[";
    std::size_t at = object.find(quotedKey);
    if (at == std::string_view::npos) return objects;
    at += quotedKey.size();
    while (at < object.size() && object[at] == '{') {
        const std::size_t end = object.find('}', at);
        if (end == std::string_view::npos) break;
        objects.push_back(object.substr(at, end + 1 - at));
        at = end + 1;
        if (at < object.size() && object[at] == ',') ++at;
    }
    return objects;
}

}  // namespace

GpsdWatch::GpsdWatch(std::string server, std::string device)
    : server_(std::move(server)), device_(std::move(device)) {}

std::string GpsdWatch::Request() const {
    std::string request = R"(?WATCH={"enable":true,"raw":2)";
    if (!device_.empty()) {
        request += R"(,"device":)";
        AppendJsonString(request, device_);
    }
    request += "}\n";
    return request;
}

void GpsdWatch::Take(std::string_view reply) {
    const std::optional<std::string> kind = StringMember(reply, "class");
    if (!kind || refused_) return;
    if (*kind == "ERROR") {
        problem_ = server_ + ": " + StringMember(reply, "message").value_or("the request was refused");
        refused_ = true;
        return;
    }
    if (*kind == "DEVICES") {
        listed_ = true;
        present_.clear();
        for (const std::string_view device : ArrayObjects(reply, "devices")) {
            const std::optional<std::string> path = StringMember(device, "path");
            if (path && Watched(*path)) present_.push_back(*path);
        }
    } else if (*kind == "DEVICE") {
        const std::optional<std::string> path = StringMember(reply, "path");
        if (!path || !Watched(*path)) return;
        // A device gpsd closes is reported with "activated":0; one it opens with the time it did.
        if (reply.find(R"("activated":0)") != std::string_view::npos) {
            Forget(*path);
        } else if (std::find(present_.begin(), present_.end(), *path) == present_.end()) {
            present_.push_back(*path);
        }
    } else {
        return;
    }
    if (!listed_ || !present_.empty()) {
        problem_.clear();
    } else {
        problem_ = server_ + (device_.empty() ? " has no receiver" : " has no device " + device_);
    }
}

void GpsdWatch::Forget(const std::string& path) {
    present_.erase(std::remove(present_.begin(), present_.end(), path), present_.end());
}

}  // namespace vexa
