#include "Sound/NSound.h"

#include <algorithm>
#include <cmath>

#include "core/PLog.h"
#include "platform/SoundSource.h"

namespace {

// The playback rates a sound can take, in frames per second.
constexpr double kMinRate = 100.0;
constexpr double kMaxRate = 200000.0;

}  // namespace

float ClampVolume(float volume) { return std::isnan(volume) ? 0.0f : std::clamp(volume, 0.0f, 1.0f); }

int32_t VolumeToMillibels(float volume) {
    return static_cast<int32_t>(-7000.0 * std::pow(1.0 - ClampVolume(volume), 4.0));
}

CNSound::CNSound(const std::string& path, bool is3D) : m_is3D(is3D) {
    CNWaveFile waveFile;
    if (waveFile.Open(path, nullptr, CNWaveFile::kModeRead) != 0) return;
    m_size = waveFile.GetSize();
    const SNWaveFormat format = waveFile.GetFormat();
    std::vector<uint8_t> samples(m_size);
    uint32_t read = 0;
    waveFile.ResetFile();
    waveFile.Read(samples.data(), m_size, &read);
    waveFile.Close();
    std::string error;
    m_source = platform::SoundSource::Create({format.channels, format.bitsPerSample,
                                              static_cast<int32_t>(format.samplesPerSec)},
                                             samples.data(), read, m_is3D, error);
    if (!m_source) {
        GetLog()->Print(0, "Sound %s is silent: %s\n", path.c_str(), error.c_str());
        return;
    }
    m_baseFrequency = format.samplesPerSec;
    s_liveSounds.push_back(this);
    ApplyVolume();
}

CNSound::~CNSound() { std::erase(s_liveSounds, this); }

int32_t CNSound::Play(int32_t, int32_t flags) {
    if (!m_source) return 0;
    double rate = std::trunc(m_baseFrequency * static_cast<double>(s_frequencyFactor));
    if (rate == 0.0) rate = m_baseFrequency;  // a rate of 0 asks for the sample's own rate
    if (!(rate >= kMinRate && rate <= kMaxRate)) {
        GetLog()->Print(0, "Sound not played: the rate %.0f is outside 100 to 200000\n", rate);
        return 0;
    }
    m_source->SetPitch(static_cast<float>(rate / m_baseFrequency));
    m_source->Play((flags & kPlayLooping) != 0);
    return 0;
}

void CNSound::Stop() {
    if (m_source) m_source->Stop();
}

void CNSound::Rewind() {
    if (m_source) m_source->Rewind();
}

bool CNSound::IsPlaying() const { return m_source && m_source->IsPlaying(); }

int32_t CNSound::GetPlayPosition() const { return m_source ? m_source->GetFrameOffset() : 0; }

void CNSound::ApplyVolume() {
    if (m_source) m_source->SetVolume(VolumeToMillibels(s_volume));
}

void CNSound::SetPosition(const PVector3& position, const PVector3& velocity) {
    if (m_source && m_is3D) m_source->SetPosition(position, velocity);
}

void CNSound::SetDistances(float minimum, float maximum) {
    if (!m_source || !m_is3D) return;
    m_minDistance = minimum;
    m_maxDistance = maximum;
    m_source->SetDistances(minimum, maximum);
}

void CNSound::SetGlobalVolume(float volume) {
    s_volume = ClampVolume(volume);
    for (CNSound* sound : s_liveSounds) sound->ApplyVolume();
}

void CNSound::SetFrequencyFactor(float factor) { s_frequencyFactor = factor; }
