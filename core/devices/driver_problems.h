#pragma once
// Finds known USB-serial cables that are plugged in without a working driver and appends a
// warning row for each; the same walk builds the device dump when the user asked for it.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "devices/refresh_services.h"
#include "port_list/port_list.h"

namespace velmaro {

inline constexpr const char* kMsgDumpCopied = "OK, alles in der Zwischenablage!";

// The cable rules, one by one. A device of a watched class is reported for its description
// (upper case) or, failing that, for its hardware ID while no working port has it.
bool IsWatchedClass(std::string_view upperClass);
std::optional<ProblemCode> DescriptionRuleCode(std::string_view upperDescription);
std::vector<ProblemCode> UsbRuleCodes(const std::string& hardwareId, const std::vector<std::string>& portHardwareIds);

// The row of a cable whose driver is missing.
PortRow ProblemRow(ProblemCode code);

// portHardwareIds: the hardware IDs of the working ports. Reads clipboardRequested and never
// changes it.
void DetectDriverProblems(const Services& services,
                          const std::vector<std::string>& portHardwareIds,
                          std::vector<PortRow>& rows,
                          const bool& clipboardRequested);

// True when some element contains text, ignoring letter case; false for an empty array.
bool ArrayContainsText(const std::vector<std::string>& array, std::string_view text);

template <typename T>
bool ArrayHasElements(const std::vector<T>& array) {
    return !array.empty();
}

}  // namespace velmaro
