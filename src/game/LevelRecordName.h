#pragma once
#include <cstdint>
#include <string>

// What the name of a level file's object record asks for. Trailing decimal digits are dropped
// first (tree12 is the model tree), then:
//   "player"     the player car's start (no object);
//   "chk..."     a check point: the digits or "-" after "chk" are its number text, the character
//                after them is skipped, the rest is the model (chk12_flag: 12, flag);
//   "src..."     a spawn source whose key is the name from its fifth character on (src_walker:
//                walker; no object);
//   otherwise    a placed model, after the list prefixes below, tried in this order, each one
//                that matches stripping "<prefix><n>_" from the name (fw_2_wall: n = 2, wall):
//
//     prefix  list                        numbers  list index
//     fw_     stage gates                 1..20    n - 1
//     sfw_    stage targets               1..20    n - 1
//     cfw_    check-point glass walls     1..20    n - 1
//     csfw_   check-point barriers        0..19    n      (csfw_0_ is shown at load)
//     sfw2_   check-point targets         0..19    n
//     fw2_    check-point gates           1..20    n - 1
//
// The first prefix that matched decides the list. A number outside its range, not decimal, or
// not ended by "_" puts the object in no list (error says why): the model is the text after the
// "_" when there is one, else the name as it stood.
enum class LevelRecordKind { Player, CheckPoint, SpawnSource, Model };
enum class LevelList { None, StageGate, StageTarget, CheckPointGlass, CheckPointBarrier, CheckPointTarget,
                       CheckPointGate };

struct SPLevelRecordName {
    LevelRecordKind kind = LevelRecordKind::Model;
    // The model to load (without ".rdf"), or the spawn source's key.
    std::string model;
    LevelList list = LevelList::None;
    // The prefix's number n and the list it selects (0..19).
    int32_t number = 0;
    int32_t listIndex = 0;
    // A check point's number text and its value (the leading decimal number, 0 without one).
    std::string numberText;
    int32_t checkPointNumber = 0;
    // Why a prefix's number was refused; empty when none was.
    std::string error;
};

SPLevelRecordName ClassifyLevelRecord(const std::string& storedName);

// The leading decimal number of the text (an optional '-', then digits), 0 without one; values
// beyond the int32 range are clamped.
int32_t LeadingNumber(const std::string& text);
