#pragma once
// The Windows shell for the core's folder lookup and shell open: shell32's item-id lists, the
// shfolder library as the older route to the same folders, and ShellExecuteA.
#include "shell/shell_service.h"

namespace velmaro::win32 {

class Win32ShellService : public IShellService {
  public:
    std::int32_t GetSpecialFolderLocation(WindowHandle owner, std::int32_t folder, ItemIdList& list) override;
    std::int32_t GetPathFromIdList(ItemIdList list, char* path) override;
    void FreeIdList(ItemIdList list) override;
    LibraryHandle LoadLibraryNamed(const std::string& name) override;
    std::int32_t GetFolderPathFromLibrary(LibraryHandle library,
                                          WindowHandle owner,
                                          std::int32_t folder,
                                          std::uintptr_t token,
                                          std::uint32_t flags,
                                          char* path) override;
    std::int32_t FreeLoadedLibrary(LibraryHandle library) override;
    std::intptr_t Execute(WindowHandle parent,
                          const std::string& verb,
                          const std::string& file,
                          const std::string& parameters,
                          const std::string& directory,
                          std::int32_t showCommand) override;
    std::string AnsiToUtf8(std::string_view ansi) const override;
    std::string Utf8ToAnsi(std::string_view utf8) const override;
};

}  // namespace velmaro::win32
