#pragma once
// The registry as the ANSI advapi32 calls offer it. Key paths, value names and string data cross
// this seam as bytes of the service's ANSI code page; the core converts with AnsiToUtf8/Utf8ToAnsi.
#include <cstdint>
#include <string>
#include <string_view>

#include "common/handle_owner.h"

namespace velmaro {

// A key handle. A predefined root is its 32-bit value zero-extended (0x80000002 for
// HKEY_LOCAL_MACHINE); 0 is the null handle.
using RegHandle = std::uintptr_t;

inline RegHandle RootHandle(std::int32_t root) {
    return static_cast<RegHandle>(static_cast<std::uint32_t>(root));
}

// SECURITY_ATTRIBUTES as the creating call receives it.
struct SecurityAttributes {
    std::uint32_t length = 0;  // the size of the native structure
    bool hasSecurityDescriptor = false;
    bool inheritHandle = false;
};

class IRegistryService {
  public:
    virtual ~IRegistryService() = default;

    // RegOpenKeyExA(root, subKey, 0, access, &result)
    virtual std::int32_t OpenKeyEx(RegHandle root,
                                   const std::string& subKey,
                                   std::uint32_t access,
                                   RegHandle& result) = 0;
    // RegCreateKeyExA(root, subKey, 0, no class, options, access, sa, &result, &disposition)
    virtual std::int32_t CreateKeyEx(RegHandle root,
                                     const std::string& subKey,
                                     std::uint32_t options,
                                     std::uint32_t access,
                                     const SecurityAttributes& sa,
                                     RegHandle& result,
                                     std::uint32_t& disposition) = 0;
    // RegCloseKey(key); the null handle is accepted and does nothing.
    virtual std::int32_t CloseKey(RegHandle key) = 0;
    // RegQueryValueExA(key, name, 0, type, data, dataSize); data may be null for a size query.
    virtual std::int32_t QueryValueEx(RegHandle key,
                                      const std::string& valueName,
                                      std::uint32_t* type,
                                      std::uint8_t* data,
                                      std::uint32_t* dataSize) = 0;
    // RegSetValueExA(key, name, 0, type, data, size)
    virtual std::int32_t SetValueEx(RegHandle key,
                                    const std::string& valueName,
                                    std::uint32_t type,
                                    const std::uint8_t* data,
                                    std::uint32_t size) = 0;
    // RegEnumKeyExA(key, index, name, nameLength, 0, class buffer "" of length 1, last-write time).
    // nameLength: in, the buffer's size in characters with room for the NUL; out, the name's length.
    virtual std::int32_t EnumKeyEx(RegHandle key, std::uint32_t index, char* name, std::uint32_t& nameLength) = 0;
    // RegEnumValueA(key, index, name, nameLength, 0, type, data, dataSize)
    virtual std::int32_t EnumValue(RegHandle key,
                                   std::uint32_t index,
                                   char* name,
                                   std::uint32_t& nameLength,
                                   std::uint32_t* type,
                                   std::uint8_t* data,
                                   std::uint32_t* dataSize) = 0;
    // RegDeleteKeyA(root, subKey)
    virtual std::int32_t DeleteKey(RegHandle root, const std::string& subKey) = 0;
    // RegDeleteValueA(key, name)
    virtual std::int32_t DeleteValue(RegHandle key, const std::string& valueName) = 0;

    // The ANSI code page of this service, byte for byte (NUL bytes included).
    virtual std::string AnsiToUtf8(std::string_view ansi) const = 0;
    virtual std::string Utf8ToAnsi(std::string_view utf8) const = 0;
};

// Closes a key with its service, the null key too: the registry accepts it and does nothing.
struct KeyCloser {
    IRegistryService* registry;
    std::int32_t operator()(RegHandle key) const { return registry->CloseKey(key); }
};
using OwnedKey = HandleOwner<RegHandle, KeyCloser>;

// An owner for the key a call is about to open (0 until then).
inline OwnedKey OwnKey(IRegistryService& registry) {
    return OwnedKey(0, KeyCloser{&registry});
}

}  // namespace velmaro
