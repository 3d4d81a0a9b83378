#pragma once
// Builds in-memory machines for the refresh tests: serial-port map values and present devices.
#include <string>
#include <utility>

#include "common/win_codes.h"
#include "memory/memory_machine.h"

namespace velmaro::testing {

inline constexpr const char* kSerialComm = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
inline constexpr const char* kModemClassKey = "SYSTEM\\CurrentControlSet\\Control\\Class\\";

// One value of the serial-port map, e.g. "\Device\Serial0" = "COM1".
inline void AddMapEntry(memory::MemoryMachine& machine, const std::string& kernelName, const std::string& portName) {
    machine.PutValue(kHkeyLocalMachine, kSerialComm, kernelName, memory::SzValue(portName));
}

// A present device of class Ports on the COM-port interface; the friendly name carries its tag.
inline void AddPortDevice(memory::MemoryMachine& machine,
                          const std::string& instance,
                          const std::string& friendlyName,
                          const std::string& hardwareId = "ACPI\\PNP0501",
                          const std::string& deviceClass = "Ports") {
    memory::MemoryDevice device;
    device.instance = instance;
    device.comportInterface = true;
    device.properties[SPDRP_CLASS] = memory::SzValue(deviceClass);
    device.properties[SPDRP_FRIENDLYNAME] = memory::SzValue(friendlyName);
    device.properties[SPDRP_DEVICEDESC] = memory::SzValue(friendlyName);
    device.properties[SPDRP_MFG] = memory::SzValue("(Standardanschlusstypen)");
    device.properties[SPDRP_HARDWAREID] = memory::MultiSzValue({hardwareId});
    machine.AddDevice(std::move(device));
}

// A modem attached to a COM port through the "AttachedTo" value of its driver key.
inline void AddModem(memory::MemoryMachine& machine,
                     const std::string& instance,
                     const std::string& friendlyName,
                     const std::string& driverKey,
                     const std::string& attachedTo) {
    memory::MemoryDevice device;
    device.instance = instance;
    device.comportInterface = true;
    device.properties[SPDRP_CLASS] = memory::SzValue("Modem");
    device.properties[SPDRP_FRIENDLYNAME] = memory::SzValue(friendlyName);
    device.properties[SPDRP_DRIVER] = memory::SzValue(driverKey);
    device.properties[SPDRP_HARDWAREID] = memory::MultiSzValue({"USB\\VID_11F5&PID_0004"});
    machine.AddDevice(std::move(device));
    machine.PutValue(kHkeyLocalMachine, std::string(kModemClassKey) + driverKey, "AttachedTo",
                     memory::SzValue(attachedTo));
}

// A plugged-in device without a working driver: class Unknown, outside the COM-port interface.
inline void AddDriverlessDevice(memory::MemoryMachine& machine,
                                const std::string& instance,
                                const std::string& hardwareId,
                                const std::string& deviceDesc = "USB-Gerät") {
    memory::MemoryDevice device;
    device.instance = instance;
    device.properties[SPDRP_CLASS] = memory::SzValue("Unknown");
    device.properties[SPDRP_DEVICEDESC] = memory::SzValue(deviceDesc);
    device.properties[SPDRP_HARDWAREID] = memory::MultiSzValue({hardwareId});
    machine.AddDevice(std::move(device));
}

}  // namespace velmaro::testing
