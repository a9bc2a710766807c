// A language library's string table, read as data from a Windows PE file (PE32 or PE32+) held
// in memory. No code of the file ever runs; every read of it is checked against its bounds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tambrel {

class PeStringTable {
public:
    // Libraries larger than this are not language libraries; they are refused unread.
    static constexpr std::size_t kLargestFile = 32u * 1024u * 1024u;

    // The table of a PE image; nullopt when the image is truncated, malformed or hostile.
    static std::optional<PeStringTable> parse(std::span<const std::uint8_t> image);
    // The same, keeping `image` itself rather than a copy of it.
    static std::optional<PeStringTable> parse(std::vector<std::uint8_t>&& image);

    // The text of string `id` from the block of `languageID`, else of a neutral language,
    // else of the first language that holds the block. nullopt when no block holds the ID;
    // an entry the block holds empty comes back empty.
    std::optional<std::u16string> string(std::uint32_t id, std::int32_t languageID) const;

private:
    struct Block {
        std::uint32_t blockID; // string ID / 16 + 1
        std::uint16_t languageID;
        std::size_t offset; // of the block's data in the image
        std::size_t size;
    };

    static std::optional<std::vector<Block>> indexBlocks(std::span<const std::uint8_t> image);

    std::vector<std::uint8_t> image_;
    std::vector<Block> blocks_; // in the order of the resource directory
};

} // namespace tambrel
