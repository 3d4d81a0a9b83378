#pragma once
// The help pages installed beside the program, and the check whether one of them is there.
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "services/file_system.h"

namespace velmaro {

// Below the program's folder, in the order in which they are tried. The Windows version is not
// asked: whichever page the installer left is the right one.
inline constexpr std::array<std::string_view, 5> kHelpPageCandidates = {
    "\\Hilfe\\Siemens_DCA-140-540_USB_Hinweise_Win98.htm",    "\\Hilfe\\Siemens_DCA-140-540_USB_Hinweise_WinME.htm",
    "\\Hilfe\\Siemens_DCA-140-540_USB_Hinweise_Win2000.htm",  "\\Hilfe\\Siemens_DCA-140-540_USB_Hinweise_WinXP.htm",
    "\\Hilfe\\Siemens_DCA-140-540_USB_Hinweise_WinVista.htm",
};

inline constexpr const char* kMsgHelpFileNotFound = "Hilfedatei nicht gefunden";

// True when path names a normal file: not a directory, not hidden, not a system file. "", "."
// and ".." are never looked up; a failing lookup counts as "no file".
bool FileExists(const IFileSystem& files, const std::string& path);

// The full path of the first candidate page that exists below programFolder (given without a
// trailing separator), or nothing.
std::optional<std::string> FindHelpPage(const IFileSystem& files, const std::string& programFolder);

}  // namespace velmaro
