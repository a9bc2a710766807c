#include "common/csv_field.h"

namespace tambrel {

void appendCsvField(std::string& line, std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        line.append(text);
        return;
    }
    line.push_back('"');
    for (char c : text) {
        if (c == '"')
            line.push_back('"');
        line.push_back(c);
    }
    line.push_back('"');
}

std::string csvField(std::string_view text) {
    std::string field;
    field.reserve(text.size() + 2);
    appendCsvField(field, text);
    return field;
}

} // namespace tambrel
