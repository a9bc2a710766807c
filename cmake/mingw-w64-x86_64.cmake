# Cross-compiling for 64-bit Windows with mingw-w64 (posix threads, for std::thread), from
# Linux. libgcc and libstdc++ are linked statically, so that each .exe runs with nothing beside
# it but the program's own libraries. Tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Windows 7 and later: the wide API of the platform layer (GetDateFormatEx, CompareStringOrdinal,
# FindExInfoBasic, SetFileInformationByHandle) is there.
add_compile_definitions(_WIN32_WINNT=0x0601 WINVER=0x0601 UNICODE _UNICODE)
# winpthreads linked statically as well: nothing but system DLLs beside our own.
add_link_options(-static-libgcc -static-libstdc++ -static)

set(CMAKE_CROSSCOMPILING_EMULATOR wine CACHE FILEPATH "Runs the Windows test programs")
