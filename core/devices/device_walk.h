#pragma once
// What the two device walks share: one owner for the device information set, and the failure
// that ends a walk early.
#include <cstdint>
#include <stdexcept>

#include "devices/device_info_service.h"

namespace velmaro {

// Ends the current walk at once; caught at the walk's own boundary, never by its caller.
class DeviceWalkFailure : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Owns one device information set and destroys it when the walk leaves, however it leaves.
class ScopedDevInfoSet {
  public:
    ScopedDevInfoSet(IDeviceInfoService& devices, const Guid& classGuid, std::uint32_t flags)
        : devices_(devices), set_(devices.GetClassDevs(classGuid, flags)) {}
    ~ScopedDevInfoSet() {
        if (!Valid()) {
            return;
        }
        try {
            devices_.DestroyDeviceInfoList(set_);
        } catch (...) {
            // Unwinding may already be under way; a second exception would end the program.
        }
    }
    ScopedDevInfoSet(const ScopedDevInfoSet&) = delete;
    ScopedDevInfoSet& operator=(const ScopedDevInfoSet&) = delete;

    bool Valid() const { return set_ != kInvalidHandleValue; }
    DevInfoSet get() const { return set_; }

  private:
    IDeviceInfoService& devices_;
    DevInfoSet set_;
};

// The walks count devices in a signed 16-bit number, as the product always has: going past
// index 32767 is a failure of the walk, not a wrap-around.
inline std::int16_t NextDeviceIndex(std::int16_t index) {
    if (index == INT16_MAX) {
        throw DeviceWalkFailure("device index beyond 32767");
    }
    return static_cast<std::int16_t>(index + 1);
}

}  // namespace velmaro
