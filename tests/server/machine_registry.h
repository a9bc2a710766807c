// HKEY_LOCAL_MACHINE as a test sets it up, on either platform, from the lines of Wine's
// registry file: on POSIX a fresh Wine prefix holding them as its system.reg (WINEPREFIX names it
// while the object lives), on Windows the same keys and values written to the registry itself and
// the server's keys removed again afterwards.
#pragma once

#include <memory>
#include <string_view>

namespace tambrel::testing {

class ScopedMachineRegistry {
public:
    ScopedMachineRegistry();
    ~ScopedMachineRegistry();
    ScopedMachineRegistry(const ScopedMachineRegistry&) = delete;
    ScopedMachineRegistry& operator=(const ScopedMachineRegistry&) = delete;

    // Keys as "[Software\\Quillan] 1700000000" lines, values as "\"name\"=dword:00030000"
    // lines, backslashes doubled as Wine writes them.
    void writeMachineRegistry(std::string_view lines);

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace tambrel::testing
