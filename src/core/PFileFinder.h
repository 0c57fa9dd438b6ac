#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/PathResolver.h"

// Lists a folder by a wildcard pattern such as "Data\*.*": the folder part resolves like every
// game path (every case variant of the folder is listed), the name part matches without regard
// to case ('*' any run of characters, '?' one character, and a pattern ending in ".*" also
// matches names without a dot, so "*.*" matches every name). Only folders and regular files are
// listed, sorted by name.
class CPFileFinder {
public:
    explicit CPFileFinder(const std::string& pattern);
    virtual ~CPFileFinder() = default;

    // S_OK with the first match current; E_FAIL when nothing matches.
    int32_t FindFirst();
    // True with the next match current; false at the end.
    bool FindNext();

    const std::string& GetName() const { return m_name; }
    bool IsDirectory() const { return m_isDirectory; }

private:
    void SelectMatch(size_t index);

    std::string m_pattern;
    std::vector<platform::DirectoryEntry> m_matches;
    size_t m_current = 0;
    std::string m_name;
    bool m_isDirectory = false;
};

// True when name matches a wildcard pattern as CPFileFinder does.
bool MatchesWildcard(const std::string& name, const std::string& pattern);
