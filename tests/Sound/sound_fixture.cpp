#include "Sound/sound_fixture.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>


namespace soundtest {
namespace {

void PutU16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(v & 0xFF);
    out.push_back((v >> 8) & 0xFF);
}
void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}

// Points OpenAL Soft at its wave-file backend before any device opens (the test main's null
// backend is only a default). The folder lives as long as the program.
class OutputConfiguration {
public:
    OutputConfiguration() {
        const std::filesystem::path config = folder_ / "alsoft.conf";
        output_ = folder_ / "mixed.wav";
        std::ofstream(config) << "[general]\nfrequency = " << kOutputRate
                              << "\nchannels = stereo\nsample-type = int16\nstereo-mode = speakers\n"
                                 "hrtf = false\noutput-limiter = false\ndither = false\n"
                                 "[wave]\nfile = "
                              << output_.string() << "\n";
        setenv("ALSOFT_DRIVERS", "wave", 1);
        setenv("ALSOFT_CONF", config.c_str(), 1);
    }
    const std::filesystem::path& Output() const { return output_; }

private:
    testsupport::TempDir folder_;
    std::filesystem::path output_;
};

const OutputConfiguration g_output;

}  // namespace

std::vector<uint8_t> FormatBody(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
    std::vector<uint8_t> body;
    const uint16_t blockAlign = static_cast<uint16_t>(channels * bits / 8);
    PutU16(body, tag);
    PutU16(body, channels);
    PutU32(body, rate);
    PutU32(body, rate * blockAlign);
    PutU16(body, blockAlign);
    PutU16(body, bits);
    return body;
}

std::vector<uint8_t> Samples16(const std::vector<int16_t>& samples) {
    std::vector<uint8_t> bytes;
    for (int16_t s : samples) PutU16(bytes, static_cast<uint16_t>(s));
    return bytes;
}

std::vector<uint8_t> WaveBytes(const std::vector<WaveChunk>& chunks, int64_t declaredRiffSize) {
    std::vector<uint8_t> body;
    for (const WaveChunk& chunk : chunks) {
        body.insert(body.end(), chunk.id.begin(), chunk.id.end());
        PutU32(body, static_cast<uint32_t>(chunk.declaredSize >= 0 ? chunk.declaredSize : chunk.body.size()));
        body.insert(body.end(), chunk.body.begin(), chunk.body.end());
        if (chunk.body.size() & 1) body.push_back(0);
    }
    std::vector<uint8_t> file = {'R', 'I', 'F', 'F'};
    PutU32(file, static_cast<uint32_t>(declaredRiffSize >= 0 ? declaredRiffSize : body.size() + 4));
    file.insert(file.end(), {'W', 'A', 'V', 'E'});
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

std::vector<uint8_t> PcmWave16(uint16_t channels, uint32_t rate, const std::vector<int16_t>& samples) {
    return WaveBytes({{"fmt ", FormatBody(1, channels, rate, 16)}, {"data", Samples16(samples)}});
}

void WriteFile(const testsupport::WorkingFolder& folder, const std::string& relative, const std::vector<uint8_t>& bytes) {
    folder.Write(relative, std::string(bytes.begin(), bytes.end()));
}

std::filesystem::path MixedOutputPath() { return g_output.Output(); }

// The wave backend writes an extensible format block; only its channel count and the data
// chunk matter here.
MixedOutput ReadMixedOutput() {
    std::ifstream file(MixedOutputPath(), std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    MixedOutput output;
    for (size_t position = 12; position + 8 <= bytes.size();) {
        uint32_t size = 0;
        std::memcpy(&size, &bytes[position + 4], 4);
        const size_t body = position + 8;
        if (std::memcmp(&bytes[position], "fmt ", 4) == 0 && body + 4 <= bytes.size()) {
            output.channels = bytes[body + 2];
        } else if (std::memcmp(&bytes[position], "data", 4) == 0) {
            const size_t available = std::min<size_t>(size, bytes.size() - body);
            output.samples.resize(available / 2);
            std::memcpy(output.samples.data(), &bytes[body], output.samples.size() * 2);
            break;
        }
        position = body + size;
    }
    return output;
}

bool WaitUntilSilent(const CNSound& sound) {
    for (int i = 0; i < 500 && sound.IsPlaying(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return !sound.IsPlaying();
}

}  // namespace soundtest
