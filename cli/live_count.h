// The one-line count a person at a terminal sees while a scan runs, as the window's splash
// screen shows one: files so far and files per second, redrawn in place on standard error.
// Nothing at all when standard error is a file or a pipe, so logs and scripts see no noise.
#pragma once

#include <chrono>
#include <cstdint>

namespace tambrel::cli {

class LiveCount {
public:
    // `shown`: whether standard error is a terminal.
    explicit LiveCount(bool shown);
    ~LiveCount();
    LiveCount(const LiveCount&) = delete;
    LiveCount& operator=(const LiveCount&) = delete;

    void update(std::int64_t files);
    // Clears the line, so the messages and reports after it start at its left.
    void finish();

private:
    using Clock = std::chrono::steady_clock;
    bool shown_;
    bool drawn_ = false;
    Clock::time_point start_;
    Clock::time_point lastDrawn_;
};

// Clears the line of the count being drawn, if any, so that a message starts at the left; the
// count is drawn again below it on its next update.
void clearLiveCount();

} // namespace tambrel::cli
