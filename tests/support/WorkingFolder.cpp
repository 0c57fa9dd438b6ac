#include "support/WorkingFolder.h"

#include <fstream>
#include <iterator>

#include "platform/PathResolver.h"

namespace testsupport {

WorkingFolder::WorkingFolder() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder_.Path());
    platform::InvalidateListings();
}

WorkingFolder::~WorkingFolder() {
    std::filesystem::current_path(previous_);
    platform::InvalidateListings();
}

void WorkingFolder::Write(const std::string& relative, const std::string& bytes) const {
    const std::filesystem::path path = folder_.Path() / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
    platform::InvalidateListings();
}

void CopyGameFolder(const std::filesystem::path& from, const std::filesystem::path& to) {
    namespace fs = std::filesystem;
    fs::create_directories(to);
    for (const fs::directory_entry& entry : fs::directory_iterator(from)) {
        if (entry.path().filename() == "config.cfg")
            continue;
        fs::copy(entry.path(), to / entry.path().filename(), fs::copy_options::recursive);
    }
    platform::InvalidateListings();
}

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace testsupport
