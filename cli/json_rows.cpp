#include "cli/json_rows.h"

#include "cli/fact_columns.h"
#include "inventory/describe_file.h"
#include "platform/text/local_time.h"

#include <array>
#include <charconv>
#include <cstdint>

namespace tambrel::cli {
namespace {

void appendNumber(std::string& out, std::int64_t value) {
    char digits[24];
    const auto [end, error] = std::to_chars(digits, std::end(digits), value);
    (void)error; // 24 characters hold every 64-bit value
    out.append(digits, end);
}

constexpr std::size_t kFormatTag = 0;
constexpr std::size_t kFormatName = 1;

} // namespace

namespace {

void appendFact(std::string& out, std::string_view name, const FactValue& value) {
    out.append(",\"").append(name).append("\":");
    if (value.kind == FactValue::Kind::Unknown)
        out.append("null");
    else if (value.kind == FactValue::Kind::Number)
        out.append(value.text);
    else
        appendJsonString(out, value.text);
}

} // namespace

void appendJsonRow(std::string& out, const FileFacts& facts) {
    const bool unreadable = !facts.readFailures.empty();
    out.append("{\"codec\":");
    if (unreadable)
        out.append("null");
    else
        appendJsonString(out, codecText(facts));
    // The codec above is the window's text in the chosen language; scripts compare these.
    const std::array<FactValue, kFactColumns> values = factValues(facts);
    appendFact(out, kFactColumnNames[kFormatName], values[kFormatName]);
    appendFact(out, kFactColumnNames[kFormatTag], values[kFormatTag]);
    out.append(",\"file\":");
    appendJsonString(out, facts.path);
    out.append(",\"sample_rate\":");
    appendNumber(out, facts.header.sampleRate);
    out.append(",\"modified\":");
    const std::string modified =
        facts.hasStatus
            ? platform::isoLocalTime(static_cast<std::int64_t>(facts.lastModified.tv_sec))
            : "";
    if (modified.empty())
        out.append("null");
    else
        appendJsonString(out, modified);
    out.append(",\"size\":");
    if (facts.hasStatus)
        appendNumber(out, facts.size);
    else
        out.append("null");
    for (std::size_t i = kFormatName + 1; i < kFactColumns; ++i)
        appendFact(out, kFactColumnNames[i], values[i]);
    if (unreadable) {
        std::string error;
        for (const Failure& failure : facts.readFailures) {
            if (!error.empty())
                error.append("; ");
            error.append(failure.description);
        }
        out.append(",\"error\":");
        appendJsonString(out, error);
    }
    out.push_back('}');
}

} // namespace tambrel::cli
