// The temporary-file-and-rename step on POSIX: modes, links and devices.
#include "platform/export/replacement_file.h"
#include "platform/testing/file_tricks.h"
#include "tests/support/temporary_folder.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace tambrel {
namespace {

using testing::readFile;
using testing::TemporaryFolder;

unsigned modeOf(const std::filesystem::path& path) {
    return static_cast<unsigned>(std::filesystem::status(path).permissions() &
                                 std::filesystem::perms::mask);
}

TEST(ReplacementFile, NewFileTakesTheModeTheUmaskAllows) {
    TemporaryFolder folder;
    const struct {
        const char* name;
        unsigned umask;
        unsigned expected;
    } cases[] = {{"group-readable", 022, 0644}, {"private", 077, 0600}, {"open", 0, 0666}};
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        const unsigned saved = testing::setCreationMask(row.umask);
        const auto path = folder / row.name;
        Result<ReplacementFile> file = ReplacementFile::create(path.string());
        ASSERT_TRUE(file);
        ASSERT_TRUE(file->write("x"));
        ASSERT_TRUE(file->commit());
        testing::setCreationMask(saved);
        EXPECT_EQ(modeOf(path), row.expected);
    }
}

TEST(ReplacementFile, LinkedTargetIsReplacedAndTheLinkKept) {
    TemporaryFolder folder;
    const auto real = folder.write("real.csv", "before");
    const auto link = folder / "link.csv";
    std::filesystem::create_symlink(real, link);
    Result<ReplacementFile> file = ReplacementFile::create(link.string());
    ASSERT_TRUE(file);
    ASSERT_TRUE(file->write("after"));
    ASSERT_TRUE(file->commit());
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(readFile(real), "after");
}

TEST(ReplacementFile, DeviceIsNeverSwappedForAFile) {
    Result<ReplacementFile> file = ReplacementFile::create("/dev/null");
    ASSERT_FALSE(file);
    EXPECT_EQ(file.failure().code, EPERM);
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
}

} // namespace
} // namespace tambrel
