// Save games: what a save holds and gives back in every slot, its description, the saves that
// are refused whole, the names that stay inside the saves folder, and a game killed while saving.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "core/PFileWriter.h"
#include "core/PLog.h"
#include "core/Scramble.h"
#include "game/PGameData.h"
#include "game/PSaveGame.h"
#include "math/Truncate.h"
#include "platform/PathResolver.h"
#include "support/WorkingFolder.h"

namespace {

namespace fs = std::filesystem;
using testsupport::ReadBytes;

// The coefficients that a loaded save reloads for its hard-mode flag.
constexpr char kCoefficients[] = "0.5\n2\n0.25\n3\n";

SPCarSetup FullSetup(int32_t variant) {
    SPCarSetup setup;
    setup.weapons = {"hmgun" + std::to_string(variant), "", "gauss"};
    setup.equipment = {"radar", "turbo"};
    setup.bumper = "spikes";
    setup.engine = "v8";
    setup.armor = "plate";
    setup.superWeapon = "super2";
    setup.superWeaponCount = variant;
    setup.mine = "mine1";
    setup.weaponLevels = {variant % 5, 4, 0};
    return setup;
}

class SaveGameTest : public ::testing::Test {
protected:
    void SetUp() override { m_folder.Write("DATA/coeff.dat", kCoefficients); }
    void TearDown() override { GetLog()->SetEnabled(false); }

    // Writes a save file from its unscrambled bytes.
    void WriteSave(const std::string& name, std::vector<uint8_t> bytes) const {
        Scramble(bytes);
        m_folder.Write("DATA/Saves/" + name, std::string(bytes.begin(), bytes.end()));
    }

    SPSaveGame ReadSave(const std::string& name) const {
        const std::string file = ReadBytes(m_folder.Path() / "DATA" / "Saves" / name);
        std::vector<uint8_t> bytes(file.begin(), file.end());
        Unscramble(bytes);
        SPSaveGame save;
        std::string error;
        EXPECT_TRUE(ReadSaveGame(bytes.data(), bytes.size(), save, error)) << error;
        return save;
    }

    testsupport::WorkingFolder m_folder;
};

TEST_F(SaveGameTest, EverySlotGivesBackWhatItSavedAndLeavesTheEditedSetUpAlone) {
    CPGameData data;
    data.strings["mission"] = "Mission";
    data.strings["autosave"] = "Autosave";
    for (int32_t slot = 1; slot <= kSaveSlotCount; ++slot) {
        data.money = 100.0f * slot + 0.9f;
        data.mission = slot;
        data.committedSetup = FullSetup(slot);
        data.score = 1000 + slot;
        data.hardMode = slot % 2 == 0;
        ASSERT_TRUE(data.SaveGame("save" + std::to_string(slot) + ".sav"));
    }
    CPGameData loaded;
    const SPCarSetup edited = FullSetup(99);
    loaded.editedSetup = edited;
    for (int32_t slot = 1; slot <= kSaveSlotCount; ++slot) {
        SCOPED_TRACE(slot);
        ASSERT_TRUE(loaded.LoadGame("save" + std::to_string(slot) + ".sav"));
        EXPECT_EQ(loaded.money, static_cast<float>(100 * slot)) << "money is saved truncated toward zero";
        EXPECT_EQ(loaded.mission, slot);
        EXPECT_EQ(loaded.committedSetup, FullSetup(slot));
        EXPECT_EQ(loaded.score, 1000 + slot);
        EXPECT_EQ(loaded.hardMode, slot % 2 == 0);
        EXPECT_EQ(loaded.editedSetup, edited);
        EXPECT_EQ(loaded.playerDamageFactor, 2.0f) << "the coefficients are reloaded";
        const std::string description = loaded.GetSaveDescription(slot);
        if (slot == kSaveSlotCount) {
            EXPECT_EQ(description, "Autosave");
        } else {
            EXPECT_TRUE(std::regex_match(description, std::regex("Mission " + std::to_string(slot) +
                                                                 ":  - \\d\\d:\\d\\d, \\d\\d/\\d\\d/\\d{4}")))
                << description;
        }
    }
    EXPECT_EQ(loaded.GetSaveDescription(14), "");
}

TEST_F(SaveGameTest, MoneyIsTruncatedTowardZeroAndKeptInTheIntRange) {
    const struct {
        float money;
        int32_t saved;
    } cases[] = {{12.9f, 12}, {-12.9f, -12}, {1e20f, INT32_MAX}, {-1e20f, INT32_MIN}};
    for (const auto& c : cases) {
        CPGameData data;
        data.money = c.money;
        ASSERT_TRUE(data.SaveGame("save1.sav"));
        EXPECT_EQ(ReadSave("save1.sav").money, c.saved) << c.money;
    }
}

TEST_F(SaveGameTest, TheDescriptionNamesTheMissionItsPlanetAndTheTime) {
    CPGameData data;
    data.strings = {{"mission", "Mission"}, {"moon", "Moon"}, {"mars", "Mars"}, {"venus", "Venus"},
                    {"autosave", "Autosave"}};
    std::tm time{};
    time.tm_hour = 14;
    time.tm_min = 5;
    time.tm_mday = 9;
    time.tm_mon = 11;
    time.tm_year = 126;
    const struct {
        int32_t mission;
        const char* name;
        const char* description;
    } cases[] = {
        {0, "save1.sav", "Mission 0: Moon - 14:05, 09/12/2026"},
        {2, "save2.sav", "Mission 2: Mars - 14:05, 09/12/2026"},
        {10, "save2.sav", "Mission 10: Venus - 14:05, 09/12/2026"},
        {11, "save3.sav", "Mission 11:  - 14:05, 09/12/2026"},
        {-1, "save3.sav", "Mission -1:  - 14:05, 09/12/2026"},
        {3, "save13.sav", "Autosave"},
        {3, "Save13.sav", "Mission 3:  - 14:05, 09/12/2026"},  // "jupiter" has no text here
    };
    for (const auto& c : cases) {
        data.mission = c.mission;
        EXPECT_EQ(data.SaveDescription(c.name, time), c.description);
    }
    EXPECT_EQ(data.strings.count("jupiter"), 1u) << "texts are looked up as the scripts do";
}

TEST_F(SaveGameTest, ADamagedSaveLeavesTheGameDataAsItWas) {
    SPSaveGame good;
    good.description = "Mission 1";
    good.money = 500;
    good.mission = 1;
    good.setup = FullSetup(1);
    const std::vector<uint8_t> whole = SaveGameBytes(good);

    auto with = [&](auto change) {
        SPSaveGame save = good;
        change(save);
        return SaveGameBytes(save);
    };
    std::vector<uint8_t> countPastTheEnd = whole;
    countPastTheEnd[4 + good.description.size() + 8] = 0xFF;  // the first weapon's count
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {"empty", {}},
        {"short", std::vector<uint8_t>(whole.begin(), whole.end() - 1)},
        {"overlong", [&] { auto b = whole; b.push_back(0); return b; }()},
        {"string count past the end", countPastTheEnd},
        {"weapon level 5", with([](SPSaveGame& s) { s.setup.weaponLevels[1] = 5; })},
        {"negative weapon level", with([](SPSaveGame& s) { s.setup.weaponLevels[2] = -1; })},
    };
    GetLog()->SetEnabled(true);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteSave("save4.sav", c.bytes);
        CPGameData data;
        data.money = 7.0f;
        data.mission = 3;
        data.committedSetup = FullSetup(3);
        data.score = 9;
        data.hardMode = true;
        ::testing::internal::CaptureStderr();
        EXPECT_FALSE(data.LoadGame("save4.sav"));
        EXPECT_NE(::testing::internal::GetCapturedStderr(), "") << "the refusal is logged";
        EXPECT_EQ(data.money, 7.0f);
        EXPECT_EQ(data.mission, 3);
        EXPECT_EQ(data.committedSetup, FullSetup(3));
        EXPECT_EQ(data.score, 9);
        EXPECT_TRUE(data.hardMode);
        EXPECT_EQ(data.GetSaveDescription(4), "") << "a save that does not load lists as empty";
    }
}

TEST_F(SaveGameTest, EveryValueTheGameHoldsComesBackFromItsSave) {
    const int32_t edges[] = {INT32_MIN, -5, -1, 0, 1, INT32_MAX};
    struct Field {
        const char* name;
        std::function<void(CPGameData&, int32_t)> set;
        std::function<int32_t(const CPGameData&)> get;
    };
    const Field fields[] = {
        {"money", [](CPGameData& d, int32_t v) { d.money = static_cast<float>(v); },
         [](const CPGameData& d) { return TruncateToInt32(d.money); }},
        {"mission", [](CPGameData& d, int32_t v) { d.mission = v; }, [](const CPGameData& d) { return d.mission; }},
        {"score", [](CPGameData& d, int32_t v) { d.score = v; }, [](const CPGameData& d) { return d.score; }},
        {"super-weapon count", [](CPGameData& d, int32_t v) { d.committedSetup.superWeaponCount = v; },
         [](const CPGameData& d) { return d.committedSetup.superWeaponCount; }},
    };
    for (const Field& field : fields) {
        for (int32_t value : edges) {
            SCOPED_TRACE(std::string(field.name) + " " + std::to_string(value));
            CPGameData data;
            data.committedSetup = FullSetup(2);
            field.set(data, value);
            ASSERT_TRUE(data.SaveGame("save6.sav"));
            CPGameData loaded;
            ASSERT_TRUE(loaded.LoadGame("save6.sav"));
            EXPECT_EQ(field.get(loaded), field.get(data));
            EXPECT_NE(loaded.GetSaveDescription(6), "") << "the slot lists the save";
        }
    }
}

TEST_F(SaveGameTest, ALongDescriptionIsCutAndTheSaveStillLoads) {
    SPSaveGame save;
    save.description = std::string(16000, 'd');
    save.mission = 2;
    save.setup = FullSetup(1);
    WriteSave("save5.sav", SaveGameBytes(save));
    EXPECT_EQ(ReadSave("save5.sav").description, std::string(kMaxSaveDescriptionLength, 'd'))
        << "the description is cut on writing";

    // A save written by another program with a long description, ending in a UTF-8 sequence that
    // the cut would split.
    std::vector<uint8_t> bytes = SaveGameBytes(save);
    save.description = std::string(kMaxSaveDescriptionLength - 1, 'e') + "\xC3\xA9" + std::string(9000, 'e');
    CPFileWriter writer("");
    writer.WriteString(save.description);
    std::vector<uint8_t> longOne = writer.GetBuffer();
    const size_t firstLength = 4 + kMaxSaveDescriptionLength;
    longOne.insert(longOne.end(), bytes.begin() + static_cast<std::ptrdiff_t>(firstLength), bytes.end());
    WriteSave("save5.sav", longOne);
    CPGameData data;
    ASSERT_TRUE(data.LoadGame("save5.sav"));
    EXPECT_EQ(data.mission, 2);
    EXPECT_EQ(data.GetSaveDescription(5), std::string(kMaxSaveDescriptionLength - 1, 'e'))
        << "the description is cut on reading, before the sequence it would split";
}

TEST_F(SaveGameTest, OnlyAHardModeFieldOfOneLoadsAsHardMode) {
    for (int32_t field : {0, 1, 2, -1}) {
        std::vector<uint8_t> bytes = SaveGameBytes(SPSaveGame{});
        const size_t hardModeAt = bytes.size() - 4 * 4;
        bytes[hardModeAt] = static_cast<uint8_t>(field);
        for (size_t i = 1; i < 4; ++i) bytes[hardModeAt + i] = field < 0 ? 0xFF : 0;
        WriteSave("save5.sav", bytes);
        CPGameData data;
        data.hardMode = field != 1;
        ASSERT_TRUE(data.LoadGame("save5.sav"));
        EXPECT_EQ(data.hardMode, field == 1) << field;
    }
}

TEST_F(SaveGameTest, NamesThatLeaveTheSavesFolderAreRefused) {
    m_folder.Write("Actions.cfg", "fire;Fire;Space\r\n");
    m_folder.Write("DATA/Saves/keep.sav", "x");
    CPGameData data;
    data.mission = 4;
    GetLog()->SetEnabled(true);
    for (const char* name : {"..\\..\\Actions.cfg", "../../Actions.cfg", "..\\Actions.cfg", "sub\\save1.sav",
                             "sub/save1.sav", "..", ".", "", "a..b"}) {
        SCOPED_TRACE(name);
        ::testing::internal::CaptureStderr();
        EXPECT_FALSE(data.SaveGame(name));
        EXPECT_FALSE(data.LoadGame(name));
        EXPECT_NE(::testing::internal::GetCapturedStderr(), "");
    }
    EXPECT_EQ(ReadBytes(m_folder.Path() / "Actions.cfg"), "fire;Fire;Space\r\n");
    EXPECT_EQ(data.mission, 4);
    std::vector<std::string> saves;
    for (const auto& entry : fs::recursive_directory_iterator(m_folder.Path() / "DATA")) {
        saves.push_back(fs::relative(entry.path(), m_folder.Path()).string());
    }
    std::sort(saves.begin(), saves.end());
    EXPECT_EQ(saves, (std::vector<std::string>{"DATA/Saves", "DATA/Saves/keep.sav", "DATA/coeff.dat"}));
}

TEST_F(SaveGameTest, ASaveThatCannotBeWrittenIsReportedAndTheOldOneStays) {
    CPGameData data;
    data.mission = 1;
    ASSERT_TRUE(data.SaveGame("save2.sav"));
    const std::string before = ReadBytes(m_folder.Path() / "DATA" / "Saves" / "save2.sav");
    fs::permissions(m_folder.Path() / "DATA" / "Saves" / "save2.sav", fs::perms::owner_read);
    data.mission = 2;
    EXPECT_FALSE(data.SaveGame("save2.sav"));
    EXPECT_EQ(ReadBytes(m_folder.Path() / "DATA" / "Saves" / "save2.sav"), before);
    fs::permissions(m_folder.Path() / "DATA" / "Saves" / "save2.sav", fs::perms::owner_all);
}

// A game killed at any moment while it saves, again and again, leaves a slot that loads whole,
// with the old save or the new. Where the kills land varies from run to run; every place must pass.
TEST_F(SaveGameTest, AGameKilledWhileSavingLeavesASaveThatLoadsWhole) {
    CPGameData data;
    data.committedSetup = FullSetup(1);
    data.mission = 1;
    ASSERT_TRUE(data.SaveGame("save7.sav"));
    for (int32_t round = 1; round <= 10; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int32_t i = 0;; ++i) {
                data.mission = 1 + i % 2;
                data.committedSetup = FullSetup(1 + i % 2);
                data.SaveGame("save7.sav");
            }
        }
        usleep(static_cast<useconds_t>(round * 7000));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        platform::InvalidateListings();

        CPGameData restarted;
        ASSERT_TRUE(restarted.LoadGame("save7.sav")) << "round " << round;
        EXPECT_TRUE(restarted.mission == 1 || restarted.mission == 2) << "round " << round;
        EXPECT_EQ(restarted.committedSetup, FullSetup(restarted.mission)) << "round " << round;
    }
}

}  // namespace
