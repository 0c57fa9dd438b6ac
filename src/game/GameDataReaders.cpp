#include "game/GameDataReaders.h"

#include "game/DataFileReader.h"

namespace {

// The line as the log quotes it: at most 60 characters.
std::string Quoted(const std::string& line)
{
    constexpr size_t kShown = 60;
    return "\"" + (line.size() > kShown ? line.substr(0, kShown) + "..." : line) + "\"";
}

bool LineError(const std::string& line, const std::string& what, std::string& error)
{
    error = "line " + Quoted(line) + ": " + what;
    return false;
}

bool FieldCountError(const std::string& line, size_t count, size_t expected, std::string& error)
{
    return LineError(line, "expected " + std::to_string(expected) + " fields, found " +
                               (count > expected ? "more" : std::to_string(count)), error);
}

// The fields between the price and the description key.
void ReadOwnFields(FieldCursor& f, CPWeaponInfo& w)
{
    f.Int(w.shotCost);
    f.Float(w.param4);
    f.Int(w.param5);
    f.Float(w.damage);
    f.Float(w.rechargeRate);
    f.Int(w.capacity);
    f.Float(w.fireRate);
    f.Float(w.param10);
}

void ReadOwnFields(FieldCursor& f, CPMineInfo& m)
{
    f.Int(m.shotCost);
    f.Float(m.param4);
    f.Float(m.param5);
    f.Int(m.capacity);
    f.Float(m.fireRate);
    f.Float(m.param8);
    f.Float(m.param9);
}

void ReadOwnFields(FieldCursor&, SPSuperWeaponInfo&) {}

void ReadOwnFields(FieldCursor& f, SPValueItemInfo& v)
{
    f.Float(v.value);
}

void ReadOwnFields(FieldCursor& f, SPEngineInfo& e)
{
    for (float& param : e.carParams) f.Float(param);
    f.Float(e.heatRate);
    f.Float(e.coolRate);
}

// Fields of a line of each table: name, name key, price, own fields, description key, mission.
template <class Info>
constexpr size_t kItemFieldCount = 0;
template <>
constexpr size_t kItemFieldCount<CPWeaponInfo> = 13;
template <>
constexpr size_t kItemFieldCount<CPMineInfo> = 12;
template <>
constexpr size_t kItemFieldCount<SPSuperWeaponInfo> = 5;
template <>
constexpr size_t kItemFieldCount<SPValueItemInfo> = 6;
template <>
constexpr size_t kItemFieldCount<SPEngineInfo> = 10;

// False, with why, for a line that cannot be kept safely.
template <class Info>
bool ParseItemLine(const std::string& line, std::string& name, Info& info, std::string& why)
{
    FieldCursor f(SplitFields(line, ";", kItemFieldCount<Info>));
    f.Text(name);
    f.Text(info.nameKey);
    f.Int(info.price);
    ReadOwnFields(f, info);
    f.Text(info.descriptionKey);
    f.Int(info.firstMission);
    why = f.GetError();
    return why.empty();
}

// False, with a log line, for a line too long to read.
bool WithinLength(const SPNumberedLine& line, const std::string& path)
{
    if (line.text.size() <= kLongestTableLine) return true;
    ReportRefusedLine(path, line.number, "longer than " + std::to_string(kLongestTableLine) + " characters");
    return false;
}

bool ReadCount(const std::string& text, int32_t& value)
{
    return ReadIntField(text, value) && value >= 0;
}

bool ParseShopLine(const std::string& line, SPCarSetup& preset, std::string& error)
{
    constexpr size_t kCount = 10;
    const std::vector<std::string> fields = SplitFields(line, ";", kCount);
    if (fields.size() != kCount) return FieldCountError(line, fields.size(), kCount, error);
    if (!ReadCount(fields[8], preset.superWeaponCount)) {
        return LineError(line, "field 9 is not a count of super-weapon charges", error);
    }
    preset.weapons = {ItemNameField(fields[0]), ItemNameField(fields[1]), ItemNameField(fields[2])};
    preset.equipment = {ItemNameField(fields[3]), ItemNameField(fields[4])};
    preset.bumper = ItemNameField(fields[5]);
    preset.engine = ItemNameField(fields[6]);
    preset.armor = ItemNameField(fields[7]);
    preset.mine = ItemNameField(fields[9]);
    if (preset.superWeaponCount > 0) preset.superWeapon = "super";
    return true;
}

}  // namespace

template <class Info>
void ParseItemTable(const uint8_t* data, size_t size, const std::string& path, ItemMap<Info>& infos,
                    ItemList<Info>& list)
{
    for (const SPNumberedLine& line : SplitNumberedLines(data, size)) {
        if (!WithinLength(line, path)) continue;
        std::string name;
        Info info;
        std::string why;
        if (!ParseItemLine(line.text, name, info, why)) {
            ReportRefusedLine(path, line.number, why);
            continue;
        }
        infos[name] = info;
        list.emplace_back(name, info);
    }
}

template void ParseItemTable(const uint8_t*, size_t, const std::string&, ItemMap<CPWeaponInfo>&,
                             ItemList<CPWeaponInfo>&);
template void ParseItemTable(const uint8_t*, size_t, const std::string&, ItemMap<CPMineInfo>&, ItemList<CPMineInfo>&);
template void ParseItemTable(const uint8_t*, size_t, const std::string&, ItemMap<SPSuperWeaponInfo>&,
                             ItemList<SPSuperWeaponInfo>&);
template void ParseItemTable(const uint8_t*, size_t, const std::string&, ItemMap<SPValueItemInfo>&,
                             ItemList<SPValueItemInfo>&);
template void ParseItemTable(const uint8_t*, size_t, const std::string&, ItemMap<SPEngineInfo>&,
                             ItemList<SPEngineInfo>&);

void ParseStrings(const uint8_t* data, size_t size, const std::string& path,
                  std::unordered_map<std::string, std::string>& strings)
{
    for (const SPNumberedLine& line : SplitNumberedLines(data, size)) {
        if (!WithinLength(line, path)) continue;
        const std::vector<std::string> fields = SplitFields(line.text, "~", 1);
        const std::string key = fields.empty() ? std::string() : fields[0];
        strings[key] = fields.size() >= 2 ? fields[1] : std::string();
    }
}

bool ParseShopPresets(const uint8_t* data, size_t size, std::vector<SPCarSetup>& presets, std::string& error)
{
    for (const std::string& line : SplitLines(data, size)) {
        SPCarSetup preset;
        if (!ParseShopLine(line, preset, error)) return false;
        presets.push_back(preset);
    }
    return true;
}

bool ParsePlayerSetup(const uint8_t* data, size_t size, SPCarSetup& setup, std::string& error)
{
    constexpr size_t kLineCount = 14;
    const std::vector<std::string> lines = SplitLines(data, size);
    if (lines.size() != kLineCount) {
        error = "expected 14 lines, found " + std::to_string(lines.size());
        return false;
    }
    int32_t levels[3] = {0, 0, 0};
    if (!ReadCount(lines[8], setup.superWeaponCount)) return LineError(lines[8], "line 9 is not a count", error);
    for (size_t i = 0; i < 3; ++i) {
        const std::string& line = lines[11 + i];
        if (!ReadIntField(line, levels[i]) || levels[i] < 0 || levels[i] > 4) {
            return LineError(line, "a weapon level is 0 to 4", error);
        }
        setup.weaponLevels[i] = levels[i];
    }
    setup.weapons = {ItemNameField(lines[0]), ItemNameField(lines[1]), ItemNameField(lines[2])};
    setup.mine = ItemNameField(lines[3]);
    setup.armor = ItemNameField(lines[4]);
    setup.bumper = ItemNameField(lines[5]);
    setup.engine = ItemNameField(lines[6]);
    setup.superWeapon = ItemNameField(lines[7]);
    setup.equipment = {ItemNameField(lines[9]), ItemNameField(lines[10])};
    return true;
}

bool ParseCoefficients(const uint8_t* data, size_t size, std::array<float, 4>& coefficients, std::string& error)
{
    const std::vector<std::string> lines = SplitLines(data, size);
    if (lines.size() != coefficients.size()) {
        error = "expected 4 lines, found " + std::to_string(lines.size());
        return false;
    }
    for (size_t i = 0; i < coefficients.size(); ++i) {
        if (!ReadFloatField(lines[i], coefficients[i]) || coefficients[i] < 0.0f) {
            return LineError(lines[i], "a coefficient is a number, 0 or more", error);
        }
    }
    return true;
}
