#include "tests/server/registry_file_text.h"
#include "tests/support/server_machine.h"

#include <cstdlib>
#include <fstream>
#include <optional>

namespace tambrel::testing {

struct ServerMachine::State {
    std::filesystem::path prefix;
    std::optional<std::string> previousPrefix;
    std::string shownRoot = "C:\\Corvel";
};

ServerMachine::ServerMachine(const std::filesystem::path& prefix)
    : state_(std::make_unique<State>()) {
    state_->prefix = prefix;
    if (const char* previous = std::getenv("WINEPREFIX"))
        state_->previousPrefix = previous;
    ::setenv("WINEPREFIX", prefix.c_str(), 1);
    std::filesystem::create_directories(prefix / "drive_c/Corvel");
    std::filesystem::create_directories(prefix / "dosdevices");
    std::filesystem::create_directory_symlink("../drive_c", prefix / "dosdevices/c:");
}

ServerMachine::~ServerMachine() {
    if (state_->previousPrefix)
        ::setenv("WINEPREFIX", state_->previousPrefix->c_str(), 1);
    else
        ::unsetenv("WINEPREFIX");
}

void ServerMachine::writeRegistry(std::string_view lines) const {
    std::ofstream(state_->prefix / "system.reg", std::ios::binary) << registryFileText(lines);
}

const std::string& ServerMachine::shownRoot() const {
    return state_->shownRoot;
}

} // namespace tambrel::testing
