#include "game/PSaveGame.h"

#include "core/PBinaryReader.h"
#include "core/PFileWriter.h"

namespace {

constexpr int32_t kTopWeaponLevel = 4;

// The checks that keep a loaded save within what the game can use; "" when it passes. Weapon
// levels only ever run from 0 to 4 in play; any other is a damaged file and the upgrades would
// step past the last level.
std::string SaveFault(const SPSaveGame& save)
{
    for (int32_t level : save.setup.weaponLevels) {
        if (level < 0 || level > kTopWeaponLevel) return "a weapon level is outside 0 to 4";
    }
    return "";
}

// The description cut to its longest length, never inside a UTF-8 sequence.
std::string ShortDescription(const std::string& description)
{
    if (description.size() <= kMaxSaveDescriptionLength) return description;
    size_t end = kMaxSaveDescriptionLength;
    while (end > 0 && (static_cast<unsigned char>(description[end]) & 0xC0) == 0x80) --end;
    return description.substr(0, end);
}

}  // namespace

bool ReadSaveGame(const uint8_t* data, size_t size, SPSaveGame& save, std::string& error)
{
    CPBinaryReader reader(data, size);
    SPSaveGame read;
    read.description = ShortDescription(reader.ReadString());
    read.money = reader.ReadInt();
    read.mission = reader.ReadInt();
    SPCarSetup& setup = read.setup;
    for (std::string& weapon : setup.weapons) weapon = reader.ReadString();
    for (std::string& item : setup.equipment) item = reader.ReadString();
    setup.bumper = reader.ReadString();
    setup.engine = reader.ReadString();
    setup.armor = reader.ReadString();
    setup.superWeapon = reader.ReadString();
    setup.superWeaponCount = reader.ReadInt();
    setup.mine = reader.ReadString();
    read.score = reader.ReadInt();
    read.hardMode = reader.ReadInt() == 1;
    for (int32_t& level : setup.weaponLevels) level = reader.ReadInt();
    if (reader.HasFailed()) {
        error = "the save is cut short";
        return false;
    }
    if (reader.GetRemaining() != 0) {
        error = "bytes follow the last field";
        return false;
    }
    error = SaveFault(read);
    if (!error.empty()) return false;
    save = std::move(read);
    return true;
}

std::vector<uint8_t> SaveGameBytes(const SPSaveGame& save)
{
    CPFileWriter writer("");
    const SPCarSetup& setup = save.setup;
    writer.WriteString(ShortDescription(save.description));
    writer.WriteInt(save.money);
    writer.WriteInt(save.mission);
    for (const std::string& weapon : setup.weapons) writer.WriteString(weapon);
    for (const std::string& item : setup.equipment) writer.WriteString(item);
    writer.WriteString(setup.bumper);
    writer.WriteString(setup.engine);
    writer.WriteString(setup.armor);
    writer.WriteString(setup.superWeapon);
    writer.WriteInt(setup.superWeaponCount);
    writer.WriteString(setup.mine);
    writer.WriteInt(save.score);
    writer.WriteInt(save.hardMode ? 1 : 0);
    for (int32_t level : setup.weaponLevels) writer.WriteInt(level);
    return writer.GetBuffer();
}

bool IsSaveFileName(const std::string& name)
{
    return !name.empty() && name.find_first_of("\\/") == std::string::npos && name.find("..") == std::string::npos &&
           name != "." && name.find('\0') == std::string::npos;
}
