#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// What a test video shows: one solid colour (0xXXRRGGBB) per second, a given number of
// pictures per second, and, when asked, a quiet tone as its sound.
struct ColourVideo {
    std::vector<uint32_t> colours;
    uint32_t width = 64;
    uint32_t height = 48;
    uint32_t picturesPerSecond = 10;
    bool withSound = true;
    // False: the pictures carry no time stamps and no picture rate (JPEG pictures one after the
    // other in a multipart stream, without sound), as some files come.
    bool timed = true;
};

// Writes the video as Theora pictures and Vorbis sound in an Ogg file (or, untimed, as a
// multipart stream of JPEG pictures), with GStreamer's own encoders (for sample data and tests;
// the game never writes videos). False, with the reason in error, when GStreamer cannot encode
// or the file cannot be written.
bool WriteColourVideo(const std::string& path, const ColourVideo& video, std::string& error);

}  // namespace platform
