#pragma once
#include <string>
#include <utility>
#include <vector>

#include "core/PSmartPointer.h"
#include "core/Singleton.h"
#include "Sound/NSound.h"

// Makes sounds from the wave files of "Data\Sounds" and keeps a list of {file name, sound}.
// Created by the audio start-up, destroyed with the audio.
//
// Not done yet: Load and Find.
class CNSoundBank : public TSingleton<CNSoundBank> {
public:
    CNSoundBank() = default;
    virtual ~CNSoundBank() = default;

    // Stops the sound of every entry and empties the list.
    void Clear();

private:
    std::vector<std::pair<std::string, TPtr<CNSound>>> m_entries;
};

// The sound bank, null before the audio start-up and after the audio's destruction.
inline CNSoundBank* GetSoundBank() { return CNSoundBank::Instance(); }
