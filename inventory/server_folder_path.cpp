#include "inventory/server_folder_path.h"

namespace tambrel {

std::string serverFolderPath(std::string_view root, std::string_view belowRoot) {
    std::string path(root);
    if (!root.starts_with('/')) {
        path.append(belowRoot);
        return path;
    }
    // A root given with a trailing slash would otherwise show it doubled before each place.
    while (!path.empty() && path.back() == '/')
        path.pop_back();
    for (char c : belowRoot)
        path.push_back(c == '\\' ? '/' : c);
    return path;
}

} // namespace tambrel
