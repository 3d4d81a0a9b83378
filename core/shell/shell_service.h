#pragma once
// The Windows shell as the ANSI shell32, shfolder and kernel32 calls offer it. Paths and targets
// cross this seam as bytes of the service's ANSI code page; the core converts with
// AnsiToUtf8/Utf8ToAnsi.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmaro {

using WindowHandle = std::uintptr_t;   // 0: no window
using ItemIdList = std::uintptr_t;     // 0: no list
using LibraryHandle = std::uintptr_t;  // 0: not loaded

// Path buffers hold this many characters, the terminating NUL included.
inline constexpr std::size_t kMaxPath = 260;

inline constexpr std::int32_t kCsidlSystem = 0x25;        // the system folder
inline constexpr std::int32_t kCsidlFlagCreate = 0x8000;  // create the folder when it is missing
inline constexpr std::uint32_t kShgfpTypeCurrent = 0;

inline constexpr std::int32_t kSwHide = 0;
inline constexpr std::int32_t kSwShowNormal = 1;

inline constexpr std::int32_t kSOk = 0;

class IShellService {
  public:
    virtual ~IShellService() = default;

    // SHGetSpecialFolderLocation(owner, folder, &list); kSOk on success. The caller frees the list.
    virtual std::int32_t GetSpecialFolderLocation(WindowHandle owner, std::int32_t folder, ItemIdList& list) = 0;
    // SHGetPathFromIDListA(list, path); non-zero when path (kMaxPath chars) holds the path.
    virtual std::int32_t GetPathFromIdList(ItemIdList list, char* path) = 0;
    // Releases an item-id list with the shell's allocator.
    virtual void FreeIdList(ItemIdList list) = 0;

    // LoadLibraryA(name); 0 when the library cannot be loaded.
    virtual LibraryHandle LoadLibraryNamed(const std::string& name) = 0;
    // SHGetFolderPathA(owner, folder, token, flags, path) as exported by the loaded library;
    // kSOk when path (kMaxPath chars) holds the path. A library without the export fails.
    virtual std::int32_t GetFolderPathFromLibrary(LibraryHandle library,
                                                  WindowHandle owner,
                                                  std::int32_t folder,
                                                  std::uintptr_t token,
                                                  std::uint32_t flags,
                                                  char* path) = 0;
    // FreeLibrary(library)
    virtual std::int32_t FreeLoadedLibrary(LibraryHandle library) = 0;

    // ShellExecuteA(parent, verb, file, parameters, directory, showCommand). An empty verb is
    // passed as the empty string, not as a null pointer.
    virtual std::intptr_t Execute(WindowHandle parent,
                                  const std::string& verb,
                                  const std::string& file,
                                  const std::string& parameters,
                                  const std::string& directory,
                                  std::int32_t showCommand) = 0;

    virtual std::string AnsiToUtf8(std::string_view ansi) const = 0;
    virtual std::string Utf8ToAnsi(std::string_view utf8) const = 0;
};

}  // namespace velmaro
