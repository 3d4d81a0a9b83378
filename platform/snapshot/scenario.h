#pragma once
// Scenario files: one JSON file describes one machine (registry keys and values, devices in
// enumeration order) and loads into a device snapshot.
#include <cstddef>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

#include "snapshot/device_snapshot.h"

namespace velmaro::snapshot {

// A malformed scenario. what() names the file, the place (line and column for syntax errors, the
// JSON pointer for content errors) and what is wrong.
class ScenarioError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The largest scenario file read: about a hundred times the 256-port example.
inline constexpr std::size_t kScenarioFileLimit = 16u * 1024 * 1024;

// Adds what the file describes to snapshot; a malformed file adds nothing. Only a regular file of
// at most limit bytes is read, and a FIFO is not waited on.
void LoadScenarioFile(const std::filesystem::path& file,
                      DeviceSnapshot& snapshot,
                      std::size_t limit = kScenarioFileLimit);
// sourceName names the text in error messages (escaped there). A NUL byte ends no document: it is
// an error at its place.
void LoadScenarioText(std::string_view json, std::string_view sourceName, DeviceSnapshot& snapshot);
// The machine a scenario file describes, in Windows-1252 as on a German Windows.
DeviceSnapshot ScenarioSnapshot(const std::filesystem::path& file);

// The SPDRP_ code for a property name of the scenario format ("FriendlyName" -> 12), or -1.
int PropertyCodeFromName(std::string_view name);

}  // namespace velmaro::snapshot
