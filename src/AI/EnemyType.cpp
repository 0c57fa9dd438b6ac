#include "AI/EnemyType.h"

#include <algorithm>
#include <vector>

#include "game/DataFileReader.h"

namespace {

constexpr size_t kTypeTokens = 20;
// An attack line: the keyword, nine values, then four optional ones.
constexpr size_t kAttackRequiredTokens = 10;
constexpr size_t kAttackTokens = 14;

PVector3 ReadVector(FieldCursor& cursor)
{
    PVector3 v{};
    cursor.Float(v.x);
    cursor.Float(v.y);
    cursor.Float(v.z);
    return v;
}

bool ReadTypeLine(const std::string& line, SPEnemyTypeLine& read, std::string& error)
{
    FieldCursor cursor(SplitFields(line, " ", kTypeTokens));
    CPEnemyType& type = read.type;
    int32_t flag = 0;
    cursor.Text(read.kind);
    cursor.Float(type.health);
    cursor.Float(type.heightOffset);
    cursor.Float(type.speed);
    cursor.Float(type.loseRange);
    type.loseRange *= 2.0f;
    cursor.Float(type.fireRange);
    type.fireRange *= 1.5f;
    cursor.Float(type.keepAwayRange);
    type.keepAwayRange *= 1.2f;
    cursor.Int(flag);
    type.canFire = flag != 0;
    cursor.Int(flag);
    type.isMelee = flag != 0;
    cursor.Text(type.weaponName);
    cursor.Int(type.meleeCount);
    cursor.Float(type.pushFactor);
    type.forward = ReadVector(cursor);
    cursor.Text(read.kindFileName);
    cursor.Text(type.goreName);
    cursor.Text(read.loopSound);
    cursor.Int(type.reward);
    cursor.Float(type.animationSpeed);
    error = cursor.GetError();
    return error.empty();
}

bool ReadAttackLine(const std::vector<std::string>& tokens, CPAttackDef& attack, std::string& error)
{
    CPAttackDef read;
    const bool hasSecond = tokens.size() > kAttackRequiredTokens;
    FieldCursor cursor(tokens);
    std::string keyword;
    cursor.Text(keyword);
    cursor.Int(read.hitFrame);
    read.hitPoint = ReadVector(cursor);
    read.pushDirection = ReadVector(cursor);
    cursor.Float(read.pushStrength);
    cursor.Float(read.damage);
    if (hasSecond) {
        cursor.Int(read.secondHitFrame);
        read.secondHitPoint = ReadVector(cursor);
    }
    error = cursor.GetError();
    if (!error.empty()) return false;
    attack = read;
    return true;
}

}  // namespace

int32_t MeleeAttackCount(int32_t meleeCount) { return std::clamp(meleeCount, 1, 2); }

std::vector<SPEnemyTypeLine> ParseEnemyTypes(const uint8_t* data, size_t size, const std::string& path)
{
    std::vector<SPEnemyTypeLine> lines;
    for (const SPNumberedLine& line : SplitNumberedLines(data, size)) {
        SPEnemyTypeLine read;
        std::string error;
        if (ReadTypeLine(line.text, read, error)) {
            lines.push_back(std::move(read));
        } else {
            ReportRefusedLine(path, line.number, error);
        }
    }
    return lines;
}

void ParseKindFile(const uint8_t* data, size_t size, const std::string& path, SPKindFile& kind)
{
    int32_t meleeLines = 0;
    bool fireRead = false;
    for (const SPNumberedLine& line : SplitNumberedLines(data, size)) {
        const std::vector<std::string> tokens = SplitFields(line.text, " ", kAttackTokens);
        const std::string& first = tokens.empty() ? line.text : tokens[0];
        CPAttackDef* attack = nullptr;
        if (first == "melee") {
            attack = &kind.melee[meleeLines == 0 ? 0 : 1];
            ++meleeLines;
        } else if (first == "fire" && !fireRead) {
            attack = &kind.fire;
            fireRead = true;
        }
        if (!attack) {
            kind.animationSounds[first] = tokens.size() > 1 ? tokens[1] : std::string();
            continue;
        }
        std::string error;
        if (!ReadAttackLine(tokens, *attack, error)) ReportRefusedLine(path, line.number, error);
    }
}
