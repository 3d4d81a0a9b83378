#pragma once
// clsRegistry: opens, reads, writes, enumerates and deletes registry keys and values. Every key is
// opened and closed within one operation; failures go to RegistryError, never to the caller.
#include <cstdint>
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "registry/registry_service.h"

namespace velmaro {

// The value an EnumValue event carries: a text for REG_SZ, a number for REG_DWORD, else nothing.
using RegistryValueSetting = std::variant<std::monostate, std::string, std::int32_t>;

class clsRegistry {
  public:
    explicit clsRegistry(IRegistryService& service);

    // Events, delivered synchronously to whoever is subscribed.
    std::function<void(const std::string& sSubKeyName)> EnumKey;
    std::function<void()> EnumKeyComplete;
    std::function<
        void(const std::string& sValueName, const RegistryValueSetting& vValueSetting, std::uint32_t lValueType)>
        EnumValue;
    std::function<void()> EnumValueComplete;
    std::function<void(std::int32_t Errorcode)> RegistryError;

    bool EnableDelete() const { return enableDelete_; }
    void SetEnableDelete(bool ubNewValue) { enableDelete_ = ubNewValue; }
    const std::string& CurrentKey() const { return currentKey_; }
    void SetCurrentKey(const std::string& value) { currentKey_ = value; }

    void CreateKey(std::int32_t lKeyRoot, const std::string& sKeyName);
    void DeleteKey(std::int32_t lKeyRoot, const std::string& sKeyName);
    void DeleteValue(std::int32_t lKeyRoot, const std::string& sKeyName, const std::string& sValueName);
    std::vector<std::string> EnumKeys(std::int32_t Root, const std::string& sKeyName, bool NoEvents = false);
    std::vector<std::string> EnumValues(std::int32_t lKeyRoot, const std::string& sKeyName, bool NoEvents = false);
    std::int32_t GetNumericValue(std::int32_t lKeyRoot,
                                 const std::string& sKeyName,
                                 const std::string& sValueName,
                                 std::int32_t DefaultValue = 0);
    std::string GetStringValue(std::int32_t lKeyRoot, const std::string& sKeyName, const std::string& sValueName);
    void SetNumericValue(std::int32_t lKeyRoot,
                         const std::string& sKeyName,
                         const std::string& sValueName,
                         std::int32_t lValueSetting);
    void SetStringValue(std::int32_t lKeyRoot,
                        const std::string& sKeyName,
                        const std::string& sValueName,
                        const std::string& sValueSetting);

  private:
    bool OpenKey(std::int32_t root, const std::string& path, bool readOnly, RegHandle& handle);
    void EnumValuesOfOpenKey(std::int32_t root,
                             const std::string& path,
                             RegHandle key,
                             bool noEvents,
                             std::vector<std::string>& names);
    void RaiseError(std::int32_t code);

    IRegistryService& service_;
    bool enableDelete_ = false;
    std::string currentKey_;
};

}  // namespace velmaro
