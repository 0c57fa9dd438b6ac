#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A frame read back from the back buffer: width × height pixels 0xAARRGGBB, row by row from
// the top.
struct CapturedFrame {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;

    uint32_t Pixel(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y * width + x)]; }
};

// Which drawn frame to write to which PNG file: the value of VX_SCREENSHOT, "<file.png>[:frame]".
struct ScreenshotRequest {
    static constexpr int32_t kDefaultFrame = 10;

    std::string path;   // empty: no screenshot
    int32_t frame = 0;  // counting drawn frames from 1
};

// Reads "<file>" or "<file>:<frame>" (the frame a positive decimal number). Null, an empty
// text, a file name that is missing or a frame that is not a positive number ask for nothing.
ScreenshotRequest ParseScreenshotRequest(const char* value);

// Reads several requests separated by ';' ("a.png:5;b.png:40"), each as ParseScreenshotRequest
// does; those that ask for nothing are left out.
std::vector<ScreenshotRequest> ParseScreenshotRequests(const char* value);

// Writes the frame as an 8-bit RGB PNG file, replacing the file as a whole; false on failure.
bool WriteScreenshot(const std::string& path, const CapturedFrame& frame);
