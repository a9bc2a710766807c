// Header decoding over arbitrary bytes: whatever the file holds, the decoder stays inside the
// data, never loops, and gives the values a WAV file row can show.
#include "inventory/wav_header.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tambrel;
    const MemoryByteSource source(std::as_bytes(std::span<const std::uint8_t>(data, size)));
    const HeaderDecoding decoded = decodeWavHeader(source);
    if (decoded.readFailure)
        std::abort(); // memory never fails to read
    if (decoded.header.kind == HeaderKind::NotWave &&
        (decoded.header.formatTag != 0 || decoded.header.sampleRate != 0))
        std::abort(); // a file that is no WAV file shows rate 0
    return 0;
}
