// Files and folders the program may not read. Permissions do not bind the superuser, and the
// tests run as root in CI: there the scan runs in a child process that has become "nobody",
// and its messages and rows come back to the test through a pipe.
#include "platform/testing/file_tricks.h"
#include "platform/testing/process_tricks.h"
#include "platform/text/short_date.h"
#include "tests/inventory/faults/scan_fixture.h"

#include <cerrno>
#include <cstring>
#include <optional>
#include <variant>

namespace tambrel {
namespace {

namespace fs = std::filesystem;
using namespace testing;

constexpr std::uint32_t kNobody = 65534;

struct ScanReport {
    LoadOutcome outcome = LoadOutcome::Completed;
    std::vector<std::string> messages;
    std::vector<Row> greetings;
    std::vector<Row> prompts;
};

// Length-prefixed texts over the pipe.
class Packer {
public:
    void add(std::string_view text) {
        const std::uint64_t length = text.size();
        bytes.append(reinterpret_cast<const char*>(&length), sizeof length);
        bytes.append(text);
    }
    void add(const std::vector<Row>& rows) {
        add(std::to_string(rows.size()));
        for (const Row& row : rows)
            for (const std::string* cell :
                 {&row.codec, &row.fileName, &row.sampleRate, &row.lastModified, &row.fileSize})
                add(*cell);
    }
    std::string bytes;
};

class Unpacker {
public:
    explicit Unpacker(std::string_view bytes) : bytes_(bytes) {}
    std::optional<std::string> text() {
        std::uint64_t length = 0;
        if (bytes_.size() < sizeof length)
            return std::nullopt;
        std::memcpy(&length, bytes_.data(), sizeof length);
        bytes_.remove_prefix(sizeof length);
        if (bytes_.size() < length)
            return std::nullopt;
        std::string text(bytes_.substr(0, length));
        bytes_.remove_prefix(length);
        return text;
    }
    std::optional<std::vector<Row>> rows() {
        const std::optional<std::string> count = text();
        if (!count)
            return std::nullopt;
        std::vector<Row> rows(std::stoul(*count));
        for (Row& row : rows)
            for (std::string* cell :
                 {&row.codec, &row.fileName, &row.sampleRate, &row.lastModified, &row.fileSize}) {
                std::optional<std::string> read = text();
                if (!read)
                    return std::nullopt;
                *cell = std::move(*read);
            }
        return rows;
    }

private:
    std::string_view bytes_;
};

std::string packed(const ScanReport& report) {
    Packer packer;
    packer.add(std::to_string(static_cast<int>(report.outcome)));
    packer.add(std::to_string(report.messages.size()));
    for (const std::string& message : report.messages)
        packer.add(message);
    packer.add(report.greetings);
    packer.add(report.prompts);
    return packer.bytes;
}

std::optional<ScanReport> unpacked(std::string_view bytes) {
    Unpacker unpacker(bytes);
    ScanReport report;
    const std::optional<std::string> outcome = unpacker.text();
    const std::optional<std::string> count = unpacker.text();
    if (!outcome || !count)
        return std::nullopt;
    report.outcome = static_cast<LoadOutcome>(std::stoi(*outcome));
    for (unsigned long i = 0; i < std::stoul(*count); ++i) {
        std::optional<std::string> message = unpacker.text();
        if (!message)
            return std::nullopt;
        report.messages.push_back(std::move(*message));
    }
    std::optional<std::vector<Row>> greetings = unpacker.rows();
    std::optional<std::vector<Row>> prompts = unpacker.rows();
    if (!greetings || !prompts)
        return std::nullopt;
    report.greetings = std::move(*greetings);
    report.prompts = std::move(*prompts);
    return report;
}

ScanReport scanHere(const fs::path& prefix) {
    RecordingDialogs dialogs;
    MemoryGrid greetings = MemoryGrid::withFileRowColumns();
    MemoryGrid prompts = MemoryGrid::withFileRowColumns();
    const FileSystemObject fileSystem(prefix.string());
    ScanReport report;
    report.outcome = loadIntoGrids(fileSystem, greetings, prompts);
    report.messages = dialogs.texts();
    report.greetings = rowsOf(greetings);
    report.prompts = rowsOf(prompts);
    return report;
}

// The scan as an unprivileged user, or why it could not be run as one. The first byte the
// child sends says which: 'R' a report follows, 'S' the reason to skip.
std::variant<ScanReport, std::string> scanWithoutPrivileges(const fs::path& prefix) {
    if (!runningAsSuperuser())
        return scanHere(prefix);

    const std::optional<ChildOutcome> child = runInChildProcess([&prefix] {
        if (!becomeUser(kNobody, kNobody))
            return std::string("S") + "cannot become uid/gid 65534 (" + std::strerror(errno) + ")";
        if (!mayListFolder(prefix / "drive_c"))
            return "Sthe temporary folder is out of reach of uid 65534 (" +
                   std::string(std::strerror(errno)) + ")";
        return "R" + packed(scanHere(prefix));
    });
    if (!child)
        return std::string("no child process: ") + std::strerror(errno);
    if (child->signal != 0) {
        ADD_FAILURE() << "the scan in the unprivileged child died of signal " << child->signal;
        return ScanReport{};
    }
    const std::string& received = child->output;
    if (received.empty() || (received[0] != 'R' && received[0] != 'S') || child->exitCode != 0) {
        ADD_FAILURE() << "the unprivileged child sent nothing usable, exit " << child->exitCode;
        return ScanReport{};
    }
    if (received[0] == 'S')
        return received.substr(1);
    std::optional<ScanReport> report = unpacked(std::string_view(received).substr(1));
    if (!report) {
        ADD_FAILURE() << "the unprivileged child's report was cut short";
        return ScanReport{};
    }
    return std::move(*report);
}

class UnreadableEntries : public ScanFixture {
protected:
    // The child needs to pass through every folder the test did not lock on purpose.
    void openTheTreeToEveryone() const {
        fs::permissions(server.prefix(), fs::perms::owner_all | fs::perms::group_read |
                                             fs::perms::group_exec | fs::perms::others_read |
                                             fs::perms::others_exec);
    }
    void lock(std::string_view relative, fs::perms perms) {
        locked_.push_back(at(relative));
        fs::permissions(locked_.back(), perms);
    }
    ~UnreadableEntries() override {
        for (const fs::path& path : locked_)
            fs::permissions(path, fs::perms::owner_all, fs::perm_options::add);
    }
    std::string stampOf(std::string_view relative) const {
        const StatusFacts facts = statusFacts(at(relative));
        EXPECT_GE(facts.size, 0);
        return shortDate(facts.modifiedSeconds);
    }

private:
    std::vector<fs::path> locked_;
};

TEST_F(UnreadableEntries, AreReportedOnceEachAndTheRestIsListed) {
    server.makeEmptyServer();
    server.writeWave("Stream Files/open.wav");
    server.writeWave("Stream Files/locked.wav");
    server.writeWave("localize/defaultconfiguration/Open/name.wav");
    server.writeWave("localize/defaultconfiguration/Locked/hidden.wav");
    server.writeWave("Localize/Prompts/Open/Standard/prompt.wav");
    server.writeWave("Localize/Prompts/Locked/Standard/hidden.wav");
    server.writeWave("Localize/Prompts/Open/NoSearch/named.wav");
    server.writeWave("Localize/Prompts/Open/Blind/unnamed.wav");
    openTheTreeToEveryone();
    const std::size_t waveSize = canonicalWave(1, 8000).size();
    const std::string lockedDate = stampOf("Stream Files/locked.wav");

    lock("Stream Files/locked.wav", fs::perms::none);
    lock("localize/defaultconfiguration/Locked", fs::perms::none);
    lock("Localize/Prompts/Locked", fs::perms::none);
    // Names can be read, but nothing behind them reached.
    lock("Localize/Prompts/Open/NoSearch",
         fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    // Passable, but its names cannot be read.
    lock("Localize/Prompts/Open/Blind",
         fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec);

    const std::variant<ScanReport, std::string> result = scanWithoutPrivileges(server.prefix());
    if (const std::string* reason = std::get_if<std::string>(&result))
        GTEST_SKIP() << "cannot drop privileges for this test: " << *reason;
    const ScanReport& report = std::get<ScanReport>(result);

    ASSERT_EQ(report.outcome, LoadOutcome::Completed);
    // Files are reported by AddFileToGrid, folders by the load; each once.
    EXPECT_EQ(sorted(report.messages),
              sorted({addFailure(EACCES, shownPath("Stream Files/locked.wav")),
                      loadFailure(EACCES, shownPath("localize/defaultconfiguration/Locked")),
                      loadFailure(EACCES, shownPath("Localize/Prompts/Locked")),
                      loadFailure(EACCES, shownPath("Localize/Prompts/Open/Blind")),
                      addFailure(EACCES, shownPath("Localize/Prompts/Open/NoSearch/named.wav"))}));

    // A file that cannot be opened still shows its size and date, which need no reading.
    const Row lockedRow{kNotWave, shownPath("Stream Files/locked.wav"), " 0", lockedDate,
                        " " + std::to_string(waveSize)};
    std::vector<Row> greetings = report.greetings;
    ASSERT_EQ(greetings.size(), 3u);
    EXPECT_NE(std::find(greetings.begin(), greetings.end(), lockedRow), greetings.end())
        << "no row " << lockedRow;
    std::vector<std::string> greetingNames;
    for (const Row& row : greetings)
        greetingNames.push_back(row.fileName);
    EXPECT_EQ(sorted(greetingNames),
              sorted({shownPath("Stream Files/open.wav"), shownPath("Stream Files/locked.wav"),
                      shownPath("localize/defaultconfiguration/Open/name.wav")}));

    // Behind a folder that cannot be passed there is not even a status: both cells stay empty.
    const Row namedRow{kNotWave, shownPath("Localize/Prompts/Open/NoSearch/named.wav"), " 0", "",
                       ""};
    std::vector<std::string> promptNames;
    for (const Row& row : report.prompts)
        promptNames.push_back(row.fileName);
    EXPECT_EQ(sorted(promptNames),
              sorted({shownPath("Localize/Prompts/Open/Standard/prompt.wav"), namedRow.fileName,
                      shownPath("support/RecordBeep.wav")}));
    EXPECT_NE(std::find(report.prompts.begin(), report.prompts.end(), namedRow),
              report.prompts.end())
        << "no row " << namedRow;
}

TEST_F(UnreadableEntries, AnUnreadableRegistryIsNoSupportedServer) {
    server.makeEmptyServer();
    server.writeWave("Stream Files/greeting.wav");
    openTheTreeToEveryone();
    fs::permissions(server.prefix() / "system.reg", fs::perms::none);

    const std::variant<ScanReport, std::string> result = scanWithoutPrivileges(server.prefix());
    fs::permissions(server.prefix() / "system.reg", fs::perms::owner_all);
    if (const std::string* reason = std::get_if<std::string>(&result))
        GTEST_SKIP() << "cannot drop privileges for this test: " << *reason;
    const ScanReport& report = std::get<ScanReport>(result);
    EXPECT_EQ(report.outcome, LoadOutcome::ServerNotSupported);
    EXPECT_EQ(report.messages,
              std::vector<std::string>{
                  "This utility only runs on servers running Corvel 3.0(1) or later"});
    EXPECT_TRUE(report.greetings.empty());
}

} // namespace
} // namespace tambrel
