// The table of value kinds and their buffer limits that the registry reader must meet on
// every platform: each row is a value as Wine's registry file spells it after "v"=, the kind a
// caller asks for, and what the caller gets.
#pragma once

#include "server/registry_api.h"

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace tambrel::testing {

inline const char* const kKindCaseKey = "Software\\Quillan\\Brannock Setup\\1.0\\Properties";
inline const char* const kKindCaseKeyLine =
    "[Software\\\\Quillan\\\\Brannock Setup\\\\1.0\\\\Properties] 1700000000\n";

inline std::string repeat(std::size_t count, std::string_view piece) {
    std::string text;
    for (std::size_t index = 0; index < count; ++index)
        text += piece;
    return text;
}

inline std::string hexList(std::size_t count, const char* byte) {
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

inline void PrintTo(const KindCase& row, std::ostream* out) {
    *out << row.name;
}

inline std::vector<KindCase> registryKindCases() {
    const RegistryValue kEmpty{};
    return {

        KindCase{"TextOf1023Characters", "\"" + std::string(1023, 'a') + "\"", RegSz,
                 std::string(1023, 'a')},
        KindCase{"TextOf1024CharactersTooLong", "\"" + std::string(1024, 'a') + "\"", RegSz,
                 kEmpty},
        // The buffer counts UTF-8 bytes: 511 two-byte letters and one more byte fill it.
        KindCase{"MultibyteTextFillingTheBuffer", "\"" + repeat(511, "\\xe4") + "z\"", RegSz,
                 repeat(511, "\xc3\xa4") + "z"},
        KindCase{"MultibyteTextOverTheBuffer", "\"" + repeat(512, "\\xe4") + "\"", RegSz, kEmpty},
        KindCase{"TextInUtf8", "\"Gr\\xfc\\x00dfe \\x20ac\"", RegSz,
                 std::string("Gr\xc3\xbc\xc3\x9f"
                             "e \xe2\x82\xac")},
        KindCase{"EmptyText", "\"\"", RegSz, std::string()},
        KindCase{"TextStoredWithNoBytes", "hex(1):", RegSz, std::string()},
        KindCase{"TextWithoutTerminatorKeepsItsLastCharacter", "hex(1):41,00,42,00", RegSz,
                 std::string("AB")},
        KindCase{"TextEndsAtFirstNul", "str(7):\"one\\0two\\0\"", RegSz, std::string("one")},
        KindCase{"ExpandableTextUnexpanded", "str(2):\"%SystemRoot%\"", RegSz,
                 std::string("%SystemRoot%")},
        KindCase{"NumberReadAsTextTakesItsBytes", "dword:00003231", RegSz, std::string("12")},
        KindCase{"Number", "dword:00030000", RegDword, std::int32_t{0x30000}},
        KindCase{"AllOnesIsMinusOne", "dword:ffffffff", RegDword, std::int32_t{-1}},
        KindCase{"ShortDataZeroExtended", "hex(4):01,02", RegDword, std::int32_t{0x0201}},
        KindCase{"NoDataIsZero", "hex(4):", RegDword, std::int32_t{0}},
        KindCase{"FiveBytesTooLongForANumber", "hex(4):01,02,03,04,05", RegDword, kEmpty},
        KindCase{"EightByteNumberTooLong", "hex(b):01,00,00,00,00,00,00,00", RegDword, kEmpty},
        KindCase{"TextReadAsNumberTakesItsBytes", "\"A\"", RegDword, std::int32_t{0x41}},
        KindCase{"Bytes", "hex:de,ad,be,ef", RegBinary,
                 std::vector<std::uint8_t>{0xde, 0xad, 0xbe, 0xef}},
        KindCase{"BytesFilling4096", "hex:" + hexList(4096, "7f"), RegBinary,
                 std::vector<std::uint8_t>(4096, 0x7f)},
        KindCase{"Bytes4097TooLong", "hex:" + hexList(4097, "7f"), RegBinary, kEmpty},
        KindCase{"TextReadAsBytesIncludesItsNul", "\"ab\"", RegBinary,
                 std::vector<std::uint8_t>{'a', 'b', 0}}};
}

} // namespace tambrel::testing
