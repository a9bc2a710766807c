// Writes the seed corpus of the registry fuzzer: small system.reg files in every form Wine
// writes and a few it should survive, plus a libFuzzer dictionary of the format's tokens.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

namespace {

const std::string kPreamble = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n"
                              "#arch=win64\n\n";

std::vector<std::pair<std::string, std::string>> seeds() {
    const std::string properties =
        "[Software\\\\Quillan\\\\Brannock Setup\\\\1.0\\\\Properties] 1700000000\n"
        "#time=1da2b3c4d5e6f70\n";
    return {
        {"server", kPreamble + properties + "\"BrannockRootPath\"=\"C:\\\\Corvel\\\\\"\n\n" +
                       "[Software\\\\Quillan] 1700000000\n\"Build Number\"=dword:00010012\n"
                       "\"Version Number\"=dword:00030000\n"},
        {"wow64", kPreamble + "[Software\\\\Wow6432Node\\\\Quillan] 1700000000\n"
                              "\"Version Number\"=dword:00040010\n"},
        {"escapes", kPreamble + "[K] 1\n\"v\"=\"q\\\"a\\nb\\r\\t\\a\\b\\v\\f\\e\\101\\0\\7"
                                "\\x20ac\\x00e9z\\xd83d\\xde00\\q\"\n"},
        {"typed", kPreamble + "[K] 1\n@=\"default\"\n\"v\"=str(2):\"%SystemRoot%\"\n"
                              "\"w\"=str(7):\"a\\0b\\0\"\n\"x\"=str:\"x\"\n"
                              "\"y\"=hex(b):01,00,00,00,00,00,00,00\n\"z\"=hex(1):41,00\n"},
        {"continuation", kPreamble + properties +
                             "\"BrannockRootPath\"=hex:01,02,\\\n  03,04,\\\n"
                             "  05\n"},
        {"crlf", "WINE REGISTRY Version 2\r\n[K] 1\r\n\"v\"=hex:01,\\\r\n  02\r\n"},
        {"options", kPreamble + "[K] 1\n#class=\"c\"\n#link\n\"SymbolicLinkValue\"=hex(6):5c,00\n"
                                ";; comment\n  [Software\\\\Quillan\\\\] 2\n\"v\"=\"[L]\"\n"},
        {"unicode", kPreamble + "[Software\\\\\\xc4rger] 1\n\"\\xc9t\\xe9\"=\"Gr\xc3\xbc\xc3\x9f"
                                "e\"\n\"v\"=\"a\xff"
                                "b\"\n"},
        {"damaged", kPreamble +
                        "[K] 1\n\"v\"=\"unterminated\n\"v\"=dword:123456789\n\"v\"=hex:1,2x\n"
                        "\"v\"=hex(zz):00\n\"v\"=\"trailing\\\n[K\n\"v\"=hex:01,\\"},
    };
}

const char* const kDictionary[] = {
    "WINE REGISTRY Version 2",
    "#arch=win64",
    "#time=",
    "#class=",
    "#link",
    "[",
    "]",
    "\\\\",
    "\\\"",
    "\\x",
    "\\0",
    "@=",
    "\"=",
    "=\"",
    "dword:",
    "hex:",
    "hex(",
    "):",
    "str(",
    "str:\"",
    ",\\\n  ",
    "Software",
    "Wow6432Node",
    "Quillan",
    "Version Number",
    "BrannockRootPath",
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: make_registry_corpus <corpus folder> <dictionary file>\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    for (const auto& [name, text] : seeds()) {
        std::ofstream out(folder / (name + ".reg"), std::ios::binary | std::ios::trunc);
        out << text;
    }
    std::ofstream dictionary(argv[2], std::ios::trunc);
    for (const char* token : kDictionary) {
        dictionary << '"';
        for (const char* character = token; *character; ++character) {
            if (*character == '"' || *character == '\\')
                dictionary << '\\' << *character;
            else if (*character == '\n')
                dictionary << "\\x0A";
            else
                dictionary << *character;
        }
        dictionary << "\"\n";
    }
    return 0;
}
