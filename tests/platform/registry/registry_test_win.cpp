// ReadRegistryValue against the Windows registry itself: the same table of kinds as the POSIX
// suite runs over Wine's registry file, each row's value written to HKEY_LOCAL_MACHINE by the
// test (in the 64-bit or the 32-bit view) and the key removed afterwards.
#include "platform/registry/registry_file.h"
#include "platform/testing/machine_registry_writes.h"
#include "server/registry_api.h"
#include "tests/server/registry_file_text.h"
#include "tests/server/registry_kind_cases.h"

#include <gtest/gtest.h>
#include <optional>

namespace tambrel {
namespace {

using testing::KindCase;
using testing::RegistryView;

// The row's value as Wine's file spells it, taken apart by the project's own reader into the
// type and bytes the registry should hold.
StoredRegistryValue storedValue(const std::string& valueLine) {
    const std::string text = testing::registryFileText(std::string(testing::kKindCaseKeyLine) +
                                                       "\"v\"=" + valueLine + "\n");
    const std::u16string key = *registryKeyPathForLookup(testing::kKindCaseKey);
    const RegistryLookup lookup =
        lookupRegistryValue(text, std::span<const std::u16string>(&key, 1), u"V");
    return lookup.value.value_or(StoredRegistryValue{});
}

// Writes the value below HKEY_LOCAL_MACHINE in one view and removes the whole test key again.
class ScopedMachineValue {
public:
    ScopedMachineValue(const char* keyPath, const char* name, const StoredRegistryValue& value,
                       RegistryView view = RegistryView::SixtyFourBit)
        : view_(view), written_(testing::writeMachineValue(keyPath, name, value, view)) {}
    ~ScopedMachineValue() { testing::removeServerKeys(view_); }
    ScopedMachineValue(const ScopedMachineValue&) = delete;
    ScopedMachineValue& operator=(const ScopedMachineValue&) = delete;
    bool ok() const { return written_; }

private:
    RegistryView view_;
    bool written_ = false;
};

class RegistryKinds : public ::testing::TestWithParam<KindCase> {};

TEST_P(RegistryKinds, GiveTheValueWithinTheirBuffer) {
    const KindCase& row = GetParam();
    const ScopedMachineValue value("Software\\Quillan\\Brannock Setup\\1.0\\Properties", "v",
                                   storedValue(row.valueLine));
    ASSERT_TRUE(value.ok());
    const Result<RegistryValue> read =
        ReadRegistryValue(HKeyLocalMachine, testing::kKindCaseKey, "v", row.kind);
    ASSERT_TRUE(read.ok()) << read.failure().description;
    EXPECT_EQ(*read, row.expected);
}

INSTANTIATE_TEST_SUITE_P(Kinds, RegistryKinds, ::testing::ValuesIn(testing::registryKindCases()),
                         [](const ::testing::TestParamInfo<KindCase>& info) {
                             return info.param.name;
                         });

StoredRegistryValue number(std::uint32_t value) {
    return {RegDword,
            {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
             static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)}};
}

struct ViewCase {
    const char* name;
    bool in64;
    bool in32;
    std::int32_t expected; // 0: the default
};

class RegistryViews : public ::testing::TestWithParam<ViewCase> {};

// The 64-bit view is asked first; the 32-bit one only where the key is not there at all.
TEST_P(RegistryViews, SixtyFourBitFirst) {
    const ViewCase& row = GetParam();
    std::optional<ScopedMachineValue> sixtyFour;
    std::optional<ScopedMachineValue> thirtyTwo;
    const char* key = "Software\\Quillan\\Brannock Setup\\1.0\\Properties";
    if (row.in64)
        sixtyFour.emplace(key, "Version Number", number(64), RegistryView::SixtyFourBit);
    if (row.in32)
        thirtyTwo.emplace(key, "Version Number", number(32), RegistryView::ThirtyTwoBit);
    const Result<RegistryValue> read =
        ReadRegistryValue(HKeyLocalMachine, testing::kKindCaseKey, "version number", RegDword);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(registryValueAsNumber(*read), row.expected);
}

INSTANTIATE_TEST_SUITE_P(Views, RegistryViews,
                         ::testing::Values(ViewCase{"OnlySixtyFour", true, false, 64},
                                           ViewCase{"OnlyThirtyTwo", false, true, 32},
                                           ViewCase{"BothTakeSixtyFour", true, true, 64},
                                           ViewCase{"NeitherGivesTheDefault", false, false, 0}),
                         [](const ::testing::TestParamInfo<ViewCase>& info) {
                             return info.param.name;
                         });

TEST(ReadRegistryValue, UnsupportedKindFailsOnAnOpenedKeyOnly) {
    const ScopedMachineValue value("Software\\Quillan\\Brannock Setup\\1.0\\Properties", "v",
                                   number(1));
    ASSERT_TRUE(value.ok());
    const Result<RegistryValue> opened =
        ReadRegistryValue(HKeyLocalMachine, testing::kKindCaseKey, "v", 2);
    ASSERT_FALSE(opened.ok());
    EXPECT_EQ(opened.failure().code, 1001);
    EXPECT_EQ(opened.failure().description, "Unsupported value type");
    const Result<RegistryValue> missing =
        ReadRegistryValue(HKeyLocalMachine, "Software\\Nobody\\There", "v", 2);
    ASSERT_TRUE(missing.ok());
    EXPECT_EQ(*missing, RegistryValue{});
}

// A key this user may not read is as good as missing, in both views: the default value, never a
// failure that would stop the start-up.
TEST(ReadRegistryValue, AKeyWithoutReadAccessGivesTheDefault) {
    const char* keyPath = "Software\\Quillan\\Brannock Setup\\1.0\\Properties";
    const ScopedMachineValue value(keyPath, "Version Number", number(64));
    ASSERT_TRUE(value.ok());
    ASSERT_TRUE(testing::setMachineKeyAccess(keyPath, true));
    const Result<RegistryValue> read =
        ReadRegistryValue(HKeyLocalMachine, testing::kKindCaseKey, "Version Number", RegDword);
    const Result<RegistryValue> otherKind =
        ReadRegistryValue(HKeyLocalMachine, testing::kKindCaseKey, "Version Number", 2);
    // Readable again, so that the key can be removed.
    EXPECT_TRUE(testing::setMachineKeyAccess(keyPath, false));
    ASSERT_TRUE(read.ok()) << read.failure().description;
    EXPECT_EQ(*read, RegistryValue{});
    ASSERT_TRUE(otherKind.ok()) << otherKind.failure().description;
    EXPECT_EQ(*otherKind, RegistryValue{});
}

} // namespace
} // namespace tambrel
