#include "tests/localize/pe_image_builder.h"

#include <map>

namespace tambrel::testing {
namespace {

constexpr std::uint32_t kSectionRva = 0x1000;
constexpr std::uint32_t kSectionFileOffset = 0x200;
constexpr std::uint32_t kSubdirectory = 0x80000000u;

class Writer {
public:
    std::vector<std::uint8_t> bytes;

    void put16(std::size_t at, std::uint16_t value) {
        grow(at + 2);
        bytes[at] = static_cast<std::uint8_t>(value);
        bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
    }
    void put32(std::size_t at, std::uint32_t value) {
        put16(at, static_cast<std::uint16_t>(value));
        put16(at + 2, static_cast<std::uint16_t>(value >> 16));
    }
    void grow(std::size_t size) {
        if (bytes.size() < size)
            bytes.resize(size);
    }
};

// A directory header with `count` ID entries; returns the offset of its first entry.
std::size_t putDirectory(Writer& section, std::size_t at, std::uint16_t count) {
    section.put16(at + 14, count);
    section.grow(at + 16 + std::size_t{count} * 8);
    return at + 16;
}

} // namespace

void BuiltImage::write16(std::size_t offset, std::uint16_t value) {
    bytes.at(offset) = static_cast<std::uint8_t>(value);
    bytes.at(offset + 1) = static_cast<std::uint8_t>(value >> 8);
}

void BuiltImage::write32(std::size_t offset, std::uint32_t value) {
    write16(offset, static_cast<std::uint16_t>(value));
    write16(offset + 2, static_cast<std::uint16_t>(value >> 16));
}

BuiltImage wrapResourceSection(std::vector<std::uint8_t> resources, PeKind kind) {
    std::uint32_t resourceSize = static_cast<std::uint32_t>(resources.size());
    std::uint32_t rawSize = (resourceSize + 0x1FF) & ~0x1FFu;
    resources.resize(rawSize);

    // The headers: DOS header, PE signature, file header, optional header, one section.
    Writer file;
    bool plus = kind == PeKind::Pe32Plus;
    std::uint16_t optionalSize = plus ? 240 : 224;
    file.put16(0, 0x5A4D);
    file.put32(0x3C, 0x40);
    file.put32(0x40, 0x00004550);
    std::size_t fileHeader = 0x44;
    file.put16(fileHeader, plus ? 0x8664 : 0x14C);
    file.put16(fileHeader + 2, 1);
    file.put16(fileHeader + 16, optionalSize);
    file.put16(fileHeader + 18, 0x2022);
    std::size_t optional = fileHeader + 20;
    file.put16(optional, plus ? 0x20B : 0x10B);
    std::size_t directories = optional + (plus ? 112 : 96);
    file.put32(directories - 4, 16);
    file.put32(directories + 2 * 8, kSectionRva);
    file.put32(directories + 2 * 8 + 4, resourceSize);
    std::size_t sectionHeader = optional + optionalSize;
    file.grow(sectionHeader + 40);
    const char name[8] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};
    for (std::size_t index = 0; index < 8; ++index)
        file.bytes[sectionHeader + index] = static_cast<std::uint8_t>(name[index]);
    file.put32(sectionHeader + 8, resourceSize);
    file.put32(sectionHeader + 12, kSectionRva);
    file.put32(sectionHeader + 16, rawSize);
    file.put32(sectionHeader + 20, kSectionFileOffset);
    file.grow(kSectionFileOffset);
    file.bytes.insert(file.bytes.end(), resources.begin(), resources.end());

    BuiltImage image;
    image.bytes = std::move(file.bytes);
    image.optionalHeader = optional;
    image.sectionHeader = sectionHeader;
    image.resourceRoot = kSectionFileOffset;
    return image;
}

BuiltImage buildStringImage(const std::vector<StringBlockSpec>& blocks, PeKind kind) {
    std::vector<std::uint32_t> blockOrder;
    std::map<std::uint32_t, std::vector<const StringBlockSpec*>> byBlock;
    for (const StringBlockSpec& block : blocks) {
        if (!byBlock.contains(block.blockID))
            blockOrder.push_back(block.blockID);
        byBlock[block.blockID].push_back(&block);
    }

    // The resource section: root, type directory, language directories, data entries, data.
    Writer section;
    BuiltImage image;
    std::size_t rootEntries = putDirectory(section, 0, 1);
    std::size_t typeDirectory = section.bytes.size();
    section.put32(rootEntries, 6);
    section.put32(rootEntries + 4, kSubdirectory | static_cast<std::uint32_t>(typeDirectory));
    std::size_t typeEntries =
        putDirectory(section, typeDirectory, static_cast<std::uint16_t>(blockOrder.size()));

    std::vector<std::pair<std::size_t, const StringBlockSpec*>> dataEntries;
    for (std::size_t index = 0; index < blockOrder.size(); ++index) {
        std::uint32_t blockID = blockOrder[index];
        std::size_t languageDirectory = section.bytes.size();
        if (index == 0)
            image.firstLanguageDirectory = languageDirectory;
        section.put32(typeEntries + index * 8, blockID);
        section.put32(typeEntries + index * 8 + 4,
                      kSubdirectory | static_cast<std::uint32_t>(languageDirectory));
        const auto& languages = byBlock[blockID];
        std::size_t languageEntries =
            putDirectory(section, languageDirectory, static_cast<std::uint16_t>(languages.size()));
        for (std::size_t language = 0; language < languages.size(); ++language) {
            section.put32(languageEntries + language * 8, languages[language]->languageID);
            dataEntries.emplace_back(languageEntries + language * 8 + 4, languages[language]);
        }
    }
    std::vector<std::size_t> dataEntryOffsets;
    for (auto& [pointer, block] : dataEntries) {
        std::size_t entry = section.bytes.size();
        section.put32(pointer, static_cast<std::uint32_t>(entry));
        section.grow(entry + 16);
        dataEntryOffsets.push_back(entry);
    }
    for (std::size_t index = 0; index < dataEntries.size(); ++index) {
        const StringBlockSpec& block = *dataEntries[index].second;
        std::size_t data = section.bytes.size();
        std::size_t at = data;
        for (std::size_t string = 0; string < 16; ++string) {
            std::u16string text = string < block.strings.size() ? block.strings[string] : u"";
            section.put16(at, static_cast<std::uint16_t>(text.size()));
            at += 2;
            for (char16_t unit : text) {
                section.put16(at, unit);
                at += 2;
            }
        }
        section.put32(dataEntryOffsets[index], kSectionRva + static_cast<std::uint32_t>(data));
        section.put32(dataEntryOffsets[index] + 4, static_cast<std::uint32_t>(at - data));
        if (index == 0)
            image.firstBlockData = kSectionFileOffset + data;
    }
    BuiltImage wrapped = wrapResourceSection(std::move(section.bytes), kind);
    image.bytes = std::move(wrapped.bytes);
    image.optionalHeader = wrapped.optionalHeader;
    image.sectionHeader = wrapped.sectionHeader;
    image.resourceRoot = wrapped.resourceRoot;
    image.typeDirectory = kSectionFileOffset + typeDirectory;
    image.firstLanguageDirectory += kSectionFileOffset;
    image.firstDataEntry =
        dataEntryOffsets.empty() ? 0 : kSectionFileOffset + dataEntryOffsets.front();
    return image;
}

} // namespace tambrel::testing
