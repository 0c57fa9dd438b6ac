#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// How the pixels of decoded pictures are laid out: 32-bit 0xXXRRGGBB (bytes B, G, R, X) or
// 16-bit R5G6B5 with red in the top bits, both in the machine's byte order.
enum class VideoPixels { Bgrx32, Rgb565 };

// One decoded picture, valid until the stream advances or stops.
struct VideoFrame {
    const uint8_t* pixels = nullptr;  // the top row first
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t pitch = 0;  // bytes from one row to the next
};

// A video file decoded by GStreamer, with its sound. The pictures keep the stream's own time:
// each one becomes due when the stream's clock (the sound output's, or the system's when there
// is no sound) reaches its time stamp, whatever the game's clock does, and Advance takes the
// newest picture due without waiting. Pictures without time stamps are handed over one per
// Advance as they are decoded. The sound plays through the default audio output in real time
// (with VX_MEDIA_SILENT=1 in the environment it is decoded and dropped, as the tests do).
// Decoding runs on GStreamer's threads.
//
// Opening waits at most kOpenWait for the first picture; Start and Stop wait only for
// GStreamer's threads to stop.
class VideoStream {
public:
    static constexpr int kOpenWaitMilliseconds = 5000;

    enum class Progress {
        Unchanged,  // no newer picture is due
        NewFrame,   // CurrentFrame is the next picture
        Ended,      // past the end of the video (the last picture stays current)
        Failed,     // the stream broke; the reason is in error
    };

    // Opens a file on disk, ready to start at its beginning. Null, with the reason in error, when
    // the file cannot be read, holds no picture GStreamer can decode, or has none within kOpenWait.
    static std::unique_ptr<VideoStream> Open(const std::string& path, VideoPixels pixels, std::string& error);
    ~VideoStream();
    VideoStream(const VideoStream&) = delete;
    VideoStream& operator=(const VideoStream&) = delete;

    // The picture size the file reports.
    uint32_t Width() const { return width_; }
    uint32_t Height() const { return height_; }

    // Plays from the beginning (also after Stop or the end). False when GStreamer refuses.
    bool Start();
    // Stops the pictures and the sound; Start plays from the beginning again.
    void Stop();
    // Moves to the newest picture due, if one arrived since the last call; never waits.
    Progress Advance(std::string& error);
    // The picture moved to last; its pixels are null before the first.
    const VideoFrame& CurrentFrame() const { return current_; }

    // Loudness of the sound, a linear gain from 0 (silent) to 1 (as recorded).
    void SetVolume(double volume);
    double GetVolume() const;

private:
    struct Pipeline;
    explicit VideoStream(std::unique_ptr<Pipeline> pipeline);
    bool TakeSample(void* sample);
    void DropSamples();

    std::unique_ptr<Pipeline> pipeline_;
    uint32_t width_ = 0;
    uint32_t height_ = 0;
    VideoFrame current_;
    bool ended_ = false;
};

}  // namespace platform
