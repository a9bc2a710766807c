#include "cli/live_count.h"

#include "platform/process/standard_streams.h"

#include <string>

namespace tambrel::cli {
namespace {

// Redrawn at most this often: a terminal that takes every update slows the scan down.
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
constexpr std::size_t kLineWidth = 40;

// The count being drawn: one scan at a time, on the thread that tells the messages.
LiveCount* active = nullptr;

} // namespace

void clearLiveCount() {
    if (active)
        active->finish();
}

LiveCount::LiveCount(bool shown) : shown_(shown), start_(Clock::now()), lastDrawn_(start_) {
    if (shown_)
        active = this;
}

LiveCount::~LiveCount() {
    finish();
    if (active == this)
        active = nullptr;
}

void LiveCount::update(std::int64_t files) {
    if (!shown_)
        return;
    const Clock::time_point now = Clock::now();
    if (drawn_ && now - lastDrawn_ < kRedrawInterval)
        return;
    lastDrawn_ = now;
    drawn_ = true;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    const auto perSecond =
        seconds > 0 ? static_cast<std::int64_t>(static_cast<double>(files) / seconds) : 0;
    std::string line =
        "\r" + std::to_string(files) + " files, " + std::to_string(perSecond) + " files/s";
    if (line.size() < kLineWidth)
        line.resize(kLineWidth, ' ');
    platform::writeStandardError(line);
}

void LiveCount::finish() {
    if (!drawn_)
        return;
    drawn_ = false;
    platform::writeStandardError("\r" + std::string(kLineWidth, ' ') + "\r");
}

} // namespace tambrel::cli
