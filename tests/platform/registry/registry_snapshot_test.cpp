// The registry file is taken whole or not at all: regular files within the size cap only.
#include "platform/registry/registry_snapshot.h"
#include "tests/support/temporary_folder.h"

#include <gtest/gtest.h>

namespace tambrel {
namespace {

TEST(RegistrySnapshot, TakesTheWholeFileUpToTheCap) {
    const testing::TemporaryFolder folder;
    const std::string bytes(100, 'r');
    const std::string path = folder.write("system.reg", bytes).string();

    const std::optional<RegistrySnapshot> atCap = RegistrySnapshot::read(path, 100);
    ASSERT_TRUE(atCap.has_value());
    EXPECT_EQ(atCap->text(), bytes);
    EXPECT_FALSE(RegistrySnapshot::read(path, 99).has_value());
}

TEST(RegistrySnapshot, EmptyAndMissingFiles) {
    const testing::TemporaryFolder folder;
    const std::optional<RegistrySnapshot> empty =
        RegistrySnapshot::read(folder.write("empty.reg", "").string());
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->text().empty());
    EXPECT_FALSE(RegistrySnapshot::read((folder / "none.reg").string()).has_value());
}

} // namespace
} // namespace tambrel
