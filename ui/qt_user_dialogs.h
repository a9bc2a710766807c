// The dialogs the core asks for, shown with Qt: message boxes without icon, the save dialog for
// the export, and the hourglass.
#pragma once

#include "common/user_dialogs.h"

namespace tambrel {

class QtUserDialogs final : public UserDialogs {
public:
    MessageAnswer showMessage(std::string_view text, std::string_view title,
                              MessageButtons buttons) override;
    // The program asks its own overwrite question, so the dialog asks none.
    std::optional<std::string> askSaveFileName(const SaveDialogRequest& request) override;
    void setMousePointer(MousePointer pointer) override;

private:
    bool hourglassShown_ = false;
};

// Installs one QtUserDialogs for the rest of the program.
void installQtUserDialogs();

} // namespace tambrel
