// Where the Wine prefix, and so HKEY_LOCAL_MACHINE's file, is found.
#include "platform/paths/wine_prefix.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <ostream>
#include <string>

namespace tambrel {
namespace {

class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name_(name) {
        if (const char* previous = std::getenv(name))
            previous_ = previous;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedVariable() {
        if (previous_)
            ::setenv(name_, previous_->c_str(), 1);
        else
            ::unsetenv(name_);
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
    std::optional<std::string> previous_;
};

struct PrefixCase {
    const char* name;
    const char* winePrefix;
    const char* home;
    const char* expectedRegistry;
};

void PrintTo(const PrefixCase& row, std::ostream* out) {
    *out << row.name;
}

class WinePrefixLocation : public ::testing::TestWithParam<PrefixCase> {};

TEST_P(WinePrefixLocation, NamesSystemReg) {
    const PrefixCase& row = GetParam();
    const ScopedVariable prefix("WINEPREFIX", row.winePrefix);
    const ScopedVariable home("HOME", row.home);
    EXPECT_EQ(machineRegistryPath(), row.expectedRegistry);
}

INSTANTIATE_TEST_SUITE_P(
    Locations, WinePrefixLocation,
    ::testing::Values(
        PrefixCase{"FromWinePrefix", "/srv/corvel", "/home/a", "/srv/corvel/system.reg"},
        PrefixCase{"TrailingSlashDropped", "/srv/corvel//", "/home/a", "/srv/corvel/system.reg"},
        PrefixCase{"UnsetMeansHome", nullptr, "/home/a", "/home/a/.wine/system.reg"},
        PrefixCase{"EmptyMeansHome", "", "/home/a", "/home/a/.wine/system.reg"},
        PrefixCase{"RootPrefix", "/", "/home/a", "/system.reg"}),
    [](const ::testing::TestParamInfo<PrefixCase>& info) { return info.param.name; });

} // namespace
} // namespace tambrel
