// What the main window asks of its grids beyond their cells: drawing suspended while a scan
// adds rows in bulk, and a column fitted to its texts. The grid widget and the tests' in-memory
// grid implement it; the core never sees it.
#pragma once

#include "common/grid.h"

#include <cstdint>

namespace tambrel {

enum class RedrawMode : int {
    Suspended = 0, // no repainting while rows are added in bulk
    Buffered = 2,  // painting resumed, repainted at once
};

class WindowGrid : public Grid {
public:
    virtual Status AutoSize(std::int32_t column) = 0;
    virtual void SetRedraw(RedrawMode mode) = 0;
};

} // namespace tambrel
