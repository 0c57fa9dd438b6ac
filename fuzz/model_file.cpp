// Model files of Data\Meshes: the bytes read as a plain mesh file, as a physics mesh file and
// as a vertex-animation file; what reads as a file is written again and must read back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "Render/ModelFile.h"

namespace {

void CheckMeshFile(const uint8_t* data, size_t size, bool physics) {
    modelfile::SPMeshFile file;
    std::string error;
    if (!modelfile::ReadMeshFile(data, size, physics, file, error)) return;
    const std::vector<uint8_t> written = modelfile::WriteMeshFile(file);
    modelfile::SPMeshFile again;
    if (!modelfile::ReadMeshFile(written.data(), written.size(), physics, again, error)) std::abort();
    if (modelfile::WriteMeshFile(again) != written) std::abort();
}

void CheckAnimatedFile(const uint8_t* data, size_t size) {
    modelfile::SPAnimatedFile file;
    std::string error;
    if (!modelfile::ReadAnimatedFile(data, size, file, error)) return;
    const std::vector<uint8_t> written = modelfile::WriteAnimatedFile(file);
    modelfile::SPAnimatedFile again;
    if (!modelfile::ReadAnimatedFile(written.data(), written.size(), again, error)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CheckMeshFile(data, size, false);
    CheckMeshFile(data, size, true);
    CheckAnimatedFile(data, size);
    return 0;
}
