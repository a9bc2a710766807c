// The file-system facilities on the platform the suite runs on: what a folder listing says of
// each kind of entry, reads at the head of a file, whole-file reads and their size limit, and
// names and paths that strain the system (outside ASCII, longer than MAX_PATH).
#include "platform/files/file_reads.h"
#include "platform/files/folder_listing.h"
#include "platform/paths/host_paths.h"
#include "tests/support/temporary_folder.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <gtest/gtest.h>

namespace tambrel {
namespace {

using platform::EntryKind;
using testing::TemporaryFolder;

// Paths are UTF-8 in the platform layer on every system.
std::string hostPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::filesystem::path fromUtf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

struct NameCase {
    const char* name;
    std::string entryName; // UTF-8
    bool folder;
};

class ListedEntries : public ::testing::TestWithParam<NameCase> {};

// A listing names each entry as it was created, with its kind, and whatever size the listing
// carries is the file's own.
TEST_P(ListedEntries, KeepTheirNameAndKind) {
    const NameCase& row = GetParam();
    const TemporaryFolder folder;
    const std::filesystem::path entry = folder.path() / fromUtf8(row.entryName);
    if (row.folder)
        std::filesystem::create_directory(entry);
    else
        std::ofstream(entry, std::ios::binary) << "RIFF1234";

    const Result<platform::FolderItems> listing = platform::listFolder(hostPath(folder.path()));
    ASSERT_TRUE(listing.ok()) << listing.failure().description;
    ASSERT_EQ(listing->size(), 1u);
    const platform::FolderItem listed = (*listing)[0];
    EXPECT_EQ(listed.name, row.entryName);
    EXPECT_EQ(listed.kind, row.folder ? EntryKind::Folder : EntryKind::File);

    // Found again by a name spelled in other letter case.
    std::string upper = row.entryName;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
    EXPECT_EQ(platform::findEntryIgnoringCase(hostPath(folder.path()), upper), row.entryName);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ListedEntries,
    ::testing::Values(NameCase{"AsciiFile", "greeting.wav", false},
                      NameCase{"AsciiFolder", "Stream Files", true},
                      NameCase{"LatinOutsideAscii",
                               "gr\xc3\xbc\xc3\x9f"
                               "e.wav",
                               false},
                      NameCase{"ScriptOutsideAnsi", "\xe6\x97\xa5\xe6\x9c\xac.wav", false},
                      NameCase{"FolderOutsideAnsi", "\xd0\x9f\xd0\xb0\xd0\xbf\xd0\xba\xd0\xb0",
                               true}),
    [](const ::testing::TestParamInfo<NameCase>& info) { return info.param.name; });

TEST(ReadOnlyFile, ReadsTheHeadAndReportsTheStatus) {
    const TemporaryFolder folder;
    const std::filesystem::path path =
        folder.write("a.wav", std::string_view("RIFF\x24\0\0\0WAVEfmt ", 16));
    Result<platform::ReadOnlyFile> file = platform::ReadOnlyFile::open(hostPath(path));
    ASSERT_TRUE(file.ok()) << file.failure().description;
    std::array<std::byte, 38> head{};
    const Result<std::size_t> read = file->readAt(0, head);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(*read, 16u); // fewer bytes than asked at the end of the file
    std::array<std::byte, 4> tail{};
    EXPECT_EQ(file->readAt(8, tail).value(), 4u);
    EXPECT_EQ(static_cast<char>(tail[0]), 'W');
    EXPECT_EQ(file->readAt(100, tail).value(), 0u);
    const Result<platform::FileStatus> status = file->status();
    ASSERT_TRUE(status.ok());
    EXPECT_EQ(status->size, 16);
    EXPECT_GT(status->lastModified.tv_sec, 0);
    EXPECT_TRUE(file->close().ok());
}

TEST(ReadOnlyFile, MissingFileFailsToOpen) {
    const TemporaryFolder folder;
    EXPECT_FALSE(platform::ReadOnlyFile::open(hostPath(folder / "gone.wav")).ok());
    EXPECT_FALSE(platform::statusOfPath(hostPath(folder / "gone.wav")).ok());
    EXPECT_FALSE(platform::listFolder(hostPath(folder / "gone")).ok());
}

struct WholeFileCase {
    const char* name;
    std::size_t size;
    std::size_t limit;
    bool read;
};

class WholeFiles : public ::testing::TestWithParam<WholeFileCase> {};

TEST_P(WholeFiles, AreReadUpToTheirLimit) {
    const WholeFileCase& row = GetParam();
    const TemporaryFolder folder;
    const std::filesystem::path path = folder.write("whole.bin", std::string(row.size, 'x'));
    const Result<std::vector<std::uint8_t>> bytes =
        platform::readWholeFile(hostPath(path), row.limit);
    ASSERT_EQ(bytes.ok(), row.read);
    if (row.read) {
        EXPECT_EQ(bytes->size(), row.size);
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, WholeFiles,
                         ::testing::Values(WholeFileCase{"Empty", 0, 16, true},
                                           WholeFileCase{"AtTheLimit", 16, 16, true},
                                           WholeFileCase{"OverTheLimit", 17, 16, false},
                                           WholeFileCase{"Large", 300000, 1 << 20, true}),
                         [](const ::testing::TestParamInfo<WholeFileCase>& info) {
                             return info.param.name;
                         });

TEST(ReadWholeFile, FolderIsNoFile) {
    const TemporaryFolder folder;
    EXPECT_FALSE(platform::readWholeFile(hostPath(folder.path()), 1 << 20).ok());
}

// 300 characters and more, past what plain Windows paths hold.
TEST(LongPaths, AreListedAndRead) {
    const TemporaryFolder folder;
    std::string host = hostPath(folder.path());
    for (int level = 0; level < 6; ++level)
        host += platform::kHostSeparator + std::string(50, static_cast<char>('a' + level));
    ASSERT_GT(host.size(), 300u);
    // The resolved form is the one the system takes for a path this long (\\?\ on Windows).
    const Result<std::string> resolved = platform::resolveHostPath(host, {});
    ASSERT_TRUE(resolved.ok());
    std::error_code error;
    std::filesystem::create_directories(fromUtf8(*resolved), error);
    ASSERT_FALSE(error) << error.message();
    {
        std::ofstream out(fromUtf8(*resolved) / "deep.wav", std::ios::binary);
        out << "RIFF";
    }
    const Result<platform::FolderItems> listing = platform::listFolder(host);
    ASSERT_TRUE(listing.ok()) << listing.failure().description;
    ASSERT_EQ(listing->size(), 1u);
    const std::string file = host + platform::kHostSeparator + "deep.wav";
    const Result<std::vector<std::uint8_t>> bytes = platform::readWholeFile(file, 16);
    ASSERT_TRUE(bytes.ok()) << bytes.failure().description;
    EXPECT_EQ(bytes->size(), 4u);
    EXPECT_TRUE(platform::statusOfPath(file).ok());
}

} // namespace
} // namespace tambrel
