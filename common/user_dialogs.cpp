#include "common/user_dialogs.h"

#include <cstdio>

namespace tambrel {
namespace {

class StandardErrorDialogs final : public UserDialogs {
public:
    MessageAnswer showMessage(std::string_view text, std::string_view title,
                              MessageButtons buttons) override {
        std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(title.size()), title.data(),
                     static_cast<int>(text.size()), text.data());
        return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
    }
    std::optional<std::string> askSaveFileName(const SaveDialogRequest&) override {
        return std::nullopt;
    }
    void setMousePointer(MousePointer) override {}
};

StandardErrorDialogs fallbackDialogs;
UserDialogs* installedDialogs = nullptr;

} // namespace

UserDialogs& userDialogs() {
    return installedDialogs ? *installedDialogs : fallbackDialogs;
}

UserDialogs* installUserDialogs(UserDialogs* dialogs) {
    UserDialogs* previous = installedDialogs;
    installedDialogs = dialogs;
    return previous;
}

} // namespace tambrel
