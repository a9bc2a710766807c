// A stand-in for the dialogs that records every message and answers from a script, so tests
// can assert the exact texts a procedure shows. Installs itself for its lifetime.
#pragma once

#include "common/user_dialogs.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace tambrel::testing {

struct RecordedMessage {
    std::string text;
    std::string title;
    MessageButtons buttons;
};

class RecordingDialogs final : public UserDialogs {
public:
    RecordingDialogs() : previous_(installUserDialogs(this)) {}
    ~RecordingDialogs() override { installUserDialogs(previous_); }
    RecordingDialogs(const RecordingDialogs&) = delete;
    RecordingDialogs& operator=(const RecordingDialogs&) = delete;

    MessageAnswer showMessage(std::string_view text, std::string_view title,
                              MessageButtons buttons) override {
        messages.push_back({std::string(text), std::string(title), buttons});
        if (buttons == MessageButtons::Ok)
            return MessageAnswer::Ok;
        if (answers.empty())
            return MessageAnswer::No;
        MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::optional<std::string> askSaveFileName(const SaveDialogRequest& request) override {
        saveRequests.push_back(request);
        return saveAnswer;
    }
    void setMousePointer(MousePointer pointer) override { pointers.push_back(pointer); }

    std::vector<std::string> texts() const {
        std::vector<std::string> result;
        for (const auto& message : messages)
            result.push_back(message.text);
        return result;
    }

    std::vector<RecordedMessage> messages;
    std::deque<MessageAnswer> answers;     // for Yes/No questions, in order
    std::optional<std::string> saveAnswer; // nullopt: the user cancels
    std::vector<SaveDialogRequest> saveRequests;
    std::vector<MousePointer> pointers;

private:
    UserDialogs* previous_;
};

} // namespace tambrel::testing
