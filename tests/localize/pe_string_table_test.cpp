// The PE string-table reader against libraries built by windres, and against truncated,
// corrupted and deliberately hostile images.
#include "localize/language_library.h"
#include "localize/pe_string_table.h"
#include "platform/testing/file_tricks.h"
#include "tests/localize/pe_image_builder.h"
#include "tests/support/temporary_folder.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace tambrel {
namespace {

using testing::BuiltImage;
using testing::PeKind;

std::string fixturePath(std::string_view name) {
    return std::string(TAMBREL_FIXTURE_LIBRARIES) + "/" + std::string(name);
}

std::vector<std::uint8_t> readBytes(const std::string& path) {
    std::string text = testing::readFile(path);
    return {text.begin(), text.end()};
}

std::optional<PeStringTable> parseFixture(std::string_view name) {
    std::vector<std::uint8_t> bytes = readBytes(fixturePath(name));
    EXPECT_FALSE(bytes.empty()) << name;
    return PeStringTable::parse(bytes);
}

struct LookupCase {
    std::string name;
    std::string library;
    std::uint32_t id;
    std::int32_t languageID;
    std::optional<std::u16string> expected;
};

class StringLookup : public ::testing::TestWithParam<LookupCase> {};

TEST_P(StringLookup, FindsTheTextOfTheRightBlock) {
    const LookupCase& row = GetParam();
    std::optional<PeStringTable> table = parseFixture(row.library);
    ASSERT_TRUE(table);
    EXPECT_EQ(table->string(row.id, row.languageID), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, StringLookup,
    ::testing::Values(
        LookupCase{"HeldEntry", "partial.dll", 1, 1031, u"Info"},
        LookupCase{"HeldEntryOfSecondBlock", "partial.dll", 17, 1031, u"Datei"},
        LookupCase{"HeldEntryOfThirdBlock", "partial.dll", 40, 1031, u"Kodek"},
        LookupCase{"UnheldEntryOfHeldBlockIsEmpty", "partial.dll", 2, 1031, u""},
        LookupCase{"BlockNobodyHolds", "partial.dll", 100, 1031, std::nullopt},
        LookupCase{"HighestIdentifier", "partial.dll", 0xFFFFFFFFu, 1031, std::nullopt},
        LookupCase{"EmptyEntry", "empty_entry.dll", 1, 1031, u""},
        LookupCase{"EntryBesideEmptyOne", "empty_entry.dll", 13, 1031, u"Beenden"},
        LookupCase{"MatchingLanguageFirst", "two_languages.dll", 1, 1036, u"À propos"},
        LookupCase{"OtherMatchingLanguage", "two_languages.dll", 1, 1031, u"Info"},
        LookupCase{"NoMatchNoNeutralTakesFirst", "two_languages.dll", 1, 1041, u"Info"},
        LookupCase{"NeutralBeforeFirst", "two_languages.dll", 17, 1041, u"Neutral"},
        LookupCase{"MatchBeforeNeutral", "two_languages.dll", 17, 1036, u"Fichier"},
        LookupCase{"Pe32Image", "pe32.dll", 1, 1041, u"バージョン情報"},
        LookupCase{"Pe32SurrogatePair", "pe32.dll", 5, 1041, u"Tambrel 𝄞"}),
    [](const auto& info) { return info.param.name; });

// Every prefix of a real library is either refused or reads exactly as the whole file: a cut
// never yields half a table.
TEST(MalformedLibrary, TruncationAtEveryOffsetIsRefused) {
    std::vector<std::uint8_t> whole = readBytes(fixturePath("two_languages.dll"));
    std::optional<PeStringTable> reference = PeStringTable::parse(whole);
    ASSERT_TRUE(reference);
    std::size_t usable = 0;
    for (std::size_t length = 0; length < whole.size(); ++length) {
        std::optional<PeStringTable> cut = PeStringTable::parse(std::span(whole.data(), length));
        if (!cut)
            continue;
        ++usable;
        for (std::uint32_t id : {1u, 17u})
            for (std::int32_t language : {1031, 1036, 1041})
                EXPECT_EQ(cut->string(id, language), reference->string(id, language))
                    << "cut at " << length;
    }
    // ld pads nothing after the last section, so every cut loses data the file declares.
    EXPECT_EQ(usable, 0u);
}

// Overwriting any byte with a hostile value must leave the reader within its bounds; the
// sanitizer build turns any stray read into a failure.
TEST(MalformedLibrary, CorruptionAtEveryOffsetNeverReadsOutside) {
    std::vector<std::uint8_t> whole = readBytes(fixturePath("two_languages.dll"));
    std::size_t refused = 0;
    for (std::size_t offset = 0; offset < whole.size(); ++offset) {
        for (std::uint8_t value : {std::uint8_t{0x00}, std::uint8_t{0xFF}, std::uint8_t{0x80},
                                   static_cast<std::uint8_t>(whole[offset] ^ 0x01)}) {
            std::vector<std::uint8_t> corrupted = whole;
            corrupted[offset] = value;
            std::optional<PeStringTable> table = PeStringTable::parse(corrupted);
            if (!table) {
                ++refused;
                continue;
            }
            for (std::uint32_t id : {0u, 1u, 15u, 16u, 17u, 31u, 41u})
                for (std::int32_t language : {0, 1031, 1036, -1}) {
                    std::optional<std::u16string> text = table->string(id, language);
                    if (text) {
                        EXPECT_LE(text->size(), corrupted.size() / 2);
                    }
                }
        }
    }
    EXPECT_GT(refused, 0u); // the header checks do catch something
}

BuiltImage goodImage() {
    return testing::buildStringImage({{1, 1031, {u"null", u"eins"}}, {2, 1031, {u"sechzehn"}}});
}

struct HostileCase {
    std::string name;
    void (*corrupt)(BuiltImage&);
};

class HostileImage : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileImage, IsUnusable) {
    BuiltImage image = goodImage();
    ASSERT_TRUE(PeStringTable::parse(image.bytes)); // the untouched image is fine
    GetParam().corrupt(image);
    EXPECT_FALSE(PeStringTable::parse(image.bytes));
}

constexpr std::uint32_t kSubdirectory = 0x80000000u;
constexpr std::size_t kFirstEntryTarget = 16 + 4; // header, then the first entry's name

INSTANTIATE_TEST_SUITE_P(
    Crafted, HostileImage,
    ::testing::Values(
        HostileCase{"NotMz", [](BuiltImage& i) { i.write16(0, 0x4D5A); }},
        HostileCase{"PeOffsetBeyondFile", [](BuiltImage& i) { i.write32(0x3C, 0xFFFFFFF0u); }},
        HostileCase{"NoPeSignature", [](BuiltImage& i) { i.write32(0x40, 0x00004551); }},
        HostileCase{"UnknownOptionalHeaderMagic",
                    [](BuiltImage& i) { i.write16(i.optionalHeader, 0x107); }},
        HostileCase{"OptionalHeaderTooSmall", [](BuiltImage& i) { i.write16(0x44 + 16, 100); }},
        HostileCase{"OptionalHeaderBeyondFile",
                    [](BuiltImage& i) { i.write16(0x44 + 16, 0xFFFF); }},
        HostileCase{"NoSections", [](BuiltImage& i) { i.write16(0x44 + 2, 0); }},
        HostileCase{"AbsurdSectionCount", [](BuiltImage& i) { i.write16(0x44 + 2, 0xFFFF); }},
        HostileCase{"SectionDataBeyondFile",
                    [](BuiltImage& i) { i.write32(i.sectionHeader + 16, 0x7FFFFFFFu); }},
        HostileCase{"SectionOffsetWraps",
                    [](BuiltImage& i) { i.write32(i.sectionHeader + 20, 0xFFFFFF00u); }},
        HostileCase{"ResourceRvaOutsideSections",
                    [](BuiltImage& i) { i.write32(i.optionalHeader + 112 + 16, 0x900000); }},
        HostileCase{"TypeEntryNotADirectory",
                    [](BuiltImage& i) {
                        i.write32(i.resourceRoot + kFirstEntryTarget,
                                  static_cast<std::uint32_t>(i.typeDirectory - i.resourceRoot));
                    }},
        HostileCase{"TypeDirectoryBeyondSection",
                    [](BuiltImage& i) {
                        i.write32(i.resourceRoot + kFirstEntryTarget, kSubdirectory | 0x7FFFFFF0u);
                    }},
        HostileCase{"AbsurdEntryCount",
                    [](BuiltImage& i) { i.write16(i.resourceRoot + 14, 0xFFFF); }},
        HostileCase{"AbsurdNamedEntryCount",
                    [](BuiltImage& i) { i.write16(i.typeDirectory + 12, 0xFFFF); }},
        HostileCase{
            "BlockPointsBackAtRoot",
            [](BuiltImage& i) { i.write32(i.typeDirectory + kFirstEntryTarget, kSubdirectory); }},
        HostileCase{"LanguagePointsAtItsOwnDirectory",
                    [](BuiltImage& i) {
                        i.write32(i.firstLanguageDirectory + kFirstEntryTarget,
                                  kSubdirectory | static_cast<std::uint32_t>(
                                                      i.firstLanguageDirectory - i.resourceRoot));
                    }},
        HostileCase{"BlockEntryNotADirectory",
                    [](BuiltImage& i) {
                        i.write32(i.typeDirectory + kFirstEntryTarget,
                                  static_cast<std::uint32_t>(i.firstDataEntry - i.resourceRoot));
                    }},
        HostileCase{"DataEntryBeyondSection",
                    [](BuiltImage& i) {
                        i.write32(i.firstLanguageDirectory + kFirstEntryTarget, 0x7FFFFFF0u);
                    }},
        HostileCase{"DataRvaOutsideSections",
                    [](BuiltImage& i) { i.write32(i.firstDataEntry, 0x900000); }},
        HostileCase{"DataRvaWraps",
                    [](BuiltImage& i) {
                        i.write32(i.firstDataEntry, 0xFFFFFFF0u);
                        i.write32(i.firstDataEntry + 4, 0x20);
                    }},
        HostileCase{"DataSizeBeyondSection",
                    [](BuiltImage& i) { i.write32(i.firstDataEntry + 4, 0x7FFFFFFFu); }},
        HostileCase{"StringLongerThanItsBlock",
                    [](BuiltImage& i) { i.write16(i.firstBlockData, 0x7FFF); }},
        HostileCase{"BlockEndsInsideALength",
                    [](BuiltImage& i) {
                        // "null" is 2 + 8 bytes; one byte more leaves half a length behind it.
                        i.write32(i.firstDataEntry + 4, 11);
                    }}),
    [](const auto& info) { return info.param.name; });

// Every block of a hostile file points at one language directory of sixty thousand entries:
// walked naively that is hundreds of millions of entries. The entry budget refuses it.
TEST(HostileImageFanOut, SharedHugeLanguageDirectoryIsRefused) {
    constexpr std::uint32_t kBlocks = 4096;
    constexpr std::uint32_t kLanguages = 60000;
    std::vector<std::uint8_t> section;
    auto put16 = [&](std::size_t at, std::uint16_t value) {
        if (section.size() < at + 2)
            section.resize(at + 2);
        section[at] = static_cast<std::uint8_t>(value);
        section[at + 1] = static_cast<std::uint8_t>(value >> 8);
    };
    auto put32 = [&](std::size_t at, std::uint32_t value) {
        put16(at, static_cast<std::uint16_t>(value));
        put16(at + 2, static_cast<std::uint16_t>(value >> 16));
    };
    const std::uint32_t typeDirectory = 24;
    const std::uint32_t languageDirectory = typeDirectory + 16 + kBlocks * 8;
    const std::uint32_t dataEntry = languageDirectory + 16 + kLanguages * 8;
    const std::uint32_t blockData = dataEntry + 16;
    put16(14, 1);
    put32(16, 6);
    put32(20, kSubdirectory | typeDirectory);
    put16(typeDirectory + 14, kBlocks);
    for (std::uint32_t block = 0; block < kBlocks; ++block) {
        put32(typeDirectory + 16 + block * 8, block + 1);
        put32(typeDirectory + 20 + block * 8, kSubdirectory | languageDirectory);
    }
    put16(languageDirectory + 14, kLanguages);
    for (std::uint32_t language = 0; language < kLanguages; ++language) {
        put32(languageDirectory + 16 + language * 8, language);
        put32(languageDirectory + 20 + language * 8, dataEntry);
    }
    put32(dataEntry, 0x1000 + blockData);
    put32(dataEntry + 4, 32);
    put16(blockData + 30, 0); // sixteen empty strings
    BuiltImage image = testing::wrapResourceSection(section, PeKind::Pe32Plus);
    EXPECT_FALSE(PeStringTable::parse(image.bytes));
}

TEST(BuiltImage, BothKindsAreRead) {
    for (PeKind kind : {PeKind::Pe32, PeKind::Pe32Plus}) {
        BuiltImage image = testing::buildStringImage({{1, 1031, {u"null", u"eins"}}}, kind);
        std::optional<PeStringTable> table = PeStringTable::parse(image.bytes);
        ASSERT_TRUE(table);
        EXPECT_EQ(table->string(1, 1031), u"eins");
    }
}

TEST(BuiltImage, ImageWithoutStringTableIsUsableAndEmpty) {
    BuiltImage image = testing::buildStringImage({});
    std::optional<PeStringTable> table = PeStringTable::parse(image.bytes);
    ASSERT_TRUE(table);
    EXPECT_EQ(table->string(1, 1033), std::nullopt);
}

TEST(BuiltImage, FileLargerThanTheCapIsRefused) {
    BuiltImage image = goodImage();
    image.bytes.resize(PeStringTable::kLargestFile + 1);
    EXPECT_FALSE(PeStringTable::parse(image.bytes));
}

class LanguageLibraryHandles : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(openLanguageLibraryCount(), 0u); }
    testing::TemporaryFolder folder;
};

TEST_F(LanguageLibraryHandles, OpenGivesDistinctHandlesAndCloseReleasesThem) {
    std::int32_t first = openLanguageLibrary(fixturePath("partial.dll"));
    std::int32_t second = openLanguageLibrary(fixturePath("two_languages.dll"));
    EXPECT_GT(first, 0);
    EXPECT_GT(second, 0);
    EXPECT_NE(first, second);
    EXPECT_EQ(openLanguageLibraryCount(), 2u);
    closeLanguageLibrary(first);
    EXPECT_EQ(loadLibraryString(first, 1, 1031), std::nullopt);
    EXPECT_EQ(loadLibraryString(second, 1, 1036), u"À propos");
    closeLanguageLibrary(second);
    closeLanguageLibrary(second); // a second close is harmless
}

TEST_F(LanguageLibraryHandles, LibraryChangedOnDiskAfterOpeningChangesNothing) {
    std::filesystem::path copy = folder / "Tambrel_DEU.dll";
    std::filesystem::copy_file(fixturePath("partial.dll"), copy);
    std::int32_t handle = openLanguageLibrary(copy.string());
    ASSERT_GT(handle, 0);
    folder.write("Tambrel_DEU.dll", "MZ but not any more a library");
    EXPECT_EQ(loadLibraryString(handle, 1, 1031), u"Info");
    closeLanguageLibrary(handle);
}

TEST_F(LanguageLibraryHandles, WhatIsNoReadableLibraryGivesNoHandle) {
    folder.write("garbage.dll", "MZ");
    folder.write("empty.dll", "");
    std::filesystem::create_directory(folder / "folder.dll");
    const bool fifo = testing::makeFifo(folder / "pipe.dll"); // where the system has them
    std::filesystem::path large = folder / "large.dll";
    folder.write("large.dll", "MZ");
    std::filesystem::resize_file(large, PeStringTable::kLargestFile + 1);
    for (const char* name :
         {"missing.dll", "garbage.dll", "empty.dll", "folder.dll", "pipe.dll", "large.dll"})
        if (fifo || std::string_view(name) != "pipe.dll") {
            EXPECT_EQ(openLanguageLibrary((folder / name).string()), 0) << name;
        }
}

TEST_F(LanguageLibraryHandles, UnknownHandleHoldsNothing) {
    EXPECT_EQ(loadLibraryString(0, 1, 1031), std::nullopt);
    EXPECT_EQ(loadLibraryString(12345, 1, 1031), std::nullopt);
}

} // namespace
} // namespace tambrel
