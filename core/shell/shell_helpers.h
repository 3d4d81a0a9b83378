#pragma once
// Locating the shell's special folders and opening documents, web and mail addresses.
#include <cstdint>
#include <string>

#include "services/user_services.h"
#include "shell/shell_service.h"

namespace velmaro {

inline constexpr const char* kOpenVerb = "Open";
inline constexpr const char* kMailtoPrefix = "mailto:";

// The folder's path, or "" when neither the shell nor shfolder can name it. With create set the
// shell is asked to create a missing folder.
std::string GetSpecialFolderPath(IShellService& shell, std::int32_t folder, bool create);

// What the shell is asked to open for a target: "mailto:" and the target when it contains "@"
// anywhere (a web address with a user name too), else the target itself.
std::string ShellTarget(const std::string& target);

// Opens a file, a web address or - when the target contains "@" - a new mail to it. The shell's
// answer is not looked at: a target nothing can open just does nothing.
void ShellOpen(IShellService& shell, WindowHandle parentWindow, const std::string& target);

}  // namespace velmaro
