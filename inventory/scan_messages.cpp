#include "inventory/scan_messages.h"

#include "localize/language_state.h"

namespace tambrel {
namespace {

constexpr std::int32_t kReadFailureLead = 8;
constexpr std::int32_t kLoadFailureLead = 10;
constexpr std::int32_t kNoGreetingsFound = 22;
constexpr std::int32_t kServerNotSupported = 30;

} // namespace

std::string loadFailureMessage(const LoadFailure& failure) {
    return loadFailureMessage(failure.failure, failure.concerned);
}

std::string loadFailureMessage(const Failure& failure, std::string_view concerned) {
    return mymyLoadString(kLoadFailureLead) + failureText(failure, concerned);
}

std::string readFailureMessage(const Failure& failure, std::string_view shownPath) {
    return mymyLoadString(kReadFailureLead) + failureText(failure, shownPath);
}

std::string noGreetingsFoundMessage() {
    return mymyLoadString(kNoGreetingsFound);
}

std::string serverRefusedMessage() {
    return mymyLoadString(kServerNotSupported);
}

} // namespace tambrel
