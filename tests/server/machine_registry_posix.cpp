#include "tests/server/machine_registry.h"
#include "tests/server/registry_fixture.h"

namespace tambrel::testing {

struct ScopedMachineRegistry::State {
    ScopedWinePrefix prefix;
};

ScopedMachineRegistry::ScopedMachineRegistry() : state_(std::make_unique<State>()) {}
ScopedMachineRegistry::~ScopedMachineRegistry() = default;

void ScopedMachineRegistry::writeMachineRegistry(std::string_view lines) {
    state_->prefix.writeMachineRegistry(lines);
}

} // namespace tambrel::testing
