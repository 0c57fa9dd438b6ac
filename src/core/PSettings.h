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
// "key = value\r\n". Each key has a range: a value outside it (a window 0 pixels high, a volume
// of -3) is logged and replaced by the key's default, so a damaged file cannot stop the game and
// is mended by the next save.
class CPSettings : public TSingleton<CPSettings> {
public:
    CPSettings();
    virtual ~CPSettings();

    // Reads the file; a file that cannot be opened leaves every variable unchanged.
    void Load(const std::string& fileName);
    // Applies one line of the file.
    void ParseLine(std::string line);
    // Applies a value to a registered key, or its default when the value lies outside the key's
    // range; the sign only chose the value of a bare key.
    void SetValue(const std::string& key, const std::string& value, int sign);
    // Replaces the file with every binding; false when it could not be written.
    bool Save(const std::string& fileName);
    // Drops the program's own hold on the bindings; the key table keeps them until destruction.
    void ReleaseBindings();

    // The binding of a key, or null.
    CPDator* GetDator(const std::string& key) const;

private:
    // The values a key takes, and the one it gets in place of any other.
    struct Range {
        double lowest;
        double highest;
        std::string fallback;
    };

    void CreateBindings();
    void Bind(const std::string& key, CPDator* dator, Range range);

    std::unordered_map<std::string, TPtr<CPDator>> m_keys;
    std::unordered_map<std::string, Range> m_ranges;
    std::vector<TPtr<CPDator>> m_holders;
};

inline CPSettings* GetSettings()
{
    return CPSettings::Instance();
}
