// The folders of the user and of the program itself: home, documents, and where the running
// executable lives (its language libraries and help pages sit beside it).
#pragma once

#include <string>

namespace tambrel::platform {

// POSIX: $HOME, or the password database's home folder when HOME is unset or empty; "/" when
// neither is known. Windows: the profile folder (FOLDERID_Profile), UTF-8.
std::string homeFolder();

// Windows: the user's Documents folder (FOLDERID_Documents). POSIX: the documents folder of the
// XDG user folders (user-dirs.dirs), else ~/Documents when it exists, else the home folder.
std::string documentsFolder();

struct ProgramLocation {
    std::string folder;         // the folder of the resolved executable
    std::string executableName; // its file name without extension
};

// The running executable's folder and name; {".", "tambrel"} when the system cannot say.
ProgramLocation runningProgramLocation();

} // namespace tambrel::platform
