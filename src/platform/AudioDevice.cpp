#include "platform/AudioDevice.h"

#include "platform/Locale.h"

#include <AL/al.h>
#include <AL/alc.h>

namespace platform {

struct AudioDevice::Impl {
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;

    ~Impl() {
        if (context) {
            if (alcGetCurrentContext() == context) alcMakeContextCurrent(nullptr);
            alcDestroyContext(context);
        }
        if (device) alcCloseDevice(device);
    }
};

std::unique_ptr<AudioDevice> AudioDevice::Open(int32_t frequency, std::string& error) {
    auto impl = std::make_unique<Impl>();
    impl->device = alcOpenDevice(nullptr);
    KeepNumericLocaleC();
    if (!impl->device) {
        error = "Cannot open the sound device";
        return nullptr;
    }
    const ALCint attributes[] = {ALC_FREQUENCY, frequency, 0};
    impl->context = alcCreateContext(impl->device, frequency > 0 ? attributes : nullptr);
    if (!impl->context || !alcMakeContextCurrent(impl->context)) {
        error = "Cannot create the sound context (OpenAL error " +
                std::to_string(alcGetError(impl->device)) + ")";
        return nullptr;
    }
    return std::unique_ptr<AudioDevice>(new AudioDevice(std::move(impl)));
}

AudioDevice::AudioDevice(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
AudioDevice::~AudioDevice() = default;

int32_t AudioDevice::Frequency() const {
    ALCint frequency = 0;
    alcGetIntegerv(impl_->device, ALC_FREQUENCY, 1, &frequency);
    return frequency;
}

}  // namespace platform
