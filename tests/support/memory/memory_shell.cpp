#include "memory/memory_shell.h"

#include <algorithm>
#include <cstring>

#include "common/text.h"
#include "memory/memory_machine.h"

namespace velmaro::memory {
namespace {

constexpr std::int32_t kEFail = static_cast<std::int32_t>(0x80004005u);
constexpr std::int32_t kEInvalidArg = static_cast<std::int32_t>(0x80070057u);
constexpr std::int32_t kCsidlFolderMask = 0x00FF;

// Writes the path with its NUL and fills the rest of the buffer with junk, as a real buffer may
// hold, so that a caller who reads past the NUL is caught.
void FillPathBuffer(char* buffer, const std::string& ansiPath) {
    std::memset(buffer, 'X', kMaxPath);
    std::size_t length = std::min(ansiPath.size(), kMaxPath - 1);
    std::memcpy(buffer, ansiPath.data(), length);
    buffer[length] = '\0';
}

}  // namespace

void MemoryShell::SetFolder(std::int32_t folder, const std::string& path) {
    SetShellFolder(folder, path);
    SetShfolderFolder(folder, path);
}

void MemoryShell::SetShellFolder(std::int32_t folder, const std::string& path) {
    shellFolders_[folder] = path;
}

void MemoryShell::SetShfolderFolder(std::int32_t folder, const std::string& path) {
    shfolderFolders_[folder] = path;
}

std::int32_t MemoryShell::GetSpecialFolderLocation(WindowHandle, std::int32_t folder, ItemIdList& list) {
    locationRequests_.push_back(folder);
    list = 0;
    if (failLocation_) {
        return kEFail;
    }
    std::int32_t plain = folder & kCsidlFolderMask;
    if (shellFolders_.find(plain) == shellFolders_.end()) {
        return kEInvalidArg;
    }
    list = nextHandle_++;
    openIdLists_[list] = plain;
    return kSOk;
}

std::int32_t MemoryShell::GetPathFromIdList(ItemIdList list, char* path) {
    ++pathFromIdListCalls_;
    auto it = openIdLists_.find(list);
    if (failPathFromIdList_ || it == openIdLists_.end()) {
        return 0;
    }
    FillPathBuffer(path, Utf8ToAnsi(shellFolders_.at(it->second)));
    return 1;
}

void MemoryShell::FreeIdList(ItemIdList list) {
    if (openIdLists_.erase(list) == 0) {
        ++badReleases_;
    }
}

LibraryHandle MemoryShell::LoadLibraryNamed(const std::string& name) {
    loadedLibraryNames_.push_back(name);
    if (!shfolderLoadable_ || !EqualsNoCase(name, "shfolder")) {
        return 0;
    }
    LibraryHandle handle = nextHandle_++;
    loadedLibraries_.insert(handle);
    return handle;
}

std::int32_t MemoryShell::GetFolderPathFromLibrary(LibraryHandle library,
                                                   WindowHandle,
                                                   std::int32_t folder,
                                                   std::uintptr_t token,
                                                   std::uint32_t flags,
                                                   char* path) {
    shfolderRequests_.push_back(folder);
    if (loadedLibraries_.count(library) == 0 || token != 0 || flags != kShgfpTypeCurrent) {
        return kEInvalidArg;
    }
    auto it = shfolderFolders_.find(folder & kCsidlFolderMask);
    if (failShfolderPath_ || it == shfolderFolders_.end()) {
        return kEFail;
    }
    FillPathBuffer(path, Utf8ToAnsi(it->second));
    return kSOk;
}

std::int32_t MemoryShell::FreeLoadedLibrary(LibraryHandle library) {
    if (loadedLibraries_.erase(library) == 0) {
        ++badReleases_;
        return 0;
    }
    return 1;
}

std::intptr_t MemoryShell::Execute(WindowHandle parent,
                                   const std::string& verb,
                                   const std::string& file,
                                   const std::string& parameters,
                                   const std::string& directory,
                                   std::int32_t showCommand) {
    executeCalls_.push_back(
        {parent, AnsiToUtf8(verb), AnsiToUtf8(file), AnsiToUtf8(parameters), AnsiToUtf8(directory), showCommand});
    return executeResult_;
}

std::string MemoryShell::AnsiToUtf8(std::string_view ansi) const {
    return Cp1252ToUtf8(ansi);
}

std::string MemoryShell::Utf8ToAnsi(std::string_view utf8) const {
    return Utf8ToCp1252(utf8);
}

}  // namespace velmaro::memory
