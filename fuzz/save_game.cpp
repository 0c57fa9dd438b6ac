// DATA\Saves\save1.sav: the input is the file's unscrambled content. The game data loads it
// (scrambled on disk) and lists it; a save that was read writes back to the same fields.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/Scramble.h"
#include "game/PGameData.h"
#include "game/PSaveGame.h"
#include "support/FuzzFolder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::EnterTemporaryFolder();
    std::vector<uint8_t> scrambled(data, data + size);
    Scramble(scrambled);
    fuzz::WriteFile("data/saves/save1.sav", scrambled.data(), scrambled.size());
    CPGameData gameData;
    gameData.LoadGame("save1.sav");
    gameData.GetSaveDescription(1);

    SPSaveGame save;
    SPSaveGame again;
    std::string error;
    if (!ReadSaveGame(data, size, save, error)) return 0;
    const std::vector<uint8_t> written = SaveGameBytes(save);
    if (!ReadSaveGame(written.data(), written.size(), again, error) || !(again == save)) std::abort();
    return 0;
}
