// A server in a temporary folder for the scan's tests: the version and the root path in the
// machine's registry (on POSIX system.reg of a Wine prefix that $WINEPREFIX names while the tree
// lives, drive C: through dosdevices), and files placed below the root.
#pragma once

#include "tests/inventory/wav_fixtures.h"
#include "tests/support/server_machine.h"
#include "tests/support/temporary_folder.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tambrel::testing {

class ServerTree {
public:
    static constexpr std::string_view kSupportedVersion = "dword:00030000";

    ServerTree() { writeRegistry(kSupportedVersion, escapedRoot()); }
    ServerTree(const ServerTree&) = delete;
    ServerTree& operator=(const ServerTree&) = delete;

    // `version`: the data of "Version Number" as system.reg spells it, empty for no value.
    // `escapedRoot`: BrannockRootPath with its backslashes doubled, nullopt for no value.
    void writeRegistry(std::string_view version,
                       std::optional<std::string_view> escapedRoot) const {
        std::string text = "[Software\\\\Quillan] 1700000000\n";
        if (!version.empty())
            text += "\"Version Number\"=" + std::string(version) + "\n";
        text += "\"Build Number\"=dword:00010012\n\n";
        text += "[Software\\\\Quillan\\\\Brannock Setup\\\\1.0\\\\Properties] 1700000000\n";
        if (escapedRoot)
            text += "\"BrannockRootPath\"=\"" + std::string(*escapedRoot) + "\"\n";
        machine_.writeRegistry(text);
    }

    // Writes `bytes` at `relative` below the server root (forward slashes, case as on disk).
    void write(std::string_view relative, std::string_view bytes) const {
        prefix_.write("drive_c/Corvel/" + std::string(relative), bytes);
    }
    void makeFolder(std::string_view relative) const {
        std::filesystem::create_directories(root() / relative);
    }
    // A plain 8 kHz PCM recording at `relative`.
    void writeWave(std::string_view relative) const { write(relative, canonicalWave(1, 8000)); }
    // The four places present and empty but for the record beep, so that only a test's own
    // files matter.
    void makeEmptyServer() const {
        makeFolder("Stream Files");
        makeFolder("localize/defaultconfiguration");
        makeFolder("Localize/Prompts");
        writeWave("support/RecordBeep.wav");
    }
    std::filesystem::path root() const { return prefix_ / "drive_c/Corvel"; }
    const std::filesystem::path& prefix() const { return prefix_.path(); }

    // The root as the registry names it, and as written in system.reg (backslashes doubled).
    const std::string& shownRoot() const { return machine_.shownRoot(); }
    std::string escapedRoot() const {
        std::string escaped;
        for (char c : shownRoot()) {
            escaped.push_back(c);
            if (c == '\\')
                escaped.push_back(c);
        }
        return escaped;
    }
    // "Localize/Prompts/a.wav" as the scan shows it below the root.
    std::string shown(std::string_view relative) const {
        std::string path = shownRoot() + "\\" + std::string(relative);
        std::replace(path.begin(), path.end(), '/', '\\');
        return path;
    }

private:
    TemporaryFolder prefix_;
    ServerMachine machine_{prefix_.path()};
};

} // namespace tambrel::testing
