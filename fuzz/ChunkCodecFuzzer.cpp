// Expands arbitrary chunks: malformed ones must raise EReadError and never read or write out of
// bounds. Short inputs are also compressed and expanded again, which must give them back.
#include "widgets/ChunkCodec.h"
#include "widgets/StoredForm.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView input(data, qsizetype(size));
    try {
        const QByteArray expanded = tolvane::chunk::expand(input);
        if (expanded.size() > tolvane::chunk::maxExpandedSize)
            std::abort();
    } catch (const tolvane::EReadError&) {
    }
    if (input.size() <= 4096 && tolvane::chunk::expand(tolvane::chunk::compress(input)) != input)
        std::abort();
    return 0;
}
