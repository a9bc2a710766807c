#include "cli/summary_table.h"

#include "localize/language_state.h"
#include "localize/own_texts.h"
#include "platform/text/display_width.h"

#include <algorithm>
#include <array>
#include <vector>

namespace tambrel::cli {
namespace {

constexpr std::int32_t kGreetingsTitle = 19;
constexpr std::int32_t kPromptsTitle = 25;
constexpr std::int32_t kSampleRateHeading = 37;
constexpr std::int32_t kFileSizeHeading = 39;
constexpr std::int32_t kCodecHeading = 40;

using Line = std::array<std::string, 4>;

void appendAligned(std::string& out, const std::vector<Line>& lines) {
    std::array<std::size_t, 4> widths{};
    for (const Line& line : lines)
        for (std::size_t i = 0; i < line.size(); ++i)
            widths[i] = std::max(widths[i], platform::displayWidth(line[i]));
    for (const Line& line : lines) {
        std::string text = "  ";
        for (std::size_t i = 0; i < line.size(); ++i) {
            const std::string padding(widths[i] - platform::displayWidth(line[i]), ' ');
            if (i > 0)
                text.append("  ");
            // The codec name reads from the left, the numbers line up on the right.
            text.append(i == 0 ? line[i] + padding : padding + line[i]);
        }
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
        out.append(text).push_back('\n');
    }
}

void appendList(std::string& out, std::int32_t titleId, const ListSummary& summary) {
    out.append(mymyLoadString(titleId))
        .append(": ")
        .append(texts::text(summary.files == 1 ? texts::kOneFileSummary : texts::kFilesSummary,
                            {std::to_string(summary.files), std::to_string(summary.bytes)}))
        .push_back('\n');
    std::vector<Line> lines;
    if (!summary.byCodecAndRate.empty())
        lines.push_back({mymyLoadString(kCodecHeading), mymyLoadString(kSampleRateHeading),
                         texts::text(texts::kFilesHeading), mymyLoadString(kFileSizeHeading)});
    for (const auto& [key, count] : summary.byCodecAndRate)
        lines.push_back({key.first, std::to_string(key.second), std::to_string(count.files),
                         std::to_string(count.bytes)});
    // The problems apart from the codecs, each by its code, which scripts and the manual share;
    // in the same columns, so that the list's numbers still end in one screen column.
    if (!summary.byProblem.empty())
        lines.push_back({texts::text(texts::kProblemHeading), "", texts::text(texts::kFilesHeading),
                         mymyLoadString(kFileSizeHeading)});
    for (const auto& [problem, count] : summary.byProblem)
        lines.push_back({std::string(wavProblemCode(problem)), "", std::to_string(count.files),
                         std::to_string(count.bytes)});
    if (!lines.empty())
        appendAligned(out, lines);
}

} // namespace

std::string summaryTable(const ListSummary& greetings, const ListSummary& prompts) {
    std::string out;
    appendList(out, kGreetingsTitle, greetings);
    out.push_back('\n');
    appendList(out, kPromptsTitle, prompts);
    return out;
}

} // namespace tambrel::cli
