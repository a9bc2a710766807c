// The temporary-file-and-rename step: modes, links and what a failure or an abandoned file
// leaves behind.
#include "platform/replacement_file.h"
#include "tests/support/temporary_folder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace tambrel {
namespace {

using testing::readFile;
using testing::TemporaryFolder;

mode_t modeOf(const std::filesystem::path& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

std::size_t entryCount(const std::filesystem::path& folder) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                                  std::filesystem::directory_iterator()));
}

TEST(ReplacementFile, NewFileTakesTheModeTheUmaskAllows) {
    TemporaryFolder folder;
    const struct {
        const char* name;
        mode_t umask;
        mode_t expected;
    } cases[] = {{"group-readable", 022, 0644}, {"private", 077, 0600}, {"open", 0, 0666}};
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        const mode_t saved = ::umask(row.umask);
        const auto path = folder / row.name;
        Result<ReplacementFile> file = ReplacementFile::create(path.string());
        ASSERT_TRUE(file);
        ASSERT_TRUE(file->write("x"));
        ASSERT_TRUE(file->commit());
        ::umask(saved);
        EXPECT_EQ(modeOf(path), row.expected);
    }
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

TEST(ReplacementFile, RefusesWhatIsNoWritableRegularFile) {
    TemporaryFolder folder;
    const auto readOnly = folder.write("read-only.csv", "keep");
    ::chmod(readOnly.c_str(), 0444);
    std::filesystem::create_directory(folder / "a folder");
    const struct {
        const char* name;
        std::string path;
        int error;
    } cases[] = {
        {"read-only file", readOnly.string(), EACCES},
        {"folder", (folder / "a folder").string(), EISDIR},
        {"device", "/dev/null", EPERM},
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
    struct stat info {};
    ASSERT_EQ(::stat("/dev/null", &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
}

} // namespace
} // namespace tambrel
