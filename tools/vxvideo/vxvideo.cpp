// vxvideo: writes an Ogg video (Theora pictures, Vorbis sound) of solid colours, one per second.
//
//     vxvideo <out.ogg> <width> <height> <pictures per second> <RRGGBB>...
//
// Exit codes: 0 written, 1 the video could not be written, 2 bad arguments.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/VideoWriter.h"

namespace {

bool ReadNumber(const char* text, unsigned long maximum, int base, unsigned long& value)
{
    char* end = nullptr;
    value = std::strtoul(text, &end, base);
    return end != text && *end == '\0' && value > 0 && value <= maximum;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 6) {
        std::fprintf(stderr, "usage: vxvideo <out.ogg> <width> <height> <pictures per second> <RRGGBB>...\n");
        return 2;
    }
    platform::ColourVideo video;
    unsigned long width = 0, height = 0, rate = 0;
    if (!ReadNumber(argv[2], 4096, 10, width) || !ReadNumber(argv[3], 4096, 10, height) ||
        !ReadNumber(argv[4], 60, 10, rate)) {
        std::fprintf(stderr, "vxvideo: sizes 1..4096 and 1..60 pictures per second\n");
        return 2;
    }
    video.width = static_cast<uint32_t>(width);
    video.height = static_cast<uint32_t>(height);
    video.picturesPerSecond = static_cast<uint32_t>(rate);
    for (int i = 5; i < argc; ++i) {
        unsigned long colour = 0;
        const std::string text = argv[i];
        if (text.size() != 6 || (!ReadNumber(argv[i], 0xFFFFFF, 16, colour) && text != "000000")) {
            std::fprintf(stderr, "vxvideo: colours are RRGGBB, not %s\n", argv[i]);
            return 2;
        }
        video.colours.push_back(static_cast<uint32_t>(colour));
    }
    std::string error;
    if (!platform::WriteColourVideo(argv[1], video, error)) {
        std::fprintf(stderr, "vxvideo: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    return 0;
}
