// The command-line tool's side of a scan: files into its two lists, the scan's messages on
// standard error, and what the exit status needs to know, taken from the kind of each event and
// never from a message's words, so no language and no new message can change it.
#pragma once

#include "cli/listing_store.h"
#include "inventory/scan_sink.h"

#include <string_view>

namespace tambrel::cli {

// "program: text" and a line end, on standard error.
void tellOnStandardError(std::string_view program, std::string_view text);

class CliScanSink final : public ScanSink {
public:
    CliScanSink(std::string_view program, ListingStore& greetings, ListingStore& prompts)
        : program_(program), greetings_(greetings), prompts_(prompts) {}

    void listStarted(FileList list) override;
    void listFilling(FileList) override {}
    void fileFound(const FileFacts& facts) override;
    void loadFailed(const LoadFailure& failure) override;
    // Told, but an empty greetings folder is a finding, not a failure.
    void noGreetingsFound() override;
    void serverRefused() override;
    void serverVersionRead(const std::string& versionText) override {
        serverVersion_ = versionText;
    }

    // A file, a folder or a registry value could not be read.
    bool somethingUnreadable() const { return somethingUnreadable_; }
    bool serverNotSupported() const { return serverNotSupported_; }
    // Empty when the registry did not give it.
    const std::string& serverVersion() const { return serverVersion_; }

private:
    ListingStore& store(FileList list) {
        return list == FileList::Greetings ? greetings_ : prompts_;
    }

    std::string_view program_;
    ListingStore& greetings_;
    ListingStore& prompts_;
    bool somethingUnreadable_ = false;
    bool serverNotSupported_ = false;
    std::string serverVersion_;
};

} // namespace tambrel::cli
