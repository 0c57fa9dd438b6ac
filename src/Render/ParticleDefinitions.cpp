#include "Render/ParticleDefinitions.h"

#include <algorithm>

#include "core/FieldNumbers.h"
#include "core/Fields.h"
#include "core/PFile.h"
#include "core/PLog.h"
#include "core/PTextReader.h"
#include "core/Result.h"
#include "core/TextHelpers.h"

namespace {

int32_t IntField(const std::vector<std::string>& fields, size_t index) { return AtoI(FieldAt(fields, index)); }

// False when a number of the keys is not finite.
bool ParseKeys(const std::string& text, std::vector<SPColourKey>& keys) {
    keys.clear();
    if (text.empty()) return true;
    bool finite = true;
    for (const std::string& group : SplitFields(text, ",")) {
        const std::vector<std::string> values = SplitFields(group, ":");
        CPFieldNumbers numbers(values);
        const float alpha = numbers.Float(0);
        const float red = numbers.Float(1);
        const float green = numbers.Float(2);
        const float blue = numbers.Float(3);
        const float size = numbers.Float(4);
        keys.push_back({alpha, red, green, blue, size});
        finite = finite && numbers.AllFinite();
    }
    return finite;
}

}  // namespace

bool ParseEffectLine(const std::string& line, SPEffectDefinition& definition) {
    const std::vector<std::string> fields = SplitFields(line, " ");
    definition = SPEffectDefinition();
    definition.name = FieldAt(fields, 0);
    definition.texture = FieldAt(fields, 1);
    definition.effectFile = FieldAt(fields, 2);
    definition.columns = IntField(fields, 3);
    definition.rows = IntField(fields, 4);
    definition.frameValue = IntField(fields, 5);
    definition.darken = IntField(fields, 6) != 0;
    definition.layer = IntField(fields, 7);
    return ParseKeys(FieldAt(fields, 8), definition.keys);
}

bool ParseEmitterLine(const std::string& line, std::string& name, SPEmitterInfo& emitter) {
    const std::vector<std::string> fields = SplitFields(line, " ");
    CPFieldNumbers numbers(fields);
    name = FieldAt(fields, 0);
    emitter = SPEmitterInfo();
    emitter.effect = FieldAt(fields, 1);
    emitter.life = numbers.Float(2);
    if (emitter.life > 0.0f) emitter.life = std::max(emitter.life, kShortestParticleLife);
    emitter.size = numbers.Float(3);
    emitter.growth = numbers.Float(4);
    emitter.fade = IntField(fields, 5) != 0;
    emitter.speed = numbers.Float(6);
    emitter.spread = IntField(fields, 7);
    emitter.direction = numbers.Vector(8);
    emitter.acceleration = numbers.Vector(11);
    emitter.jitter = numbers.Vector(14);
    return numbers.AllFinite();
}

bool ParseFlameLine(const std::string& line, SPFlameDefinition& flame) {
    const std::vector<std::string> fields = SplitFields(line, ";");
    CPFieldNumbers numbers(fields);
    flame = SPFlameDefinition();
    flame.emitterNames = SplitFields(FieldAt(fields, 0), ",");
    flame.interval = numbers.Float(1);
    flame.lifetime = numbers.Float(2);
    flame.extra = numbers.Float(3);
    return numbers.AllFinite();
}

bool ReadDefinitionLines(const std::string& path, std::vector<std::string>& lines) {
    lines.clear();
    CPFile file(path);
    if (file.Load() != S_OK) {
        GetLog()->Print(0, "%s cannot be read: no definitions from it\n", path.c_str());
        return false;
    }
    CPTextReader reader(file.GetData(), file.GetSize());
    std::string line;
    while (reader.ReadLine(line)) lines.push_back(line);
    return true;
}
