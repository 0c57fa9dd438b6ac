#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// For fuzz targets whose loaders read files by game path: a temporary working folder of the
// process's own, so the fuzzed files never touch the checkout.
namespace fuzz {

// Makes a fresh temporary folder the working folder; the first call creates it, and it is
// removed with everything in it when the process exits normally.
void EnterTemporaryFolder();

// Writes a file under the working folder (creating its folders) and makes the path resolver see
// it.
void WriteFile(const std::string& relative, const uint8_t* data, size_t size);
inline void WriteFile(const std::string& relative, const std::string& text)
{
    WriteFile(relative, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

}  // namespace fuzz
