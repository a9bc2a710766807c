// A strict RFC 4180 reader for the tests: records end in CR LF, a quoted field may hold commas,
// doubled quotes, CR and LF. Anything else malformed makes it fail, so a bad export shows.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tambrel::testing {

using CsvRecord = std::vector<std::string>;

inline std::optional<std::vector<CsvRecord>> readCsv(std::string_view text) {
    std::vector<CsvRecord> records;
    std::size_t at = 0;
    while (at < text.size()) {
        CsvRecord record;
        for (;;) {
            std::string field;
            if (at < text.size() && text[at] == '"') {
                ++at;
                for (;;) {
                    if (at >= text.size())
                        return std::nullopt; // unterminated quote
                    if (text[at] == '"') {
                        if (at + 1 < text.size() && text[at + 1] == '"') {
                            field.push_back('"');
                            at += 2;
                            continue;
                        }
                        ++at;
                        break;
                    }
                    field.push_back(text[at++]);
                }
            } else {
                while (at < text.size() && text[at] != ',' && text[at] != '\r' &&
                       text[at] != '\n') {
                    if (text[at] == '"')
                        return std::nullopt; // a quote inside an unquoted field
                    field.push_back(text[at++]);
                }
            }
            record.push_back(std::move(field));
            if (at < text.size() && text[at] == ',') {
                ++at;
                continue;
            }
            if (text.substr(at, 2) != "\r\n")
                return std::nullopt; // a bare CR or LF, or no line end at all
            at += 2;
            break;
        }
        records.push_back(std::move(record));
    }
    return records;
}

} // namespace tambrel::testing
