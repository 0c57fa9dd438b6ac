#include "platform/VideoStream.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>

#include "platform/Media.h"

namespace platform {
namespace {

bool SilentMedia()
{
    const char* silent = std::getenv("VX_MEDIA_SILENT");
    return silent != nullptr && std::strcmp(silent, "1") == 0;
}

// The text of the first error waiting on the bus, or empty.
std::string PopError(GstBus* bus)
{
    GstMessage* message = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR);
    if (message == nullptr) return {};
    GError* error = nullptr;
    gchar* debug = nullptr;
    gst_message_parse_error(message, &error, &debug);
    std::string text = error != nullptr ? error->message : "unknown error";
    if (error != nullptr) g_error_free(error);
    g_free(debug);
    gst_message_unref(message);
    return text;
}

// Whether the sample's picture carries a time stamp to be shown at.
bool IsTimed(GstSample* sample)
{
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    return buffer != nullptr && GST_BUFFER_PTS_IS_VALID(buffer);
}

}  // namespace

struct VideoStream::Pipeline {
    GstElement* playbin = nullptr;
    GstElement* sink = nullptr;
    GstBus* bus = nullptr;
    GstSample* current = nullptr;  // the sample whose picture is mapped in frame
    GstVideoFrame frame{};

    ~Pipeline()
    {
        ReleaseCurrent();
        if (playbin != nullptr) gst_element_set_state(playbin, GST_STATE_NULL);
        if (bus != nullptr) gst_object_unref(bus);
        if (sink != nullptr) gst_object_unref(sink);
        if (playbin != nullptr) gst_object_unref(playbin);
    }

    void ReleaseCurrent()
    {
        if (current == nullptr) return;
        gst_video_frame_unmap(&frame);
        gst_sample_unref(current);
        current = nullptr;
    }
};

std::unique_ptr<VideoStream> VideoStream::Open(const std::string& path, VideoPixels pixels, std::string& error)
{
    if (!InitMedia(error)) return nullptr;
    // Only a regular file: opening a pipe or a device could wait for ever.
    std::error_code failed;
    FILE* file = std::filesystem::is_regular_file(path, failed) ? std::fopen(path.c_str(), "rb") : nullptr;
    if (file == nullptr) {
        error = "it is no file that can be read";
        return nullptr;
    }
    std::fclose(file);
    GError* failure = nullptr;
    gchar* uri = gst_filename_to_uri(path.c_str(), &failure);
    if (uri == nullptr) {
        error = failure != nullptr ? failure->message : "the path is no file name";
        if (failure != nullptr) g_error_free(failure);
        return nullptr;
    }

    auto pipeline = std::make_unique<Pipeline>();
    pipeline->playbin = gst_element_factory_make("playbin", nullptr);
    pipeline->sink = gst_element_factory_make("appsink", nullptr);
    if (pipeline->playbin == nullptr || pipeline->sink == nullptr) {
        g_free(uri);
        error = "GStreamer lacks playbin or appsink";
        return nullptr;
    }
    gst_object_ref_sink(pipeline->playbin);
    gst_object_ref_sink(pipeline->sink);
    GstCaps* caps = gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING,
                                        pixels == VideoPixels::Bgrx32 ? "BGRx" : "RGB16", nullptr);
    // The sink holds a picture from the moment it is due until it is taken.
    g_object_set(pipeline->sink, "caps", caps, "sync", TRUE, "max-buffers", 1u, "drop", FALSE,
                 "enable-last-sample", FALSE, nullptr);
    gst_caps_unref(caps);
    g_object_set(pipeline->playbin, "uri", uri, "video-sink", pipeline->sink, nullptr);
    g_free(uri);
    if (SilentMedia()) {
        GstElement* silence = gst_element_factory_make("fakesink", nullptr);
        if (silence != nullptr) {
            g_object_set(silence, "sync", FALSE, nullptr);
            g_object_set(pipeline->playbin, "audio-sink", silence, nullptr);
        }
    }
    pipeline->bus = gst_element_get_bus(pipeline->playbin);

    GstStateChangeReturn result = gst_element_set_state(pipeline->playbin, GST_STATE_PAUSED);
    if (result != GST_STATE_CHANGE_FAILURE) {
        result = gst_element_get_state(pipeline->playbin, nullptr, nullptr,
                                       static_cast<GstClockTime>(kOpenWaitMilliseconds) * GST_MSECOND);
    }
    if (result != GST_STATE_CHANGE_SUCCESS && result != GST_STATE_CHANGE_NO_PREROLL) {
        error = PopError(pipeline->bus);
        if (error.empty()) error = result == GST_STATE_CHANGE_ASYNC ? "no picture in time" : "it cannot be decoded";
        return nullptr;
    }
    GstSample* first = gst_app_sink_try_pull_preroll(GST_APP_SINK(pipeline->sink), 0);
    GstVideoInfo info;
    const bool known = first != nullptr && gst_video_info_from_caps(&info, gst_sample_get_caps(first));
    // A timed picture that was not taken in time gives way to the next one due; untimed ones
    // wait to be taken, one at a time.
    if (first != nullptr) g_object_set(pipeline->sink, "drop", IsTimed(first), nullptr);
    if (first != nullptr) gst_sample_unref(first);
    if (!known || GST_VIDEO_INFO_WIDTH(&info) <= 0 || GST_VIDEO_INFO_HEIGHT(&info) <= 0) {
        error = "it holds no picture";
        return nullptr;
    }
    std::unique_ptr<VideoStream> stream(new VideoStream(std::move(pipeline)));
    stream->width_ = static_cast<uint32_t>(GST_VIDEO_INFO_WIDTH(&info));
    stream->height_ = static_cast<uint32_t>(GST_VIDEO_INFO_HEIGHT(&info));
    return stream;
}

VideoStream::VideoStream(std::unique_ptr<Pipeline> pipeline) : pipeline_(std::move(pipeline)) {}

VideoStream::~VideoStream() = default;

bool VideoStream::Start()
{
    Stop();
    return gst_element_set_state(pipeline_->playbin, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
}

void VideoStream::Stop()
{
    gst_element_set_state(pipeline_->playbin, GST_STATE_READY);
    DropSamples();
    gst_bus_set_flushing(pipeline_->bus, TRUE);  // forget the messages of the last run
    gst_bus_set_flushing(pipeline_->bus, FALSE);
}

void VideoStream::DropSamples()
{
    pipeline_->ReleaseCurrent();
    current_ = {};
    ended_ = false;
}

void VideoStream::SetVolume(double volume)
{
    g_object_set(pipeline_->playbin, "volume", volume < 0.0 ? 0.0 : (volume > 1.0 ? 1.0 : volume), nullptr);
}

double VideoStream::GetVolume() const
{
    double volume = 0.0;
    g_object_get(pipeline_->playbin, "volume", &volume, nullptr);
    return volume;
}

VideoStream::Progress VideoStream::Advance(std::string& error)
{
    if (ended_) return Progress::Ended;
    error = PopError(pipeline_->bus);
    if (!error.empty()) return Progress::Failed;
    GstAppSink* sink = GST_APP_SINK(pipeline_->sink);
    if (GstSample* sample = gst_app_sink_try_pull_sample(sink, 0)) {
        return TakeSample(sample) ? Progress::NewFrame : Progress::Unchanged;
    }
    // The end comes to the sink when the stream's clock reaches the end of the last picture.
    if (gst_app_sink_is_eos(sink)) {
        ended_ = true;
        return Progress::Ended;
    }
    return Progress::Unchanged;
}

// Makes the sample's picture the current one; false (and the sample dropped) when it cannot be
// read.
bool VideoStream::TakeSample(void* taken)
{
    auto* sample = static_cast<GstSample*>(taken);
    GstVideoInfo info;
    GstVideoFrame frame;
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    if (buffer == nullptr || !gst_video_info_from_caps(&info, gst_sample_get_caps(sample)) ||
        !gst_video_frame_map(&frame, &info, buffer, GST_MAP_READ)) {
        gst_sample_unref(sample);
        return false;
    }
    pipeline_->ReleaseCurrent();
    pipeline_->current = sample;
    pipeline_->frame = frame;
    current_.pixels = static_cast<const uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0));
    current_.width = static_cast<uint32_t>(GST_VIDEO_FRAME_WIDTH(&frame));
    current_.height = static_cast<uint32_t>(GST_VIDEO_FRAME_HEIGHT(&frame));
    current_.pitch = static_cast<uint32_t>(GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0));
    return true;
}

}  // namespace platform
