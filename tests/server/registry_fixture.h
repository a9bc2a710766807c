// Registry files for the tests: Wine's header and preamble around the lines a test gives, and a
// Wine prefix in a temporary folder that the registry reader is pointed at while a test runs.
#pragma once

#include "tests/server/registry_file_text.h"
#include "tests/support/temporary_folder.h"

#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace tambrel::testing {

// Sets $WINEPREFIX to a fresh folder and restores what it was afterwards.
class ScopedWinePrefix {
public:
    ScopedWinePrefix() {
        if (const char* previous = std::getenv("WINEPREFIX"))
            previous_ = previous;
        ::setenv("WINEPREFIX", folder_.path().c_str(), 1);
    }
    ~ScopedWinePrefix() {
        if (previous_)
            ::setenv("WINEPREFIX", previous_->c_str(), 1);
        else
            ::unsetenv("WINEPREFIX");
    }
    ScopedWinePrefix(const ScopedWinePrefix&) = delete;
    ScopedWinePrefix& operator=(const ScopedWinePrefix&) = delete;

    const TemporaryFolder& folder() const { return folder_; }
    // system.reg holding Wine's preamble and `lines`.
    void writeMachineRegistry(std::string_view lines) const {
        folder_.write("system.reg", registryFileText(lines));
    }
    void writeMachineRegistryBytes(std::string_view bytes) const {
        folder_.write("system.reg", bytes);
    }

private:
    TemporaryFolder folder_;
    std::optional<std::string> previous_;
};

} // namespace tambrel::testing
