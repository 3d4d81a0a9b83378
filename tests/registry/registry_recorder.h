#pragma once
// Test helpers for clsRegistry: a registry service that writes down every call before handing it
// to a MemoryMachine, and a recorder of the accessor's events in the order they arrive.
#include <cstdint>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include "memory/memory_machine.h"
#include "registry/cls_registry.h"

namespace velmaro::testing {

inline std::string Hex(std::uint32_t value) {
    std::ostringstream out;
    out << "0x" << std::hex << std::uppercase << value;
    return out.str();
}

// Forwards to the machine and keeps one line per call, e.g.
// "RegOpenKeyExA HKCU Software\Velmaro 0x20019" or "RegCloseKey null".
class RecordingRegistry : public IRegistryService {
  public:
    explicit RecordingRegistry(memory::MemoryMachine& machine) : machine_(machine) {}

    std::vector<std::string> calls;
    // What the last RegCreateKeyExA received.
    std::uint32_t createOptions = 0xFFFFFFFF;
    std::uint32_t createAccess = 0;
    SecurityAttributes createSa{};
    // What the last RegSetValueExA wrote.
    std::uint32_t setType = 0;
    std::vector<std::uint8_t> setData;

    std::int32_t OpenKeyEx(RegHandle root,
                           const std::string& subKey,
                           std::uint32_t access,
                           RegHandle& result) override {
        calls.push_back("RegOpenKeyExA " + Root(root) + " " + subKey + " " + Hex(access));
        return machine_.OpenKeyEx(root, subKey, access, result);
    }
    std::int32_t CreateKeyEx(RegHandle root,
                             const std::string& subKey,
                             std::uint32_t options,
                             std::uint32_t access,
                             const SecurityAttributes& sa,
                             RegHandle& result,
                             std::uint32_t& disposition) override {
        calls.push_back("RegCreateKeyExA " + Root(root) + " " + subKey);
        createOptions = options;
        createAccess = access;
        createSa = sa;
        return machine_.CreateKeyEx(root, subKey, options, access, sa, result, disposition);
    }
    std::int32_t CloseKey(RegHandle key) override {
        calls.push_back(key == 0 ? "RegCloseKey null" : "RegCloseKey key");
        return machine_.CloseKey(key);
    }
    std::int32_t QueryValueEx(RegHandle key,
                              const std::string& valueName,
                              std::uint32_t* type,
                              std::uint8_t* data,
                              std::uint32_t* dataSize) override {
        calls.push_back("RegQueryValueExA " + valueName + " " + (data == nullptr ? "null" : "buffer") + " " +
                        std::to_string(dataSize ? *dataSize : 0));
        return machine_.QueryValueEx(key, valueName, type, data, dataSize);
    }
    std::int32_t SetValueEx(RegHandle key,
                            const std::string& valueName,
                            std::uint32_t type,
                            const std::uint8_t* data,
                            std::uint32_t size) override {
        calls.push_back("RegSetValueExA " + valueName + " " + std::to_string(type) + " " + std::to_string(size));
        setType = type;
        setData.assign(data, data + size);
        return machine_.SetValueEx(key, valueName, type, data, size);
    }
    std::int32_t EnumKeyEx(RegHandle key, std::uint32_t index, char* name, std::uint32_t& nameLength) override {
        calls.push_back("RegEnumKeyExA " + std::to_string(index) + " " + BlankBuffer(name, nameLength));
        return machine_.EnumKeyEx(key, index, name, nameLength);
    }
    std::int32_t EnumValue(RegHandle key,
                           std::uint32_t index,
                           char* name,
                           std::uint32_t& nameLength,
                           std::uint32_t* type,
                           std::uint8_t* data,
                           std::uint32_t* dataSize) override {
        calls.push_back("RegEnumValueA " + std::to_string(index) + " " + BlankBuffer(name, nameLength) + " " +
                        BlankBuffer(reinterpret_cast<const char*>(data), dataSize ? *dataSize : 0));
        return machine_.EnumValue(key, index, name, nameLength, type, data, dataSize);
    }
    std::int32_t DeleteKey(RegHandle root, const std::string& subKey) override {
        calls.push_back("RegDeleteKeyA " + Root(root) + " " + subKey);
        return machine_.DeleteKey(root, subKey);
    }
    std::int32_t DeleteValue(RegHandle key, const std::string& valueName) override {
        calls.push_back("RegDeleteValueA " + valueName);
        return machine_.DeleteValue(key, valueName);
    }
    std::string AnsiToUtf8(std::string_view ansi) const override { return machine_.AnsiToUtf8(ansi); }
    std::string Utf8ToAnsi(std::string_view utf8) const override { return machine_.Utf8ToAnsi(utf8); }

  private:
    static std::string Root(RegHandle root) {
        switch (root) {
            case 0x80000001u:
                return "HKCU";
            case 0x80000002u:
                return "HKLM";
            default:
                return Hex(static_cast<std::uint32_t>(root));
        }
    }
    // "blank1024" when the buffer arrives as 1024 blanks with its size, else what was seen.
    static std::string BlankBuffer(const char* buffer, std::uint32_t size) {
        if (buffer == nullptr) {
            return "null";
        }
        for (std::uint32_t i = 0; i < size; ++i) {
            if (buffer[i] != ' ') {
                return "dirty" + std::to_string(size);
            }
        }
        return "blank" + std::to_string(size);
    }

    memory::MemoryMachine& machine_;
};

inline std::string Describe(const RegistryValueSetting& setting) {
    if (const auto* text = std::get_if<std::string>(&setting)) {
        return "'" + *text + "'";
    }
    if (const auto* number = std::get_if<std::int32_t>(&setting)) {
        return std::to_string(*number);
    }
    return "none";
}

// Subscribes to every event of an accessor and writes them down as short lines:
// "Error 2", "Key Ports", "KeyComplete", "Value Baud=9600 type 4", "ValueComplete".
inline void RecordEvents(clsRegistry& reg, std::vector<std::string>& events) {
    reg.RegistryError = [&events](std::int32_t code) { events.push_back("Error " + std::to_string(code)); };
    reg.EnumKey = [&events](const std::string& name) { events.push_back("Key " + name); };
    reg.EnumKeyComplete = [&events] { events.push_back("KeyComplete"); };
    reg.EnumValue = [&events](const std::string& name, const RegistryValueSetting& setting, std::uint32_t type) {
        events.push_back("Value " + name + "=" + Describe(setting) + " type " + std::to_string(type));
    };
    reg.EnumValueComplete = [&events] { events.push_back("ValueComplete"); };
}

}  // namespace velmaro::testing
