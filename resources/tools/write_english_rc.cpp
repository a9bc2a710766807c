// Writes the English language library's resource script from the program's own string table, so
// that the shipped English library and the built-in texts are one table and cannot drift apart.
#include "localize/own_texts.h"
#include "localize/string_table.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {

// A resource script string: quotes doubled, backslashes escaped, the UTF-8 bytes as they are.
std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"')
            out += "\"\"";
        else if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out + "\"";
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.rc\n", argv[0]);
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << "// English (United States) texts of Tambrel, written at build time from the built-in "
           "table.\n"
           "#pragma code_page(65001)\n"
           "LANGUAGE 0x09, 0x01\n"
           "STRINGTABLE\n"
           "BEGIN\n";
    const auto write = [&out](std::int32_t id) {
        if (std::optional<std::string_view> text = tambrel::builtInString(id);
            text && !text->empty())
            out << "    " << id << ' ' << quoted(*text) << '\n';
    };
    for (std::int32_t id = 0; id < tambrel::kStringTableSize; ++id)
        write(id);
    for (std::int32_t id = tambrel::texts::kFirst; id < tambrel::texts::kEnd; ++id)
        write(id);
    for (std::int32_t id = tambrel::texts::kTotalsFirst; id < tambrel::texts::kTotalsEnd; ++id)
        write(id);
    out << "END\n";
    out.close();
    if (!out) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
