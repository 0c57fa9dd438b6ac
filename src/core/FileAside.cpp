#include "core/FileAside.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <stdio.h>

#include <cerrno>

#include "platform/PathResolver.h"

namespace {

constexpr int kMostAsideNames = 100;

std::string AsideName(const std::string& diskPath, int attempt)
{
    return diskPath + ".refused" + (attempt == 1 ? std::string() : std::to_string(attempt));
}

}  // namespace

std::string KeepAside(const std::string& gamePath)
{
    std::string diskPath;
    if (!platform::ResolveFile(gamePath, diskPath)) return "";
    for (int attempt = 1; attempt <= kMostAsideNames; ++attempt) {
        const std::string aside = AsideName(diskPath, attempt);
        if (renameat2(AT_FDCWD, diskPath.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0) {
            platform::InvalidateListings();
            return aside;
        }
        if (errno != EEXIST) return "";
    }
    return "";
}
