// Object descriptions (.rdf): the text read as the object loader reads it, and every list it
// splits into fields (the first line's items, sprites, lights, emitters, vertex effects and part
// animations), each field read as a number the way the loader reads it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Render/ObjectDescription.h"
#include "core/Fields.h"
#include "core/TextHelpers.h"

namespace {

void ReadFields(const std::string& text, const char* delimiter) {
    for (const std::string& field : SplitFields(text, delimiter)) {
        float number = 0.0f;
        FiniteAtoF(field, number);
        AtoI(field);
        SplitFields(field, ",");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const SPObjectDescription description = ParseObjectDescription(reinterpret_cast<const char*>(data), size, "fuzz.rdf");
    ReadFields(description.value, ";");
    for (const auto* list : {&description.sprites, &description.lights, &description.emitters}) {
        for (const std::string& value : *list) ReadFields(value, ",");
    }
    for (const auto& [node, properties] : description.properties) {
        description.PropertiesOf(node);
        for (const auto& [key, value] : properties) ReadFields(value, ";");
    }
    return 0;
}
