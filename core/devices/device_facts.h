#pragma once
// What a backend knows of a device beyond its properties: its status (Windows' device-node status,
// or the same derived from sysfs), and on Linux who may and who does use its port. Facts that
// were not found are absent; none of them is read by the driver scan's cable rules.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmaro {

// CM_Get_DevNode_Status: the status flags (DN_) and the problem code (CM_PROB_).
struct DevNodeStatus {
    std::uint32_t flags = 0;
    std::uint32_t problem = 0;
    friend bool operator==(const DevNodeStatus&, const DevNodeStatus&) = default;
};

// CM_PROB_ codes the diagnosis tells apart.
inline constexpr std::uint32_t kProblemNotConfigured = 1;
inline constexpr std::uint32_t kProblemFailedStart = 10;
inline constexpr std::uint32_t kProblemReinstall = 18;
inline constexpr std::uint32_t kProblemDisabled = 22;
inline constexpr std::uint32_t kProblemFailedInstall = 28;
inline constexpr std::uint32_t kProblemFailedPostStart = 43;

// A process that has a device open.
struct DeviceHolder {
    std::string program;  // its command name, as /proc/<pid>/comm gives it
    std::uint32_t processId = 0;
    friend bool operator==(const DeviceHolder&, const DeviceHolder&) = default;
};

struct DeviceFacts {
    std::string boundDriver;            // driver bound to its serial interface; "usbfs" when a program claimed it
    bool brlttyRuleMatches = false;     // brltty's udev rules name its vendor and product ID
    std::string deviceNode;             // its port, e.g. /dev/ttyUSB0
    std::string group;                  // the group owning the port
    bool accessDenied = false;          // access(2) for read and write failed on the port
    std::vector<DeviceHolder> holders;  // processes that have the port or the USB device open
    friend bool operator==(const DeviceFacts&, const DeviceFacts&) = default;
};

}  // namespace velmaro
