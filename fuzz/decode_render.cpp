// Arbitrary payloads through the decoder, the renderer and back through the writer.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/result_codes.h"
#include "receiver/binary/decoder.h"
#include "receiver/binary/message_writer.h"
#include "receiver/binary/renderer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vexa::RecordBuffer record;
    vexa::ReceiverContext context;
    char line[vexa::kRenderBufferSize];
    const vexa::DecodeResult result = vexa::DecodeMessage({data, size}, record, context);
    if (result.code == vexa::kResultOk) {
        // Either result is fine here: the sanitizers watch the rendering itself.
        (void)vexa::RenderMessage(result.id, record.bytes, result.recordLength, line);

        // A decoded record must write back to the very payload, except where the decoder cut a
        // visible-list count above 32 or an error report's parameters beyond 18, or the message had
        // no body to keep.
        const bool countCut = (result.id == 13 && data[1] > 32) || (result.id == 10 && (data[3] << 8 | data[4]) > 18);
        const bool bodiless = result.id == 225 && result.recordLength == 0;
        if (!countCut && !bodiless) {
            std::uint8_t written[1 + vexa::RecordBuffer::kSize];
            const std::size_t length = vexa::WriteMessage(result.id, {record.bytes, result.recordLength}, written);
            if (length != size || std::memcmp(written, data, size) != 0) __builtin_trap();
        }
    }

    // The renderer also meets records of any length, short ones included.
    if (size >= 1 && size - 1 <= vexa::RecordBuffer::kSize) {
        std::memcpy(record.bytes, data + 1, size - 1);
        (void)vexa::RenderMessage(data[0], record.bytes, size - 1, line);
    }
    return 0;
}
