// The temporary-file-and-rename step: what a refusal or an abandoned file leaves behind.
#include "platform/export/replacement_file.h"
#include "tests/support/temporary_folder.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace tambrel {
namespace {

using testing::readFile;
using testing::TemporaryFolder;

std::size_t entryCount(const std::filesystem::path& folder) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                                  std::filesystem::directory_iterator()));
}

TEST(ReplacementFile, AbandonedFileLeavesTheTargetAndNoTrace) {
    TemporaryFolder folder;
    const auto path = folder.write("target.csv", "before");
    {
        Result<ReplacementFile> file = ReplacementFile::create(path.string());
        ASSERT_TRUE(file);
        ASSERT_TRUE(file->write("half a file"));
        EXPECT_EQ(entryCount(folder.path()), 2u);
        EXPECT_EQ(readFile(path), "before");
    }
    EXPECT_EQ(entryCount(folder.path()), 1u);
    EXPECT_EQ(readFile(path), "before");
}

TEST(ReplacementFile, RefusesWhatIsNoWritableRegularFile) {
    TemporaryFolder folder;
    const auto readOnly = folder.write("read-only.csv", "keep");
    std::filesystem::permissions(readOnly, std::filesystem::perms::owner_read |
                                               std::filesystem::perms::group_read |
                                               std::filesystem::perms::others_read);
    std::filesystem::create_directory(folder / "a folder");
    const struct {
        const char* name;
        std::string path;
        int error;
    } cases[] = {
        {"read-only file", readOnly.string(), EACCES},
        {"folder", (folder / "a folder").string(), EISDIR},
        {"empty name", "", EINVAL},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        Result<ReplacementFile> file = ReplacementFile::create(row.path);
        ASSERT_FALSE(file);
        EXPECT_EQ(file.failure().code, row.error);
    }
    EXPECT_EQ(readFile(readOnly), "keep");
    EXPECT_EQ(entryCount(folder.path()), 2u);
}

} // namespace
} // namespace tambrel
