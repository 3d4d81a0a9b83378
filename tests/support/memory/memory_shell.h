#pragma once
// An in-memory Windows shell: special folders by CSIDL for both lookup methods, a loadable or
// missing shfolder library, and a record of every ShellExecuteA call. It counts the item-id lists
// and libraries that are still open, so that tests can prove each one was released.
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "shell/shell_service.h"

namespace velmaro::memory {

class MemoryShell : public IShellService {
  public:
    // One ShellExecuteA call, its texts converted back to UTF-8.
    struct ExecuteCall {
        WindowHandle parent = 0;
        std::string verb;
        std::string file;
        std::string parameters;
        std::string directory;
        std::int32_t showCommand = 0;
        friend bool operator==(const ExecuteCall&, const ExecuteCall&) = default;
    };

    // --- setting the shell up (UTF-8 paths; folder numbers without flags) ---
    // Known to both methods.
    void SetFolder(std::int32_t folder, const std::string& path);
    // Known to the item-id list method only, or to shfolder only.
    void SetShellFolder(std::int32_t folder, const std::string& path);
    void SetShfolderFolder(std::int32_t folder, const std::string& path);
    void FailSpecialFolderLocation(bool fail) { failLocation_ = fail; }
    void FailPathFromIdList(bool fail) { failPathFromIdList_ = fail; }
    void SetShfolderLoadable(bool loadable) { shfolderLoadable_ = loadable; }
    void FailShfolderPath(bool fail) { failShfolderPath_ = fail; }
    // What ShellExecuteA answers; above 32 means success on Windows.
    void SetExecuteResult(std::intptr_t result) { executeResult_ = result; }

    // --- accounting ---
    const std::vector<ExecuteCall>& ExecuteCalls() const { return executeCalls_; }
    // Folder numbers as passed, flags included, per method.
    const std::vector<std::int32_t>& LocationRequests() const { return locationRequests_; }
    const std::vector<std::int32_t>& ShfolderRequests() const { return shfolderRequests_; }
    int PathFromIdListCalls() const { return pathFromIdListCalls_; }
    const std::vector<std::string>& LoadedLibraryNames() const { return loadedLibraryNames_; }
    int OpenIdListCount() const { return static_cast<int>(openIdLists_.size()); }
    int LoadedLibraryCount() const { return static_cast<int>(loadedLibraries_.size()); }
    // Frees of a handle that was not open (double frees, made-up handles).
    int BadReleaseCount() const { return badReleases_; }

    // --- IShellService ---
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

    // Windows-1252, as on a German Windows.
    std::string AnsiToUtf8(std::string_view ansi) const override;
    std::string Utf8ToAnsi(std::string_view utf8) const override;

  private:
    std::map<std::int32_t, std::string> shellFolders_;
    std::map<std::int32_t, std::string> shfolderFolders_;
    bool failLocation_ = false;
    bool failPathFromIdList_ = false;
    bool shfolderLoadable_ = true;
    bool failShfolderPath_ = false;
    std::intptr_t executeResult_ = 42;

    std::map<ItemIdList, std::int32_t> openIdLists_;  // list -> folder it names
    std::set<LibraryHandle> loadedLibraries_;
    std::uintptr_t nextHandle_ = 0x1000;
    int badReleases_ = 0;
    int pathFromIdListCalls_ = 0;
    std::vector<ExecuteCall> executeCalls_;
    std::vector<std::int32_t> locationRequests_;
    std::vector<std::int32_t> shfolderRequests_;
    std::vector<std::string> loadedLibraryNames_;
};

}  // namespace velmaro::memory
