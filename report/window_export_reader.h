// Reads the CSV file the window exports for one list (greetings or prompts), so that a scan can
// be compared with an inventory taken by hand in the window: the header line in whichever
// language wrote it, then the five cells of each file row.
#pragma once

#include "common/result.h"
#include "report/chunk_source.h"
#include "report/document_reader.h"
#include "report/inventory_document.h"

#include <string_view>

namespace tambrel::report {

// The header line is the string table's header text in any language: five cells joined by a
// comma and a blank. Each line after it gives Codec, FileName, SampleRate, LastModified and
// FileSize; a cell with a comma is quoted, or (in exports of old) left bare, when the path
// takes every comma but the first and the last three. Lines end in CR LF (LF alone is read
// too); a last line without its end means the file was cut short. The text is taken byte for
// byte after a UTF-8 byte-order mark, if any: the ANSI code page it may be in is unknown here.
Status readWindowExport(ChunkSource& source, std::string_view name, ListKind list, RowSink& rows);

// The pair the window exports, one file per list, as one document.
Result<InventoryDocument> readWindowExportPair(ChunkSource& greetings,
                                               std::string_view greetingsName, ChunkSource& prompts,
                                               std::string_view promptsName);

} // namespace tambrel::report
