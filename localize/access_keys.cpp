#include "localize/access_keys.h"

#include <algorithm>
#include <array>
#include <optional>

namespace tambrel {
namespace {

bool isKeyCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Preferences, best first: the caption's first letter, the first letters of its other words,
// any other letter; then, for appended keys only, letters of the caption and the alphabet.
constexpr int kLevels = 5;

struct Candidate {
    int level;
    std::size_t position; // byte offset in the text the key was found in
    char key;             // lower case
};

// The key characters of `text` by preference. Bytes of multi-byte UTF-8 sequences are never
// ASCII, so a byte test is enough; any character that is not a key character ends a word.
void addCandidates(std::string_view text, int firstLevel, std::vector<Candidate>& candidates) {
    bool wordStart = true;
    bool first = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (!isKeyCharacter(c)) {
            // An apostrophe inside a word ("Don't") does not start one.
            wordStart = c != '\'';
            continue;
        }
        const int level = first ? firstLevel : wordStart ? firstLevel + 1 : firstLevel + 2;
        candidates.push_back({level, i, lower(c)});
        wordStart = false;
        first = false;
    }
}

std::string escaped(std::string_view text) {
    std::string result;
    result.reserve(text.size() + 4);
    for (char c : text) {
        result += c;
        if (c == '&')
            result += '&';
    }
    return result;
}

// Where an appended key goes: before a closing ellipsis or colon, which stay last.
std::size_t appendPosition(std::string_view caption) {
    for (std::string_view ending : {std::string_view("..."), std::string_view("\xE2\x80\xA6"),
                                    std::string_view(":"), std::string_view("\xEF\xBC\x9A")})
        if (caption.size() >= ending.size() && caption.ends_with(ending))
            return caption.size() - ending.size();
    return caption.size();
}

} // namespace

AccessKeyStyle accessKeyStyleFor(std::int32_t languageID) {
    switch (languageID & 0x3FF) {
    case 0x04: // Chinese
    case 0x11: // Japanese
    case 0x12: // Korean
        return AccessKeyStyle::Appended;
    default:
        return AccessKeyStyle::InCaption;
    }
}

std::vector<std::string> withAccessKeys(std::span<const AccessKeyRequest> requests,
                                        AccessKeyStyle style) {
    std::vector<std::vector<Candidate>> candidates(requests.size());
    for (std::size_t i = 0; i < requests.size(); ++i) {
        if (style == AccessKeyStyle::InCaption) {
            addCandidates(requests[i].caption, 0, candidates[i]);
            continue;
        }
        addCandidates(requests[i].hint, 0, candidates[i]);
        // The caption's own Latin letters (an acronym such as "CSV"), then the whole alphabet.
        std::vector<Candidate> own;
        addCandidates(requests[i].caption, 0, own);
        for (const Candidate& candidate : own)
            candidates[i].push_back({3, 0, candidate.key});
        for (char c = 'a'; c <= 'z'; ++c)
            candidates[i].push_back({4, 0, c});
        for (char c = '0'; c <= '9'; ++c)
            candidates[i].push_back({4, 0, c});
    }

    std::array<bool, 128> taken{};
    std::vector<std::optional<Candidate>> chosen(requests.size());
    for (int level = 0; level < kLevels; ++level) {
        for (std::size_t i = 0; i < requests.size(); ++i) {
            if (chosen[i] || requests[i].caption.empty())
                continue;
            for (const Candidate& candidate : candidates[i]) {
                if (candidate.level != level || taken[static_cast<unsigned char>(candidate.key)])
                    continue;
                chosen[i] = candidate;
                taken[static_cast<unsigned char>(candidate.key)] = true;
                break;
            }
        }
    }

    std::vector<std::string> marked;
    marked.reserve(requests.size());
    for (std::size_t i = 0; i < requests.size(); ++i) {
        const std::string_view caption = requests[i].caption;
        if (!chosen[i]) {
            marked.push_back(escaped(caption));
        } else if (style == AccessKeyStyle::InCaption) {
            const std::size_t at = chosen[i]->position;
            marked.push_back(escaped(caption.substr(0, at)) + "&" + escaped(caption.substr(at)));
        } else {
            const std::size_t at = appendPosition(caption);
            marked.push_back(escaped(caption.substr(0, at)) + "(&" + upper(chosen[i]->key) + ")" +
                             escaped(caption.substr(at)));
        }
    }
    return marked;
}

char accessKeyOf(std::string_view marked) {
    for (std::size_t i = 0; i + 1 < marked.size(); ++i) {
        if (marked[i] != '&')
            continue;
        if (marked[i + 1] == '&') {
            ++i;
            continue;
        }
        return isKeyCharacter(marked[i + 1]) ? lower(marked[i + 1]) : 0;
    }
    return 0;
}

std::string withoutAccessKeyMarker(std::string_view marked) {
    std::string plain;
    plain.reserve(marked.size());
    for (std::size_t i = 0; i < marked.size(); ++i) {
        if (marked[i] != '&') {
            plain += marked[i];
            continue;
        }
        if (i + 1 < marked.size() && marked[i + 1] == '&') {
            plain += '&';
            ++i;
            continue;
        }
        // "(&X)": the brackets go with the marker.
        if (!plain.empty() && plain.back() == '(' && i + 2 < marked.size() &&
            marked[i + 2] == ')') {
            plain.pop_back();
            i += 2;
        }
    }
    return plain;
}

} // namespace tambrel
