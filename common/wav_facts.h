// What a WAV file's header says beyond the two fields of its row: the whole format chunk, the
// length of the audio, its duration, and the one problem that makes the file doubtful.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tambrel {

// The problems, most fundamental first: a file has the first that applies. The codes are part
// of the command-line tool's output, so they never change once published.
enum class WavProblem : std::uint8_t {
    None,
    Unreadable,         // "unreadable": the file could not be opened or read
    Empty,              // "empty": the file holds no bytes
    NotRiff,            // "not_riff": no RIFF, RIFX or RF64 tag at its start
    Rifx,               // "rifx": big-endian RIFX, which the server does not play
    Rf64,               // "rf64": RF64 or BW64, the 64-bit form, which the server does not play
    NotWave,            // "not_wave": a RIFF form other than WAVE (AVI, MIDI, ...)
    HeaderTruncated,    // "header_truncated": the file ends before its format chunk does
    NoFormatChunk,      // "no_format_chunk": no format chunk among the file's chunks
    FormatChunkShort,   // "format_chunk_short": the format chunk is declared too short for
                        // its fields; no field is taken from beyond it
    InvalidFormat,      // "invalid_format": zero channels, sample rate or block alignment
    NoData,             // "no_data": no data chunk, or one of length zero
    Truncated,          // "truncated": the data chunk claims more bytes than the file holds
    RiffLengthMismatch, // "riff_length_mismatch": the RIFF length is not the file's size
};

// The stable code of `problem`; empty for None.
std::string_view wavProblemCode(WavProblem problem);
// The problem whose code is `code`, if any.
std::optional<WavProblem> wavProblemFromCode(std::string_view code);

// The format tags whose samples are whole bytes at a constant rate, so that the data length
// over the byte rate is the duration: PCM, IEEE float, A-law and mu-law.
bool isPcmLike(std::uint16_t formatTag);

// The facts of one file. Each field is there only when the file holds it inside the chunk it
// belongs to; what the file does not say stays unknown rather than zero. Kept small, as the
// scan holds one per file.
class WavFacts {
public:
    WavProblem problem = WavProblem::None;

    std::optional<std::uint16_t> formatTag() const { return get(kFormatTag, formatTag_); }
    std::optional<std::uint16_t> channels() const { return get(kChannels, channels_); }
    std::optional<std::uint32_t> sampleRate() const { return get(kSampleRate, sampleRate_); }
    std::optional<std::uint32_t> byteRate() const { return get(kByteRate, byteRate_); }
    std::optional<std::uint16_t> blockAlign() const { return get(kBlockAlign, blockAlign_); }
    std::optional<std::uint16_t> bitsPerSample() const { return get(kBits, bitsPerSample_); }
    // For format tag 0xFFFE: the real codec's tag, from a sub-format GUID of the registered form.
    std::optional<std::uint16_t> subFormatTag() const { return get(kSubFormat, subFormatTag_); }
    // The bytes of audio the file holds: the data chunk's length, cut to the file's end when the
    // file's size was known.
    std::optional<std::uint64_t> dataBytes() const { return get(kDataBytes, dataBytes_); }
    // The sample frames the fact chunk (or an RF64 file's ds64 chunk) counts.
    std::optional<std::uint64_t> factSamples() const { return get(kFactSamples, factSamples_); }
    // The data chunk claims more bytes than the file holds.
    bool dataCutShort() const { return (present_ & kDataCut) != 0; }

    // The tag that names the codec: the sub-format's for an extensible file, else the format's.
    std::optional<std::uint16_t> codecTag() const;
    // Data length over byte rate for PCM-like codecs, the fact chunk's samples over the sample
    // rate for the others; unknown when the file does not say enough (a compressed file without
    // a fact chunk, or one cut short whose fact count no longer holds).
    std::optional<double> durationSeconds() const;

    void setFormatTag(std::uint16_t value) { set(kFormatTag, formatTag_, value); }
    void setChannels(std::uint16_t value) { set(kChannels, channels_, value); }
    void setSampleRate(std::uint32_t value) { set(kSampleRate, sampleRate_, value); }
    void setByteRate(std::uint32_t value) { set(kByteRate, byteRate_, value); }
    void setBlockAlign(std::uint16_t value) { set(kBlockAlign, blockAlign_, value); }
    void setBitsPerSample(std::uint16_t value) { set(kBits, bitsPerSample_, value); }
    void setSubFormatTag(std::uint16_t value) { set(kSubFormat, subFormatTag_, value); }
    void setDataBytes(std::uint64_t value) { set(kDataBytes, dataBytes_, value); }
    void setFactSamples(std::uint64_t value) { set(kFactSamples, factSamples_, value); }
    void markDataCutShort() { present_ = static_cast<std::uint16_t>(present_ | kDataCut); }

    friend bool operator==(const WavFacts&, const WavFacts&) = default;

private:
    enum Field : std::uint16_t {
        kFormatTag = 1u << 0,
        kChannels = 1u << 1,
        kSampleRate = 1u << 2,
        kByteRate = 1u << 3,
        kBlockAlign = 1u << 4,
        kBits = 1u << 5,
        kSubFormat = 1u << 6,
        kDataBytes = 1u << 7,
        kFactSamples = 1u << 8,
        kDataCut = 1u << 9,
    };
    template <typename T> std::optional<T> get(Field field, T value) const {
        return (present_ & field) ? std::optional<T>(value) : std::nullopt;
    }
    template <typename T> void set(Field field, T& member, T value) {
        member = value;
        present_ = static_cast<std::uint16_t>(present_ | field);
    }

    std::uint16_t present_ = 0;
    std::uint16_t formatTag_ = 0;
    std::uint16_t channels_ = 0;
    std::uint16_t blockAlign_ = 0;
    std::uint16_t bitsPerSample_ = 0;
    std::uint16_t subFormatTag_ = 0;
    std::uint32_t sampleRate_ = 0;
    std::uint32_t byteRate_ = 0;
    std::uint64_t dataBytes_ = 0;
    std::uint64_t factSamples_ = 0;
};

} // namespace tambrel
