// The two export commands of the File menu, as one command over either grid.
#pragma once

#include "export/row_source.h"
#include "inventory/file_system.h"

namespace tambrel {

enum class CsvExportTarget { Greetings, Prompts };

// The whole command: save dialog, overwrite question, the file written whole or not at all,
// and the closing message. Reads only `rows`, in their order.
void runCsvExportCommand(CsvExportTarget target, const CsvRowSource& rows,
                         const FileSystemObject& fileSystem);

} // namespace tambrel
