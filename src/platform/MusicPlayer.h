#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// One music file played through a GStreamer playbin (audio only). No call waits on the
// pipeline: opening only starts reading the file on GStreamer's threads, and what becomes of it
// (ready, the end reached, a file that cannot be decoded) is learned by polling the bus with
// TakeEvents once a frame.
//
// A looping player plays its file over and over without a gap and without flushing what was
// played: once ready it seeks to a segment of the whole file and queues each repeat as the
// previous one ends. Stop and Rewind flush nothing either; a rewind takes effect at the next Run.
//
// The output is the system's default audio sink, or the sink described by the environment
// variable VX_MUSIC_SINK (a GStreamer description such as "fakesink sync=true"; the tests use
// it, and a file sink there keeps everything that was played).
class MusicPlayer {
public:
    // The file at a path of the file system; null with the reason in error when it cannot even
    // be tried (no such file, GStreamer missing, a bad VX_MUSIC_SINK). A file that turns out not
    // to be playable is told by TakeEvents.
    static std::unique_ptr<MusicPlayer> Open(const std::string& path, bool loop, std::string& error);
    // Silences the player at once; GStreamer's threads are stopped and the output closed on a
    // thread of their own.
    ~MusicPlayer();
    // Waits until every player destroyed so far has closed its output (tests that read a file
    // sink's file).
    static void WaitUntilClosed();
    MusicPlayer(const MusicPlayer&) = delete;
    MusicPlayer& operator=(const MusicPlayer&) = delete;

    // Plays (from the beginning after Rewind); a player that is not ready yet starts when it is.
    bool Run();
    // Pauses; the position is kept.
    bool Stop();
    // The next Run plays from the beginning.
    void Rewind();
    // Whether Run was asked for since the last Stop.
    bool IsRunning() const { return wantsToRun_; }
    bool IsLooping() const { return loop_; }

    struct Events {
        bool ended = false;  // the end of a file that does not loop
        std::string error;   // the first error, or ""
    };
    // Handles the messages waiting on the bus, without waiting.
    Events TakeEvents();

    // Volume in hundredths of a decibel (0 full, negative quieter).
    void SetVolume(int32_t millibels);
    // The linear gain the volume came to.
    double GetGain() const;
    // Seconds played since the start of the file (of this repeat, when looping); negative when
    // unknown.
    double GetPosition() const;

private:
    struct Impl;
    MusicPlayer(std::unique_ptr<Impl> impl, bool loop);
    void OnReady();
    void SeekToStart(bool flush);

    std::unique_ptr<Impl> impl_;
    bool loop_ = false;
    bool ready_ = false;
    bool wantsToRun_ = false;
    bool rewind_ = false;
};

}  // namespace platform
