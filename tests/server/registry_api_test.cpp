// ReadRegistryValue against system.reg files in a Wine prefix of the test's own: the kinds and
// their buffer limits, the 32-bit view, and registry files that cannot serve.
#include "server/registry_api.h"
#include "tests/server/registry_fixture.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <ostream>
#include <sys/stat.h>

namespace tambrel {
namespace {

using testing::ScopedWinePrefix;

const char* const kKey = "Software\\Quillan\\Brannock Setup\\1.0\\Properties";
const char* const kKeyLine =
    "[Software\\\\Quillan\\\\Brannock Setup\\\\1.0\\\\Properties] 1700000000\n";

std::string repeat(std::size_t count, std::string_view piece) {
    std::string text;
    for (std::size_t index = 0; index < count; ++index)
        text += piece;
    return text;
}

std::string hexList(std::size_t count, const char* byte) {
    std::string list;
    for (std::size_t index = 0; index < count; ++index)
        list += index == 0 ? byte : std::string(",") + byte;
    return list;
}

struct KindCase {
    const char* name;
    std::string valueLine; // the data after "v"=
    std::int16_t kind;
    RegistryValue expected;
};

void PrintTo(const KindCase& row, std::ostream* out) {
    *out << row.name;
}

class RegistryKinds : public ::testing::TestWithParam<KindCase> {};

TEST_P(RegistryKinds, GiveTheValueWithinTheirBuffer) {
    const KindCase& row = GetParam();
    ScopedWinePrefix prefix;
    prefix.writeMachineRegistry(std::string(kKeyLine) + "\"v\"=" + row.valueLine + "\n");
    const Result<RegistryValue> value = ReadRegistryValue(HKEY_LOCAL_MACHINE, kKey, "v", row.kind);
    ASSERT_TRUE(value.ok()) << value.failure().description;
    EXPECT_EQ(*value, row.expected);
}

const RegistryValue kEmpty{};

INSTANTIATE_TEST_SUITE_P(
    Kinds, RegistryKinds,
    ::testing::Values(
        KindCase{"TextOf1023Characters", "\"" + std::string(1023, 'a') + "\"", REG_SZ,
                 std::string(1023, 'a')},
        KindCase{"TextOf1024CharactersTooLong", "\"" + std::string(1024, 'a') + "\"", REG_SZ,
                 kEmpty},
        // The buffer counts UTF-8 bytes: 511 two-byte letters and one more byte fill it.
        KindCase{"MultibyteTextFillingTheBuffer", "\"" + repeat(511, "\\xe4") + "z\"", REG_SZ,
                 repeat(511, "\xc3\xa4") + "z"},
        KindCase{"MultibyteTextOverTheBuffer", "\"" + repeat(512, "\\xe4") + "\"", REG_SZ, kEmpty},
        KindCase{"TextInUtf8", "\"Gr\\xfc\\x00dfe \\x20ac\"", REG_SZ,
                 std::string("Gr\xc3\xbc\xc3\x9f"
                             "e \xe2\x82\xac")},
        KindCase{"EmptyText", "\"\"", REG_SZ, std::string()},
        KindCase{"TextStoredWithNoBytes", "hex(1):", REG_SZ, std::string()},
        KindCase{"TextWithoutTerminatorKeepsItsLastCharacter", "hex(1):41,00,42,00", REG_SZ,
                 std::string("AB")},
        KindCase{"TextEndsAtFirstNul", "str(7):\"one\\0two\\0\"", REG_SZ, std::string("one")},
        KindCase{"ExpandableTextUnexpanded", "str(2):\"%SystemRoot%\"", REG_SZ,
                 std::string("%SystemRoot%")},
        KindCase{"NumberReadAsTextTakesItsBytes", "dword:00003231", REG_SZ, std::string("12")},
        KindCase{"Number", "dword:00030000", REG_DWORD, std::int32_t{0x30000}},
        KindCase{"AllOnesIsMinusOne", "dword:ffffffff", REG_DWORD, std::int32_t{-1}},
        KindCase{"ShortDataZeroExtended", "hex(4):01,02", REG_DWORD, std::int32_t{0x0201}},
        KindCase{"NoDataIsZero", "hex(4):", REG_DWORD, std::int32_t{0}},
        KindCase{"FiveBytesTooLongForANumber", "hex(4):01,02,03,04,05", REG_DWORD, kEmpty},
        KindCase{"EightByteNumberTooLong", "hex(b):01,00,00,00,00,00,00,00", REG_DWORD, kEmpty},
        KindCase{"TextReadAsNumberTakesItsBytes", "\"A\"", REG_DWORD, std::int32_t{0x41}},
        KindCase{"Bytes", "hex:de,ad,be,ef", REG_BINARY,
                 std::vector<std::uint8_t>{0xde, 0xad, 0xbe, 0xef}},
        KindCase{"BytesFilling4096", "hex:" + hexList(4096, "7f"), REG_BINARY,
                 std::vector<std::uint8_t>(4096, 0x7f)},
        KindCase{"Bytes4097TooLong", "hex:" + hexList(4097, "7f"), REG_BINARY, kEmpty},
        KindCase{"TextReadAsBytesIncludesItsNul", "\"ab\"", REG_BINARY,
                 std::vector<std::uint8_t>{'a', 'b', 0}}),
    [](const ::testing::TestParamInfo<KindCase>& info) { return info.param.name; });

TEST(ReadRegistryValue, UnsupportedKindFailsOnAnOpenedKey) {
    ScopedWinePrefix prefix;
    prefix.writeMachineRegistry(std::string(kKeyLine) + "\"v\"=str(2):\"x\"\n");
    for (const std::int16_t kind : {0, 2, 7, 11, -1}) {
        const Result<RegistryValue> value = ReadRegistryValue(HKEY_LOCAL_MACHINE, kKey, "v", kind);
        ASSERT_FALSE(value.ok()) << kind;
        EXPECT_EQ(value.failure().code, 1001);
        EXPECT_EQ(value.failure().description, "Unsupported value type");
    }
    // A key that cannot be opened returns before the kind is looked at.
    const Result<RegistryValue> missingKey =
        ReadRegistryValue(HKEY_LOCAL_MACHINE, "Software\\Nobody", "v", 2);
    ASSERT_TRUE(missingKey.ok());
    EXPECT_EQ(*missingKey, kEmpty);
}

struct DefaultCase {
    const char* name;
    std::string lines;
    std::string keyPath;
    std::string valueName;
};

void PrintTo(const DefaultCase& row, std::ostream* out) {
    *out << row.name;
}

class DefaultReturned : public ::testing::TestWithParam<DefaultCase> {};

TEST_P(DefaultReturned, WhenNothingCanBeRead) {
    const DefaultCase& row = GetParam();
    ScopedWinePrefix prefix;
    if (!row.lines.empty())
        prefix.writeMachineRegistry(row.lines);
    const RegistryValue fallback = std::string("fallback");
    for (const std::int16_t kind : {REG_SZ, REG_BINARY, REG_DWORD}) {
        const Result<RegistryValue> value =
            ReadRegistryValue(HKEY_LOCAL_MACHINE, row.keyPath, row.valueName, kind, fallback);
        ASSERT_TRUE(value.ok());
        EXPECT_EQ(*value, fallback) << kind;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Missing, DefaultReturned,
    ::testing::Values(DefaultCase{"NoRegistryFile", "", "Software\\Quillan", "Version Number"},
                      DefaultCase{"NoKey", "[Software\\\\Other] 1\n\"Version Number\"=dword:1\n",
                                  "Software\\Quillan", "Version Number"},
                      DefaultCase{"NoValue", "[Software\\\\Quillan] 1\n\"Build Number\"=dword:1\n",
                                  "Software\\Quillan", "Version Number"},
                      DefaultCase{"LeadingBackslash", "[Software\\\\Quillan] 1\n\"v\"=dword:1\n",
                                  "\\Software\\Quillan", "v"},
                      // The 64-bit key exists, so its 32-bit twin is not looked at.
                      DefaultCase{"ValueOnlyInTheOtherView",
                                  "[Software\\\\Quillan] 1\n\"a\"=dword:1\n"
                                  "[Software\\\\Wow6432Node\\\\Quillan] 1\n\"v\"=dword:1\n",
                                  "Software\\Quillan", "v"},
                      DefaultCase{
                          "NoOtherViewOutsideSoftware",
                          "[Software\\\\Wow6432Node\\\\System\\\\Quillan] 1\n\"v\"=dword:1\n",
                          "System\\Quillan", "v"}),
    [](const ::testing::TestParamInfo<DefaultCase>& info) { return info.param.name; });

TEST(ReadRegistryValue, ThirtyTwoBitViewServesAKeyAbsentFromSoftware) {
    ScopedWinePrefix prefix;
    prefix.writeMachineRegistry("[Software\\\\Wow6432Node\\\\Quillan] 1\n"
                                "\"Version Number\"=dword:00030000\n");
    const Result<RegistryValue> value =
        ReadRegistryValue(HKEY_LOCAL_MACHINE, "Software\\Quillan\\", "Version Number", REG_DWORD);
    ASSERT_TRUE(value.ok());
    EXPECT_EQ(*value, RegistryValue(std::int32_t{0x30000}));
}

TEST(ReadRegistryValue, SixtyFourBitKeyComesFirst) {
    ScopedWinePrefix prefix;
    prefix.writeMachineRegistry("[Software\\\\Wow6432Node\\\\Quillan] 1\n\"v\"=\"thirty-two\"\n"
                                "[Software\\\\Quillan] 1\n\"v\"=\"sixty-four\"\n");
    const Result<RegistryValue> value =
        ReadRegistryValue(HKEY_LOCAL_MACHINE, "software\\quillan", "V", REG_SZ);
    ASSERT_TRUE(value.ok());
    EXPECT_EQ(*value, RegistryValue(std::string("sixty-four")));
}

TEST(ReadRegistryValue, OtherRootsHaveNoFile) {
    ScopedWinePrefix prefix;
    prefix.writeMachineRegistry("[Software\\\\Quillan] 1\n\"v\"=dword:1\n");
    const Result<RegistryValue> value =
        ReadRegistryValue(0x80000001u, "Software\\Quillan", "v", REG_DWORD);
    ASSERT_TRUE(value.ok());
    EXPECT_EQ(*value, kEmpty);
}

TEST(ReadRegistryValue, RegistryFileThatIsNoRegularFileIsMissing) {
    ScopedWinePrefix prefix;
    std::filesystem::create_directory(prefix.folder() / "system.reg");
    Result<RegistryValue> value = ReadRegistryValue(HKEY_LOCAL_MACHINE, "Software", "v", REG_SZ);
    ASSERT_TRUE(value.ok());
    EXPECT_EQ(*value, kEmpty);

    std::filesystem::remove(prefix.folder() / "system.reg");
    ASSERT_EQ(::mkfifo((prefix.folder() / "system.reg").c_str(), 0600), 0);
    value = ReadRegistryValue(HKEY_LOCAL_MACHINE, "Software", "v", REG_SZ); // must not block
    ASSERT_TRUE(value.ok());
    EXPECT_EQ(*value, kEmpty);
}

TEST(ReadRegistryValue, RegistryFileIsLeftAsItWas) {
    ScopedWinePrefix prefix;
    prefix.writeMachineRegistry(std::string(kKeyLine) + "\"v\"=\"x\"\n");
    const std::filesystem::path file = prefix.folder() / "system.reg";
    const std::string before = testing::readFile(file);
    const auto writtenBefore = std::filesystem::last_write_time(file);
    ASSERT_TRUE(ReadRegistryValue(HKEY_LOCAL_MACHINE, kKey, "v", REG_SZ).ok());
    EXPECT_EQ(testing::readFile(file), before);
    EXPECT_EQ(std::filesystem::last_write_time(file), writtenBefore);
}

TEST(RegistryValueConversions, EmptyBecomesEmptyTextAndZero) {
    EXPECT_EQ(registryValueAsText(RegistryValue{}), "");
    EXPECT_EQ(registryValueAsNumber(RegistryValue{}), 0);
    EXPECT_EQ(registryValueAsText(RegistryValue{std::string("C:\\Corvel")}), "C:\\Corvel");
    EXPECT_EQ(registryValueAsNumber(RegistryValue{std::int32_t{-1}}), -1);
    EXPECT_EQ(registryValueAsText(RegistryValue{std::int32_t{-1}}), "-1");
}

} // namespace
} // namespace tambrel
