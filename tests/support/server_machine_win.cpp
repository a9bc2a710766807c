#include "tests/server/machine_registry.h"
#include "tests/support/server_machine.h"

#include <algorithm>

namespace tambrel::testing {

// The server's keys are the machine's own, so only one test program may hold them at a time
// (ctest's resource lock machine_registry_server_key); they are removed again afterwards.
struct ServerMachine::State {
    ScopedMachineRegistry registry;
    std::string shownRoot;
};

ServerMachine::ServerMachine(const std::filesystem::path& prefix)
    : state_(std::make_unique<State>()) {
    const std::filesystem::path root = prefix / "drive_c" / "Corvel";
    std::filesystem::create_directories(root);
    state_->shownRoot = root.string();
    std::replace(state_->shownRoot.begin(), state_->shownRoot.end(), '/', '\\');
}

ServerMachine::~ServerMachine() = default;

void ServerMachine::writeRegistry(std::string_view lines) const {
    state_->registry.writeMachineRegistry(lines);
}

const std::string& ServerMachine::shownRoot() const {
    return state_->shownRoot;
}

} // namespace tambrel::testing
