#pragma once
// A machine, a recording service in front of it and one accessor whose events are written down.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "common/win_codes.h"
#include "memory/memory_machine.h"
#include "registry/cls_registry.h"
#include "registry_recorder.h"

namespace velmaro::testing {

inline constexpr const char* kKey = "Software\\Velmaro\\Test";
inline constexpr const char* kMissingKey = "Software\\Velmaro\\Fehlt";
inline const std::string kOpenRead = std::string("RegOpenKeyExA HKCU ") + kKey + " 0x20019";
inline const std::string kOpenWrite = std::string("RegOpenKeyExA HKCU ") + kKey + " 0x2003F";

class RegistryTest : public ::testing::Test {
  protected:
    RegistryTest() { RecordEvents(reg, events); }

    // Every operation must leave no key open behind it.
    void TearDown() override { EXPECT_EQ(machine.OpenKeyCount(), 0); }

    void Put(const std::string& name, memory::RawValue value, const std::string& path = kKey) {
        machine.PutValue(kHkeyCurrentUser, path, name, std::move(value));
    }
    const memory::RawValue* Find(const std::string& name, const std::string& path = kKey) const {
        return machine.FindValue(kHkeyCurrentUser, path, name);
    }
    // Forget what setting the machine up produced.
    void Forget() {
        events.clear();
        service.calls.clear();
    }

    memory::MemoryMachine machine;
    RecordingRegistry service{machine};
    clsRegistry reg{service};
    std::vector<std::string> events;
};

inline std::vector<std::uint8_t> Bytes(std::string_view text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

}  // namespace velmaro::testing
