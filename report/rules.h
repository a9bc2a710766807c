// Rules an administrator writes for the files of each list, such as
//
//     prompts: format=mulaw rate=8000 channels=1; greetings: format=mulaw,gsm610 rate=8000
//
// Grammar (letter case of words ignored; blanks and tabs may stand between any two tokens):
//
//     rules     = [group] { separator [group] }
//     separator = ";" | line end
//     group     = lists ":" condition { condition }
//     lists     = list { "," list }           list = "greetings" | "prompts" | "all"
//     condition = fact "=" value { "," value } | "no-problems"
//     fact      = "format" | "rate" | "channels" | "bits"
//     value     = decimal number | "0x" hexadecimal number | format word (format only:
//                 pcm, adpcm, float, alaw, mulaw, gsm610, ima_adpcm, g726, … see format_words.h)
//
// "#" starts a comment that runs to the line's end. Each condition is one rule: a file of a
// list the group names breaks it when its fact is not one of the values given ("format"
// matches the format tag, or for the extensible form its sub-format's tag; a file whose fact is
// unknown breaks it) or, for "no-problems", when the file has a problem.
#pragma once

#include "common/result.h"
#include "report/input_errors.h"
#include "report/inventory_document.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tambrel::report {

enum class RuleFact : std::uint8_t { Format, SampleRate, Channels, BitsPerSample, NoProblems };

struct Rule {
    std::vector<ListKind> lists;
    RuleFact fact = RuleFact::NoProblems;
    std::vector<std::uint32_t> allowed; // empty for NoProblems
    std::string text;                   // as reports name it: "prompts: rate=8000"
    TextPlace place;                    // where it was written
};

struct RuleSet {
    std::vector<Rule> rules;
};

// A mistake fails with its line and column: "--expect:1:12: unknown fact "rat" …".
Result<RuleSet> parseRules(std::string_view text, std::string_view sourceName);

} // namespace tambrel::report
