// Sets the locale variables a test needs and puts the previous values back when it ends.
#pragma once

#include <array>
#include <cstdlib>
#include <optional>
#include <string>

namespace tambrel::testing {

class ScopedLocale {
public:
    // Each variable is set to the text given; nullptr unsets it.
    ScopedLocale(const char* all, const char* messages = nullptr, const char* lang = nullptr) {
        for (std::size_t index = 0; index < kNames.size(); ++index) {
            if (const char* value = std::getenv(kNames[index]))
                saved_[index] = value;
        }
        apply({all, messages, lang});
    }
    ~ScopedLocale() {
        std::array<const char*, 3> values{};
        for (std::size_t index = 0; index < kNames.size(); ++index)
            values[index] = saved_[index] ? saved_[index]->c_str() : nullptr;
        apply(values);
    }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

private:
    static constexpr std::array<const char*, 3> kNames = {"LC_ALL", "LC_MESSAGES", "LANG"};

    static void apply(std::array<const char*, 3> values) {
        for (std::size_t index = 0; index < kNames.size(); ++index) {
            if (values[index])
                ::setenv(kNames[index], values[index], 1);
            else
                ::unsetenv(kNames[index]);
        }
    }

    std::array<std::optional<std::string>, 3> saved_;
};

} // namespace tambrel::testing
