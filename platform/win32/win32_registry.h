#pragma once
// The registry through advapi32's ANSI calls. The core sees opaque key handles: the predefined
// roots by their 32-bit values, every key opened here by a number of this object's own that maps
// to the real HKEY. A key the core opened is closed by the core through CloseKey; whatever is
// still open when this object goes is closed then.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "registry/registry_service.h"

namespace velmaro::win32 {

class Win32Registry : public IRegistryService {
  public:
    Win32Registry() = default;
    ~Win32Registry() override;
    Win32Registry(const Win32Registry&) = delete;
    Win32Registry& operator=(const Win32Registry&) = delete;

    // Keys opened or created through this object and not yet closed.
    int OpenKeyCount() const { return static_cast<int>(openKeys_.size()); }

    std::int32_t OpenKeyEx(RegHandle root, const std::string& subKey, std::uint32_t access, RegHandle& result) override;
    std::int32_t CreateKeyEx(RegHandle root,
                             const std::string& subKey,
                             std::uint32_t options,
                             std::uint32_t access,
                             const SecurityAttributes& sa,
                             RegHandle& result,
                             std::uint32_t& disposition) override;
    std::int32_t CloseKey(RegHandle key) override;
    std::int32_t QueryValueEx(RegHandle key,
                              const std::string& valueName,
                              std::uint32_t* type,
                              std::uint8_t* data,
                              std::uint32_t* dataSize) override;
    std::int32_t SetValueEx(RegHandle key,
                            const std::string& valueName,
                            std::uint32_t type,
                            const std::uint8_t* data,
                            std::uint32_t size) override;
    std::int32_t EnumKeyEx(RegHandle key, std::uint32_t index, char* name, std::uint32_t& nameLength) override;
    std::int32_t EnumValue(RegHandle key,
                           std::uint32_t index,
                           char* name,
                           std::uint32_t& nameLength,
                           std::uint32_t* type,
                           std::uint8_t* data,
                           std::uint32_t* dataSize) override;
    std::int32_t DeleteKey(RegHandle root, const std::string& subKey) override;
    std::int32_t DeleteValue(RegHandle key, const std::string& valueName) override;

    std::string AnsiToUtf8(std::string_view ansi) const override;
    std::string Utf8ToAnsi(std::string_view utf8) const override;

  private:
    // The native key behind a handle of the core (stored as an integer so that this header needs
    // no windows.h), or 0 when the handle is neither a root nor open here.
    std::uintptr_t Native(RegHandle key) const;
    RegHandle Adopt(std::uintptr_t native);

    std::map<RegHandle, std::uintptr_t> openKeys_;
    // Well away from the roots' values, and never 0.
    RegHandle nextHandle_ = 0x1000;
};

}  // namespace velmaro::win32
