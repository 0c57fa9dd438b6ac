#include "platform/VideoWriter.h"

#include <gst/app/gstappsrc.h>
#include <gst/gst.h>

#include "platform/Media.h"

namespace platform {
namespace {

constexpr uint32_t kSoundRate = 22050;
constexpr GstClockTime kFinishWait = 60 * GST_SECOND;

// The pictures go through appsrc; the sound is a test tone as long as the pictures.
std::string Description(const ColourVideo& video)
{
    const uint32_t seconds = static_cast<uint32_t>(video.colours.size());
    std::string text = "appsrc name=pictures format=time caps=video/x-raw,format=BGRx,width=" +
                       std::to_string(video.width) + ",height=" + std::to_string(video.height) +
                       ",framerate=" + std::to_string(video.picturesPerSecond) +
                       "/1 ! videoconvert ! ";
    if (!video.timed) return text + "jpegenc ! multipartmux ! filesink name=file";
    text += "theoraenc ! oggmux name=mux ! filesink name=file";
    if (video.withSound) {
        // Buffers of a tenth of a second.
        text += " audiotestsrc wave=sine freq=440 volume=0.2 samplesperbuffer=" + std::to_string(kSoundRate / 10) +
                " num-buffers=" + std::to_string(seconds * 10) + " ! audio/x-raw,rate=" + std::to_string(kSoundRate) +
                ",channels=1 ! audioconvert ! vorbisenc ! mux.";
    }
    return text;
}

bool PushPictures(GstAppSrc* source, const ColourVideo& video)
{
    const size_t pixels = static_cast<size_t>(video.width) * video.height;
    const GstClockTime duration = GST_SECOND / video.picturesPerSecond;
    uint64_t index = 0;
    for (uint32_t colour : video.colours) {
        for (uint32_t i = 0; i < video.picturesPerSecond; ++i, ++index) {
            GstBuffer* buffer = gst_buffer_new_allocate(nullptr, pixels * 4, nullptr);
            GstMapInfo map;
            if (buffer == nullptr || !gst_buffer_map(buffer, &map, GST_MAP_WRITE)) return false;
            auto* out = reinterpret_cast<uint32_t*>(map.data);
            for (size_t p = 0; p < pixels; ++p) out[p] = colour | 0xFF000000u;
            gst_buffer_unmap(buffer, &map);
            GST_BUFFER_PTS(buffer) = index * duration;
            GST_BUFFER_DURATION(buffer) = duration;
            if (gst_app_src_push_buffer(source, buffer) != GST_FLOW_OK) return false;
        }
    }
    return gst_app_src_end_of_stream(source) == GST_FLOW_OK;
}

std::string WaitForEnd(GstElement* pipeline)
{
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* message =
        gst_bus_timed_pop_filtered(bus, kFinishWait, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    std::string error;
    if (message == nullptr) {
        error = "the encoders did not finish";
    } else if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
        GError* failure = nullptr;
        gst_message_parse_error(message, &failure, nullptr);
        error = failure != nullptr ? failure->message : "the encoders failed";
        if (failure != nullptr) g_error_free(failure);
    }
    if (message != nullptr) gst_message_unref(message);
    gst_object_unref(bus);
    return error;
}

}  // namespace

bool WriteColourVideo(const std::string& path, const ColourVideo& video, std::string& error)
{
    if (!InitMedia(error)) return false;
    if (video.colours.empty() || video.width == 0 || video.height == 0 || video.picturesPerSecond == 0) {
        error = "an empty video";
        return false;
    }
    GError* failure = nullptr;
    GstElement* pipeline = gst_parse_launch(Description(video).c_str(), &failure);
    if (pipeline == nullptr || failure != nullptr) {
        error = failure != nullptr ? failure->message : "no pipeline";
        if (failure != nullptr) g_error_free(failure);
        if (pipeline != nullptr) gst_object_unref(pipeline);
        return false;
    }
    GstElement* file = gst_bin_get_by_name(GST_BIN(pipeline), "file");
    GstElement* pictures = gst_bin_get_by_name(GST_BIN(pipeline), "pictures");
    g_object_set(file, "location", path.c_str(), nullptr);
    bool written = gst_element_set_state(pipeline, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
    if (written && !PushPictures(GST_APP_SRC(pictures), video)) {
        error = "the pictures could not be encoded";
        written = false;
    }
    if (written) {
        error = WaitForEnd(pipeline);
        written = error.empty();
    } else if (error.empty()) {
        error = "the file cannot be written";
    }
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(file);
    gst_object_unref(pictures);
    gst_object_unref(pipeline);
    return written;
}

}  // namespace platform
