// system.reg rewritten while the program reads it: replaced whole by a rename, or cut and
// written again in place. A read sees the old file, the new one or a part of either; a value
// read from it must be one that a whole file holds, or none at all, never a torn one.
#include "platform/registry/registry_file.h"
#include "server/registry_api.h"
#include "tests/server/registry_fixture.h"

#include <atomic>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>

namespace tambrel {
namespace {

namespace fs = std::filesystem;
using testing::registryFileText;
using testing::ScopedWinePrefix;

constexpr std::string_view kKey = "Software\\Quillan\\Brannock Setup\\1.0\\Properties";

// One version of the file: the lines of its key and the values they hold.
struct RegistryVersion {
    std::string lines;
    std::string rootPath;
    std::int32_t port;
    std::vector<std::uint8_t> key;
};

// Values of different lengths in every kind, so that neither version's value begins the
// other's and a cut-off value never equals a whole one.
const RegistryVersion kVersions[] = {
    {"[Software\\\\Quillan\\\\Brannock Setup\\\\1.0\\\\Properties] 1700000000\n"
     "\"BrannockRootPath\"=\"C:\\\\Corvel\"\n"
     "\"Port\"=dword:00c0ffee\n"
     "\"Key\"=hex:01,02,03,04,05,06,07,08\n"
     "\"Comment\"=str:\"first\"\n",
     "C:\\Corvel",
     0x00c0ffee,
     {1, 2, 3, 4, 5, 6, 7, 8}},
    {"[Software\\\\Quillan\\\\Brannock Setup\\\\1.0\\\\Properties] 1700000001\n"
     "\"BrannockRootPath\"=\"D:\\\\Servers\\\\Corvel Two\"\n"
     "\"Port\"=dword:00000019\n"
     "\"Key\"=hex:f0,e1,d2,\\\n  c3,b4\n"
     "\"Comment\"=str:\"second, and longer\"\n",
     "D:\\Servers\\Corvel Two",
     0x19,
     {0xf0, 0xe1, 0xd2, 0xc3, 0xb4}},
};

enum class Seen { Absent, First, Second, Torn };

struct Reading {
    Seen rootPath, port, key;
};

template <typename T> Seen classify(const T& value, const T& first, const T& second) {
    if (value == first)
        return Seen::First;
    if (value == second)
        return Seen::Second;
    return Seen::Torn;
}

const char* nameOf(Seen seen) {
    switch (seen) {
    case Seen::Absent:
        return "absent";
    case Seen::First:
        return "first";
    case Seen::Second:
        return "second";
    case Seen::Torn:
        return "TORN";
    }
    return "?";
}

// Reads the three values and says which version each came from. A value that is not there
// comes back as the empty default.
Reading readAll() {
    Reading reading{};
    const Result<RegistryValue> root =
        ReadRegistryValue(HKeyLocalMachine, kKey, "BrannockRootPath", RegSz);
    const Result<RegistryValue> port = ReadRegistryValue(HKeyLocalMachine, kKey, "Port", RegDword);
    const Result<RegistryValue> key = ReadRegistryValue(HKeyLocalMachine, kKey, "Key", RegBinary);
    auto absent = [](const Result<RegistryValue>& value) {
        return !value || std::holds_alternative<std::monostate>(value.value());
    };
    reading.rootPath = absent(root) ? Seen::Absent
                                    : classify(registryValueAsText(root.value()),
                                               kVersions[0].rootPath, kVersions[1].rootPath);
    reading.port = absent(port) ? Seen::Absent
                                : classify(registryValueAsNumber(port.value()), kVersions[0].port,
                                           kVersions[1].port);
    const auto* bytes = key ? std::get_if<std::vector<std::uint8_t>>(&key.value()) : nullptr;
    reading.key = absent(key) ? Seen::Absent
                  : bytes     ? classify(*bytes, kVersions[0].key, kVersions[1].key)
                              : Seen::Torn;
    return reading;
}

// The file a reader finds when it comes while an editor cuts the file and writes it anew: every
// length of the new text, from nothing to all of it.
TEST(RegistryRewrite, EveryCutOfAFileGivesAWholeValueOrNone) {
    ScopedWinePrefix prefix;
    for (std::size_t version = 0; version < std::size(kVersions); ++version) {
        const std::string text = registryFileText(kVersions[version].lines);
        const Seen whole = version == 0 ? Seen::First : Seen::Second;
        for (std::size_t length = 0; length <= text.size(); ++length) {
            prefix.writeMachineRegistryBytes(std::string_view(text).substr(0, length));
            const Reading reading = readAll();
            for (const auto& [name, seen] :
                 {std::pair{"BrannockRootPath", reading.rootPath}, std::pair{"Port", reading.port},
                  std::pair{"Key", reading.key}}) {
                EXPECT_TRUE(seen == Seen::Absent || seen == whole)
                    << name << " was " << nameOf(seen) << " in the file cut after " << length
                    << " bytes:\n"
                    << text.substr(0, length);
            }
        }
        // The whole file gives every value.
        prefix.writeMachineRegistryBytes(text);
        const Reading reading = readAll();
        EXPECT_EQ(reading.rootPath, whole);
        EXPECT_EQ(reading.port, whole);
        EXPECT_EQ(reading.key, whole);
    }
}

struct LastLineCase {
    const char* name;
    const char* valueLine; // the file's last line, as the end of the file leaves it
    std::optional<StoredRegistryValue> value;
};

// The last line of a file, with and without its line break: a number or a byte list cut
// there could lack digits, a string is whole only with its closing quote.
const LastLineCase kLastLineCases[] = {
    {"NumberWithItsLineBreak", "\"v\"=dword:00030000\n",
     StoredRegistryValue{4, {0x00, 0x00, 0x03, 0x00}}},
    {"NumberWithoutItsLineBreak", "\"v\"=dword:00030000", std::nullopt},
    {"NumberCutShort", "\"v\"=dword:0003", std::nullopt},
    {"NumberCutAtACarriageReturn", "\"v\"=dword:00030000\r", std::nullopt},
    {"BytesWithTheirLineBreak", "\"v\"=hex:01,02\n", StoredRegistryValue{3, {1, 2}}},
    {"BytesCutShort", "\"v\"=hex:01,0", std::nullopt},
    {"TypedBytesCutShort", "\"v\"=hex(7):41,00,4", std::nullopt},
    {"ContinuedBytesCutShort", "\"v\"=hex:01,02,\\\n  03,0", std::nullopt},
    {"ContinuedBytesWithTheirLineBreak", "\"v\"=hex:01,02,\\\n  03,04\n",
     StoredRegistryValue{3, {1, 2, 3, 4}}},
    {"StringWithItsQuoteButNoLineBreak", "\"v\"=\"ab\"",
     StoredRegistryValue{1, {'a', 0, 'b', 0, 0, 0}}},
    {"StringCutBeforeItsQuote", "\"v\"=\"ab", std::nullopt},
    {"StringCutInsideAnEscape", "\"v\"=\"a\\", std::nullopt},
    {"TypedStringCutBeforeItsQuote", "\"v\"=str(2):\"ab", std::nullopt},
};

TEST(RegistryRewrite, ALastLineCutByTheEndOfTheFileGivesNoTornValue) {
    const std::vector<std::u16string> keys = {u"K"};
    for (const LastLineCase& last : kLastLineCases) {
        SCOPED_TRACE(last.name);
        const std::string text = registryFileText(std::string("[K]\n") + last.valueLine);
        const RegistryLookup lookup = lookupRegistryValue(text, keys, u"V");
        EXPECT_EQ(lookup.key, RegistryKeyPresence::Present);
        EXPECT_EQ(lookup.value, last.value);
    }
}

// A writer rewrites the file without pause, by rename and in place in turn, while the test
// reads; the count of reads bounds the test, not a clock.
TEST(RegistryRewrite, ReadsDuringRewritesSeeOneVersionOrNothing) {
    ScopedWinePrefix prefix;
    const fs::path path = prefix.folder() / "system.reg";
    const fs::path staging = prefix.folder() / "system.reg.new";
    const std::string texts[] = {registryFileText(kVersions[0].lines),
                                 registryFileText(kVersions[1].lines)};
    prefix.writeMachineRegistryBytes(texts[0]);

    std::atomic<bool> stop = false;
    std::atomic<int> writerFailures = 0;
    std::atomic<long> rewrites = 0;
    std::thread writer([&] {
        for (long round = 0; !stop.load(); ++round) {
            const std::string& text = texts[round % 2];
            if ((round / 2) % 2 == 0) {
                // Replaced whole: a reader sees the old file or the new one.
                bool written = false;
                {
                    std::ofstream out(staging, std::ios::binary | std::ios::trunc);
                    written = static_cast<bool>(
                        out.write(text.data(), static_cast<std::streamsize>(text.size())));
                }
                std::error_code renamed;
                if (written)
                    fs::rename(staging, path, renamed);
                if (!written || renamed)
                    ++writerFailures;
            } else {
                // Cut and written again line by line, as an editor saving in place may do.
                // Each line goes to the file with a write of its own.
                std::ofstream out(path, std::ios::binary | std::ios::trunc);
                bool written = static_cast<bool>(out);
                for (std::size_t start = 0; written && start < text.size();) {
                    const std::size_t end = std::min(text.find('\n', start), text.size() - 1) + 1;
                    written = static_cast<bool>(
                        out.write(text.data() + start, static_cast<std::streamsize>(end - start))
                            .flush());
                    start = end;
                }
                out.close();
                if (!written)
                    ++writerFailures;
            }
            ++rewrites;
        }
    });

    int torn = 0;
    int absent = 0;
    int whole[2] = {0, 0};
    for (int read = 0; read < 2000; ++read) {
        const Reading reading = readAll();
        for (Seen seen : {reading.rootPath, reading.port, reading.key}) {
            if (seen == Seen::Torn)
                ++torn;
            else if (seen == Seen::Absent)
                ++absent;
            else
                ++whole[seen == Seen::First ? 0 : 1];
        }
    }
    stop = true;
    writer.join();

    EXPECT_EQ(writerFailures.load(), 0);
    EXPECT_EQ(torn, 0) << "values from no whole file; " << whole[0] << " first, " << whole[1]
                       << " second, " << absent << " absent, " << rewrites.load() << " rewrites";
    // Once the writer has stopped the file is whole again.
    const Reading last = readAll();
    EXPECT_NE(last.rootPath, Seen::Absent);
    EXPECT_EQ(last.rootPath, last.port);
    EXPECT_EQ(last.rootPath, last.key);
}

} // namespace
} // namespace tambrel
