// The server version record: its digit-by-digit decoding and its reading from the registry.
#include "server/corvel_version.h"
#include "server/leading_number.h"
#include "tests/server/machine_registry.h"

#include <gtest/gtest.h>
#include <ostream>

namespace tambrel {
namespace {

struct VersionCase {
    const char* name;
    std::uint32_t versionNumber;
    std::uint32_t buildNumber;
    std::int16_t major;
    std::int16_t minor;
    std::int16_t buildMajor;
    std::int16_t buildMinor;
    const char* text;
};

void PrintTo(const VersionCase& row, std::ostream* out) {
    *out << row.name;
}

class CorvelVersionDecoding : public ::testing::TestWithParam<VersionCase> {};

TEST_P(CorvelVersionDecoding, ReadsEachGroup) {
    const VersionCase& row = GetParam();
    const Result<CorvelVersionInfo> info = decodeCorvelVersion(
        static_cast<std::int32_t>(row.versionNumber), static_cast<std::int32_t>(row.buildNumber));
    ASSERT_TRUE(info.ok()) << info.failure().description;
    EXPECT_EQ(info->Major, row.major);
    EXPECT_EQ(info->Minor, row.minor);
    EXPECT_EQ(info->BuildMajor, row.buildMajor);
    EXPECT_EQ(info->BuildMinor, row.buildMinor);
    EXPECT_EQ(info->VersionText, row.text);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, CorvelVersionDecoding,
    ::testing::Values(
        VersionCase{"Version3Build1_18", 0x00030000, 0x00010012, 3, 0, 1, 18, "3.0(1.18)"},
        VersionCase{"Version2", 0x00020009, 0, 2, 9, 0, 0, "2.9(0.0)"},
        VersionCase{"MinorDigitsAreDecimal", 0x00040010, 0, 4, 10, 0, 0, "4.10(0.0)"},
        VersionCase{"BuildMinorIsSignedHex", 0x00030000, 0x0001FFFF, 3, 0, 1, -1, "3.0(1.-1)"},
        VersionCase{"BuildMinorLowestValue", 0, 0x00008000, 0, 0, 0, -32768, "0.0(0.-32768)"},
        VersionCase{"Missing", 0, 0, 0, 0, 0, 0, "0.0(0.0)"},
        VersionCase{"GroupBeginningWithALetter", 0xFFFF0003, 0, 0, 3, 0, 0, "0.3(0.0)"},
        VersionCase{"DigitsEndAtALetter", 0x1A00A001, 0, 1, 0, 0, 0, "1.0(0.0)"},
        VersionCase{"ExponentE", 0x1E023E04, 0x1E01FFFF, 100, 30000, 10, -1, "100.30000(10.-1)"},
        VersionCase{"ExponentD", 0x1D020000, 0, 100, 0, 0, 0, "100.0(0.0)"},
        VersionCase{"ZeroWithAHugeExponent", 0x0E990000, 0, 0, 0, 0, 0, "0.0(0.0)"},
        VersionCase{"MarkerWithoutDigits", 0x001E1EAF, 0, 1, 1, 0, 0, "1.1(0.0)"}),
    [](const ::testing::TestParamInfo<VersionCase>& info) { return info.param.name; });

struct OverflowCase {
    const char* name;
    std::uint32_t versionNumber;
    std::uint32_t buildNumber;
};

void PrintTo(const OverflowCase& row, std::ostream* out) {
    *out << row.name;
}

class CorvelVersionOverflow : public ::testing::TestWithParam<OverflowCase> {};

TEST_P(CorvelVersionOverflow, FailsWithOverflow) {
    const OverflowCase& row = GetParam();
    const Result<CorvelVersionInfo> info = decodeCorvelVersion(
        static_cast<std::int32_t>(row.versionNumber), static_cast<std::int32_t>(row.buildNumber));
    ASSERT_FALSE(info.ok());
    EXPECT_EQ(info.failure().code, kOverflowError);
    EXPECT_EQ(info.failure().description, "Overflow");
}

INSTANTIATE_TEST_SUITE_P(Overflows, CorvelVersionOverflow,
                         ::testing::Values(OverflowCase{"Major9E99", 0x9E990000, 0},
                                           OverflowCase{"MinorJustOver", 0x00034E04, 0},
                                           OverflowCase{"BuildMajor1E05", 0x00030000, 0x1E050000}),
                         [](const ::testing::TestParamInfo<OverflowCase>& info) {
                             return info.param.name;
                         });

TEST(LeadingNumber, FollowsOrdinaryNumberNotation) {
    EXPECT_EQ(*readLeadingNumber("32767"), 32767);
    EXPECT_EQ(*readLeadingNumber("1e+2"), 100);
    EXPECT_EQ(*readLeadingNumber("25E-1"), 2); // 2.5 rounds to even
    EXPECT_EQ(*readLeadingNumber(""), 0);
    EXPECT_FALSE(readLeadingNumber("32768").ok());
}

class CorvelVersionFromRegistry : public ::testing::Test {
protected:
    testing::ScopedMachineRegistry prefix;
};

TEST_F(CorvelVersionFromRegistry, ReadsBothNumbers) {
    prefix.writeMachineRegistry("[Software\\\\Quillan] 1700000000\n"
                                "\"Version Number\"=dword:00030000\n"
                                "\"Build Number\"=dword:00010012\n");
    const Result<CorvelVersionInfo> info = ReadCorvelVersion();
    ASSERT_TRUE(info.ok());
    EXPECT_EQ(info->VersionText, "3.0(1.18)");
}

TEST_F(CorvelVersionFromRegistry, ThirtyTwoBitInstallation) {
    prefix.writeMachineRegistry("[Software\\\\Wow6432Node\\\\Quillan] 1700000000\n"
                                "\"Version Number\"=dword:00040010\n");
    const Result<CorvelVersionInfo> info = ReadCorvelVersion();
    ASSERT_TRUE(info.ok());
    EXPECT_EQ(info->VersionText, "4.10(0.0)");
}

TEST_F(CorvelVersionFromRegistry, MissingValuesCountAsZero) {
    prefix.writeMachineRegistry("[Software\\\\Quillan\\\\Brannock Setup] 1\n\"x\"=\"y\"\n");
    const Result<CorvelVersionInfo> info = ReadCorvelVersion();
    ASSERT_TRUE(info.ok());
    EXPECT_EQ(info->Major, 0);
    EXPECT_EQ(info->VersionText, "0.0(0.0)");
}

TEST_F(CorvelVersionFromRegistry, OverflowReachesTheCaller) {
    prefix.writeMachineRegistry("[Software\\\\Quillan] 1\n\"Version Number\"=dword:9e990000\n");
    const Result<CorvelVersionInfo> info = ReadCorvelVersion();
    ASSERT_FALSE(info.ok());
    EXPECT_EQ(info.failure().description, "Overflow");
}

} // namespace
} // namespace tambrel
