#pragma once
// A device snapshot served as the ANSI advapi32 and setupapi calls answer. The registry is read
// only: every write answers 5, as a key opened without write rights does.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "devices/device_info_service.h"
#include "registry/registry_service.h"
#include "snapshot/device_snapshot.h"

namespace velmaro::snapshot {

class SnapshotMachine : public IRegistryService, public IDeviceInfoService {
  public:
    explicit SnapshotMachine(DeviceSnapshot snapshot);
    ~SnapshotMachine() override;
    SnapshotMachine(const SnapshotMachine&) = delete;
    SnapshotMachine& operator=(const SnapshotMachine&) = delete;

    const DeviceSnapshot& Snapshot() const { return snapshot_; }
    // A key or a device information set of this machine is open.
    bool HasOpenHandles() const { return !openKeys_.empty() || !sets_.empty(); }
    // Serves next from now on, as a machine that was just built; refused while handles are open,
    // since they point into the snapshot served now.
    bool Replace(DeviceSnapshot next);

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

    // The snapshot's code page.
    std::string AnsiToUtf8(std::string_view ansi) const override;
    std::string Utf8ToAnsi(std::string_view utf8) const override;

  protected:
    enum class Writes { Refused, Allowed };
    SnapshotMachine(DeviceSnapshot snapshot, Writes writes);

    // For a registry that takes writes: the tree, and the handle rules the reading calls use.
    DeviceSnapshot& MutableSnapshot() { return snapshot_; }
    // The key behind a handle, if the handle carries neededAccess.
    std::int32_t ResolveFor(RegHandle handle, std::uint32_t neededAccess, RegistryKey*& key) const;
    // The parent handle of a path-taking call, and the path checked as the system checks it.
    std::int32_t ResolvePathStart(RegHandle handle, const std::string& subKey, RegistryKey*& start) const;
    // The existing key at subKey below handle.
    std::int32_t FindKey(RegHandle handle, const std::string& subKey, RegistryKey*& key) const;
    RegHandle NewHandle(RegistryKey* key, std::uint32_t access);

  private:
    struct OpenKey {
        std::shared_ptr<RegistryKey> key;
        std::uint32_t access = 0;
    };

    std::int32_t Resolve(RegHandle handle, RegistryKey*& key, std::uint32_t& access) const;
    bool SetInvalid(DevInfoSet set);
    // The device a record of an open set names, or nullptr; leaves the last error alone, as the
    // configuration manager's calls do.
    const SnapshotDevice* MemberDevice(DevInfoSet set, const DevInfoData& data) const;

    DeviceSnapshot snapshot_;
    Writes writes_;
    std::unordered_map<RegHandle, OpenKey> openKeys_;
    RegHandle nextKeyHandle_ = 0x1000;
    // A set holds device indices in ascending order.
    std::unordered_map<DevInfoSet, std::vector<std::uint32_t>> sets_;
    DevInfoSet nextSet_ = 0x40000;
    std::uint32_t lastError_ = 0;
};

}  // namespace velmaro::snapshot
