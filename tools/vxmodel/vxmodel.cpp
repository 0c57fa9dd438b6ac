// vxmodel: makes the game's mesh files from Wavefront OBJ models and shows what a mesh file holds.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "AnimationSources.h"
#include "ObjConverter.h"
#include "SideFile.h"

namespace {

constexpr const char* kUsage =
    "usage: vxmodel build <model.obj> <out.msh | out.p3d> [side file]\n"
    "           one node per OBJ object or group; a name ending in p3d writes the physics format;\n"
    "           the side file (default: the OBJ's name with .side, when it exists) nests the nodes\n"
    "           and gives pivots, masses, bodies, boxes and cylinders\n"
    "       vxmodel anim <frames.obj> <out.vxa> <node name> <frame time in 1/2400 s> [side file]\n"
    "           a vertex-animated file of one node: each OBJ object or group is a frame, in order;\n"
    "           the side file's lines for the node name give it a mass, a body and collision shapes\n"
    "       vxmodel parts <keys.txt> <out.pan>\n"
    "           a part-animation file from lines \"part <name>\" and\n"
    "           \"key <seconds> <turn about z in degrees> [x y z]\" (three keys or more a part)\n"
    "       vxmodel dump <file.msh | file.p3d>\n"
    "           prints the node tree as the game reads it (list is the same)\n";

bool ReadText(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "vxmodel: %s\n", message.c_str());
    return 1;
}

std::string DefaultSidePath(const std::string& objPath) {
    const size_t dot = objPath.rfind('.');
    const size_t slash = objPath.find_last_of("/\\");
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? objPath.substr(0, dot) : objPath) + ".side";
}

int Build(const std::string& objPath, const std::string& outPath, const std::string& sidePath, bool sideNamed) {
    std::string objText;
    if (!ReadText(objPath, objText)) return Fail("cannot read " + objPath);
    vxmodel::SideFile side;
    std::string sideText;
    std::string error;
    if (ReadText(sidePath, sideText)) {
        if (!vxmodel::ParseSideFile(sideText, side, error)) return Fail(sidePath + ": " + error);
    } else if (sideNamed) {
        return Fail("cannot read " + sidePath);
    }
    modelfile::SPMeshFile file;
    if (!vxmodel::ConvertObj(objText, side, modelfile::IsPhysicsName(outPath), file, error)) {
        return Fail(objPath + ": " + error);
    }
    const std::vector<uint8_t> bytes = modelfile::WriteMeshFile(file);
    std::ofstream out(outPath, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return out.fail() ? Fail("cannot write " + outPath) : 0;
}

int WriteBytes(const std::string& outPath, const std::vector<uint8_t>& bytes) {
    std::ofstream out(outPath, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return out.fail() ? Fail("cannot write " + outPath) : 0;
}

int BuildAnimation(const std::string& objPath, const std::string& outPath, const std::string& nodeName,
                   const std::string& ticksText, const std::string& sidePath) {
    std::string objText;
    if (!ReadText(objPath, objText)) return Fail("cannot read " + objPath);
    vxmodel::SideFile side;
    std::string error;
    if (!sidePath.empty()) {
        std::string sideText;
        if (!ReadText(sidePath, sideText)) return Fail("cannot read " + sidePath);
        if (!vxmodel::ParseSideFile(sideText, side, error)) return Fail(sidePath + ": " + error);
    }
    modelfile::SPMeshFile frames;
    modelfile::SPAnimatedFile file;
    if (!vxmodel::ConvertObj(objText, {}, false, frames, error) ||
        !vxmodel::BuildAnimatedFile(frames, nodeName, std::strtof(ticksText.c_str(), nullptr), file, error)) {
        return Fail(objPath + ": " + error);
    }
    vxmodel::ApplySideToAnimatedNode(side, file.root);
    return WriteBytes(outPath, modelfile::WriteAnimatedFile(file));
}

int BuildParts(const std::string& keysPath, const std::string& outPath) {
    std::string text;
    if (!ReadText(keysPath, text)) return Fail("cannot read " + keysPath);
    std::vector<uint8_t> bytes;
    std::string error;
    if (!vxmodel::BuildPartAnimationFile(text, bytes, error)) return Fail(keysPath + ": " + error);
    return WriteBytes(outPath, bytes);
}

int Dump(const std::string& path) {
    std::string bytes;
    if (!ReadText(path, bytes)) return Fail("cannot read " + path);
    modelfile::SPMeshFile file;
    std::string error;
    if (!modelfile::ReadMeshFile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                                 modelfile::IsPhysicsName(path), file, error)) {
        return Fail(path + " is refused by the game: " + error);
    }
    std::fputs(vxmodel::DumpMeshFile(file).c_str(), stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() >= 3 && args.size() <= 4 && args[0] == "build") {
        return Build(args[1], args[2], args.size() == 4 ? args[3] : DefaultSidePath(args[1]), args.size() == 4);
    }
    if ((args.size() == 5 || args.size() == 6) && args[0] == "anim") {
        return BuildAnimation(args[1], args[2], args[3], args[4], args.size() == 6 ? args[5] : std::string());
    }
    if (args.size() == 3 && args[0] == "parts") return BuildParts(args[1], args[2]);
    if (args.size() == 2 && (args[0] == "dump" || args[0] == "list")) return Dump(args[1]);
    std::fputs(kUsage, stderr);
    return 2;
}
