#include "platform/AudioDevice.h"

#include "platform/AudioGeneration.h"
#include "platform/Locale.h"

#include <AL/al.h>
#include <AL/alc.h>

#include <cmath>

namespace platform {
namespace {

uint64_t g_generationCounter = 0;
uint64_t g_openGeneration = 0;

// The game's left-handed vector in OpenAL's right-handed space.
void ToOpenAl(const PVector3& v, ALfloat out[3]) {
    out[0] = v.x;
    out[1] = v.y;
    out[2] = -v.z;
}

}  // namespace

uint64_t OpenAudioGeneration() { return g_openGeneration; }

float GainFromMillibels(int32_t millibels) { return std::pow(10.0f, static_cast<float>(millibels) / 2000.0f); }

struct AudioDevice::Impl {
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;

    ~Impl() {
        if (context) {
            if (alcGetCurrentContext() == context) alcMakeContextCurrent(nullptr);
            alcDestroyContext(context);
            g_openGeneration = 0;
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
    g_openGeneration = ++g_generationCounter;
    alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    return std::unique_ptr<AudioDevice>(new AudioDevice(std::move(impl)));
}

AudioDevice::AudioDevice(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
AudioDevice::~AudioDevice() = default;

int32_t AudioDevice::Frequency() const {
    ALCint frequency = 0;
    alcGetIntegerv(impl_->device, ALC_FREQUENCY, 1, &frequency);
    return frequency;
}

void AudioDevice::SetListenerPosition(const PVector3& position, const PVector3& velocity) {
    ALfloat value[3];
    ToOpenAl(position, value);
    alListenerfv(AL_POSITION, value);
    ToOpenAl(velocity, value);
    alListenerfv(AL_VELOCITY, value);
}

void AudioDevice::SetListenerOrientation(const PVector3& front, const PVector3& top) {
    ALfloat orientation[6];
    ToOpenAl(front, orientation);
    ToOpenAl(top, orientation + 3);
    alListenerfv(AL_ORIENTATION, orientation);
}

}  // namespace platform
