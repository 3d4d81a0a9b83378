#include "shell/shell_helpers.h"

#include <array>

#include "common/handle_owner.h"

namespace velmaro {
namespace {

// Gives an item-id list or a library back to the shell however the lookup ends; 0 is "none".
template <auto Free>
struct ShellReleaser {
    IShellService* shell;
    void operator()(std::uintptr_t handle) const {
        if (handle != 0) {
            (shell->*Free)(handle);
        }
    }
};

using PathBuffer = std::array<char, kMaxPath>;

// The text before the first NUL; a buffer without one is taken whole.
std::string TextBeforeNul(const PathBuffer& buffer) {
    std::size_t length = 0;
    while (length < buffer.size() && buffer[length] != '\0') {
        ++length;
    }
    return std::string(buffer.data(), length);
}

}  // namespace

std::string GetSpecialFolderPath(IShellService& shell, std::int32_t folder, bool create) {
    if (create) {
        folder |= kCsidlFlagCreate;
    }
    {
        HandleOwner list(ItemIdList{0}, ShellReleaser<&IShellService::FreeIdList>{&shell});
        if (shell.GetSpecialFolderLocation(0, folder, list.Receive()) == kSOk) {
            PathBuffer buffer{};
            if (shell.GetPathFromIdList(list.Get(), buffer.data()) != 0) {
                return shell.AnsiToUtf8(TextBeforeNul(buffer));
            }
            return {};
        }
    }
    // Older systems without the item-id list lookup ship the same service in shfolder.
    const HandleOwner shfolder(shell.LoadLibraryNamed("shfolder"),
                               ShellReleaser<&IShellService::FreeLoadedLibrary>{&shell});
    if (shfolder.Get() == 0) {
        return {};
    }
    PathBuffer buffer{};
    if (shell.GetFolderPathFromLibrary(shfolder.Get(), 0, folder, 0, kShgfpTypeCurrent, buffer.data()) != kSOk) {
        return {};
    }
    return shell.AnsiToUtf8(TextBeforeNul(buffer));
}

std::string ShellTarget(const std::string& target) {
    return target.find('@') != std::string::npos ? kMailtoPrefix + target : target;
}

void ShellOpen(IShellService& shell, WindowHandle parentWindow, const std::string& target) {
    shell.Execute(parentWindow, kOpenVerb, shell.Utf8ToAnsi(ShellTarget(target)), "", "", kSwShowNormal);
}

}  // namespace velmaro
