#pragma once
// The device-installation service through setupapi's ANSI calls. The core sees opaque set
// handles that map to the real HDEVINFO, and device records in the layout it was written for;
// each record carries the native one's fields, so it maps back without a lookup.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "devices/device_info_service.h"

namespace velmaro::win32 {

class Win32Devices : public IDeviceInfoService {
  public:
    Win32Devices() = default;
    ~Win32Devices() override;
    Win32Devices(const Win32Devices&) = delete;
    Win32Devices& operator=(const Win32Devices&) = delete;

    // Device information sets obtained through this object and not yet destroyed.
    int OpenSetCount() const { return static_cast<int>(openSets_.size()); }

    DevInfoSet GetClassDevs(const Guid& classGuid, std::uint32_t flags) override;
    bool EnumDeviceInfo(DevInfoSet set, std::uint32_t index, DevInfoData& data) override;
    bool GetDeviceRegistryProperty(DevInfoSet set,
                                   const DevInfoData& data,
                                   std::uint32_t property,
                                   std::uint32_t* regType,
                                   std::uint8_t* buffer,
                                   std::uint32_t bufferSize,
                                   std::uint32_t* requiredSize) override;
    bool DestroyDeviceInfoList(DevInfoSet set) override;
    std::uint32_t GetLastError() const override { return lastError_; }
    std::optional<DevNodeStatus> GetDevNodeStatus(DevInfoSet set, const DevInfoData& data) override;

    std::string AnsiToUtf8(std::string_view ansi) const override;

  private:
    // The native set behind a handle of the core, or nullptr (as an integer: no windows.h here).
    std::uintptr_t Native(DevInfoSet set) const;

    std::map<DevInfoSet, std::uintptr_t> openSets_;
    DevInfoSet nextSet_ = 0x100;
    std::uint32_t lastError_ = 0;
};

}  // namespace velmaro::win32
