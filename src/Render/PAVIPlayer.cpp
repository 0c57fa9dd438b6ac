#include "Render/PAVIPlayer.h"

#include <algorithm>
#include <cmath>

#include "Render/DeviceError.h"
#include "Render/PRender.h"
#include "Render/PTextureCache.h"
#include "Render/VideoPicture.h"
#include "core/PLog.h"
#include "core/Result.h"
#include "core/SettingsVariables.h"
#include "platform/InputTape.h"
#include "platform/PathResolver.h"
#include "platform/VideoStream.h"
#include "platform/gfx/Device.h"
#include "platform/gfx/Texture.h"
#include "script/PScriptManager.h"

using platform::gfx::Format;

namespace {

constexpr const char* kSource = "Render\\PAVIPlayer";
const std::string kFolder = "Data\\Video\\";
const std::string kVideoTexture = "video";
const std::string kPlayingName = "VIDEO";

// The sound's loudness for the soundVolume setting: -7000 × (1 - volume)^4 hundredths of a
// decibel, 0 at full volume and -70 dB at none; a setting beyond 0 .. 1 is held to it, one that
// is no number counts as none.
double SoundGain(float volume)
{
    const float audible = std::isnan(volume) ? 0.0f : std::clamp(volume, 0.0f, 1.0f);
    const double quiet = 1.0 - static_cast<double>(audible);
    const int32_t hundredths = static_cast<int32_t>(-7000.0 * quiet * quiet * quiet * quiet);
    return std::pow(10.0, hundredths / 2000.0);
}

}  // namespace

CPAVIPlayer::CPAVIPlayer() = default;

CPAVIPlayer::~CPAVIPlayer() = default;

int32_t CPAVIPlayer::Play(const std::string& name)
{
    m_stream.reset();
    m_playing = false;
    ShowInCache(false);
    CPRender* render = GetRender();
    if (!render || !render->GetDevice()) {
        Fail(name, "there is no device");
        return E_FAIL;
    }
    std::string path;
    if (!platform::ResolveFile(kFolder + name, path)) {
        Fail(name, "there is no such file");
        return E_FAIL;
    }
    const bool deep = g_screenBPP == 32;
    std::string error;
    m_stream = platform::VideoStream::Open(path, deep ? platform::VideoPixels::Bgrx32 : platform::VideoPixels::Rgb565,
                                           error);
    if (!m_stream) {
        Fail(name, error);
        return E_FAIL;
    }
    if (!PrepareTexture(m_stream->Width(), m_stream->Height())) {
        m_stream.reset();
        Fail(name, "the device refuses its texture");
        return E_FAIL;
    }
    m_stream->SetVolume(SoundGain(g_soundVolume));
    ShowInCache(true);
    return S_OK;
}

void CPAVIPlayer::Fail(const std::string& name, const std::string& reason)
{
    ReportDeviceError(kSource, __LINE__, "VFW_E_CANNOT_RENDER", "the video " + kFolder + name + " cannot be played: " + reason);
}

bool CPAVIPlayer::PrepareTexture(uint32_t width, uint32_t height)
{
    platform::gfx::Device& device = *GetRender()->GetDevice();
    const uint32_t largest = static_cast<uint32_t>(device.Caps().maxTextureSize);
    const uint32_t textureWidth = VideoTextureSide(width, largest);
    const uint32_t textureHeight = VideoTextureSide(height, largest);
    if (m_texture && !m_texture->IsLost() && m_textureBits == g_screenBPP && m_textureWidth == textureWidth &&
        m_textureHeight == textureHeight) {
        return true;
    }
    m_texture.reset();
    const Format format = g_screenBPP == 32 ? Format::X8R8G8B8 : Format::R5G6B5;
    auto texture = device.CreateTexture(textureWidth, textureHeight, 1, format, platform::gfx::TextureUsage::Normal,
                                        platform::gfx::Pool::Managed);
    // Black until the first picture arrives.
    const std::vector<uint8_t> black(static_cast<size_t>(platform::gfx::RowPitch(format, textureWidth)) * textureHeight);
    if (!texture || !texture->Update(0, nullptr, black.data(), platform::gfx::RowPitch(format, textureWidth))) {
        return false;
    }
    m_texture = std::move(texture);
    m_textureWidth = textureWidth;
    m_textureHeight = textureHeight;
    m_textureBits = g_screenBPP;
    return true;
}

void CPAVIPlayer::ShowInCache(bool playing)
{
    CPTextureCache* cache = GetTextureCache();
    if (!cache) return;
    TPtr<CPTexture> video = cache->GetTexture(kVideoTexture, true);
    if (playing) {
        video->ShowExternal(m_texture.get(), kPlayingName);
    } else {
        video->ShowExternal(nullptr, kVideoTexture);
    }
}

bool CPAVIPlayer::Start()
{
    if (m_stream && !m_playing) {
        m_playing = m_stream->Start();
        m_brokeOff = false;
        if (!m_playing) GetLog()->Print(0, "The video cannot start\n");
    }
    return IPTask::Start();
}

void CPAVIPlayer::Update()
{
    if (!m_stream || !m_playing) return;
    std::string error;
    const platform::VideoStream::Progress progress = m_stream->Advance(error);
    if (progress == platform::VideoStream::Progress::NewFrame) ShowPicture(m_stream->CurrentFrame());
    const bool streamEnded =
        progress == platform::VideoStream::Progress::Ended || progress == platform::VideoStream::Progress::Failed;
    if (progress == platform::VideoStream::Progress::Failed && !m_brokeOff) {
        ReportDeviceError(kSource, __LINE__, "VFW_E_RUNTIME_ERROR", "the video broke off: " + error);
        m_brokeOff = true;
    }
    // The stream's end follows the wall clock: the input tape keeps the pass it came in, and a
    // replay ends the video in that pass, whatever the stream does.
    if (platform::GetInputTape().VideoEnds(streamEnded)) End();
}

void CPAVIPlayer::End()
{
    if (CPScriptManager* scripts = GetScriptManager()) scripts->SendCommandByCategory("interface", "video_end", "");
    m_stream->Stop();
    m_playing = false;
}

void CPAVIPlayer::Stop()
{
    if (m_stream) m_stream->Stop();
    m_playing = false;
    IPTask::Stop();
}

bool CPAVIPlayer::ShowPicture(const platform::VideoFrame& picture)
{
    if (!m_texture || !picture.pixels || picture.width == 0 || picture.height == 0) return false;
    const uint32_t bytesPerPixel = platform::gfx::BytesPerUnit(m_texture->GetFormat());
    if (picture.width <= m_textureWidth && picture.height <= m_textureHeight) {
        const platform::gfx::Rect area = {0, 0, static_cast<int32_t>(picture.width), static_cast<int32_t>(picture.height)};
        return m_texture->Update(0, &area, picture.pixels, picture.pitch);
    }
    ShrinkPicture({picture.pixels, picture.width, picture.height, picture.pitch}, bytesPerPixel, m_textureWidth,
                  m_textureHeight, m_shrunk);
    return m_texture->Update(0, nullptr, m_shrunk.data(), m_textureWidth * bytesPerPixel);
}
