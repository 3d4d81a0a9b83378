#pragma once
// Fault injection and handle counting around any registry and device-information service: a
// snapshot, or the Windows backend under Wine. Calls are named like the OS functions.
#include <array>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "devices/device_info_service.h"
#include "registry/registry_service.h"

namespace velmaro::testing {

class FaultInjection : public IRegistryService, public IDeviceInfoService {
  public:
    // The services must outlive this wrapper; texts convert through the registry's code page.
    FaultInjection(IRegistryService& registry, IDeviceInfoService& devices);

    // Makes the call named like the OS function ("RegOpenKeyExA", "RegCreateKeyExA", "RegCloseKey",
    // "RegQueryValueExA", "RegSetValueExA", "RegEnumKeyExA", "RegEnumValueA", "RegDeleteKeyA",
    // "RegDeleteValueA", "SetupDiGetClassDevsA", "SetupDiEnumDeviceInfo",
    // "SetupDiGetDeviceRegistryPropertyA", "SetupDiDestroyDeviceInfoList", "CM_Get_DevNode_Status") fail with code on
    // its nth call (1-based, counted from now) and the count - 1 calls after it; count < 0: for good. A failing call
    // does not reach the service. A failing SetupDi call returns its failure value and sets the last error to code.
    void FailCall(std::string_view call, std::int32_t code, int nth = 1, int count = 1);
    void ClearFaults();
    // How often a call was made since the wrapper was built.
    int CallCount(std::string_view call) const;
    // Keys and device information sets obtained through this wrapper and not yet released.
    int OpenKeyCount() const;
    int OpenDeviceInfoSetCount() const;

    // --- IRegistryService ---
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

    // --- IDeviceInfoService ---
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
    std::uint32_t GetLastError() const override;
    std::optional<DevNodeStatus> GetDevNodeStatus(DevInfoSet set, const DevInfoData& data) override;
    DeviceFacts GetDeviceFacts(DevInfoSet set, const DevInfoData& data) override;

    std::string AnsiToUtf8(std::string_view ansi) const override;
    std::string Utf8ToAnsi(std::string_view utf8) const override;

  private:
    struct FaultRule {
        std::size_t call = 0;
        std::int32_t code = 0;
        long long first = 0;  // call numbers (1-based, since the wrapper was built) that fail
        long long last = 0;
    };

    // Counts the call and answers the injected failure code, if any.
    std::optional<std::int32_t> Enter(std::string_view call);
    // The same for a SetupDi call, which reports its failure through the last error.
    bool EnterSetupDi(std::string_view call);
    // A SetupDi call that reached the service and failed has the service's last error.
    bool Forwarded(bool succeeded);

    IRegistryService& registry_;
    IDeviceInfoService& devices_;
    std::array<long long, 14> callCounts_{};
    std::vector<FaultRule> faults_;
    std::set<RegHandle> openKeys_;
    std::set<DevInfoSet> openSets_;
    std::optional<std::uint32_t> injectedError_;
};

}  // namespace velmaro::testing
