// The game data's text files as the game loads them at start (the seven item tables,
// Data\strings.txt, Data\shop.dat, DATA\player.dat, DATA\coeff.dat), each holding the same bytes,
// and the money value of every set-up they give.
#include <cstddef>
#include <cstdint>

#include "game/PGameData.h"
#include "support/FuzzFolder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const char* const kFiles[] = {"data/w_info.dat", "data/m_info.dat", "data/sw_info.dat",
                                         "data/b_info.dat", "data/e_info.dat", "data/a_info.dat",
                                         "data/d_info.dat", "data/strings.txt", "data/shop.dat",
                                         "data/player.dat", "data/coeff.dat"};
    fuzz::EnterTemporaryFolder();
    for (const char* file : kFiles) fuzz::WriteFile(file, data, size);
    CPGameData gameData;
    gameData.LoadGameData();
    gameData.GetLoadoutValue(gameData.committedSetup);
    for (const SPCarSetup& preset : gameData.shopPresets) gameData.GetLoadoutValue(preset);
    for (int32_t slot = -1; slot <= 3; ++slot) gameData.UpgradeWeaponSlot(slot);
    return 0;
}
