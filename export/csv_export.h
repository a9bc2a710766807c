// The two export commands of the File menu, as one command over either grid.
#pragma once

#include "common/grid.h"
#include "inventory/file_system.h"

namespace tambrel {

enum class CsvExportTarget { Greetings, Prompts };

// The whole command: save dialog, overwrite question, the file written whole or not at all,
// and the closing message. Reads only `grid`.
void runCsvExportCommand(CsvExportTarget target, const Grid& grid,
                         const FileSystemObject& fileSystem);

} // namespace tambrel
