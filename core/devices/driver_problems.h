#pragma once
// Finds known USB-serial cables that are plugged in without a working driver and appends a
// warning row for each; the same walk builds the device dump when the user asked for it.
#include <string>
#include <string_view>
#include <vector>

#include "devices/refresh_services.h"
#include "port_list/port_list.h"
#include "ports/port_device_table.h"

namespace velmaro {

inline constexpr const char* kProblemX40 = "PROBLEM_X40";
inline constexpr const char* kProblemX510 = "PROBLEM_X510";
inline constexpr const char* kProblemUsb2vcom = "PROBLEM_USB2VCOM";
inline constexpr const char* kProblemFtdi2xx = "PROBLEM_FTDI2XX";
inline constexpr const char* kProblemOti = "PROBLEM_OTI";
inline constexpr const char* kProblemCp210x = "PROBLEM_CP210X";
inline constexpr const char* kProblem2xUsedX40 = "PROBLEM_2XUSED_X40";
inline constexpr const char* kProblem2xUsed510 = "PROBLEM_2XUSED_510";
inline constexpr const char* kProblem2xUsedOther = "PROBLEM_2XUSED_OTHER";
inline constexpr const char* kProblem2xUsedUsb2vcom = "PROBLEM_2XUSED_USB2VCOM";  // accepted, never set
inline constexpr const char* kHelpMarker = "Local x40 HelP";

inline constexpr const char* kMsgDumpCopied = "OK, alles in der Zwischenablage!";

// Appends a problem row to the list; the order of the settings is part of the contract.
void AppendProblemRow(IPortList& lvwPorts, const std::string& description, const std::string& code);

// Reads clipboardRequested and never changes it.
void DetectDriverProblems(const Services& services,
                          const PortDeviceTable& table,
                          IPortList& lvwPorts,
                          const bool& clipboardRequested);

// True when some element contains text, ignoring letter case; false for an empty array.
bool ArrayContainsText(const std::vector<std::string>& array, std::string_view text);

template <typename T>
bool ArrayHasElements(const std::vector<T>& array) {
    return !array.empty();
}

}  // namespace velmaro
