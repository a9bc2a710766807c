// Writes the seed corpus of fuzz_path_resolution: the paths a scan and an export build.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    const char* seeds[] = {
        "C:\\Corvel\\Stream Files\\",
        "C:\\Corvel\\\\Stream Files\\greet.wav",
        "c:\\corvel\\LOCALIZE\\DefaultConfiguration\\",
        "C:\\Corvel\\Localize\\Prompts\\L1\\L2\\L3\\",
        "C:\\Corvel\\support\\RecordBeep.wav",
        "\\Stream Files\\",
        "\\localize\\defaultconfiguration\\",
        "",
        "D:\\Corvel\\",
        "C:/Corvel/ärger/übung.wav",
        "C:\\Corvel\\..\\..\\..\\Corvel\\loop\\x",
        "C:\\Corvel\\Stream Files\\up\\up\\up\\Stream Files\\pipe.wav",
        "c:\\GreetingsCodecData.csv",
        "C:\\Corvel\\dangling\\x.wav",
    };
    int count = 0;
    for (const char* seed : seeds)
        std::ofstream(folder / ("seed" + std::to_string(count++)), std::ios::binary) << seed;
    std::printf("%d seeds in %s\n", count, folder.c_str());
    return 0;
}
