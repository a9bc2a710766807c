#include "export/csv_export.h"

#include "common/user_dialogs.h"
#include "export/csv_writer.h"
#include "export/export_target.h"
#include "export/save_location.h"
#include "localize/language_state.h"
#include "localize/own_texts.h"

#include <future>

namespace tambrel {
namespace {

// The strings of the table that the two commands use.
constexpr std::int32_t kOverwriteQuestion = 2;
constexpr std::int32_t kHeaderLine = 6;
constexpr std::int32_t kGreetingsErrorPrefix = 11;
constexpr std::int32_t kPromptsErrorPrefix = 12;
constexpr std::int32_t kExportComplete = 16;
constexpr std::int32_t kOverwriteTitle = 24;

struct CommandSettings {
    std::string_view proposedPath;
    std::int32_t errorPrefix;
};

CommandSettings settingsFor(CsvExportTarget target) {
    if (target == CsvExportTarget::Greetings)
        return {"c:\\GreetingsCodecData.csv", kGreetingsErrorPrefix};
    return {"c:\\PromptCodecData.csv", kPromptsErrorPrefix};
}

// Characters, not bytes: a name in UTF-8 counts each character once.
std::size_t characterCount(std::string_view text) {
    std::size_t count = 0;
    for (char byte : text)
        if ((static_cast<unsigned char>(byte) & 0xC0) != 0x80)
            ++count;
    return count;
}

// The dialog yields a host path, used exactly as chosen; a name typed in the server's
// notation ("d:\x.csv") goes through the prefix's drive letters.
Result<std::string> hostPathOf(std::string_view chosen, const FileSystemObject& fileSystem) {
    if (!chosen.empty() && chosen.front() == '/')
        return std::string(chosen);
    return fileSystem.resolveHostPath(chosen);
}

// The hourglass for as long as the file is being written, whichever way that ends.
class HourglassPointer {
public:
    HourglassPointer() { userDialogs().setMousePointer(MousePointer::Hourglass); }
    ~HourglassPointer() { restore(); }
    HourglassPointer(const HourglassPointer&) = delete;
    HourglassPointer& operator=(const HourglassPointer&) = delete;

    void restore() {
        if (active_)
            userDialogs().setMousePointer(MousePointer::Default);
        active_ = false;
    }

private:
    bool active_ = true;
};

} // namespace

void runCsvExportCommand(CsvExportTarget target, const CsvRowSource& rows,
                         const FileSystemObject& fileSystem) {
    const CommandSettings settings = settingsFor(target);

    // The server's folders, and what is linked into them from elsewhere, are looked up while
    // the user picks a name: finding the links reads every folder of the server, which on a
    // large one takes about as long as writing the file.
    std::future<ProtectedRoots> roots =
        std::async(std::launch::async | std::launch::deferred,
                   [&fileSystem] { return serverProtectedRoots(fileSystem); });

    // Up to the chosen name, every way out is silent: Cancel simply ends the command.
    SaveLocation location = proposedSaveLocation(settings.proposedPath, fileSystem);
    const std::optional<std::string> chosen = userDialogs().askSaveFileName(
        SaveDialogRequest{texts::text(texts::kCsvFileLocation), "*.csv",
                          std::move(location.proposedPath), std::move(location.initialFolder)});
    if (!chosen || characterCount(*chosen) < 3)
        return;

    const auto report = [&settings, &chosen](const Failure& failure) {
        reportMessage(mymyLoadString(settings.errorPrefix) + failureText(failure, *chosen));
    };

    const Result<std::string> hostPath = hostPathOf(*chosen, fileSystem);
    if (!hostPath) {
        report(hostPath.failure());
        return;
    }
    // Refused before the question: a file of the server is never offered for replacing. The
    // folder found here stays open, so the file is written exactly where it was checked.
    Result<ExportPath> checked = checkExportTarget(hostPath.value(), roots.get());
    if (!checked) {
        report(checked.failure());
        return;
    }
    // The question is about the very file that would be replaced: links followed, the name
    // as it is in the folder, not matched without regard to case.
    if (checked->holdsRegularFile()) {
        const MessageAnswer answer =
            userDialogs().showMessage(mymyLoadString(kOverwriteQuestion),
                                      mymyLoadString(kOverwriteTitle), MessageButtons::YesNo);
        if (answer != MessageAnswer::Yes)
            return;
    }

    HourglassPointer hourglass;
    Result<ReplacementFile> file = ReplacementFile::create(std::move(checked.value()));
    const Status written =
        file ? writeRowsAsCsv(rows, mymyLoadString(kHeaderLine), std::move(file.value()))
             : Status(file.failure());
    // The pointer is back before any box is shown, on success and failure alike.
    hourglass.restore();
    if (!written) {
        report(written.failure());
        return;
    }
    reportMessage(mymyLoadString(kExportComplete));
}

} // namespace tambrel
