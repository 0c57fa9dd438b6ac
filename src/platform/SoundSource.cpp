#include "platform/SoundSource.h"

#include "platform/AudioDevice.h"
#include "platform/AudioGeneration.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <vector>

namespace platform {
namespace {

// The OpenAL format of a PCM layout, or 0 when there is none.
ALenum OpenAlFormat(const PcmFormat& format) {
    if (format.channels == 1 && format.bitsPerSample == 8) return AL_FORMAT_MONO8;
    if (format.channels == 1 && format.bitsPerSample == 16) return AL_FORMAT_MONO16;
    if (format.channels == 2 && format.bitsPerSample == 8) return AL_FORMAT_STEREO8;
    if (format.channels == 2 && format.bitsPerSample == 16) return AL_FORMAT_STEREO16;
    return 0;
}

// DirectSound's default distances: full volume up to 1 unit, fading on without end.
constexpr float kDefaultMinimumDistance = 1.0f;
constexpr float kDefaultMaximumDistance = 1.0e9f;

void PlaceUnpositioned(ALuint source) {
    alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    alSourcef(source, AL_ROLLOFF_FACTOR, 0.0f);
    if (alIsExtensionPresent("AL_SOFT_direct_channels")) alSourcei(source, AL_DIRECT_CHANNELS_SOFT, AL_TRUE);
}

void PlaceInWorld(ALuint source) {
    alSourcei(source, AL_SOURCE_RELATIVE, AL_FALSE);
    alSourcef(source, AL_ROLLOFF_FACTOR, 1.0f);
    alSourcef(source, AL_REFERENCE_DISTANCE, kDefaultMinimumDistance);
    alSourcef(source, AL_MAX_DISTANCE, kDefaultMaximumDistance);
}

// A mono sample heard unplaced plays at full level on both speakers, as a centred DirectSound
// buffer does: it is stored as stereo, whose channels go straight to the speakers.
std::vector<uint8_t> BothChannels(const uint8_t* data, size_t size, size_t sampleBytes) {
    std::vector<uint8_t> stereo;
    stereo.reserve(size * 2);
    for (size_t i = 0; i + sampleBytes <= size; i += sampleBytes) {
        stereo.insert(stereo.end(), data + i, data + i + sampleBytes);
        stereo.insert(stereo.end(), data + i, data + i + sampleBytes);
    }
    return stereo;
}

// An OpenAL buffer holding the sample, or 0 with the reason in error.
ALuint MakeBuffer(const PcmFormat& format, const uint8_t* data, size_t size, std::string& error) {
    alGetError();
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    if (alGetError() != AL_NO_ERROR) {
        error = "OpenAL has no buffer left";
        return 0;
    }
    alBufferData(buffer, OpenAlFormat(format), data, static_cast<ALsizei>(size), format.sampleRate);
    if (alGetError() != AL_NO_ERROR) {
        alDeleteBuffers(1, &buffer);
        error = "OpenAL refused the sample";
        return 0;
    }
    return buffer;
}

}  // namespace

std::unique_ptr<SoundSource> SoundSource::Create(const PcmFormat& format, const uint8_t* data, size_t size,
                                                 bool positional, std::string& error) {
    if (OpenAudioGeneration() == 0 || !alcGetCurrentContext()) {
        error = "no sound device is open";
        return nullptr;
    }
    if (OpenAlFormat(format) == 0 || format.sampleRate <= 0) {
        error = "unsupported sample format";
        return nullptr;
    }
    if (positional && format.channels != 1) {
        error = "a 3D sound must be mono";
        return nullptr;
    }
    const size_t frameBytes = static_cast<size_t>(format.channels * format.bitsPerSample / 8);
    const size_t usable = size - size % frameBytes;
    if (usable == 0 || usable > 0x3FFFFFFF) {
        error = "the sample is empty or too long";
        return nullptr;
    }
    ALuint buffer = 0;
    if (!positional && format.channels == 1 && alIsExtensionPresent("AL_SOFT_direct_channels")) {
        const std::vector<uint8_t> stereo = BothChannels(data, usable, format.bitsPerSample / 8);
        buffer = MakeBuffer({2, format.bitsPerSample, format.sampleRate}, stereo.data(), stereo.size(), error);
    } else {
        buffer = MakeBuffer(format, data, usable, error);
    }
    if (buffer == 0) return nullptr;
    ALuint source = 0;
    alGenSources(1, &source);
    if (alGetError() != AL_NO_ERROR) {
        alDeleteBuffers(1, &buffer);
        error = "OpenAL has no source left";
        return nullptr;
    }
    alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
    if (positional) {
        PlaceInWorld(source);
    } else {
        PlaceUnpositioned(source);
    }
    return std::unique_ptr<SoundSource>(new SoundSource(buffer, source, OpenAudioGeneration()));
}

SoundSource::SoundSource(uint32_t buffer, uint32_t source, uint64_t generation)
    : buffer_(buffer), source_(source), generation_(generation) {}

SoundSource::~SoundSource() {
    if (!IsOnOpenDevice()) return;
    alSourceStop(source_);
    alDeleteSources(1, &source_);
    alDeleteBuffers(1, &buffer_);
}

bool SoundSource::IsOnOpenDevice() const { return generation_ == OpenAudioGeneration(); }

void SoundSource::Play(bool loop) {
    if (!IsOnOpenDevice()) return;
    alSourcei(source_, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
    if (!IsPlaying()) alSourcePlay(source_);
}

void SoundSource::Stop() {
    if (IsPlaying()) alSourcePause(source_);
}

void SoundSource::Rewind() {
    if (!IsOnOpenDevice()) return;
    ALint state = AL_INITIAL;
    alGetSourcei(source_, AL_SOURCE_STATE, &state);
    if (state == AL_PLAYING || state == AL_PAUSED) {
        alSourcei(source_, AL_SAMPLE_OFFSET, 0);
    } else {
        alSourceRewind(source_);
    }
}

bool SoundSource::IsPlaying() const {
    if (!IsOnOpenDevice()) return false;
    ALint state = AL_INITIAL;
    alGetSourcei(source_, AL_SOURCE_STATE, &state);
    return state == AL_PLAYING;
}

int32_t SoundSource::GetFrameOffset() const {
    if (!IsOnOpenDevice()) return 0;
    ALint offset = 0;
    alGetSourcei(source_, AL_SAMPLE_OFFSET, &offset);
    return offset;
}

void SoundSource::SetVolume(int32_t millibels) {
    if (IsOnOpenDevice()) alSourcef(source_, AL_GAIN, GainFromMillibels(millibels));
}

void SoundSource::SetPitch(float pitch) {
    if (IsOnOpenDevice() && pitch > 0.0f) alSourcef(source_, AL_PITCH, pitch);
}

void SoundSource::SetPosition(const PVector3& position, const PVector3& velocity) {
    if (!IsOnOpenDevice()) return;
    alSource3f(source_, AL_POSITION, position.x, position.y, -position.z);
    alSource3f(source_, AL_VELOCITY, velocity.x, velocity.y, -velocity.z);
}

void SoundSource::SetDistances(float minimum, float maximum) {
    if (!IsOnOpenDevice()) return;
    alSourcef(source_, AL_REFERENCE_DISTANCE, minimum);
    alSourcef(source_, AL_MAX_DISTANCE, maximum);
}

}  // namespace platform
