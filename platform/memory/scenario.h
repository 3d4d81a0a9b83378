#pragma once
// Scenario files: one JSON file describes one machine (registry keys and values, devices in
// enumeration order) and loads into a MemoryMachine.
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

#include "memory/memory_machine.h"

namespace velmaro::memory {

// A malformed scenario. what() names the file, the place (line and column for syntax errors, the
// JSON pointer for content errors) and what is wrong.
class ScenarioError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

void LoadScenarioFile(const std::filesystem::path& file, MemoryMachine& machine);
// sourceName names the text in error messages.
void LoadScenarioText(std::string_view json, std::string_view sourceName, MemoryMachine& machine);

// The SPDRP_ code for a property name of the scenario format ("FriendlyName" -> 12), or -1.
int PropertyCodeFromName(std::string_view name);

}  // namespace velmaro::memory
