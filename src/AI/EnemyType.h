#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "math/PVector3.h"

// One attack of an enemy kind: the animation frames of its first and second blow or shot, their
// points (and muzzles) in the enemy's frame, and for melee what a blow does to the player's car.
// The length of a melee attack's hitPoint is also its reach.
struct CPAttackDef {
    int32_t hitFrame = 0;
    int32_t secondHitFrame = -1;  // -1: no second blow
    PVector3 hitPoint{0.0f, 0.0f, 0.0f};
    PVector3 secondHitPoint{0.0f, 0.0f, 0.0f};
    PVector3 pushDirection{0.0f, 0.0f, 0.0f};
    float pushStrength = 0.0f;
    float damage = 0.0f;
};

using AnimationSoundMap = std::unordered_map<std::string, std::string>;

// What a kind file (Data\Ai\<name>) gives a kind: two melee attacks, a ranged attack and the
// sound of each animation or melee hit.
struct SPKindFile {
    CPAttackDef melee[2];
    CPAttackDef fire;
    AnimationSoundMap animationSounds;
};

// One enemy kind: a line of Data\ai.dat and its kind file.
struct CPEnemyType {
    float health = 0.0f;
    float loseRange = 0.0f;
    float fireRange = 0.0f;
    float keepAwayRange = 0.0f;
    bool canFire = false;
    bool isMelee = false;
    std::string weaponName;
    int32_t meleeCount = 0;
    float heightOffset = 0.0f;
    float speed = 0.0f;
    float pushFactor = 0.0f;
    std::string goreName;
    int32_t reward = 0;
    PVector3 forward{0.0f, 0.0f, 0.0f};
    CPAttackDef melee[2];
    CPAttackDef fire;
    AnimationSoundMap animationSounds;
    float animationSpeed = 0.0f;
};

// A line of Data\ai.dat as read: the kind, the name of its kind file and its looping sound.
struct SPEnemyTypeLine {
    std::string kind;
    CPEnemyType type;
    std::string kindFileName;
    std::string loopSound;
};

// The number of melee attacks a kind really uses: its meleeCount held to 1..2.
int32_t MeleeAttackCount(int32_t meleeCount);

// Reads the kind lines of Data\ai.dat, in file order. A line of the twenty blank-separated tokens
// (quotes group) gives a kind; a token the line lacks reads as "" or 0. A line with a number that
// is not finite is left out, logged against path.
std::vector<SPEnemyTypeLine> ParseEnemyTypes(const uint8_t* data, size_t size, const std::string& path);

// Reads a kind file into kind: the first "melee" line fills melee[0], later ones melee[1]; the
// first "fire" line fills fire; any other line maps its first token (a later "fire" line
// included) to its second in animationSounds. An attack line holds its hit frame, hit point,
// push direction, push strength and damage, then optionally its second hit frame and point; its
// numbers that are not finite leave the line out, logged against path.
void ParseKindFile(const uint8_t* data, size_t size, const std::string& path, SPKindFile& kind);
