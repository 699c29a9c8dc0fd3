// Decodes arbitrary bytes as a setup block. Any input must decode without
// touching memory outside it; an input of exactly one block must encode back to
// the same bytes, and a decoded block must re-decode to itself.
#include "common/setupblock.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char *>(data), qsizetype(size));
    bool complete = false;
    const SetupBlock block = SetupBlock::decode(input, &complete);
    const QByteArray out = block.encode();
    if (out.size() != SetupBlock::Size)
        std::abort();
    if (complete != (size >= size_t(SetupBlock::Size)))
        std::abort();
    // Bytes that were present come back unchanged, missing ones as zero.
    for (int i = 0; i < SetupBlock::Size; ++i) {
        const char expected = size_t(i) < size ? char(data[i]) : '\0';
        if (out[i] != expected)
            std::abort();
    }
    if (size == size_t(SetupBlock::Size) && std::memcmp(out.constData(), data, size) != 0)
        std::abort();
    if (!(SetupBlock::decode(out) == block))
        std::abort();
    return 0;
}
