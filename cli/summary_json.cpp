#include "cli/summary_json.h"

#include "cli/json_rows.h"

namespace tambrel::cli {
namespace {

void appendList(std::string& out, const ListSummary& summary) {
    out.append("{\"files\":")
        .append(std::to_string(summary.files))
        .append(",\"bytes\":")
        .append(std::to_string(summary.bytes))
        .append(",\"by_codec\":[");
    bool first = true;
    for (const auto& [key, count] : summary.byCodecAndRate) {
        out.append(first ? "\n    {\"codec\":" : ",\n    {\"codec\":");
        first = false;
        appendJsonString(out, key.first);
        out.append(",\"sample_rate\":")
            .append(std::to_string(key.second))
            .append(",\"files\":")
            .append(std::to_string(count.files))
            .append(",\"bytes\":")
            .append(std::to_string(count.bytes))
            .push_back('}');
    }
    out.append(first ? "]" : "\n  ]");
    out.append(",\"by_problem\":[");
    first = true;
    for (const auto& [problem, count] : summary.byProblem) {
        out.append(first ? "\n    {\"problem\":" : ",\n    {\"problem\":");
        first = false;
        appendJsonString(out, wavProblemCode(problem));
        out.append(",\"files\":")
            .append(std::to_string(count.files))
            .append(",\"bytes\":")
            .append(std::to_string(count.bytes))
            .push_back('}');
    }
    out.append(first ? "]}" : "\n  ]}");
}

} // namespace

std::string summaryJson(const ListSummary& greetings, const ListSummary& prompts) {
    std::string out = "{\n  \"greetings\":";
    appendList(out, greetings);
    out.append(",\n  \"prompts\":");
    appendList(out, prompts);
    out.append("\n}\n");
    return out;
}

} // namespace tambrel::cli
