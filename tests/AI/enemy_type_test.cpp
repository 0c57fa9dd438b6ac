// The enemy kinds: Data\ai.dat lines, kind files, and the prototypes the AI task builds from them
// once.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "AI/AI_Entity.h"
#include "AI/AI_Task.h"
#include "platform/PathResolver.h"
#include "support/WorkingFolder.h"

namespace {

std::vector<SPEnemyTypeLine> Types(const std::string& text)
{
    return ParseEnemyTypes(reinterpret_cast<const uint8_t*>(text.data()), text.size(), "Data\\ai.dat");
}

SPKindFile Kind(const std::string& text)
{
    SPKindFile kind;
    ParseKindFile(reinterpret_cast<const uint8_t*>(text.data()), text.size(), "Data\\Ai\\k", kind);
    return kind;
}

TEST(EnemyTypeTest, AnAiLineFillsEveryFieldWithItsScale)
{
    const auto lines = Types("scav 40 1.2 6 0.5 20 10 1 0 \"hmgun2\" 2 3.5 0 1 0 scav.txt oil1 \"scav run\" 150 1.25\n");
    ASSERT_EQ(lines.size(), 1u);
    const SPEnemyTypeLine& line = lines[0];
    EXPECT_EQ(line.kind, "scav");
    EXPECT_EQ(line.type.health, 40.0f);
    EXPECT_EQ(line.type.heightOffset, 1.2f);
    EXPECT_EQ(line.type.speed, 6.0f);
    EXPECT_EQ(line.type.loseRange, 1.0f);
    EXPECT_EQ(line.type.fireRange, 30.0f);
    EXPECT_EQ(line.type.keepAwayRange, 12.0f);
    EXPECT_TRUE(line.type.canFire);
    EXPECT_FALSE(line.type.isMelee);
    EXPECT_EQ(line.type.weaponName, "hmgun2");
    EXPECT_EQ(line.type.meleeCount, 2);
    EXPECT_EQ(line.type.pushFactor, 3.5f);
    EXPECT_EQ(line.type.forward, (PVector3{0, 1, 0}));
    EXPECT_EQ(line.kindFileName, "scav.txt");
    EXPECT_EQ(line.type.goreName, "oil1");
    EXPECT_EQ(line.loopSound, "scav run");
    EXPECT_EQ(line.type.reward, 150);
    EXPECT_EQ(line.type.animationSpeed, 1.25f);
}

TEST(EnemyTypeTest, ShortLinesReadAsZeroAndLinesWithoutFiniteNumbersAreLeftOut)
{
    const auto lines = Types("lonely\nbad 1 2 inf\nhalf 10 1\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].kind, "lonely");
    EXPECT_EQ(lines[0].type.health, 0.0f);
    EXPECT_EQ(lines[0].type.speed, 0.0f);
    EXPECT_EQ(lines[0].type.weaponName, "");
    EXPECT_EQ(lines[0].kindFileName, "") << "no kind file is named";
    EXPECT_EQ(lines[1].kind, "half");
    EXPECT_EQ(lines[1].type.heightOffset, 1.0f);
    EXPECT_EQ(lines[1].type.reward, 0);
}

TEST(EnemyTypeTest, KindFilesFillTheAttacksAndTheSounds)
{
    const SPKindFile kind = Kind(
        "melee 12 0 1.5 1 0 1 0 4 7\n"
        "melee 20 0 2 1 1 0 0 2 3 25 0 2.5 0\n"
        "melee 30 0 3 1 0 0 1 1 9\n"
        "fire 5 0.5 1 2 0 0 0 0 0 9 -0.5 1 2\n"
        "fire shot.wav\n"
        "run steps.wav\n"
        "death1\n");
    EXPECT_EQ(kind.melee[0].hitFrame, 12);
    EXPECT_EQ(kind.melee[0].hitPoint, (PVector3{0, 1.5f, 1}));
    EXPECT_EQ(kind.melee[0].pushDirection, (PVector3{0, 1, 0}));
    EXPECT_EQ(kind.melee[0].pushStrength, 4.0f);
    EXPECT_EQ(kind.melee[0].damage, 7.0f);
    EXPECT_EQ(kind.melee[0].secondHitFrame, -1) << "the line ends after nine values";
    EXPECT_EQ(kind.melee[1].hitFrame, 30) << "a third melee line replaces the second";
    EXPECT_EQ(kind.melee[1].secondHitFrame, -1);
    EXPECT_EQ(kind.fire.hitFrame, 5);
    EXPECT_EQ(kind.fire.secondHitFrame, 9);
    EXPECT_EQ(kind.fire.secondHitPoint, (PVector3{-0.5f, 1, 2}));
    EXPECT_EQ(kind.animationSounds.at("fire"), "shot.wav") << "a second fire line is a sound";
    EXPECT_EQ(kind.animationSounds.at("run"), "steps.wav");
    EXPECT_EQ(kind.animationSounds.at("death1"), "") << "a single word maps to no sound";
}

TEST(EnemyTypeTest, AttackRecordsStartZeroedWithoutASecondHit)
{
    const SPKindFile kind = Kind("melee 4 nan 1 1 1 1 1 1 1\n");
    for (const CPAttackDef& attack : {kind.melee[0], kind.melee[1], kind.fire}) {
        EXPECT_EQ(attack.hitFrame, 0);
        EXPECT_EQ(attack.secondHitFrame, -1);
        EXPECT_EQ(attack.hitPoint, (PVector3{0, 0, 0}));
        EXPECT_EQ(attack.damage, 0.0f);
    }
}

TEST(EnemyTypeTest, TheMeleeCountInUseStaysWithinTheTwoAttacks)
{
    for (const auto& [count, used] : {std::pair{-3, 1}, {0, 1}, {1, 1}, {2, 2}, {7, 2}}) EXPECT_EQ(MeleeAttackCount(count), used);
}

TEST(EnemyTypeTest, TheTypesAreReadOnceWithTheirKindFilesIntoPrototypes)
{
    testsupport::WorkingFolder folder;
    folder.Write("Data/ai.dat", "walker 10 1 4 50 0 0 0 1 none 2 1 0 1 0 walker.txt blood1 growl 25 1\n"
                                "tank 80 0.5 2 60 40 5 1 0 rocket 0 1 1 0 0 \"\" oil1 \"\" 100 1\n");
    folder.Write("Data/Ai/walker.txt", "melee 8 0 1 1 0 1 0 2 5\nrun steps\n");
    AI_Task ai;
    ai.LoadTypes();
    ASSERT_EQ(ai.EnemyTypes().size(), 2u);
    const AI_Entity* walker = ai.FindPrototype("walker");
    ASSERT_NE(walker, nullptr);
    EXPECT_EQ(walker->health, 10.0f);
    EXPECT_EQ(walker->maxHealth, 10.0f);
    EXPECT_EQ(walker->Type().loseRange, 100.0f);
    EXPECT_EQ(walker->Type().melee[0].damage, 5.0f);
    EXPECT_EQ(walker->Type().animationSounds.at("run"), "steps");
    EXPECT_FLOAT_EQ(walker->position.z, 1.3f);
    EXPECT_EQ(walker->Vehicle()->MaxSpeed(), 4.0f);
    EXPECT_EQ(walker->Vehicle()->MaxForce(), 4.0f);
    EXPECT_EQ(walker->Vehicle()->Forward(), (PVector3{0, 1, 0}));
    EXPECT_FALSE(walker->Model()) << "models come with the mission";
    const AI_Entity* tank = ai.FindPrototype("tank");
    ASSERT_NE(tank, nullptr);
    EXPECT_EQ(tank->pursuitMode, 0.0f) << "only melee kinds draw a pursuit mode";
    EXPECT_TRUE(tank->Type().animationSounds.empty());

    folder.Write("Data/ai.dat", "other 1\n");
    ai.LoadTypes();
    EXPECT_EQ(ai.EnemyTypes().size(), 2u) << "a later level load reads nothing";
    EXPECT_EQ(ai.FindPrototype("other"), nullptr);
    EXPECT_EQ(ai.GetPrototypes().size(), 2u) << "looking a kind up adds nothing";
}

// A melee kind closes in until 5/6 of its distance to the car is within the shorter reach of its
// attacks in use, so it starts striking from 6/5 of that reach: the first attack's blows (its
// first point and, when it has one, its second) must reach that far, or the first blow of a kind
// that stops where it may strike never lands. Kinds whose first blow is a blast end there anyway.
TEST(EnemyTypeTest, TheSampleMeleeKindsFirstAttackReachesWhereTheyStartStriking)
{
    namespace fs = std::filesystem;
    testsupport::WorkingFolder folder;
    fs::create_directories(folder.Path() / "data");
    fs::copy(fs::path(VX_SAMPLE_DATA) / "data" / "ai", folder.Path() / "data" / "ai", fs::copy_options::recursive);
    fs::copy(fs::path(VX_SAMPLE_DATA) / "data" / "ai.dat", folder.Path() / "data" / "ai.dat");
    platform::InvalidateListings();
    AI_Task ai;
    ai.LoadTypes();
    int checked = 0;
    for (const auto& [kind, type] : ai.EnemyTypes()) {
        if (!type.isMelee || type.weaponName == "explosion") continue;
        float reach = Vec3Length(type.melee[0].hitPoint);
        if (MeleeAttackCount(type.meleeCount) > 1) reach = std::min(reach, Vec3Length(type.melee[1].hitPoint));
        const float strikesFrom = reach * 6.0f / 5.0f;
        const CPAttackDef& first = type.melee[0];
        EXPECT_GE(Vec3Length(first.hitPoint), strikesFrom) << kind << ": its first blow";
        if (first.secondHitFrame >= 0) EXPECT_GE(Vec3Length(first.secondHitPoint), strikesFrom) << kind << ": its second blow";
        ++checked;
    }
    EXPECT_GE(checked, 1) << "the walker fights in melee";
}

}  // namespace
