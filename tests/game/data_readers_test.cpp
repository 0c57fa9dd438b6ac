// The readers of the game data's text files, case by case: valid lines, line ends, comments,
// wrong field counts and types, and files cut short at every byte.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "game/DataFileReader.h"
#include "game/GameDataReaders.h"
#include "game/PEnemyDatabase.h"
#include "support/CommaLocale.h"

namespace {

const uint8_t* Bytes(const std::string& text) { return reinterpret_cast<const uint8_t*>(text.data()); }

bool ParseWeapons(const std::string& text, ItemList<CPWeaponInfo>& list, ItemMap<CPWeaponInfo>* map = nullptr)
{
    ItemMap<CPWeaponInfo> infos;
    std::string error;
    const bool parsed = ParseItemTable(Bytes(text), text.size(), infos, list, error);
    EXPECT_EQ(parsed, error.empty()) << error;
    if (map) *map = infos;
    return parsed;
}

constexpr char kWeapons[] =
    "// name;name key;price;shot cost;p4;p5;damage;recharge;capacity;fire rate;p10;description;mission\n"
    "hmgun;n_hmgun;100;1;0.5;2;3.5;0.4;10;5;0;d_hmgun;1\n"
    "/* the second weapon\n   comes in mission 2 */\n"
    "rocket;\"n_rocket;big\";250;1;0;0;40;0.1;4;0.5;0;d_rocket;2\n";

TEST(ItemTableReader, ReadsEveryFieldInOrderWithCommentsAndQuotes)
{
    ItemList<CPWeaponInfo> list;
    ItemMap<CPWeaponInfo> map;
    ASSERT_TRUE(ParseWeapons(kWeapons, list, &map));
    ASSERT_EQ(list.size(), 2u);
    const CPWeaponInfo& hmgun = map.at("hmgun");
    EXPECT_EQ(hmgun.nameKey, "n_hmgun");
    EXPECT_EQ(hmgun.price, 100);
    EXPECT_EQ(hmgun.shotCost, 1);
    EXPECT_FLOAT_EQ(hmgun.param4, 0.5f);
    EXPECT_EQ(hmgun.param5, 2);
    EXPECT_FLOAT_EQ(hmgun.damage, 3.5f);
    EXPECT_FLOAT_EQ(hmgun.rechargeRate, 0.4f);
    EXPECT_EQ(hmgun.capacity, 10);
    EXPECT_FLOAT_EQ(hmgun.fireRate, 5.0f);
    EXPECT_FLOAT_EQ(hmgun.param10, 0.0f);
    EXPECT_EQ(hmgun.descriptionKey, "d_hmgun");
    EXPECT_EQ(hmgun.firstMission, 1);
    EXPECT_EQ(list[1].first, "rocket");
    EXPECT_EQ(list[1].second.nameKey, "n_rocket;big");
}

TEST(ItemTableReader, CarriageReturnsAndLineFeedsReadAlike)
{
    std::string crlf;
    for (char c : std::string(kWeapons)) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    ItemList<CPWeaponInfo> fromLf;
    ItemList<CPWeaponInfo> fromCrlf;
    ASSERT_TRUE(ParseWeapons(kWeapons, fromLf));
    ASSERT_TRUE(ParseWeapons(crlf, fromCrlf));
    ASSERT_EQ(fromCrlf.size(), fromLf.size());
    for (size_t i = 0; i < fromLf.size(); ++i) {
        EXPECT_EQ(fromCrlf[i].first, fromLf[i].first);
        EXPECT_EQ(fromCrlf[i].second.firstMission, fromLf[i].second.firstMission);
        EXPECT_EQ(fromCrlf[i].second.descriptionKey, fromLf[i].second.descriptionKey);
    }
}

TEST(ItemTableReader, ARepeatedNameOverwritesTheRecordAndKeepsBothListEntries)
{
    ItemList<CPWeaponInfo> list;
    ItemMap<CPWeaponInfo> map;
    ASSERT_TRUE(ParseWeapons("gun;a;1;1;0;0;1;0;1;1;0;d;0\ngun;b;2;1;0;0;1;0;1;1;0;d;0\n", list, &map));
    EXPECT_EQ(map.size(), 1u);
    EXPECT_EQ(map.at("gun").price, 2);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].second.price, 1);
}

TEST(ItemTableReader, RefusesLinesOfTheWrongShape)
{
    const char* const kDamaged[] = {
        "gun;a;1;1;0;0;1;0;1;1;0;d\n",          // 12 fields
        "gun;a;1;1;0;0;1;0;1;1;0;d;0;extra\n",  // 14 fields
        "gun;a;cheap;1;0;0;1;0;1;1;0;d;0\n",    // a word for the price
        "gun;a;1.5;1;0;0;1;0;1;1;0;d;0\n",      // a fraction for the price
        "gun;a;1;1;0;0;1x;0;1;1;0;d;0\n",       // trailing letters in the damage
        "gun;a;1;1;0;0;;0;1;1;0;d;0\n",         // an empty damage
        "gun;a;1;1;0;0;nan;0;1;1;0;d;0\n",      // no finite number
        "gun;a;99999999999;1;0;0;1;0;1;1;0;d;0\n",  // beyond int32
        ";a;1;1;0;0;1;0;1;1;0;d;0\n",           // no name
    };
    for (const char* text : kDamaged) {
        ItemList<CPWeaponInfo> list;
        EXPECT_FALSE(ParseWeapons(text, list)) << text;
    }
}

// The table of the one line in text, or an empty one when the reader refuses it.
template <class Info>
ItemList<Info> ParseOneLine(const std::string& text)
{
    ItemMap<Info> infos;
    ItemList<Info> list;
    std::string error;
    if (!ParseItemTable(Bytes(text), text.size(), infos, list, error)) list.clear();
    return list;
}

// One line of a table is accepted with its own number of fields, and refused with one more or
// one less.
template <class Info>
void ExpectFieldCount(const std::string& line)
{
    EXPECT_EQ(ParseOneLine<Info>(line).size(), 1u) << line;
    EXPECT_TRUE(ParseOneLine<Info>(line + ";0").empty()) << "one field too many: " << line;
    EXPECT_TRUE(ParseOneLine<Info>(line.substr(0, line.rfind(';'))).empty()) << "one field short: " << line;
}

TEST(ItemTableReader, EveryTableHasItsOwnFieldCount)
{
    ExpectFieldCount<CPMineInfo>("mine;n;10;1;0;0;3;1;0;0;d;1");
    ExpectFieldCount<SPSuperWeaponInfo>("super;n;500;d;1");
    ExpectFieldCount<SPValueItemInfo>("plate;n;50;100;d;0");
    ExpectFieldCount<SPEngineInfo>("v8;n;300;1;2;3;0.5;0.25;d;0");
    const ItemList<SPEngineInfo> engines = ParseOneLine<SPEngineInfo>("v8;n;300;1;2;3;0.5;0.25;d;0");
    ASSERT_EQ(engines.size(), 1u);
    EXPECT_EQ(engines[0].second.carParams[2], 3.0f);
    EXPECT_EQ(engines[0].second.heatRate, 0.5f);
    EXPECT_EQ(engines[0].second.coolRate, 0.25f);
}

// Cutting a file anywhere never yields a record built from part of a line that the format
// refuses: either the reader refuses the rest, or what it read is the file's first records,
// of which only the last can differ (its last field cut to a shorter value).
TEST(ItemTableReader, AFileCutAtAnyByteIsRefusedOrGivesWholeLeadingRecords)
{
    ItemList<CPWeaponInfo> full;
    ASSERT_TRUE(ParseWeapons(kWeapons, full));
    const std::string text = kWeapons;
    for (size_t cut = 0; cut < text.size(); ++cut) {
        ItemMap<CPWeaponInfo> infos;
        ItemList<CPWeaponInfo> list;
        std::string error;
        if (!ParseItemTable(Bytes(text), cut, infos, list, error)) continue;
        ASSERT_LE(list.size(), full.size()) << cut;
        for (size_t i = 0; i < list.size(); ++i) {
            EXPECT_EQ(list[i].first, full[i].first) << cut;
            if (i + 1 < list.size()) {
                EXPECT_EQ(list[i].second.descriptionKey, full[i].second.descriptionKey) << cut;
            }
        }
    }
}

TEST(StringsReader, KeysTextsQuotesAndRefusals)
{
    const std::string text =
        "df~Destroy the gate\r\n"
        "quoted~\"a ~ inside\"\r\n"
        "lonely\r\n"
        "df~Destroy the gates\r\n";
    std::unordered_map<std::string, std::string> strings;
    std::string error;
    ASSERT_TRUE(ParseStrings(Bytes(text), text.size(), strings, error)) << error;
    EXPECT_EQ(strings.at("df"), "Destroy the gates");
    EXPECT_EQ(strings.at("quoted"), "a ~ inside");
    EXPECT_EQ(strings.at("lonely"), "");

    for (const std::string damaged : {"a~b~c\n", "~no key\n"}) {
        std::unordered_map<std::string, std::string> refused;
        EXPECT_FALSE(ParseStrings(Bytes(damaged), damaged.size(), refused, error)) << damaged;
    }
}

TEST(ShopReader, NoneIsAnEmptySlotAndACountGivesTheSuperWeapon)
{
    const std::string text = "none;none;none;none;none;none;none;none;0;none\nhmgun;none;rocket;nitro;none;steel;v8;plate;3;spike\n";
    std::vector<SPCarSetup> presets;
    std::string error;
    ASSERT_TRUE(ParseShopPresets(Bytes(text), text.size(), presets, error)) << error;
    ASSERT_EQ(presets.size(), 2u);
    EXPECT_EQ(presets[0], SPCarSetup());
    const SPCarSetup& full = presets[1];
    EXPECT_EQ(full.weapons, (std::array<std::string, 3>{"hmgun", "", "rocket"}));
    EXPECT_EQ(full.equipment, (std::array<std::string, 2>{"nitro", ""}));
    EXPECT_EQ(full.bumper, "steel");
    EXPECT_EQ(full.engine, "v8");
    EXPECT_EQ(full.armor, "plate");
    EXPECT_EQ(full.superWeapon, "super");
    EXPECT_EQ(full.superWeaponCount, 3);
    EXPECT_EQ(full.mine, "spike");

    for (const std::string damaged : {"a;b;c;d;e;f;g;h;1\n", "a;b;c;d;e;f;g;h;1;i;j\n", "a;b;c;d;e;f;g;h;-1;i\n",
                                      "a;b;c;d;e;f;g;h;many;i\n"}) {
        std::vector<SPCarSetup> refused;
        EXPECT_FALSE(ParseShopPresets(Bytes(damaged), damaged.size(), refused, error)) << damaged;
    }
}

constexpr char kPlayer[] = "hmgun\nnone\nnone\nspike\nplate\nsteel\nv8\nsuper\n2\nnitro\nnone\n1\n0\n4\n";

TEST(PlayerReader, FourteenLinesInTheirOrder)
{
    SPCarSetup setup;
    std::string error;
    ASSERT_TRUE(ParsePlayerSetup(Bytes(kPlayer), sizeof kPlayer - 1, setup, error)) << error;
    EXPECT_EQ(setup.weapons, (std::array<std::string, 3>{"hmgun", "", ""}));
    EXPECT_EQ(setup.mine, "spike");
    EXPECT_EQ(setup.armor, "plate");
    EXPECT_EQ(setup.bumper, "steel");
    EXPECT_EQ(setup.engine, "v8");
    EXPECT_EQ(setup.superWeapon, "super");
    EXPECT_EQ(setup.superWeaponCount, 2);
    EXPECT_EQ(setup.equipment, (std::array<std::string, 2>{"nitro", ""}));
    EXPECT_EQ(setup.weaponLevels, (std::array<int32_t, 3>{1, 0, 4}));
}

TEST(PlayerReader, RefusesMissingLinesAndValuesOutOfRange)
{
    const std::string valid = kPlayer;
    const std::string damaged[] = {
        valid.substr(0, valid.rfind("4\n")),  // 13 lines
        valid + "extra\n",
        std::string(valid).replace(valid.find("\n2\n") + 1, 1, "-2"),  // negative charges
        std::string(valid).replace(valid.rfind("4\n"), 1, "5"),       // level above 4
        std::string(valid).replace(valid.rfind("4\n"), 1, "x"),
    };
    for (const std::string& text : damaged) {
        SPCarSetup setup;
        std::string error;
        EXPECT_FALSE(ParsePlayerSetup(Bytes(text), text.size(), setup, error)) << text;
    }
}

TEST(CoefficientsReader, FourNumbersOrNothing)
{
    std::array<float, 4> read{};
    std::string error;
    const std::string valid = "1.5\r\n0.5 // player damage\r\n2\r\n1e1\r\n";
    // The comment line drops whole: that file has three lines.
    EXPECT_FALSE(ParseCoefficients(Bytes(valid), valid.size(), read, error));
    const std::string text = "1.5\r\n// player damage\r\n0.5\r\n2\r\n1e1\r\n";
    ASSERT_TRUE(ParseCoefficients(Bytes(text), text.size(), read, error)) << error;
    EXPECT_EQ(read, (std::array<float, 4>{1.5f, 0.5f, 2.0f, 10.0f}));
    for (const std::string damaged : {"1\n1\n1\n", "1\n1\n1\n1\n1\n", "1\n1\n-1\n1\n", "1\n1,5\n1\n1\n"}) {
        EXPECT_FALSE(ParseCoefficients(Bytes(damaged), damaged.size(), read, error)) << damaged;
    }
}

// Files with a fixed number of lines take nothing from a file cut short before its last line.
TEST(FixedLineReaders, AFileCutBeforeItsLastLineIsRefused)
{
    const std::string player = kPlayer;
    for (size_t cut = 0; cut < player.rfind("4\n"); ++cut) {
        SPCarSetup setup;
        std::string error;
        EXPECT_FALSE(ParsePlayerSetup(Bytes(player), cut, setup, error)) << cut;
    }
    const std::string coefficients = "1.5\n0.5\n2\n10\n";
    for (size_t cut = 0; cut < coefficients.rfind("10"); ++cut) {
        std::array<float, 4> read{};
        std::string error;
        EXPECT_FALSE(ParseCoefficients(Bytes(coefficients), cut, read, error)) << cut;
    }
}

TEST(EnemyReader, FieldsInFileOrderShortListsAndQuotedBlanks)
{
    const std::string text =
        "walker 2.5;walk;7;gun;loud\n"
        "tank \"10;heavy armour;3\"\n"
        "drone 1;fly away;2\n"
        "ghost\n"
        "walker 3;again;8;b;c extra tokens are ignored\n";
    std::unordered_map<std::string, SPEnemyData> records;
    std::string error;
    ASSERT_TRUE(ParseEnemyRecords(Bytes(text), text.size(), records, error)) << error;
    EXPECT_EQ(records.at("walker"), (SPEnemyData{3.0f, 8.0f, "b", "again", "c"}));
    EXPECT_EQ(records.at("tank"), (SPEnemyData{10.0f, 3.0f, "", "heavy armour", ""}));
    EXPECT_EQ(records.at("drone").text1, "fly") << "an unquoted list ends at its first blank";
    EXPECT_EQ(records.at("ghost"), SPEnemyData());

    for (const std::string damaged : {"a 1;b;2;c;d;e\n", "a one;b;2\n", "a 1;b;two\n"}) {
        std::unordered_map<std::string, SPEnemyData> refused;
        EXPECT_FALSE(ParseEnemyRecords(Bytes(damaged), damaged.size(), refused, error)) << damaged;
    }
}

TEST(NumberFields, WholeTextOnlyWithADotWhateverTheLocale)
{
    struct Case {
        const char* text;
        bool isInt;
        bool isFloat;
    };
    const Case kCases[] = {
        {"12", true, true},  {"-3", true, true},  {"+4", true, true},   {"0.5", false, true}, {".5", false, true},
        {"1e3", false, true}, {"", false, false}, {" 1", false, false}, {"1 ", false, false}, {"0x10", false, false},
        {"1,5", false, false}, {"inf", false, false}, {"-", false, false}, {"2147483648", false, true},
    };
    for (const Case& c : kCases) {
        int32_t i = 7;
        float f = 7.0f;
        EXPECT_EQ(ReadIntField(c.text, i), c.isInt) << c.text;
        EXPECT_EQ(ReadFloatField(c.text, f), c.isFloat) << c.text;
        if (!c.isInt) {
            EXPECT_EQ(i, 7) << c.text;
        }
    }
}

TEST(NumberFields, ACommaLocaleChangesNothing)
{
    testsupport::CommaLocale locale;
    if (!locale.Active()) GTEST_SKIP() << "no comma-decimal locale installed";
    const std::string text = "1.5\n0.25\n2\n1e1\n";
    std::array<float, 4> read{};
    std::string error;
    ASSERT_TRUE(ParseCoefficients(Bytes(text), text.size(), read, error)) << error;
    EXPECT_EQ(read, (std::array<float, 4>{1.5f, 0.25f, 2.0f, 10.0f}));
    float value = 7.0f;
    EXPECT_FALSE(ReadFloatField("1,5", value));
}

}  // namespace
