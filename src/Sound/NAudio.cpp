#include "Sound/NAudio.h"

#include "core/PLog.h"
#include "core/SettingsVariables.h"
#include "platform/AudioDevice.h"

CNAudio::CNAudio() = default;

CNAudio::~CNAudio() {
    m_bank.reset();
    m_device.reset();
    m_registry.clear();
}

int32_t CNAudio::Init(void* window) {
    m_window = window;
    std::string error;
    m_device = platform::AudioDevice::Open(g_frequency, error);
    if (!m_device) {
        GetLog()->Print(0, "Cannot open the sound device: %s\n", error.c_str());
        return 0;
    }
    m_bank = std::make_unique<CNSoundBank>();
    return 0;
}

TPtr<CNSound> CNAudio::GetSound(const std::string& name) { return m_registry[name]; }

void CNAudio::SetListenerPosition(const PVector3& position, const PVector3& velocity) {
    m_listener.position = position;
    m_listener.velocity = velocity;
}

void CNAudio::SetListenerOrientation(const PVector3& top, const PVector3& front) {
    m_listener.top = top;
    m_listener.front = front;
}
