#include "Render/Screenshot.h"

#include <png.h>

#include <algorithm>
#include <charconv>
#include <utility>

#include "core/PFileWriter.h"
#include "core/Result.h"

namespace {

bool AllDigits(const std::string& text) {
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

}  // namespace

ScreenshotRequest ParseScreenshotRequest(const char* value) {
    ScreenshotRequest request;
    if (!value || *value == '\0') return request;
    std::string path(value);
    int32_t frame = ScreenshotRequest::kDefaultFrame;
    const size_t colon = path.rfind(':');
    if (colon != std::string::npos && AllDigits(path.substr(colon + 1))) {
        const char* first = value + colon + 1;
        const char* last = value + path.size();
        const auto [end, error] = std::from_chars(first, last, frame);
        if (first == last || error != std::errc() || frame <= 0) return request;
        path.erase(colon);
    }
    if (path.empty()) return request;
    request.path = path;
    request.frame = frame;
    return request;
}

std::vector<ScreenshotRequest> ParseScreenshotRequests(const char* value) {
    std::vector<ScreenshotRequest> requests;
    if (!value) return requests;
    const std::string text(value);
    for (size_t start = 0; start <= text.size();) {
        const size_t end = std::min(text.find(';', start), text.size());
        ScreenshotRequest request = ParseScreenshotRequest(text.substr(start, end - start).c_str());
        if (!request.path.empty()) requests.push_back(std::move(request));
        start = end + 1;
    }
    return requests;
}

bool WriteScreenshot(const std::string& path, const CapturedFrame& frame) {
    if (frame.width <= 0 || frame.height <= 0 ||
        frame.pixels.size() != static_cast<size_t>(frame.width) * static_cast<size_t>(frame.height)) {
        return false;
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(frame.width);
    image.height = static_cast<png_uint_32>(frame.height);
    // Pixels 0xAARRGGBB become bytes B, G, R: the back buffer's alpha carries no meaning.
    std::vector<uint8_t> bgr;
    bgr.reserve(frame.pixels.size() * 3);
    for (uint32_t pixel : frame.pixels) {
        bgr.push_back(static_cast<uint8_t>(pixel));
        bgr.push_back(static_cast<uint8_t>(pixel >> 8));
        bgr.push_back(static_cast<uint8_t>(pixel >> 16));
    }
    image.format = PNG_FORMAT_BGR;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, bgr.data(), 0, nullptr)) return false;
    std::vector<uint8_t> bytes(size);
    if (!png_image_write_to_memory(&image, bytes.data(), &size, 0, bgr.data(), 0, nullptr)) return false;
    CPFileWriter writer(path);
    writer.Write(bytes.data(), static_cast<int32_t>(size));
    return writer.Save() == S_OK;
}
