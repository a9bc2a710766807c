// Header decoding over arbitrary bytes: whatever the file holds, the decoder stays inside the
// data, never loops, gives the values a WAV file row can show, and facts that agree with them.
#include "inventory/wav_header.h"

#include <cmath>
#include <cstdlib>

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

void checkDecoding(const tambrel::HeaderDecoding& decoded) {
    using namespace tambrel;
    check(!decoded.readFailure && !decoded.factsFailure); // memory never fails to read
    const WavHeader& header = decoded.header;
    const WavFacts& facts = decoded.facts;
    if (header.kind == HeaderKind::NotWave)
        check(header.formatTag == 0 && header.sampleRate == 0); // no WAV file shows rate 0
    check(wavProblemCode(facts.problem).empty() == (facts.problem == WavProblem::None));
    check(facts.problem != WavProblem::Unreadable);
    // The row and the facts read the same format chunk, and the row nothing beyond it.
    if (header.kind == HeaderKind::Wave && facts.formatTag())
        check(header.formatTag == static_cast<std::int16_t>(*facts.formatTag()));
    if (header.kind == HeaderKind::Wave && facts.sampleRate())
        check(header.sampleRate == static_cast<std::int32_t>(*facts.sampleRate()));
    if (header.kind == HeaderKind::Wave && !facts.sampleRate())
        check(header.sampleRate == 0 || header.sampleRate < 0x1000000);
    if (facts.problem == WavProblem::None)
        check(facts.channels() > 0 && facts.sampleRate() > 0 && facts.blockAlign() > 0 &&
              facts.dataBytes() > 0);
    if (const std::optional<double> seconds = facts.durationSeconds())
        check(std::isfinite(*seconds) && *seconds >= 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tambrel;
    const MemoryByteSource source(std::as_bytes(std::span<const std::uint8_t>(data, size)));
    checkDecoding(decodeWavHeader(source));
    const HeaderDecoding sized = decodeWavHeader(source, size);
    checkDecoding(sized);
    // The size only judges the data's end and the RIFF length; the format is the same.
    check(sized.header.formatTag == decodeWavHeader(source).header.formatTag);
    return 0;
}
