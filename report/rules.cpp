#include "report/rules.h"

#include "report/format_words.h"

#include <charconv>

namespace tambrel::report {
namespace {

constexpr std::size_t kLongestRules = 1 << 20;

bool isWordCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.';
}

std::string lowered(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return out;
}

class RuleParser {
public:
    RuleParser(std::string_view text, std::string_view name) : text_(text), name_(name) {}

    Result<RuleSet> parse() {
        if (text_.size() > kLongestRules)
            return failAt(0,
                          "the rules are longer than " + std::to_string(kLongestRules) + " bytes");
        RuleSet set;
        for (;;) {
            skipBlanks();
            if (at_ >= text_.size()) {
                if (set.rules.empty())
                    return failAt(at_, "no rules: expected a list, \":\" and conditions");
                return set;
            }
            if (text_[at_] == ';' || text_[at_] == '\n') {
                ++at_;
                continue;
            }
            if (!group(set))
                return failure_;
        }
    }

private:
    bool group(RuleSet& set) {
        std::vector<ListKind> lists;
        std::string listText;
        for (;;) {
            skipBlanks();
            const std::size_t start = at_;
            const std::string word = lowered(takeWord());
            if (word.empty())
                return fail(start, "expected a list: greetings, prompts or all");
            if (word == "all") {
                lists = {ListKind::Greetings, ListKind::Prompts};
            } else if (const std::optional<ListKind> list = listFromName(word)) {
                lists.push_back(*list);
            } else {
                return fail(start,
                            "unknown list \"" + word + "\": expected greetings, prompts or all");
            }
            listText.append(listText.empty() ? "" : ",").append(word);
            skipBlanks();
            if (peek() == ',') {
                ++at_;
                continue;
            }
            if (peek() != ':')
                return fail(at_, "expected \":\" after the list");
            ++at_;
            break;
        }
        bool any = false;
        for (;;) {
            skipBlanks();
            if (at_ >= text_.size() || peek() == ';' || peek() == '\n') {
                if (!any)
                    return fail(at_, "expected a condition: format=, rate=, channels=, bits= or "
                                     "no-problems");
                return true;
            }
            Rule rule;
            rule.lists = lists;
            if (!condition(rule, listText))
                return false;
            set.rules.push_back(std::move(rule));
            any = true;
        }
    }

    bool condition(Rule& rule, const std::string& listText) {
        const std::size_t start = at_;
        rule.place = placeIn(text_, start);
        const std::string fact = lowered(takeWord());
        if (fact == "no-problems") {
            rule.fact = RuleFact::NoProblems;
            rule.text = listText + ": no-problems";
            return true;
        }
        if (fact == "format")
            rule.fact = RuleFact::Format;
        else if (fact == "rate")
            rule.fact = RuleFact::SampleRate;
        else if (fact == "channels")
            rule.fact = RuleFact::Channels;
        else if (fact == "bits")
            rule.fact = RuleFact::BitsPerSample;
        else if (fact.empty())
            return fail(start, "expected a condition, not \"" + std::string(1, peek()) + "\"");
        else
            return fail(start, "unknown fact \"" + fact +
                                   "\": expected format, rate, channels, bits or no-problems");
        skipBlanks();
        if (peek() != '=')
            return fail(at_, "expected \"=\" after \"" + fact + "\"");
        ++at_;
        rule.text = listText + ": " + fact + "=";
        for (;;) {
            skipBlanks();
            const std::size_t valueStart = at_;
            const std::string value = takeWord();
            if (value.empty())
                return fail(valueStart, "expected a value after \"" + fact + "=\"");
            const std::optional<std::uint32_t> number = valueOf(rule.fact, value);
            if (!number)
                return fail(valueStart, rule.fact == RuleFact::Format
                                            ? "unknown format \"" + value +
                                                  "\": expected a tag "
                                                  "number or one of " +
                                                  formatWordList()
                                            : "\"" + value + "\" is not a number");
            rule.allowed.push_back(*number);
            rule.text.append(rule.allowed.size() > 1 ? "," : "").append(lowered(value));
            skipBlanks();
            if (peek() != ',')
                return true;
            ++at_;
        }
    }

    static std::optional<std::uint32_t> valueOf(RuleFact fact, std::string_view value) {
        std::uint32_t number = 0;
        const bool hex =
            value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X');
        const std::string_view digits = hex ? value.substr(2) : value;
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), number, hex ? 16 : 10);
        if (error == std::errc() && end == digits.data() + digits.size())
            return number;
        if (fact == RuleFact::Format)
            return formatTagOfWord(value);
        return std::nullopt;
    }

    char peek() const { return at_ < text_.size() ? text_[at_] : '\0'; }

    void skipBlanks() {
        while (at_ < text_.size()) {
            const char c = text_[at_];
            if (c == ' ' || c == '\t' || c == '\r') {
                ++at_;
            } else if (c == '#') {
                while (at_ < text_.size() && text_[at_] != '\n')
                    ++at_;
            } else {
                return;
            }
        }
    }

    std::string takeWord() {
        const std::size_t start = at_;
        while (at_ < text_.size() && isWordCharacter(text_[at_]))
            ++at_;
        return std::string(text_.substr(start, at_ - start));
    }

    bool fail(std::size_t offset, std::string message) {
        failure_ = inputFailure(kMalformedRules, name_, placeIn(text_, offset), message);
        return false;
    }
    Failure failAt(std::size_t offset, std::string message) {
        fail(offset, std::move(message));
        return failure_;
    }

    std::string_view text_;
    std::string_view name_;
    std::size_t at_ = 0;
    Failure failure_;
};

} // namespace

Result<RuleSet> parseRules(std::string_view text, std::string_view sourceName) {
    return RuleParser(text, sourceName).parse();
}

} // namespace tambrel::report
