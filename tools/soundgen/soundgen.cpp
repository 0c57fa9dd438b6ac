// soundgen <sounds folder> <music sources folder>
// Synthesises the sample game's sounds into <sounds folder> (PCM wave files and Sounds.dat, the
// registry of named sounds) and the music tracks into <music sources folder> as wave files, which
// the build encodes to Ogg Vorbis. Everything is computed, so the output is the same every run.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

// A deterministic noise source in -1..1.
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed) {}
    double Next() {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<double>(state_ >> 8) / static_cast<double>(1u << 23) - 1.0;
    }

private:
    uint32_t state_;
};

// A one-pole low-pass filter; cutoff as a factor 0..1 of the signal kept per sample.
class LowPass {
public:
    double Step(double in, double factor) { return value_ += factor * (in - value_); }

private:
    double value_ = 0.0;
};

using Signal = std::function<double(int index, double time)>;

std::vector<double> Render(double seconds, const Signal& signal) {
    std::vector<double> samples(static_cast<size_t>(seconds * kRate));
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = signal(static_cast<int>(i), i / double(kRate));
    return samples;
}

void PutU16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(v & 0xFF);
    out.push_back((v >> 8) & 0xFF);
}
void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}
void PutTag(std::vector<uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

// A mono PCM wave file of 8 or 16 bits; samples are clipped to -1..1.
bool WriteWave(const std::string& path, const std::vector<double>& samples, int bits) {
    std::vector<uint8_t> data;
    for (double s : samples) {
        const double clipped = std::fmax(-1.0, std::fmin(1.0, s));
        if (bits == 8) {
            data.push_back(static_cast<uint8_t>(std::lround(128.0 + clipped * 127.0)));
        } else {
            PutU16(data, static_cast<uint16_t>(static_cast<int16_t>(std::lround(clipped * 32767.0))));
        }
    }
    const uint32_t blockAlign = bits / 8;
    std::vector<uint8_t> file;
    PutTag(file, "RIFF");
    PutU32(file, static_cast<uint32_t>(4 + 8 + 16 + 8 + data.size() + (data.size() & 1)));
    PutTag(file, "WAVE");
    PutTag(file, "fmt ");
    PutU32(file, 16);
    PutU16(file, 1);
    PutU16(file, 1);
    PutU32(file, kRate);
    PutU32(file, kRate * blockAlign);
    PutU16(file, blockAlign);
    PutU16(file, bits);
    PutTag(file, "data");
    PutU32(file, static_cast<uint32_t>(data.size()));
    file.insert(file.end(), data.begin(), data.end());
    if (data.size() & 1) file.push_back(0);
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return std::fclose(out) == 0 && written;
}

double Envelope(double time, double attack, double decay) {
    return (time < attack ? time / attack : 1.0) * std::exp(-time * decay);
}

// An engine hum: 55 whole periods of 110 Hz, so it loops without a click.
std::vector<double> MotorHigh() {
    return Render(0.5, [](int, double t) {
        const double w = 2.0 * kPi * 110.0 * t;
        return 0.35 * std::sin(w) + 0.2 * std::sin(2.0 * w) + 0.12 * std::sin(3.0 * w) + 0.08 * std::sin(5.0 * w);
    });
}

std::vector<double> Explosion(uint32_t seed, double seconds, double decay, double darkness) {
    Noise noise(seed);
    LowPass rumble;
    return Render(seconds, [&](int, double t) {
        return 1.6 * rumble.Step(noise.Next(), darkness) * Envelope(t, 0.005, decay) +
               0.5 * std::sin(2.0 * kPi * 45.0 * t) * Envelope(t, 0.01, decay * 1.5);
    });
}

std::vector<double> Flame() {
    Noise noise(7);
    LowPass hiss;
    return Render(0.6, [&](int i, double t) {
        const double crackle = (i % 97 == 0) ? noise.Next() : 0.0;
        return 0.6 * hiss.Step(noise.Next(), 0.3) * Envelope(t, 0.03, 2.0) + 0.8 * crackle;
    });
}

std::vector<double> Rocket(uint32_t seed, double pitch) {
    Noise noise(seed);
    LowPass whoosh;
    return Render(0.8, [&, pitch](int, double t) {
        const double sweep = 0.05 + 0.25 * (t / 0.8);
        return 0.7 * whoosh.Step(noise.Next(), sweep) * Envelope(t, 0.05, 2.5) +
               0.2 * std::sin(2.0 * kPi * pitch * (1.0 + t) * t) * Envelope(t, 0.02, 4.0);
    });
}

std::vector<double> GunShot(uint32_t seed, double thump) {
    Noise noise(seed);
    LowPass crack;
    return Render(0.12, [&, thump](int, double t) {
        return 0.8 * crack.Step(noise.Next(), 0.6) * Envelope(t, 0.001, 40.0) +
               0.6 * std::sin(2.0 * kPi * thump * t) * Envelope(t, 0.002, 30.0);
    });
}

std::vector<double> Plasma(double from, double to) {
    double phase = 0.0;
    return Render(0.4, [&, from, to](int, double t) {
        const double frequency = from + (to - from) * (t / 0.4) + 30.0 * std::sin(2.0 * kPi * 18.0 * t);
        phase += 2.0 * kPi * frequency / kRate;
        return 0.5 * (std::sin(phase) + 0.3 * std::sin(3.0 * phase)) * Envelope(t, 0.01, 6.0);
    });
}

// A short clean tone gliding from one pitch to another: the interface's clicks.
std::vector<double> Chirp(double from, double to, double seconds) {
    double phase = 0.0;
    return Render(seconds, [&, from, to, seconds](int, double t) {
        phase += 2.0 * kPi * (from + (to - from) * (t / seconds)) / kRate;
        return 0.5 * std::sin(phase) * Envelope(t, 0.005, 12.0);
    });
}

// Notes of equal length, each a plucked tone with a soft bass under it.
std::vector<double> Tune(const std::vector<double>& notes, double bass, double noteSeconds) {
    return Render(notes.size() * noteSeconds, [&, bass, noteSeconds](int, double t) {
        const size_t index = static_cast<size_t>(t / noteSeconds);
        const double local = t - index * noteSeconds;
        const double f = notes[index < notes.size() ? index : notes.size() - 1];
        return 0.4 * std::sin(2.0 * kPi * f * t) * Envelope(local, 0.01, 5.0) +
               0.15 * std::sin(2.0 * kPi * 2.0 * f * t) * Envelope(local, 0.01, 9.0) +
               0.2 * std::sin(2.0 * kPi * bass * t);
    });
}

struct Sound {
    const char* name;
    std::vector<double> samples;
    int bits;
    bool is3D;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: soundgen <sounds folder> <music sources folder>\n");
        return 2;
    }
    const std::string sounds = argv[1];
    const std::string music = argv[2];
    const std::vector<Sound> all = {
        {"motor_high", MotorHigh(), 16, true},
        {"big_exp", Explosion(1, 1.2, 3.0, 0.08), 16, false},
        {"fire_gun_flame", Flame(), 8, true},
        {"rocket2", Rocket(2, 300.0), 16, true},
        {"rocket3", Rocket(3, 220.0), 16, true},
        {"hmgun1", GunShot(11, 150.0), 16, true},
        {"hmgun2", GunShot(12, 120.0), 16, true},
        {"hmgun3", GunShot(13, 95.0), 8, true},
        {"plazma1", Plasma(900.0, 300.0), 16, true},
        {"plazma2", Plasma(1200.0, 400.0), 16, true},
        {"plazma3", Plasma(700.0, 200.0), 8, true},
        {"change_weapon", Chirp(600.0, 1200.0, 0.15), 16, false},
        {"undo_weapon", Chirp(300.0, 200.0, 0.2), 16, false},
        {"super_strike", Explosion(21, 2.0, 1.5, 0.15), 16, false},
        {"enemy_run", Flame(), 8, true},
        {"enemy_hit", GunShot(21, 70.0), 8, true},
        {"enemy_growl", Rocket(4, 140.0), 8, false},
    };
    std::string registry = "// The game's named sounds: name;wave file in Data\\Sounds;3d for a placed sound\n";
    for (const Sound& sound : all) {
        if (!WriteWave(sounds + "/" + sound.name + ".wav", sound.samples, sound.bits)) {
            std::fprintf(stderr, "soundgen: cannot write %s/%s.wav\n", sounds.c_str(), sound.name);
            return 1;
        }
        registry += std::string(sound.name) + ";" + sound.name + ".wav" + (sound.is3D ? ";3d" : "") + "\n";
    }
    FILE* out = std::fopen((sounds + "/sounds.dat").c_str(), "wb");
    const bool registryWritten = out && std::fputs(registry.c_str(), out) >= 0;
    if (!out || std::fclose(out) != 0 || !registryWritten) {
        std::fprintf(stderr, "soundgen: cannot write %s/sounds.dat\n", sounds.c_str());
        return 1;
    }
    const bool tracks = WriteWave(music + "/track1.wav", Tune({523.3, 659.3, 784.0, 659.3}, 130.8, 0.3), 16) &&
                        WriteWave(music + "/track2.wav", Tune({440.0, 523.3, 659.3, 880.0}, 110.0, 0.3), 16);
    if (!tracks) {
        std::fprintf(stderr, "soundgen: cannot write the music sources in %s\n", music.c_str());
        return 1;
    }
    return 0;
}
