// Builds small PE images with a string-table resource in memory, and reports where each part
// of the resource directory lies, so that tests can corrupt exactly the field they mean to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tambrel::testing {

enum class PeKind { Pe32, Pe32Plus };

struct StringBlockSpec {
    std::uint32_t blockID; // string ID / 16 + 1
    std::uint16_t languageID;
    std::vector<std::u16string> strings; // up to 16; missing ones are written empty
};

struct BuiltImage {
    std::vector<std::uint8_t> bytes;
    std::size_t optionalHeader = 0;
    std::size_t sectionHeader = 0;
    std::size_t resourceRoot = 0;  // file offset of the root directory
    std::size_t typeDirectory = 0; // directory of RT_STRING's blocks
    std::size_t firstLanguageDirectory = 0;
    std::size_t firstDataEntry = 0;
    std::size_t firstBlockData = 0;

    void write16(std::size_t offset, std::uint16_t value);
    void write32(std::size_t offset, std::uint32_t value);
};

// A PE image whose one section, at RVA 0x1000, holds `resources` as its resource directory.
BuiltImage wrapResourceSection(std::vector<std::uint8_t> resources, PeKind kind);

// Blocks with the same block ID share one language directory, in the order given.
BuiltImage buildStringImage(const std::vector<StringBlockSpec>& blocks,
                            PeKind kind = PeKind::Pe32Plus);

} // namespace tambrel::testing
