#pragma once
#include <string>
#include <utility>
#include <vector>

#include "core/PSmartPointer.h"
#include "core/Singleton.h"
#include "Sound/NSound.h"

// Makes sounds from the wave files of "Data\Sounds" and keeps a list of {file name, sound}.
// Created by the audio start-up when a sound device opened, destroyed with the audio.
//
// Load does not add the sounds it makes to the list, so every Load makes a new sound with its
// own buffer (two weapons loading one file play independently) and the list stays empty.
class CNSoundBank : public TSingleton<CNSoundBank> {
public:
    CNSoundBank() = default;
    virtual ~CNSoundBank() = default;

    // The sound of the entry whose file name is exactly this one, or an empty pointer.
    TPtr<CNSound> Find(const std::string& file) const;
    // Unless force is set and the file is listed, a new sound from "Data\Sounds\<file>"; a 3D
    // sound gets the distances 40 and 50.
    TPtr<CNSound> Load(const std::string& file, bool is3D, bool force);
    // Stops the sound of every entry and empties the list.
    void Clear();

private:
    std::vector<std::pair<std::string, TPtr<CNSound>>> m_entries;
};

// The sound bank, null before the audio start-up and after the audio's destruction.
inline CNSoundBank* GetSoundBank() { return CNSoundBank::Instance(); }
