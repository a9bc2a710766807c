// From a path in the server's own notation (C:\Corvel\..., \\host\share\...) to the path the
// system opens: on POSIX through a Wine-style prefix's drive letters, on Windows the path itself
// (with the \\?\ form where it is too long for the plain one).
#pragma once

#include "common/result.h"

#include <string>
#include <string_view>

namespace tambrel::platform {

// The folder that stands in for "the Windows machine" on POSIX: $WINEPREFIX, or ~/.wine when it
// is unset or empty, without trailing slashes. Empty on Windows, where there is none.
std::string defaultWinePrefix();

// The separator of the paths the system opens: "/" on POSIX, "\\" on Windows.
extern const char kHostSeparator;

// `name` inside the folder `hostPath`, joined by the system's separator.
std::string joinedHostPath(std::string_view hostPath, std::string_view name);

// POSIX: a drive-letter path through <prefix>/dosdevices, each component matched exactly first
// and then without regard to letter case; a path beginning with "/" as it stands; a relative or
// rooted path ("\x") against drive C:. Components that do not exist yet (a file about to be
// created) are appended as written. Windows: the path as it is (`winePrefix` unused), with "/"
// taken as "\", "." and ".." resolved, and \\?\ (\\?\UNC\ for a server share) put in front when
// it would not fit MAX_PATH.
Result<std::string> resolveHostPath(std::string_view path, const std::string& winePrefix);

// Removes the regular file at `hostPath`; a read-only one is refused, as Windows does.
Status removeFile(const std::string& hostPath);

} // namespace tambrel::platform
