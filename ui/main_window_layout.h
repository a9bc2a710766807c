// Where the main window's frames, grids and buttons go for a given outer window size, in twips:
// two equally high frames one above the other, the buttons at the bottom right. Pure
// arithmetic, in single precision as the window keeps its sizes.
#pragma once

namespace tambrel {

struct TwipsRect {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
};

inline constexpr float kMainWindowMinimumWidth = 8400;
inline constexpr float kMainWindowMinimumHeight = 6555;

struct MainWindowLayout {
    // The outer size in force: the size asked for, each dimension raised to its minimum.
    float windowWidth = 0;
    float windowHeight = 0;
    TwipsRect frameGreetingsAndVoiceNames;
    TwipsRect framePrompts;
    TwipsRect gridGreetings; // inside its frame
    TwipsRect gridPrompts;   // inside its frame
    TwipsRect cmdExit;
    TwipsRect cmdReload;
};

// Design places and sizes that the layout never changes.
inline constexpr TwipsRect kDesignFrameGreetings{0, 120, 9795, 3255};
inline constexpr TwipsRect kDesignFramePrompts{0, 3480, 9795, 3315};
inline constexpr TwipsRect kDesignGridGreetings{60, 240, 9675, 2955};
inline constexpr TwipsRect kDesignGridPrompts{60, 240, 9675, 3015};
inline constexpr TwipsRect kDesignReload{6360, 6990, 1995, 435};
inline constexpr TwipsRect kDesignExit{8460, 6990, 1275, 435};
inline constexpr float kDesignClientWidth = 9810;
inline constexpr float kDesignClientHeight = 7470;

MainWindowLayout computeMainWindowLayout(float outerWidth, float outerHeight);

} // namespace tambrel
