#include "Render/ParticleDefinitions.h"

#include "core/PFile.h"
#include "core/PLog.h"
#include "core/PTextReader.h"
#include "core/PTokenizer.h"
#include "core/Result.h"
#include "core/TextHelpers.h"

namespace {

std::vector<std::string> Split(const std::string& text, const char* delimiter) {
    std::vector<std::string> fields;
    CPTokenizer tokenizer(text, delimiter, true);
    std::string token;
    while (tokenizer.NextToken(token)) fields.push_back(token);
    return fields;
}

const std::string& Field(const std::vector<std::string>& fields, size_t index) {
    static const std::string kEmpty;
    return index < fields.size() ? fields[index] : kEmpty;
}

float FloatField(const std::vector<std::string>& fields, size_t index) { return AtoF(Field(fields, index)); }
int32_t IntField(const std::vector<std::string>& fields, size_t index) { return AtoI(Field(fields, index)); }

PVector3 VectorField(const std::vector<std::string>& fields, size_t first) {
    return {FloatField(fields, first), FloatField(fields, first + 1), FloatField(fields, first + 2)};
}

std::vector<SPColourKey> ParseKeys(const std::string& text) {
    std::vector<SPColourKey> keys;
    if (text.empty()) return keys;
    for (const std::string& group : Split(text, ",")) {
        const std::vector<std::string> values = Split(group, ":");
        keys.push_back({FloatField(values, 0), FloatField(values, 1), FloatField(values, 2), FloatField(values, 3),
                        FloatField(values, 4)});
    }
    return keys;
}

}  // namespace

SPEffectDefinition ParseEffectLine(const std::string& line) {
    const std::vector<std::string> fields = Split(line, " ");
    SPEffectDefinition definition;
    definition.name = Field(fields, 0);
    definition.texture = Field(fields, 1);
    definition.effectFile = Field(fields, 2);
    definition.columns = IntField(fields, 3);
    definition.rows = IntField(fields, 4);
    definition.frameValue = IntField(fields, 5);
    definition.darken = IntField(fields, 6) != 0;
    definition.layer = IntField(fields, 7);
    definition.keys = ParseKeys(Field(fields, 8));
    return definition;
}

SPEmitterInfo ParseEmitterLine(const std::string& line, std::string& name) {
    const std::vector<std::string> fields = Split(line, " ");
    name = Field(fields, 0);
    SPEmitterInfo emitter;
    emitter.effect = Field(fields, 1);
    emitter.life = FloatField(fields, 2);
    emitter.size = FloatField(fields, 3);
    emitter.growth = FloatField(fields, 4);
    emitter.fade = IntField(fields, 5) != 0;
    emitter.speed = FloatField(fields, 6);
    emitter.spread = IntField(fields, 7);
    emitter.direction = VectorField(fields, 8);
    emitter.acceleration = VectorField(fields, 11);
    emitter.jitter = VectorField(fields, 14);
    return emitter;
}

SPFlameDefinition ParseFlameLine(const std::string& line) {
    const std::vector<std::string> fields = Split(line, ";");
    SPFlameDefinition flame;
    flame.emitterNames = Split(Field(fields, 0), ",");
    flame.interval = FloatField(fields, 1);
    flame.lifetime = FloatField(fields, 2);
    flame.extra = FloatField(fields, 3);
    return flame;
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
