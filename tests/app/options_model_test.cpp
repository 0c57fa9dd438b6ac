// The Options dialog's logic: what the device probe offers, the presets, the capabilities and
// what OK writes to config.cfg.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WorkingFolder.h"
#include "app/DeviceCaps.h"
#include "app/OptionsModel.h"
#include "core/PSettings.h"
#include "core/SettingsVariables.h"
#include "platform/DeviceProbe.h"

namespace {

using platform::OptionsCheck;
using platform::OptionsList;
using platform::OptionsPreset;

const std::vector<SPDisplayMode> kModes{
    {600, 800, 32}, {768, 1024, 16}, {768, 1024, 32}, {1080, 1920, 32}, {1024, 1280, 32}};

SPDeviceCaps FullCaps() { return {true, 4, true, true, 16}; }

// Every setting the dialog reads or writes, at its default, in a fresh working folder.
class OptionsModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_screenWidth = 640;
        g_screenHeight = 480;
        g_screenBPP = 16;
        g_frequency = 22050;
        g_bitrate = 8;
        g_quality = 0;
        g_aniso = 0;
        g_bloom = 0;
        g_dxt5 = 0;
        g_fsaa = 0;
        g_lowtex = 0;
    }

    // The line config.cfg holds for a key.
    std::string Saved(const std::string& key) const {
        const std::string text = "\n" + apptest::ReadBytes(m_folder.Path() / "config.cfg");
        const size_t start = text.find("\n" + key + " = ");
        if (start == std::string::npos) return "";
        return text.substr(start + 1, text.find('\r', start) - start - 1);
    }

    apptest::WorkingFolder m_folder;
    CPSettings m_settings;
};

struct PresetCase {
    OptionsPreset preset;
    bool bloom, dxt5, lowtex;
    int32_t quality, aniso, width, height, bits, frequency, bitrate;
};

TEST_F(OptionsModelTest, EachPresetSetsItsValues) {
    const PresetCase cases[] = {
        {OptionsPreset::Speed, false, true, true, 0, 1, 800, 600, 32, 11025, 8},
        {OptionsPreset::Balance, true, true, false, 0, 1, 1024, 768, 32, 22050, 8},
        {OptionsPreset::Quality, true, true, false, 3, 16, 1024, 768, 32, 44100, 16},
    };
    for (const PresetCase& expected : cases) {
        SCOPED_TRACE(static_cast<int>(expected.preset));
        SetUp();
        g_lowtex = expected.lowtex ? 0 : 1;
        g_bloom = expected.bloom ? 0 : 1;
        CPOptionsModel model(FullCaps(), kModes);
        model.ApplyPreset(OptionsPreset::Quality == expected.preset ? OptionsPreset::Speed : OptionsPreset::Quality);
        model.ApplyPreset(expected.preset);
        model.Store();
        EXPECT_EQ(g_bloom, expected.bloom ? 1 : 0);
        EXPECT_EQ(g_dxt5, expected.dxt5 ? 1 : 0);
        EXPECT_EQ(g_lowtex, expected.lowtex ? 1 : 0);
        EXPECT_EQ(g_quality, expected.quality);
        EXPECT_EQ(g_aniso, expected.aniso);
        EXPECT_EQ(g_screenWidth, expected.width);
        EXPECT_EQ(g_screenHeight, expected.height);
        EXPECT_EQ(g_screenBPP, expected.bits);
        EXPECT_EQ(g_frequency, expected.frequency);
        EXPECT_EQ(g_bitrate, expected.bitrate);
        EXPECT_EQ(g_fsaa, 1);
    }
}

TEST_F(OptionsModelTest, BalanceWithout1024x768x32TakesTheFirstMode) {
    CPOptionsModel model(FullCaps(), {{1024, 1280, 32}, {768, 1024, 16}});
    model.ApplyPreset(OptionsPreset::Balance);
    EXPECT_EQ(model.Selected(OptionsList::Resolution), 0);
}

TEST_F(OptionsModelTest, TheListsOfferTheDeviceAndTheTablesAndOpenOnTheSettings) {
    g_screenWidth = 1920;
    g_screenHeight = 1080;
    g_screenBPP = 32;
    g_frequency = 44100;
    g_bitrate = 16;
    g_quality = 2;
    g_aniso = 4;
    g_lowtex = 7;
    CPOptionsModel model({true, 3, true, true, 4}, kModes);
    EXPECT_EQ(model.Entries(OptionsList::Antialiasing), (std::vector<std::string>{"Quality 0", "Quality 1", "Quality 2"}));
    EXPECT_EQ(model.Entries(OptionsList::Anisotropy),
              (std::vector<std::string>{"Quality 1", "Quality 2", "Quality 3", "Quality 4"}));
    EXPECT_EQ(model.Entries(OptionsList::Frequency), (std::vector<std::string>{"11025 Hz", "22050 Hz", "44100 Hz"}));
    EXPECT_EQ(model.Entries(OptionsList::Bitrate), (std::vector<std::string>{"8 bit", "16 bit"}));
    EXPECT_EQ(model.Entries(OptionsList::Resolution).size(), kModes.size());
    EXPECT_EQ(model.Selected(OptionsList::Resolution), 3);
    EXPECT_EQ(model.Selected(OptionsList::Antialiasing), 2);
    EXPECT_EQ(model.Selected(OptionsList::Anisotropy), 3);
    EXPECT_EQ(model.Selected(OptionsList::Frequency), 2);
    EXPECT_EQ(model.Selected(OptionsList::Bitrate), 1);
    EXPECT_TRUE(model.Checked(OptionsCheck::LowResolutionTextures));
    EXPECT_FALSE(model.Checked(OptionsCheck::Bloom));
}

TEST_F(OptionsModelTest, ModeLabelsNameTheirAspect) {
    EXPECT_EQ(DisplayModeLabel({1080, 1920, 32}), "1920 x 1080 x 32 (16:9)");
    EXPECT_EQ(DisplayModeLabel({1050, 1680, 16}), "1680 x 1050 x 16 (16:10)");
    EXPECT_EQ(DisplayModeLabel({600, 800, 32}), "800 x 600 x 32 (4:3)");
    EXPECT_EQ(DisplayModeLabel({1024, 1280, 32}), "1280 x 1024 x 32 ");
}

TEST_F(OptionsModelTest, EachChoiceLandsInConfigCfg) {
    CPOptionsModel model(FullCaps(), kModes);
    model.Select(OptionsList::Resolution, 4);
    model.Select(OptionsList::Anisotropy, 7);
    model.Select(OptionsList::Antialiasing, 2);
    model.Select(OptionsList::Frequency, 2);
    model.Select(OptionsList::Bitrate, 1);
    model.SetChecked(OptionsCheck::Bloom, true);
    model.SetChecked(OptionsCheck::CompressedTextures, true);
    model.SetChecked(OptionsCheck::LowResolutionTextures, true);
    model.Accept();
    for (const char* line : {"screenWidth = 1280", "screenHeight = 1024", "screenBPP = 32", "aniso = 8", "quality = 2",
                             "frequency = 44100", "bitrate = 16", "bloom = 1", "dxt5 = 1", "lowtex = 1", "fsaa = 1"}) {
        const std::string key = std::string(line).substr(0, std::string(line).find(' '));
        EXPECT_EQ(Saved(key), line);
    }

    CPOptionsModel again(FullCaps(), kModes);
    again.SetChecked(OptionsCheck::Bloom, false);
    again.SetChecked(OptionsCheck::LowResolutionTextures, false);
    again.Accept();
    EXPECT_EQ(Saved("bloom"), "bloom = 0");
    EXPECT_EQ(Saved("lowtex"), "lowtex = 0");
    EXPECT_EQ(Saved("screenWidth"), "screenWidth = 1280") << "an unchanged list keeps its value";
}

TEST_F(OptionsModelTest, AValueTheDialogDoesNotOfferShowsTheNearestAndStaysUntilChanged) {
    g_screenWidth = 1366;
    g_screenHeight = 768;
    g_screenBPP = 32;
    g_frequency = 32000;
    g_bitrate = 24;
    g_aniso = 64;
    g_quality = 9;
    {
        CPOptionsModel model(FullCaps(), kModes);
        EXPECT_EQ(model.Selected(OptionsList::Resolution), 2) << "1024 x 768 x 32";
        EXPECT_EQ(model.Selected(OptionsList::Frequency), 1) << "22050 Hz";
        EXPECT_EQ(model.Selected(OptionsList::Bitrate), 1) << "16 bit";
        EXPECT_EQ(model.Selected(OptionsList::Anisotropy), 15) << "Quality 16";
        EXPECT_EQ(model.Selected(OptionsList::Antialiasing), 3) << "Quality 3";
        model.Accept();
    }
    for (const char* line : {"screenWidth = 1366", "screenHeight = 768", "frequency = 32000", "bitrate = 24",
                             "aniso = 64", "quality = 9"}) {
        const std::string key = std::string(line).substr(0, std::string(line).find(' '));
        EXPECT_EQ(Saved(key), line);
    }

    CPOptionsModel model(FullCaps(), kModes);
    model.Select(OptionsList::Resolution, 3);
    model.Select(OptionsList::Frequency, 0);
    model.Accept();
    EXPECT_EQ(Saved("screenWidth"), "screenWidth = 1920");
    EXPECT_EQ(Saved("screenHeight"), "screenHeight = 1080");
    EXPECT_EQ(Saved("frequency"), "frequency = 11025");
    EXPECT_EQ(Saved("bitrate"), "bitrate = 24");
}

// A damaged config.cfg read by the launcher: OK writes the defaults in place of the values
// outside their ranges, never the damage.
TEST_F(OptionsModelTest, OkAfterADamagedFileWritesTheDefaultsNotTheDamage) {
    m_folder.Write("config.cfg", "screenHeight = 0\nscreenWidth = 100000\nfrequency = -3\nquality = 99\n");
    m_settings.Load("config.cfg");
    CPOptionsModel model(FullCaps(), kModes);
    model.Accept();
    for (const char* line : {"screenHeight = 480", "screenWidth = 640", "frequency = 22050", "quality = 0"}) {
        const std::string key = std::string(line).substr(0, std::string(line).find(' '));
        EXPECT_EQ(Saved(key), line);
    }
}

TEST_F(OptionsModelTest, CapabilitiesOffDisableTheirControls) {
    g_bloom = 1;
    g_dxt5 = 0;
    g_quality = 2;
    CPOptionsModel model({false, 4, false, false, 1}, kModes);
    EXPECT_FALSE(model.Enabled(OptionsCheck::Bloom));
    EXPECT_FALSE(model.Enabled(OptionsCheck::CompressedTextures));
    EXPECT_TRUE(model.Enabled(OptionsCheck::LowResolutionTextures));
    EXPECT_FALSE(model.Enabled(OptionsList::Antialiasing));
    EXPECT_TRUE(model.Entries(OptionsList::Antialiasing).empty());
    EXPECT_EQ(model.Entries(OptionsList::Anisotropy), (std::vector<std::string>{"Quality 1"}));
    EXPECT_TRUE(model.Checked(OptionsCheck::Bloom)) << "the setting was on";

    model.SetChecked(OptionsCheck::Bloom, false);
    model.SetChecked(OptionsCheck::CompressedTextures, true);
    model.ApplyPreset(OptionsPreset::Speed);
    EXPECT_TRUE(model.Checked(OptionsCheck::Bloom)) << "no click or preset changes a disabled box";
    EXPECT_FALSE(model.Checked(OptionsCheck::CompressedTextures));
    model.Store();
    EXPECT_EQ(g_bloom, 1);
    EXPECT_EQ(g_dxt5, 0);
    EXPECT_EQ(g_quality, -1) << "an empty antialiasing list";
    EXPECT_EQ(g_fsaa, 0);
}

TEST_F(OptionsModelTest, OneQualityLevelLeavesTheAntialiasingListEmptyAndFsaaAlone) {
    CPOptionsModel model({true, 1, true, true, 1}, kModes);
    EXPECT_FALSE(model.Enabled(OptionsList::Antialiasing));
    model.ApplyPreset(OptionsPreset::Quality);
    EXPECT_EQ(model.Selected(OptionsList::Antialiasing), -1);
    model.Store();
    EXPECT_EQ(g_quality, -1);
    EXPECT_EQ(g_fsaa, 0);
}

// OK writes fsaa only when the user or a preset chose an antialiasing entry, never because the
// device could antialias.
TEST_F(OptionsModelTest, FsaaFollowsTheAntialiasingChoiceNotTheProbe) {
    {
        CPOptionsModel untouched(FullCaps(), kModes);
        untouched.SetChecked(OptionsCheck::Bloom, true);
        untouched.Accept();
    }
    EXPECT_EQ(Saved("fsaa"), "fsaa = 0");
    g_fsaa = 1;
    {
        CPOptionsModel kept(FullCaps(), kModes);
        kept.Accept();
    }
    EXPECT_EQ(Saved("fsaa"), "fsaa = 1") << "a setting the user made stays";
    g_fsaa = 0;
    CPOptionsModel chosen(FullCaps(), kModes);
    chosen.Select(OptionsList::Antialiasing, 1);
    chosen.Accept();
    EXPECT_EQ(Saved("fsaa"), "fsaa = 1");
    EXPECT_EQ(Saved("quality"), "quality = 1");
}

TEST_F(OptionsModelTest, CancelChangesNothing) {
    {
        CPOptionsModel model(FullCaps(), kModes);
        model.ApplyPreset(OptionsPreset::Quality);
    }
    EXPECT_EQ(g_screenWidth, 640);
    EXPECT_EQ(g_frequency, 22050);
    EXPECT_FALSE(std::filesystem::exists(m_folder.Path() / "config.cfg"));
}

TEST_F(OptionsModelTest, TheProbeOffersModesOfAtLeast800x600EachOncePerDepth) {
    platform::DeviceProbe probe;
    probe.contextCreated = true;
    probe.maxSamples = 8;
    probe.s3tc = true;
    probe.maxAnisotropy = 16;
    probe.modes = {{1920, 1080, 24, 60}, {1920, 1080, 24, 50}, {1280, 1024, 32, 75}, {1024, 768, 16, 60},
                   {1024, 768, 16, 70}, {800, 600, 24, 60},  {640, 480, 24, 60},  {1024, 600, 16, 60},
                   {800, 500, 24, 60},  {1920, 1080, 32, 60}};
    g_dxt5 = 1;
    ApplyDeviceProbe(probe);
    EXPECT_EQ(g_displayModes, (std::vector<SPDisplayMode>{{768, 1024, 16},
                                                          {600, 1024, 16},
                                                          {1080, 1920, 32},
                                                          {1024, 1280, 32},
                                                          {600, 800, 32},
                                                          {1080, 1920, 32}}));
    EXPECT_TRUE(g_deviceCaps.antialiasing);
    EXPECT_EQ(g_deviceCaps.qualityLevels, 3) << "2, 4 and 8 samples";
    EXPECT_TRUE(g_deviceCaps.bloom);
    EXPECT_TRUE(g_deviceCaps.dxt5);
    EXPECT_EQ(g_deviceCaps.maxAnisotropy, 16);
    EXPECT_EQ(g_dxt5, 1);

    probe.s3tc = false;
    probe.maxSamples = 0;
    ApplyDeviceProbe(probe);
    EXPECT_FALSE(g_deviceCaps.dxt5);
    EXPECT_EQ(g_dxt5, 0) << "without DXT5 the setting is switched off";
    EXPECT_FALSE(g_deviceCaps.antialiasing);

    ApplyDeviceProbe(platform::DeviceProbe{});
    EXPECT_FALSE(g_deviceCaps.antialiasing || g_deviceCaps.bloom || g_deviceCaps.dxt5);
    EXPECT_EQ(g_deviceCaps.maxAnisotropy, 1);
    EXPECT_TRUE(g_displayModes.empty());
}

}  // namespace
