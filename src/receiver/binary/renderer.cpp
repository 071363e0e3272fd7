#include "receiver/binary/renderer.h"

#include <cstring>
#include <string_view>
#include <type_traits>

#include "platform/result_codes.h"
#include "receiver/binary/line_writer.h"
#include "receiver/binary/message_table.h"

namespace vexa {
namespace {

void AppendValue(LineWriter& line, std::integral auto value) { line.nextInteger(value); }

void AppendValue(LineWriter& line, std::floating_point auto value) {
    line.character(',');
    line.scientific(value, 10);
}

template <class T, std::size_t N>
void AppendValue(LineWriter& line, const T (&values)[N]) {
    for (const T& value : values) AppendValue(line, value);
}

// The id, then every field as ",<value>".
template <class Record, auto... Members>
void RenderPlainValues(int id, const Record& record, char* out, Wire<Members...>) {
    static_assert((std::is_member_object_pointer_v<decltype(Members)> && ...), "plain values are record members");
    LineWriter line(out);
    line.integer(id);
    (AppendValue(line, record.*Members), ...);
}

template <class Row>
LinkResult RenderRow(const std::uint8_t* record, std::size_t length, char* line) {
    using Record = typename Row::Record;
    if constexpr (std::is_same_v<typename Row::Fields, TextBody>) {
        return Row::line(std::string_view(reinterpret_cast<const char*>(record), length), line);
    } else {
        if (length < sizeof(Record)) return kResultBadLength;
        Record value;
        std::memcpy(&value, record, sizeof value);
        if constexpr (std::is_same_v<std::remove_cv_t<decltype(Row::line)>, PlainValues>) {
            RenderPlainValues(Row::ids.first, value, line, typename Row::Fields{});
            return kResultOk;
        } else {
            return Row::line(value, line);
        }
    }
}

using RowRenderer = LinkResult (*)(const std::uint8_t*, std::size_t, char*);

constexpr auto kRenderers = PerMessageId<RowRenderer>([]<class Row>() -> RowRenderer {
    if constexpr (std::is_null_pointer_v<decltype(Row::line)>) {
        return nullptr;
    } else {
        return &RenderRow<Row>;
    }
});

}  // namespace

LinkResult RenderMessage(int id, const std::uint8_t* record, std::size_t length, char* line) {
    if (id < 0 || id > 0xFF) return kResultBadLength;
    const RowRenderer render = kRenderers[static_cast<std::size_t>(id)];
    return render != nullptr ? render(record, length, line) : kResultBadLength;
}

}  // namespace vexa
