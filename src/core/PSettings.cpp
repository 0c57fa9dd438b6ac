#include "core/PSettings.h"

#include <fstream>
#include <iterator>

#include "core/PFileWriter.h"
#include "core/PLog.h"
#include "core/Result.h"
#include "core/SettingsVariables.h"
#include "core/TextHelpers.h"
#include "platform/PathResolver.h"

CPSettings::CPSettings()
{
    CreateBindings();
}

CPSettings::~CPSettings()
{
    ReleaseBindings();
    m_keys.clear();
}

void CPSettings::Bind(const std::string& key, CPDator* dator, Range range)
{
    m_holders.emplace_back(dator);
    m_keys[key] = m_holders.back();
    m_ranges[key] = std::move(range);
}

// Each key's range holds every value the game, its launcher and its scripts use; -1 for the
// antialiasing and anisotropy levels is what the launcher saves when the device offers none.
void CPSettings::CreateBindings()
{
    Bind("screenWidth", new CPIntDator(&g_screenWidth), {160, 16384, "640"});
    Bind("screenHeight", new CPIntDator(&g_screenHeight), {120, 16384, "480"});
    Bind("screenBPP", new CPIntDator(&g_screenBPP), {16, 32, "16"});
    Bind("fullScreen", new CPIntDator(&g_fullScreen), {0, 1, "0"});
    Bind("statistic", new CPIntDator(&g_statistic), {0, 1, "0"});
    Bind("bboxes", new CPIntDator(&g_bboxes), {0, 1, "0"});
    Bind("channels", new CPIntDator(&g_channels), {1, 8, "2"});
    Bind("frequency", new CPIntDator(&g_frequency), {8000, 192000, "22050"});
    Bind("bitrate", new CPIntDator(&g_bitrate), {8, 32, "8"});
    Bind("soundVolume", new CPFloatDator(&g_soundVolume), {0, 1, "0.5"});
    Bind("musicVolume", new CPFloatDator(&g_musicVolume), {0, 1, "0.5"});
    Bind("mouse", new CPFloatDator(&g_mouse), {0, 10, "0"});
    Bind("brightness", new CPFloatDator(&g_brightness), {0, 1, "0.5"});
    Bind("difficulty", new CPIntDator(&g_difficulty), {0, 1, "0"});
    Bind("dxt5", new CPIntDator(&g_dxt5), {0, 1, "0"});
    Bind("bloom", new CPIntDator(&g_bloom), {0, 1, "0"});
    Bind("fsaa", new CPIntDator(&g_fsaa), {0, 1, "0"});
    Bind("lowtex", new CPIntDator(&g_lowtex), {0, 1, "0"});
    Bind("quality", new CPIntDator(&g_quality), {-1, 16, "0"});
    Bind("aniso", new CPIntDator(&g_aniso), {-1, 16, "0"});
}

void CPSettings::Load(const std::string& fileName)
{
    std::string diskPath;
    if (!platform::ResolveFile(fileName, diskPath)) return;
    std::ifstream file(diskPath, std::ios::binary);
    if (!file) return;
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};

    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        ParseLine(text.substr(start, end - start));
    }
    ParseLine(text.substr(start));
}

void CPSettings::ParseLine(std::string line)
{
    if (line.empty()) return;
    int sign = 0;
    if (line.front() == '+' || line.front() == '-') {
        sign = line.front() == '+' ? 1 : -1;
        line.erase(0, 1);
    }
    std::string key = line;
    std::string value = sign == 1 ? "1" : "0";
    const size_t equals = line.find('=');
    if (equals != std::string::npos) {
        key = line.substr(0, equals);
        value = line.substr(equals + 1);
    }
    SetValue(Trim(key), Trim(value), sign);
}

void CPSettings::SetValue(const std::string& key, const std::string& value, int sign)
{
    CPDator* dator = GetDator(key);
    if (!dator) return;
    dator->Set(value);
    const Range& range = m_ranges.at(key);
    const double number = dator->Number();
    if (number >= range.lowest && number <= range.highest) return;
    GetLog()->Print(0, "config.cfg: %s = %s lies outside %g to %g; the default %s is used", key.c_str(), value.c_str(),
                    range.lowest, range.highest, range.fallback.c_str());
    dator->Set(range.fallback);
}

bool CPSettings::Save(const std::string& fileName)
{
    CPFileWriter writer(fileName);
    for (const auto& [key, dator] : m_keys) {
        const std::string line = key + " = " + dator->ToString() + "\r\n";
        writer.Write(line.data(), static_cast<int32_t>(line.size()));
    }
    return writer.Save() == S_OK;
}

void CPSettings::ReleaseBindings()
{
    m_holders.clear();
}

CPDator* CPSettings::GetDator(const std::string& key) const
{
    const auto found = m_keys.find(key);
    return found == m_keys.end() ? nullptr : found->second.Get();
}
