// What the scan tells whoever presents it, in enumeration order: each file's facts, each
// failure of the load, the points where a list starts and where no greetings were found, and a
// server too old to scan. The window turns these into rows and message boxes, the command-line
// tool into lines and an exit status; neither learns anything from a message's text.
#pragma once

#include "common/file_facts.h"
#include "common/result.h"

#include <cstdint>
#include <string>

namespace tambrel {

// What a failure of the load concerns, named in its message.
enum class LoadFailureSubject : std::uint8_t { Folder, File, RegistryValue };

struct LoadFailure {
    LoadFailureSubject subject = LoadFailureSubject::Folder;
    std::string concerned; // the folder, file or registry value, as the message names it
    Failure failure;
};

// Called on the thread that runs the scan, one event at a time: the scan waits for each call
// to return, so a message box shown from one holds the scan until it is closed.
class ScanSink {
public:
    virtual ~ScanSink() = default;

    // The list is filled afresh from here on: an earlier scan's rows go.
    virtual void listStarted(FileList list) = 0;
    // The list's rows follow in bulk (the greetings' folder has been looked up by now).
    virtual void listFilling(FileList list) = 0;
    virtual void fileFound(const FileFacts& facts) = 0;
    virtual void loadFailed(const LoadFailure& failure) = 0;
    // Every greetings folder has been read and no greeting was in them.
    virtual void noGreetingsFound() = 0;
    // The server's major version is below 3: nothing is scanned, and the program ends.
    virtual void serverRefused() = 0;
    // The server's version as the registry gives it ("5.0(2.1)"), before any file; not told
    // when the root was given instead of read from the registry, or the version not read.
    virtual void serverVersionRead(const std::string& versionText) { (void)versionText; }
};

} // namespace tambrel
