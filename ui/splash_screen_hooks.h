// What the main window needs of the splash screen, which lives with the entry procedure: shown
// centred around every reload, and told how far a scan has got.
#pragma once

#include <cstdint>

namespace tambrel {

class SplashScreenHooks {
public:
    virtual ~SplashScreenHooks() = default;
    // Loads the splash screen if needed, centres it, shows it and repaints it at once.
    virtual void showCentred() = 0;
    virtual void hide() = 0;
    // Repaints the count of files examined, without returning to the event loop.
    virtual void showFilesExamined(std::int64_t count) = 0;
};

} // namespace tambrel
