#include "evaluation/report/json_writer.h"

#include <cmath>

#include "evaluation/fixed_text.h"
#include "platform/json_string.h"

namespace vexa {

JsonWriter::JsonWriter() : out_("{"), empty_{true} {}

void JsonWriter::Key(std::string_view key) {
    out_ += empty_.back() ? "\n" : ",\n";
    empty_.back() = false;
    out_.append(2 * empty_.size(), ' ');
    AppendJsonString(out_, key);
    out_ += ": ";
}

void JsonWriter::BeginObject(std::string_view key) {
    Key(key);
    out_ += '{';
    empty_.push_back(true);
}

void JsonWriter::EndObject() {
    const bool wasEmpty = empty_.back();
    empty_.pop_back();
    if (!wasEmpty) {
        out_ += '\n';
        out_.append(2 * empty_.size(), ' ');
    }
    out_ += '}';
}

void JsonWriter::Number(std::string_view key, std::optional<double> value, int decimals) {
    Key(key);
    out_ += value && std::isfinite(*value) ? FixedText(*value, decimals) : "null";
}

void JsonWriter::Count(std::string_view key, std::size_t value) {
    Key(key);
    out_ += std::to_string(value);
}

void JsonWriter::Text(std::string_view key, std::string_view value) {
    Key(key);
    AppendJsonString(out_, value);
}

void JsonWriter::Null(std::string_view key) {
    Key(key);
    out_ += "null";
}

std::string JsonWriter::Finish() {
    while (!empty_.empty()) EndObject();
    out_ += '\n';
    return std::move(out_);
}

}  // namespace vexa
