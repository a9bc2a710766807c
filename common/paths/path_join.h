// A name put inside a folder's path: one separator between them, and none added where the
// folder already ends in one. Which characters separate is the path's own matter: "/" alone on
// POSIX, "\" and "/" alike on Windows.
#pragma once

#include <string>
#include <string_view>

namespace tambrel {

struct PathSeparators {
    char joining;            // what goes between a folder and a name
    std::string_view ending; // a folder that ends in one of these needs none
};

inline constexpr PathSeparators kPosixSeparators{'/', "/"};
inline constexpr PathSeparators kWindowsSeparators{'\\', "\\/"};

namespace path_join_detail {

template <typename Char>
std::basic_string<Char> joined(std::basic_string_view<Char> folder,
                               std::basic_string_view<Char> name, PathSeparators separators) {
    std::basic_string<Char> path;
    path.reserve(folder.size() + 1 + name.size());
    path.append(folder);
    // Only an ASCII unit can be a separator: a wide letter must not pass for one once narrowed.
    const bool endsInSeparator =
        !path.empty() && path.back() >= 0 && path.back() < 0x80 &&
        separators.ending.find(static_cast<char>(path.back())) != std::string_view::npos;
    if (!endsInSeparator)
        path.push_back(static_cast<Char>(separators.joining));
    path.append(name);
    return path;
}

} // namespace path_join_detail

inline std::string joinedPath(std::string_view folder, std::string_view name,
                              PathSeparators separators) {
    return path_join_detail::joined(folder, name, separators);
}

inline std::wstring joinedPath(std::wstring_view folder, std::wstring_view name,
                               PathSeparators separators) {
    return path_join_detail::joined(folder, name, separators);
}

} // namespace tambrel
