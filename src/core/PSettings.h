#pragma once
#include <string>
#include <unordered_map>
#include <vector>

#include "core/PDator.h"
#include "core/PSmartPointer.h"
#include "core/Singleton.h"

// The settings store: binds each variable of SettingsVariables.h to its key and reads and writes
// config.cfg, a plain text file read from disk only (never from a pack, never scrambled):
//   key = value        one setting per line; blanks around key and value are ignored
//   +key   /   -key    the key set to 1 / 0
// Keys are case-sensitive; unknown keys are ignored and never written. Save writes every key as
// "key = value\r\n".
class CPSettings : public TSingleton<CPSettings> {
public:
    CPSettings();
    virtual ~CPSettings();

    // Reads the file; a file that cannot be opened leaves every variable unchanged.
    void Load(const std::string& fileName);
    // Applies one line of the file.
    void ParseLine(std::string line);
    // Applies a value to a registered key; the sign only chose the value of a bare key.
    void SetValue(const std::string& key, const std::string& value, int sign);
    // Replaces the file with every binding; false when it could not be written.
    bool Save(const std::string& fileName);
    // Drops the program's own hold on the bindings; the key table keeps them until destruction.
    void ReleaseBindings();

    // The binding of a key, or null.
    CPDator* GetDator(const std::string& key) const;

private:
    void CreateBindings();
    void Bind(const std::string& key, CPDator* dator);

    std::unordered_map<std::string, TPtr<CPDator>> m_keys;
    std::vector<TPtr<CPDator>> m_holders;
};

inline CPSettings* GetSettings()
{
    return CPSettings::Instance();
}
