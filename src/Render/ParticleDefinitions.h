#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "Render/PEmitterInfo.h"
#include "Render/ParticleColour.h"

// The lines of the particle manager's four definition files, all text (comments and empty lines
// skipped). Effect, spot and emitter lines are fields separated by single blanks, double quotes
// grouping a field with blanks; a missing field reads as "" (0 as a number). The manager leaves
// out an effect or emitter line with a number that is not finite, with a log line; a flame line
// keeps its place (flames are chosen by their position) with such a number read as 0.
//
//   Data\particles.dat, Data\spots.dat:
//     name texture effect columns rows frameValue darken layer keys
//     keys: "alpha:red:green:blue:size,..." (colour 0 to 1; particles only)
//   Data\particlesystems.dat:
//     name effect life size growth fade speed spread dx dy dz ax ay az jx jy jz
//   Data\flames.dat:
//     emitter,emitter,...;interval;lifetime;extra

struct SPEffectDefinition {
    std::string name;
    std::string texture;
    std::string effectFile;
    int32_t columns = 0;
    int32_t rows = 0;
    int32_t frameValue = 0;
    bool darken = false;
    int32_t layer = 0;
    std::vector<SPColourKey> keys;
};

struct SPFlameDefinition {
    std::vector<std::string> emitterNames;
    float interval = 0.0f;
    float lifetime = 0.0f;
    float extra = 0.0f;
};

// Each reads one line into its record and returns false when a number of the line is not finite
// ("inf", "nan", beyond the float range); such a number reads as 0.
bool ParseEffectLine(const std::string& line, SPEffectDefinition& definition);
// The emitter of the line; name receives its name (the first field). A life above 0 but shorter
// than kShortestParticleLife is that long, so that a template's frame rate (frames / life) stays
// finite.
bool ParseEmitterLine(const std::string& line, std::string& name, SPEmitterInfo& emitter);
bool ParseFlameLine(const std::string& line, SPFlameDefinition& flame);

constexpr float kShortestParticleLife = 0.001f;

// The lines of a definition file. A file that cannot be read gives no lines, false and a log
// line naming it.
bool ReadDefinitionLines(const std::string& path, std::vector<std::string>& lines);
