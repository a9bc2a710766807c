// The export commands through the dialog seam: what is asked, what is written, what is shown.
#include "common/csv_field.h"
#include "common/memory_grid.h"
#include "export/csv_export.h"
#include "tests/export/csv_reader.h"
#include "tests/support/recording_dialogs.h"
#include "tests/support/temporary_folder.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace tambrel {
namespace {

using testing::readFile;
using testing::RecordingDialogs;
using testing::TemporaryFolder;

constexpr std::string_view kHeaderLine =
    "Codec, File Name, Sample Rate, Date Last Modified, File Size\r\n";
constexpr std::string_view kOldBytes = "old export, keep me\r\n";

struct FileRow {
    std::string codec, fileName, sampleRate, lastModified, fileSize;
};

class ExportCommand : public ::testing::Test {
protected:
    void addRow(const FileRow& row) {
        const std::int32_t position = grid.Rows();
        ASSERT_TRUE(grid.AddItem("", position));
        ASSERT_TRUE(grid.SetCell(position, grid.ColIndex("Codec"), row.codec));
        ASSERT_TRUE(grid.SetCell(position, grid.ColIndex("FileName"), row.fileName));
        ASSERT_TRUE(grid.SetCell(position, grid.ColIndex("SampleRate"), row.sampleRate));
        ASSERT_TRUE(grid.SetCell(position, grid.ColIndex("LastModified"), row.lastModified));
        ASSERT_TRUE(grid.SetCell(position, grid.ColIndex("FileSize"), row.fileSize));
    }
    void addRows(int count) {
        for (int i = 0; i < count; ++i)
            addRow({"G.711 mu-law", "C:\\Corvel\\Stream Files\\" + std::to_string(i) + ".wav",
                    " 8000", "12/31/2025", " " + std::to_string(12044 + i)});
    }

    std::filesystem::path choose(std::string_view name) {
        std::filesystem::path path = folder / name;
        dialogs.saveAnswer = path.string();
        return path;
    }
    void run(CsvExportTarget target = CsvExportTarget::Greetings) {
        runCsvExportCommand(target, grid, fileSystem);
    }

    // Only what the test itself put there: no temporary file is left behind.
    std::vector<std::string> folderEntries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // A failed export: its one message naming the chosen file, the hourglass undone (or never
    // shown, when the failure came before the writing), nothing written, no trace.
    void expectFailure(std::string_view lead, const std::vector<std::string>& entries) {
        ASSERT_FALSE(dialogs.messages.empty());
        EXPECT_EQ(dialogs.messages.back().text,
                  std::string(lead) + ": " + dialogs.saveAnswer.value_or(""));
        EXPECT_EQ(dialogs.messages.back().title, "Tambrel");
        for (const auto& shown : dialogs.messages)
            EXPECT_NE(shown.text, "Export complete");
        const std::size_t reports = std::count_if(
            dialogs.messages.begin(), dialogs.messages.end(),
            [](const testing::RecordedMessage& m) { return m.buttons == MessageButtons::Ok; });
        EXPECT_EQ(reports, 1u);
        if (!dialogs.pointers.empty()) {
            EXPECT_EQ(dialogs.pointers,
                      (std::vector<MousePointer>{MousePointer::Hourglass, MousePointer::Default}));
        }
        EXPECT_EQ(folderEntries(), entries);
    }

    TemporaryFolder folder;
    RecordingDialogs dialogs;
    MemoryGrid grid = MemoryGrid::withFileRowColumns();
    // A prefix without drive C:, so the dialog proposes the home folder.
    FileSystemObject fileSystem{(folder / "no-prefix").string()};
};

TEST_F(ExportCommand, CancelEndsQuietly) {
    addRows(2);
    dialogs.saveAnswer = std::nullopt;
    run();
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].title, "CSV File Location");
    EXPECT_EQ(dialogs.saveRequests[0].filter, "*.csv");
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(dialogs.pointers.empty());
    EXPECT_TRUE(folderEntries().empty());
}

TEST_F(ExportCommand, NameUnderThreeCharactersEndsQuietly) {
    addRows(1);
    for (std::string name : {"", "a", "ab", "\xC3\xA4\xC3\xB6" /* two characters, four bytes */}) {
        SCOPED_TRACE(name);
        dialogs.saveAnswer = name;
        run();
        EXPECT_TRUE(dialogs.messages.empty());
        EXPECT_TRUE(dialogs.pointers.empty());
    }
}

TEST_F(ExportCommand, ProposesDriveCThroughThePrefixElseTheHomeFolder) {
    const std::string home = (folder / "home").string();
    const char* savedHome = std::getenv("HOME");
    const std::string restoreHome = savedHome ? savedHome : "";
    ::setenv("HOME", home.c_str(), 1);

    std::filesystem::create_directories(folder / "prefix" / "dosdevices" / "c:");
    const FileSystemObject withDriveC((folder / "prefix").string());
    const std::string driveC = (folder / "prefix" / "dosdevices" / "c:").string();

    runCsvExportCommand(CsvExportTarget::Greetings, grid, withDriveC);
    runCsvExportCommand(CsvExportTarget::Prompts, grid, withDriveC);
    run(CsvExportTarget::Greetings);
    run(CsvExportTarget::Prompts);
    if (savedHome)
        ::setenv("HOME", restoreHome.c_str(), 1);
    else
        ::unsetenv("HOME");

    ASSERT_EQ(dialogs.saveRequests.size(), 4u);
    EXPECT_EQ(dialogs.saveRequests[0].proposedPath, driveC + "/GreetingsCodecData.csv");
    EXPECT_EQ(dialogs.saveRequests[0].initialFolder, driveC);
    EXPECT_EQ(dialogs.saveRequests[1].proposedPath, driveC + "/PromptCodecData.csv");
    EXPECT_EQ(dialogs.saveRequests[2].proposedPath, home + "/GreetingsCodecData.csv");
    EXPECT_EQ(dialogs.saveRequests[2].initialFolder, home);
    EXPECT_EQ(dialogs.saveRequests[3].proposedPath, home + "/PromptCodecData.csv");
}

TEST_F(ExportCommand, NewFileHoldsHeaderAndEveryRowExactly) {
    addRow({"G.711 mu-law", "C:\\Corvel\\Stream Files\\Prompts\\ENU\\1001.wav", " 8000",
            "12/31/2025", " 12044"});
    addRow({"Unknown Codec=-2",
            "/srv/corvel/Gr\xC3\xBC\xC3\x9F"
            "e.wav",
            " 0", "1/2/2026", " 44"});
    const auto path = choose("new.csv");
    run();

    EXPECT_EQ(readFile(path), std::string(kHeaderLine) +
                                  "G.711 mu-law,C:\\Corvel\\Stream Files\\Prompts\\ENU\\1001.wav,"
                                  " 8000,12/31/2025, 12044\r\n"
                                  "Unknown Codec=-2,/srv/corvel/Gr\xC3\xBC\xC3\x9F"
                                  "e.wav, 0,1/2/2026, 44\r\n");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "Export complete");
    EXPECT_EQ(dialogs.messages[0].title, "Tambrel");
    EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(dialogs.pointers,
              (std::vector<MousePointer>{MousePointer::Hourglass, MousePointer::Default}));
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"new.csv"});
}

TEST_F(ExportCommand, HeaderOnlyGridGivesTheHeaderLineAlone) {
    const auto path = choose("empty.csv");
    run(CsvExportTarget::Prompts);
    EXPECT_EQ(readFile(path), kHeaderLine);
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>{"Export complete"});
}

TEST_F(ExportCommand, ExistingFileAnsweredNoIsUntouched) {
    addRows(3);
    const auto path = choose("old.csv");
    folder.write("old.csv", kOldBytes);
    const timespec past[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), past, 0), 0);
    dialogs.answers = {MessageAnswer::No};
    run();

    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "Are you sure you want to over write this file?");
    EXPECT_EQ(dialogs.messages[0].title, "Overwrite File?");
    EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::YesNo);
    EXPECT_TRUE(dialogs.pointers.empty());
    EXPECT_EQ(readFile(path), kOldBytes);
    struct stat info;
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mtim.tv_sec, 1000000000);
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"old.csv"});
}

TEST_F(ExportCommand, ExistingFileAnsweredYesIsReplacedKeepingItsMode) {
    addRows(1);
    const auto path = choose("old.csv");
    folder.write("old.csv", kOldBytes);
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    dialogs.answers = {MessageAnswer::Yes};
    run();

    EXPECT_EQ(dialogs.texts(),
              (std::vector<std::string>{"Are you sure you want to over write this file?",
                                        "Export complete"}));
    EXPECT_EQ(readFile(path), std::string(kHeaderLine) +
                                  "G.711 mu-law,C:\\Corvel\\Stream Files\\0.wav, 8000,"
                                  "12/31/2025, 12044\r\n");
    struct stat info;
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"old.csv"});
}

TEST_F(ExportCommand, FieldsThatWouldSplitTheLineAreQuoted) {
    const std::vector<std::string> paths = {
        "C:\\Greetings\\Smith, John.wav",
        "/srv/corvel/say \"hello\"\nagain.wav",
        "C:\\Greetings\\carriage\rreturn.wav",
        "C:\\Greetings\\plain.wav",
    };
    for (const auto& path : paths)
        addRow({"PCM", path, " 8000", "12/31/2025", " 12044"});
    const auto file = choose("quoted.csv");
    run();

    const std::string bytes = readFile(file);
    const auto records = testing::readCsv(bytes);
    ASSERT_TRUE(records.has_value()) << bytes;
    ASSERT_EQ(records->size(), paths.size() + 1);
    for (std::size_t i = 0; i < paths.size(); ++i) {
        SCOPED_TRACE(paths[i]);
        const auto& record = (*records)[i + 1];
        ASSERT_EQ(record.size(), 5u);
        EXPECT_EQ(record[0], "PCM");
        EXPECT_EQ(record[1], paths[i]);
        EXPECT_EQ(record[2], " 8000");
        EXPECT_EQ(record[3], "12/31/2025");
        EXPECT_EQ(record[4], " 12044");
    }
    // A path that needs no quotes stays byte for byte.
    EXPECT_NE(bytes.find("\r\nPCM,C:\\Greetings\\plain.wav, 8000,12/31/2025, 12044\r\n"),
              std::string::npos);
}

TEST_F(ExportCommand, EveryRowIsWrittenPastSixteenBits) {
    addRows(40000);
    const auto path = choose("large.csv");
    run();

    const auto records = testing::readCsv(readFile(path));
    ASSERT_TRUE(records.has_value());
    ASSERT_EQ(records->size(), 40001u);
    EXPECT_EQ((*records)[32768][1], "C:\\Corvel\\Stream Files\\32767.wav");
    EXPECT_EQ((*records)[40000][1], "C:\\Corvel\\Stream Files\\39999.wav");
    EXPECT_EQ((*records)[40000][4], " 52043");
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>{"Export complete"});
}

// A grid that answers only the contract's plain Cell read, as a grid that keeps no texts of
// its own (no ViewCells) does.
class CellOnlyGrid final : public Grid {
public:
    explicit CellOnlyGrid(const MemoryGrid& inner) : inner_(inner) {}
    std::int32_t Rows() const override { return inner_.Rows(); }
    Status SetRows(std::int32_t) override { return Failure::fromErrno(EROFS); }
    std::int32_t ColIndex(std::string_view key) const override { return inner_.ColIndex(key); }
    Result<std::string> Cell(std::int32_t row, std::int32_t column) const override {
        return inner_.Cell(row, column);
    }
    Status SetCell(std::int32_t, std::int32_t, std::string_view) override {
        return Failure::fromErrno(EROFS);
    }
    Status AddItem(std::string_view, std::int32_t) override { return Failure::fromErrno(EROFS); }
    Status AutoSize(std::int32_t) override { return Failure::fromErrno(EROFS); }
    void SetRedraw(RedrawMode) override {}
    float Width() const override { return 0; }
    float Height() const override { return 0; }
    void SetWidth(float) override {}
    void SetHeight(float) override {}

private:
    const MemoryGrid& inner_;
};

// Lines are gathered into chunks of a few megabytes: lines that cross a chunk's end, a line
// longer than a whole chunk and quoted fields among them must come out in order, byte for byte.
TEST_F(ExportCommand, LinesOfAnyLengthAroundChunkEndsComeOutWhole) {
    std::vector<FileRow> rows;
    for (int i = 0; i < 7; ++i) {
        // Megabyte names, every third holding a comma and a quote.
        std::string name(std::size_t{1} << 20 | static_cast<std::size_t>(i) * 4099, 'a' + i);
        if (i % 3 == 0)
            name.insert(name.size() / 2, ", \"quoted\"");
        rows.push_back({"PCM", name, " 8000", "1/2/2025", " " + std::to_string(i)});
        rows.push_back({"GSM 6.10", "C:\\short " + std::to_string(i) + ".wav", " 8000", "", ""});
    }
    rows.push_back({"PCM", std::string(std::size_t{9} << 20, 'z'), " 1", "3/4/2025", " 2"});
    rows.push_back({"PCM", "last, one", " 2", "", ""});
    std::string expected(kHeaderLine);
    for (const FileRow& row : rows) {
        addRow(row);
        expected += csvField(row.codec) + "," + csvField(row.fileName) + "," +
                    csvField(row.sampleRate) + "," + csvField(row.lastModified) + "," +
                    csvField(row.fileSize) + "\r\n";
    }
    const auto path = choose("long.csv");
    run();
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>{"Export complete"});
    const std::string written = readFile(path);
    ASSERT_EQ(written.size(), expected.size());
    EXPECT_TRUE(written == expected);
    // The same bytes when the grid is read cell by cell.
    const auto plain = choose("plain.csv");
    runCsvExportCommand(CsvExportTarget::Greetings, CellOnlyGrid(grid), fileSystem);
    EXPECT_TRUE(readFile(plain) == expected);
}

TEST_F(ExportCommand, GridWithOnlyPlainCellReadsWritesTheSameBytes) {
    addRows(5);
    addRow({"PCM", "C:\\Greetings\\Smith, John.wav", " 8000", "12/31/2025", " 12044"});
    const auto direct = choose("direct.csv");
    run();
    const auto plain = choose("plain.csv");
    runCsvExportCommand(CsvExportTarget::Greetings, CellOnlyGrid(grid), fileSystem);
    EXPECT_EQ(readFile(plain), readFile(direct));
    EXPECT_NE(readFile(plain).find(",\"C:\\Greetings\\Smith, John.wav\","), std::string::npos);
}

// Soft file-size limit for one export, put back afterwards. SIGXFSZ keeps its default action,
// which ends the process: the export itself must turn the limit into a reported failure.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &saved_); }

private:
    rlimit saved_{};
};

TEST_F(ExportCommand, FullDiskLeavesTheOldFileAndReportsOnce) {
    addRows(3000); // about 200 KB
    const auto path = choose("old.csv");
    folder.write("old.csv", kOldBytes);
    dialogs.answers = {MessageAnswer::Yes};
    {
        FileSizeLimit limit(64 * 1024);
        run();
    }
    expectFailure("Error in mnuGreetingsToCSV:File too large", {"old.csv"});
    EXPECT_EQ(readFile(path), kOldBytes);
}

TEST_F(ExportCommand, ReadOnlyTargetIsNotReplaced) {
    addRows(2);
    const auto path = choose("old.csv");
    folder.write("old.csv", kOldBytes);
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    dialogs.answers = {MessageAnswer::Yes};
    run(CsvExportTarget::Prompts);

    expectFailure("Error in mnuPromptToCSV:Permission denied", {"old.csv"});
    EXPECT_EQ(readFile(path), kOldBytes);
    struct stat info;
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0444u);
}

TEST_F(ExportCommand, MissingFolderIsReported) {
    addRows(2);
    choose("missing/out.csv");
    run();
    expectFailure("Error in mnuGreetingsToCSV:No such file or directory", {});
}

TEST_F(ExportCommand, GridFailureMidwayWritesNothing) {
    MemoryGrid withoutSize({"", "Codec", "FileName", "SampleRate", "LastModified"});
    grid = std::move(withoutSize);
    ASSERT_TRUE(grid.AddItem("", 1));
    choose("out.csv");
    run();
    expectFailure("Error in mnuGreetingsToCSV:Subscript out of range", {});
    // The same through a grid read cell by cell.
    runCsvExportCommand(CsvExportTarget::Greetings, CellOnlyGrid(grid), fileSystem);
    EXPECT_EQ(dialogs.texts().back(), "Error in mnuGreetingsToCSV:Subscript out of range: " +
                                          (folder / "out.csv").string());
    EXPECT_FALSE(std::filesystem::exists(folder / "out.csv"));
}

} // namespace
} // namespace tambrel
