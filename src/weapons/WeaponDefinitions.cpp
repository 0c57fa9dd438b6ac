#include "weapons/WeaponDefinitions.h"

#include <cstring>

#include "core/Fields.h"
#include "core/PTokenizer.h"

namespace {

// The next word that is not empty: a run of blanks parts two words as one blank does.
bool NextWord(CPTokenizer& words, std::string& word) {
    while (words.NextToken(word)) {
        if (!word.empty()) return true;
    }
    return false;
}

}  // namespace

bool SplitWeaponLine(const std::string& line, SPWeaponLine& result) {
    CPTokenizer words(line, " ", true);
    std::string word;
    result = {};
    if (!NextWord(words, result.name) || !NextWord(words, result.key)) return false;
    std::string parameters;
    while (words.NextToken(word)) parameters += word;
    result.fields = SplitFields(parameters, ";");
    return true;
}

int MinimumFieldCount(const std::string& key) {
    static const struct {
        const char* key;
        int count;
    } kMinimum[] = {
        {"simple", 6},  {"s_explosion", 20}, {"s_explosion1", 20}, {"g_explosion", 21}, {"rocket", 11},
        {"s_rocket", 11}, {"trasser", 11},   {"gauss", 9},         {"gib", 4},          {"gib1", 8},
        {"plazma", 12},   {"s_plazma", 14},  {"sparks", 8},        {"blood", 6},        {"oil", 6},
        {"grelk", 6},     {"mine", 4},       {"emp", 6},           {"bonus", 7},        {"super", 2},
        {"super2", 2},    {"super3", 2},
    };
    for (const auto& entry : kMinimum) {
        if (key == entry.key) return entry.count;
    }
    return -1;
}
