#include "platform/gfx/Resource.h"

#include "platform/gfx/Device.h"

namespace platform::gfx {

Resource::Resource(Device& device, Pool pool) : device_(&device), pool_(pool)
{
    device.Track(*this);
}

Resource::~Resource()
{
    if (device_ != nullptr) {
        device_->Untrack(*this);
    }
}

void Resource::Lose()
{
    ReleaseStorage();
    device_ = nullptr;
}

}  // namespace platform::gfx
