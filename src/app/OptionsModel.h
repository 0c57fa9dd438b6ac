#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/DeviceCaps.h"
#include "platform/OptionsForm.h"

// The Options dialog's logic, apart from any window: what the lists offer, what is selected,
// checked and enabled, what the presets do and what OK stores in the settings.
//
// Opening reads the settings: the check boxes take bloom, dxt5 and lowtex (any value but 0 is
// checked); each list selects the entry equal to its setting, or else the nearest one it
// offers. A list whose selection neither the user nor a preset changed stores nothing on OK,
// so a value that the dialog does not offer (a display mode the device lacks, a frequency of
// 32000 Hz) stays in config.cfg until the user picks another.
//
// Capabilities: the antialiasing list is disabled and empty unless the device multisamples
// with more than one quality level; Bloom and Compressed Textures (DXT5) are disabled without
// the device's support, keep the state the settings gave them, and no preset changes them.
class CPOptionsModel : public platform::OptionsForm {
public:
    // Frequencies (samples per second) and bitrates (bits per sample) the audio lists offer.
    static constexpr std::array<int32_t, 3> kFrequencies{11025, 22050, 44100};
    static constexpr std::array<int32_t, 2> kBitrates{8, 16};

    // Fills the form from the current settings.
    CPOptionsModel(const SPDeviceCaps& caps, const std::vector<SPDisplayMode>& modes);

    const std::vector<std::string>& Entries(platform::OptionsList list) const override;
    int Selected(platform::OptionsList list) const override;
    bool Enabled(platform::OptionsList list) const override;
    void Select(platform::OptionsList list, int entry) override;

    bool Checked(platform::OptionsCheck box) const override;
    bool Enabled(platform::OptionsCheck box) const override;
    void SetChecked(platform::OptionsCheck box, bool checked) override;

    // Speed, Balance and Quality:
    //   Bloom (when enabled)             off     on      on
    //   Compressed Textures (when enabled) on    on      on
    //   Low Resolution Textures          on      off     off
    //   Antialiasing (when enabled)      first   first   last
    //   Anisotropic Filtering            first   first   last
    //   Screen Resolution                first   1024 x 768 x 32 if offered, else first
    //   Frequency                        11025   22050   44100
    //   Bitrate                          8       8       16
    // Nothing is saved.
    void ApplyPreset(platform::OptionsPreset preset) override;

    // OK: Store, then save config.cfg (a failure is reported on stderr).
    void Accept() override;
    // Writes the choices into the settings, in this order: the resolution (screenBPP,
    // screenWidth, screenHeight), frequency, bitrate, quality and aniso (each only when its
    // selection changed; an empty antialiasing list stores -1), then bloom, dxt5, fsaa (1 when
    // the antialiasing list's selection changed, else left as it was) and lowtex.
    void Store() const;

private:
    struct List {
        std::vector<std::string> labels;
        std::vector<int32_t> values;  // one per label; the record index for the resolution list
        int selected = -1;
        bool enabled = true;
        bool changed = false;
    };

    static size_t Index(platform::OptionsList list) { return static_cast<size_t>(list); }
    static size_t Index(platform::OptionsCheck box) { return static_cast<size_t>(box); }
    List& Get(platform::OptionsList list) { return m_lists[Index(list)]; }
    const List& Get(platform::OptionsList list) const { return m_lists[Index(list)]; }

    void FillAntialiasing();
    void FillAnisotropy();
    void FillResolutions();
    // A list of values with one printf label each, selecting the value nearest the setting.
    void FillValues(platform::OptionsList list, const std::vector<int32_t>& values, const char* format,
                    int32_t setting);
    // The preset's choice: the entry selected and counted as changed, when the list has it.
    void PresetSelect(platform::OptionsList list, int entry);
    int ResolutionEntry(const SPDisplayMode& mode) const;
    // The value a changed list stores, else the setting's own.
    int32_t Chosen(platform::OptionsList list, int32_t setting) const;

    SPDeviceCaps m_caps;
    std::vector<SPDisplayMode> m_modes;
    std::array<List, 5> m_lists;
    std::array<bool, 3> m_checked{};  // the dialog copies of bloom, lowtex and dxt5
    std::array<bool, 3> m_checkEnabled{};
};

// The label of a display mode in the resolution list: "%d x %d x %d %s" with width, height,
// bits and the aspect "(16:9)", "(16:10)", "(4:3)" when width / height is exactly that ratio,
// else nothing (the label then ends with a blank).
std::string DisplayModeLabel(const SPDisplayMode& mode);
