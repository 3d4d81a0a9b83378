#pragma once
// A scenario machine with an Arduino Uno on each of the given COM numbers, for the window tests that
// plug and unplug: each board's serial number is "ARDU" and its number in four digits.
#include <cstdio>
#include <string>
#include <vector>

#include "identity/port_identity.h"
#include "snapshot/port_facts.h"
#include "snapshot/scenario.h"
#include "snapshot/snapshot_machine.h"

namespace velmaro::testing {

inline std::string ArduinoScenario(const std::vector<int>& comNumbers) {
    std::string map, devices;
    for (const int com : comNumbers) {
        char entry[160], device[800];
        std::snprintf(entry, sizeof entry, "%s\"\\\\Device\\\\USBSER%03d\": \"COM%d\"", map.empty() ? "" : ", ", com,
                      com);
        std::snprintf(device, sizeof device,
                      "%s{\"instance\": \"USB\\\\VID_2341&PID_0043\\\\ARDU%04d\", \"comport_interface\": true, "
                      "\"properties\": {\"ClassGUID\": \"{4D36E978-E325-11CE-BFC1-08002BE10318}\", \"Class\": "
                      "\"Ports\", \"FriendlyName\": \"Arduino Uno (COM%d)\", \"DeviceDesc\": \"Arduino Uno\", "
                      "\"HardwareID\": [\"USB\\\\VID_2341&PID_0043&REV_0001\", \"USB\\\\VID_2341&PID_0043\"], "
                      "\"Mfg\": \"Arduino LLC\", \"Service\": \"usbser\"}}",
                      devices.empty() ? "" : ", ", com, com);
        map += entry;
        devices += device;
    }
    return "{\"registry\": {\"HKEY_LOCAL_MACHINE\\\\HARDWARE\\\\DEVICEMAP\\\\SERIALCOMM\": {" + map +
           "}}, \"devices\": [" + devices + "]}";
}

inline snapshot::DeviceSnapshot ArduinoBoards(const std::vector<int>& comNumbers) {
    snapshot::DeviceSnapshot boards;
    snapshot::LoadScenarioText(ArduinoScenario(comNumbers), "boards", boards);
    return boards;
}

// first..last, without one number (0: none left out).
inline std::vector<int> ComNumbers(int first, int last, int without = 0) {
    std::vector<int> numbers;
    for (int n = first; n <= last; ++n) {
        if (n != without) {
            numbers.push_back(n);
        }
    }
    return numbers;
}

// The boards as a machine that a test swaps for others; a window fixture derives from it ahead of
// the window, so that the machine is built first.
struct PluggingMachine {
    explicit PluggingMachine(const std::vector<int>& comNumbers) : machine(ArduinoBoards(comNumbers)) {}
    // The identity facts the window asks for after each refresh.
    std::vector<identity::DeviceFacts> PortFacts() const { return snapshot::PortFactsOf(machine.Snapshot()); }
    snapshot::SnapshotMachine machine;
};

}  // namespace velmaro::testing
