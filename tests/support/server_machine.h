// The machine's side of a test server: where its registry keys go and how the root it holds is
// spelt to the scan. On POSIX a Wine prefix ($WINEPREFIX names it, drive C: through dosdevices,
// the keys in system.reg); on Windows the registry itself, and the root as the system spells the
// temporary folder it stands in.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace tambrel::testing {

class ServerMachine {
public:
    // `prefix`: the temporary folder the server stands in; its root is prefix/drive_c/Corvel.
    explicit ServerMachine(const std::filesystem::path& prefix);
    ~ServerMachine();
    ServerMachine(const ServerMachine&) = delete;
    ServerMachine& operator=(const ServerMachine&) = delete;

    // Keys and values as lines of Wine's registry file, backslashes doubled.
    void writeRegistry(std::string_view lines) const;
    // The root as the registry names it and the scan shows it ("C:\Corvel" on POSIX).
    const std::string& shownRoot() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace tambrel::testing
