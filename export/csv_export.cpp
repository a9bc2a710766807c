#include "export/csv_export.h"

#include "common/user_dialogs.h"
#include "export/csv_writer.h"
#include "export/save_location.h"
#include "localize/language_state.h"
#include "platform/file_reads.h"

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

// The question must be about the very file that would be replaced, so the host path is looked
// at exactly as it will be written (links followed), not matched without regard to case.
bool regularFileExists(const std::string& hostPath) {
    Result<platform::PathStatus> info = platform::statusOfPath(hostPath);
    return info && info->kind == platform::EntryKind::File;
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

void runCsvExportCommand(CsvExportTarget target, const Grid& grid,
                         const FileSystemObject& fileSystem) {
    const CommandSettings settings = settingsFor(target);

    // Up to the chosen name, every way out is silent: Cancel simply ends the command.
    SaveLocation location = proposedSaveLocation(settings.proposedPath, fileSystem);
    const std::optional<std::string> chosen = userDialogs().askSaveFileName(
        SaveDialogRequest{"CSV File Location", "*.csv", std::move(location.proposedPath),
                          std::move(location.initialFolder)});
    if (!chosen || characterCount(*chosen) < 3)
        return;

    const auto report = [&settings](const Failure& failure) {
        reportMessage(mymyLoadString(settings.errorPrefix) + failure.description);
    };

    const Result<std::string> hostPath = hostPathOf(*chosen, fileSystem);
    if (!hostPath) {
        report(hostPath.failure());
        return;
    }
    if (regularFileExists(hostPath.value())) {
        const MessageAnswer answer =
            userDialogs().showMessage(mymyLoadString(kOverwriteQuestion),
                                      mymyLoadString(kOverwriteTitle), MessageButtons::YesNo);
        if (answer != MessageAnswer::Yes)
            return;
    }

    HourglassPointer hourglass;
    const Status written = writeGridAsCsv(grid, mymyLoadString(kHeaderLine), hostPath.value());
    // The pointer is back before any box is shown, on success and failure alike.
    hourglass.restore();
    if (!written) {
        report(written.failure());
        return;
    }
    reportMessage(mymyLoadString(kExportComplete));
}

} // namespace tambrel
