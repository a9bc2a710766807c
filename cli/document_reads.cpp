#include "cli/document_reads.h"

#include "cli/report_files.h"
#include "common/ascii_case.h"
#include "report/input_errors.h"
#include "report/window_export_reader.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace tambrel::cli {
namespace {

// The count is redrawn this often while documents are read; LiveCount itself limits how often
// a terminal sees it.
constexpr auto kCountInterval = std::chrono::milliseconds(100);

bool endsInCsv(std::string_view name) {
    return name.size() > 4 && equalIgnoringAsciiCase(name.substr(name.size() - 4), ".csv");
}

} // namespace

Failure inputFailure(std::string_view name, const Failure& failure) {
    if (failure.code == report::kMalformedDocument || failure.code == report::kMalformedRules)
        return failure;
    return Failure{failure.code, std::string(name) + ": " + failure.description};
}

Result<report::InventoryDocument> readDocumentArgument(const std::string& argument,
                                                       report::RowProgress* progress) {
    const std::size_t comma = argument.find(',');
    if (comma != std::string::npos && endsInCsv(argument.substr(0, comma)) && endsInCsv(argument)) {
        const std::string greetingsName = argument.substr(0, comma);
        const std::string promptsName = argument.substr(comma + 1);
        Result<std::unique_ptr<report::ChunkSource>> greetings = openChunkSource(greetingsName);
        if (!greetings)
            return inputFailure(greetingsName, greetings.failure());
        Result<std::unique_ptr<report::ChunkSource>> prompts = openChunkSource(promptsName);
        if (!prompts)
            return inputFailure(promptsName, prompts.failure());
        Result<report::InventoryDocument> pair =
            report::readWindowExportPair(**greetings, greetingsName, **prompts, promptsName);
        if (!pair)
            return inputFailure(argument, pair.failure());
        if (progress)
            progress->fetch_add(pair->rows.size(), std::memory_order_relaxed);
        return pair;
    }
    Result<std::unique_ptr<report::ChunkSource>> source = openChunkSource(argument);
    if (!source)
        return inputFailure(argument, source.failure());
    Result<report::InventoryDocument> document =
        report::readAnyDocument(**source, argument, std::nullopt, progress);
    if (!document)
        return inputFailure(argument, document.failure());
    return document;
}

std::vector<Result<report::InventoryDocument>>
readDocumentsCounting(std::span<const std::string> arguments, LiveCount& count,
                      report::RowProgress& progress) {
    std::vector<std::optional<Result<report::InventoryDocument>>> read(arguments.size());
    std::mutex mutex;
    std::condition_variable finished;
    std::size_t unfinished = arguments.size();
    std::vector<std::thread> readers;
    readers.reserve(arguments.size());
    for (std::size_t i = 0; i < arguments.size(); ++i)
        readers.emplace_back([&, i] {
            Result<report::InventoryDocument> document =
                readDocumentArgument(arguments[i], &progress);
            const std::lock_guard lock(mutex);
            read[i].emplace(std::move(document));
            --unfinished;
            finished.notify_one();
        });
    {
        std::unique_lock lock(mutex);
        while (!finished.wait_for(lock, kCountInterval, [&] { return unfinished == 0; })) {
            lock.unlock();
            count.update(static_cast<std::int64_t>(progress.load(std::memory_order_relaxed)));
            lock.lock();
        }
    }
    // Drawn at least once, however quickly the documents were read.
    count.update(static_cast<std::int64_t>(progress.load(std::memory_order_relaxed)));
    for (std::thread& reader : readers)
        reader.join();
    std::vector<Result<report::InventoryDocument>> documents;
    documents.reserve(read.size());
    for (std::optional<Result<report::InventoryDocument>>& document : read)
        documents.push_back(std::move(*document));
    return documents;
}

} // namespace tambrel::cli
