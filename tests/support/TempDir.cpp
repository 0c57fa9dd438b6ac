#include "support/TempDir.h"

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace testsupport {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vx-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("Cannot create a temporary folder from " + pattern);
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace testsupport
