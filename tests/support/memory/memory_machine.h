#pragma once
// An in-memory Windows machine for tests: a device snapshot whose registry also takes writes,
// served through fault injection and handle counting. Tests fill it as a producer fills a snapshot.
#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

#include "snapshot/device_snapshot.h"
#include "snapshot/scenario.h"
#include "snapshot/snapshot_machine.h"
#include "support/fault_injection.h"

namespace velmaro::memory {

using snapshot::BytesValue;
using snapshot::Cp1252ToUtf8;
using snapshot::DwordValue;
using snapshot::MultiSzValue;
using snapshot::RawValue;
using snapshot::SzValue;
using snapshot::Utf8ToCp1252;
using MemoryDevice = snapshot::SnapshotDevice;

// A snapshot machine whose registry takes writes as RegCreateKeyExA, RegSetValueExA,
// RegDeleteKeyA and RegDeleteValueA do.
class WritableSnapshotMachine : public snapshot::SnapshotMachine {
  public:
    WritableSnapshotMachine();
    snapshot::DeviceSnapshot& Contents() { return MutableSnapshot(); }

    std::int32_t CreateKeyEx(RegHandle root,
                             const std::string& subKey,
                             std::uint32_t options,
                             std::uint32_t access,
                             const SecurityAttributes& sa,
                             RegHandle& result,
                             std::uint32_t& disposition) override;
    std::int32_t SetValueEx(RegHandle key,
                            const std::string& valueName,
                            std::uint32_t type,
                            const std::uint8_t* data,
                            std::uint32_t size) override;
    std::int32_t DeleteKey(RegHandle root, const std::string& subKey) override;
    std::int32_t DeleteValue(RegHandle key, const std::string& valueName) override;
};

namespace detail {
// Built before the fault injection that wraps it.
struct MachineHolder {
    WritableSnapshotMachine machine;
};
}  // namespace detail

class MemoryMachine : private detail::MachineHolder, public testing::FaultInjection {
  public:
    MemoryMachine();
    MemoryMachine(const MemoryMachine&) = delete;
    MemoryMachine& operator=(const MemoryMachine&) = delete;

    // --- setting the machine up (UTF-8 paths and names; root as its 32-bit value) ---
    void PutKey(std::int32_t root, std::string_view path) { Contents().PutKey(root, path); }
    void PutValue(std::int32_t root, std::string_view path, std::string_view name, RawValue value) {
        Contents().PutValue(root, path, name, std::move(value));
    }
    bool HasKey(std::int32_t root, std::string_view path) const { return machine.Snapshot().HasKey(root, path); }
    // The value as stored, or nullptr.
    const RawValue* FindValue(std::int32_t root, std::string_view path, std::string_view name) const {
        return machine.Snapshot().FindValue(root, path, name);
    }
    void AddDevice(MemoryDevice device) { Contents().AddDevice(std::move(device)); }
    const std::vector<MemoryDevice>& Devices() const { return machine.Snapshot().Devices(); }
    snapshot::DeviceSnapshot& Contents() { return machine.Contents(); }
};

// A scenario added to the machine's contents.
void LoadScenarioFile(const std::filesystem::path& file, MemoryMachine& machine);
void LoadScenarioText(std::string_view json, std::string_view sourceName, MemoryMachine& machine);

}  // namespace velmaro::memory
