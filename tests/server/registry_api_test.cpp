// ReadRegistryValue against system.reg files in a Wine prefix of the test's own: the kinds and
// their buffer limits, the 32-bit view, and registry files that cannot serve.
#include "platform/testing/file_tricks.h"
#include "server/registry_api.h"
#include "tests/server/registry_fixture.h"
#include "tests/server/registry_kind_cases.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <ostream>

namespace tambrel {
namespace {

using testing::ScopedWinePrefix;

const char* const kKey = "Software\\Quillan\\Brannock Setup\\1.0\\Properties";
const char* const kKeyLine =
    "[Software\\\\Quillan\\\\Brannock Setup\\\\1.0\\\\Properties] 1700000000\n";

class RegistryKinds : public ::testing::TestWithParam<testing::KindCase> {};

TEST_P(RegistryKinds, GiveTheValueWithinTheirBuffer) {
    const testing::KindCase& row = GetParam();
    ScopedWinePrefix prefix;
    prefix.writeMachineRegistry(std::string(kKeyLine) + "\"v\"=" + row.valueLine + "\n");
    const Result<RegistryValue> value = ReadRegistryValue(HKeyLocalMachine, kKey, "v", row.kind);
    ASSERT_TRUE(value.ok()) << value.failure().description;
    EXPECT_EQ(*value, row.expected);
}

const RegistryValue kEmpty{};

INSTANTIATE_TEST_SUITE_P(Kinds, RegistryKinds, ::testing::ValuesIn(testing::registryKindCases()),
                         [](const ::testing::TestParamInfo<testing::KindCase>& info) {
                             return info.param.name;
                         });

TEST(ReadRegistryValue, UnsupportedKindFailsOnAnOpenedKey) {
    ScopedWinePrefix prefix;
    prefix.writeMachineRegistry(std::string(kKeyLine) + "\"v\"=str(2):\"x\"\n");
    for (const std::int16_t kind : {0, 2, 7, 11, -1}) {
        const Result<RegistryValue> value = ReadRegistryValue(HKeyLocalMachine, kKey, "v", kind);
        ASSERT_FALSE(value.ok()) << kind;
        EXPECT_EQ(value.failure().code, 1001);
        EXPECT_EQ(value.failure().description, "Unsupported value type");
    }
    // A key that cannot be opened returns before the kind is looked at.
    const Result<RegistryValue> missingKey =
        ReadRegistryValue(HKeyLocalMachine, "Software\\Nobody", "v", 2);
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
    for (const std::int16_t kind : {RegSz, RegBinary, RegDword}) {
        const Result<RegistryValue> value =
            ReadRegistryValue(HKeyLocalMachine, row.keyPath, row.valueName, kind, fallback);
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
        ReadRegistryValue(HKeyLocalMachine, "Software\\Quillan\\", "Version Number", RegDword);
    ASSERT_TRUE(value.ok());
    EXPECT_EQ(*value, RegistryValue(std::int32_t{0x30000}));
}

TEST(ReadRegistryValue, SixtyFourBitKeyComesFirst) {
    ScopedWinePrefix prefix;
    prefix.writeMachineRegistry("[Software\\\\Wow6432Node\\\\Quillan] 1\n\"v\"=\"thirty-two\"\n"
                                "[Software\\\\Quillan] 1\n\"v\"=\"sixty-four\"\n");
    const Result<RegistryValue> value =
        ReadRegistryValue(HKeyLocalMachine, "software\\quillan", "V", RegSz);
    ASSERT_TRUE(value.ok());
    EXPECT_EQ(*value, RegistryValue(std::string("sixty-four")));
}

TEST(ReadRegistryValue, OtherRootsHaveNoFile) {
    ScopedWinePrefix prefix;
    prefix.writeMachineRegistry("[Software\\\\Quillan] 1\n\"v\"=dword:1\n");
    const Result<RegistryValue> value =
        ReadRegistryValue(0x80000001u, "Software\\Quillan", "v", RegDword);
    ASSERT_TRUE(value.ok());
    EXPECT_EQ(*value, kEmpty);
}

TEST(ReadRegistryValue, RegistryFileThatIsNoRegularFileIsMissing) {
    ScopedWinePrefix prefix;
    std::filesystem::create_directory(prefix.folder() / "system.reg");
    Result<RegistryValue> value = ReadRegistryValue(HKeyLocalMachine, "Software", "v", RegSz);
    ASSERT_TRUE(value.ok());
    EXPECT_EQ(*value, kEmpty);

    std::filesystem::remove(prefix.folder() / "system.reg");
    ASSERT_TRUE(testing::makeFifo(prefix.folder() / "system.reg"));
    value = ReadRegistryValue(HKeyLocalMachine, "Software", "v", RegSz); // must not block
    ASSERT_TRUE(value.ok());
    EXPECT_EQ(*value, kEmpty);
}

TEST(ReadRegistryValue, RegistryFileIsLeftAsItWas) {
    ScopedWinePrefix prefix;
    prefix.writeMachineRegistry(std::string(kKeyLine) + "\"v\"=\"x\"\n");
    const std::filesystem::path file = prefix.folder() / "system.reg";
    const std::string before = testing::readFile(file);
    const auto writtenBefore = std::filesystem::last_write_time(file);
    ASSERT_TRUE(ReadRegistryValue(HKeyLocalMachine, kKey, "v", RegSz).ok());
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
