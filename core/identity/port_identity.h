#pragma once
// A port's identity: what a script needs to find "the adapter with serial A50285BI" and open it,
// worked out the same way from every backend's device facts.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/problem_codes.h"
#include "port_list/port_list.h"

namespace velmaro::identity {

enum class PortKind { Onboard, Usb, Bluetooth, Irda, Modem, Pci, Virtual };

// "onboard", "usb", "bluetooth", "irda", "modem", "pci", "virtual".
std::string_view KindName(PortKind kind);

// What only a scan of sysfs/udev knows of a port; Windows has none of it.
struct ScanFacts {
    std::string node;                // /dev/ttyUSB0
    std::vector<std::string> links;  // /dev/serial/by-id/..., /dev/serial/by-path/...
    std::string usbManufacturer;     // the USB device's own strings
    std::string usbProduct;
    std::string serial;
    std::optional<int> interfaceNumber;
    std::string driver;
    std::string usbLocation;  // USB port path: 1-1.2
    friend bool operator==(const ScanFacts&, const ScanFacts&) = default;
};

// What a backend knows of one present COM-port device, texts in UTF-8.
struct DeviceFacts {
    std::string instance;        // USB\VID_0403&PID_6001\A50285BI
    std::string parentInstance;  // of a composite device's interface: the USB device's
    std::string friendlyName;    // "USB Serial Port (COM7)"
    std::string deviceDesc;
    std::string deviceClass;  // "Ports", "Modem"
    std::string mfg;          // SPDRP_MFG
    std::string location;     // SPDRP_LOCATION_INFORMATION
    std::string service;      // SPDRP_SERVICE
    std::vector<std::string> hardwareIds;
    std::optional<int> attachedTo;  // a modem's COM number from its driver key
    ScanFacts scan;
    friend bool operator==(const DeviceFacts&, const DeviceFacts&) = default;
};

struct PortIdentity {
    int com = 0;               // 0: the port has no number
    std::string path;          // what a program opens: /dev/ttyUSB0, \\.\COM7
    std::string description;   // the device's description without the "(COMn)" tag
    std::string manufacturer;  // the device's own, else the driver's maker
    std::string product;
    std::optional<std::uint16_t> vid;
    std::optional<std::uint16_t> pid;
    std::optional<std::uint16_t> revision;
    std::string serial;
    std::optional<int> interfaceNumber;
    std::string location;
    std::vector<std::string> links;
    std::string driver;
    PortKind kind = PortKind::Onboard;
    std::string instance;
    std::vector<ProblemCode> problems;
    friend bool operator==(const PortIdentity&, const PortIdentity&) = default;
};

// The number in the last "(COMn)" of a friendly name; nothing without one.
std::optional<int> ComNumberOfName(std::string_view friendlyName);

struct UsbNumbers {
    std::optional<std::uint16_t> vid;
    std::optional<std::uint16_t> pid;
    std::optional<std::uint16_t> revision;
    std::optional<int> interfaceNumber;  // MI_xx
    friend bool operator==(const UsbNumbers&, const UsbNumbers&) = default;
};
// VID_, PID_, REV_ and MI_ of hardware IDs in either separator style ('&' or FTDI's '+'), the
// first ID that carries each.
UsbNumbers UsbNumbersOf(const std::vector<std::string>& hardwareIds);

// The serial number in a Windows instance ID: its last part unless Windows generated it (generated
// ones contain '&'); FTDI's bus keeps it in the middle part with the port letter appended.
std::string SerialOfInstance(std::string_view instance);

PortKind KindOf(const DeviceFacts& facts);

// The identity of one device; problems stay empty (they come from the rows).
PortIdentity IdentityOf(const DeviceFacts& facts);

// The COM number a row stands for ("COM 7" -> 7); nothing for rows that are no port.
std::optional<int> ComNumberOfRow(const PortRow& row);

// Per row, the identity of its port, or nothing for rows that are no port. A port's identity lists
// the problem codes of every row on its number.
std::vector<std::optional<PortIdentity>> IdentitiesOfRows(const std::vector<PortRow>& rows,
                                                          const std::vector<DeviceFacts>& devices);

}  // namespace velmaro::identity
