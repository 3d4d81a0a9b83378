#include "help_folder.h"

#include <filesystem>
#include <system_error>

namespace velmaro::qt {

const char* const kInstalledDataFolder = VELMARO_INSTALLED_DATA_FOLDER;

namespace {

bool HoldsHelp(const std::filesystem::path& folder) {
    std::error_code error;
    return std::filesystem::is_directory(folder / "Hilfe", error);
}

}  // namespace

std::string HelpRootFolder(const std::string& programFolder, const std::string& installedDataFolder) {
    const std::filesystem::path program(programFolder);
    if (HoldsHelp(program)) {
        return programFolder;
    }
    // Relative, so that a tree installed under another prefix or root still finds its pages.
    const std::filesystem::path installed = (program / installedDataFolder).lexically_normal();
    if (!installedDataFolder.empty() && HoldsHelp(installed)) {
        return installed.string();
    }
    return programFolder;
}

}  // namespace velmaro::qt
