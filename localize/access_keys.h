// Access keys for a group of captions that share one keyboard (the items of one menu, the menu
// bar's titles with the window's buttons), chosen from the captions themselves so that no two
// clash, in any language: the texts in the language libraries carry no markers of their own.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tambrel {

enum class AccessKeyStyle {
    // The key is one of the caption's own letters, marked in place: "E&xit".
    InCaption,
    // The caption is in a script without such letters: a Latin key is appended in brackets,
    // "ファイル(&F)", taken from the hint (the English caption) where it can be.
    Appended,
};

// The style a language's menus use: appended for Japanese, Chinese and Korean.
AccessKeyStyle accessKeyStyleFor(std::int32_t languageID);

struct AccessKeyRequest {
    std::string_view caption; // UTF-8, as the language library has it
    std::string_view hint;    // the English caption, for the appended style; may be empty
};

// Each caption with its key marked by a '&' before it and any '&' of its own doubled, as menus
// and buttons take them. Keys are ASCII letters and digits, compared without case. Earlier
// captions win a contested letter only at the same preference: first every caption's first
// letter, then the first letters of its words, then any of its letters. A caption left without
// a free letter gets no key in the in-caption style.
std::vector<std::string> withAccessKeys(std::span<const AccessKeyRequest> requests,
                                        AccessKeyStyle style);

// The key a marked caption carries, lower case, or 0 when it has none.
char accessKeyOf(std::string_view marked);
// The caption the key was chosen for: the marker or an appended "(&X)" removed, doubled '&'
// made single.
std::string withoutAccessKeyMarker(std::string_view marked);

} // namespace tambrel
