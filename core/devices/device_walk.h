#pragma once
// What the two device walks share: one owner for the device information set, and the failure
// that ends a walk early.
#include <cstdint>
#include <stdexcept>

#include "common/handle_owner.h"
#include "devices/device_info_service.h"

namespace velmaro {

// Ends the current walk at once; caught at the walk's own boundary, never by its caller.
class DeviceWalkFailure : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Destroys a device information set with its service; an invalid set is left alone.
struct DeviceSetDestroyer {
    IDeviceInfoService* devices;
    bool operator()(DevInfoSet set) const { return set != kInvalidHandleValue && devices->DestroyDeviceInfoList(set); }
};
using OwnedDeviceSet = HandleOwner<DevInfoSet, DeviceSetDestroyer>;

// The set a walk goes through, destroyed when the walk leaves, however it leaves.
inline OwnedDeviceSet OpenDeviceSet(IDeviceInfoService& devices, const Guid& classGuid, std::uint32_t flags) {
    return OwnedDeviceSet(devices.GetClassDevs(classGuid, flags), DeviceSetDestroyer{&devices});
}

// The walks count devices in a signed 16-bit number, as the product always has: going past
// index 32767 is a failure of the walk, not a wrap-around.
inline std::int16_t NextDeviceIndex(std::int16_t index) {
    if (index == INT16_MAX) {
        throw DeviceWalkFailure("device index beyond 32767");
    }
    return static_cast<std::int16_t>(index + 1);
}

}  // namespace velmaro
