#include "core/PFileFinder.h"

#include "core/Result.h"

namespace {

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool MatchFrom(const char* name, const char* pattern)
{
    for (; *pattern != '\0'; ++pattern, ++name) {
        if (*pattern == '*') {
            for (const char* rest = name;; ++rest) {
                if (MatchFrom(rest, pattern + 1)) return true;
                if (*rest == '\0') return false;
            }
        }
        if (*name == '\0') return false;
        if (*pattern != '?' && LowerAscii(*pattern) != LowerAscii(*name)) return false;
    }
    return *name == '\0';
}

}  // namespace

bool MatchesWildcard(const std::string& name, const std::string& pattern)
{
    if (MatchFrom(name.c_str(), pattern.c_str())) return true;
    const bool anyExtension = pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0;
    return anyExtension && name.find('.') == std::string::npos &&
           MatchFrom(name.c_str(), pattern.substr(0, pattern.size() - 2).c_str());
}

CPFileFinder::CPFileFinder(const std::string& pattern) : m_pattern(pattern) {}

int32_t CPFileFinder::FindFirst()
{
    m_matches.clear();
    const size_t split = m_pattern.find_last_of("\\/");
    const std::string folder = split == std::string::npos ? "." : m_pattern.substr(0, split + 1);
    const std::string namePattern = split == std::string::npos ? m_pattern : m_pattern.substr(split + 1);

    for (const platform::DirectoryEntry& entry : platform::ListGameFolder(folder)) {
        if (MatchesWildcard(entry.name, namePattern)) m_matches.push_back(entry);
    }
    if (m_matches.empty()) return E_FAIL;
    SelectMatch(0);
    return S_OK;
}

bool CPFileFinder::FindNext()
{
    if (m_current + 1 >= m_matches.size()) return false;
    SelectMatch(m_current + 1);
    return true;
}

void CPFileFinder::SelectMatch(size_t index)
{
    m_current = index;
    m_name = m_matches[index].name;
    m_isDirectory = m_matches[index].isDirectory;
}
