// The readers of the game data's text files, case by case: valid lines, line ends, comments,
// short and loose lines, lines that cannot be kept, wrong field counts and types of the files
// read whole, and files cut short at every byte.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "game/DataFileReader.h"
#include "game/GameDataReaders.h"
#include "game/PEnemyDatabase.h"
#include "support/CommaLocale.h"
#include "support/LogCapture.h"

namespace {

const uint8_t* Bytes(const std::string& text) { return reinterpret_cast<const uint8_t*>(text.data()); }

ItemList<CPWeaponInfo> ParseWeapons(const std::string& text, ItemMap<CPWeaponInfo>* map = nullptr)
{
    ItemMap<CPWeaponInfo> infos;
    ItemList<CPWeaponInfo> list;
    ParseItemTable(Bytes(text), text.size(), "w_info.dat", infos, list);
    if (map) *map = infos;
    return list;
}

using testsupport::LogOf;

constexpr char kWeapons[] =
    "// name;name key;price;shot cost;p4;p5;damage;recharge;capacity;fire rate;p10;description;mission\n"
    "hmgun;n_hmgun;100;1;0.5;2;3.5;0.4;10;5;0;d_hmgun;1\n"
    "/* the second weapon\n   comes in mission 2 */\n"
    "rocket;\"n_rocket;big\";250;1;0;0;40;0.1;4;0.5;0;d_rocket;2\n";

TEST(ItemTableReader, ReadsEveryFieldInOrderWithCommentsAndQuotes)
{
    ItemMap<CPWeaponInfo> map;
    const ItemList<CPWeaponInfo> list = ParseWeapons(kWeapons, &map);
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
    const ItemList<CPWeaponInfo> fromLf = ParseWeapons(kWeapons);
    const ItemList<CPWeaponInfo> fromCrlf = ParseWeapons(crlf);
    ASSERT_EQ(fromCrlf.size(), fromLf.size());
    for (size_t i = 0; i < fromLf.size(); ++i) {
        EXPECT_EQ(fromCrlf[i].first, fromLf[i].first);
        EXPECT_EQ(fromCrlf[i].second.firstMission, fromLf[i].second.firstMission);
        EXPECT_EQ(fromCrlf[i].second.descriptionKey, fromLf[i].second.descriptionKey);
    }
}

TEST(ItemTableReader, ARepeatedNameOverwritesTheRecordAndKeepsBothListEntries)
{
    ItemMap<CPWeaponInfo> map;
    const ItemList<CPWeaponInfo> list = ParseWeapons("gun;a;1;1;0;0;1;0;1;1;0;d;0\ngun;b;2;1;0;0;1;0;1;1;0;d;0\n", &map);
    EXPECT_EQ(map.size(), 1u);
    EXPECT_EQ(map.at("gun").price, 2);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].second.price, 1);
}

// Modders' tables hold short lines and loose numbers: each line gives what it holds.
TEST(ItemTableReader, EveryLineIsReadAsTheCRuntimeReadsIt)
{
    const std::string text = "short;n_short;100\n"
                             "long;n;1;1;0;0;1;0;1;1;0;d;0;extra;more\n"
                             "loose;n;cheap;1;0;0;12.5x;0;1.9;1;0;d;2\n"
                             "big;n;99999999999;1;0;0;1;0;1;1;0;d;0\n"
                             ";nameless;5\n";
    ItemMap<CPWeaponInfo> map;
    std::string log = LogOf([&] { ParseWeapons(text, &map); });
    EXPECT_EQ(log, "") << "no line is refused";
    ASSERT_EQ(map.size(), 5u);
    const CPWeaponInfo& shortLine = map.at("short");
    EXPECT_EQ(shortLine.nameKey, "n_short");
    EXPECT_EQ(shortLine.price, 100);
    EXPECT_EQ(shortLine.capacity, 0);
    EXPECT_FLOAT_EQ(shortLine.damage, 0.0f);
    EXPECT_EQ(shortLine.descriptionKey, "");
    EXPECT_EQ(shortLine.firstMission, 0);
    EXPECT_EQ(map.at("long").firstMission, 0) << "the extra fields are not read";
    EXPECT_EQ(map.at("long").descriptionKey, "d");
    EXPECT_EQ(map.at("loose").price, 0);
    EXPECT_FLOAT_EQ(map.at("loose").damage, 12.5f);
    EXPECT_EQ(map.at("loose").capacity, 1);
    EXPECT_EQ(map.at("big").price, 2147483647);
    EXPECT_EQ(map.at("").price, 5);
}

TEST(ItemTableReader, OnlyALineTooLongOrWithANumberThatIsNotFiniteIsLeftOutAndTheLogNamesIt)
{
    const std::string text = "first;n;1;1;0;0;1;0;1;1;0;d;0\n"
                             "// a comment line keeps the numbering\n"
                             "infinite;n;1;1;0;0;inf;0;1;1;0;d;0\n"
                             "huge;n;1;1;0;0;1;1e39;1;1;0;d;0\n"
                             "nan;n;1;1;0;0;1;0;1;nan;0;d;0\n"
                             "wide;" + std::string(kLongestTableLine, 'x') + "\n"
                             "last;n;1;1;0;0;1;0;1;1;0;d;0\n";
    ItemList<CPWeaponInfo> list;
    const std::string log = LogOf([&] { list = ParseWeapons(text); });
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].first, "first");
    EXPECT_EQ(list[1].first, "last");
    for (const char* expected : {"w_info.dat, line 3 left out: field 7 is not a finite number",
                                 "w_info.dat, line 4 left out: field 8 is not a finite number",
                                 "w_info.dat, line 5 left out: field 10 is not a finite number",
                                 "w_info.dat, line 6 left out: longer than 4096 characters"}) {
        EXPECT_NE(log.find(expected), std::string::npos) << expected << "\n" << log;
    }
}

// The table of the one line in text.
template <class Info>
ItemList<Info> ParseOneLine(const std::string& text)
{
    ItemMap<Info> infos;
    ItemList<Info> list;
    ParseItemTable(Bytes(text), text.size(), "table.dat", infos, list);
    return list;
}

TEST(ItemTableReader, EveryTableReadsItsOwnFields)
{
    const ItemList<CPMineInfo> mines = ParseOneLine<CPMineInfo>("mine;n;10;1;0;0;3;1;0;0;d;1");
    ASSERT_EQ(mines.size(), 1u);
    EXPECT_EQ(mines[0].second.capacity, 3);
    EXPECT_EQ(mines[0].second.firstMission, 1);
    const ItemList<SPSuperWeaponInfo> supers = ParseOneLine<SPSuperWeaponInfo>("super;n;500;d;1");
    ASSERT_EQ(supers.size(), 1u);
    EXPECT_EQ(supers[0].second.descriptionKey, "d");
    const ItemList<SPValueItemInfo> plates = ParseOneLine<SPValueItemInfo>("plate;n;50;100;d;0");
    ASSERT_EQ(plates.size(), 1u);
    EXPECT_FLOAT_EQ(plates[0].second.value, 100.0f);
    const ItemList<SPEngineInfo> engines = ParseOneLine<SPEngineInfo>("v8;n;300;1;2;3;0.5;0.25;d;0");
    ASSERT_EQ(engines.size(), 1u);
    EXPECT_EQ(engines[0].second.carParams[2], 3.0f);
    EXPECT_EQ(engines[0].second.heatRate, 0.5f);
    EXPECT_EQ(engines[0].second.coolRate, 0.25f);
}

// Cutting a file anywhere keeps its first records; only the last can differ, cut short.
TEST(ItemTableReader, AFileCutAtAnyByteGivesItsLeadingRecords)
{
    const ItemList<CPWeaponInfo> full = ParseWeapons(kWeapons);
    const std::string text = kWeapons;
    for (size_t cut = 0; cut < text.size(); ++cut) {
        const ItemList<CPWeaponInfo> list = ParseWeapons(text.substr(0, cut));
        ASSERT_LE(list.size(), full.size()) << cut;
        for (size_t i = 0; i + 1 < list.size(); ++i) {
            EXPECT_EQ(list[i].first, full[i].first) << cut;
            EXPECT_EQ(list[i].second.descriptionKey, full[i].second.descriptionKey) << cut;
        }
    }
}

TEST(StringsReader, KeysTextsAndQuotesLineByLine)
{
    const std::string text =
        "df~Destroy the gate\r\n"
        "quoted~\"a ~ inside\"\r\n"
        "lonely\r\n"
        "two~first~second\r\n"
        "~no key\r\n"
        "long~" + std::string(kLongestTableLine, 'x') + "\r\n"
        "df~Destroy the gates\r\n";
    std::unordered_map<std::string, std::string> strings;
    const std::string log = LogOf([&] { ParseStrings(Bytes(text), text.size(), "strings.txt", strings); });
    EXPECT_EQ(strings.at("df"), "Destroy the gates");
    EXPECT_EQ(strings.at("quoted"), "a ~ inside");
    EXPECT_EQ(strings.at("lonely"), "");
    EXPECT_EQ(strings.at("two"), "first") << "a second \"~\" ends the text; the other texts stay";
    EXPECT_EQ(strings.at(""), "no key");
    EXPECT_EQ(strings.count("long"), 0u);
    EXPECT_NE(log.find("strings.txt, line 6 left out: longer than 4096 characters"), std::string::npos) << log;
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
