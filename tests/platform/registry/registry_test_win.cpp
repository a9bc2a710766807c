// ReadRegistryValue against the Windows registry itself: the same table of kinds as the POSIX
// suite runs over Wine's registry file, each row's value written to HKEY_LOCAL_MACHINE by the
// test (in the 64-bit or the 32-bit view) and the key removed afterwards.
#include "platform/registry/registry_file.h"
#include "server/registry_api.h"
#include "tests/server/registry_file_text.h"
#include "tests/server/registry_kind_cases.h"

#include <gtest/gtest.h>
#include <optional>
#include <windows.h>

namespace tambrel {
namespace {

using testing::KindCase;

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
    ScopedMachineValue(const wchar_t* keyPath, const wchar_t* name,
                       const StoredRegistryValue& value, REGSAM view = KEY_WOW64_64KEY)
        : view_(view) {
        HKEY key = nullptr;
        created_ = ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, 0, KEY_WRITE | view,
                                     nullptr, &key, nullptr) == ERROR_SUCCESS;
        if (!created_)
            return;
        written_ = ::RegSetValueExW(key, name, 0, value.type,
                                    value.data.empty() ? nullptr : value.data.data(),
                                    static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
        ::RegCloseKey(key);
    }
    ~ScopedMachineValue() {
        HKEY software = nullptr;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software", 0, KEY_ALL_ACCESS | view_,
                            &software) == ERROR_SUCCESS) {
            ::RegDeleteTreeW(software, L"Quillan");
            ::RegCloseKey(software);
        }
    }
    ScopedMachineValue(const ScopedMachineValue&) = delete;
    ScopedMachineValue& operator=(const ScopedMachineValue&) = delete;
    bool ok() const { return created_ && written_; }

private:
    REGSAM view_;
    bool created_ = false;
    bool written_ = false;
};

class RegistryKinds : public ::testing::TestWithParam<KindCase> {};

TEST_P(RegistryKinds, GiveTheValueWithinTheirBuffer) {
    const KindCase& row = GetParam();
    const ScopedMachineValue value(L"Software\\Quillan\\Brannock Setup\\1.0\\Properties", L"v",
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
    return {REG_DWORD,
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
    const wchar_t* key = L"Software\\Quillan\\Brannock Setup\\1.0\\Properties";
    if (row.in64)
        sixtyFour.emplace(key, L"Version Number", number(64), KEY_WOW64_64KEY);
    if (row.in32)
        thirtyTwo.emplace(key, L"Version Number", number(32), KEY_WOW64_32KEY);
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
    const ScopedMachineValue value(L"Software\\Quillan\\Brannock Setup\\1.0\\Properties", L"v",
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

// Sets the key's access list: empty, so that no one may read it, or none at all, so that everyone
// may again. The owner may always change it.
bool setKeyAccess(const wchar_t* keyPath, bool denyAll) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, WRITE_DAC | KEY_WOW64_64KEY, &key) !=
        ERROR_SUCCESS)
        return false;
    SECURITY_DESCRIPTOR descriptor;
    ACL empty;
    ::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    ::InitializeAcl(&empty, sizeof empty, ACL_REVISION);
    ::SetSecurityDescriptorDacl(&descriptor, TRUE, denyAll ? &empty : nullptr, FALSE);
    const bool set =
        ::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor) == ERROR_SUCCESS;
    ::RegCloseKey(key);
    return set;
}

// A key this user may not read is as good as missing, in both views: the default value, never a
// failure that would stop the start-up.
TEST(ReadRegistryValue, AKeyWithoutReadAccessGivesTheDefault) {
    const wchar_t* keyPath = L"Software\\Quillan\\Brannock Setup\\1.0\\Properties";
    const ScopedMachineValue value(keyPath, L"Version Number", number(64));
    ASSERT_TRUE(value.ok());
    ASSERT_TRUE(setKeyAccess(keyPath, true));
    const Result<RegistryValue> read =
        ReadRegistryValue(HKeyLocalMachine, testing::kKindCaseKey, "Version Number", RegDword);
    const Result<RegistryValue> otherKind =
        ReadRegistryValue(HKeyLocalMachine, testing::kKindCaseKey, "Version Number", 2);
    // Readable again, so that the key can be removed.
    EXPECT_TRUE(setKeyAccess(keyPath, false));
    ASSERT_TRUE(read.ok()) << read.failure().description;
    EXPECT_EQ(*read, RegistryValue{});
    ASSERT_TRUE(otherKind.ok()) << otherKind.failure().description;
    EXPECT_EQ(*otherKind, RegistryValue{});
}

} // namespace
} // namespace tambrel
