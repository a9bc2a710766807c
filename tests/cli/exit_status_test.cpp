// The tool's exit status follows what happened during the scan, in every shipped language: the
// messages change with the language, the status must not.
#include "cli/run_cli.h"
#include "localize/language_state.h"
#include "tests/inventory/scan/server_tree.h"
#include "tests/support/temporary_folder.h"

#include <gtest/gtest.h>

namespace tambrel::testing {
namespace {

constexpr std::string_view kEnglishNoGreetings = "No greetings files found in stream file path...";

TEST(CliExitStatus, FollowsTheKindOfEventInEveryLanguage) {
    const struct {
        const char* name;
        void (*prepare)(const ServerTree& server);
        int status;
    } cases[] = {
        {"files read whole",
         [](const ServerTree& server) {
             server.makeEmptyServer();
             server.writeWave("Stream Files/greeting.wav");
         },
         cli::kDone},
        {"no greetings found is a finding",
         [](const ServerTree& server) { server.makeEmptyServer(); }, cli::kDone},
        {"a folder that cannot be read",
         [](const ServerTree& server) {
             server.makeFolder("Stream Files");
             server.makeFolder("localize/defaultconfiguration");
             server.writeWave("Stream Files/greeting.wav");
             server.writeWave("support/RecordBeep.wav");
         },
         cli::kSomeFilesUnreadable},
        {"server older than version 3",
         [](const ServerTree& server) {
             server.makeEmptyServer();
             server.writeRegistry("dword:00020000", server.escapedRoot());
         },
         cli::kNoServer},
    };
    for (const char* language : {"ENU", "DEU", "JPN"}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(language) + ": " + c.name);
            ServerTree server;
            c.prepare(server);
            TemporaryFolder out;
            EXPECT_EQ(cli::runCli({"--prefix", server.prefix().string(), "--language", language,
                                   "--greetings", (out / "greetings.csv").string()}),
                      c.status);
            // The language's own texts were in force, not the built-in English ones.
            EXPECT_EQ(mymyLoadString(22) == kEnglishNoGreetings, std::string(language) == "ENU");
        }
    }
    CurrentLanguageID = 0x409;
    InitalizeLanguages();
}

} // namespace
} // namespace tambrel::testing
