// vxinput: writes seeded random input as an input recording, which the game plays with
// VX_REPLAY (the soak test's input), and describes a recording.

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "RandomInput.h"
#include "core/PFileWriter.h"
#include "core/Result.h"
#include "platform/InputRecording.h"

namespace {

constexpr const char* kUsage =
    "usage: vxinput random <seed> <seconds> <frame time> <out.rec>   seeded random play, every frame\n"
    "                                                               <frame time> seconds long\n"
    "       vxinput show <file.rec>                                 the seed, passes, frames and events\n";

int Fail(const std::string& message) {
    std::fprintf(stderr, "vxinput: %s\n", message.c_str());
    return 1;
}

bool ReadNumber(const char* text, double low, double high, double& value) {
    char* end = nullptr;
    value = std::strtod(text, &end);
    return end != text && *end == '\0' && value >= low && value <= high;
}

int Random(const char* seedText, const char* secondsText, const char* frameText, const std::string& out) {
    double seed = 0.0, seconds = 0.0, frameTime = 0.0;
    if (!ReadNumber(seedText, 0.0, 4294967295.0, seed) || seed != static_cast<uint32_t>(seed)) {
        return Fail("the seed is a whole number from 0 to 4294967295");
    }
    if (!ReadNumber(secondsText, 0.0, 86400.0, seconds)) return Fail("the seconds are a number from 0 to 86400");
    if (!ReadNumber(frameText, 0.001, 0.999, frameTime)) return Fail("the frame time is from 0.001 to 0.999 seconds");
    const SPRandomInputPlan plan{static_cast<uint32_t>(seed), static_cast<float>(seconds), static_cast<float>(frameTime)};
    const std::vector<uint8_t> bytes = platform::EncodeInputRecording(MakeRandomInput(plan));
    CPFileWriter writer(out);
    writer.Write(bytes.data(), static_cast<int32_t>(bytes.size()));
    return writer.Save() == S_OK ? 0 : Fail("cannot write " + out);
}

int Show(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return Fail("cannot read " + path);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    platform::InputRecording recording;
    std::string error;
    if (!platform::DecodeInputRecording(bytes.data(), bytes.size(), recording, error)) return Fail(path + ": " + error);
    double seconds = 0.0;
    for (const float frame : recording.frameTimes) seconds += frame;
    std::printf("seed %u\npasses %u\nframes %zu (%.3f s)\nevents %zu\n", recording.seed, recording.passCount,
                recording.frameTimes.size(), seconds, recording.events.size());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "random" && argc == 6) return Random(argv[2], argv[3], argv[4], argv[5]);
    if (command == "show" && argc == 3) return Show(argv[2]);
    std::fputs(kUsage, stderr);
    return 2;
}
