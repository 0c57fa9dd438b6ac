#include "platform/Media.h"

#include "platform/Locale.h"

#include <gst/gst.h>

namespace platform {
namespace {

struct MediaStart {
    bool ok = false;
    std::string error;
};

MediaStart StartGStreamer() {
    MediaStart start;
    GError* failure = nullptr;
    start.ok = gst_init_check(nullptr, nullptr, &failure);
    if (!start.ok) {
        start.error = std::string("Cannot start GStreamer: ") + (failure ? failure->message : "unknown error");
    }
    if (failure) g_error_free(failure);
    return start;
}

}  // namespace

bool InitMedia(std::string& error) {
    static const MediaStart start = StartGStreamer();
    KeepNumericLocaleC();
    if (!start.ok) error = start.error;
    return start.ok;
}

}  // namespace platform
