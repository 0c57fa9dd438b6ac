#include "platform/MusicPlayer.h"

#include "platform/AudioDevice.h"
#include "platform/Locale.h"
#include "platform/Media.h"

#include <gst/gst.h>

#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <thread>

namespace platform {
namespace {

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

// Stops and frees pipelines on a thread of its own: stopping one waits for GStreamer's threads.
// Whatever is still waiting at program exit is stopped before the exit.
class Disposal {
public:
    ~Disposal() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        if (worker_.joinable()) worker_.join();
    }

    void Add(GstElement* pipeline) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!worker_.joinable()) worker_ = std::thread(&Disposal::Work, this);
        waiting_.push_back(pipeline);
        changed_.notify_all();
    }

    void WaitUntilDone() {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return waiting_.empty() && !busy_; });
    }

private:
    void Work() {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            changed_.wait(lock, [&] { return stopping_ || !waiting_.empty(); });
            if (waiting_.empty()) return;
            GstElement* pipeline = waiting_.front();
            waiting_.pop_front();
            busy_ = true;
            lock.unlock();
            gst_element_set_state(pipeline, GST_STATE_NULL);
            gst_object_unref(pipeline);
            lock.lock();
            busy_ = false;
            changed_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<GstElement*> waiting_;
    bool busy_ = false;
    bool stopping_ = false;
    std::thread worker_;
};

Disposal& GetDisposal() {
    static Disposal disposal;
    return disposal;
}

}  // namespace

struct MusicPlayer::Impl {
    GstElement* pipeline = nullptr;
    GstBus* bus = nullptr;

    ~Impl() {
        if (bus) gst_object_unref(bus);
        if (!pipeline) return;
        g_object_set(pipeline, "mute", TRUE, nullptr);
        GetDisposal().Add(pipeline);
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

std::unique_ptr<MusicPlayer> MusicPlayer::Open(const std::string& path, bool loop, std::string& error) {
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

    // Reading and decoding start on GStreamer's threads; the bus tells when the file is ready.
    const GstStateChangeReturn change = gst_element_set_state(impl->pipeline, GST_STATE_PAUSED);
    KeepNumericLocaleC();
    if (change == GST_STATE_CHANGE_FAILURE) {
        error = impl->TakeError();
        if (error.empty()) error = "cannot play";
        return nullptr;
    }
    return std::unique_ptr<MusicPlayer>(new MusicPlayer(std::move(impl), loop));
}

void MusicPlayer::WaitUntilClosed() { GetDisposal().WaitUntilDone(); }

MusicPlayer::MusicPlayer(std::unique_ptr<Impl> impl, bool loop) : impl_(std::move(impl)), loop_(loop) {}
MusicPlayer::~MusicPlayer() = default;

bool MusicPlayer::Run() {
    wantsToRun_ = true;
    if (!ready_) return true;
    if (rewind_) SeekToStart(true);
    rewind_ = false;
    return gst_element_set_state(impl_->pipeline, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
}

bool MusicPlayer::Stop() {
    wantsToRun_ = false;
    return gst_element_set_state(impl_->pipeline, GST_STATE_PAUSED) != GST_STATE_CHANGE_FAILURE;
}

void MusicPlayer::Rewind() { rewind_ = true; }

// The first preroll: a looping file is given its segment before anything is played (the flush
// then drops only the prerolled block), then it runs when that was asked for.
void MusicPlayer::OnReady() {
    ready_ = true;
    rewind_ = false;
    if (loop_) SeekToStart(true);
    if (wantsToRun_) Run();
}

// A segment seek ends in a "segment done" message instead of the end of the stream, and a seek
// without a flush queues the next repeat right behind the one that is playing.
void MusicPlayer::SeekToStart(bool flush) {
    int flags = GST_SEEK_FLAG_ACCURATE;
    if (flush) flags |= GST_SEEK_FLAG_FLUSH;
    if (loop_) flags |= GST_SEEK_FLAG_SEGMENT;
    gst_element_seek(impl_->pipeline, 1.0, GST_FORMAT_TIME, static_cast<GstSeekFlags>(flags), GST_SEEK_TYPE_SET, 0,
                     GST_SEEK_TYPE_NONE, GST_CLOCK_TIME_NONE);
}

MusicPlayer::Events MusicPlayer::TakeEvents() {
    Events events;
    const auto types = static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR | GST_MESSAGE_ASYNC_DONE |
                                                   GST_MESSAGE_SEGMENT_DONE);
    while (GstMessage* message = gst_bus_pop_filtered(impl_->bus, types)) {
        switch (GST_MESSAGE_TYPE(message)) {
        case GST_MESSAGE_ASYNC_DONE:
            if (!ready_) OnReady();
            break;
        case GST_MESSAGE_SEGMENT_DONE:
            if (loop_) SeekToStart(false);
            break;
        case GST_MESSAGE_EOS: events.ended = true; break;
        default:
            if (events.error.empty()) events.error = TakeErrorMessage(message);
            break;
        }
        gst_message_unref(message);
    }
    return events;
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
