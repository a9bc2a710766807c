#include "platform/text/user_language.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace tambrel::platform {
namespace {

// The About box lists these names in its language menu: a stray null shows there as a box.
TEST(LanguageDisplayNameOnWindows, IsTheNameAloneForEveryShippedLanguage) {
    const struct {
        const char* name;
        std::int32_t languageID;
    } cases[] = {{"English", 1033}, {"German", 1031}, {"Japanese", 1041}};
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        const std::optional<std::string> name = languageDisplayName(row.languageID);
        ASSERT_TRUE(name.has_value());
        EXPECT_FALSE(name->empty());
        EXPECT_EQ(name->find('\0'), std::string::npos);
    }
}

} // namespace
} // namespace tambrel::platform
