// The dialogs the core needs from whoever shows windows: message boxes, the save dialog and the
// mouse pointer. The Qt shell installs a real implementation; tests install a recorder and read
// back the exact text of every message.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tambrel {

// Message boxes are always titled with the application's title, not a localized text.
inline constexpr std::string_view kApplicationTitle = "Tambrel";

enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };
enum class MousePointer { Default = 0, Hourglass = 11 };

struct SaveDialogRequest {
    std::string title;         // "CSV File Location"
    std::string filter;        // "*.csv"
    std::string proposedPath;  // resolved host path of the proposed file
    std::string initialFolder; // resolved host folder the dialog starts in
};

class UserDialogs {
public:
    virtual ~UserDialogs() = default;

    // A modal message box without icon. `title` is the window title.
    virtual MessageAnswer showMessage(std::string_view text, std::string_view title,
                                      MessageButtons buttons) = 0;
    // A modal save dialog; nullopt when the user cancels.
    virtual std::optional<std::string> askSaveFileName(const SaveDialogRequest& request) = 0;
    virtual void setMousePointer(MousePointer pointer) = 0;
};

// The dialogs in force for the whole program. Until someone installs one, messages go to
// standard error and every question is answered "No", so nothing is ever overwritten unasked.
UserDialogs& userDialogs();
// Installs `dialogs` (not owned) and returns the previous one; nullptr restores the fallback.
UserDialogs* installUserDialogs(UserDialogs* dialogs);

// The usual report: an OK box with the application's title.
inline void reportMessage(std::string_view text) {
    userDialogs().showMessage(text, kApplicationTitle, MessageButtons::Ok);
}

} // namespace tambrel
