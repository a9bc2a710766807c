#include "ui/main_window_layout.h"

namespace tambrel {

MainWindowLayout computeMainWindowLayout(float outerWidth, float outerHeight) {
    MainWindowLayout layout;
    layout.windowWidth =
        outerWidth < kMainWindowMinimumWidth ? kMainWindowMinimumWidth : outerWidth;
    layout.windowHeight =
        outerHeight < kMainWindowMinimumHeight ? kMainWindowMinimumHeight : outerHeight;
    const float width = layout.windowWidth;
    const float height = layout.windowHeight;

    TwipsRect& greetings = layout.frameGreetingsAndVoiceNames;
    greetings = kDesignFrameGreetings;
    greetings.width = width - 100;
    greetings.height = height / 2 - 780;

    TwipsRect& prompts = layout.framePrompts;
    prompts = kDesignFramePrompts;
    prompts.width = greetings.width;
    prompts.height = greetings.height;
    prompts.top = greetings.height + 300;

    layout.gridGreetings = kDesignGridGreetings;
    layout.gridGreetings.width = greetings.width - 120;
    layout.gridGreetings.height = greetings.height - 300;
    layout.gridPrompts = kDesignGridPrompts;
    layout.gridPrompts.width = layout.gridGreetings.width;
    layout.gridPrompts.height = layout.gridGreetings.height;

    layout.cmdExit = kDesignExit;
    layout.cmdExit.top = height - 1200;
    layout.cmdExit.left = width - 1410;
    layout.cmdReload = kDesignReload;
    layout.cmdReload.top = layout.cmdExit.top;
    layout.cmdReload.left = layout.cmdExit.left - layout.cmdReload.width - 100;
    return layout;
}

} // namespace tambrel
