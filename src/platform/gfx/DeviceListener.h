#pragma once

namespace platform::gfx {

// Told around a device reset: OnDeviceLost before the device destroys its default-pool
// resources (owners release theirs), OnDeviceReset once the device is usable again (owners
// create them anew).
class DeviceListener {
public:
    virtual void OnDeviceLost() = 0;
    virtual void OnDeviceReset() = 0;

protected:
    ~DeviceListener() = default;
};

}  // namespace platform::gfx
