#include "guidance/help_pages.h"

namespace velmaro {

bool FileExists(const IFileSystem& files, const std::string& path) {
    if (path.empty() || path == "." || path == "..") {
        return false;
    }
    try {
        auto entry = files.Lookup(path);
        return entry && !entry->directory && !entry->hidden && !entry->system && !entry->name.empty();
    } catch (...) {
        return false;
    }
}

std::optional<std::string> FindHelpPage(const IFileSystem& files, const std::string& programFolder) {
    const std::string folder = programFolder + files.Separator() + std::string(kHelpFolder) + files.Separator();
    for (const std::string_view name : kHelpPageNames) {
        std::string path = folder + std::string(name);
        if (FileExists(files, path)) {
            return path;
        }
    }
    return std::nullopt;
}

}  // namespace velmaro
