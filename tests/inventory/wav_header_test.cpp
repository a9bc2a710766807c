#include "inventory/wav_header.h"
#include "platform/testing/file_tricks.h"
#include "tests/inventory/wav_fixtures.h"
#include "tests/support/temporary_folder.h"

#include <climits>
#include <gtest/gtest.h>

namespace tambrel {
namespace {

using testing::canonicalWave;
using testing::chunk;
using testing::chunkHeader;
using testing::formatPayload;
using testing::riff;

struct HeaderCase {
    const char* name;
    std::string bytes;
    HeaderKind kind;
    std::int16_t formatTag;
    std::int32_t sampleRate;
};

std::span<const std::byte> asBytes(const std::string& text) {
    return std::as_bytes(std::span<const char>(text.data(), text.size()));
}

std::vector<HeaderCase> headerCases() {
    const std::string data = chunk("data", std::string(32, '\x80'));
    return {
        {"CanonicalPcm8000", canonicalWave(1, 8000), HeaderKind::Wave, 1, 8000},
        {"LowerCaseRiffTag", riff("riff", "WAVE", {chunk("fmt ", formatPayload(7, 8000))}),
         HeaderKind::Wave, 7, 8000},
        {"BigEndianRifx", riff("RIFX", "WAVE", {chunk("fmt ", formatPayload(1, 8000))}),
         HeaderKind::NotWave, 0, 0},
        {"TextFile", "These are the notes of the greetings recorded in March.\n",
         HeaderKind::NotWave, 0, 0},
        {"EmptyFile", "", HeaderKind::NotWave, 0, 0},
        {"ThreeBytes", "RIF", HeaderKind::NotWave, 0, 0},
        {"OnlyTheTag", "RIFF", HeaderKind::Wave, 0, 0},
        {"TwentyTwoBytes", canonicalWave(0x31, 8000).substr(0, 22), HeaderKind::Wave, 0x31, 0},
        {"CutInsideTheRate", canonicalWave(1, 0x1F40).substr(0, 25), HeaderKind::Wave, 1, 0x40},
        {"UnlistedTagFFFE", canonicalWave(0xFFFE, 8000), HeaderKind::Wave, -2, 8000},
        {"RateWithTopBitSet", canonicalWave(1, 0x80000000u), HeaderKind::Wave, 1, INT_MIN},
        {"ListChunkFirst",
         riff("RIFF", "WAVE",
              {chunk("LIST", "INFOISFTsound recorder 2.1"), chunk("fmt ", formatPayload(6, 8000)),
               data}),
         HeaderKind::Wave, 6, 8000},
        {"JunkChunkFirst",
         riff("RIFF", "WAVE",
              {chunk("JUNK", std::string(28, '\0')), chunk("fmt ", formatPayload(0x31, 8000)),
               data}),
         HeaderKind::Wave, 0x31, 8000},
        {"BroadcastExtensionFirst",
         riff("RIFF", "WAVE",
              {chunk("bext", std::string(602, ' ')), chunk("fmt ", formatPayload(1, 44100)), data}),
         HeaderKind::Wave, 1, 44100},
        {"OddChunkIsPadded",
         riff("RIFF", "WAVE",
              {chunk("LIST", "INFOx"), chunk("fmt ", formatPayload(0x0111, 11025)), data}),
         HeaderKind::Wave, 0x0111, 11025},
        {"FormatChunkBeyondTheFirstWindow",
         riff("RIFF", "WAVE",
              {chunk("JUNK", std::string(10000, 'j')), chunk("fmt ", formatPayload(2, 22050))}),
         HeaderKind::Wave, 2, 22050},
        {"FormatChunkCutShort", riff("RIFF", "WAVE", {chunk("LIST", "INFO"), "fmt "}),
         HeaderKind::NotWave, 0, 0},
        {"FormatChunkWithoutFields",
         riff("RIFF", "WAVE", {chunk("LIST", "INFO"), chunkHeader("fmt ", 16)}), HeaderKind::Wave,
         0, 0},
        {"FormatChunkShorterThanItsFields",
         riff("RIFF", "WAVE",
              {chunk("LIST", "INFO"), chunk("fmt ", formatPayload(7, 8000).substr(0, 4))}),
         HeaderKind::Wave, 7, 0},
        {"AviFile", riff("RIFF", "AVI ", {chunk("LIST", "hdrlavih")}), HeaderKind::NotWave, 0, 0},
        {"WaveWithoutFormatChunk", riff("RIFF", "WAVE", {chunk("LIST", "INFO"), data}),
         HeaderKind::NotWave, 0, 0},
        {"ChunkLengthOverflowsTheSearch",
         riff("RIFF", "WAVE",
              {chunkHeader("JUNK", 0xFFFFFFF0u), chunk("fmt ", formatPayload(1, 8000))}),
         HeaderKind::NotWave, 0, 0},
        // The rate lies beyond a 4-byte format chunk, in the next chunk's id: it is not taken.
        {"FourByteFormatChunkFirst",
         riff("RIFF", "WAVE", {chunk("fmt ", formatPayload(1, 8000).substr(0, 4)), data}),
         HeaderKind::Wave, 1, 0},
        // The facts find this format chunk; the row keeps to the first 64 KiB.
        {"FormatChunkBeyond1MiB",
         riff("RIFF", "WAVE",
              {chunk("LIST", std::string(1 << 20, 'i')), chunk("fmt ", formatPayload(1, 8000))}),
         HeaderKind::NotWave, 0, 0},
        {"FormatChunkBeyond64KiB",
         riff("RIFF", "WAVE",
              {chunk("JUNK", std::string(70000, 'j')), chunk("fmt ", formatPayload(1, 8000))}),
         HeaderKind::NotWave, 0, 0},
    };
}

TEST(WavHeader, DecodesEveryLayoutFromMemoryAndFromFiles) {
    testing::TemporaryFolder folder;
    for (const HeaderCase& row : headerCases()) {
        SCOPED_TRACE(row.name);
        MemoryByteSource memory(asBytes(row.bytes));
        HeaderDecoding decoded = decodeWavHeader(memory);
        EXPECT_FALSE(decoded.readFailure);
        EXPECT_EQ(decoded.header.kind, row.kind);
        EXPECT_EQ(decoded.header.formatTag, row.formatTag);
        EXPECT_EQ(decoded.header.sampleRate, row.sampleRate);

        const std::string path = folder.write(std::string(row.name) + ".wav", row.bytes).string();
        FileHeaderReading file = readFileHeader(path);
        EXPECT_TRUE(file.opened);
        EXPECT_TRUE(file.failures.empty());
        EXPECT_EQ(file.header.kind, row.kind);
        EXPECT_EQ(file.header.formatTag, row.formatTag);
        EXPECT_EQ(file.header.sampleRate, row.sampleRate);
        ASSERT_TRUE(file.status);
        EXPECT_EQ(file.status->size, static_cast<std::int64_t>(row.bytes.size()));
    }
}

// Counts the reads a decoding asks for: canonical files must cost the single header read.
class CountingSource final : public ByteSource {
public:
    explicit CountingSource(std::string bytes)
        : bytes_(std::move(bytes)), memory_(asBytes(bytes_)) {}
    Result<std::size_t> readAt(std::uint64_t offset, std::span<std::byte> buffer) const override {
        ++reads;
        return memory_.readAt(offset, buffer);
    }
    mutable int reads = 0;

private:
    std::string bytes_;
    MemoryByteSource memory_;
};

TEST(WavHeader, CanonicalFilesTakeOneReadAndLeadingChunksOneMore) {
    CountingSource canonical(canonicalWave(1, 8000));
    (void)decodeWavHeader(canonical);
    EXPECT_EQ(canonical.reads, 1);

    CountingSource listFirst(
        riff("RIFF", "WAVE",
             {chunk("LIST", std::string(2000, 'i')), chunk("fmt ", formatPayload(1, 8000))}));
    (void)decodeWavHeader(listFirst);
    EXPECT_EQ(listFirst.reads, 2);
}

class FailingSource final : public ByteSource {
public:
    explicit FailingSource(std::string bytes, int failFromRead)
        : bytes_(std::move(bytes)), memory_(asBytes(bytes_)), failFromRead_(failFromRead) {}
    Result<std::size_t> readAt(std::uint64_t offset, std::span<std::byte> buffer) const override {
        if (++reads_ >= failFromRead_)
            return Failure::fromErrno(EIO);
        return memory_.readAt(offset, buffer);
    }

private:
    std::string bytes_;
    MemoryByteSource memory_;
    int failFromRead_;
    mutable int reads_ = 0;
};

TEST(WavHeader, AFailedFirstReadIsNoWavFileAndAFailedChunkReadLeavesTheBlockZero) {
    HeaderDecoding first = decodeWavHeader(FailingSource(canonicalWave(1, 8000), 1));
    ASSERT_TRUE(first.readFailure);
    EXPECT_EQ(first.readFailure->code, EIO);
    EXPECT_EQ(first.header.kind, HeaderKind::NotWave);

    HeaderDecoding walk = decodeWavHeader(FailingSource(
        riff("RIFF", "WAVE",
             {chunk("LIST", std::string(600, 'i')), chunk("fmt ", formatPayload(1, 8000))}),
        2));
    ASSERT_TRUE(walk.readFailure);
    EXPECT_EQ(walk.header.kind, HeaderKind::Wave);
    EXPECT_EQ(walk.header.formatTag, 0);
    EXPECT_EQ(walk.header.sampleRate, 0);
}

TEST(WavHeader, AMissingFileFailsOnceAtTheOpen) {
    testing::TemporaryFolder folder;
    FileHeaderReading reading = readFileHeader((folder / "gone.wav").string());
    EXPECT_FALSE(reading.opened);
    ASSERT_EQ(reading.failures.size(), 1u);
    EXPECT_EQ(reading.failures[0].code, ENOENT);
    EXPECT_FALSE(reading.status);
    EXPECT_EQ(reading.header.kind, HeaderKind::NotWave);
}

TEST(WavHeader, AFifoNeverBlocksTheRead) {
    testing::TemporaryFolder folder;
    const std::string path = (folder / "pipe.wav").string();
    if (!testing::makeFifo(path))
        GTEST_SKIP() << "no FIFOs on this system";
    FileHeaderReading reading = readFileHeader(path);
    EXPECT_TRUE(reading.opened);
    EXPECT_EQ(reading.header.kind, HeaderKind::NotWave);
    EXPECT_TRUE(reading.status);
}

} // namespace
} // namespace tambrel
