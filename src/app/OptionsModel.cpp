#include "app/OptionsModel.h"

#include <cstdio>
#include <cstdlib>
#include <limits>

#include "core/PSettings.h"
#include "core/SettingsVariables.h"

using platform::OptionsCheck;
using platform::OptionsList;
using platform::OptionsPreset;

namespace {

std::string Format(const char* format, int32_t value) {
    char text[32];
    std::snprintf(text, sizeof(text), format, value);
    return text;
}

// The first of the values nearest the wanted one; -1 for no values.
int NearestValue(const std::vector<int32_t>& values, int32_t wanted) {
    int best = -1;
    int64_t bestDistance = std::numeric_limits<int64_t>::max();
    for (size_t i = 0; i < values.size(); ++i) {
        const int64_t distance = std::llabs(static_cast<int64_t>(values[i]) - wanted);
        if (distance < bestDistance) {
            best = static_cast<int>(i);
            bestDistance = distance;
        }
    }
    return best;
}

// The first mode equal to the wanted one, else the first nearest in size, then in bits; -1 for none.
int NearestMode(const std::vector<SPDisplayMode>& modes, const SPDisplayMode& wanted) {
    int best = -1;
    int64_t bestSize = std::numeric_limits<int64_t>::max();
    int64_t bestBits = 0;
    for (size_t i = 0; i < modes.size(); ++i) {
        const SPDisplayMode& mode = modes[i];
        const int64_t size = std::llabs(static_cast<int64_t>(mode.width) - wanted.width) +
                             std::llabs(static_cast<int64_t>(mode.height) - wanted.height);
        const int64_t bits = std::llabs(static_cast<int64_t>(mode.bits) - wanted.bits);
        if (size < bestSize || (size == bestSize && bits < bestBits)) {
            best = static_cast<int>(i);
            bestSize = size;
            bestBits = bits;
        }
    }
    return best;
}

const char* AspectSuffix(const SPDisplayMode& mode) {
    const double ratio = static_cast<double>(mode.width) / static_cast<double>(mode.height);
    if (ratio == 16.0 / 9.0) return "(16:9)";
    if (ratio == 1.6) return "(16:10)";
    if (ratio == 4.0 / 3.0) return "(4:3)";
    return "";
}

}  // namespace

std::string DisplayModeLabel(const SPDisplayMode& mode) {
    char text[96];
    std::snprintf(text, sizeof(text), "%d x %d x %d %s", mode.width, mode.height, mode.bits, AspectSuffix(mode));
    return text;
}

CPOptionsModel::CPOptionsModel(const SPDeviceCaps& caps, const std::vector<SPDisplayMode>& modes)
    : m_caps(caps), m_modes(modes) {
    m_checked[Index(OptionsCheck::Bloom)] = g_bloom != 0;
    m_checked[Index(OptionsCheck::CompressedTextures)] = g_dxt5 != 0;
    m_checked[Index(OptionsCheck::LowResolutionTextures)] = g_lowtex != 0;
    m_checkEnabled[Index(OptionsCheck::Bloom)] = caps.bloom;
    m_checkEnabled[Index(OptionsCheck::CompressedTextures)] = caps.dxt5;
    m_checkEnabled[Index(OptionsCheck::LowResolutionTextures)] = true;

    FillAntialiasing();
    FillAnisotropy();
    FillResolutions();
    FillValues(OptionsList::Frequency, {kFrequencies.begin(), kFrequencies.end()}, "%d Hz", g_frequency);
    FillValues(OptionsList::Bitrate, {kBitrates.begin(), kBitrates.end()}, "%d bit", g_bitrate);
}

void CPOptionsModel::FillAntialiasing() {
    List& list = Get(OptionsList::Antialiasing);
    list.enabled = m_caps.antialiasing && m_caps.qualityLevels > 1;
    if (!list.enabled) return;
    std::vector<int32_t> levels;
    for (int32_t level = 0; level < m_caps.qualityLevels; ++level) levels.push_back(level);
    FillValues(OptionsList::Antialiasing, levels, "Quality %d", g_quality);
}

void CPOptionsModel::FillAnisotropy() {
    std::vector<int32_t> levels;
    for (int32_t level = 1; level <= m_caps.maxAnisotropy; ++level) levels.push_back(level);
    FillValues(OptionsList::Anisotropy, levels, "Quality %d", g_aniso);
}

void CPOptionsModel::FillResolutions() {
    List& list = Get(OptionsList::Resolution);
    for (size_t i = 0; i < m_modes.size(); ++i) {
        list.labels.push_back(DisplayModeLabel(m_modes[i]));
        list.values.push_back(static_cast<int32_t>(i));
    }
    list.selected = NearestMode(m_modes, {g_screenHeight, g_screenWidth, g_screenBPP});
}

void CPOptionsModel::FillValues(OptionsList which, const std::vector<int32_t>& values, const char* format,
                                int32_t setting) {
    List& list = Get(which);
    for (int32_t value : values) list.labels.push_back(Format(format, value));
    list.values = values;
    list.selected = NearestValue(values, setting);
}

const std::vector<std::string>& CPOptionsModel::Entries(OptionsList list) const { return Get(list).labels; }

int CPOptionsModel::Selected(OptionsList list) const { return Get(list).selected; }

bool CPOptionsModel::Enabled(OptionsList list) const { return Get(list).enabled; }

void CPOptionsModel::Select(OptionsList which, int entry) {
    List& list = Get(which);
    if (!list.enabled || entry < 0 || entry >= static_cast<int>(list.labels.size()) || entry == list.selected) return;
    list.selected = entry;
    list.changed = true;
}

bool CPOptionsModel::Checked(OptionsCheck box) const { return m_checked[Index(box)]; }

bool CPOptionsModel::Enabled(OptionsCheck box) const { return m_checkEnabled[Index(box)]; }

void CPOptionsModel::SetChecked(OptionsCheck box, bool checked) {
    if (m_checkEnabled[Index(box)]) m_checked[Index(box)] = checked;
}

void CPOptionsModel::PresetSelect(OptionsList which, int entry) {
    List& list = Get(which);
    if (!list.enabled || entry < 0 || entry >= static_cast<int>(list.labels.size())) return;
    list.selected = entry;
    list.changed = true;
}

int CPOptionsModel::ResolutionEntry(const SPDisplayMode& mode) const {
    for (size_t i = 0; i < m_modes.size(); ++i) {
        if (m_modes[i] == mode) return static_cast<int>(i);
    }
    return -1;
}

void CPOptionsModel::ApplyPreset(OptionsPreset preset) {
    const bool speed = preset == OptionsPreset::Speed;
    const bool quality = preset == OptionsPreset::Quality;
    SetChecked(OptionsCheck::Bloom, !speed);
    SetChecked(OptionsCheck::CompressedTextures, true);
    SetChecked(OptionsCheck::LowResolutionTextures, speed);

    const auto last = [this](OptionsList list) { return static_cast<int>(Get(list).labels.size()) - 1; };
    PresetSelect(OptionsList::Antialiasing, quality ? last(OptionsList::Antialiasing) : 0);
    PresetSelect(OptionsList::Anisotropy, quality ? last(OptionsList::Anisotropy) : 0);
    const int balanced = ResolutionEntry({768, 1024, 32});
    PresetSelect(OptionsList::Resolution, speed || balanced < 0 ? 0 : balanced);
    PresetSelect(OptionsList::Frequency, speed ? 0 : quality ? 2 : 1);  // 11025, 22050, 44100 Hz
    PresetSelect(OptionsList::Bitrate, quality ? 1 : 0);                 // 8, 16 bits
}

int32_t CPOptionsModel::Chosen(OptionsList which, int32_t setting) const {
    const List& list = Get(which);
    return list.changed ? list.values[static_cast<size_t>(list.selected)] : setting;
}

void CPOptionsModel::Store() const {
    const List& resolution = Get(OptionsList::Resolution);
    if (resolution.changed) {
        const SPDisplayMode& mode = m_modes[static_cast<size_t>(resolution.selected)];
        g_screenBPP = mode.bits;
        g_screenWidth = mode.width;
        g_screenHeight = mode.height;
    }
    g_frequency = Chosen(OptionsList::Frequency, g_frequency);
    g_bitrate = Chosen(OptionsList::Bitrate, g_bitrate);
    g_quality = Get(OptionsList::Antialiasing).labels.empty() ? -1 : Chosen(OptionsList::Antialiasing, g_quality);
    g_aniso = Get(OptionsList::Anisotropy).labels.empty() ? -1 : Chosen(OptionsList::Anisotropy, g_aniso);
    g_bloom = Checked(OptionsCheck::Bloom) ? 1 : 0;
    g_dxt5 = Checked(OptionsCheck::CompressedTextures) ? 1 : 0;
    if (Get(OptionsList::Antialiasing).changed) g_fsaa = 1;
    g_lowtex = Checked(OptionsCheck::LowResolutionTextures) ? 1 : 0;
}

void CPOptionsModel::Accept() {
    Store();
    if (!GetSettings()->Save("config.cfg")) std::fputs("vexmoor: cannot write the settings to config.cfg\n", stderr);
}
