#include "win32/win32_registry.h"

#include <windows.h>

#include "win32/win32_text.h"

namespace velmaro::win32 {
namespace {

// HKEY_CLASSES_ROOT .. HKEY_CURRENT_USER_LOCAL_SETTINGS as the core writes them: 32 bits,
// zero-extended. The system's own values are the same 32 bits sign-extended.
constexpr RegHandle kFirstRoot = 0x80000000u;
constexpr RegHandle kLastRoot = 0x80000007u;

bool IsRoot(RegHandle key) {
    return key >= kFirstRoot && key <= kLastRoot;
}

HKEY ToHkey(std::uintptr_t native) {
    return reinterpret_cast<HKEY>(native);
}

// A size or length of the core's unsigned type in the system's DWORD and back again, for the
// in-and-out parameters that may be absent.
class DwordSlot {
  public:
    explicit DwordSlot(std::uint32_t* value) : value_(value), dword_(value != nullptr ? *value : 0) {}
    ~DwordSlot() {
        if (value_ != nullptr) {
            *value_ = static_cast<std::uint32_t>(dword_);
        }
    }
    DwordSlot(const DwordSlot&) = delete;
    DwordSlot& operator=(const DwordSlot&) = delete;
    DWORD* Get() { return value_ != nullptr ? &dword_ : nullptr; }

  private:
    std::uint32_t* value_;
    DWORD dword_;
};

}  // namespace

Win32Registry::~Win32Registry() {
    for (const auto& [handle, native] : openKeys_) {
        RegCloseKey(ToHkey(native));
    }
}

std::uintptr_t Win32Registry::Native(RegHandle key) const {
    if (IsRoot(key)) {
        const auto sign = static_cast<LONG>(static_cast<DWORD>(key));
        return static_cast<std::uintptr_t>(static_cast<LONG_PTR>(sign));
    }
    const auto it = openKeys_.find(key);
    return it != openKeys_.end() ? it->second : 0;
}

RegHandle Win32Registry::Adopt(std::uintptr_t native) {
    const RegHandle handle = nextHandle_;
    nextHandle_ += 4;
    openKeys_.emplace(handle, native);
    return handle;
}

std::int32_t Win32Registry::OpenKeyEx(RegHandle root,
                                      const std::string& subKey,
                                      std::uint32_t access,
                                      RegHandle& result) {
    result = 0;
    const std::uintptr_t parent = Native(root);
    if (parent == 0) {
        return ERROR_INVALID_HANDLE;
    }
    HKEY key = nullptr;
    const LONG status = RegOpenKeyExA(ToHkey(parent), subKey.c_str(), 0, access, &key);
    if (status == ERROR_SUCCESS) {
        result = Adopt(reinterpret_cast<std::uintptr_t>(key));
    }
    return status;
}

std::int32_t Win32Registry::CreateKeyEx(RegHandle root,
                                        const std::string& subKey,
                                        std::uint32_t options,
                                        std::uint32_t access,
                                        const SecurityAttributes& sa,
                                        RegHandle& result,
                                        std::uint32_t& disposition) {
    result = 0;
    const std::uintptr_t parent = Native(root);
    if (parent == 0) {
        return ERROR_INVALID_HANDLE;
    }
    // The core states the length for the layout it was written for; the system gets its own.
    SECURITY_ATTRIBUTES attributes{};
    attributes.nLength = sizeof(attributes);
    attributes.lpSecurityDescriptor = nullptr;
    attributes.bInheritHandle = sa.inheritHandle ? TRUE : FALSE;
    HKEY key = nullptr;
    DWORD created = 0;
    const LONG status =
        RegCreateKeyExA(ToHkey(parent), subKey.c_str(), 0, nullptr, options, access, &attributes, &key, &created);
    if (status == ERROR_SUCCESS) {
        result = Adopt(reinterpret_cast<std::uintptr_t>(key));
        disposition = static_cast<std::uint32_t>(created);
    }
    return status;
}

std::int32_t Win32Registry::CloseKey(RegHandle key) {
    if (IsRoot(key)) {
        return ERROR_SUCCESS;  // a predefined key is never really closed
    }
    const auto it = openKeys_.find(key);
    if (it == openKeys_.end()) {
        return ERROR_INVALID_HANDLE;  // the null handle among them: nothing to do
    }
    const LONG status = RegCloseKey(ToHkey(it->second));
    openKeys_.erase(it);
    return status;
}

std::int32_t Win32Registry::QueryValueEx(RegHandle key,
                                         const std::string& valueName,
                                         std::uint32_t* type,
                                         std::uint8_t* data,
                                         std::uint32_t* dataSize) {
    const std::uintptr_t native = Native(key);
    if (native == 0) {
        return ERROR_INVALID_HANDLE;
    }
    DwordSlot typeSlot(type);
    DwordSlot sizeSlot(dataSize);
    return RegQueryValueExA(ToHkey(native), valueName.c_str(), nullptr, typeSlot.Get(), data, sizeSlot.Get());
}

std::int32_t Win32Registry::SetValueEx(RegHandle key,
                                       const std::string& valueName,
                                       std::uint32_t type,
                                       const std::uint8_t* data,
                                       std::uint32_t size) {
    const std::uintptr_t native = Native(key);
    if (native == 0) {
        return ERROR_INVALID_HANDLE;
    }
    return RegSetValueExA(ToHkey(native), valueName.c_str(), 0, type, data, size);
}

std::int32_t Win32Registry::EnumKeyEx(RegHandle key, std::uint32_t index, char* name, std::uint32_t& nameLength) {
    const std::uintptr_t native = Native(key);
    if (native == 0) {
        return ERROR_INVALID_HANDLE;
    }
    DWORD length = nameLength;
    char className[1] = {'\0'};
    DWORD classLength = 1;
    FILETIME lastWrite{};
    const LONG status =
        RegEnumKeyExA(ToHkey(native), index, name, &length, nullptr, className, &classLength, &lastWrite);
    nameLength = static_cast<std::uint32_t>(length);
    return status;
}

std::int32_t Win32Registry::EnumValue(RegHandle key,
                                      std::uint32_t index,
                                      char* name,
                                      std::uint32_t& nameLength,
                                      std::uint32_t* type,
                                      std::uint8_t* data,
                                      std::uint32_t* dataSize) {
    const std::uintptr_t native = Native(key);
    if (native == 0) {
        return ERROR_INVALID_HANDLE;
    }
    DWORD length = nameLength;
    DwordSlot typeSlot(type);
    DwordSlot sizeSlot(dataSize);
    const LONG status =
        RegEnumValueA(ToHkey(native), index, name, &length, nullptr, typeSlot.Get(), data, sizeSlot.Get());
    nameLength = static_cast<std::uint32_t>(length);
    return status;
}

std::int32_t Win32Registry::DeleteKey(RegHandle root, const std::string& subKey) {
    const std::uintptr_t native = Native(root);
    if (native == 0) {
        return ERROR_INVALID_HANDLE;
    }
    return RegDeleteKeyA(ToHkey(native), subKey.c_str());
}

std::int32_t Win32Registry::DeleteValue(RegHandle key, const std::string& valueName) {
    const std::uintptr_t native = Native(key);
    if (native == 0) {
        return ERROR_INVALID_HANDLE;
    }
    return RegDeleteValueA(ToHkey(native), valueName.c_str());
}

std::string Win32Registry::AnsiToUtf8(std::string_view ansi) const {
    return win32::AnsiToUtf8(ansi);
}

std::string Win32Registry::Utf8ToAnsi(std::string_view utf8) const {
    return win32::Utf8ToAnsi(utf8);
}

}  // namespace velmaro::win32
