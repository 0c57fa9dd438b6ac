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
    double time = 0.0;   // seconds from the start of the video
};

// A video file decoded by GStreamer, with its sound. The caller decides which picture shows:
// AdvanceTo(t) moves to the newest picture whose time is at most t seconds since Start, so the
// pictures follow the game's clock rather than the wall clock; the sound plays through the
// default audio output in real time (with VX_MEDIA_SILENT=1 in the environment it is decoded and
// dropped, as the tests do). Decoding runs on GStreamer's threads, a few pictures ahead.
//
// Nothing here waits long: opening waits at most kOpenWait for the first picture, and a picture
// that is due but not decoded yet is waited for at most kFrameWait, after which the stream counts
// as stalled and later calls do not wait until a picture arrives again.
class VideoStream {
public:
    static constexpr int kOpenWaitMilliseconds = 5000;
    static constexpr int kFrameWaitMilliseconds = 250;

    enum class Progress {
        Unchanged,  // no newer picture is due
        NewFrame,   // CurrentFrame is a newer picture
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
    // Moves to the newest picture due at the given seconds since Start.
    Progress AdvanceTo(double seconds, std::string& error);
    // The picture moved to last; its pixels are null before the first.
    const VideoFrame& CurrentFrame() const { return current_; }

    // Loudness of the sound, 0 (silent) to 1 (as recorded).
    void SetVolume(double volume);

private:
    struct Pipeline;
    explicit VideoStream(std::unique_ptr<Pipeline> pipeline);
    bool TakeSample(void* sample);
    void DropSamples();

    std::unique_ptr<Pipeline> pipeline_;
    uint32_t width_ = 0;
    uint32_t height_ = 0;
    VideoFrame current_;
    bool stalled_ = false;
    bool ended_ = false;
    double endTime_ = 0.0;
};

}  // namespace platform
