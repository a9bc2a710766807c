// The export commands through the dialog seam: what is asked, what is written, what is shown.
#include "common/csv_field.h"
#include "platform/testing/file_tricks.h"
#include "platform/text/ansi_text.h"
#include "tests/export/csv_reader.h"
#include "tests/export/export_command_fixture.h"

#include <memory>

namespace tambrel {
namespace {

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

TEST_F(ExportCommand, NewFileHoldsHeaderAndEveryRowExactly) {
    addRow({"G.711 mu-law", "C:\\Corvel\\Stream Files\\Prompts\\ENU\\1001.wav", " 8000",
            "12/31/2025", " 12044"});
    addRow({"Unknown Codec=-2", "/srv/corvel/Gruesse.wav", " 0", "1/2/2026", " 44"});
    const auto path = choose("new.csv");
    run();

    EXPECT_EQ(readFile(path), std::string(kHeaderLine) +
                                  "G.711 mu-law,C:\\Corvel\\Stream Files\\Prompts\\ENU\\1001.wav,"
                                  " 8000,12/31/2025, 12044\r\n"
                                  "Unknown Codec=-2,/srv/corvel/Gruesse.wav, 0,1/2/2026, 44\r\n");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "Export complete");
    EXPECT_EQ(dialogs.messages[0].title, "Tambrel");
    EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(dialogs.pointers,
              (std::vector<MousePointer>{MousePointer::Hourglass, MousePointer::Default}));
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"new.csv"});
}

// POSIX writes the names as the system gave them (the locale's encoding). Windows writes the
// ANSI code page, and the whole file as UTF-8 with a byte-order mark once a single name has no
// exact form there: a "?" or a best-fit letter would name a file that is not there. The Windows
// column is code page 1252's, the one the test prefix has.
TEST_F(ExportCommand, TextIsInTheSystemEncodingOrWholeUtf8WithAMark) {
    constexpr std::string_view kMark = "\xEF\xBB\xBF";
    const struct {
        const char* name;
        std::vector<std::string> fileNames;
        std::vector<std::string> inCodePage1252; // empty: UTF-8 with the mark
    } cases[] = {
        {"ASCII", {"C:\\a.wav"}, {"C:\\a.wav"}},
        {"letters the code page holds",
         {"C:\\a.wav", "C:\\Gr\xC3\xBC\xC3\x9F"
                       "e.wav"},
         {"C:\\a.wav", "C:\\Gr\xFC\xDF"
                       "e.wav"}},
        {"one name in another script",
         {"C:\\Gr\xC3\xBC\xC3\x9F"
          "e.wav",
          "C:\\\xD0\x9F.wav"},
         {}},
        {"a letter only a best fit would give", {"C:\\\xC4\x80.wav"}, {}},
        {"a byte that is no UTF-8", {"C:\\caf\xE9.wav"}, {}},
    };
    const bool windows = !platform::ansiCodePageIsProgramText();
    if (windows && platform::toAnsiCodePage("\xC3\xBC") != std::optional<std::string>("\xFC"))
        GTEST_SKIP() << "the ANSI code page is not 1252";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        grid = MemoryGrid::withFileRowColumns();
        for (const std::string& name : c.fileNames)
            addRow({"PCM", name, " 8000", "1/2/2026", " 44"});
        const auto path = choose("encoded.csv");
        dialogs.answers = {MessageAnswer::Yes};
        run();

        const bool asGiven = !windows || c.inCodePage1252.empty();
        std::string expected = windows && c.inCodePage1252.empty() ? std::string(kMark) : "";
        expected += kHeaderLine;
        for (std::size_t i = 0; i < c.fileNames.size(); ++i)
            expected += "PCM," + (asGiven ? c.fileNames[i] : c.inCodePage1252[i]) +
                        ", 8000,1/2/2026, 44\r\n";
        EXPECT_EQ(readFile(path), expected);
        EXPECT_EQ(dialogs.texts().back(), "Export complete");
    }
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
    const auto past = std::filesystem::last_write_time(path) - std::chrono::hours(24 * 365);
    std::filesystem::last_write_time(path, past);
    dialogs.answers = {MessageAnswer::No};
    run();

    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "Are you sure you want to over write this file?");
    EXPECT_EQ(dialogs.messages[0].title, "Overwrite File?");
    EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::YesNo);
    EXPECT_TRUE(dialogs.pointers.empty());
    EXPECT_EQ(readFile(path), kOldBytes);
    EXPECT_EQ(std::filesystem::last_write_time(path), past);
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

// Lines are gathered into chunks of a few megabytes: lines that cross a chunk's end, a line
// longer than a whole chunk and quoted fields among them must come out in order, byte for byte.
TEST_F(ExportCommand, LinesOfAnyLengthAroundChunkEndsComeOutWhole) {
    std::vector<RowTexts> rows;
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
    for (const RowTexts& row : rows) {
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
    // The same bytes when the texts of a row do not lie side by side.
    const auto plain = choose("plain.csv");
    runCsvExportCommand(CsvExportTarget::Greetings, CopyingRowSource(grid), fileSystem);
    EXPECT_TRUE(readFile(plain) == expected);
}

TEST_F(ExportCommand, GridWithOnlyPlainCellReadsWritesTheSameBytes) {
    addRows(5);
    addRow({"PCM", "C:\\Greetings\\Smith, John.wav", " 8000", "12/31/2025", " 12044"});
    const auto direct = choose("direct.csv");
    run();
    const auto plain = choose("plain.csv");
    runCsvExportCommand(CsvExportTarget::Greetings, CopyingRowSource(grid), fileSystem);
    EXPECT_EQ(readFile(plain), readFile(direct));
    EXPECT_NE(readFile(plain).find(",\"C:\\Greetings\\Smith, John.wav\","), std::string::npos);
}

TEST_F(ExportCommand, ReadOnlyTargetIsNotReplaced) {
    addRows(2);
    const auto path = choose("old.csv");
    folder.write("old.csv", kOldBytes);
    // No write bit on POSIX; the read-only attribute on Windows.
    const auto readOnly = std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                          std::filesystem::perms::others_read;
    std::filesystem::permissions(path, readOnly);
    dialogs.answers = {MessageAnswer::Yes};
    run(CsvExportTarget::Prompts);

    expectFailure("Error in mnuPromptToCSV:Permission denied", {"old.csv"});
    EXPECT_EQ(readFile(path), kOldBytes);
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::owner_write,
              std::filesystem::perms::none);
}

// Windows: another program has the old file open and shares nothing, so it cannot be replaced;
// the old file stays whole and no temporary file is left beside it.
TEST_F(ExportCommand, TargetHeldWithoutSharingIsNotReplaced) {
    addRows(2);
    const auto path = choose("old.csv");
    folder.write("old.csv", kOldBytes);
    dialogs.answers = {MessageAnswer::Yes};
    {
        const std::shared_ptr<void> hold = testing::holdWithoutSharing(path);
        if (!hold)
            GTEST_SKIP() << "no mandatory locks on this system";
        run();
    }
    ASSERT_FALSE(dialogs.messages.empty());
    const std::string& shown = dialogs.messages.back().text;
    EXPECT_TRUE(shown.starts_with("Error in mnuGreetingsToCSV:")) << shown;
    EXPECT_TRUE(shown.ends_with(": " + path.string())) << shown;
    EXPECT_NE(dialogs.texts(),
              (std::vector<std::string>{"Are you sure you want to over write this file?",
                                        "Export complete"}));
    EXPECT_EQ(readFile(path), kOldBytes);
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"old.csv"});
}

TEST_F(ExportCommand, MissingFolderIsReported) {
    addRows(2);
    choose("missing/out.csv");
    run();
    // The system's own words for it: POSIX's, Windows', Wine's.
    expectFailure(
        std::vector<std::string_view>{
            "Error in mnuGreetingsToCSV:No such file or directory",
            "Error in mnuGreetingsToCSV:The system cannot find the path specified.",
            "Error in mnuGreetingsToCSV:Path not found.",
            "Error in mnuGreetingsToCSV:File not found."},
        {});
}

TEST_F(ExportCommand, GridFailureMidwayWritesNothing) {
    MemoryGrid withoutSize({"", "Codec", "FileName", "SampleRate", "LastModified"});
    grid = std::move(withoutSize);
    ASSERT_TRUE(grid.AddItem("", 1));
    choose("out.csv");
    run();
    expectFailure("Error in mnuGreetingsToCSV:Subscript out of range", {});
    // The same through a source whose texts lie apart.
    runCsvExportCommand(CsvExportTarget::Greetings, CopyingRowSource(grid), fileSystem);
    EXPECT_EQ(dialogs.texts().back(), "Error in mnuGreetingsToCSV:Subscript out of range: " +
                                          (folder / "out.csv").string());
    EXPECT_FALSE(std::filesystem::exists(folder / "out.csv"));
}

} // namespace
} // namespace tambrel
