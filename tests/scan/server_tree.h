// A server in a temporary Wine prefix for the scan's tests: system.reg with the version and the
// root path, drive C: through dosdevices, and files placed below the root. $WINEPREFIX points at
// it while it lives.
#pragma once

#include "tests/inventory/wav_fixtures.h"
#include "tests/support/temporary_folder.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tambrel::testing {

class ServerTree {
public:
    static constexpr std::string_view kSupportedVersion = "dword:00030000";

    ServerTree() {
        if (const char* previous = std::getenv("WINEPREFIX"))
            previous_ = previous;
        ::setenv("WINEPREFIX", prefix_.path().c_str(), 1);
        std::filesystem::create_directories(prefix_ / "drive_c/Corvel");
        std::filesystem::create_directories(prefix_ / "dosdevices");
        std::filesystem::create_directory_symlink("../drive_c", prefix_ / "dosdevices/c:");
        writeRegistry(kSupportedVersion, "C:\\\\Corvel");
    }
    ~ServerTree() {
        if (previous_)
            ::setenv("WINEPREFIX", previous_->c_str(), 1);
        else
            ::unsetenv("WINEPREFIX");
    }
    ServerTree(const ServerTree&) = delete;
    ServerTree& operator=(const ServerTree&) = delete;

    // `version`: the data of "Version Number" as system.reg spells it, empty for no value.
    // `escapedRoot`: BrannockRootPath with its backslashes doubled, nullopt for no value.
    void writeRegistry(std::string_view version,
                       std::optional<std::string_view> escapedRoot) const {
        std::string text = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n"
                           "#arch=win64\n\n[Software\\\\Quillan] 1700000000\n";
        if (!version.empty())
            text += "\"Version Number\"=" + std::string(version) + "\n";
        text += "\"Build Number\"=dword:00010012\n\n";
        text += "[Software\\\\Quillan\\\\Brannock Setup\\\\1.0\\\\Properties] 1700000000\n";
        if (escapedRoot)
            text += "\"BrannockRootPath\"=\"" + std::string(*escapedRoot) + "\"\n";
        prefix_.write("system.reg", text);
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

private:
    TemporaryFolder prefix_;
    std::optional<std::string> previous_;
};

} // namespace tambrel::testing
