#include "cli/run_cli.h"

#include "cli/cli_options.h"
#include "cli/cli_scan_sink.h"
#include "cli/fact_columns.h"
#include "cli/fleet_options.h"
#include "cli/fleet_run.h"
#include "cli/json_rows.h"
#include "cli/listing_store.h"
#include "cli/live_count.h"
#include "cli/summary_json.h"
#include "cli/summary_table.h"
#include "common/ascii_case.h"
#include "common/user_dialogs.h"
#include "export/csv_writer.h"
#include "export/export_target.h"
#include "inventory/file_system.h"
#include "inventory/folder_scan.h"
#include "localize/language_names.h"
#include "localize/language_state.h"
#include "localize/own_texts.h"
#include "platform/export/direct_output.h"
#include "platform/export/replacement_file.h"
#include "platform/paths/wine_prefix.h"
#include "platform/process/host_identity.h"
#include "platform/process/standard_streams.h"
#include "server/server_root.h"

#include <filesystem>
#include <functional>
#include <optional>

#if !defined(TAMBREL_VERSION_MAJOR) || !defined(TAMBREL_VERSION_MINOR) ||                          \
    !defined(TAMBREL_VERSION_PATCH)
#error "The build passes the program's version as TAMBREL_VERSION_MAJOR, _MINOR and _PATCH"
#endif

namespace tambrel::cli {
namespace {

constexpr std::string_view kProgramName = "tambrel-cli";
// The language libraries are the window's, named after its executable.
constexpr std::string_view kLibraryStem = "tambrel";
// The language of the built-in table, which needs no library.
constexpr std::string_view kBuiltInLanguage = "ENU";

constexpr std::int32_t kVersionBuild = 0;
constexpr std::int32_t kCsvHeader = 6;

// Lines gathered to about this size before each write to standard output or a JSON file.
constexpr std::size_t kChunkBytes = std::size_t{1} << 20;

void tell(std::string_view text) {
    tellOnStandardError(kProgramName, text);
}

// Any other message of the core (a text missing from the string table, say) goes to standard
// error as well and counts as a failure, as the scan's own failures do; questions are answered
// No, so nothing is ever overwritten.
class StandardErrorDialogs final : public UserDialogs {
public:
    MessageAnswer showMessage(std::string_view text, std::string_view, MessageButtons) override {
        tell(text);
        somethingShown = true;
        return MessageAnswer::No;
    }
    std::optional<std::string> askSaveFileName(const SaveDialogRequest&) override {
        return std::nullopt;
    }
    void setMousePointer(MousePointer) override {}

    bool somethingShown = false;
};

class ScopedDialogs {
public:
    explicit ScopedDialogs(UserDialogs& dialogs) : previous_(installUserDialogs(&dialogs)) {}
    ~ScopedDialogs() { installUserDialogs(previous_); }
    ScopedDialogs(const ScopedDialogs&) = delete;
    ScopedDialogs& operator=(const ScopedDialogs&) = delete;

private:
    UserDialogs* previous_;
};

// A relative POSIX path taken against the working folder; drive-letter and rooted server
// paths ("C:\...", "\...") are the file-system object's to resolve.
std::string absoluteIfRelative(const std::string& path) {
    const bool driveLetter = path.size() >= 2 && path[1] == ':';
    if (driveLetter || path.starts_with('/') || path.starts_with('\\'))
        return path;
    // Through UTF-8 both ways: a narrow path is in the ANSI code page on Windows.
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(
        std::filesystem::path(std::u8string(path.begin(), path.end())), error);
    if (error)
        return path;
    const std::u8string text = absolute.u8string();
    return std::string(text.begin(), text.end());
}

std::string versionText() {
    return std::string(kProgramName) + " " + std::to_string(TAMBREL_VERSION_MAJOR) + "." +
           std::to_string(TAMBREL_VERSION_MINOR) + mymyLoadString(kVersionBuild) +
           std::to_string(TAMBREL_VERSION_PATCH) + "\n";
}

// Writes one list in `format` through `write`, a chunk at a time; `details` adds the header's
// facts to each CSV line.
Status streamList(const ListingStore& list, OutputFormat format,
                  const std::function<Status(std::string_view)>& write, bool details = false) {
    std::string chunk;
    chunk.reserve(kChunkBytes + 4096);
    auto flushIfFull = [&]() -> Status {
        if (chunk.size() < kChunkBytes)
            return {};
        Status written = write(chunk);
        chunk.clear();
        return written;
    };
    const std::int64_t rows = list.size();
    if (format == OutputFormat::Csv) {
        chunk.append(mymyLoadString(kCsvHeader));
        if (details)
            appendFactHeadings(chunk);
        chunk.append("\r\n");
        std::array<std::string_view, kCsvFields> texts;
        for (std::int64_t row = 0; row < rows; ++row) {
            if (Status viewed = list.csvRowTexts(row, texts); !viewed)
                return viewed;
            if (details)
                appendCsvLineWithFacts(chunk, texts, list.facts(row));
            else
                appendCsvLine(chunk, texts);
            if (Status written = flushIfFull(); !written)
                return written;
        }
    } else {
        chunk.push_back('[');
        for (std::int64_t row = 0; row < rows; ++row) {
            chunk.append(row == 0 ? "\n" : ",\n");
            appendJsonRow(chunk, list.facts(row));
            if (Status written = flushIfFull(); !written)
                return written;
        }
        chunk.append(rows > 0 ? "\n]\n" : "]\n");
    }
    return chunk.empty() ? Status{} : write(chunk);
}

// The file replaced whole or not at all, and never inside the server's folders, as the
// window's export does it.
Status writeListToFile(const ListingStore& list, OutputFormat format, const std::string& path,
                       const ProtectedRoots& protectedRoots, bool details) {
    // A pipe, a terminal or a device is no file to replace: the list goes into it as it is.
    Result<std::optional<platform::DirectOutput>> direct = platform::DirectOutput::open(path);
    if (!direct)
        return direct.failure();
    if (*direct) {
        if (Status written = streamList(
                list, format, [&direct](std::string_view bytes) { return (*direct)->write(bytes); },
                details);
            !written)
            return written;
        return (*direct)->close();
    }
    Result<ReplacementFile> file = openExportTarget(path, protectedRoots);
    if (!file)
        return file.failure();
    if (format == OutputFormat::Csv && !details)
        return writeRowsAsCsv(list, mymyLoadString(kCsvHeader), std::move(file.value()));
    if (Status written = streamList(
            list, format, [&file](std::string_view bytes) { return file->write(bytes); }, details);
        !written)
        return written;
    return file->commit();
}

struct ServerChoice {
    std::optional<std::string> givenRoot;
    std::string root; // as a document's header names it
};

// The prefix, the registry value and the root folder, each checked before the scan so that
// a missing server is told by name rather than as four empty folder groups.
std::optional<std::string> findServer(const CliOptions& options, const FileSystemObject& fileSystem,
                                      ServerChoice& choice) {
    if (options.root) {
        const std::string root = absoluteIfRelative(*options.root);
        if (Result<FolderEntry> folder = fileSystem.GetFolder(root); !folder)
            return texts::text(texts::kServerRootFailed, {root, folder.failure().description});
        choice.givenRoot = root;
        choice.root = root;
        return std::nullopt;
    }
    const std::string prefix = winePrefixPath();
    if (Result<FolderEntry> folder = fileSystem.GetFolder(prefix); !folder)
        return texts::text(texts::kWinePrefixFailed, {prefix, folder.failure().description});
    const std::string valueName = serverRootPathValueName();
    Result<std::string> value = ReadServerRootPath();
    if (!value)
        return texts::text(texts::kRegistryValueFailed,
                           {valueName, machineRegistryPath(), value.failure().description});
    const std::string root = value.value();
    if (root.empty())
        return texts::text(texts::kNoRegistryValue, {valueName, machineRegistryPath()});
    if (Result<FolderEntry> folder = fileSystem.GetFolder(root); !folder)
        return texts::text(texts::kRegistryRootFailed,
                           {root, valueName, folder.failure().description});
    choice.root = root;
    return std::nullopt;
}

} // namespace

int runCli(const std::vector<std::string>& arguments) {
    platform::ignoreBrokenPipeSignal();
    // The language first: every message about the command line is in it.
    ProgramLocation location = programLocation();
    location.executableName = std::string(kLibraryStem);
    setProgramLocation(location);
    std::optional<std::string> unknownLanguage;
    std::optional<std::string> chosenLanguage;
    if (const std::optional<std::string> language = languageArgument(arguments)) {
        const std::string abbreviation = asciiUppercase(*language);
        const std::int32_t languageID = lngLanguageIDFromAbbrev(abbreviation);
        if (strLanguageAbbrevFromID(languageID) != abbreviation) {
            unknownLanguage = *language;
        } else {
            CurrentLanguageID = languageID;
            chosenLanguage = abbreviation;
        }
    }
    InitalizeLanguages();
    if (unknownLanguage) {
        tell(texts::text(texts::kUnknownLanguage, {*unknownLanguage}));
        return kBadUsage;
    }
    const ParsedCommandLine parsed = parseCommandLine(arguments);
    if (parsed.usageError) {
        tell(*parsed.usageError);
        tell(texts::text(texts::kSeeHelp));
        return kBadUsage;
    }
    // A known language without its library is no error: English stands in, and is said to.
    if (chosenLanguage && hLanguageModule == 0 && *chosenLanguage != kBuiltInLanguage)
        tell(texts::text(texts::kNoLibraryForLanguage, {*chosenLanguage}));
    const CliOptions& options = parsed.options;
    if (options.help)
        return platform::writeStandardOutput(usageText()) ? kDone : kOutputNotWritten;
    if (options.version)
        return platform::writeStandardOutput(versionText()) ? kDone : kOutputNotWritten;

    if (runsWithoutScan(options))
        return runWithoutScan(options);

    if (options.prefix)
        setWinePrefixPath(absoluteIfRelative(*options.prefix));
    StandardErrorDialogs dialogs;
    ScopedDialogs scopedDialogs(dialogs);
    const FileSystemObject fileSystem(winePrefixPath());
    ServerChoice choice;
    if (std::optional<std::string> missing = findServer(options, fileSystem, choice)) {
        tell(*missing);
        return kNoServer;
    }

    // A document, a comparison and a check need every row of both lists.
    const bool keepAll = runsFleetWork(options);
    ListingStore greetings(keepAll || options.greetings.has_value());
    ListingStore prompts(keepAll || options.prompts.has_value());
    const std::string scannedAt = utcTimeNow();
    CliScanSink sink(kProgramName, greetings, prompts);
    LiveCount liveCount(platform::standardErrorIsTerminal());
    ScanProgress progress;
    progress.filesExamined = [&liveCount](std::int64_t files) { liveCount.update(files); };
    ScanOptions scanOptions;
    scanOptions.givenRoot = choice.givenRoot;
    const LoadOutcome outcome = runLoadSequence(fileSystem, sink, progress, scanOptions);
    liveCount.finish();
    if (outcome == LoadOutcome::ServerNotSupported || sink.serverNotSupported())
        return kNoServer;

    // The registry's root and a root given directly are both the server's own folders.
    ProtectedRoots protectedRoots = serverProtectedRoots(fileSystem);
    if (choice.givenRoot)
        if (Result<std::string> hostRoot = fileSystem.resolveHostPath(*choice.givenRoot); hostRoot)
            protectedRoots.add(*hostRoot);

    // Files first, standard output last: a reader that stops early costs no file.
    bool outputFailed = false;
    bool readerGone = false;
    struct ListOutput {
        const std::optional<std::string>& destination;
        const ListingStore& list;
    };
    const std::array<ListOutput, 2> outputs = {
        {{options.greetings, greetings}, {options.prompts, prompts}}};
    for (const ListOutput& output : outputs) {
        if (!output.destination || *output.destination == kStandardOutputName)
            continue;
        if (Status written = writeListToFile(output.list, options.format, *output.destination,
                                             protectedRoots, options.details);
            !written) {
            tell(texts::text(texts::kCannotWrite,
                             {*output.destination, written.failure().description}));
            outputFailed = true;
        }
    }
    auto reportStandardOutput = [&](const Status& written) {
        if (written)
            return;
        outputFailed = true;
        readerGone = written.failure().code == EPIPE;
        if (!readerGone)
            tell(texts::text(texts::kCannotWriteOutput, {written.failure().description}));
    };
    for (const ListOutput& output : outputs)
        if (output.destination && *output.destination == kStandardOutputName)
            reportStandardOutput(streamList(output.list, options.format,
                                            platform::writeStandardOutput, options.details));
    if (wantsSummary(options) && !readerGone)
        reportStandardOutput(platform::writeStandardOutput(
            options.format == OutputFormat::Json
                ? summaryJson(greetings.summary(), prompts.summary())
                : summaryTable(greetings.summary(), prompts.summary())));

    int fleetStatus = kDone;
    if (runsFleetWork(options) && !readerGone) {
        std::string toolVersion = versionText();
        toolVersion = toolVersion.substr(kProgramName.size() + 1);
        if (toolVersion.ends_with('\n'))
            toolVersion.pop_back();
        fleetStatus =
            runAfterScan(options, {choice.root, scannedAt, toolVersion, sink.serverVersion()},
                         greetings, prompts, protectedRoots);
    }
    if (fleetStatus == kBadUsage)
        return kBadUsage;
    if (outputFailed || fleetStatus == kOutputNotWritten)
        return kOutputNotWritten;
    if (fleetStatus == kDifferencesFound)
        return kDifferencesFound;
    return sink.somethingUnreadable() || dialogs.somethingShown ? kSomeFilesUnreadable : kDone;
}

} // namespace tambrel::cli
