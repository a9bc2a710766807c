#include "cli/cli_scan_sink.h"

#include "cli/live_count.h"
#include "inventory/scan_messages.h"
#include "platform/process/standard_streams.h"

#include <string>

namespace tambrel::cli {

void tellOnStandardError(std::string_view program, std::string_view text) {
    clearLiveCount();
    std::string line(program);
    line.append(": ").append(text).push_back('\n');
    platform::writeStandardError(line);
}

void CliScanSink::listStarted(FileList list) {
    store(list).clear();
}

void CliScanSink::fileFound(const FileFacts& facts) {
    for (const Failure& failure : facts.readFailures) {
        tellOnStandardError(program_, readFailureMessage(failure, facts.path));
        somethingUnreadable_ = true;
    }
    store(facts.list).add(facts);
}

void CliScanSink::loadFailed(const LoadFailure& failure) {
    tellOnStandardError(program_, loadFailureMessage(failure));
    somethingUnreadable_ = true;
}

void CliScanSink::noGreetingsFound() {
    tellOnStandardError(program_, noGreetingsFoundMessage());
}

void CliScanSink::serverRefused() {
    tellOnStandardError(program_, serverRefusedMessage());
    serverNotSupported_ = true;
}

} // namespace tambrel::cli
