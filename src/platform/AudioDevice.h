#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// The sound output: the default OpenAL device with one context, current while this object
// lives. Tests run it on OpenAL Soft's null backend (ALSOFT_DRIVERS=null).
class AudioDevice {
public:
    // Opens the default device mixing at the given rate (0: the device's own rate) and makes
    // its context current; on failure returns null and describes why in error.
    static std::unique_ptr<AudioDevice> Open(int32_t frequency, std::string& error);
    ~AudioDevice();
    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;

    // The rate the device really mixes at.
    int32_t Frequency() const;

private:
    struct Impl;
    explicit AudioDevice(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform
