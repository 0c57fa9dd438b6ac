#include "platform/MusicPlayer.h"

#include "platform/AudioDevice.h"
#include "platform/Locale.h"
#include "platform/Media.h"

#include <gst/gst.h>

#include <cstdlib>

namespace platform {
namespace {

// How long opening waits for the file to preroll, and a state query for a pending change.
constexpr GstClockTime kPrerollTimeout = 5 * GST_SECOND;
constexpr GstClockTime kStateQueryTimeout = GST_MSECOND;
// playbin's "flags": audio only, with its volume and conversion elements.
constexpr guint kAudioOnlyFlags = 0x2 | 0x10;

std::string TakeErrorMessage(GstMessage* message) {
    GError* failure = nullptr;
    gst_message_parse_error(message, &failure, nullptr);
    std::string text = failure ? failure->message : "unknown error";
    if (failure) g_error_free(failure);
    return text;
}

// The sink VX_MUSIC_SINK describes, or null for playbin's default.
GstElement* MakeConfiguredSink(std::string& error) {
    const char* description = std::getenv("VX_MUSIC_SINK");
    if (!description || !*description) return nullptr;
    GError* failure = nullptr;
    GstElement* sink = gst_parse_bin_from_description(description, TRUE, &failure);
    if (failure) {
        error = std::string("VX_MUSIC_SINK: ") + failure->message;
        g_error_free(failure);
    }
    return sink;
}

}  // namespace

struct MusicPlayer::Impl {
    GstElement* pipeline = nullptr;
    GstBus* bus = nullptr;

    ~Impl() {
        if (bus) gst_object_unref(bus);
        if (pipeline) {
            gst_element_set_state(pipeline, GST_STATE_NULL);
            gst_object_unref(pipeline);
        }
    }

    // The first error waiting on the bus, or "".
    std::string TakeError() {
        std::string error;
        while (GstMessage* message = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR)) {
            if (error.empty()) error = TakeErrorMessage(message);
            gst_message_unref(message);
        }
        return error;
    }
};

std::unique_ptr<MusicPlayer> MusicPlayer::Open(const std::string& path, std::string& error) {
    error.clear();
    if (!InitMedia(error)) return nullptr;
    GError* failure = nullptr;
    gchar* uri = gst_filename_to_uri(path.c_str(), &failure);
    if (!uri) {
        error = failure ? failure->message : "bad path";
        if (failure) g_error_free(failure);
        return nullptr;
    }
    auto impl = std::make_unique<Impl>();
    impl->pipeline = gst_element_factory_make("playbin", nullptr);
    if (!impl->pipeline) {
        g_free(uri);
        error = "GStreamer has no playbin";
        return nullptr;
    }
    gst_object_ref_sink(impl->pipeline);
    g_object_set(impl->pipeline, "uri", uri, "flags", kAudioOnlyFlags, nullptr);
    g_free(uri);
    GstElement* sink = MakeConfiguredSink(error);
    if (!error.empty()) {
        if (sink) gst_object_unref(sink);
        return nullptr;
    }
    if (sink) g_object_set(impl->pipeline, "audio-sink", sink, nullptr);
    impl->bus = gst_element_get_bus(impl->pipeline);

    gst_element_set_state(impl->pipeline, GST_STATE_PAUSED);
    const GstStateChangeReturn preroll = gst_element_get_state(impl->pipeline, nullptr, nullptr, kPrerollTimeout);
    KeepNumericLocaleC();
    if (preroll == GST_STATE_CHANGE_FAILURE || preroll == GST_STATE_CHANGE_ASYNC) {
        error = impl->TakeError();
        if (error.empty()) error = preroll == GST_STATE_CHANGE_ASYNC ? "the file did not start in time" : "cannot play";
        return nullptr;
    }
    return std::unique_ptr<MusicPlayer>(new MusicPlayer(std::move(impl)));
}

MusicPlayer::MusicPlayer(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
MusicPlayer::~MusicPlayer() = default;

bool MusicPlayer::Run() {
    return gst_element_set_state(impl_->pipeline, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
}

bool MusicPlayer::Stop() {
    return gst_element_set_state(impl_->pipeline, GST_STATE_PAUSED) != GST_STATE_CHANGE_FAILURE;
}

bool MusicPlayer::Rewind() {
    return gst_element_seek_simple(impl_->pipeline, GST_FORMAT_TIME,
                                   static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE), 0);
}

bool MusicPlayer::IsRunning() const {
    GstState current = GST_STATE_NULL;
    GstState pending = GST_STATE_VOID_PENDING;
    gst_element_get_state(impl_->pipeline, &current, &pending, kStateQueryTimeout);
    const GstState target = pending != GST_STATE_VOID_PENDING ? pending : current;
    return target == GST_STATE_PLAYING;
}

bool MusicPlayer::TakeEndOfStream(std::string& error) {
    error.clear();
    bool ended = false;
    const auto types = static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR);
    while (GstMessage* message = gst_bus_pop_filtered(impl_->bus, types)) {
        if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS) {
            ended = true;
        } else if (error.empty()) {
            error = TakeErrorMessage(message);
        }
        gst_message_unref(message);
    }
    return ended;
}

void MusicPlayer::SetVolume(int32_t millibels) {
    g_object_set(impl_->pipeline, "volume", static_cast<double>(GainFromMillibels(millibels)), nullptr);
}

double MusicPlayer::GetGain() const {
    double gain = 0.0;
    g_object_get(impl_->pipeline, "volume", &gain, nullptr);
    return gain;
}

double MusicPlayer::GetPosition() const {
    gint64 position = 0;
    if (!gst_element_query_position(impl_->pipeline, GST_FORMAT_TIME, &position)) return -1.0;
    return static_cast<double>(position) / GST_SECOND;
}

}  // namespace platform
