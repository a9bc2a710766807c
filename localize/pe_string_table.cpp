#include "localize/pe_string_table.h"

#include "common/bounded_bytes.h"

namespace tambrel {
namespace {

constexpr std::uint16_t kOptionalHeaderMagicPe32 = 0x10b;
constexpr std::uint16_t kOptionalHeaderMagicPe32Plus = 0x20b;
constexpr std::uint32_t kResourceDataDirectory = 2;
constexpr std::uint32_t kStringResourceType = 6; // RT_STRING
constexpr std::uint32_t kStringsPerBlock = 16;
constexpr std::uint32_t kHighBit = 0x80000000u;
// Windows itself loads no image with more sections than this.
constexpr std::uint32_t kMostSections = 96;
// Directory entries read over all three levels. A real library has a few hundred at most; a
// hostile one can make every block point at one huge language directory, and this budget is
// what keeps such a file from taking forever.
constexpr std::uint32_t kMostDirectoryEntries = 1u << 16;

// Reads that fail rather than leave the image.
using Image = BoundedBytes; // PE images are little-endian, its default

struct Section {
    std::uint32_t virtualAddress;
    std::uint32_t rawSize;
    std::uint32_t rawOffset;
};

// Where an RVA range lies in the file; nullopt unless it lies wholly in one section's raw data.
std::optional<std::uint64_t> fileOffsetOf(const std::vector<Section>& sections, std::uint32_t rva,
                                          std::uint32_t length) {
    for (const Section& section : sections) {
        if (rva < section.virtualAddress)
            continue;
        std::uint64_t into = rva - section.virtualAddress;
        if (into < section.rawSize && length <= section.rawSize - into)
            return section.rawOffset + into;
    }
    return std::nullopt;
}

// The raw data that follows `offset` in its section: the bound of the resource directory.
std::optional<std::uint64_t> sectionEndAt(const std::vector<Section>& sections,
                                          std::uint64_t offset) {
    for (const Section& section : sections) {
        if (offset >= section.rawOffset && offset - section.rawOffset < section.rawSize)
            return static_cast<std::uint64_t>(section.rawOffset) + section.rawSize;
    }
    return std::nullopt;
}

struct DirectoryEntry {
    std::uint32_t name;   // an ID unless the high bit marks a named entry
    std::uint32_t target; // a subdirectory when the high bit is set, else a data entry
};

// The resource directory: offsets are relative to its root and must stay inside its section.
class ResourceDirectory {
public:
    ResourceDirectory(const Image& image, std::uint64_t root, std::uint64_t end)
        : image_(image), root_(root), end_(end) {}

    // Calls `visit` for each entry of the directory at `offset`; false when the directory does
    // not fit or the entry budget runs out.
    template <typename Visit> bool forEachEntry(std::uint32_t offset, Visit&& visit) {
        std::uint64_t at = root_ + offset;
        if (!inside(at, 16))
            return false;
        std::uint32_t count = *image_.read16(at + 12) + std::uint32_t{*image_.read16(at + 14)};
        if (count > kMostDirectoryEntries - entriesRead_)
            return false;
        entriesRead_ += count;
        if (!inside(at + 16, std::uint64_t{count} * 8))
            return false;
        for (std::uint32_t index = 0; index < count; ++index) {
            std::uint64_t entry = at + 16 + std::uint64_t{index} * 8;
            if (!visit(DirectoryEntry{*image_.read32(entry), *image_.read32(entry + 4)}))
                return false;
        }
        return true;
    }

    // The RVA and size of the data entry at `offset`.
    std::optional<std::pair<std::uint32_t, std::uint32_t>> dataEntry(std::uint32_t offset) const {
        std::uint64_t at = root_ + offset;
        if (!inside(at, 16))
            return std::nullopt;
        return std::pair{*image_.read32(at), *image_.read32(at + 4)};
    }

private:
    bool inside(std::uint64_t at, std::uint64_t length) const {
        return at <= end_ && length <= end_ - at && image_.holds(at, length);
    }

    const Image& image_;
    std::uint64_t root_;
    std::uint64_t end_;
    std::uint32_t entriesRead_ = 0;
};

// A block is 16 counted strings; one that runs past its data is malformed. A block may end
// early: the strings it leaves out are absent.
bool blockIsWellFormed(const Image& image, std::uint64_t offset, std::uint64_t size) {
    std::uint64_t at = 0;
    for (std::uint32_t index = 0; index < kStringsPerBlock && at < size; ++index) {
        if (size - at < 2)
            return false;
        std::uint64_t length = *image.read16(offset + at);
        at += 2;
        if (length * 2 > size - at)
            return false;
        at += length * 2;
    }
    return true;
}

std::optional<std::vector<Section>> readSections(const Image& image, std::uint64_t table,
                                                 std::uint32_t count) {
    if (count == 0 || count > kMostSections || !image.holds(table, std::uint64_t{count} * 40))
        return std::nullopt;
    std::vector<Section> sections;
    sections.reserve(count);
    for (std::uint32_t index = 0; index < count; ++index) {
        std::uint64_t header = table + std::uint64_t{index} * 40;
        Section section{*image.read32(header + 12), *image.read32(header + 16),
                        *image.read32(header + 20)};
        if (section.rawOffset == 0)
            section.rawSize = 0; // nothing of it is in the file
        // A section whose data the file does not hold means the file was cut short.
        if (!image.holds(section.rawOffset, section.rawSize))
            return std::nullopt;
        sections.push_back(section);
    }
    return sections;
}

} // namespace

std::optional<std::vector<PeStringTable::Block>>
PeStringTable::indexBlocks(std::span<const std::uint8_t> bytes) {
    if (bytes.size() > kLargestFile)
        return std::nullopt;
    Image image(bytes);

    if (image.read16(0) != std::optional<std::uint16_t>(0x5A4D)) // "MZ"
        return std::nullopt;
    std::optional<std::uint32_t> peOffset = image.read32(0x3C);
    if (!peOffset ||
        image.read32(*peOffset) != std::optional<std::uint32_t>(0x00004550)) // "PE\0\0"
        return std::nullopt;
    std::uint64_t fileHeader = std::uint64_t{*peOffset} + 4;
    if (!image.holds(fileHeader, 20))
        return std::nullopt;
    std::uint32_t sectionCount = *image.read16(fileHeader + 2);
    std::uint32_t optionalHeaderSize = *image.read16(fileHeader + 16);
    std::uint64_t optionalHeader = fileHeader + 20;
    if (!image.holds(optionalHeader, optionalHeaderSize))
        return std::nullopt;

    std::uint32_t directoryCountAt = 0;
    std::optional<std::uint16_t> magic = image.read16(optionalHeader);
    if (magic == kOptionalHeaderMagicPe32)
        directoryCountAt = 92;
    else if (magic == kOptionalHeaderMagicPe32Plus)
        directoryCountAt = 108;
    else
        return std::nullopt;
    if (optionalHeaderSize < directoryCountAt + 4)
        return std::nullopt;

    std::optional<std::vector<Section>> sections =
        readSections(image, optionalHeader + optionalHeaderSize, sectionCount);
    if (!sections)
        return std::nullopt;

    std::vector<Block> blocks;

    std::uint32_t directoryCount = *image.read32(optionalHeader + directoryCountAt);
    std::uint32_t resourceEntryAt = directoryCountAt + 4 + kResourceDataDirectory * 8;
    if (directoryCount <= kResourceDataDirectory || optionalHeaderSize < resourceEntryAt + 8)
        return blocks; // a library without resources: every text is English
    std::uint32_t resourceRva = *image.read32(optionalHeader + resourceEntryAt);
    std::uint32_t resourceSize = *image.read32(optionalHeader + resourceEntryAt + 4);
    if (resourceRva == 0 && resourceSize == 0)
        return blocks;

    std::optional<std::uint64_t> root = fileOffsetOf(*sections, resourceRva, 16);
    if (!root)
        return std::nullopt;
    ResourceDirectory directory(image, *root, *sectionEndAt(*sections, *root));

    bool typeSeen = false;
    std::uint32_t typeDirectory = 0;
    bool wellFormed = directory.forEachEntry(0, [&](DirectoryEntry entry) {
        if (typeSeen || entry.name != kStringResourceType)
            return true;
        typeSeen = true;
        typeDirectory = entry.target & ~kHighBit;
        return (entry.target & kHighBit) != 0;
    });
    if (!wellFormed)
        return std::nullopt;
    if (!typeSeen)
        return blocks;

    wellFormed = directory.forEachEntry(typeDirectory, [&](DirectoryEntry block) {
        if ((block.target & kHighBit) == 0)
            return false;
        if (block.name & kHighBit)
            return true; // string tables are numbered; a named one is nobody's
        return directory.forEachEntry(block.target & ~kHighBit, [&](DirectoryEntry language) {
            if ((language.target & kHighBit) != 0 || (language.name & kHighBit) != 0)
                return false;
            auto data = directory.dataEntry(language.target);
            if (!data)
                return false;
            auto [rva, size] = *data;
            std::optional<std::uint64_t> offset = fileOffsetOf(*sections, rva, size);
            if (!offset || !blockIsWellFormed(image, *offset, size))
                return false;
            blocks.push_back(Block{block.name, static_cast<std::uint16_t>(language.name),
                                   static_cast<std::size_t>(*offset), size});
            return true;
        });
    });
    if (!wellFormed)
        return std::nullopt;
    return blocks;
}

std::optional<PeStringTable> PeStringTable::parse(std::span<const std::uint8_t> image) {
    return parse(std::vector<std::uint8_t>(image.begin(), image.end()));
}

std::optional<PeStringTable> PeStringTable::parse(std::vector<std::uint8_t>&& image) {
    std::optional<std::vector<Block>> blocks = indexBlocks(image);
    if (!blocks)
        return std::nullopt;
    PeStringTable table;
    table.image_ = std::move(image);
    table.blocks_ = std::move(*blocks);
    return table;
}

std::optional<std::u16string> PeStringTable::string(std::uint32_t id,
                                                    std::int32_t languageID) const {
    std::uint32_t blockID = id / kStringsPerBlock + 1;
    const Block* chosen = nullptr;
    const Block* neutral = nullptr;
    const Block* first = nullptr;
    for (const Block& block : blocks_) {
        if (block.blockID != blockID)
            continue;
        if (!first)
            first = &block;
        if (!neutral && (block.languageID & 0x3FF) == 0)
            neutral = &block;
        if (std::int32_t{block.languageID} == languageID) {
            chosen = &block;
            break;
        }
    }
    if (!chosen)
        chosen = neutral ? neutral : first;
    if (!chosen)
        return std::nullopt;

    // The block was checked whole when the table was read.
    Image image(image_);
    std::uint64_t at = chosen->offset;
    std::uint64_t end = chosen->offset + chosen->size;
    for (std::uint32_t index = 0; index < id % kStringsPerBlock; ++index) {
        if (end - at < 2)
            return std::nullopt;
        at += 2 + std::uint64_t{*image.read16(at)} * 2;
    }
    if (end - at < 2)
        return std::nullopt;
    std::size_t length = *image.read16(at);
    std::u16string text(length, u'\0');
    for (std::size_t index = 0; index < length; ++index)
        text[index] = static_cast<char16_t>(*image.read16(at + 2 + index * 2));
    return text;
}

} // namespace tambrel
