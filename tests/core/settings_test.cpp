#include <gtest/gtest.h>

#include <clocale>
#include <fstream>
#include <locale>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include "core/PLog.h"
#include "core/PMMObject.h"
#include "core/PSettings.h"
#include "core/SettingsVariables.h"
#include "core/files_fixture.h"
#include "support/CommaLocale.h"

namespace {

using Value = std::variant<int32_t, float>;

struct Binding {
    const char* key;
    std::variant<int32_t*, float*> variable;
    Value defaultValue;
};

const Binding kBindings[] = {
    {"screenWidth", &g_screenWidth, 640},       {"screenHeight", &g_screenHeight, 480},
    {"screenBPP", &g_screenBPP, 16},            {"fullScreen", &g_fullScreen, 0},
    {"statistic", &g_statistic, 0},             {"bboxes", &g_bboxes, 0},
    {"channels", &g_channels, 2},               {"frequency", &g_frequency, 22050},
    {"bitrate", &g_bitrate, 8},                 {"soundVolume", &g_soundVolume, 0.5f},
    {"musicVolume", &g_musicVolume, 0.5f},      {"mouse", &g_mouse, 0.0f},
    {"brightness", &g_brightness, 0.5f},        {"difficulty", &g_difficulty, 0},
    {"dxt5", &g_dxt5, 0},                       {"bloom", &g_bloom, 0},
    {"fsaa", &g_fsaa, 0},                       {"lowtex", &g_lowtex, 0},
    {"quality", &g_quality, 0},                 {"aniso", &g_aniso, 0},
};

Value Get(const Binding& binding)
{
    return std::visit([](auto* variable) -> Value { return *variable; }, binding.variable);
}

void Put(const Binding& binding, const Value& value)
{
    std::visit([&](auto* variable) { *variable = std::get<std::remove_pointer_t<decltype(variable)>>(value); },
               binding.variable);
}

// Every test gets the settings variables back as it found them (their program-start values);
// the store and its file live in a temporary working folder.
class SettingsTest : public TempWorkingFolder {
protected:
    void SetUp() override
    {
        TempWorkingFolder::SetUp();
        for (const Binding& binding : kBindings) m_saved.push_back(Get(binding));
        m_settings = std::make_unique<CPSettings>();
    }
    void TearDown() override
    {
        m_settings.reset();
        CollectGarbage();
        for (size_t i = 0; i < m_saved.size(); ++i) Put(kBindings[i], m_saved[i]);
        TempWorkingFolder::TearDown();
    }

    void LoadText(const std::string& text)
    {
        WriteDiskFile("config.cfg", text);
        m_settings->Load("config.cfg");
    }

    // key -> value text of a saved file, checking the line format on the way.
    std::map<std::string, std::string> SavedLines()
    {
        std::map<std::string, std::string> lines;
        std::istringstream text(ReadDiskFile("config.cfg"));
        for (std::string line; std::getline(text, line);) {
            EXPECT_TRUE(!line.empty() && line.back() == '\r') << line;
            const size_t separator = line.find(" = ");
            EXPECT_NE(separator, std::string::npos) << line;
            lines[line.substr(0, separator)] = line.substr(separator + 3, line.size() - separator - 4);
        }
        return lines;
    }

    std::unique_ptr<CPSettings> m_settings;
    std::vector<Value> m_saved;
};

TEST_F(SettingsTest, DefaultsBeforeAnyFileAndAfterAMissingOne)
{
    m_settings->Load("config.cfg");
    for (const Binding& binding : kBindings) EXPECT_EQ(Get(binding), binding.defaultValue) << binding.key;
}

TEST_F(SettingsTest, LinesWithValuesAndSigns)
{
    struct Case {
        const char* text;
        int32_t* variable;
        int32_t expected;
    } cases[] = {
        {"screenWidth = 1024", &g_screenWidth, 1024},
        {"screenHeight=768", &g_screenHeight, 768},
        {"+bloom", &g_bloom, 1},
        {"-bloom", &g_bloom, 0},
        {"+fsaa\r", &g_fsaa, 1},
        {"+screenWidth = 800", &g_screenWidth, 800},
        {"-screenHeight = 600", &g_screenHeight, 600},
        {"  quality  =  3  \r", &g_quality, 3},
        {"aniso = 0.5", &g_aniso, 0},
        {"frequency = 44100 Hz", &g_frequency, 44100},
        {"difficulty = +1", &g_difficulty, 1},
        {"lowtex = +1", &g_lowtex, 1},
    };
    for (const Case& c : cases) {
        *c.variable = 12345;
        m_settings->ParseLine(c.text);
        EXPECT_EQ(*c.variable, c.expected) << c.text;
    }
}

TEST_F(SettingsTest, BareKeyWithoutSignSetsZero)
{
    g_statistic = 1;
    LoadText("statistic\n");
    EXPECT_EQ(g_statistic, 0);
}

TEST_F(SettingsTest, UnknownOrMiscasedKeysChangeNothingAndAreNotSaved)
{
    LoadText("ScreenWidth = 5\nnoSuchKey = 7\n+Bloom\n= 3\n+\n\n");
    for (const Binding& binding : kBindings) EXPECT_EQ(Get(binding), binding.defaultValue) << binding.key;
    ASSERT_TRUE(m_settings->Save("config.cfg"));
    const auto lines = SavedLines();
    EXPECT_EQ(lines.size(), 20u);
    EXPECT_FALSE(lines.count("noSuchKey"));
    EXPECT_FALSE(lines.count("ScreenWidth"));
}

TEST_F(SettingsTest, ValuesWithoutANumberLeaveTheVariable)
{
    g_screenBPP = 32;
    g_mouse = 0.25f;
    LoadText("screenBPP = deep\nmouse =\n");
    EXPECT_EQ(g_screenBPP, 32);
    EXPECT_EQ(g_mouse, 0.25f);

    // A stream extraction reads no words: a volume never becomes infinite or not a number.
    g_soundVolume = 0.5f;
    g_musicVolume = 0.5f;
    g_brightness = 0.5f;
    LoadText("soundVolume = nan\nmusicVolume = inf\nbrightness = -Infinity\n");
    EXPECT_EQ(g_soundVolume, 0.5f);
    EXPECT_EQ(g_musicVolume, 0.5f);
    EXPECT_EQ(g_brightness, 0.5f);
}

// A damaged file must not stop the game for good: a value outside its key's range (a window 0
// pixels high cannot open) is logged and the key keeps its default, which the next save writes
// over the damage. The ends of each range are values like any other.
TEST_F(SettingsTest, AValueOutsideItsRangeIsLoggedAndGivesTheDefaultWhichIsSaved)
{
    struct Case {
        const char* line;
        const char* key;
        const char* saved;
    };
    const Case cases[] = {
        {"screenHeight = 0", "screenHeight", "480"},     {"screenHeight = -5", "screenHeight", "480"},
        {"screenHeight = 100000", "screenHeight", "480"}, {"screenWidth = 0", "screenWidth", "640"},
        {"brightness = 99999", "brightness", "0.5"},     {"soundVolume = -3", "soundVolume", "0.5"},
        {"musicVolume = 1.01", "musicVolume", "0.5"},    {"fullScreen = 2", "fullScreen", "0"},
        {"frequency = 5", "frequency", "22050"},         {"bitrate = 64", "bitrate", "8"},
        {"channels = 0", "channels", "2"},               {"quality = -2", "quality", "0"},
        {"aniso = 99", "aniso", "0"},                    {"mouse = -1", "mouse", "0"},
        {"difficulty = -2", "difficulty", "0"},          {"screenBPP = 24000", "screenBPP", "16"},
        {"screenHeight = 120", "screenHeight", "120"},   {"screenWidth = 16384", "screenWidth", "16384"},
        {"soundVolume = 0", "soundVolume", "0"},         {"musicVolume = 1", "musicVolume", "1"},
        {"quality = -1", "quality", "-1"},               {"mouse = 10", "mouse", "10"},
    };
    const bool logging = GetLog()->IsEnabled();
    GetLog()->SetEnabled(true);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        testing::internal::CaptureStderr();
        LoadText(std::string(c.line) + "\n");
        const std::string logged = testing::internal::GetCapturedStderr();
        ASSERT_TRUE(m_settings->Save("config.cfg"));
        EXPECT_EQ(SavedLines().at(c.key), c.saved);
        const bool replaced = std::string(c.line).find(c.saved) == std::string::npos;
        EXPECT_EQ(logged.find(c.key) != std::string::npos, replaced) << logged;
    }
    GetLog()->SetEnabled(logging);
}

TEST_F(SettingsTest, SaveWritesAllTwentyKeysInTheLineFormat)
{
    LoadText("screenWidth = 1280\r\n+fullScreen\r\nsoundVolume = 0.05\r\n");
    ASSERT_TRUE(m_settings->Save("config.cfg"));
    const auto lines = SavedLines();
    ASSERT_EQ(lines.size(), 20u);
    for (const Binding& binding : kBindings) EXPECT_TRUE(lines.count(binding.key)) << binding.key;
    EXPECT_EQ(lines.at("screenWidth"), "1280");
    EXPECT_EQ(lines.at("fullScreen"), "1");
    EXPECT_EQ(lines.at("soundVolume"), "0.05");
    EXPECT_EQ(lines.at("musicVolume"), "0.5");
    EXPECT_EQ(lines.at("mouse"), "0");
    EXPECT_EQ(lines.at("frequency"), "22050");
}

TEST_F(SettingsTest, RoundTripOfEveryKey)
{
    const Value values[] = {1920, 1080, 32, 1, 1, 1, 1, 44100, 16, 0.05f, 0.123457f, 2.5f, 1.0f,
                            1, 1, 1, 1, 1, 2, 8};
    for (size_t i = 0; i < std::size(kBindings); ++i) Put(kBindings[i], values[i]);
    ASSERT_TRUE(m_settings->Save("Config.CFG"));
    for (const Binding& binding : kBindings) Put(binding, binding.defaultValue);
    m_settings->Load("config.cfg");
    for (size_t i = 0; i < std::size(kBindings); ++i) EXPECT_EQ(Get(kBindings[i]), values[i]) << kBindings[i].key;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), std::filesystem::directory_iterator()), 1)
        << "the existing config.cfg was replaced, whatever the case it was saved under";
}

// A C++ locale whose decimal separator is a comma and that groups thousands.
struct CommaPunctuation : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

TEST_F(SettingsTest, NumbersIgnoreACommaDecimalLocale)
{
    testsupport::CommaLocale systemLocale;
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaPunctuation));
    g_brightness = 0.75f;
    g_frequency = 44100;
    const bool saved = m_settings->Save("config.cfg");
    const auto lines = SavedLines();
    LoadText("brightness = 0.3\nmusicVolume = 1,5\nfrequency = 11025\n");
    std::locale::global(previous);

    ASSERT_TRUE(saved);
    EXPECT_EQ(lines.at("brightness"), "0.75");
    EXPECT_EQ(lines.at("frequency"), "44100");
    EXPECT_EQ(g_brightness, 0.3f);
    EXPECT_EQ(g_musicVolume, 1.0f) << "a comma ends the number";
    EXPECT_EQ(g_frequency, 11025);
}

TEST(Dator, OperationsOnIntAndFloatBindings)
{
    int32_t number = 10;
    float fraction = 1.5f;
    TPtr<CPDator> intDator(new CPIntDator(&number));
    TPtr<CPDator> floatDator(new CPFloatDator(&fraction));

    intDator->Add("5");
    EXPECT_EQ(number, 15);
    intDator->Subtract(" 20");
    EXPECT_EQ(number, -5);
    intDator->Add("x");
    EXPECT_EQ(number, -5);
    EXPECT_TRUE(intDator->Equals("-5"));
    EXPECT_TRUE(intDator->NotEquals("-5.0"));
    EXPECT_FALSE(intDator->IsList());

    floatDator->Add("0.25");
    EXPECT_EQ(fraction, 1.75f);
    floatDator->Subtract("2");
    EXPECT_EQ(floatDator->ToString(), "-0.25");
    floatDator->Set("1e-5");
    EXPECT_EQ(floatDator->ToString(), "1e-05");
    floatDator->Set("1234567");
    EXPECT_EQ(floatDator->ToString(), "1.23457e+06");
    floatDator->Set("3");
    EXPECT_TRUE(floatDator->Equals("3"));

    EXPECT_EQ(intDator->GetClassName(), "CPDator");
    EXPECT_EQ(floatDator->GetClassName(), "CPDator");
    EXPECT_GE(intDator->GetSize(), static_cast<int32_t>(sizeof(CPDator)));
}

TEST(SettingsLifetime, BindingsAreEngineObjectsReleasedWithTheStore)
{
    CollectGarbage();
    const int32_t liveBefore = IPMMObject::CountLiveObjects();
    EXPECT_EQ(GetSettings(), nullptr);
    {
        CPSettings settings;
        EXPECT_EQ(GetSettings(), &settings);
        EXPECT_EQ(IPMMObject::CountLiveObjects(), liveBefore + 20);
        settings.ReleaseBindings();
        CollectGarbage();
        EXPECT_EQ(IPMMObject::CountLiveObjects(), liveBefore + 20) << "the key table keeps them";
        settings.ParseLine("screenWidth = 800");
        EXPECT_EQ(g_screenWidth, 800);
        g_screenWidth = 640;
    }
    EXPECT_EQ(GetSettings(), nullptr);
    CollectGarbage();
    EXPECT_EQ(IPMMObject::CountLiveObjects(), liveBefore);
}

}  // namespace
