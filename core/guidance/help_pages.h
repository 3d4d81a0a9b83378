#pragma once
// The help pages installed beside the program, and the check whether one of them is there.
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "services/file_system.h"

namespace velmaro {

// The folder of the pages below the program's folder, and the pages in the order in which they are
// tried. The Windows version is not asked: whichever page the installer left is the right one.
inline constexpr std::string_view kHelpFolder = "Hilfe";
inline constexpr std::array<std::string_view, 5> kHelpPageNames = {
    "Siemens_DCA-140-540_USB_Hinweise_Win98.htm",    "Siemens_DCA-140-540_USB_Hinweise_WinME.htm",
    "Siemens_DCA-140-540_USB_Hinweise_Win2000.htm",  "Siemens_DCA-140-540_USB_Hinweise_WinXP.htm",
    "Siemens_DCA-140-540_USB_Hinweise_WinVista.htm",
};

inline constexpr const char* kMsgHelpFileNotFound = "Hilfedatei nicht gefunden";

// True when path names a normal file: not a directory, not hidden, not a system file. "", "."
// and ".." are never looked up; a failing lookup counts as "no file".
bool FileExists(const IFileSystem& files, const std::string& path);

// The full path of the first page that exists below programFolder (given without a trailing
// separator), written with the file system's separator; or nothing.
std::optional<std::string> FindHelpPage(const IFileSystem& files, const std::string& programFolder);

}  // namespace velmaro
