#include "Render/ObjectDescription.h"

#include <algorithm>
#include <climits>

#include "core/PLog.h"
#include "core/PTextReader.h"
#include "core/PTokenizer.h"
#include "core/TextHelpers.h"

namespace {

// Requested buckets of the property maps.
constexpr size_t kBuckets = 100;

// The text before and after the first delimiter of a "key = value" line.
void SplitKeyValue(const std::string& line, std::string& key, std::string& value) {
    CPTokenizer tokenizer(line, "=", true);
    key.clear();
    value.clear();
    tokenizer.NextToken(key);
    tokenizer.NextToken(value);
}

// A scale or speed that is not finite would reach every vertex or frame time: the line is left
// out and the value stays as it was.
void ReadWholeObjectNumber(const SPObjectDescription& description, const std::string& key, const std::string& value,
                           float& number) {
    if (FiniteAtoF(value, number)) return;
    GetLog()->Print(0, "%s: \"%s = %s\" left out: not a finite number\n", description.path.c_str(), key.c_str(),
                    value.c_str());
}

void AddLine(SPObjectDescription& description, PropertyMap* section, const std::string& line) {
    std::string key;
    std::string value;
    SplitKeyValue(line, key, value);
    StrToLower(key);
    StrToLower(value);
    if (key == "sprite") {
        description.sprites.push_back(value);
    } else if (key == "light") {
        description.lights.push_back(value);
    } else if (key == "psystem") {
        description.emitters.push_back(value);
    } else if (key == "scale") {
        ReadWholeObjectNumber(description, key, value, description.scale);
    } else if (key == "speed") {
        ReadWholeObjectNumber(description, key, value, description.speed);
    } else if (section) {
        (*section)[key] = value;
    }
}

}  // namespace

const PropertyMap& SPObjectDescription::PropertiesOf(const std::string& nodeName) const {
    static const PropertyMap empty;
    const auto found = properties.find(nodeName);
    return found == properties.end() ? empty : found->second;
}

SPObjectDescription ParseObjectDescription(const char* text, size_t size, const std::string& path) {
    SPObjectDescription description;
    description.path = path;
    description.properties.reserve(kBuckets);
    CPTextReader reader(text, static_cast<int32_t>(std::min<size_t>(size, INT32_MAX)));
    std::string line;
    if (!reader.ReadLine(line)) return description;
    std::string key;
    SplitKeyValue(line, key, description.value);

    PropertyMap* section = nullptr;
    while (reader.ReadLine(line)) {
        if (reader.IsPlainLine() == 0) {
            StrToLower(line);
            section = &description.properties[line];
            if (section->empty()) section->reserve(kBuckets);
        } else {
            AddLine(description, section, line);
        }
    }
    return description;
}
