#include "Sound/PMusic.h"

#include <algorithm>

#include "core/PGlobalTimer.h"
#include "core/PLog.h"
#include "core/Result.h"
#include "platform/MusicPlayer.h"
#include "platform/PathResolver.h"
#include "Sound/NSound.h"

namespace {

// The longest frame a fade step counts, in seconds.
constexpr float kMaxFadeStep = 0.1f;
const std::string kFolder = "Data\\Music\\";

void ReportUnplayable(const std::string& name, const std::string& reason) {
    GetLog()->Print(0, "Music %s cannot be played: %s\n", (kFolder + name).c_str(), reason.c_str());
}

}  // namespace

CPMusic::CPMusic() = default;

CPMusic::~CPMusic() { Close(); }

int32_t CPMusic::Play(const std::string& name, bool loop) {
    m_pendingName = name;
    m_pendingLoop = loop;
    if (m_currentName.empty()) {
        const int32_t result = Open(name, loop);
        m_fadeIn = true;
        m_fadeFactor = 0.0f;
        return result;
    }
    m_fadeOut = true;
    m_fadeFactor = 1.0f;
    return S_OK;
}

std::unique_ptr<platform::MusicPlayer> CPMusic::OpenPlayer(const std::string& name, bool loop) {
    std::string resolved;
    std::string error;
    std::unique_ptr<platform::MusicPlayer> player;
    if (platform::ResolveFile(kFolder + name, resolved)) {
        player = platform::MusicPlayer::Open(resolved, loop, error);
    } else {
        error = "the file does not exist";
    }
    if (!player) ReportUnplayable(name, error);
    return player;
}

int32_t CPMusic::Open(const std::string& name, bool loop) {
    Close();
    m_currentName = name;
    m_loop = loop;
    m_player = OpenPlayer(name, loop);
    if (!m_player) return E_FAIL;
    m_trackOpen = true;
    SetVolume(m_volume);
    return S_OK;
}

void CPMusic::Close() {
    m_trackOpen = false;
    m_player.reset();
}

void CPMusic::SetVolume(float volume) {
    m_volume = ClampVolume(volume);
    if (m_player) m_player->SetVolume(VolumeToMillibels(m_volume));
}

bool CPMusic::Start() {
    if (!IsRunning()) IPTask::Start();
    bool started = true;
    if (m_trackOpen && !m_player->Run()) {
        GetLog()->Print(0, "Music %s would not start\n", m_currentName.c_str());
        started = false;
    }
    SetVolume(m_volume);
    return started;
}

void CPMusic::Update() {
    StepFade();
    if (m_trackOpen) KeepLooping();
}

void CPMusic::StepFade() {
    const float step = std::min(g_frameDelta, kMaxFadeStep);
    if (m_fadeIn) {
        m_fadeFactor += step;
        if (m_fadeFactor >= 1.0f) {
            m_fadeFactor = 1.0f;
            m_fadeIn = false;
        }
    } else if (m_fadeOut) {
        m_fadeFactor -= step;
        if (m_fadeFactor <= 0.0f) EndFadeOut();
    } else {
        return;
    }
    if (m_player) m_player->SetVolume(VolumeToMillibels(m_fadeFactor * m_volume));
}

void CPMusic::EndFadeOut() {
    m_fadeFactor = 0.0f;
    m_fadeIn = true;
    m_fadeOut = false;
    if (Open(m_pendingName, m_pendingLoop) != S_OK) return;
    m_player->SetVolume(VolumeToMillibels(0.0f));
    m_player->Run();
}

void CPMusic::KeepLooping() {
    const platform::MusicPlayer::Events events = m_player->TakeEvents();
    if (!events.error.empty()) {
        ReportUnplayable(m_currentName, events.error);
        Close();
        return;
    }
    if (events.ended) {
        m_player->Stop();
        m_player->Rewind();
    }
    if (m_player->IsRunning() || !m_loop) return;
    m_player->Rewind();
    m_player->Run();
}

void CPMusic::Stop() {
    IPTask::Stop();
    if (!m_trackOpen) return;
    m_player->Stop();
    m_player->Rewind();
}
