#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "core/PTask.h"
#include "core/Singleton.h"

namespace platform {
class MusicPlayer;
}

// The music task: plays one track of "Data\Music" at a time (any file GStreamer can play), fades
// between tracks and loops them (a system task at priority 12, added before the input task of
// the same priority).
//
// The first track asked for opens at once and fades in from silence; a looping track starts on
// the next update once it is ready, one without looping when Start is called. A later request
// fades the current track out over at least a second (the frame delta counts, at most 0.1 s a
// frame); when the fade ends the requested track opens with the looping it was asked with,
// starts and fades in. A track that cannot be played is logged when it is opened, and silence
// follows until the next request. A looping track repeats from its beginning without a gap.
// Nothing here waits for GStreamer: tracks are read and decoded on its threads.
class CPMusic : public IPTask, public TSingleton<CPMusic> {
public:
    CPMusic();
    ~CPMusic() override;

    // Asks for a track (see above). S_OK, or E_FAIL when the first track cannot be opened.
    int32_t Play(const std::string& name, bool loop);
    // The music volume, 0 to 1 (clamped); it applies at once, below any fade.
    void SetVolume(float volume);
    float GetVolume() const { return m_volume; }

    // Runs the open track and applies the volume; false when the track would not run.
    bool Start() override;
    // Fades and looping, once a frame.
    void Update() override;
    // Stops the open track and rewinds it.
    void Stop() override;
    int32_t GetType() const override { return 3; }
    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CPMusic"; }

    // The name of the track opened last ("" before the first), and of the one waiting for the
    // fade-out to end.
    const std::string& GetCurrentName() const { return m_currentName; }
    const std::string& GetPendingName() const { return m_pendingName; }
    bool IsTrackOpen() const { return m_trackOpen; }
    bool IsLooping() const { return m_loop; }
    float GetFadeFactor() const { return m_fadeFactor; }
    // The player of the open track (null when none is open).
    const platform::MusicPlayer* GetPlayer() const { return m_player.get(); }

private:
    int32_t Open(const std::string& name, bool loop);
    void Close();
    // The player of "Data\Music\<name>", or null with the reason logged.
    std::unique_ptr<platform::MusicPlayer> OpenPlayer(const std::string& name, bool loop);
    void StepFade();
    // Opens the pending track and starts it, silent, to fade in.
    void EndFadeOut();
    void KeepLooping();

    std::unique_ptr<platform::MusicPlayer> m_player;
    bool m_loop = false;
    std::string m_currentName;
    bool m_trackOpen = false;
    float m_volume = 0.0f;
    bool m_fadeOut = false;
    bool m_fadeIn = false;
    float m_fadeFactor = 0.0f;
    std::string m_pendingName;
    bool m_pendingLoop = false;
};

// The music task, null before its construction and after its destruction.
inline CPMusic* GetMusic() { return CPMusic::Instance(); }
