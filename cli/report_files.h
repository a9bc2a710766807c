// The report library's sources and sinks wired to the tool's files: documents and rules read
// from files a piece at a time, documents and reports written to standard output ("-") or to
// a file replaced whole or not at all, never inside the server's folders.
#pragma once

#include "common/result.h"
#include "export/export_target.h"
#include "report/chunk_source.h"
#include "report/text_sink.h"

#include <functional>
#include <memory>
#include <string>

namespace tambrel::cli {

// A file read from its start to its end, a piece at a time.
Result<std::unique_ptr<report::ChunkSource>> openChunkSource(const std::string& path);

// The whole of a small text file (rules): refused past `sizeLimit` bytes.
Result<std::string> readTextFile(const std::string& path, std::size_t sizeLimit);

// Hands `produce` a sink into `path` ("-": standard output) and keeps what it wrote only when
// it and the close succeed.
Status writeThroughSink(const std::string& path, const ProtectedRoots& protectedRoots,
                        const std::function<Status(report::TextSink&)>& produce);

} // namespace tambrel::cli
