// A record of the program's start for the start benchmark: when TAMBREL_START_REPORT names a
// file, the steady clock is noted at named steps of the start, and once the main window has
// painted both of its grids filled the steps are written to that file, one "step nanoseconds"
// line each, and the program quits. Unset, each call costs a test of one flag.
#pragma once

class QWidget;

namespace tambrel::startReport {

bool enabled();
// Notes the clock now under `step` (a literal: only the pointer is kept).
void mark(const char* step);
// Adds the time since `since` (from nowNanoseconds) to the total kept under `what`, written
// after the steps as "what total-nanoseconds" with a leading '+'.
long long nowNanoseconds();
void addTime(const char* what, long long since);
// After each of `grids` has painted once, marks "painted", writes the report and quits.
void finishAfterFirstPaint(QWidget& firstGrid, QWidget& secondGrid);

} // namespace tambrel::startReport
