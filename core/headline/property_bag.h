#pragma once
// The saved properties of a control, as its containing window stores them between sessions.
// A value equal to its default is not stored, so a missing entry reads back as the default.
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace velmaro {

class IPropertyBag {
  public:
    virtual ~IPropertyBag() = default;
    virtual std::optional<std::string> Read(std::string_view key) const = 0;
    virtual void Write(std::string_view key, const std::string& value) = 0;
};

inline std::string ReadProperty(const IPropertyBag& bag, std::string_view key, std::string_view defaultValue) {
    auto value = bag.Read(key);
    return value ? *value : std::string(defaultValue);
}

inline void WriteProperty(IPropertyBag& bag,
                          std::string_view key,
                          const std::string& value,
                          std::string_view defaultValue) {
    if (value != defaultValue) {
        bag.Write(key, value);
    }
}

// A bag held in memory; windows fill one with the captions they were designed with.
class PropertyBag : public IPropertyBag {
  public:
    PropertyBag() = default;
    PropertyBag(std::initializer_list<std::pair<const std::string, std::string>> entries) : entries_(entries) {}

    std::optional<std::string> Read(std::string_view key) const override {
        auto it = entries_.find(key);
        if (it == entries_.end()) {
            return std::nullopt;
        }
        return it->second;
    }
    void Write(std::string_view key, const std::string& value) override { entries_[std::string(key)] = value; }

    const std::map<std::string, std::string, std::less<>>& Entries() const { return entries_; }

  private:
    std::map<std::string, std::string, std::less<>> entries_;
};

}  // namespace velmaro
