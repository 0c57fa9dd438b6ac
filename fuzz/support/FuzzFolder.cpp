#include "support/FuzzFolder.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/PathResolver.h"

namespace fuzz {
namespace {

namespace fs = std::filesystem;

fs::path& Folder()
{
    static fs::path folder;
    return folder;
}

void RemoveFolder()
{
    std::error_code ignored;
    fs::current_path(fs::temp_directory_path(ignored), ignored);
    fs::remove_all(Folder(), ignored);
}

}  // namespace

void EnterTemporaryFolder()
{
    if (Folder().empty()) {
        std::string name = (fs::temp_directory_path() / "vexmoor-fuzz-XXXXXX").string();
        if (!mkdtemp(name.data())) {
            std::perror("cannot create the fuzz working folder");
            std::abort();
        }
        Folder() = name;
        std::atexit(RemoveFolder);
    }
    fs::current_path(Folder());
    platform::InvalidateListings();
}

void WriteFile(const std::string& relative, const uint8_t* data, size_t size)
{
    const fs::path path = Folder() / relative;
    fs::create_directories(path.parent_path());
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || (size > 0 && std::fwrite(data, 1, size, file) != size) || std::fclose(file) != 0) {
        std::perror(path.c_str());
        std::abort();
    }
    platform::InvalidateListings();
}

}  // namespace fuzz
