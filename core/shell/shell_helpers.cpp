#include "shell/shell_helpers.h"

#include <array>

namespace velmaro {
namespace {

// One owner for an item-id list: freed however the lookup ends.
class ScopedIdList {
  public:
    explicit ScopedIdList(IShellService& shell) : shell_(shell) {}
    ~ScopedIdList() {
        if (list_ != 0) {
            shell_.FreeIdList(list_);
        }
    }
    ScopedIdList(const ScopedIdList&) = delete;
    ScopedIdList& operator=(const ScopedIdList&) = delete;
    ItemIdList& Receive() { return list_; }
    ItemIdList Get() const { return list_; }

  private:
    IShellService& shell_;
    ItemIdList list_ = 0;
};

// One owner for a loaded library.
class ScopedLibrary {
  public:
    ScopedLibrary(IShellService& shell, const std::string& name)
        : shell_(shell), library_(shell.LoadLibraryNamed(name)) {}
    ~ScopedLibrary() {
        if (library_ != 0) {
            shell_.FreeLoadedLibrary(library_);
        }
    }
    ScopedLibrary(const ScopedLibrary&) = delete;
    ScopedLibrary& operator=(const ScopedLibrary&) = delete;
    LibraryHandle Get() const { return library_; }

  private:
    IShellService& shell_;
    LibraryHandle library_;
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
        ScopedIdList list(shell);
        if (shell.GetSpecialFolderLocation(0, folder, list.Receive()) == kSOk) {
            PathBuffer buffer{};
            if (shell.GetPathFromIdList(list.Get(), buffer.data()) != 0) {
                return shell.AnsiToUtf8(TextBeforeNul(buffer));
            }
            return {};
        }
    }
    // Older systems without the item-id list lookup ship the same service in shfolder.
    ScopedLibrary shfolder(shell, "shfolder");
    if (shfolder.Get() == 0) {
        return {};
    }
    PathBuffer buffer{};
    if (shell.GetFolderPathFromLibrary(shfolder.Get(), 0, folder, 0, kShgfpTypeCurrent, buffer.data()) != kSOk) {
        return {};
    }
    return shell.AnsiToUtf8(TextBeforeNul(buffer));
}

void ShellOpen(IShellService& shell, WindowHandle parentWindow, const std::string& target) {
    std::string file = target.find('@') != std::string::npos ? kMailtoPrefix + target : target;
    shell.Execute(parentWindow, kOpenVerb, shell.Utf8ToAnsi(file), "", "", kSwShowNormal);
}

}  // namespace velmaro
