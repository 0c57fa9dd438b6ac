#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// One music file played through a GStreamer playbin (audio only). Opening prerolls the file
// paused, so a file that cannot be played is refused at once; nothing plays until Run.
//
// The output is the system's default audio sink, or the sink described by the environment
// variable VX_MUSIC_SINK (a GStreamer description such as "fakesink sync=true"; the tests use
// it). Every call returns at once or waits a bounded time: the bus is polled without waiting.
class MusicPlayer {
public:
    // The file at a path of the file system; null with the reason in error when it cannot play.
    static std::unique_ptr<MusicPlayer> Open(const std::string& path, std::string& error);
    ~MusicPlayer();
    MusicPlayer(const MusicPlayer&) = delete;
    MusicPlayer& operator=(const MusicPlayer&) = delete;

    bool Run();
    // Pauses; the position is kept.
    bool Stop();
    bool Rewind();
    // Whether the player is playing or on its way to playing (the target of a pending change).
    bool IsRunning() const;
    // Takes the messages waiting on the bus without waiting; true when the end of the stream is
    // among them. Errors are described in error (empty when there was none).
    bool TakeEndOfStream(std::string& error);

    // Volume in hundredths of a decibel (0 full, negative quieter).
    void SetVolume(int32_t millibels);
    // The linear gain the volume came to.
    double GetGain() const;
    // Seconds played since the start of the file; negative when unknown.
    double GetPosition() const;

private:
    struct Impl;
    explicit MusicPlayer(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform
