#pragma once
// The folder that holds the help pages' folder "Hilfe" for the Qt window: beside the program in a
// build tree (as on Windows), in the data folder when installed (bin/ and share/velmaro/ apart).
#include <string>

namespace velmaro::qt {

// The data folder relative to the installed program's folder, from the install layout.
extern const char* const kInstalledDataFolder;

// programFolder when "Hilfe" lies beside the program, else programFolder/installedDataFolder when
// "Hilfe" lies there, else programFolder (the guidance dialog then reports the missing page).
std::string HelpRootFolder(const std::string& programFolder,
                           const std::string& installedDataFolder = kInstalledDataFolder);

}  // namespace velmaro::qt
