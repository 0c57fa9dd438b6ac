#include "AnimationSources.h"

#include <cmath>
#include <cstring>
#include <sstream>

namespace vxmodel {

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr size_t kMinKeys = 3;

struct PartKeys {
    std::string name;
    std::vector<float> durations;
    std::vector<PMatrix> keys;
};

void Append(std::vector<uint8_t>& bytes, const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    bytes.insert(bytes.end(), p, p + size);
}

void AppendInt(std::vector<uint8_t>& bytes, int32_t value) { Append(bytes, &value, sizeof(value)); }
void AppendFloat(std::vector<uint8_t>& bytes, float value) { Append(bytes, &value, sizeof(value)); }

PMatrix KeyMatrix(float degrees, float x, float y, float z) {
    return MatrixRotationZ(degrees * kPi / 180.0f) * MatrixTranslation(x, y, z);
}

bool ParseKeys(const std::string& text, std::vector<PartKeys>& parts, std::string& error) {
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        line = line.substr(0, line.find('#'));
        std::istringstream fields(line);
        std::string word;
        if (!(fields >> word)) continue;
        const std::string where = "line " + std::to_string(number) + ": ";
        if (word == "part") {
            parts.emplace_back();
            if (!(fields >> parts.back().name)) return error = where + "a part needs a name", false;
        } else if (word == "key") {
            if (parts.empty()) return error = where + "a key before any part", false;
            float seconds = 0.0f, degrees = 0.0f, x = 0.0f, y = 0.0f, z = 0.0f;
            if (!(fields >> seconds >> degrees)) return error = where + "a key needs seconds and degrees", false;
            fields >> x >> y >> z;
            parts.back().durations.push_back(seconds);
            parts.back().keys.push_back(KeyMatrix(degrees, x, y, z));
        } else {
            return error = where + "unknown item " + word, false;
        }
    }
    for (const PartKeys& part : parts) {
        if (part.keys.size() < kMinKeys) return error = "part " + part.name + " has fewer than three keys", false;
    }
    if (parts.empty()) return error = "no parts", false;
    return true;
}

}  // namespace

bool BuildAnimatedFile(const modelfile::SPMeshFile& frames, const std::string& nodeName, float frameTicks,
                       modelfile::SPAnimatedFile& file, std::string& error) {
    if (frames.nodes.empty()) return error = "no frames", false;
    if (!(frameTicks > 0.0f)) return error = "the frame time must be positive", false;
    file = {};
    file.root.name = nodeName;
    file.root.animation.frameTimeTicks = frameTicks;
    for (const modelfile::SPMeshNode& node : frames.nodes) {
        if (!node.children.empty()) return error = "a frame has nested parts", false;
        file.root.animation.frames.push_back({node.vertices, node.indices});
    }
    return true;
}

bool BuildPartAnimationFile(const std::string& text, std::vector<uint8_t>& bytes, std::string& error) {
    std::vector<PartKeys> parts;
    if (!ParseKeys(text, parts, error)) return false;
    bytes.clear();
    AppendInt(bytes, static_cast<int32_t>(parts.size()));
    for (const PartKeys& part : parts) {
        AppendInt(bytes, static_cast<int32_t>(part.name.size()));
        Append(bytes, part.name.data(), part.name.size());
        AppendInt(bytes, static_cast<int32_t>(part.keys.size()));
        for (size_t k = 0; k < part.keys.size(); ++k) {
            AppendFloat(bytes, part.durations[k]);
            for (int column = 0; column < 3; ++column) {
                for (int row = 0; row < 4; ++row) AppendFloat(bytes, part.keys[k].m[row][column]);
            }
        }
    }
    return true;
}

}  // namespace vxmodel
