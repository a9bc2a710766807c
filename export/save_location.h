// Where the save dialog of an export starts: the proposed "c:\..." file through the Wine
// prefix's drive C: when the prefix has one the user may write to, else the same file name in
// the user's Documents folder, where a save can succeed.
#pragma once

#include "inventory/file_system.h"

#include <string>
#include <string_view>

namespace tambrel {

struct SaveLocation {
    std::string proposedPath;
    std::string initialFolder;
};

// `windowsPath` is a proposed path on drive C:, such as "c:\GreetingsCodecData.csv".
SaveLocation proposedSaveLocation(std::string_view windowsPath, const FileSystemObject& fileSystem);

} // namespace tambrel
