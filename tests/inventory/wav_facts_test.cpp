#include "inventory/codec_names.h"
#include "inventory/wav_format_names.h"
#include "inventory/wav_header.h"
#include "tests/inventory/wav_fixtures.h"

#include <gtest/gtest.h>
#include <set>

namespace tambrel {
namespace {

using testing::bigEndian;
using testing::chunk;
using testing::chunkHeader;
using testing::extensibleFields;
using testing::factChunk;
using testing::formatFields;
using testing::littleEndian;
using testing::riff;
using testing::WaveFormat;

std::span<const std::byte> asBytes(const std::string& text) {
    return std::as_bytes(std::span<const char>(text.data(), text.size()));
}

// What a file's facts should be. `format` gives the fields expected from the format chunk,
// the first `formatBytes` of them: 16 for all six, fewer for a chunk that holds fewer.
struct FactsCase {
    const char* name;
    std::string bytes;
    WavProblem problem;
    std::optional<WaveFormat> format = std::nullopt;
    std::size_t formatBytes = 16;
    std::optional<std::uint16_t> subFormatTag = std::nullopt;
    std::optional<std::uint64_t> dataBytes = std::nullopt;
    std::optional<double> duration = std::nullopt;
};

std::string audio(std::size_t bytes) {
    return chunk("data", std::string(bytes, '\x55'));
}

std::string wave(std::initializer_list<std::string> chunks) {
    return riff("RIFF", "WAVE", chunks);
}

// A RIFX file: the same chunks with every number big-endian.
std::string rifx(const WaveFormat& format, std::size_t dataBytes) {
    const std::string body = "WAVEfmt " + bigEndian(16, 4) + formatFields(format, {}, true) +
                             "data" + bigEndian(dataBytes, 4) + std::string(dataBytes, '\x55');
    return "RIFX" + bigEndian(body.size(), 4) + body;
}

// An RF64 file whose ds64 chunk holds the sizes its 32-bit fields leave at 0xFFFFFFFF.
std::string rf64(const WaveFormat& format, std::size_t dataBytes, std::uint64_t claimed = 0) {
    const std::size_t riffSize = 4 + 36 + 24 + 8 + dataBytes;
    const std::string ds64 =
        chunk("ds64", littleEndian(riffSize, 8) + littleEndian(claimed ? claimed : dataBytes, 8) +
                          littleEndian(dataBytes / format.align(), 8) + littleEndian(0, 4));
    return "RF64" + littleEndian(0xFFFFFFFFu, 4) + "WAVE" + ds64 +
           chunk("fmt ", formatFields(format)) + chunkHeader("data", 0xFFFFFFFFu) +
           std::string(dataBytes, '\x55');
}

std::vector<FactsCase> factsCases() {
    const WaveFormat pcm8{.bits = 8};
    const WaveFormat pcm16Stereo{.channels = 2, .rate = 44100};
    const WaveFormat pcm24{.rate = 48000, .bits = 24};
    const WaveFormat pcm32{.channels = 2, .rate = 16000, .bits = 32};
    const WaveFormat float32{.tag = 3, .rate = 22050, .bits = 32};
    const WaveFormat muLaw{.tag = 7, .bits = 8};
    const WaveFormat aLaw{.tag = 6, .bits = 8};
    const WaveFormat gsm{.tag = 0x31, .bits = 0, .blockAlign = 65, .byteRate = 1625};
    const WaveFormat ima{.tag = 0x11, .bits = 4, .blockAlign = 256, .byteRate = 4055};
    const WaveFormat g726{.tag = 0x64, .bits = 4, .blockAlign = 1, .byteRate = 4000};
    const WaveFormat oki{.tag = 0x17, .bits = 4, .blockAlign = 1, .byteRate = 4000};
    const WaveFormat extensible24{.tag = 1, .channels = 2, .rate = 48000, .bits = 24};
    const WaveFormat extensibleMuLaw{.tag = 7, .bits = 8};
    const WaveFormat pcm16{};
    const std::string fmt16 = chunk("fmt ", formatFields(pcm16));
    auto listOf = [](std::size_t bytes) { return chunk("LIST", "INFO" + std::string(bytes, 'i')); };
    const std::string cbSizeZero = littleEndian(0, 2);

    WaveFormat extensibleAs = extensible24;
    extensibleAs.tag = 0xFFFE;
    WaveFormat extensibleMuLawAs = extensibleMuLaw;
    extensibleMuLawAs.tag = 0xFFFE;
    std::string unregisteredGuid = extensibleFields(extensible24);
    unregisteredGuid[39] = '\x72';

    return {
        {"Pcm8",
         wave({chunk("fmt ", formatFields(pcm8)), audio(8000)}),
         WavProblem::None,
         pcm8,
         16,
         {},
         8000,
         1.0},
        {"Pcm16Stereo",
         wave({chunk("fmt ", formatFields(pcm16Stereo)), audio(17640)}),
         WavProblem::None,
         pcm16Stereo,
         16,
         {},
         17640,
         0.1},
        {"Pcm24",
         wave({chunk("fmt ", formatFields(pcm24)), audio(14400)}),
         WavProblem::None,
         pcm24,
         16,
         {},
         14400,
         0.1},
        {"Pcm32",
         wave({chunk("fmt ", formatFields(pcm32)), audio(12800)}),
         WavProblem::None,
         pcm32,
         16,
         {},
         12800,
         0.1},
        {"FloatWithFact",
         wave({chunk("fmt ", formatFields(float32, cbSizeZero)), factChunk(2205), audio(8820)}),
         WavProblem::None,
         float32,
         16,
         {},
         8820,
         0.1},
        {"ExtensiblePcm", wave({chunk("fmt ", extensibleFields(extensible24)), audio(28800)}),
         WavProblem::None, extensibleAs, 16, 1, 28800, 0.1},
        {"ExtensibleMuLaw",
         wave({chunk("fmt ", extensibleFields(extensibleMuLaw)), factChunk(800), audio(800)}),
         WavProblem::None, extensibleMuLawAs, 16, 7, 800, 0.1},
        {"ExtensibleUnregisteredGuidCountsByFact",
         wave({chunk("fmt ", unregisteredGuid), factChunk(4800), audio(28800)}),
         WavProblem::None,
         extensibleAs,
         16,
         {},
         28800,
         0.1},
        {"MuLawWithFact",
         wave({chunk("fmt ", formatFields(muLaw, cbSizeZero)), factChunk(4000), audio(4000)}),
         WavProblem::None,
         muLaw,
         16,
         {},
         4000,
         0.5},
        {"ALawWithFact",
         wave({chunk("fmt ", formatFields(aLaw, cbSizeZero)), factChunk(12000), audio(12000)}),
         WavProblem::None,
         aLaw,
         16,
         {},
         12000,
         1.5},
        {"GsmCountsByFact",
         wave({chunk("fmt ", formatFields(gsm, littleEndian(2, 2) + littleEndian(320, 2))),
               factChunk(16000), audio(3250)}),
         WavProblem::None,
         gsm,
         16,
         {},
         3250,
         2.0},
        {"ImaAdpcmCountsByFact",
         wave({chunk("fmt ", formatFields(ima, littleEndian(2, 2) + littleEndian(505, 2))),
               factChunk(5050), audio(2560)}),
         WavProblem::None,
         ima,
         16,
         {},
         2560,
         0.63125},
        {"G726FactAfterTheData",
         wave({chunk("fmt ", formatFields(g726, cbSizeZero)), audio(4000), factChunk(8000)}),
         WavProblem::None,
         g726,
         16,
         {},
         4000,
         1.0},
        {"AdpcmWithoutFactHasNoDuration",
         wave({chunk("fmt ", formatFields(oki, cbSizeZero)), audio(4000)}),
         WavProblem::None,
         oki,
         16,
         {},
         4000},
        {"ListOf26First",
         wave({listOf(22), fmt16, audio(1600)}),
         WavProblem::None,
         pcm16,
         16,
         {},
         1600,
         0.1},
        {"ListOf4000First",
         wave({listOf(3996), fmt16, audio(1600)}),
         WavProblem::None,
         pcm16,
         16,
         {},
         1600,
         0.1},
        {"ListOf70000First",
         wave({listOf(69996), fmt16, audio(1600)}),
         WavProblem::None,
         pcm16,
         16,
         {},
         1600,
         0.1},
        {"ListOf1MiBFirst",
         wave({listOf(1 << 20), fmt16, audio(1600)}),
         WavProblem::None,
         pcm16,
         16,
         {},
         1600,
         0.1},
        {"DataBeforeFormat",
         wave({audio(1600), fmt16}),
         WavProblem::None,
         pcm16,
         16,
         {},
         1600,
         0.1},
        {"LongFormatChunk",
         wave(
             {chunk("fmt ", formatFields(pcm16, cbSizeZero + std::string(32, '\0'))), audio(1600)}),
         WavProblem::None,
         pcm16,
         16,
         {},
         1600,
         0.1},
        {"OldFormatWithoutBits",
         wave({chunk("fmt ", formatFields(gsm).substr(0, 14)), factChunk(320), audio(65)}),
         WavProblem::None,
         gsm,
         14,
         {},
         65,
         0.04},
        {"FourByteFormatChunk",
         riff("RIFF", "WAVE", {chunk("fmt ", formatFields(pcm16).substr(0, 4)), audio(1600)}),
         WavProblem::FormatChunkShort,
         pcm16,
         4,
         {},
         1600},
        {"PcmWithoutBits",
         wave({chunk("fmt ", formatFields(pcm16).substr(0, 14)), audio(1600)}),
         WavProblem::FormatChunkShort,
         pcm16,
         14,
         {},
         1600,
         0.1},
        {"ExtensibleWithoutGuid",
         wave({chunk("fmt ", extensibleFields(extensible24).substr(0, 18)), audio(28800)}),
         WavProblem::FormatChunkShort,
         extensibleAs,
         16,
         {},
         28800},
        {"TruncatedData",
         wave({fmt16, chunkHeader("data", 16000) + std::string(400, 'x')}),
         WavProblem::Truncated,
         pcm16,
         16,
         {},
         400,
         0.025},
        {"TruncatedCompressedHasNoDuration",
         wave({chunk("fmt ", formatFields(gsm, cbSizeZero)), factChunk(16000),
               chunkHeader("data", 3250) + std::string(650, 'x')}),
         WavProblem::Truncated,
         gsm,
         16,
         {},
         650},
        {"HeaderOnly", wave({fmt16}), WavProblem::NoData, pcm16},
        {"EmptyDataChunk", wave({fmt16, audio(0)}), WavProblem::NoData, pcm16, 16, {}, 0, 0.0},
        {"CutAfter22Bytes", wave({fmt16, audio(1600)}).substr(0, 22), WavProblem::HeaderTruncated,
         pcm16, 2},
        {"CutInsideThePreamble", std::string("RIFF\x24\x00\x00\x00WA", 10),
         WavProblem::HeaderTruncated},
        {"CutInsideAChunkHeader", wave({listOf(8)}) + "fm", WavProblem::HeaderTruncated},
        {"Rifx", rifx(pcm16, 1600), WavProblem::Rifx, pcm16, 16, {}, 1600, 0.1},
        {"Rf64", rf64(pcm16, 1600), WavProblem::Rf64, pcm16, 16, {}, 1600, 0.1},
        {"Rf64ClaimingAllSixtyFourBits",
         rf64(pcm16, 1600, ~std::uint64_t{0}),
         WavProblem::Rf64,
         pcm16,
         16,
         {},
         1600,
         0.1},
        {"Empty", "", WavProblem::Empty},
        {"TextFile", "Greetings recorded in March\n", WavProblem::NotRiff},
        {"Avi", riff("RIFF", "AVI ", {chunk("LIST", "hdrlavih")}), WavProblem::NotWave},
        {"NoFormatChunk",
         wave({listOf(8), audio(1600)}),
         WavProblem::NoFormatChunk,
         {},
         16,
         {},
         1600},
        {"ChunkLengthBeyondTheFile", wave({chunkHeader("JUNK", 0xFFFFFFF0u), fmt16}),
         WavProblem::NoFormatChunk},
        {"NoChannels",
         wave({chunk("fmt ", formatFields({.channels = 0})), audio(1600)}),
         WavProblem::InvalidFormat,
         WaveFormat{.channels = 0},
         16,
         {},
         1600},
        {"NoSampleRate",
         wave({chunk("fmt ", formatFields({.rate = 0})), audio(1600)}),
         WavProblem::InvalidFormat,
         WaveFormat{.rate = 0},
         16,
         {},
         1600},
        {"RiffLengthTooLong",
         "RIFF" + littleEndian(36 + 8 + 1600 + 100, 4) + "WAVE" + fmt16 + audio(1600),
         WavProblem::RiffLengthMismatch,
         pcm16,
         16,
         {},
         1600,
         0.1},
    };
}

void expectFacts(const FactsCase& row, const WavFacts& facts) {
    EXPECT_EQ(wavProblemCode(facts.problem), wavProblemCode(row.problem));
    const auto field = [&](std::size_t end, auto value) {
        return row.format && row.formatBytes >= end ? std::optional(value) : std::nullopt;
    };
    const WaveFormat format = row.format.value_or(WaveFormat{});
    EXPECT_EQ(facts.formatTag(), field(2, format.tag));
    EXPECT_EQ(facts.channels(), field(4, format.channels));
    EXPECT_EQ(facts.sampleRate(), field(8, format.rate));
    EXPECT_EQ(facts.byteRate(), field(12, format.bytesPerSecond()));
    EXPECT_EQ(facts.blockAlign(), field(14, format.align()));
    EXPECT_EQ(facts.bitsPerSample(), field(16, format.bits));
    EXPECT_EQ(facts.subFormatTag(), row.subFormatTag);
    EXPECT_EQ(facts.dataBytes(), row.dataBytes);
    ASSERT_EQ(facts.durationSeconds().has_value(), row.duration.has_value());
    if (row.duration) {
        EXPECT_NEAR(*facts.durationSeconds(), *row.duration, 1e-9);
    }
}

TEST(WavFacts, EveryFactAndEveryProblemOfGeneratedFiles) {
    for (const FactsCase& row : factsCases()) {
        SCOPED_TRACE(row.name);
        const MemoryByteSource memory(asBytes(row.bytes));
        const HeaderDecoding decoded = decodeWavHeader(memory, row.bytes.size());
        EXPECT_FALSE(decoded.factsFailure);
        expectFacts(row, decoded.facts);
    }
}

// Without the file's size the facts are those the chunks give: no data is known to be cut and
// no RIFF length to be wrong.
TEST(WavFacts, WithoutTheSizeOnlyTheChunksSpeak) {
    const std::string cut =
        wave({chunk("fmt ", formatFields({})), chunkHeader("data", 16000) + "xx"});
    const WavFacts facts = decodeWavHeader(MemoryByteSource(asBytes(cut))).facts;
    EXPECT_EQ(facts.problem, WavProblem::None);
    EXPECT_EQ(facts.dataBytes(), 16000u);
    EXPECT_NEAR(*facts.durationSeconds(), 1.0, 1e-9);
}

// Counts the reads a decoding asks for.
class CountingSource final : public ByteSource {
public:
    explicit CountingSource(std::string bytes) : bytes_(std::move(bytes)) {}
    Result<std::size_t> readAt(std::uint64_t offset, std::span<std::byte> buffer) const override {
        ++reads;
        return MemoryByteSource(asBytes(bytes_)).readAt(offset, buffer);
    }
    std::size_t size() const { return bytes_.size(); }
    mutable int reads = 0;

private:
    std::string bytes_;
};

TEST(WavFacts, TheUsualLayoutsTakeOneReadAndLongChunksOneEach) {
    const std::string fmt16 = chunk("fmt ", formatFields({}));
    const std::string list = chunk("LIST", std::string(1 << 20, 'i'));
    const std::string junk = chunk("JUNK", std::string(70000, 'j'));
    const struct {
        const char* name;
        std::string bytes;
        int reads;
    } rows[] = {
        {"Canonical", wave({fmt16, audio(16000)}), 1},
        {"FactAndList",
         wave({chunk("fmt ", formatFields({.tag = 7, .bits = 8}, littleEndian(0, 2))),
               factChunk(8000), chunk("LIST", "INFOISFT" + std::string(80, 's')), audio(8000)}),
         1},
        {"ShortFileWithoutData", wave({fmt16}), 1},
        {"FormatAfter1MiB", wave({list, fmt16, audio(16000)}), 2},
        {"TwoLongChunks", wave({list, junk, fmt16, audio(16000)}), 3},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        CountingSource source(row.bytes);
        const HeaderDecoding decoded = decodeWavHeader(source, source.size());
        EXPECT_EQ(source.reads, row.reads);
        EXPECT_EQ(decoded.facts.formatTag().has_value(), true);
    }
}

class FailingSource final : public ByteSource {
public:
    FailingSource(std::string bytes, int failFromRead)
        : bytes_(std::move(bytes)), failFromRead_(failFromRead) {}
    Result<std::size_t> readAt(std::uint64_t offset, std::span<std::byte> buffer) const override {
        if (++reads_ >= failFromRead_)
            return Failure::fromErrno(EIO);
        return MemoryByteSource(asBytes(bytes_)).readAt(offset, buffer);
    }

private:
    std::string bytes_;
    int failFromRead_;
    mutable int reads_ = 0;
};

// A failed read makes the file unreadable with the system's words; the row keeps the rules it
// had: a failure before the format chunk leaves the block zero and is reported, one after it is
// not the row's business.
TEST(WavFacts, AFailedReadIsUnreadableAndTheRowKeepsItsRules) {
    const std::string fmt16 = chunk("fmt ", formatFields({}));
    const HeaderDecoding first = decodeWavHeader(FailingSource(wave({fmt16, audio(8)}), 1));
    EXPECT_EQ(first.facts.problem, WavProblem::Unreadable);
    ASSERT_TRUE(first.factsFailure);
    EXPECT_EQ(first.factsFailure->code, EIO);
    EXPECT_EQ(first.header.kind, HeaderKind::NotWave);

    const HeaderDecoding beforeFormat = decodeWavHeader(
        FailingSource(wave({chunk("LIST", std::string(600, 'i')), fmt16, audio(8)}), 2));
    EXPECT_EQ(beforeFormat.facts.problem, WavProblem::Unreadable);
    ASSERT_TRUE(beforeFormat.readFailure);
    EXPECT_EQ(beforeFormat.header.kind, HeaderKind::Wave);
    EXPECT_EQ(beforeFormat.header.formatTag, 0);
    EXPECT_EQ(beforeFormat.header.sampleRate, 0);

    const HeaderDecoding afterFormat = decodeWavHeader(
        FailingSource(wave({fmt16, chunk("LIST", std::string(600, 'i')), audio(8)}), 2));
    EXPECT_EQ(afterFormat.facts.problem, WavProblem::Unreadable);
    EXPECT_TRUE(afterFormat.factsFailure);
    EXPECT_FALSE(afterFormat.readFailure);
    EXPECT_EQ(afterFormat.header.formatTag, 1);
    EXPECT_EQ(afterFormat.header.sampleRate, 8000);
}

TEST(WavFacts, ProblemCodesAreDistinctAndReadBack) {
    std::set<std::string_view> codes;
    for (int value = 1; value <= static_cast<int>(WavProblem::RiffLengthMismatch); ++value) {
        const auto problem = static_cast<WavProblem>(value);
        const std::string_view code = wavProblemCode(problem);
        EXPECT_FALSE(code.empty());
        EXPECT_TRUE(codes.insert(code).second) << code;
        EXPECT_EQ(wavProblemFromCode(code), problem);
    }
    EXPECT_EQ(wavProblemCode(WavProblem::None), "");
    EXPECT_FALSE(wavProblemFromCode("invalid"));
}

TEST(WavFormatNames, RegisteredTagsHaveNamesAndOthersNone) {
    const struct {
        std::uint16_t tag;
        std::string_view name;
    } rows[] = {
        {0x0001, "PCM"},
        {0x0003, "IEEE float"},
        {0x0007, "G.711 mu-law"},
        {0x0011, "IMA ADPCM"},
        {0x0022, "TrueSpeech"},
        {0x0055, "MPEG Layer 3"},
        {0x0064, "G.726 ADPCM"},
        {0x0065, "G.722 ADPCM"},
        {0x2000, "DVM"},
        {0xFFFE, "Extensible"},
        {0x0008, ""},
        {0x1234, ""},
        {0xFFFF, ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(wavFormatName(row.tag), row.name) << row.tag;
    // Every tag the Codec cell names has a language-neutral name too.
    for (int tag = 0; tag <= 0xFFFF; ++tag) {
        const auto signedTag = static_cast<std::int16_t>(static_cast<std::uint16_t>(tag));
        if (strCodecNameFromID(signedTag).rfind("Unknown Codec=", 0) != 0) {
            EXPECT_FALSE(wavFormatName(static_cast<std::uint16_t>(tag)).empty()) << tag;
        }
    }
}

} // namespace
} // namespace tambrel
