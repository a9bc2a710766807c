// The registry file parser over in-memory text: Wine's value forms, escapes, letter case, and
// damaged input.
#include "platform/registry/registry_file.h"
#include "tests/server/registry_file_text.h"

#include <gtest/gtest.h>
#include <ostream>
#include <random>

namespace tambrel {
namespace {

using testing::registryFileText;
using namespace std::string_literals;

std::vector<std::uint8_t> utf16Bytes(std::u16string_view units, bool withTerminator = true) {
    std::vector<std::uint8_t> bytes;
    for (char16_t unit : units) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    if (withTerminator)
        bytes.insert(bytes.end(), {0, 0});
    return bytes;
}

StoredRegistryValue text(std::u16string_view units, std::uint32_t type = 1) {
    return {type, utf16Bytes(units)};
}

RegistryLookup lookUp(std::string_view fileText, std::string_view keyPath,
                      std::string_view valueName) {
    const std::vector<std::u16string> keyPaths{registryKeyPathForLookup(keyPath).value()};
    return lookupRegistryValue(fileText, keyPaths, registryValueNameForLookup(valueName));
}

struct ValueCase {
    const char* name;
    std::string lines;
    std::string keyPath;
    std::string valueName;
    std::optional<StoredRegistryValue> expected;
};

void PrintTo(const ValueCase& row, std::ostream* out) {
    *out << row.name;
}

class RegistryValueForms : public ::testing::TestWithParam<ValueCase> {};

TEST_P(RegistryValueForms, ReadsTheStoredTypeAndBytes) {
    const ValueCase& row = GetParam();
    const RegistryLookup lookup = lookUp(registryFileText(row.lines), row.keyPath, row.valueName);
    EXPECT_EQ(lookup.key, RegistryKeyPresence::Present);
    EXPECT_EQ(lookup.value, row.expected);
}

const char* const kProperties = "[Software\\\\Quillan\\\\Brannock Setup\\\\1.0\\\\Properties] "
                                "1700000000\n#time=1da2b3c4d5e6f70\n";

INSTANTIATE_TEST_SUITE_P(
    WineForms, RegistryValueForms,
    ::testing::Values(
        ValueCase{"PlainString",
                  std::string(kProperties) + "\"BrannockRootPath\"=\"C:\\\\Corvel\\\\\"\n",
                  "Software\\Quillan\\Brannock Setup\\1.0\\Properties", "BrannockRootPath",
                  text(u"C:\\Corvel\\")},
        ValueCase{"CEscapes", "[K] 1\n\"v\"=\"q\\\"a\\nb\\rc\\td\\ae\\bf\\vg\\fh\\ei\"\n", "K", "v",
                  text(u"q\"a\nb\rc\td\ae\bf\vg\fh\x1bi")},
        ValueCase{"OctalEscapes", "[K] 1\n\"v\"=\"\\101\\0c\\0007\\7\"\n", "K", "v",
                  text(std::u16string(u"A\0c\0"
                                      u"7\7",
                                      6))},
        ValueCase{"HexEscapesOfUtf16Units",
                  "[K] 1\n\"v\"=\"caf\\xe9 \\x20ac \\x00e9z \\xd83d\\xde00\"\n", "K", "v",
                  text(u"caf\u00e9 \u20ac \u00e9z \U0001F600")},
        ValueCase{"BackslashXWithoutDigitsAndUnknownEscapes", "[K] 1\n\"v\"=\"\\xyz\\q\\[\"\n", "K",
                  "v", text(u"xyzq[")},
        ValueCase{"RawUtf8InAHandEditedFile",
                  "[K] 1\n\"v\"=\"Gr\xc3\xbc\xc3\x9f"
                  "e \xf0\x9f\x98\x80\"\n",
                  "K", "v", text(u"Gr\u00fc\u00dfe \U0001F600")},
        ValueCase{"StrayByteStandsForItself",
                  "[K] 1\n\"v\"=\"a\xff"
                  "b\"\n",
                  "K", "v", text(u"a\u00ffb")},
        ValueCase{"EmptyString", "[K] 1\n\"v\"=\"\"\n", "K", "v", text(u"")},
        ValueCase{"DefaultValue", "[K] 1\n@=\"default\"\n\"v\"=\"named\"\n", "K", "",
                  text(u"default")},
        ValueCase{"BlanksAroundEquals", "[K] 1\n  \"v\" =  \"x\"\n", "K", "v", text(u"x")},
        ValueCase{"TypedStrings", "[K] 1\n\"v\"=str(2):\"%SystemRoot%\\\\x\"\n", "K", "v",
                  text(u"%SystemRoot%\\x", 2)},
        ValueCase{"MultipleStrings", "[K] 1\n\"v\"=str(7):\"a\\0b\\0\"\n", "K", "v",
                  text(std::u16string(u"a\0b\0", 4), 7)},
        ValueCase{"StrTagWithoutType", "[K] 1\n\"v\"=str:\"x\"\n", "K", "v", text(u"x")},
        ValueCase{"Dword", "[K] 1\n\"v\"=dword:0000002a\n", "K", "v",
                  StoredRegistryValue{4, {0x2a, 0, 0, 0}}},
        ValueCase{"DwordAllOnes", "[K] 1\n\"v\"=dword:FFFFFFFF\n", "K", "v",
                  StoredRegistryValue{4, {0xff, 0xff, 0xff, 0xff}}},
        ValueCase{"Binary", "[K] 1\n\"v\"=hex:01,ab,FF\n", "K", "v",
                  StoredRegistryValue{3, {0x01, 0xab, 0xff}}},
        ValueCase{"EmptyBinary", "[K] 1\n\"v\"=hex:\n", "K", "v", StoredRegistryValue{3, {}}},
        ValueCase{"HexOfAnyType", "[K] 1\n\"v\"=hex(b):01,00,00,00,00,00,00,00\n", "K", "v",
                  StoredRegistryValue{11, {1, 0, 0, 0, 0, 0, 0, 0}}},
        ValueCase{"StringWithoutTerminatorKeptAsHex", "[K] 1\n\"v\"=hex(1):41,00,42,00\n", "K", "v",
                  StoredRegistryValue{1, utf16Bytes(u"AB", false)}},
        ValueCase{"StringOfNoBytes", "[K] 1\n\"v\"=hex(1):\n", "K", "v",
                  StoredRegistryValue{1, {}}},
        ValueCase{"ContinuationLines", "[K] 1\n\"v\"=hex:01,02,\\\n  03,04,\\\n  05\n", "K", "v",
                  StoredRegistryValue{3, {1, 2, 3, 4, 5}}},
        ValueCase{"ContinuationWithCrLf", "[K] 1\r\n\"v\"=hex:01,\\\r\n  02\r\n\"w\"=\"x\"\r\n",
                  "K", "v", StoredRegistryValue{3, {1, 2}}},
        ValueCase{"LaterLineOfTheSameNameWins", "[K] 1\n\"v\"=\"first\"\n\"V\"=\"second\"\n", "K",
                  "v", text(u"second")},
        ValueCase{"KeyGivenTwiceGathersItsValues",
                  "[K] 1\n\"v\"=\"first\"\n[L] 1\n\"v\"=\"other\"\n[k] 2\n\"v\"=\"again\"\n", "K",
                  "v", text(u"again")},
        ValueCase{"OptionsAndCommentsAreNotValues",
                  "[K] 1\n#time=1d\n#class=\"c\"\n#link\n;; \"v\"=\"no\"\n\"v\"=\"yes\"\n", "K",
                  "v", text(u"yes")},
        ValueCase{"IndentedKeyLine", "   [K] 1\n\"v\"=\"x\"\n", "K", "v", text(u"x")},
        ValueCase{"BracketInsideAValueStartsNoKey", "[K] 1\n\"a\"=\"[L]\"\n\"v\"=\"x\"\n[L] 1\n",
                  "K", "v", text(u"x")},
        ValueCase{"LetterCaseOfKeyAndValueIgnored",
                  "[SOFTWARE\\\\quillan] 1\n\"VERSION number\"=dword:00030000\n",
                  "Software\\Quillan\\", "Version Number", StoredRegistryValue{4, {0, 0, 3, 0}}},
        ValueCase{"LetterCaseBeyondAscii", "[Software\\\\\\xc4rger] 1\n\"\\xc9t\\xe9\"=\"x\"\n",
                  "Software\\\xc3\xa4rger", "\xc3\x89T\xc3\x89", text(u"x")},
        ValueCase{"EscapedBracketInKeyName", "[Software\\\\A\\]B] 1\n\"v\"=\"x\"\n",
                  "Software\\A]B", "v", text(u"x")},
        ValueCase{"BadLinesAreSkipped",
                  "[K] 1\n\"v\"=\"good\"\n\"v\"=\"unterminated\n\"v\"=dword:123456789\n"
                  "\"v\"=dword:\n\"v\"=hex:1,2x\n\"v\"=hex:100\n\"v\"=hex(zz):00\n"
                  "\"v\"=str(2):x\n\"v\"=wrong\n\"v\"\n\"v\"=\"trailing\\\n"
                  "garbage line\n",
                  "K", "v", text(u"good")}),
    [](const ::testing::TestParamInfo<ValueCase>& info) { return info.param.name; });

struct KeyCase {
    const char* name;
    std::string lines;
    std::string keyPath;
    RegistryKeyPresence expected;
};

void PrintTo(const KeyCase& row, std::ostream* out) {
    *out << row.name;
}

class RegistryKeyPresenceCases : public ::testing::TestWithParam<KeyCase> {};

TEST_P(RegistryKeyPresenceCases, TellsWhetherTheKeyExists) {
    const KeyCase& row = GetParam();
    EXPECT_EQ(lookUp(registryFileText(row.lines), row.keyPath, "v").key, row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, RegistryKeyPresenceCases,
    ::testing::Values(
        KeyCase{"KeyLine", "[A\\\\B] 1\n", "A\\B", RegistryKeyPresence::Present},
        // Wine writes no line for a key that has subkeys but no values.
        KeyCase{"OnlyASubkeyWritten", "[A\\\\B\\\\C] 1\n", "A\\B", RegistryKeyPresence::Present},
        KeyCase{"SiblingWithLongerName", "[A\\\\BC] 1\n", "A\\B", RegistryKeyPresence::Absent},
        KeyCase{"ParentOnly", "[A] 1\n", "A\\B", RegistryKeyPresence::Absent},
        KeyCase{"KeyLineWithoutClosingBracket", "[A\\\\B 1\n", "A\\B", RegistryKeyPresence::Absent},
        KeyCase{"SubkeyLineWithoutClosingBracket", "[A\\\\B\\\\C 1\n", "A\\B",
                RegistryKeyPresence::Absent},
        KeyCase{"RootAlwaysThere", "", "", RegistryKeyPresence::Present}),
    [](const ::testing::TestParamInfo<KeyCase>& info) { return info.param.name; });

TEST(RegistryFile, ValuesOfAnotherKeyAreNotTaken) {
    const RegistryLookup lookup =
        lookUp(registryFileText("[A\\\\B\\\\C] 1\n\"v\"=\"child\"\n[A] 1\n\"v\"=\"parent\"\n"),
               "A\\B", "v");
    EXPECT_EQ(lookup.key, RegistryKeyPresence::Present);
    EXPECT_FALSE(lookup.value.has_value());
}

TEST(RegistryFile, ContinuationCutByAKeyLineLeavesThatKeyIntact) {
    const std::string file = registryFileText("[K] 1\n\"v\"=hex:01,\\\n[L] 1\n\"v\"=\"x\"\n");
    EXPECT_FALSE(lookUp(file, "K", "v").value.has_value());
    EXPECT_EQ(lookUp(file, "L", "v").value, text(u"x"));
}

TEST(RegistryFile, FirstPathWhoseKeyExistsAnswers) {
    const std::string file = registryFileText("[Second] 1\n\"v\"=\"2\"\n[First] 1\n\"w\"=\"1\"\n");
    const std::vector<std::u16string> both{*registryKeyPathForLookup("First"),
                                           *registryKeyPathForLookup("Second")};
    const std::u16string name = registryValueNameForLookup("v");
    // The first key exists without the value: the second path is not consulted.
    EXPECT_FALSE(lookupRegistryValue(file, both, name).value.has_value());
    const std::vector<std::u16string> missingFirst{*registryKeyPathForLookup("None"),
                                                   *registryKeyPathForLookup("Second")};
    EXPECT_EQ(lookupRegistryValue(file, missingFirst, name).value, text(u"2"));
}

TEST(RegistryFile, KeyPathsThatNameNoKey) {
    EXPECT_FALSE(registryKeyPathForLookup("\\Software").has_value());
    EXPECT_FALSE(registryKeyPathForLookup("Software\\\\Quillan").has_value());
    EXPECT_FALSE(registryKeyPathForLookup("Software\\\\").has_value());
    EXPECT_EQ(registryKeyPathForLookup("Software\\Quillan\\"), u"SOFTWARE\\QUILLAN");
}

struct DamagedCase {
    const char* name;
    std::string bytes;
};

void PrintTo(const DamagedCase& row, std::ostream* out) {
    *out << row.name;
}

class DamagedRegistryFiles : public ::testing::TestWithParam<DamagedCase> {};

TEST_P(DamagedRegistryFiles, YieldNothing) {
    const RegistryLookup lookup = lookUp(GetParam().bytes, "K", "v");
    EXPECT_FALSE(lookup.value.has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Damage, DamagedRegistryFiles,
    ::testing::Values(DamagedCase{"Empty", ""},
                      DamagedCase{"OtherFormat", "REGEDIT4\n[K]\n\"v\"=\"x\"\n"},
                      DamagedCase{"HeaderOnly", "WINE REGISTRY Version 2"},
                      DamagedCase{"CutInsideKeyName", "WINE REGISTRY Version 2\n[K"},
                      DamagedCase{"CutInsideString", "WINE REGISTRY Version 2\n[K]\n\"v\"=\"ab"},
                      DamagedCase{"CutAfterEscape", "WINE REGISTRY Version 2\n[K]\n\"v\"=\"ab\\"},
                      DamagedCase{"CutInContinuation",
                                  "WINE REGISTRY Version 2\n[K]\n\"v\"=hex:01,\\"},
                      DamagedCase{"CutAfterDwordTag", "WINE REGISTRY Version 2\n[K]\n\"v\"=dword:"},
                      DamagedCase{"NulBytes", "WINE REGISTRY Version 2\n[K]\0\n\"v\"\0=1"s}),
    [](const ::testing::TestParamInfo<DamagedCase>& info) { return info.param.name; });

TEST(RegistryFile, RandomBytesAfterTheHeaderAreSurvived) {
    std::mt19937 generator(1234);
    std::uniform_int_distribution<int> byte(0, 255);
    const std::string alphabet = "[]\\\"@=:,#xX0123456789abcdefhexdwordstr()\n\r \t\xc3\xa4";
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    for (int round = 0; round < 200; ++round) {
        std::string file = registryFileText("[K] 1\n");
        for (int index = 0; index < 2000; ++index)
            file.push_back(round % 2 ? static_cast<char>(byte(generator))
                                     : alphabet[pick(generator)]);
        const RegistryLookup lookup = lookUp(file, "K", "v");
        EXPECT_EQ(lookup.key, RegistryKeyPresence::Present);
    }
}

} // namespace
} // namespace tambrel
