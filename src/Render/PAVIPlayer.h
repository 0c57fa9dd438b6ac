#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/PTask.h"
#include "core/Singleton.h"

namespace platform {
class VideoStream;
struct VideoFrame;
}  // namespace platform
namespace platform::gfx {
class Texture;
}

// The video player: plays a file of Data\Video into the texture cache's built-in texture "video",
// which interface screens show like any other texture. The texture cache makes the program's
// only player. Play prepares a video; added to the kernel (the script function PlayVideo gives it
// priority 400) the task starts it, and each pass shows the newest picture due by the video's own
// clock, which runs with its sound in real time whatever the game's clock does (a paused game
// still plays its videos to the end). A pass uploads one picture at most. At the end of the video
// every script of the category "interface" gets the command "video_end" (once) and the video
// stops; the task stays in the kernel until Stop. The end goes through the input tape
// (platform/InputTape.h): a replay ends the video in the pass the recording saw it end.
//
// The texture has the video's sides rounded up to the next powers of two (VideoPicture.h),
// 32-bit when the screenBPP setting is 32, R5G6B5 otherwise; the picture fills its top-left part.
// A picture larger than the texture is shrunk to fit, never written past it. The texture lives in
// the managed pool, so device resets leave it alone; it is reused by the next video of the same
// rounded size and depth.
class CPAVIPlayer : public IPTask, public TSingleton<CPAVIPlayer> {
public:
    CPAVIPlayer();
    ~CPAVIPlayer() override;

    // Prepares Data\Video\<name> (on disk: videos are not read from data packs) without starting
    // it. S_OK, or E_FAIL with the reason in the log when the file is missing, unreadable or
    // undecodable or there is no device; then the player holds no video and "video" is the
    // built-in texture again.
    int32_t Play(const std::string& name);

    // Starts the prepared video from its beginning, then the task rule.
    bool Start() override;
    // Shows the newest picture due, or ends the video.
    void Update() override;
    // Stops the video (the last picture stays in the texture); the kernel then removes the task.
    void Stop() override;
    int32_t GetType() const override { return 3; }
    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CPAVIPlayer"; }

    bool IsPlaying() const { return m_playing; }
    // The video prepared by the last Play; null when it failed.
    const platform::VideoStream* GetStream() const { return m_stream.get(); }
    // The texture the pictures go to; null before the first successful Play.
    const platform::gfx::Texture* GetTexture() const { return m_texture.get(); }
    // Writes a picture into the texture's top-left part, shrunk when it is larger than the
    // texture. False without a texture or when the device refuses the upload.
    bool ShowPicture(const platform::VideoFrame& picture);

private:
    bool PrepareTexture(uint32_t width, uint32_t height);
    void ShowInCache(bool playing);
    void Fail(const std::string& name, const std::string& reason);
    void End();

    std::unique_ptr<platform::VideoStream> m_stream;
    std::unique_ptr<platform::gfx::Texture> m_texture;
    uint32_t m_textureWidth = 0;
    uint32_t m_textureHeight = 0;
    int32_t m_textureBits = -1;
    bool m_playing = false;
    // The stream broke and said so; a replay may keep the video running until its recorded end.
    bool m_brokeOff = false;
    std::vector<uint8_t> m_shrunk;  // a picture larger than the texture, fitted into it
};

// The video player, null before its construction and after its destruction.
inline CPAVIPlayer* GetAVIPlayer() { return CPAVIPlayer::Instance(); }
