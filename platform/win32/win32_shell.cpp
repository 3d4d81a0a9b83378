#include "win32/win32_shell.h"

#include <windows.h>
// windows.h first: the shell headers build on its types.
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include "win32/win32_text.h"

namespace velmaro::win32 {
namespace {

using SHGetFolderPathAProc = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);

HWND ToHwnd(WindowHandle handle) {
    return reinterpret_cast<HWND>(handle);
}

}  // namespace

std::int32_t Win32ShellService::GetSpecialFolderLocation(WindowHandle owner, std::int32_t folder, ItemIdList& list) {
    PIDLIST_ABSOLUTE idList = nullptr;
    const HRESULT result = SHGetSpecialFolderLocation(ToHwnd(owner), folder, &idList);
    list = reinterpret_cast<ItemIdList>(idList);
    return static_cast<std::int32_t>(result);
}

std::int32_t Win32ShellService::GetPathFromIdList(ItemIdList list, char* path) {
    return SHGetPathFromIDListA(reinterpret_cast<PCIDLIST_ABSOLUTE>(list), path) ? 1 : 0;
}

void Win32ShellService::FreeIdList(ItemIdList list) {
    CoTaskMemFree(reinterpret_cast<void*>(list));
}

LibraryHandle Win32ShellService::LoadLibraryNamed(const std::string& name) {
    return reinterpret_cast<LibraryHandle>(LoadLibraryA(name.c_str()));
}

std::int32_t Win32ShellService::GetFolderPathFromLibrary(LibraryHandle library,
                                                         WindowHandle owner,
                                                         std::int32_t folder,
                                                         std::uintptr_t token,
                                                         std::uint32_t flags,
                                                         char* path) {
    const FARPROC address = GetProcAddress(reinterpret_cast<HMODULE>(library), "SHGetFolderPathA");
    if (address == nullptr) {
        return static_cast<std::int32_t>(E_FAIL);
    }
    // GetProcAddress hands out every export as FARPROC; the real signature is restored here.
    const auto getFolderPath = reinterpret_cast<SHGetFolderPathAProc>(reinterpret_cast<void*>(address));
    return static_cast<std::int32_t>(
        getFolderPath(ToHwnd(owner), folder, reinterpret_cast<HANDLE>(token), static_cast<DWORD>(flags), path));
}

std::int32_t Win32ShellService::FreeLoadedLibrary(LibraryHandle library) {
    return FreeLibrary(reinterpret_cast<HMODULE>(library)) ? 1 : 0;
}

std::intptr_t Win32ShellService::Execute(WindowHandle parent,
                                         const std::string& verb,
                                         const std::string& file,
                                         const std::string& parameters,
                                         const std::string& directory,
                                         std::int32_t showCommand) {
    const HINSTANCE result =
        ShellExecuteA(ToHwnd(parent), verb.c_str(), file.c_str(), parameters.c_str(), directory.c_str(), showCommand);
    return reinterpret_cast<std::intptr_t>(result);
}

std::string Win32ShellService::AnsiToUtf8(std::string_view ansi) const {
    return win32::AnsiToUtf8(ansi);
}

std::string Win32ShellService::Utf8ToAnsi(std::string_view utf8) const {
    return win32::Utf8ToAnsi(utf8);
}

}  // namespace velmaro::win32
