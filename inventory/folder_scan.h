// The load sequence of the main window after its captions: priority, version gate and the four
// folder groups, told as events to a sink.
#pragma once

#include "inventory/file_system.h"
#include "inventory/ordered_window.h"
#include "inventory/scan_sink.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tambrel {

enum class LoadOutcome {
    Completed,
    ServerNotSupported, // the sink was told; the caller ends the program at once
};

struct ScanProgress {
    // Called with the number of files examined so far, every `interval` files.
    std::function<void(std::int64_t filesExamined)> filesExamined;
    std::int64_t interval = 256;
};

// How the files are read. The events and their order are the same either way: folders are
// listed and headers read ahead, on threads of their own (by default through the system's
// asynchronous queue where there is one, else by a pool of threads), and the sink is told on
// the calling thread in enumeration order.
struct ScanOptions {
    OverlapOptions overlap;
    // Called with a folder's path (as shown) once it has been listed and before any of its
    // files is read, on the thread that lists. (In a folder of more than 1,024 entries the
    // files of the parts before the last may already be read by then.)
    std::function<void(const std::string& folderPath)> folderListed;
    // A copied server tree or a mounted share: the root as given, with no registry read and no
    // version gate.
    std::optional<std::string> givenRoot;

    static ScanOptions serial() { return withMode(OverlapMode::Serial); }
    static ScanOptions withMode(OverlapMode mode) {
        ScanOptions options;
        options.overlap.mode = mode;
        return options;
    }
};

// The load after the window's captions, under the load's error trap: every failure becomes an
// event in its place, and the next step runs.
LoadOutcome runLoadSequence(const FileSystemObject& fileSystem, ScanSink& sink,
                            const ScanProgress& progress = {}, const ScanOptions& options = {});

} // namespace tambrel
