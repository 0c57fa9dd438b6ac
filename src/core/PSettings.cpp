#include "core/PSettings.h"

#include <fstream>
#include <iterator>

#include "core/PFileWriter.h"
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

void CPSettings::Bind(const std::string& key, CPDator* dator)
{
    m_holders.emplace_back(dator);
    m_keys[key] = m_holders.back();
}

void CPSettings::CreateBindings()
{
    Bind("screenWidth", new CPIntDator(&g_screenWidth));
    Bind("screenHeight", new CPIntDator(&g_screenHeight));
    Bind("screenBPP", new CPIntDator(&g_screenBPP));
    Bind("fullScreen", new CPIntDator(&g_fullScreen));
    Bind("statistic", new CPIntDator(&g_statistic));
    Bind("bboxes", new CPIntDator(&g_bboxes));
    Bind("channels", new CPIntDator(&g_channels));
    Bind("frequency", new CPIntDator(&g_frequency));
    Bind("bitrate", new CPIntDator(&g_bitrate));
    Bind("soundVolume", new CPFloatDator(&g_soundVolume));
    Bind("musicVolume", new CPFloatDator(&g_musicVolume));
    Bind("mouse", new CPFloatDator(&g_mouse));
    Bind("brightness", new CPFloatDator(&g_brightness));
    Bind("difficulty", new CPIntDator(&g_difficulty));
    Bind("dxt5", new CPIntDator(&g_dxt5));
    Bind("bloom", new CPIntDator(&g_bloom));
    Bind("fsaa", new CPIntDator(&g_fsaa));
    Bind("lowtex", new CPIntDator(&g_lowtex));
    Bind("quality", new CPIntDator(&g_quality));
    Bind("aniso", new CPIntDator(&g_aniso));
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
    if (CPDator* dator = GetDator(key)) dator->Set(value);
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
