#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

// Writes one JSON document of nested objects, two spaces an indent. Numbers are written in the C
// locale with the decimals asked for; a number that is absent or not finite is written null.
class JsonWriter {
public:
    JsonWriter();

    // An object as the value of `key` (the document's outermost object is open from the start).
    void BeginObject(std::string_view key);
    void EndObject();
    void Number(std::string_view key, std::optional<double> value, int decimals);
    void Count(std::string_view key, std::size_t value);
    void Text(std::string_view key, std::string_view value);
    void Null(std::string_view key);

    // The document, its outermost object closed.
    std::string Finish();

private:
    void Key(std::string_view key);

    std::string out_;
    std::vector<bool> empty_;  // per open object: nothing written in it yet
};

}  // namespace vexa
