// Entries a server folder should not hold but may: links that lead nowhere or round in a
// circle, FIFOs, sockets and devices, and names that are not UTF-8. None may hang or crash the
// scan; only regular files (and links to them) are recordings, and a link that leads to no file
// is listed as Windows lists it, as a file that cannot be opened.
#include "export/csv_export.h"
#include "platform/testing/file_tricks.h"
#include "tests/inventory/faults/scan_fixture.h"
#include "tests/support/temporary_folder.h"

#include <cerrno>
#include <cstring>

namespace tambrel {
namespace {

namespace fs = std::filesystem;
using namespace testing;

// A Unix socket bound at `path`; the descriptor is closed at once, the entry stays.
void placeSocket(const fs::path& path) {
    ASSERT_TRUE(makeSocket(path)) << path << ": " << std::strerror(errno);
}

void placeFifo(const fs::path& path) {
    ASSERT_TRUE(makeFifo(path)) << std::strerror(errno);
}

struct SpecialEntry {
    const char* name;
    const char* fileName; // in each place the scan takes files from
    std::function<void(const fs::path& path)> make;
};

// Every one of these lies in every place and is listed nowhere, without a message.
const SpecialEntry kNotRecordings[] = {
    {"Fifo", "fifo.wav", placeFifo},
    {"LinkToAFifo", "linkedfifo.wav",
     [](const fs::path& path) {
         placeFifo(path.parent_path() / "hidden.fifo");
         fs::create_symlink("hidden.fifo", path);
     }},
    {"Socket", "socket.wav", placeSocket},
    // A device through a link needs no privilege to make; the node itself is below.
    {"LinkToTheNullDevice", "null.wav",
     [](const fs::path& path) { fs::create_symlink("/dev/null", path); }},
    {"LinkToTheZeroDevice", "zero.wav",
     [](const fs::path& path) { fs::create_symlink("/dev/zero", path); }},
};

// Links that lead to no file at all: each name is a row, and its open failure is reported as
// for any file that cannot be read.
struct BrokenLink {
    const char* name;
    std::vector<const char*> fileNames; // every entry the case makes
    int error;
    std::function<void(const fs::path& folder)> make;
};

const BrokenLink kBrokenLinks[] = {
    {"DanglingLink",
     {"dangling.wav"},
     ENOENT,
     [](const fs::path& folder) { fs::create_symlink("missing.wav", folder / "dangling.wav"); }},
    {"LinkToItself",
     {"self.wav"},
     ELOOP,
     [](const fs::path& folder) { fs::create_symlink("self.wav", folder / "self.wav"); }},
    {"LinksToEachOther",
     {"ping.wav", "pong.wav"},
     ELOOP,
     [](const fs::path& folder) {
         fs::create_symlink("pong.wav", folder / "ping.wav");
         fs::create_symlink("ping.wav", folder / "pong.wav");
     }},
};

// The places files are taken from, each with one real recording beside the odd entries.
const char* const kPlaces[] = {
    "Stream Files",
    "localize/defaultconfiguration/ENU",
    "Localize/Prompts/ENU/Standard",
    "Localize/Prompts/ENU/Standard/Sub",
};

class SpecialEntries : public ScanFixture {
protected:
    // Places a real recording in every place, runs the scan and checks that exactly the real
    // recordings were listed and nothing was reported.
    void expectOnlyTheRecordingsListed() {
        for (const char* place : kPlaces)
            server.writeWave(std::string(place) + "/real.wav");
        ASSERT_EQ(load(), LoadOutcome::Completed);
        EXPECT_EQ(dialogs.texts(), std::vector<std::string>{});
        EXPECT_EQ(sorted(fileNames(greetings)),
                  sorted({shownPath("Stream Files/real.wav"),
                          shownPath("localize/defaultconfiguration/ENU/real.wav")}));
        EXPECT_EQ(sorted(fileNames(prompts)),
                  sorted({shownPath("Localize/Prompts/ENU/Standard/real.wav"),
                          shownPath("Localize/Prompts/ENU/Standard/Sub/real.wav"),
                          shownPath("support/RecordBeep.wav")}));
    }
};

TEST_F(SpecialEntries, LinksThatLeadNowhereAndNonRegularFilesAreNotListed) {
    server.makeEmptyServer();
    for (const char* place : kPlaces) {
        server.makeFolder(place);
        for (const SpecialEntry& entry : kNotRecordings) {
            SCOPED_TRACE(entry.name);
            ASSERT_NO_FATAL_FAILURE(entry.make(at(place) / entry.fileName));
        }
    }
    expectOnlyTheRecordingsListed();
}

TEST_F(SpecialEntries, LinksToNoFileAreListedWithTheirOpenFailure) {
    for (const BrokenLink& link : kBrokenLinks) {
        SCOPED_TRACE(link.name);
        dialogs.messages.clear();
        server.makeEmptyServer();
        std::vector<std::string> expectedMessages;
        std::vector<Row> expectedRows;
        for (const char* place : kPlaces) {
            server.makeFolder(place);
            server.writeWave(std::string(place) + "/real.wav");
            ASSERT_NO_FATAL_FAILURE(link.make(at(place)));
            for (const char* name : link.fileNames) {
                const std::string shown = shownPath(std::string(place) + "/" + name);
                expectedMessages.push_back(addFailure(link.error, shown));
                expectedRows.push_back(Row{kNotWave, shown, " 0", "", ""});
            }
        }
        ASSERT_EQ(load(), LoadOutcome::Completed);
        EXPECT_EQ(sorted(dialogs.texts()), sorted(expectedMessages));
        std::vector<Row> listed;
        for (const Row& row : rowsOf(greetings))
            if (!row.fileName.ends_with("real.wav"))
                listed.push_back(row);
        for (const Row& row : rowsOf(prompts))
            if (!row.fileName.ends_with("real.wav") && !row.fileName.ends_with("RecordBeep.wav"))
                listed.push_back(row);
        const auto byName = [](const Row& a, const Row& b) { return a.fileName < b.fileName; };
        std::sort(listed.begin(), listed.end(), byName);
        std::sort(expectedRows.begin(), expectedRows.end(), byName);
        EXPECT_EQ(listed, expectedRows);
        for (const char* place : kPlaces)
            for (const char* name : link.fileNames)
                fs::remove(at(place) / name);
    }
}

TEST_F(SpecialEntries, DeviceNodesAreNotListed) {
    server.makeEmptyServer();
    for (const char* place : kPlaces) {
        server.makeFolder(place);
        const fs::path node = at(place) / "device.wav";
        // The null device's own numbers: opening it could do no harm even if it were tried.
        if (!makeCharacterDevice(node)) {
            const int error = errno;
            GTEST_SKIP() << "mknod of a character device refused (" << std::strerror(error)
                         << "): making device nodes needs CAP_MKNOD";
        }
    }
    expectOnlyTheRecordingsListed();
}

// Non-regular entries where the scan expects folders are no folders either.
TEST_F(SpecialEntries, NonRegularEntriesInPlaceOfFoldersAreSkippedSilently) {
    server.makeEmptyServer();
    server.writeWave("Localize/Prompts/ENU/Standard/p.wav");
    placeFifo(at("localize/defaultconfiguration/FIFO"));
    placeSocket(at("Localize/Prompts/SOCKET"));
    placeFifo(at("Localize/Prompts/ENU/FIFO"));
    fs::create_symlink("nowhere", at("Localize/Prompts/ENU/Dangling"));
    fs::create_symlink("Loop", at("Localize/Prompts/ENU/Loop"));
    server.writeWave("Stream Files/greeting.wav");

    ASSERT_EQ(load(), LoadOutcome::Completed);
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>{});
    EXPECT_EQ(fileNames(prompts),
              (std::vector<std::string>{shownPath("Localize/Prompts/ENU/Standard/p.wav"),
                                        shownPath("support/RecordBeep.wav")}));
}

// A FIFO where the scan looks a file or the registry up by name: refused at once, not waited on.
TEST_F(SpecialEntries, AFifoInPlaceOfTheRecordBeepIsReportedAndNotWaitedFor) {
    server.makeEmptyServer();
    server.writeWave("Stream Files/greeting.wav");
    fs::remove(at("support/RecordBeep.wav"));
    placeFifo(at("support/RecordBeep.wav"));

    ASSERT_EQ(load(), LoadOutcome::Completed);
    EXPECT_EQ(dialogs.texts(),
              std::vector<std::string>{loadFailure(ENOENT, shownPath("support/RecordBeep.wav"))});
    EXPECT_EQ(prompts.Rows(), 1);
}

TEST_F(SpecialEntries, AFifoInPlaceOfTheRegistryIsNoSupportedServer) {
    server.makeEmptyServer();
    fs::remove(server.prefix() / "system.reg");
    placeFifo(server.prefix() / "system.reg");

    ASSERT_EQ(load(), LoadOutcome::ServerNotSupported);
    EXPECT_EQ(dialogs.texts(),
              std::vector<std::string>{
                  "This utility only runs on servers running Corvel 3.0(1) or later"});
}

// A link to a folder counts as that folder, so a link that points back up the tree makes the
// same files appear again under a second path; the fixed depth of every group bounds that.
TEST_F(SpecialEntries, ALinkBackUpTheTreeIsFollowedOnlyToTheGroupsDepth) {
    server.makeEmptyServer();
    server.writeWave("Localize/Prompts/ENU/Standard/p.wav");
    fs::create_directory_symlink(".", at("Localize/Prompts/Loop"));
    fs::create_directory_symlink("..", at("Localize/Prompts/ENU/Standard/Up"));
    fs::create_directory_symlink(".", at("Stream Files/Here"));
    fs::create_directory_symlink("..", at("localize/defaultconfiguration/Parent"));

    ASSERT_EQ(load(), LoadOutcome::Completed);
    // Greetings: the stream folder's subfolders are not entered, and "Parent" (the folder
    // "localize") holds no files of its own. The warning follows.
    EXPECT_EQ(dialogs.texts(),
              std::vector<std::string>{"No greetings files found in stream file path..."});
    EXPECT_EQ(greetings.Rows(), 1);
    // Prompts: "Loop" is the prompts folder at level 1, so "Loop\ENU" is level 2 (no files of
    // its own) and "Loop\ENU\Standard" level 3. "Up" (level 3, the folder ENU) holds no files.
    EXPECT_EQ(sorted(fileNames(prompts)),
              sorted({shownPath("Localize/Prompts/ENU/Standard/p.wav"),
                      shownPath("Localize/Prompts/Loop/ENU/Standard/p.wav"),
                      shownPath("support/RecordBeep.wav")}));
}

// A name in Latin-1 on a UTF-8 system: its bytes are no UTF-8. The scan, the case-blind path
// lookup and the export take names as bytes, so the row names the file exactly and the
// exported line can be used to find it again.
TEST_F(ScanFixture, ANameThatIsNotUtf8IsListedAndExportedByteForByte) {
    const std::string latin1Name = "greet\xE9ing.wav";
    server.makeEmptyServer();
    server.writeWave("Stream Files/" + latin1Name);
    // A folder of the same kind on the case-blind lookup's way to the default configuration.
    server.makeFolder("Localize/DefaultConfiguration/Fran\xE7"
                      "ais");
    server.writeWave("Localize/DefaultConfiguration/Fran\xE7"
                     "ais/" +
                     latin1Name);
    fs::remove_all(at("localize"));
    server.write("\xC4nderungen.txt", "beside the folders the lookup compares names with");

    ASSERT_EQ(load(), LoadOutcome::Completed);
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>{});
    const std::string streamName = "C:\\Corvel\\Stream Files\\greet\xE9ing.wav";
    const std::string configurationName = "C:\\Corvel\\localize\\defaultconfiguration\\Fran\xE7"
                                          "ais\\greet\xE9ing.wav";
    EXPECT_EQ(sorted(fileNames(greetings)), sorted({streamName, configurationName}));
    for (const Row& row : rowsOf(greetings)) {
        EXPECT_EQ(row.codec, "PCM 16");
        EXPECT_EQ(row.sampleRate, " 8000");
        // The name shown leads back to the file.
        EXPECT_TRUE(fileSystem.FileExists(row.fileName)) << row.fileName;
    }

    TemporaryFolder exportFolder;
    const fs::path csv = exportFolder / "greetings.csv";
    dialogs.saveAnswer = csv.string();
    runCsvExportCommand(CsvExportTarget::Greetings, greetings, fileSystem);
    EXPECT_EQ(dialogs.texts().back(), "Export complete");
    std::string expected = "Codec, File Name, Sample Rate, Date Last Modified, File Size\r\n";
    for (const Row& row : rowsOf(greetings))
        expected += row.codec + "," + row.fileName + "," + row.sampleRate + "," + row.lastModified +
                    "," + row.fileSize + "\r\n";
    EXPECT_EQ(readFile(csv), expected);
    EXPECT_NE(expected.find(",C:\\Corvel\\Stream Files\\greet\xE9ing.wav,"), std::string::npos);
}

} // namespace
} // namespace tambrel
