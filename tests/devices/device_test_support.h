#pragma once
// A machine with fakes around it, a builder for devices, and the texts the device routines show.
#include <cstdint>
#include <string>
#include <vector>

#include "common/win_codes.h"
#include "devices/refresh_services.h"
#include "memory/memory_machine.h"
#include "support/fakes.h"

namespace velmaro::testing {

using namespace velmaro::memory;

inline constexpr const char* kCantGet = "Error, can't get Regestryproperty";
inline constexpr const char* kCantRead = "Error while dermitting Regestryproperty";
inline constexpr const char* kCopied = "OK, alles in der Zwischenablage!";

// The machine and the user-facing fakes, wired into one Services.
struct Bench : FakeUserServices {
    memory::MemoryMachine machine;
    Services services = Over(machine, machine);
};

// A present device, also on the COM-port interface unless told otherwise.
struct DeviceBuilder : MemoryDevice {
    DeviceBuilder() { comportInterface = true; }
    DeviceBuilder& Set(std::uint32_t property, RawValue value) {
        properties[property] = std::move(value);
        return *this;
    }
    DeviceBuilder& Class(std::string_view v) { return Set(SPDRP_CLASS, SzValue(v)); }
    DeviceBuilder& FriendlyName(std::string_view v) { return Set(SPDRP_FRIENDLYNAME, SzValue(v)); }
    DeviceBuilder& Description(std::string_view v) { return Set(SPDRP_DEVICEDESC, SzValue(v)); }
    DeviceBuilder& Mfg(std::string_view v) { return Set(SPDRP_MFG, SzValue(v)); }
    DeviceBuilder& HardwareIds(const std::vector<std::string>& ids) { return Set(SPDRP_HARDWAREID, MultiSzValue(ids)); }
    DeviceBuilder& Without(bool MemoryDevice::*flag) {
        this->*flag = false;
        return *this;
    }
};

}  // namespace velmaro::testing
