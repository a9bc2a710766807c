// The load sequence of the main window after its captions: priority, version gate, the four
// folder groups and the column sizing.
#pragma once

#include "common/grid.h"
#include "inventory/file_system.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tambrel {

enum class LoadOutcome {
    Completed,
    ServerNotSupported, // string 30 was shown; the caller ends the program at once
};

struct ScanProgress {
    // Called with the number of files examined so far, every `interval` files.
    std::function<void(std::int64_t filesExamined)> filesExamined;
    std::int64_t interval = 256;
};

// Steps 3 to 18 of the load, under the load's error trap. With `givenRoot` (a copied server
// tree, a mounted share) the root is taken as given: no registry read and no version gate.
LoadOutcome runLoadSequence(const FileSystemObject& fileSystem, Grid& gridGreetings,
                            Grid& gridPrompts, const ScanProgress& progress = {},
                            const std::optional<std::string>& givenRoot = std::nullopt);

} // namespace tambrel
