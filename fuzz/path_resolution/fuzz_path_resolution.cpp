// Path resolution over arbitrary text against a small prefix made in /tmp: never crashes,
// never hangs on the FIFO or the looping links, and ".." never leaves the drive. The resolver
// follows a drive's link in dosdevices/ once, so a resolved path lies below the folder the
// drive leads to (drive_c here), not below dosdevices/.
#include "inventory/file_system.h"
#include "platform/testing/file_tricks.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string prefix;
// The real folder behind dosdevices/c:, the only drive of the prefix that leads somewhere.
std::string driveC;

void makePrefix() {
    const std::optional<fs::path> folder =
        tambrel::testing::makeFreshFolder("tambrel-fuzz-prefix-");
    if (!folder)
        std::abort();
    prefix = folder->string();
    const fs::path drive = fs::path(prefix) / "drive_c";
    for (const char* folder :
         {"Corvel/Stream Files", "Corvel/localize/defaultconfiguration/en",
          "Corvel/Localize/Prompts/L1/L2/L3", "Corvel/Ärger", "Corvel/support"})
        fs::create_directories(drive / folder);
    for (const char* file : {"Corvel/Stream Files/greet.wav", "Corvel/support/RecordBeep.wav",
                             "Corvel/Ärger/Übung.WAV"})
        std::ofstream(drive / file) << "RIFF";
    tambrel::testing::makeFifo(drive / "Corvel/Stream Files/pipe.wav");
    fs::create_symlink("nowhere", drive / "Corvel/dangling");
    fs::create_symlink("loop", drive / "Corvel/loop");
    fs::create_directory_symlink("..", drive / "Corvel/Stream Files/up");
    fs::create_directories(fs::path(prefix) / "dosdevices");
    fs::create_directory_symlink("../drive_c", fs::path(prefix) / "dosdevices/c:");
    fs::create_directory_symlink("/nonexistent-drive", fs::path(prefix) / "dosdevices/d:");
    driveC = fs::canonical(fs::path(prefix) / "dosdevices/c:").string();
}

bool belowDriveC(const std::string& host) {
    return host.compare(0, driveC.size(), driveC) == 0 &&
           (host.size() == driveC.size() || host[driveC.size()] == '/');
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    makePrefix();
    std::atexit([] {
        std::error_code ignored;
        fs::remove_all(prefix, ignored);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tambrel;
    const std::string_view path(reinterpret_cast<const char*>(data), size);
    // Absolute POSIX paths would send the resolver over the whole machine; the drive-letter
    // notation is what the registry supplies.
    if (!path.empty() && path.front() == '/')
        return 0;
    static const FileSystemObject fileSystem(prefix);
    Result<std::string> host = fileSystem.resolveHostPath(path);
    if (host && !belowDriveC(*host))
        std::abort(); // the resolver left the drive
    (void)FileSystemObject::GetExtensionName(path);
    (void)fileSystem.FileExists(path);
    if (Result<FolderEntry> folder = fileSystem.GetFolder(path))
        (void)fileSystem.List(folder.value());
    return 0;
}
